#include "platform/icon.h"

#include "platform/bitmap.h"
#include "platform/ui_internal.h"

#include <stb_image.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

using namespace platform::ui;

namespace {

class Reader {
 public:
  Reader(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}
  bool Has(std::size_t offset, std::size_t count) const {
    return offset <= size_ && count <= size_ - offset;
  }
  unsigned U8(std::size_t at) const { return data_[at]; }
  unsigned U16(std::size_t at) const { return data_[at] | (data_[at + 1] << 8); }
  std::uint32_t U32(std::size_t at) const {
    return static_cast<std::uint32_t>(U16(at)) | (static_cast<std::uint32_t>(U16(at + 2)) << 16);
  }
  const unsigned char* At(std::size_t at) const { return data_ + at; }

 private:
  const unsigned char* data_;
  std::size_t size_;
};

struct Entry {
  int width = 0;
  int height = 0;
  int bits = 0;
  std::uint32_t size = 0;
  std::uint32_t offset = 0;
};

std::optional<Canvas> DecodeImage(const unsigned char* data, std::size_t size) {
  if (size == 0 || size > 0x7FFFFFFF) return std::nullopt;
  int w = 0, h = 0, channels = 0;
  unsigned char* pixels = stbi_load_from_memory(data, static_cast<int>(size), &w, &h, &channels, 4);
  if (!pixels) return std::nullopt;
  Canvas canvas(w, h);
  std::memcpy(canvas.Data(), pixels, static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4);
  stbi_image_free(pixels);
  return canvas;
}

std::size_t Stride(int width, int bits) {
  return (static_cast<std::size_t>(width) * static_cast<std::size_t>(bits) + 31) / 32 * 4;
}

// A bitmap entry: the header, the palette, the colour rows and the mask
// rows, all bottom-up.
std::optional<Canvas> DecodeDib(const Reader& r, std::size_t base, std::size_t size) {
  if (!r.Has(base, 40) || size < 40) return std::nullopt;
  std::uint32_t header = r.U32(base);
  auto width = static_cast<std::int32_t>(r.U32(base + 4));
  auto doubled = static_cast<std::int32_t>(r.U32(base + 8));
  int bits = static_cast<int>(r.U16(base + 14));
  std::uint32_t compression = r.U32(base + 16);
  std::uint32_t used = r.U32(base + 32);
  if (header < 40 || header > size || width <= 0 || width > 1024 || doubled <= 0 ||
      doubled > 2048 || (compression != BI_RGB && compression != BI_BITFIELDS))
    return std::nullopt;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return std::nullopt;
  int height = doubled / 2;
  if (height <= 0) return std::nullopt;
  std::size_t palette = base + header + (compression == BI_BITFIELDS && header == 40 ? 12 : 0);
  std::size_t colours = bits <= 8 ? (used && used <= (1u << bits) ? used : (1u << bits)) : 0;
  std::size_t pixels = palette + colours * 4;
  std::size_t stride = Stride(width, bits), maskStride = Stride(width, 1);
  std::size_t mask = pixels + stride * static_cast<std::size_t>(height);
  std::size_t end = base + size;
  if (!r.Has(palette, colours * 4) || pixels + stride * static_cast<std::size_t>(height) > end)
    return std::nullopt;
  // Some writers leave out the mask of 32-bit pictures; alpha then decides.
  bool hasMask = mask + maskStride * static_cast<std::size_t>(height) <= end &&
                 r.Has(mask, maskStride * static_cast<std::size_t>(height));
  if (!hasMask && bits != 32) return std::nullopt;
  Canvas canvas(width, height, 0);
  bool anyAlpha = false;
  for (int y = 0; y < height; ++y) {
    std::size_t row = pixels + stride * static_cast<std::size_t>(height - 1 - y);
    for (int x = 0; x < width; ++x) {
      unsigned b = 0, g = 0, red = 0, a = 255;
      if (bits >= 24) {
        std::size_t p = row + static_cast<std::size_t>(x) * static_cast<std::size_t>(bits / 8);
        b = r.U8(p);
        g = r.U8(p + 1);
        red = r.U8(p + 2);
        if (bits == 32) {
          a = r.U8(p + 3);
          anyAlpha = anyAlpha || a != 0;
        }
      } else {
        std::size_t bitPos = static_cast<std::size_t>(x) * static_cast<std::size_t>(bits);
        unsigned byte = r.U8(row + bitPos / 8);
        unsigned index = (byte >> (8 - bits - static_cast<int>(bitPos % 8))) & ((1u << bits) - 1);
        if (index >= colours) index = 0;
        std::size_t q = palette + index * 4;
        b = r.U8(q);
        g = r.U8(q + 1);
        red = r.U8(q + 2);
      }
      canvas.SetRgba(x, y, red | (g << 8) | (b << 16) | (static_cast<std::uint32_t>(a) << 24));
    }
  }
  if (bits == 32 && anyAlpha) return canvas;
  if (!hasMask) {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) canvas.SetRgba(x, y, canvas.GetRgba(x, y) | 0xFF000000u);
    return canvas;
  }
  for (int y = 0; y < height; ++y) {
    std::size_t row = mask + maskStride * static_cast<std::size_t>(height - 1 - y);
    for (int x = 0; x < width; ++x) {
      bool transparent = (r.U8(row + static_cast<std::size_t>(x) / 8) >> (7 - x % 8)) & 1;
      std::uint32_t v = canvas.GetRgba(x, y) & 0x00FFFFFFu;
      canvas.SetRgba(x, y, transparent ? 0 : v | 0xFF000000u);
    }
  }
  return canvas;
}

std::optional<Canvas> DecodeEntry(const Reader& r, const Entry& e) {
  if (!r.Has(e.offset, e.size)) return std::nullopt;
  static const unsigned char kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (e.size >= 8 && std::memcmp(r.At(e.offset), kPng, 8) == 0)
    return DecodeImage(r.At(e.offset), e.size);
  return DecodeDib(r, e.offset, e.size);
}

// The entry that fits the wanted size best (see icon.h).
std::size_t Choose(const std::vector<Entry>& entries, int cx, int cy) {
  std::optional<std::size_t> exact, larger, largest;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const Entry& e = entries[i];
    if (e.width == cx && e.height == cy && (!exact || e.bits > entries[*exact].bits)) exact = i;
    if (e.width >= cx && e.height >= cy &&
        (!larger || e.width * e.height < entries[*larger].width * entries[*larger].height))
      larger = i;
    if (!largest || e.width * e.height > entries[*largest].width * entries[*largest].height)
      largest = i;
  }
  return exact ? *exact : larger ? *larger : *largest;
}

Canvas Scaled(const Canvas& src, int cx, int cy) {
  if (src.Width() == cx && src.Height() == cy) return src;
  Canvas out(cx, cy, 0);
  for (int y = 0; y < cy; ++y)
    for (int x = 0; x < cx; ++x)
      out.SetRgba(x, y,
                  src.GetRgba(static_cast<int>(static_cast<long long>(x) * src.Width() / cx),
                              static_cast<int>(static_cast<long long>(y) * src.Height() / cy)));
  return out;
}

// Draws `canvas` through a temporary memory DC so that the clip, the
// viewport origin and the blending are those of every other blit.
BOOL Blit(HDC hdc, int x, int y, int cx, int cy, const std::shared_ptr<Canvas>& canvas,
          UINT flags) {
  GdiObject bitmap;
  bitmap.type = OBJ_BITMAP;
  bitmap.bitmap = canvas;
  HBITMAP bm = AddGdi(std::move(bitmap));
  HDC mem = CreateCompatibleDC(hdc);
  HGDIOBJ old = SelectObject(mem, bm);
  BOOL ok = TRUE;
  int w = canvas->Width(), h = canvas->Height();
  if ((flags & DI_NORMAL) == DI_NORMAL) {
    BLENDFUNCTION blend;
    blend.AlphaFormat = AC_SRC_ALPHA;
    ok = AlphaBlend(hdc, x, y, cx, cy, mem, 0, 0, w, h, blend);
  } else if (flags & DI_IMAGE) {
    ok = StretchBlt(hdc, x, y, cx, cy, mem, 0, 0, w, h, SRCCOPY);
  } else if (flags & DI_MASK) {
    // The mask goes in a canvas of its own: the icon's pixels are shared.
    Canvas mask(w, h, 0xFFFFFFFFu);
    for (int j = 0; j < h; ++j)
      for (int i = 0; i < w; ++i)
        if (canvas->GetAlpha(i, j) >= 128) mask.SetRgba(i, j, 0xFF000000u);
    FindGdi(bm, OBJ_BITMAP)->bitmap = std::make_shared<Canvas>(std::move(mask));
    SelectObject(mem, bm);  // the DC takes the new pixels
    ok = StretchBlt(hdc, x, y, cx, cy, mem, 0, 0, w, h, SRCAND);
  }
  SelectObject(mem, old);
  DeleteDC(mem);
  DeleteObject(bm);
  return ok;
}

}  // namespace

HICON CreateIconFromCanvas(const Canvas& canvas) {
  if (canvas.Empty()) return 0;
  GdiObject o;
  o.type = kIconObject;
  o.bitmap = std::make_shared<Canvas>(canvas.Width(), canvas.Height(), 0);
  for (int y = 0; y < canvas.Height(); ++y)
    for (int x = 0; x < canvas.Width(); ++x) o.bitmap->SetRgba(x, y, canvas.GetRgba(x, y));
  return AddGdi(std::move(o));
}

std::optional<Canvas> DecodeIconFilePicture(const void* data, std::size_t size, int cx, int cy) {
  if (!data || size < 6) return std::nullopt;
  Reader r(static_cast<const unsigned char*>(data), size);
  if (r.U16(0) != 0 || (r.U16(2) != 1 && r.U16(2) != 2)) return std::nullopt;
  std::size_t count = r.U16(4);
  if (count == 0 || !r.Has(6, count * 16)) return std::nullopt;
  std::vector<Entry> entries;
  for (std::size_t i = 0; i < count; ++i) {
    std::size_t at = 6 + i * 16;
    Entry e;
    e.width = r.U8(at) ? static_cast<int>(r.U8(at)) : 256;
    e.height = r.U8(at + 1) ? static_cast<int>(r.U8(at + 1)) : 256;
    e.bits = static_cast<int>(r.U16(at + 6));
    e.size = r.U32(at + 8);
    e.offset = r.U32(at + 12);
    entries.push_back(e);
  }
  std::size_t chosen = 0;
  if (cx < 0 || cy < 0) chosen = Choose(entries, 1 << 16, 1 << 16);  // the largest
  else if (cx > 0 || cy > 0) chosen = Choose(entries, cx > 0 ? cx : cy, cy > 0 ? cy : cx);
  std::optional<Canvas> picture = DecodeEntry(r, entries[chosen]);
  if (!picture || picture->Empty()) return std::nullopt;
  return picture;
}

HICON CreateIconFromFileData(const void* data, std::size_t size, int cx, int cy, UINT flags) {
  if (!data || size == 0) return 0;
  if ((flags & LR_DEFAULTSIZE) && cx <= 0) cx = kDefaultIconSize;
  if ((flags & LR_DEFAULTSIZE) && cy <= 0) cy = kDefaultIconSize;
  std::optional<Canvas> picture =
      DecodeIconFilePicture(data, size, std::max(0, cx), std::max(0, cy));
  if (!picture) picture = DecodeImage(static_cast<const unsigned char*>(data), size);
  if (!picture || picture->Empty()) return 0;
  int w = cx > 0 ? cx : cy > 0 ? cy : picture->Width();
  int h = cy > 0 ? cy : cx > 0 ? cx : picture->Height();
  return CreateIconFromCanvas(Scaled(*picture, w, h));
}

std::shared_ptr<Canvas> GetIconCanvas(HICON icon) {
  GdiObject* o = FindGdi(icon, kIconObject);
  return o ? o->bitmap : nullptr;
}

BOOL DestroyIcon(HICON icon) {
  if (!FindGdi(icon, kIconObject)) return FALSE;
  GdiObject* o = FindGdi(icon, kIconObject);
  o->type = OBJ_BITMAP;  // so that the table lets it go
  return DeleteObject(icon);
}

BOOL GetIconInfo(HICON icon, ICONINFO* info) {
  auto canvas = GetIconCanvas(icon);
  if (!canvas || !info) return FALSE;
  Canvas mask(canvas->Width(), canvas->Height(), 0xFF000000u);
  for (int y = 0; y < canvas->Height(); ++y)
    for (int x = 0; x < canvas->Width(); ++x)
      if (canvas->GetAlpha(x, y) < 128) mask.SetRgba(x, y, 0xFFFFFFFFu);
  *info = ICONINFO{};
  info->xHotspot = static_cast<DWORD>(canvas->Width() / 2);
  info->yHotspot = static_cast<DWORD>(canvas->Height() / 2);
  info->hbmMask = CreateBitmapFromCanvas(mask);
  info->hbmColor = CreateBitmapFromCanvas(*canvas);
  return TRUE;
}

BOOL DrawIconEx(HDC hdc, int x, int y, HICON icon, int cx, int cy, UINT, HBRUSH background,
                UINT flags) {
  auto canvas = GetIconCanvas(icon);
  if (!canvas || !FindDC(hdc)) return FALSE;
  if (cx <= 0) cx = (flags & DI_DEFAULTSIZE) ? kDefaultIconSize : canvas->Width();
  if (cy <= 0) cy = (flags & DI_DEFAULTSIZE) ? kDefaultIconSize : canvas->Height();
  if (background) {
    RECT rc{x, y, x + cx, y + cy};
    FillRect(hdc, &rc, background);
  }
  if (!(flags & DI_NORMAL)) return TRUE;
  return Blit(hdc, x, y, cx, cy, canvas, flags);
}

BOOL DrawIcon(HDC hdc, int x, int y, HICON icon) {
  return DrawIconEx(hdc, x, y, icon, 0, 0, 0, 0, DI_NORMAL | DI_DEFAULTSIZE);
}
