// CImageList: the class framework's image list object; owns its list.
#pragma once

#include "platform/imagelist.h"

class CBitmap;
class CDC;

class CImageList {
 public:
  CImageList() = default;
  virtual ~CImageList();
  CImageList(const CImageList&) = delete;
  CImageList& operator=(const CImageList&) = delete;

  HIMAGELIST m_hImageList = 0;
  HIMAGELIST GetSafeHandle() const { return m_hImageList; }
  operator HIMAGELIST() const { return m_hImageList; }
  BOOL Attach(HIMAGELIST list);
  HIMAGELIST Detach();

  BOOL Create(int cx, int cy, UINT flags, int initial, int grow);
  BOOL DeleteImageList();
  int Add(CBitmap* image, CBitmap* mask);
  int Add(CBitmap* image, COLORREF maskColour);
  BOOL Replace(int index, CBitmap* image, CBitmap* mask);
  BOOL Remove(int index) { return ::ImageList_Remove(m_hImageList, index); }
  int GetImageCount() const { return ::ImageList_GetImageCount(m_hImageList); }
  BOOL SetImageCount(UINT count) { return ::ImageList_SetImageCount(m_hImageList, count); }
  BOOL GetIconSize(int* cx, int* cy) const { return ::ImageList_GetIconSize(m_hImageList, cx, cy); }
  BOOL Draw(CDC* dc, int index, POINT pt, UINT style);
  COLORREF SetBkColor(COLORREF c) { return ::ImageList_SetBkColor(m_hImageList, c); }
};
