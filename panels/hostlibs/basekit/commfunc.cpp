// Module directory, text shortening, private rooms and the client's edition.
#include "host/basekit/commfunc.h"

#include "platform/drawtext.h"
#include "platform/file.h"
#include "platform/profile.h"
#include "platform/text.h"

namespace {

int TextWidth(HDC hdc, const std::u16string& text, std::size_t count) {
  SIZE size;
  if (count == 0) return 0;
  if (!GetTextExtentPoint32W(hdc, text.c_str(), static_cast<int>(count), &size)) return 0;
  return size.cx;
}

int g_productOverride = -1;

}  // namespace

std::u16string CCommFunction::GetModuleDirectory() { return GetModuleDirectoryW(); }

std::u16string CCommFunction::GetDisplayText(HDC hdc, const std::u16string& text, int width) {
  if (TextWidth(hdc, text, text.size()) <= width) return text;
  const std::u16string dots = u"...";
  int dotsWidth = TextWidth(hdc, dots, dots.size());
  if (dotsWidth > width) {
    std::size_t n = dots.size();
    while (n > 0 && TextWidth(hdc, dots, n) > width) --n;
    return dots.substr(0, n);
  }
  // Widths grow with the prefix length: binary search the longest prefix
  // that leaves room for the dots. A surrogate pair is never split.
  std::size_t lo = 0, hi = text.size();
  while (lo < hi) {
    std::size_t mid = (lo + hi + 1) / 2;
    if (TextWidth(hdc, text, mid) + dotsWidth <= width) lo = mid;
    else hi = mid - 1;
  }
  if (lo > 0 && text[lo - 1] >= 0xD800 && text[lo - 1] <= 0xDBFF) --lo;
  return text.substr(0, lo) + dots;
}

BOOL CCommFunction::IsPrivateRoom(LPCWSTR roomId) {
  if (!roomId || !*roomId) return FALSE;
  std::u16string node(roomId);
  node = node.substr(0, node.find(u'@'));
  if (!node.empty() && node[0] == u'~') return TRUE;
  return ToLowerW(node).rfind(u"private", 0) == 0 ? TRUE : FALSE;
}

int CProductType::GetProductType() {
  if (g_productOverride >= 0) return g_productOverride;
  std::u16string cfg = GetModuleDirectoryW() + u"cfg.ini";
  return static_cast<int>(GetPrivateProfileIntW(u"ZQIM", u"PRODUCTTYPE", 1, cfg.c_str()));
}

void CProductType::SetProductType(int type) { g_productOverride = type < 0 ? -1 : type; }

std::u16string CProductType::GetRegSubKey() {
  return GetProductType() == 0 ? u"Software\\QWIM\\Personal\\Accounts"
                               : u"Software\\QWIM\\Business\\Accounts";
}

std::u16string CProductType::GetUserIDKey() { return GetProductType() == 0 ? u"PUser" : u"BUser"; }
