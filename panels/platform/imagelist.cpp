#include "platform/imagelist.h"

#include "platform/bitmap.h"
#include "platform/ui_internal.h"

#include <algorithm>

using namespace platform::ui;

namespace platform::ui {
namespace {

struct ImageList {
  int cx = 0;
  int cy = 0;
  UINT flags = 0;
  COLORREF bk = CLR_NONE;
  std::vector<std::shared_ptr<Canvas>> images;
};

std::unordered_map<HIMAGELIST, ImageList>& Lists() {
  static std::unordered_map<HIMAGELIST, ImageList> lists;
  return lists;
}

ImageList* Find(HIMAGELIST h) {
  auto it = Lists().find(h);
  return it == Lists().end() ? nullptr : &it->second;
}

// Cuts a strip into images; `transparent` says which source pixels are not drawn.
// A 32-bit list keeps the strip's own alpha unless a mask (or mask colour)
// says what is transparent, as 32-bit images with an alpha channel are drawn
// blended on the original platform.
template <typename Pred>
std::vector<std::shared_ptr<Canvas>> Cut(const ImageList& list, const Canvas& strip,
                                         Pred transparent, bool masked) {
  std::vector<std::shared_ptr<Canvas>> out;
  if (list.cx <= 0 || list.cy <= 0) return out;
  int count = std::max(1, strip.Width() / list.cx);
  for (int n = 0; n < count; ++n) {
    auto img = std::make_shared<Canvas>(list.cx, list.cy, 0u);
    for (int y = 0; y < list.cy; ++y)
      for (int x = 0; x < list.cx; ++x) {
        int sx = n * list.cx + x;
        if (!strip.Contains(sx, y)) continue;
        std::uint32_t p = strip.GetRgba(sx, y);
        if (transparent(sx, y, p)) continue;
        if (!(list.flags & ILC_COLOR32) || ((list.flags & ILC_MASK) && masked)) p |= 0xFF000000u;
        img->SetRgba(x, y, p);
      }
    out.push_back(img);
  }
  return out;
}

std::vector<std::shared_ptr<Canvas>> CutWithMask(const ImageList& list, HBITMAP image,
                                                 HBITMAP mask) {
  auto strip = GetBitmapCanvas(image);
  if (!strip) return {};
  auto m = GetBitmapCanvas(mask);
  return Cut(
      list, *strip,
      [&](int x, int y, std::uint32_t) {
        // A white mask pixel marks a transparent image pixel.
        return m && (m->GetPixel(x, y) & 0xFFFFFFu) == 0xFFFFFFu;
      },
      m != nullptr);
}

}  // namespace

void ResetImageLists() { Lists().clear(); }

}  // namespace platform::ui

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int) {
  if (cx <= 0 || cy <= 0) return 0;
  HIMAGELIST h = NewHandle();
  ImageList list;
  list.cx = cx;
  list.cy = cy;
  list.flags = flags;
  list.images.reserve(static_cast<std::size_t>(std::max(0, initial)));
  Lists().emplace(h, std::move(list));
  return h;
}

BOOL ImageList_Destroy(HIMAGELIST h) { return Lists().erase(h) ? TRUE : FALSE; }

int ImageList_Add(HIMAGELIST h, HBITMAP image, HBITMAP mask) {
  ImageList* list = Find(h);
  if (!list) return -1;
  auto imgs = CutWithMask(*list, image, mask);
  if (imgs.empty()) return -1;
  int first = static_cast<int>(list->images.size());
  list->images.insert(list->images.end(), imgs.begin(), imgs.end());
  return first;
}

int ImageList_AddMasked(HIMAGELIST h, HBITMAP image, COLORREF maskColour) {
  ImageList* list = Find(h);
  auto strip = GetBitmapCanvas(image);
  if (!list || !strip) return -1;
  COLORREF key = maskColour & 0xFFFFFFu;
  auto imgs = Cut(
      *list, *strip, [&](int, int, std::uint32_t p) { return (p & 0xFFFFFFu) == key; }, true);
  if (imgs.empty()) return -1;
  int first = static_cast<int>(list->images.size());
  list->images.insert(list->images.end(), imgs.begin(), imgs.end());
  return first;
}

BOOL ImageList_Replace(HIMAGELIST h, int index, HBITMAP image, HBITMAP mask) {
  ImageList* list = Find(h);
  if (!list || index < 0 || index >= static_cast<int>(list->images.size())) return FALSE;
  auto imgs = CutWithMask(*list, image, mask);
  if (imgs.empty()) return FALSE;
  list->images[static_cast<std::size_t>(index)] = imgs.front();
  return TRUE;
}

BOOL ImageList_Remove(HIMAGELIST h, int index) {
  ImageList* list = Find(h);
  if (!list) return FALSE;
  if (index == -1) {
    list->images.clear();
    return TRUE;
  }
  if (index < 0 || index >= static_cast<int>(list->images.size())) return FALSE;
  list->images.erase(list->images.begin() + index);
  return TRUE;
}

int ImageList_GetImageCount(HIMAGELIST h) {
  ImageList* list = Find(h);
  return list ? static_cast<int>(list->images.size()) : 0;
}

BOOL ImageList_SetImageCount(HIMAGELIST h, UINT count) {
  ImageList* list = Find(h);
  if (!list) return FALSE;
  std::size_t old = list->images.size();
  list->images.resize(count);
  for (std::size_t i = old; i < count; ++i)
    list->images[i] = std::make_shared<Canvas>(list->cx, list->cy, 0u);
  return TRUE;
}

BOOL ImageList_GetIconSize(HIMAGELIST h, int* cx, int* cy) {
  ImageList* list = Find(h);
  if (!list || !cx || !cy) return FALSE;
  *cx = list->cx;
  *cy = list->cy;
  return TRUE;
}

COLORREF ImageList_SetBkColor(HIMAGELIST h, COLORREF colour) {
  ImageList* list = Find(h);
  if (!list) return CLR_NONE;
  COLORREF old = list->bk;
  list->bk = colour;
  return old;
}

std::shared_ptr<Canvas> ImageList_GetImageCanvas(HIMAGELIST h, int index) {
  ImageList* list = Find(h);
  if (!list || index < 0 || index >= static_cast<int>(list->images.size())) return nullptr;
  return list->images[static_cast<std::size_t>(index)];
}

BOOL ImageList_Draw(HIMAGELIST h, int index, HDC hdc, int x, int y, UINT style) {
  auto img = ImageList_GetImageCanvas(h, index);
  DeviceContext* dc = FindDC(hdc);
  ImageList* list = Find(h);
  if (!img || !dc || !list) return FALSE;
  if (!dc->canvas) return TRUE;
  bool useBk = !(style & ILD_TRANSPARENT) && list->bk != CLR_NONE;
  for (int j = 0; j < img->Height(); ++j)
    for (int i = 0; i < img->Width(); ++i) {
      std::uint32_t p = img->GetRgba(i, j);
      unsigned a = p >> 24;
      int dx = x + i + dc->org.x, dy = y + j + dc->org.y;
      if (dx < dc->clip.left || dy < dc->clip.top || dx >= dc->clip.right ||
          dy >= dc->clip.bottom || !dc->canvas->Contains(dx, dy))
        continue;
      std::uint32_t under = useBk ? Canvas::ToRgba(list->bk) : dc->canvas->GetRgba(dx, dy);
      if (a == 0) {
        if (useBk) dc->canvas->SetRgba(dx, dy, under);
        continue;
      }
      std::uint32_t out = 0xFF000000u;
      for (int shift = 0; shift < 24; shift += 8) {
        unsigned s = (p >> shift) & 0xFF, d = (under >> shift) & 0xFF;
        out |= ((s * a + d * (255 - a) + 127) / 255) << shift;
      }
      dc->canvas->SetRgba(dx, dy, out);
    }
  return TRUE;
}
