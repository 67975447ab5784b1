#include "friendtree/plugin_ftree.h"

namespace {
// The notifications the friend tree listens to, in registration order.
const std::vector<UINT> kFriendTreeMsgs = {1335, 1345, 1355, 1365, 1375, 1385, 1405,
                                           3104, 3076, 3138, 3140, 1476, 3155, 3147,
                                           3151, 3208, 3217, 3219, 3407};
}  // namespace

CPluginFTree::CPluginFTree() {
  m_strType = u"PluginFTree";
  CPluginFTree::Empty();
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

void CPluginFTree::RegisterMsg() { RegisterIds(kFriendTreeMsgs); }
void CPluginFTree::UnRegisterMsg() { UnRegisterIds(kFriendTreeMsgs); }

BOOL CPluginFTree::CreatePlugin(HWND parent, const RECT* rc) {
  return CreatePanelWindow(u"QWFriendTree", parent, rc, 100);
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

LRESULT CPluginFTree::OnNotify(UINT, WPARAM, LPARAM) { return 0; }
