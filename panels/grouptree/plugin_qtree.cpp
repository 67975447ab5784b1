#include "grouptree/plugin_qtree.h"

CPluginQTree::CPluginQTree() {
  m_strType = u"PluginQTree";
  CPluginQTree::Empty();
}

CPluginQTree::~CPluginQTree() { CPluginQTree::UnRegisterMsg(); }

const CQWAttrArray& CPluginQTree::GetAttrArray() {
  static const CQWAttrArray attrs = QWExtendAttrs(
      CPluginTreeBase::GetAttrArray(),
      {QW_PLUGIN_ATTR(ATTR_TEXT, CPluginQTree, m_strIconFile, u"IconFile", u"图标文件")});
  return attrs;
}

void CPluginQTree::Empty() {
  CPluginTreeBase::Empty();
  m_strIconFile = u"ChannelIcon.png";
}

void CPluginQTree::RegisterMsg() {
  if (!m_pMsgMgr) return;
  m_msgIds = {14440, 14450, 14460, 14470, 14480, 14490, 14580, 1476, 3104, 3076, 3217, 1405, 2163};
  RegisterIds(m_msgIds);
}

void CPluginQTree::UnRegisterMsg() {
  UnRegisterIds(m_msgIds);
  m_msgIds.clear();
}

BOOL CPluginQTree::CreatePlugin(HWND parent, const RECT* rc) {
  return CreatePanelWindow(u"QWQunTree", parent, rc, 110);
}

BOOL CPluginQTree::ShowPlugin(BOOL show) {
  CPluginTreeBase::ShowPlugin(show);
  if (show) {
    SendNotify(3218, 1, 0);
    SendNotify(3216, 1, 0);
  }
  return TRUE;
}

LRESULT CPluginQTree::OnNotify(UINT, WPARAM, LPARAM) { return 0; }
