// basekit: small helpers of the host client and its edition.
#pragma once

#include "platform/window.h"  // HDC

#include <string>

class CCommFunction {
 public:
  // The host program's directory with its trailing separator ("\" style
  // paths work too: the platform takes both).
  static std::u16string GetModuleDirectory();

  // `text` shortened to fit `width` pixels in the font selected into `hdc`:
  // the whole text when it fits, else its longest beginning followed by "..."
  // that fits, else "..." cut to what fits (possibly empty). Line breaks are
  // not treated specially.
  static std::u16string GetDisplayText(HDC hdc, const std::u16string& text, int width);
  static std::u16string GetDisplayText(HDC hdc, const std::u16string& text, const RECT& rect) {
    return GetDisplayText(hdc, text, rect.right - rect.left);
  }

  // Whether a chat-room identifier names a private room. Rule: the part
  // before the first "@" (the whole identifier when it has none) starts with
  // "private" or with "~", compared without regard to case. Null or empty
  // identifiers are not private rooms.
  static BOOL IsPrivateRoom(LPCWSTR roomId);
};

// The edition of the client and the registry names that go with it. The
// edition is read from "cfg.ini" in the host program's directory, section
// "ZQIM", key "PRODUCTTYPE" (default 1, the business edition; 0 is the
// personal edition). SetProductType overrides the file, -1 ends the override.
class CProductType {
 public:
  static int GetProductType();
  static void SetProductType(int type);
  // Registry key under HKEY_CURRENT_USER of the remembered accounts.
  static std::u16string GetRegSubKey();
  // Prefix of the remembered-account value names ("%s%d").
  static std::u16string GetUserIDKey();
};
