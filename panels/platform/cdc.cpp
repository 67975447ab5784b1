#include "platform/cdc.h"

#include "platform/cwnd.h"

#include <memory>
#include <unordered_map>

CDC::~CDC() {
  if (owns_ && m_hDC) ::DeleteDC(m_hDC);
}

BOOL CDC::Attach(HDC hdc) {
  if (m_hDC || !hdc) return FALSE;
  m_hDC = hdc;
  owns_ = false;
  return TRUE;
}

HDC CDC::Detach() {
  HDC h = m_hDC;
  m_hDC = 0;
  owns_ = false;
  return h;
}

CDC* CDC::FromHandle(HDC hdc) {
  if (!hdc) return nullptr;
  static std::unordered_map<HDC, std::unique_ptr<CDC>> map;
  auto it = map.find(hdc);
  if (it != map.end()) return it->second.get();
  auto dc = std::make_unique<CDC>();
  dc->m_hDC = hdc;
  CDC* raw = dc.get();
  map.emplace(hdc, std::move(dc));
  return raw;
}

BOOL CDC::CreateCompatibleDC(CDC* dc) {
  if (m_hDC) return FALSE;
  m_hDC = ::CreateCompatibleDC(dc ? dc->m_hDC : 0);
  owns_ = true;
  return m_hDC != 0;
}

BOOL CDC::DeleteDC() {
  if (!m_hDC) return FALSE;
  BOOL r = ::DeleteDC(m_hDC);
  m_hDC = 0;
  owns_ = false;
  return r;
}

CPen* CDC::SelectObject(CPen* pen) {
  return pen ? CPen::FromHandle(::SelectObject(m_hDC, pen->m_hObject)) : nullptr;
}
CBrush* CDC::SelectObject(CBrush* brush) {
  return brush ? CBrush::FromHandle(::SelectObject(m_hDC, brush->m_hObject)) : nullptr;
}
CFont* CDC::SelectObject(CFont* font) {
  return font ? CFont::FromHandle(::SelectObject(m_hDC, font->m_hObject)) : nullptr;
}
CBitmap* CDC::SelectObject(CBitmap* bitmap) {
  return bitmap ? CBitmap::FromHandle(::SelectObject(m_hDC, bitmap->m_hObject)) : nullptr;
}
CGdiObject* CDC::SelectStockObject(int index) {
  return CGdiObject::FromHandle(::SelectObject(m_hDC, GetStockObject(index)));
}

CPoint CDC::SetViewportOrg(int x, int y) {
  POINT old{};
  ::SetViewportOrgEx(m_hDC, x, y, &old);
  return CPoint(old);
}

CPoint CDC::OffsetViewportOrg(int dx, int dy) {
  POINT old{};
  ::OffsetViewportOrgEx(m_hDC, dx, dy, &old);
  return CPoint(old);
}

void CDC::FillSolidRect(const RECT* rc, COLORREF colour) {
  if (!rc) return;
  HBRUSH brush = ::CreateSolidBrush(colour);
  ::FillRect(m_hDC, rc, brush);
  ::DeleteObject(brush);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF colour) {
  RECT rc{x, y, x + cx, y + cy};
  FillSolidRect(&rc, colour);
}

void CDC::Draw3dRect(const RECT* rc, COLORREF topLeft, COLORREF bottomRight) {
  Draw3dRect(rc->left, rc->top, rc->right - rc->left, rc->bottom - rc->top, topLeft, bottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight) {
  FillSolidRect(x, y, cx - 1, 1, topLeft);
  FillSolidRect(x, y, 1, cy - 1, topLeft);
  FillSolidRect(x + cx - 1, y, 1, cy, bottomRight);
  FillSolidRect(x, y + cy - 1, cx, 1, bottomRight);
}

CPoint CDC::MoveTo(int x, int y) {
  POINT old{};
  ::MoveToEx(m_hDC, x, y, &old);
  return CPoint(old);
}

int CDC::DrawText(const std::u16string& text, RECT* rc, UINT format) {
  return ::DrawTextW(m_hDC, text.c_str(), static_cast<int>(text.size()), rc, format);
}

int CDC::DrawText(LPCWSTR text, int count, RECT* rc, UINT format) {
  return ::DrawTextW(m_hDC, text, count, rc, format);
}

BOOL CDC::TextOut(int x, int y, const std::u16string& text) {
  return ::TextOutW(m_hDC, x, y, text.c_str(), static_cast<int>(text.size()));
}

CSize CDC::GetTextExtent(const std::u16string& text) const {
  SIZE s{};
  ::GetTextExtentPoint32W(m_hDC, text.c_str(), static_cast<int>(text.size()), &s);
  return CSize(s);
}

BOOL CDC::BitBlt(int x, int y, int cx, int cy, CDC* src, int sx, int sy, DWORD rop) {
  return ::BitBlt(m_hDC, x, y, cx, cy, src ? src->m_hDC : 0, sx, sy, rop);
}

BOOL CDC::StretchBlt(int x, int y, int cx, int cy, CDC* src, int sx, int sy, int scx, int scy,
                     DWORD rop) {
  return ::StretchBlt(m_hDC, x, y, cx, cy, src ? src->m_hDC : 0, sx, sy, scx, scy, rop);
}

BOOL CDC::TransparentBlt(int x, int y, int cx, int cy, CDC* src, int sx, int sy, int scx, int scy,
                         UINT transparent) {
  return ::TransparentBlt(m_hDC, x, y, cx, cy, src ? src->m_hDC : 0, sx, sy, scx, scy, transparent);
}

CPaintDC::CPaintDC(CWnd* wnd) : hwnd_(wnd ? wnd->m_hWnd : 0) { m_hDC = ::BeginPaint(hwnd_, &m_ps); }

CPaintDC::~CPaintDC() {
  if (m_hDC) ::EndPaint(hwnd_, &m_ps);
  m_hDC = 0;
}

CClientDC::CClientDC(CWnd* wnd) : hwnd_(wnd ? wnd->m_hWnd : 0) { m_hDC = ::GetDC(hwnd_); }

CClientDC::~CClientDC() {
  if (m_hDC) ::ReleaseDC(hwnd_, m_hDC);
  m_hDC = 0;
}
