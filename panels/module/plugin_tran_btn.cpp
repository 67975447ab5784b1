#include "module/plugin_tran_btn.h"

#include "module/panel_button.h"
#include "platform/cdc.h"
#include "platform/controls.h"
#include "platform/gdi.h"

namespace {
constexpr UINT kButtonId = 50;
constexpr UINT kWindowId = 9;
constexpr UINT kClassStyle = 0x4008;  // double-clicks, global class

void RegisterButtonClass(const char16_t* name) {
  WNDCLASSW wc;
  wc.style = kClassStyle;
  wc.lpfnWndProc = DefWindowProcW;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
  wc.lpszClassName = name;
  RegisterClassW(&wc);  // a second registration fails harmlessly
}
}  // namespace

CPluginTranBtn::CPluginTranBtn() {
  RegisterButtonClass(u"Plugin_Tran_Btn");
  CPluginTranBtn::Empty();
}

CPluginTranBtn::~CPluginTranBtn() {
  if (m_hWnd) CWnd::DestroyWindow();
  m_hPluginWnd = 0;
}

const CQWAttrArray& CPluginTranBtn::GetAttrArray() {
  using C = CPluginTranBtn;
  static const CQWAttrArray attrs = QWExtendAttrs(
      CQWBaseWndPlugin::GetAttrArray(),
      {
          QW_PLUGIN_ATTR(ATTR_TEXT, C, m_strCaption, u"Caption", u"Tip提示"),
          QW_PLUGIN_ATTR(ATTR_TEXT, C, m_strText, u"Text", u"按钮名称"),
          QW_PLUGIN_ATTR(ATTR_CHOICE, C, m_nTextAlign, u"TextAlign", u"按钮名称显示位置"),
          QW_PLUGIN_ATTR(ATTR_COLOR, C, m_clrText, u"TextColor", u"文字颜色"),
          QW_PLUGIN_ATTR(ATTR_TEXT, C, m_strButtonIcon, u"ButtonIcon", u"按钮图标"),
          QW_PLUGIN_ATTR(ATTR_NUMBER, C, m_nFontWeight, u"FontWeight", u"字体磅值"),
      });
  return attrs;
}

const CQWEnumAttrMap& CPluginTranBtn::GetEnumAttrMap() {
  static const CQWEnumAttrMap map = {
      {u"TextAlign", {{u"left", 0}, {u"right", 1}, {u"top", 2}, {u"bottom", 3}}},
  };
  return map;
}

void CPluginTranBtn::Empty() {
  CQWBaseWndPlugin::Empty();
  m_strCaption.clear();
  m_strText.clear();
  m_nTextAlign = 3;
  m_clrText = 10;
  m_strButtonIcon.clear();
  m_nFontWeight = 100;
}

BOOL CPluginTranBtn::CreatePlugin(HWND parent, const RECT* rc) {
  const int made =
      QWCreateOrMoveWindow(*this, u"Plugin_Tran_Btn", WS_CHILD | WS_VISIBLE, parent, rc, kWindowId);
  if (made < 0) return FALSE;
  if (made > 0) {
    m_hPluginWnd = m_hWnd;
    m_hButton = CreatePanelButton(m_hWnd, m_strText.c_str(), kButtonId);
  }
  return TRUE;
}

BOOL CPluginTranBtn::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) == kButtonId && HIWORD(wParam) == BN_CLICKED) {
    OnButtonClick();
    return TRUE;
  }
  return CWnd::OnCommand(wParam, lParam);
}

void CPluginTranBtn::OnSize(UINT type, int cx, int cy) {
  CWnd::OnSize(type, cx, cy);
  if (m_hButton) ::MoveWindow(m_hButton, 0, 0, cx, cy, TRUE);
}

BOOL CPluginTranBtn::DrawPlugin(HDC dc, const RECT& rc) {
  DrawPluginBack(dc, rc);
  return TRUE;
}

void CPluginTranBtn::OnPaint() {
  CPaintDC dc(this);
  RECT rc;
  GetClientRect(&rc);
  DrawPlugin(dc.m_hDC, rc);
}

BOOL CPluginTranBtn::OnEraseBkgnd(CDC*) { return TRUE; }
