#include "platform/bitmap.h"

#include "platform/file.h"
#include "platform/icon.h"
#include "platform/ui_internal.h"

#include <stb_image.h>

#include <cstring>

using namespace platform::ui;

HBITMAP CreateBitmapFromCanvas(const Canvas& canvas) {
  GdiObject o;
  o.type = OBJ_BITMAP;
  o.bitmap = std::make_shared<Canvas>(canvas);
  return AddGdi(std::move(o));
}

HBITMAP CreateBitmapFromImageData(const void* data, std::size_t size) {
  if (!data || size == 0 || size > 0x7FFFFFFF) return 0;
  int w = 0, h = 0, channels = 0;
  unsigned char* pixels = stbi_load_from_memory(static_cast<const unsigned char*>(data),
                                                static_cast<int>(size), &w, &h, &channels, 4);
  if (!pixels) {
    // An ".ico" file read as a bitmap gives its largest picture.
    std::optional<Canvas> icon = DecodeIconFilePicture(data, size, -1, -1);
    return icon ? CreateBitmapFromCanvas(*icon) : 0;
  }
  Canvas canvas(w, h);
  std::memcpy(canvas.Data(), pixels, static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4);
  stbi_image_free(pixels);
  return CreateBitmapFromCanvas(canvas);
}

HBITMAP ScaleBitmap(HBITMAP bitmap, int cx, int cy) {
  auto src = GetBitmapCanvas(bitmap);
  if (!src || cx < 0 || cy < 0) return 0;
  Canvas out(cx, cy);
  for (int y = 0; y < cy; ++y)
    for (int x = 0; x < cx; ++x)
      out.SetRgba(x, y,
                  src->GetRgba(static_cast<int>(static_cast<long long>(x) * src->Width() / cx),
                               static_cast<int>(static_cast<long long>(y) * src->Height() / cy)));
  return CreateBitmapFromCanvas(out);
}

HGDIOBJ LoadImageW(HINSTANCE, LPCWSTR name, UINT type, int cx, int cy, UINT flags) {
  if ((type != IMAGE_BITMAP && type != IMAGE_ICON) || !(flags & LR_LOADFROMFILE) || !name ||
      IS_INTRESOURCE(name))
    return 0;
  std::string bytes;
  if (!ReadWholeFile(ToFileSystemPath(name), bytes)) return 0;
  if (type == IMAGE_ICON) return CreateIconFromFileData(bytes.data(), bytes.size(), cx, cy, flags);
  HBITMAP bm = CreateBitmapFromImageData(bytes.data(), bytes.size());
  if (!bm || (cx <= 0 && cy <= 0)) return bm;
  auto canvas = GetBitmapCanvas(bm);
  HBITMAP scaled = ScaleBitmap(bm, cx > 0 ? cx : canvas->Width(), cy > 0 ? cy : canvas->Height());
  DeleteObject(bm);
  return scaled;
}

std::shared_ptr<Canvas> GetBitmapCanvas(HBITMAP bitmap) {
  GdiObject* o = FindGdi(bitmap, OBJ_BITMAP);
  return o ? o->bitmap : nullptr;
}

BOOL GetBitmapDimensionEx(HBITMAP bitmap, SIZE* size) {
  auto c = GetBitmapCanvas(bitmap);
  if (!c || !size) return FALSE;
  size->cx = c->Width();
  size->cy = c->Height();
  return TRUE;
}

bool SaveBitmapToPng(HBITMAP bitmap, const std::string& utf8Path) {
  auto c = GetBitmapCanvas(bitmap);
  return c && c->WritePng(utf8Path);
}

HGDIOBJ CopyImage(HGDIOBJ image, UINT type, int cx, int cy, UINT flags) {
  std::shared_ptr<Canvas> src = type == IMAGE_BITMAP ? GetBitmapCanvas(image)
                                : type == IMAGE_ICON ? GetIconCanvas(image)
                                                     : nullptr;
  if (!src || cx < 0 || cy < 0) return 0;
  int w = cx > 0 ? cx : src->Width(), h = cy > 0 ? cy : src->Height();
  bool sameSize = w == src->Width() && h == src->Height();
  if ((flags & LR_COPYRETURNORG) && sameSize) return image;
  HGDIOBJ copy = 0;
  if (type == IMAGE_BITMAP) {
    copy = sameSize ? CreateBitmapFromCanvas(*src) : ScaleBitmap(image, w, h);
  } else {
    Canvas scaled(w, h, 0);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        scaled.SetRgba(
            x, y,
            src->GetRgba(static_cast<int>(static_cast<long long>(x) * src->Width() / w),
                         static_cast<int>(static_cast<long long>(y) * src->Height() / h)));
    copy = CreateIconFromCanvas(scaled);
  }
  if (copy && (flags & LR_COPYDELETEORG)) {
    if (type == IMAGE_BITMAP) DeleteObject(image);
    else DestroyIcon(image);
  }
  return copy;
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD) {
  if (bits) *bits = nullptr;
  if (!info || usage != DIB_RGB_COLORS || section) return 0;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biBitCount != 32 || h.biWidth <= 0 ||
      h.biHeight == 0 || (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS))
    return 0;
  long long height = h.biHeight < 0 ? -static_cast<long long>(h.biHeight) : h.biHeight;
  if (static_cast<long long>(h.biWidth) * height > (1LL << 26)) return 0;
  GdiObject o;
  o.type = OBJ_BITMAP;
  o.bitmap = std::make_shared<Canvas>(
      h.biWidth, static_cast<int>(height), 0,
      h.biHeight < 0 ? Canvas::Layout::BgraTopDown : Canvas::Layout::BgraBottomUp);
  if (bits) *bits = o.bitmap->Data();
  return AddGdi(std::move(o));
}
