#include "module/plugin_btn_wnd.h"

#include "module/panel_button.h"
#include "platform/cdc.h"
#include "platform/controls.h"
#include "platform/gdi.h"

namespace {
constexpr UINT kButtonId = 50;
constexpr UINT kWindowId = 9;
}  // namespace

CPluginBtnWnd::CPluginBtnWnd() {
  WNDCLASSW wc;
  wc.style = 0x4008;  // double-clicks, global class
  wc.lpfnWndProc = DefWindowProcW;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
  wc.lpszClassName = u"Plugin_Btn_Wnd";
  RegisterClassW(&wc);  // a second registration fails harmlessly
  m_nMinWidth = 16;
  m_nMinHeight = 16;
  CPluginBtnWnd::Empty();
}

CPluginBtnWnd::~CPluginBtnWnd() {
  if (m_hWnd) CWnd::DestroyWindow();
  m_hPluginWnd = 0;
}

const CQWAttrArray& CPluginBtnWnd::GetAttrArray() {
  using C = CPluginBtnWnd;
  static const CQWAttrArray attrs = QWExtendAttrs(
      CQWBaseWndPlugin::GetAttrArray(),
      {
          QW_PLUGIN_ATTR(ATTR_COLOR, C, m_clrText, u"TextColor", u"文本字体"),
          QW_PLUGIN_ATTR(ATTR_COLOR, C, m_clrHover, u"HoverColor", u"文本字体"),
          QW_PLUGIN_ATTR(ATTR_BOOL, C, m_bShowHoverEdge, u"ShowHoverEdge", u"显示边框"),
          QW_PLUGIN_ATTR(ATTR_TEXT, C, m_strButtonIcon, u"ButtonIcon", u"按钮图标"),
          QW_PLUGIN_ATTR(ATTR_NUMBER, C, m_nFontWeight, u"FontWeight", u"字体磅值"),
      });
  return attrs;
}

void CPluginBtnWnd::Empty() {
  CQWBaseWndPlugin::Empty();
  m_clrText = 0;
  m_bShowHoverEdge = TRUE;
  m_strButtonIcon.clear();
  m_nFontWeight = 100;
}

BOOL CPluginBtnWnd::CreatePlugin(HWND parent, const RECT* rc) {
  const int made =
      QWCreateOrMoveWindow(*this, u"Plugin_Btn_Wnd", WS_CHILD | WS_VISIBLE, parent, rc, kWindowId);
  if (made < 0) return FALSE;
  if (made > 0) {
    m_hPluginWnd = m_hWnd;
    m_hButton = CreatePanelButton(m_hWnd, u"", kButtonId);
  }
  return TRUE;
}

BOOL CPluginBtnWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) == kButtonId && HIWORD(wParam) == BN_CLICKED) {
    OnButtonClick();
    return TRUE;
  }
  return CWnd::OnCommand(wParam, lParam);
}

void CPluginBtnWnd::OnSize(UINT type, int cx, int cy) {
  CWnd::OnSize(type, cx, cy);
  if (m_hButton) ::MoveWindow(m_hButton, 0, 0, cx, cy, TRUE);
}

void CPluginBtnWnd::OnPaint() {
  CPaintDC dc(this);
  RECT rc;
  GetClientRect(&rc);
  DrawPluginBack(dc.m_hDC, rc);
}

BOOL CPluginBtnWnd::OnEraseBkgnd(CDC*) { return TRUE; }
