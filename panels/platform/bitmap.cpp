#include "platform/bitmap.h"

#include "platform/file.h"
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
  if (!pixels) return 0;
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
  if (type != IMAGE_BITMAP || !(flags & LR_LOADFROMFILE) || !name || IS_INTRESOURCE(name)) return 0;
  std::string bytes;
  if (!ReadWholeFile(ToFileSystemPath(name), bytes)) return 0;
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
