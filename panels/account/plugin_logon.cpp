#include "account/plugin_logon.h"

namespace {
const std::vector<UINT> kLogonMsgs = {3104, 1476, 1404, 1302, 1533};
}

CPluginLogon::CPluginLogon() {
  m_strType = u"PluginLogon";
  m_nMinWidth = 150;
  m_nMinHeight = 300;
  CPluginLogon::Empty();
}

CPluginLogon::~CPluginLogon() {
  CPluginLogon::UnRegisterMsg();
  if (m_hWnd) CWnd::DestroyWindow();
  m_hPluginWnd = 0;
}

const CQWAttrArray& CPluginLogon::GetAttrArray() {
  using C = CPluginLogon;
  static const CQWAttrArray attrs = QWExtendAttrs(
      CQWBaseWndPlugin::GetAttrArray(),
      {
          QW_PLUGIN_ATTR(ATTR_COLOR, C, m_clrText, u"TextColor", u"Text Color"),
          QW_PLUGIN_ATTR(ATTR_COLOR, C, m_clrLinkNormal, u"LinkNormal", u"Link normal Color"),
          QW_PLUGIN_ATTR(ATTR_COLOR, C, m_clrLinkHover, u"LinkHover", u"Link hover Color"),
          QW_PLUGIN_ATTR(ATTR_TEXT, C, m_strStatusIcon, u"StatusIcon", u""),
          QW_PLUGIN_ATTR(ATTR_TEXT, C, m_strStatusButtonIcon, u"StatusButtonIcon", u""),
          QW_PLUGIN_ATTR(ATTR_TEXT, C, m_strUserRegisterIcon, u"UserRegisterIcon", u""),
          QW_PLUGIN_ATTR(ATTR_TEXT, C, m_strLogoningAnimation, u"LogoningAnimation", u""),
      });
  return attrs;
}

void CPluginLogon::Empty() {
  CQWBaseWndPlugin::Empty();
  m_clrText = 0x4F443C;
  m_clrLinkNormal = 0x4F443C;
  m_clrLinkHover = 0x927C6D;
  m_strStatusIcon.clear();
  m_strStatusButtonIcon.clear();
  m_strUserRegisterIcon.clear();
  m_strLogoningAnimation.clear();
}

void CPluginLogon::RegisterMsg() { RegisterIds(kLogonMsgs); }
void CPluginLogon::UnRegisterMsg() { UnRegisterIds(kLogonMsgs); }

BOOL CPluginLogon::CreatePlugin(HWND parent, const RECT* rc) {
  const int made = QWCreateOrMoveWindow(*this, nullptr, WS_CHILD, parent, rc, 0);
  if (made < 0) return FALSE;
  if (made > 0) m_hPluginWnd = m_hWnd;
  // Moved and shown on every creation, as the dialog page it is.
  const RECT r = rc ? *rc : RECT{};
  ::MoveWindow(m_hWnd, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
  ::ShowWindow(m_hWnd, SW_SHOW);
  return TRUE;
}

LRESULT CPluginLogon::OnNotify(UINT, WPARAM, LPARAM) { return 0; }
