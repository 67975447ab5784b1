// Bitmaps loaded from PNG and BMP files or memory, scaling, and pixel access.
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

// With LR_LOADFROMFILE `name` is a file path ("\" separators are accepted);
// the file may be PNG, BMP, JPEG or GIF (first frame). cx, cy other than 0
// scale the picture to that size. Other names (resources) and other image
// kinds give 0: resources live in the host's resource module.
// The handle is a GDI handle here (HBITMAP for IMAGE_BITMAP).
HGDIOBJ LoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int cx, int cy, UINT flags);
// A bitmap from encoded image bytes (PNG, BMP, JPEG, GIF); 0 if they do not decode.
HBITMAP CreateBitmapFromImageData(const void* data, std::size_t size);
HBITMAP CreateBitmapFromCanvas(const Canvas& canvas);
// A new bitmap holding `bitmap` scaled to cx x cy (nearest pixel).
HBITMAP ScaleBitmap(HBITMAP bitmap, int cx, int cy);
// The pixels of a bitmap, shared: changes show in every DC it is selected
// into. Null for a handle that is not a bitmap.
std::shared_ptr<Canvas> GetBitmapCanvas(HBITMAP bitmap);
BOOL GetBitmapDimensionEx(HBITMAP bitmap, SIZE* size);
bool SaveBitmapToPng(HBITMAP bitmap, const std::string& utf8Path);

