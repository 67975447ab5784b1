#include "platform/cimagelist.h"

#include "platform/cdc.h"

CImageList::~CImageList() {
  if (m_hImageList) ::ImageList_Destroy(m_hImageList);
}

BOOL CImageList::Attach(HIMAGELIST list) {
  if (m_hImageList || !list) return FALSE;
  m_hImageList = list;
  return TRUE;
}

HIMAGELIST CImageList::Detach() {
  HIMAGELIST h = m_hImageList;
  m_hImageList = 0;
  return h;
}

BOOL CImageList::Create(int cx, int cy, UINT flags, int initial, int grow) {
  return Attach(::ImageList_Create(cx, cy, flags, initial, grow));
}

BOOL CImageList::DeleteImageList() {
  if (!m_hImageList) return FALSE;
  BOOL r = ::ImageList_Destroy(m_hImageList);
  m_hImageList = 0;
  return r;
}

int CImageList::Add(CBitmap* image, CBitmap* mask) {
  return ::ImageList_Add(m_hImageList, image ? image->m_hObject : 0, mask ? mask->m_hObject : 0);
}

int CImageList::Add(CBitmap* image, COLORREF maskColour) {
  return ::ImageList_AddMasked(m_hImageList, image ? image->m_hObject : 0, maskColour);
}

BOOL CImageList::Replace(int index, CBitmap* image, CBitmap* mask) {
  return ::ImageList_Replace(m_hImageList, index, image ? image->m_hObject : 0,
                             mask ? mask->m_hObject : 0);
}

BOOL CImageList::Draw(CDC* dc, int index, POINT pt, UINT style) {
  return ::ImageList_Draw(m_hImageList, index, dc ? dc->m_hDC : 0, pt.x, pt.y, style);
}
