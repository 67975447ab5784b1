// Bitmaps loaded from PNG and BMP files or memory, device-independent
// bitmaps, copies, scaling and pixel access. Icons: icon.h.
#pragma once

#include "platform/gdi.h"

#include <string>

constexpr UINT IMAGE_BITMAP = 0;
constexpr UINT IMAGE_ICON = 1;
constexpr UINT IMAGE_CURSOR = 2;
constexpr UINT LR_DEFAULTCOLOR = 0x0000;
constexpr UINT LR_LOADFROMFILE = 0x0010;
constexpr UINT LR_CREATEDIBSECTION = 0x2000;
constexpr UINT LR_DEFAULTSIZE = 0x0040;
constexpr UINT LR_SHARED = 0x8000;
constexpr UINT LR_COPYRETURNORG = 0x0004;
constexpr UINT LR_COPYDELETEORG = 0x0008;

// With LR_LOADFROMFILE `name` is a file path ("\" separators are accepted).
// IMAGE_BITMAP: the file may be PNG, BMP, JPEG, GIF (first frame) or ".ico"
// (its largest picture); cx, cy other than 0 scale the picture to that
// size. IMAGE_ICON: an ".ico" file
// (icon.h tells which of its pictures is taken). Other names (resources)
// and other image kinds give 0: resources live in the host's resource module.
// The handle is an HBITMAP or an HICON.
HGDIOBJ LoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int cx, int cy, UINT flags);
// A new bitmap or icon holding `image` (IMAGE_BITMAP or IMAGE_ICON), scaled
// to cx x cy where they are not 0. LR_COPYRETURNORG returns `image` itself
// when no scaling is asked; LR_COPYDELETEORG deletes the original once
// copied. 0 for a handle that is not of that kind.
HGDIOBJ CopyImage(HGDIOBJ image, UINT type, int cx, int cy, UINT flags);

// Device-independent bitmaps. Only 32 bits per pixel (BI_RGB, or
// BI_BITFIELDS with the usual masks) are made: bytes B, G, R, A, bottom row
// first for a positive biHeight, top row first for a negative one.
constexpr DWORD BI_RGB = 0;
constexpr DWORD BI_BITFIELDS = 3;
constexpr UINT DIB_RGB_COLORS = 0;
struct BITMAPINFOHEADER {
  DWORD biSize = sizeof(BITMAPINFOHEADER);
  LONG biWidth = 0;
  LONG biHeight = 0;
  WORD biPlanes = 1;
  WORD biBitCount = 0;
  DWORD biCompression = BI_RGB;
  DWORD biSizeImage = 0;
  LONG biXPelsPerMeter = 0;
  LONG biYPelsPerMeter = 0;
  DWORD biClrUsed = 0;
  DWORD biClrImportant = 0;
};
struct RGBQUAD {
  BYTE rgbBlue = 0;
  BYTE rgbGreen = 0;
  BYTE rgbRed = 0;
  BYTE rgbReserved = 0;
};
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};
// The bitmap's pixels start all zero; *bits points at them for as long as
// the bitmap lives, and what is written there is what the bitmap shows.
// GetObject gives the same pointer in bmBits. 0 (and *bits null) for a
// missing header, an empty size, another depth or a file-mapping section.
HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset);
// A bitmap from encoded image bytes (PNG, BMP, JPEG, GIF, or an ".ico" file's
// largest picture); 0 if they do not decode.
HBITMAP CreateBitmapFromImageData(const void* data, std::size_t size);
HBITMAP CreateBitmapFromCanvas(const Canvas& canvas);
// A new bitmap holding `bitmap` scaled to cx x cy (nearest pixel).
HBITMAP ScaleBitmap(HBITMAP bitmap, int cx, int cy);
// The pixels of a bitmap, shared: changes show in every DC it is selected
// into. Null for a handle that is not a bitmap.
std::shared_ptr<Canvas> GetBitmapCanvas(HBITMAP bitmap);
BOOL GetBitmapDimensionEx(HBITMAP bitmap, SIZE* size);
bool SaveBitmapToPng(HBITMAP bitmap, const std::string& utf8Path);
