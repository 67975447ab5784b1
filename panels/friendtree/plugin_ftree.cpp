#include "friendtree/plugin_ftree.h"

#include "friendtree/ftree_log.h"
#include "host/basekit/commfunc.h"
#include "host/basekit/datalocker.h"
#include "host/basekit/inifile.h"
#include "platform/text.h"

namespace {

constexpr std::size_t kIconNameChars = 127;
constexpr std::size_t kIconFileChars = 519;

bool Same(const std::u16string& a, const char16_t* b) { return lstrcmpiW(a.c_str(), b) == 0; }

}  // namespace

CPluginFTree::CPluginFTree() {
  FTLOG(u"CPluginFTree::CPluginFTree()");
  m_strType = u"PluginFTree";
  CPluginFTree::Empty();
  m_tree.SetPlugin(this);
  CQWFriendTreeCtrl::Hooks hooks;
  hooks.firstOwnInfo = [this](CQWFriendTreeCtrl& tree) { SetUpAtLogon(tree); };
  m_tree.SetHooks(std::move(hooks));
}

CPluginFTree::~CPluginFTree() {
  FTLOG(u"CPluginFTree::~CPluginFTree()");
  CPluginFTree::UnRegisterMsg();
}

const CQWAttrArray& CPluginFTree::GetAttrArray() {
  FTLOG(u"CPluginFTree::GetAttrArray()");
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
  FTLOG(u"CPluginFTree::Empty()");
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
  FTLOG(u"CPluginFTree::IconPath()");
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
  FTLOG(u"CPluginFTree::ShowPlugin()");
  CPluginTreeBase::ShowPlugin(show);
  if (show) {
    // The search box follows the list in front.
    SendNotify(3218, 1, 0);
    SendNotify(3216, 0, 1);
  }
  return TRUE;
}

LRESULT CPluginFTree::OnNotify(UINT id, WPARAM wparam, LPARAM lparam) {
  FTLOG(u"CPluginFTree::OnNotify()");
  return m_tree.OnNotify(id, wparam, lparam);
}

BOOL CPluginFTree::LoadChildNode(const CXmlNode& node) {
  FTLOG(u"CPluginFTree::LoadChildNode()");
  if (node.IsNull()) return TRUE;
  for (const CXmlNode& child : node.Children()) {
    const std::u16string name = child.Name();
    if (Same(name, u"ItemImages")) LoadItemImages(child);
    else if (Same(name, u"CustomNode")) LoadCustomNode(child);
  }
  return TRUE;
}

void CPluginFTree::LoadItemImages(const CXmlNode& element) {
  FTLOG(u"CPluginFTree::LoadItemImages()");
  int type = -1;
  for (const auto& [name, value] : element.Attributes()) {
    if (Same(name, u"type")) {
      if (Same(value, u"group")) type = 0;
      else if (Same(value, u"friend")) type = 1;
      continue;
    }
    // Icons before any type belong to nothing.
    if (type < 0) continue;
    FTREE_ICONRECORD icon;
    icon.type = type;
    icon.name = name.substr(0, kIconNameChars);
    icon.file = IconPath(value).substr(0, kIconFileChars);
    m_tree.AddIconRecord(icon);
  }
}

void CPluginFTree::LoadCustomNode(const CXmlNode& element) {
  FTLOG(u"CPluginFTree::LoadCustomNode()");
  std::u16string type, position;
  FTREE_CUSTOMNODE node;
  for (const auto& [name, value] : element.Attributes()) {
    if (Same(name, u"type")) type = value;
    else if (Same(name, u"position")) position = value;
    else if (Same(name, u"text")) node.text = value;
    else if (Same(name, u"url")) node.url = value;
    else if (Same(name, u"image")) node.image = IconPath(value);
    else if (Same(name, u"inifile")) node.iniFile = value;
    else if (Same(name, u"section")) node.section = value;
    else if (Same(name, u"key")) node.key = value;
  }
  if (Same(type, u"link")) node.kind = FTREE_CUSTOMNODE::LINK;
  else if (Same(type, u"add_friend")) node.kind = FTREE_CUSTOMNODE::ADDFRIEND;
  else return;
  node.first = Same(position, u"first");
  m_tree.AddCustomNode(node);
}

void CPluginFTree::SetUpAtLogon(CQWFriendTreeCtrl& tree) {
  FTLOG(u"CPluginFTree::SetUpAtLogon()");
  CQWFriendTree_DataProcessor& processor = tree.GetProcessor();
  // 1. Icon size of this account.
  const std::u16string account = tree.GetAccountText();
  const std::u16string cfg =
      FormatW(u"%s%s\\mycfg.ini", CCommFunction::GetModuleDirectory(), account);
  tree.SetIconType(CINIFile(cfg.c_str()).ReadSet(u"IM", u"BIGICON", 0) ? YRICON_BIG : YRICON_SMALL);
  // 2. Accounts of this type report the tree ready after every load.
  tree.SetReportReady(processor.GetAccountType() == 1);
  // 3. The layout's chat-friends group.
  if (!m_strDefaultGroup.empty()) {
    CQWFriendTreeCtrl::SetChatFriendsGroupName(m_strDefaultGroup);
    processor.SetDefaultGroupName(CQWFriendTreeCtrl::GetChatFriendsGroupName().c_str());
  }
  const std::u16string chatFriends = CQWFriendTreeCtrl::GetChatFriendsGroupName();
  // 4. The friend data starts afresh for this logon.
  CQWData* data = m_pDataMgr ? m_pDataMgr->GetData(u"MurFriendData") : nullptr;
  if (data) {
    CQWDataLocker lock(data);
    data->Reset();
  }
  // 5. Groups never renamed or deleted.
  std::vector<std::u16string> names = {u"未分组商友", chatFriends, u"我的采购商", u"我的供应商"};
  for (int kind : {QWKIND_CS, QWKIND_CHATROOM}) {
    std::u16string name = processor.GetDefaultGroupName(kind);
    if (!name.empty()) names.push_back(std::move(name));
  }
  CQWFriendTreeCtrl::SetProtectedGroups(std::move(names));
  // 6. The chat-friends group, unless the data already has one.
  if (data) {
    CQWDataLocker lock(data);
    bool found = false;
    for (QWPOS pos = data->GetFirstPosition(); pos && !found; pos = data->GetNextPosition(pos)) {
      auto rec = data->GetItem(pos);
      found = rec && !rec->IsFriend() && rec->GetName() == chatFriends;
    }
    if (!found) {
      if (auto group = data->NewGroupItem(chatFriends)) data->InsertItem(0, 0, *group);
    }
  }
  // 7. and 8.
  processor.GetFriendList();
  tree.BringPanelForward();
}
