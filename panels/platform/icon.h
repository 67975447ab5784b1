// Icons: pictures with their own transparency, loaded from ".ico" files.
//
// An ".ico" file holds one or more pictures, each a PNG image or a
// bottom-up device-independent bitmap (1, 4, 8, 24 or 32 bits per pixel)
// followed by its 1-bit transparency mask. A 32-bit bitmap carries its own
// alpha; if every alpha byte is 0 the mask decides instead. An icon keeps
// straight (not premultiplied) alpha and is drawn blended over what lies
// beneath.
#pragma once

#include "platform/gdi.h"

#include <memory>
#include <optional>
#include <string>

// Size of an icon where none is asked (LR_DEFAULTSIZE, DI_DEFAULTSIZE).
constexpr int kDefaultIconSize = 32;

// The icon of the picture that fits cx x cy best: one of that exact size
// (the deepest if several), else the smallest larger one, else the largest,
// scaled to cx x cy. cx = cy = 0 takes the first picture at its own size, or
// kDefaultIconSize with LR_DEFAULTSIZE. A file that is a plain PNG or BMP
// picture instead of an ".ico" becomes an icon too. 0 when the bytes are not
// a readable picture (a short or inconsistent directory, an entry outside
// the file, an unreadable bitmap).
HICON CreateIconFromFileData(const void* data, std::size_t size, int cx, int cy, UINT flags);
// The picture of ".ico" bytes that fits cx x cy best as above, at its own
// size; cx = cy = 0 the first, negative the largest. Nothing for bytes that
// are not a readable ".ico".
std::optional<Canvas> DecodeIconFilePicture(const void* data, std::size_t size, int cx, int cy);
HICON CreateIconFromCanvas(const Canvas& canvas);
// The icon's pixels (shared); null for a handle that is not an icon.
std::shared_ptr<Canvas> GetIconCanvas(HICON icon);
BOOL DestroyIcon(HICON icon);

struct ICONINFO {
  BOOL fIcon = TRUE;
  DWORD xHotspot = 0;
  DWORD yHotspot = 0;
  HBITMAP hbmMask = 0;   // white where transparent
  HBITMAP hbmColor = 0;  // the colour pixels with their alpha
};
// Makes two new bitmaps that the caller deletes.
BOOL GetIconInfo(HICON icon, ICONINFO* info);

constexpr UINT DI_MASK = 0x0001;
constexpr UINT DI_IMAGE = 0x0002;
constexpr UINT DI_NORMAL = DI_MASK | DI_IMAGE;
constexpr UINT DI_COMPAT = 0x0004;
constexpr UINT DI_DEFAULTSIZE = 0x0008;
// Draws the icon at (x, y) scaled to cx x cy (0: its own size, or
// kDefaultIconSize with DI_DEFAULTSIZE). DI_NORMAL blends it over the
// destination; DI_IMAGE alone copies its colours opaquely; DI_MASK alone
// blackens the covered pixels. A `background` brush first fills the
// rectangle. The step is ignored (icons have one frame).
BOOL DrawIconEx(HDC hdc, int x, int y, HICON icon, int cx, int cy, UINT step, HBRUSH background,
                UINT flags);
BOOL DrawIcon(HDC hdc, int x, int y, HICON icon);
