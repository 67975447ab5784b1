// The image button: background, icon strip, text and hover border.
#include "host/skinctl/bitmapbutton.h"

#include "host/skinctl/picture.h"

#include "hover.h"

#include <algorithm>

CGT_BitmapButton::CGT_BitmapButton() = default;

CGT_BitmapButton::~CGT_BitmapButton() {
  if (m_hWnd) DestroyWindow();
}

BOOL CGT_BitmapButton::Create(LPCWSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  m_text = text ? text : u"";
  return CButton::Create(text, style | WS_CHILD, rect, parent, id);
}

BOOL CGT_BitmapButton::SetIconFile(LPCWSTR path, int states) {
  m_icon = CQWPicture::LoadPicture(path);
  m_states = std::max(1, states);
  if (m_hWnd) Invalidate(FALSE);
  return m_icon ? TRUE : FALSE;
}

BOOL CGT_BitmapButton::SetBackImage(LPCWSTR path) {
  m_back = CQWPicture::LoadPicture(path);
  if (m_hWnd) Invalidate(FALSE);
  return m_back ? TRUE : FALSE;
}

void CGT_BitmapButton::SetBkColor(COLORREF colour) {
  m_bkColor = colour;
  if (m_hWnd) Invalidate(FALSE);
}

void CGT_BitmapButton::SetTextColor(COLORREF colour) {
  m_textColor = colour;
  if (m_hWnd) Invalidate(FALSE);
}

void CGT_BitmapButton::SetBorderColor(COLORREF colour) { m_border = colour; }

void CGT_BitmapButton::SetTransparent(BOOL on, COLORREF transparent) {
  m_transparent = on != FALSE;
  m_transparentColor = transparent;
  if (m_hWnd) Invalidate(FALSE);
}

void CGT_BitmapButton::SetText(const std::u16string& text, int align) {
  m_text = text;
  m_align = std::clamp(align, GTBB_TEXT_LEFT, GTBB_TEXT_BOTTOM);
  if (m_hWnd) {
    CButton::SetWindowText(text);
    Invalidate(FALSE);
  }
}

void CGT_BitmapButton::DrawTransparentBack(CDC* dc, const RECT& rc) {
  if (!dc) return;
  if (m_back) m_back->Draw(dc, rc);
  else if (m_bkColor != CLR_INVALID) dc->FillSolidRect(&rc, m_bkColor);
}

BOOL CGT_BitmapButton::OnEraseBkgnd(CDC*) { return TRUE; }

void CGT_BitmapButton::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  DrawTransparentBack(&dc, rc);

  int state = !IsWindowEnabled() ? 3 : m_pressed ? 2 : m_hover ? 1 : 0;
  int iw = 0, ih = 0;
  if (m_icon) {
    iw = m_icon->GetWidth() / m_states;
    ih = m_icon->GetHeight();
    state = std::min(state, m_states - 1);
  }
  CSize ts = m_text.empty() ? CSize(0, 0) : dc.GetTextExtent(m_text);
  int gap = (iw && ts.cx) ? 2 : 0;
  bool vertical = m_align == GTBB_TEXT_TOP || m_align == GTBB_TEXT_BOTTOM;
  int totalW =
      vertical ? std::max(iw, static_cast<int>(ts.cx)) : iw + gap + static_cast<int>(ts.cx);
  int totalH =
      vertical ? ih + gap + static_cast<int>(ts.cy) : std::max(ih, static_cast<int>(ts.cy));
  int x0 = (rc.Width() - totalW) / 2, y0 = (rc.Height() - totalH) / 2;
  CPoint icon, text;
  switch (m_align) {
    case GTBB_TEXT_LEFT:
      text = CPoint(x0, (rc.Height() - ts.cy) / 2);
      icon = CPoint(x0 + ts.cx + gap, (rc.Height() - ih) / 2);
      break;
    case GTBB_TEXT_RIGHT:
      icon = CPoint(x0, (rc.Height() - ih) / 2);
      text = CPoint(x0 + iw + gap, (rc.Height() - ts.cy) / 2);
      break;
    case GTBB_TEXT_TOP:
      text = CPoint((rc.Width() - ts.cx) / 2, y0);
      icon = CPoint((rc.Width() - iw) / 2, y0 + ts.cy + gap);
      break;
    default:
      icon = CPoint((rc.Width() - iw) / 2, y0);
      text = CPoint((rc.Width() - ts.cx) / 2, y0 + ih + gap);
      break;
  }
  if (m_icon) {
    CDC mem;
    mem.CreateCompatibleDC(&dc);
    HGDIOBJ old = mem.SelectObject(m_icon->GetBitmap());
    if (m_transparent)
      dc.TransparentBlt(icon.x, icon.y, iw, ih, &mem, state * iw, 0, iw, ih, m_transparentColor);
    else dc.BitBlt(icon.x, icon.y, iw, ih, &mem, state * iw, 0, SRCCOPY);
    mem.SelectObject(old);
  }
  if (!m_text.empty()) {
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(m_textColor);
    dc.TextOut(text.x, text.y, m_text);
  }
  if (m_hover && m_border != CLR_INVALID) {
    CBrush frame(m_border);
    dc.FrameRect(&rc, &frame);
  }
}

void CGT_BitmapButton::OnMouseMove(UINT flags, CPoint point) {
  skinctl::BeginHover(*this, m_hover);
  CButton::OnMouseMove(flags, point);
}

void CGT_BitmapButton::OnMouseLeave() {
  m_pressed = false;
  skinctl::EndHover(*this, m_hover);
  CButton::OnMouseLeave();
}

void CGT_BitmapButton::OnLButtonDown(UINT flags, CPoint point) {
  m_pressed = true;
  Invalidate(FALSE);
  CButton::OnLButtonDown(flags, point);
}

void CGT_BitmapButton::OnLButtonUp(UINT flags, CPoint point) {
  bool click = m_pressed;
  m_pressed = false;
  CRect rc;
  GetClientRect(&rc);
  Invalidate(FALSE);
  CButton::OnLButtonUp(flags, point);  // the platform's button reports BN_CLICKED
  if (click && rc.PtInRect(point) && m_onClick) m_onClick();
}

BOOL CGT_BitmapButton::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
  if (m_handCursor) {
    ::SetCursor(LoadCursorW(nullptr, IDC_HAND));
    return TRUE;
  }
  return CButton::OnSetCursor(wnd, hitTest, message);
}
