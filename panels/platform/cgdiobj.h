// GDI object classes of the class framework. An object owns its handle and
// deletes it when destroyed, unless Detach()ed; FromHandle gives a wrapper
// that does not own (kept by the framework).
#pragma once

#include "platform/afxtypes.h"
#include "platform/gdi.h"
#include "platform/region.h"

class CDC;

class CGdiObject {
 public:
  CGdiObject() = default;
  virtual ~CGdiObject();
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;

  HGDIOBJ m_hObject = 0;
  HGDIOBJ GetSafeHandle() const { return m_hObject; }
  operator HGDIOBJ() const { return m_hObject; }
  BOOL Attach(HGDIOBJ obj);
  HGDIOBJ Detach();
  BOOL DeleteObject();
  int GetObject(int size, LPVOID buffer) const { return ::GetObjectW(m_hObject, size, buffer); }
  static CGdiObject* FromHandle(HGDIOBJ obj);

 protected:
  bool owns_ = true;
  friend struct GdiTemporaries;
};

class CPen : public CGdiObject {
 public:
  CPen() = default;
  CPen(int style, int width, COLORREF colour) { CreatePen(style, width, colour); }
  BOOL CreatePen(int style, int width, COLORREF colour);
  static CPen* FromHandle(HPEN pen);
};

class CBrush : public CGdiObject {
 public:
  CBrush() = default;
  explicit CBrush(COLORREF colour) { CreateSolidBrush(colour); }
  BOOL CreateSolidBrush(COLORREF colour);
  BOOL CreateSysColorBrush(int index);
  static CBrush* FromHandle(HBRUSH brush);
};

class CFont : public CGdiObject {
 public:
  BOOL CreateFontIndirect(const LOGFONTW* lf);
  // Height in tenths of a point, as the framework takes it.
  BOOL CreatePointFont(int pointSize, LPCWSTR faceName, CDC* dc = nullptr);
  BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                  BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision,
                  BYTE clipPrecision, BYTE quality, BYTE pitchAndFamily, LPCWSTR faceName);
  int GetLogFont(LOGFONTW* lf) const { return GetObject(sizeof(LOGFONTW), lf); }
  static CFont* FromHandle(HFONT font);
};

class CBitmap : public CGdiObject {
 public:
  BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
  BOOL CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
  // From a PNG/BMP file (LoadImageW with LR_LOADFROMFILE).
  BOOL LoadFromFile(LPCWSTR path, int cx = 0, int cy = 0);
  int GetBitmap(BITMAP* bm) const { return GetObject(sizeof(BITMAP), bm); }
  CSize GetSize() const;
  operator HBITMAP() const { return m_hObject; }
  static CBitmap* FromHandle(HBITMAP bitmap);
};

class CRgn : public CGdiObject {
 public:
  BOOL CreateRectRgn(int l, int t, int r, int b);
  BOOL CreateRectRgnIndirect(const RECT* rc);
  BOOL CreateRoundRectRgn(int l, int t, int r, int b, int w, int h);
  BOOL CreateEllipticRgn(int l, int t, int r, int b);
  BOOL CreatePolygonRgn(const POINT* points, int count, int mode);
  int CombineRgn(const CRgn* a, const CRgn* b, int mode);
  BOOL PtInRegion(int x, int y) const { return ::PtInRegion(m_hObject, x, y); }
  BOOL PtInRegion(POINT p) const { return ::PtInRegion(m_hObject, p.x, p.y); }
  int GetRgnBox(RECT* rc) const { return ::GetRgnBox(m_hObject, rc); }
  int OffsetRgn(int dx, int dy) { return ::OffsetRgn(m_hObject, dx, dy); }
  operator HRGN() const { return m_hObject; }
  static CRgn* FromHandle(HRGN rgn);
};
