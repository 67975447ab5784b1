#include "friendtree/plugin_ftree.h"

#include "friendtree/ftree_log.h"
#include "platform/text.h"

CPluginFTree::CPluginFTree() {
  m_strType = u"PluginFTree";
  CPluginFTree::Empty();
  m_tree.SetPlugin(this);
  // Custom nodes, the customer-service link node and the set-up at logon
  // join here through the tree's hooks.
}

CPluginFTree::~CPluginFTree() { CPluginFTree::UnRegisterMsg(); }

const CQWAttrArray& CPluginFTree::GetAttrArray() {
  static const CQWAttrArray attrs = QWExtendAttrs(
      CPluginTreeBase::GetAttrArray(),
      {
          QW_PLUGIN_ATTR(ATTR_TEXT, CPluginFTree, m_strDefaultGroup, u"default_group", u"默认组"),
          QW_PLUGIN_ATTR(ATTR_COLOR, CPluginFTree, m_clrFriend, u"FriendColor", u"好友节点颜色"),
          QW_PLUGIN_ATTR(ATTR_COLOR, CPluginFTree, m_clrGroup, u"GroupColor", u"组节点颜色"),
          QW_PLUGIN_ATTR(ATTR_COLOR, CPluginFTree, m_clrGuide, u"GuideColor", u"导游节点颜色"),
          QW_PLUGIN_ATTR(ATTR_BOOL, CPluginFTree, m_bUseMobile, u"UseMoible", u"使用手机"),
          QW_PLUGIN_ATTR(ATTR_TEXT, CPluginFTree, m_strIconFile, u"IconFile", u"图标文件"),
          QW_PLUGIN_ATTR(ATTR_TEXT, CPluginFTree, m_strBigIconFile, u"BigIconFile", u"大图标文件"),
      });
  return attrs;
}

void CPluginFTree::Empty() {
  CPluginTreeBase::Empty();
  m_strDefaultGroup = u"聊天好友";
  m_clrFriend = RGB(0, 0, 0);
  m_clrGroup = RGB(1, 35, 82);
  m_clrGuide = RGB(165, 75, 30);
  m_bUseMobile = FALSE;
  m_strIconFile = u"FriendIcon.png";
  m_strBigIconFile = u"QWBigFriendTreeIcon.png";
}

void CPluginFTree::RegisterMsg() {
  FTLOG(u"CPluginFTree::RegisterMsg()");
  if (!m_pMsgMgr) return;
  m_tree.SetMsgManager(m_pMsgMgr);
  for (UINT id : m_tree.GetMsgList()) m_pMsgMgr->RegisterMsg(id, this);
}

void CPluginFTree::UnRegisterMsg() {
  FTLOG(u"CPluginFTree::UnRegisterMsg()");
  if (!m_pMsgMgr) return;
  for (UINT id : m_tree.GetMsgList()) m_pMsgMgr->UnRegisterMsg(id, this);
}

std::u16string CPluginFTree::IconPath(const std::u16string& file) const {
  if (file.empty()) return {};
  return FormatW(u"%sbmp\\%s", m_strWorkDir, file);
}

BOOL CPluginFTree::CreatePlugin(HWND parent, const RECT* rc) {
  FTLOG(u"CPluginFTree::CreatePlugin()");
  const RECT area = rc ? *rc : RECT{0, 0, m_nMinWidth, m_nMinHeight};
  BOOL created = FALSE;
  m_tree.SetImageFiles(IconPath(m_strIconFile), IconPath(m_strBigIconFile));
  m_tree.SetUseMobile(m_bUseMobile != FALSE);
  if (m_tree.GetSafeHwnd()) {
    ::SetParent(m_tree.GetSafeHwnd(), parent);
    m_tree.MoveWindow(&area);
    m_tree.Init();
  } else {
    if (!m_tree.Create(WS_CHILD | WS_VISIBLE, area, CWnd::FromHandle(parent), 100)) return FALSE;
    created = TRUE;
    m_hPluginWnd = m_tree.GetSafeHwnd();
    m_tree.SetTextAlign(YRTA_LEFT);
    m_tree.Init();
  }
  m_tree.SetDataManager(m_pDataMgr);
  m_tree.SetDataProcessMgr(m_pDataProcessMgr);
  if (!m_strDefaultGroup.empty()) CQWFriendTreeCtrl::SetChatFriendsGroupName(m_strDefaultGroup);
  CYRFriendTree::TEXTCLR_FRIEND = m_clrFriend;
  CYRFriendTree::TEXTCLR_GROUP = m_clrGroup;
  CYRFriendTree::TEXTCLR_GUIDE = m_clrGuide;
  return created;
}

BOOL CPluginFTree::ShowPlugin(BOOL show) {
  CPluginTreeBase::ShowPlugin(show);
  if (show) {
    // The search box follows the list in front.
    SendNotify(3218, 1, 0);
    SendNotify(3216, 0, 1);
  }
  return TRUE;
}

LRESULT CPluginFTree::OnNotify(UINT id, WPARAM wparam, LPARAM lparam) {
  return m_tree.OnNotify(id, wparam, lparam);
}
