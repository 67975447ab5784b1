// Skinned button, static, edit and hyperlink.
#include "host/skinctl/coolcontrols.h"

#include "hover.h"
#include "platform/shell.h"

#include <algorithm>
#include <functional>

namespace {

std::u16string g_lastUrl;

}  // namespace

// ---- button -----------------------------------------------------------------------

void CCoolButton::SetColors(COLORREF text, COLORREF face, COLORREF border) {
  m_text = text;
  m_face = face;
  m_border = border;
  if (m_hWnd) Invalidate(FALSE);
}

void CCoolButton::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  COLORREF face = m_face;
  if (m_hover)
    face = RGB(std::min(255, GetRValue(face) + 15), std::min(255, GetGValue(face) + 15),
               std::min(255, GetBValue(face) + 15));
  dc.FillSolidRect(&rc, face);
  CBrush frame(m_border);
  dc.FrameRect(&rc, &frame);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(IsWindowEnabled() ? m_text : RGB(128, 128, 128));
  dc.DrawText(GetWindowText(), &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void CCoolButton::OnMouseMove(UINT flags, CPoint point) {
  skinctl::BeginHover(*this, m_hover);
  CButton::OnMouseMove(flags, point);
}

void CCoolButton::OnMouseLeave() {
  skinctl::EndHover(*this, m_hover);
  CButton::OnMouseLeave();
}

// ---- static -------------------------------------------------------------------------

void CCoolStatic::SetTextColor(COLORREF colour) {
  m_text = colour;
  if (m_hWnd) Invalidate(FALSE);
}

void CCoolStatic::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  if (!m_transparent) dc.FillSolidRect(&rc, m_back);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(m_text);
  DWORD style = GetStyle();
  UINT format =
      DT_WORDBREAK | ((style & SS_CENTER) ? DT_CENTER : 0) | ((style & SS_RIGHT) ? DT_RIGHT : 0);
  dc.DrawText(GetWindowText(), &rc, format);
}

// ---- edit ---------------------------------------------------------------------------

void CCoolEdit::SetColors(COLORREF text, COLORREF border) {
  m_text = text;
  m_border = border;
  if (m_hWnd) Invalidate(FALSE);
}

void CCoolEdit::OnPaint() {
  // The edit draws its text itself; the skin adds the frame.
  Default();
  CClientDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  CBrush frame(m_border);
  dc.FrameRect(&rc, &frame);
}

// ---- hyperlink ----------------------------------------------------------------------

void CCoolHyperLink::SetColors(COLORREF normal, COLORREF hover) {
  m_normal = normal;
  m_hover = hover;
  if (m_hWnd) Invalidate(FALSE);
}

void CCoolHyperLink::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(m_hoverState ? m_hover : m_normal);
  std::u16string text = GetWindowText();
  dc.DrawText(text, &rc, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  CSize size = dc.GetTextExtent(text);
  int y = (rc.top + rc.bottom + size.cy) / 2 - 1;
  CRect line(0, y, std::min<int>(size.cx, rc.Width()), y + 1);
  dc.FillSolidRect(&line, m_hoverState ? m_hover : m_normal);
}

void CCoolHyperLink::OnMouseMove(UINT flags, CPoint point) {
  skinctl::BeginHover(*this, m_hoverState);
  CButton::OnMouseMove(flags, point);
}

void CCoolHyperLink::OnMouseLeave() {
  skinctl::EndHover(*this, m_hoverState);
  CButton::OnMouseLeave();
}

BOOL CCoolHyperLink::OnSetCursor(CWnd*, UINT, UINT) {
  ::SetCursor(LoadCursorW(nullptr, IDC_HAND));
  return TRUE;
}

// The address is kept (for the host and the tests to see) and handed to the
// opener installed here, or else to the platform's shell "open", where the
// host records every address the panels open.
namespace {
std::function<BOOL(const std::u16string&, int)>& Opener() {
  static std::function<BOOL(const std::u16string&, int)> opener;
  return opener;
}
}  // namespace

BOOL CCoolHyperLink::GotoURL(LPCWSTR url, int show) {
  if (!url || !*url) return FALSE;
  g_lastUrl = url;
  if (Opener()) return Opener()(g_lastUrl, show);
  ShellExecuteW(0, u"open", url, nullptr, nullptr, show);
  return TRUE;
}

std::u16string CCoolHyperLink::GetLastOpenedURL() { return g_lastUrl; }

void CCoolHyperLink::SetURLOpener(std::function<BOOL(const std::u16string&, int)> opener) {
  Opener() = std::move(opener);
}
