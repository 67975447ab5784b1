// CQWBaseWndPluginEx: a plug-in that is its own window.
#include "host/plughost.h"
#include "platform/cdc.h"

CQWBaseWndPluginEx::CQWBaseWndPluginEx() = default;

CQWBaseWndPluginEx::~CQWBaseWndPluginEx() {
  // The window must go while this class's handlers are still reachable, and
  // before the plug-in base would destroy it by handle.
  if (m_hWnd) CWnd::DestroyWindow();
  m_hPluginWnd = 0;
}

int QWCreateOrMoveWindow(CWnd& wnd, LPCWSTR className, DWORD style, HWND parent, const RECT* rc,
                         UINT id) {
  const RECT r = rc ? *rc : RECT{};
  if (wnd.m_hWnd && IsWindow(wnd.m_hWnd)) {
    ::SetParent(wnd.m_hWnd, parent);
    ::MoveWindow(wnd.m_hWnd, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    return 0;
  }
  if (!wnd.CreateEx(0, className, u"", style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                    parent, static_cast<HMENU>(id)))
    return -1;
  return 1;
}

BOOL CQWBaseWndPluginEx::CreatePlugin(HWND parent, const RECT* rc) {
  const int made =
      QWCreateOrMoveWindow(*this, GetPluginClassName(), WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                           parent, rc, GetPluginCtrlId());
  if (made > 0) m_hPluginWnd = m_hWnd;
  return made > 0;
}

void CQWBaseWndPluginEx::OnPaint() {
  CPaintDC dc(this);
  RECT rc;
  GetClientRect(&rc);
  DrawPlugin(dc.m_hDC, rc);
}

BOOL CQWBaseWndPluginEx::OnEraseBkgnd(CDC*) { return TRUE; }
