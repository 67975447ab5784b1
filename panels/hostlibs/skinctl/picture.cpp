// Pictures from files, kept by path.
#include "host/skinctl/picture.h"

#include <map>
#include <mutex>

namespace {

std::map<std::u16string, std::shared_ptr<CQWPicture>>& Cache() {
  static std::map<std::u16string, std::shared_ptr<CQWPicture>> cache;
  return cache;
}

}  // namespace

CQWPicture::~CQWPicture() {
  if (m_bitmap) DeleteObject(m_bitmap);
}

std::shared_ptr<CQWPicture> CQWPicture::LoadPicture(LPCWSTR file, BOOL shared) {
  if (!file || !*file) return nullptr;
  std::u16string path(file);
  if (shared) {
    auto it = Cache().find(path);
    if (it != Cache().end()) return it->second;
  }
  HBITMAP bmp =
      static_cast<HBITMAP>(LoadImageW(nullptr, file, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  if (!bmp) return nullptr;
  std::shared_ptr<CQWPicture> pic(new CQWPicture);
  pic->m_bitmap = bmp;
  pic->m_path = path;
  GetBitmapDimensionEx(bmp, &pic->m_size);
  if (pic->m_size.cx <= 0 || pic->m_size.cy <= 0) {
    BITMAP bm;
    GetObjectW(bmp, sizeof bm, &bm);
    pic->m_size.cx = bm.bmWidth;
    pic->m_size.cy = bm.bmHeight;
  }
  if (shared) Cache()[path] = pic;
  return pic;
}

void CQWPicture::ClearCache() { Cache().clear(); }

int CQWPicture::GetFrameCount() const {
  if (m_size.cy <= 0) return 1;
  return std::max(1, static_cast<int>(m_size.cx / m_size.cy));
}

BOOL CQWPicture::Draw(CDC* dc, const RECT& rc) const {
  if (!dc || !m_bitmap) return FALSE;
  CDC mem;
  mem.CreateCompatibleDC(dc);
  HGDIOBJ old = mem.SelectObject(m_bitmap);
  dc->SetStretchBltMode(COLORONCOLOR);
  BOOL ok = dc->StretchBlt(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, &mem, 0, 0,
                           m_size.cx, m_size.cy, SRCCOPY);
  mem.SelectObject(old);
  return ok;
}

BOOL CQWPicture::DrawFrame(CDC* dc, int index, int x, int y, COLORREF transparent) const {
  if (!dc || !m_bitmap || index < 0 || index >= GetFrameCount()) return FALSE;
  int side = GetFrameCount() > 1 ? m_size.cy : m_size.cx;
  CDC mem;
  mem.CreateCompatibleDC(dc);
  HGDIOBJ old = mem.SelectObject(m_bitmap);
  BOOL ok = transparent == CLR_INVALID
                ? dc->BitBlt(x, y, side, m_size.cy, &mem, index * side, 0, SRCCOPY)
                : dc->TransparentBlt(x, y, side, m_size.cy, &mem, index * side, 0, side, m_size.cy,
                                     transparent);
  mem.SelectObject(old);
  return ok;
}

BOOL CQWPicture::CreateImageList(CImageList& list, COLORREF transparent) const {
  if (!m_bitmap) return FALSE;
  list.DeleteImageList();
  if (!list.Create(m_size.cy, m_size.cy, ILC_COLOR32 | ILC_MASK, GetFrameCount(), 4)) return FALSE;
  CBitmap* bmp = CBitmap::FromHandle(m_bitmap);
  int first = transparent == CLR_INVALID ? list.Add(bmp, static_cast<CBitmap*>(nullptr))
                                         : list.Add(bmp, transparent);
  return first >= 0;
}
