// Device context classes of the class framework.
#pragma once

#include "platform/bitmap.h"
#include "platform/cgdiobj.h"
#include "platform/drawtext.h"

#include <string>

class CWnd;

class CDC {
 public:
  CDC() = default;
  virtual ~CDC();  // deletes a DC it created (CreateCompatibleDC)
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  HDC m_hDC = 0;
  HDC GetSafeHdc() const { return m_hDC; }
  operator HDC() const { return m_hDC; }
  BOOL Attach(HDC hdc);
  HDC Detach();
  static CDC* FromHandle(HDC hdc);

  BOOL CreateCompatibleDC(CDC* dc);
  BOOL DeleteDC();
  int SaveDC() { return ::SaveDC(m_hDC); }
  BOOL RestoreDC(int saved) { return ::RestoreDC(m_hDC, saved); }

  HGDIOBJ SelectObject(HGDIOBJ obj) { return ::SelectObject(m_hDC, obj); }
  CPen* SelectObject(CPen* pen);
  CBrush* SelectObject(CBrush* brush);
  CFont* SelectObject(CFont* font);
  CBitmap* SelectObject(CBitmap* bitmap);
  CGdiObject* SelectStockObject(int index);

  COLORREF SetTextColor(COLORREF c) { return ::SetTextColor(m_hDC, c); }
  COLORREF GetTextColor() const { return ::GetTextColor(m_hDC); }
  COLORREF SetBkColor(COLORREF c) { return ::SetBkColor(m_hDC, c); }
  COLORREF GetBkColor() const { return ::GetBkColor(m_hDC); }
  int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
  int SetStretchBltMode(int mode) { return ::SetStretchBltMode(m_hDC, mode); }
  CPoint SetViewportOrg(int x, int y);
  CPoint OffsetViewportOrg(int dx, int dy);
  int IntersectClipRect(const RECT* rc) {
    return ::IntersectClipRect(m_hDC, rc->left, rc->top, rc->right, rc->bottom);
  }
  int GetClipBox(RECT* rc) const { return ::GetClipBox(m_hDC, rc); }

  void FillRect(const RECT* rc, CBrush* brush) {
    ::FillRect(m_hDC, rc, brush ? brush->m_hObject : 0);
  }
  void FillSolidRect(const RECT* rc, COLORREF colour);
  void FillSolidRect(int x, int y, int cx, int cy, COLORREF colour);
  void FrameRect(const RECT* rc, CBrush* brush) {
    ::FrameRect(m_hDC, rc, brush ? brush->m_hObject : 0);
  }
  BOOL FillRgn(CRgn* rgn, CBrush* brush) {
    return ::FillRgn(m_hDC, rgn->m_hObject, brush->m_hObject);
  }
  void Draw3dRect(const RECT* rc, COLORREF topLeft, COLORREF bottomRight);
  void Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight);
  BOOL Rectangle(int l, int t, int r, int b) { return ::Rectangle(m_hDC, l, t, r, b); }
  BOOL Rectangle(const RECT* rc) {
    return ::Rectangle(m_hDC, rc->left, rc->top, rc->right, rc->bottom);
  }
  BOOL RoundRect(const RECT* rc, POINT corner) {
    return ::RoundRect(m_hDC, rc->left, rc->top, rc->right, rc->bottom, corner.x, corner.y);
  }
  BOOL RoundRect(int l, int t, int r, int b, int w, int h) {
    return ::RoundRect(m_hDC, l, t, r, b, w, h);
  }
  BOOL Ellipse(const RECT* rc) {
    return ::Ellipse(m_hDC, rc->left, rc->top, rc->right, rc->bottom);
  }
  BOOL Polygon(const POINT* pts, int count) { return ::Polygon(m_hDC, pts, count); }
  CPoint MoveTo(int x, int y);
  CPoint MoveTo(POINT p) { return MoveTo(p.x, p.y); }
  BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
  BOOL LineTo(POINT p) { return ::LineTo(m_hDC, p.x, p.y); }
  COLORREF SetPixel(int x, int y, COLORREF c) { return ::SetPixel(m_hDC, x, y, c); }
  COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
  void DrawFocusRect(const RECT* rc) { ::DrawFocusRect(m_hDC, rc); }

  int DrawText(const std::u16string& text, RECT* rc, UINT format);
  int DrawText(LPCWSTR text, int count, RECT* rc, UINT format);
  BOOL TextOut(int x, int y, const std::u16string& text);
  CSize GetTextExtent(const std::u16string& text) const;
  BOOL GetTextMetrics(TEXTMETRICW* tm) const { return ::GetTextMetricsW(m_hDC, tm); }

  BOOL BitBlt(int x, int y, int cx, int cy, CDC* src, int sx, int sy, DWORD rop);
  BOOL StretchBlt(int x, int y, int cx, int cy, CDC* src, int sx, int sy, int scx, int scy,
                  DWORD rop);
  BOOL TransparentBlt(int x, int y, int cx, int cy, CDC* src, int sx, int sy, int scx, int scy,
                      UINT transparent);

 protected:
  bool owns_ = false;
};

// BeginPaint/EndPaint for the lifetime of the object.
class CPaintDC : public CDC {
 public:
  explicit CPaintDC(CWnd* wnd);
  ~CPaintDC() override;
  PAINTSTRUCT m_ps;

 private:
  HWND hwnd_ = 0;
};

// GetDC/ReleaseDC for the lifetime of the object.
class CClientDC : public CDC {
 public:
  explicit CClientDC(CWnd* wnd);
  ~CClientDC() override;

 private:
  HWND hwnd_ = 0;
};
using CWindowDC = CClientDC;
