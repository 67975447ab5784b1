#include "recent/plugin_recent_contact.h"

CPluginRecentContact::CPluginRecentContact() {
  m_strType = u"PluginRecentTree";
  CPluginRecentContact::Empty();
}

CPluginRecentContact::~CPluginRecentContact() { CPluginRecentContact::UnRegisterMsg(); }

const CQWAttrArray& CPluginRecentContact::GetAttrArray() {
  static const CQWAttrArray attrs = QWExtendAttrs(
      CQWBaseWndPlugin::GetAttrArray(),
      {QW_PLUGIN_ATTR(ATTR_TEXT, CPluginRecentContact, m_strIconFile, u"IconFile", u"图标文件")});
  return attrs;
}

void CPluginRecentContact::Empty() {
  CQWBaseWndPlugin::Empty();
  m_strIconFile = u"FriendIcon.png";
}

void CPluginRecentContact::RegisterMsg() {
  if (!m_pMsgMgr) return;
  m_msgIds = {4164, 1365, 3175, 1385, 1335, 3177, 3104, 3076, 3138, 1476, 1478};
  RegisterIds(m_msgIds);
}

void CPluginRecentContact::UnRegisterMsg() {
  UnRegisterIds(m_msgIds);
  m_msgIds.clear();
}

BOOL CPluginRecentContact::CreatePlugin(HWND parent, const RECT* rc) {
  CreatePanelWindow(u"QWRecentTree", parent, rc, 500);
  return TRUE;
}

BOOL CPluginRecentContact::ShowPlugin(BOOL show) {
  CQWBaseWndPlugin::ShowPlugin(show);
  if (show) {
    SendNotify(3216, 9, 1);
    SendNotify(3218, 0, 0);
  }
  return TRUE;
}

LRESULT CPluginRecentContact::OnNotify(UINT, WPARAM, LPARAM) { return 0; }
