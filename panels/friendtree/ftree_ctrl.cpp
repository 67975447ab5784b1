// CQWFriendTreeCtrl: construction, notifications, loading the friend data
// and keeping the tree in step with it.
#include "friendtree/ftree_ctrl.h"

#include <algorithm>
#include <chrono>
#include <ctime>

#include "friendtree/ftree_log.h"
#include "host/basekit/commfunc.h"
#include "host/basekit/datalocker.h"
#include "host/basekit/inifile.h"
#include "host/skinctl/colorconverter.h"
#include "host/treeui/groupnameedit.h"
#include "module/request.h"
#include "platform/bitmap.h"
#include "platform/file.h"
#include "platform/text.h"

namespace {

const std::u16string kDefaultChatFriendsGroup = u"聊天好友";

std::u16string& ChatFriendsGroupName() {
  static std::u16string name = kDefaultChatFriendsGroup;
  return name;
}

// Until the first logon names the host's own defaults, the fixed names.
std::vector<std::u16string>& ProtectedGroups() {
  static std::vector<std::u16string> names = {u"未分组商友", kDefaultChatFriendsGroup,
                                              u"我的采购商", u"我的供应商"};
  return names;
}

// The log of this tree: "log\<local time with milliseconds>_MainFTree.log"
// under the host program's directory.
std::u16string LogFileName() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t t = std::chrono::system_clock::to_time_t(now);
  const int ms = static_cast<int>(
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
  std::tm tm{};
  localtime_r(&t, &tm);
  return CCommFunction::GetModuleDirectory() +
         FormatW(u"log\\%04d-%02d-%02d%02d%02d%02d%04d_MainFTree.log", tm.tm_year + 1900,
                 tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, ms);
}

}  // namespace

const std::u16string& CQWFriendTreeCtrl::GetChatFriendsGroupName() {
  return ChatFriendsGroupName();
}

void CQWFriendTreeCtrl::SetChatFriendsGroupName(const std::u16string& name) {
  ChatFriendsGroupName() = name.empty() ? kDefaultChatFriendsGroup : name;
}

const std::vector<std::u16string>& CQWFriendTreeCtrl::GetProtectedGroups() {
  return ProtectedGroups();
}

void CQWFriendTreeCtrl::SetProtectedGroups(std::vector<std::u16string> names) {
  ProtectedGroups() = std::move(names);
}

bool CQWFriendTreeCtrl::IsProtectedGroup(const std::u16string& name) {
  const auto& names = ProtectedGroups();
  return std::find(names.begin(), names.end(), name) != names.end();
}

int& CQWFriendTreeCtrl::NewGroupCounter() {
  static int counter = 0;
  return counter;
}

CQWFriendTreeCtrl::CQWFriendTreeCtrl() {
  CGlobalLog::SetLogNameT(LogFileName().c_str());
  FTLOG(u"CQWFriendTreeCtrl::CQWFriendTreeCtrl()");
  for (int i = 0; i < kStatusSlots; ++i) m_statusImage[i] = i;
  m_pNameEdit = std::make_unique<CChangeGroupNameEdit>();
}

CQWFriendTreeCtrl::~CQWFriendTreeCtrl() {
  FTLOG(u"CQWFriendTreeCtrl::~CQWFriendTreeCtrl()");
  // The edit is a child of this window: it goes first.
  m_pNameEdit.reset();
  CGlobalLog::CloseGlobalLogT();
}

void CQWFriendTreeCtrl::Init() {
  FTLOG(u"CQWFriendTreeCtrl::Init()");
  CYRFriendTree::Init();
  // The status slots start at the strip's first image.
  constexpr int kStatusBase = 0;
  for (int i = 0; i < kStatusSlots; ++i) m_statusImage[i] = kStatusBase + i;
  // The lists were loaded anew: no photo is in them.
  m_photoCache.clear();
  m_photoLists.clear();
  m_fileImages.clear();
  LoadStatusIcons();
  if (m_hWnd && !m_pNameEdit->GetSafeHwnd()) {
    const RECT rc{0, 0, 70, 20};
    m_pNameEdit->Create(WS_CHILD | ES_AUTOHSCROLL, rc, this, kNameEditId);
    // The name travels in a 64-character field: a longer one would be cut
    // by the request and could then match another group.
    m_pNameEdit->SetLimitText(static_cast<UINT>(kNameChars));
    m_pNameEdit->SetFinishHandler([this](const std::u16string& text) { OnGroupNameEdited(text); });
  }
}

void CQWFriendTreeCtrl::SetDataManager(CQWDataManager* mgr) {
  FTLOG(u"CQWFriendTreeCtrl::SetDataManager()");
  m_pDataMgr = mgr;
}

void CQWFriendTreeCtrl::SetDataProcessMgr(CQWDataProcessorManager* mgr) {
  FTLOG(u"CQWFriendTreeCtrl::SetDataProcessMgr()");
  m_processor.SetDataProcessMgr(mgr);
}

void CQWFriendTreeCtrl::SetMsgManager(CQWMsgManager* mgr) {
  FTLOG(u"CQWFriendTreeCtrl::SetMsgManager()");
  m_pMsgMgr = mgr;
  m_msgList = {1335, 1345, 1355, 1365, 1375, 1385, 1405, 3104, 3076, 3138,
               3140, 1476, 3155, 3147, 3151, 3208, 3217, 3219, 3407};
}

void CQWFriendTreeCtrl::SetImageFiles(const std::u16string& small, const std::u16string& big) {
  FTLOG(u"CQWFriendTreeCtrl::SetImageFiles()");
  m_strImageFile = small;
  m_strBigImageFile = big;
}

int CQWFriendTreeCtrl::GetStatusImage(int slot) const {
  return slot >= 0 && slot < kStatusSlots ? m_statusImage[slot] : m_statusImage[0];
}

void CQWFriendTreeCtrl::SetStatusImage(int slot, int image) {
  FTLOG(u"CQWFriendTreeCtrl::SetStatusImage()");
  if (slot >= 0 && slot < kStatusSlots) m_statusImage[slot] = image;
}

void CQWFriendTreeCtrl::SetSelected(HTREEITEM item) {
  FTLOG(u"CQWFriendTreeCtrl::SetSelected()");
  m_hSelected = item;
  if (item) SelectItem(item);
}

HTREEITEM CQWFriendTreeCtrl::GetItemByPos(QWPOS pos) const {
  auto it = m_posMap.find(pos);
  return it == m_posMap.end() ? nullptr : it->second;
}

std::u16string CQWFriendTreeCtrl::GetAccountText() const {
  FTLOG(u"CQWFriendTreeCtrl::GetAccountText()");
  if (m_ownInfo.empty()) return {};
  const CQWPayload own(const_cast<BYTE*>(m_ownInfo.data()), static_cast<DWORD>(m_ownInfo.size()));
  std::u16string id = own.GetText(qwownfield::kUserId, 64);
  return id.substr(0, id.find(u'@'));
}

// ---- notifications -------------------------------------------------------------

LRESULT CQWFriendTreeCtrl::OnNotify(UINT id, WPARAM wparam, LPARAM lparam) {
  FTLOG(u"CQWFriendTreeCtrl::OnNotify()");
  const auto pos = static_cast<QWPOS>(wparam);
  const auto prev = static_cast<QWPOS>(lparam);
  switch (id) {
    case 1335: OnInsertByPos(pos, prev); break;
    case 1345: DeleteByPos(pos); break;
    case 1355:
      if (m_pFriendData) ClearAll();
      break;
    case 1365: OnUpdate(pos); break;
    case 1375: OnMove(pos, prev); break;
    case 1385: OnSort(pos, prev); break;
    case 1405:
      if (m_hWnd) SetTimer(kLoadTimer, kLoadDelayMs);
      break;
    case 1476:
      if (wparam == 0 && lparam != 2) {
        m_bOwnerInfoReceived = false;
        m_bEnterprise = false;
        m_strEnterpriseSuffix.clear();
      }
      break;
    case 3076: OnOwnInfo(reinterpret_cast<const BYTE*>(wparam)); break;
    case 3104: OnWorkDir(reinterpret_cast<const char16_t*>(wparam)); break;
    case 3140:
      BringPanelForward();
      if (wparam == 1 && m_hWnd) PostMessage(WM_COMMAND, 4836, 0);
      break;
    case 3151:
      if ((wparam != 0) != m_bOnlyOnline) {
        m_bOnlyOnline = wparam != 0;
        Refilter();
      }
      break;
    case 3155: m_processor.Popup_AddFriend_UI(static_cast<int>(wparam), 0); break;
    case 3208: OnNamedValue(reinterpret_cast<const FTREE_NAMEDVALUE*>(wparam)); break;
    case 3217:
      if (wparam == 1) OnLocate(prev);
      break;
    case 3219: OnIconType(static_cast<int>(wparam)); break;
    case 3407: m_processor.EditFriendByPos(pos, FTFRIEND_ADD, 0, 0); break;
    default: break;  // 3138, 3147: registered, nothing to do
  }
  return 0;
}

void CQWFriendTreeCtrl::OnTimer(UINT_PTR id) {
  if (id != kLoadTimer) {
    CYRFriendTree::OnTimer(id);
    return;
  }
  FTLOG(u"CQWFriendTreeCtrl::OnTimer()");
  KillTimer(kLoadTimer);
  Load();
}

void CQWFriendTreeCtrl::OnOwnInfo(const BYTE* record) {
  FTLOG(u"CQWFriendTreeCtrl::OnOwnInfo()");
  if (!record) return;
  m_ownInfo.assign(record, record + QW_OWNINFO_SIZE);
  const std::u16string account = GetAccountText();
  const std::size_t dot = account.find(u'.');
  m_bEnterprise = dot != std::u16string::npos;
  m_strEnterpriseSuffix = m_bEnterprise ? account.substr(dot) : std::u16string();

  const std::u16string trueName = m_processor.GetEnterpriseSetting(u"imu", u"disableTrueName");
  bool zero = trueName.empty();
  if (!zero) {
    // A number equal to 0: digits only, all of them zero.
    zero = trueName.find_first_not_of(u"0123456789") == std::u16string::npos &&
           trueName.find_first_not_of(u'0') == std::u16string::npos;
  }
  m_bShowTrueName = zero;
  m_bShowCSGroup = m_processor.GetEnterpriseSetting(u"imu", u"ToShowClientServiceGroup") != u"0";

  if (!m_bOwnerInfoReceived) {
    m_bOwnerInfoReceived = true;
    if (m_hooks.firstOwnInfo) m_hooks.firstOwnInfo(*this);
    // Texts depend on the enterprise settings just learnt.
    for (const auto& [pos, item] : m_posMap) {
      if (!m_pFriendData) break;
      if (auto rec = m_pFriendData->GetItem(pos)) UpdateItem(item, *rec);
    }
  }
}

void CQWFriendTreeCtrl::OnWorkDir(const char16_t* path) {
  FTLOG(u"CQWFriendTreeCtrl::OnWorkDir()");
  if (!path) return;
  std::u16string dir(path);
  while (!dir.empty() && (dir.back() == u'\\' || dir.back() == u'/')) dir.pop_back();
  m_strWorkDir = dir;
  m_strImageDir = dir + u"\\bmp\\";
}

void CQWFriendTreeCtrl::OnNamedValue(const FTREE_NAMEDVALUE* value) {
  FTLOG(u"CQWFriendTreeCtrl::OnNamedValue()");
  if (!value) return;
  std::u16string name;
  for (char16_t c : value->szName) {
    if (!c) break;
    name.push_back(c);
  }
  auto it = std::find_if(m_namedValues.begin(), m_namedValues.end(),
                         [&](const auto& entry) { return entry.second == name; });
  if (value->bRemove) {
    if (it != m_namedValues.end()) m_namedValues.erase(it);
  } else if (it != m_namedValues.end()) {
    it->first = value->nValue;
  } else {
    m_namedValues.emplace_back(value->nValue, name);
  }
}

void CQWFriendTreeCtrl::OnLocate(QWPOS pos) {
  FTLOG(u"CQWFriendTreeCtrl::OnLocate()");
  if (!m_pFriendData || !pos) return;
  HTREEITEM item = GetItemByPos(pos);
  if (!item) {
    HTREEITEM group = GetItemByPos(m_pFriendData->GetParentPosition(pos));
    if (!group) return;
    OpenGroup(group, false);
    item = GetItemByPos(pos);
    if (!item) return;
  }
  SelectItem(item);
  m_hSelected = item;
  EnsureVisible(item);
  if (m_hWnd) SetFocus();
}

void CQWFriendTreeCtrl::OnIconType(int type) {
  FTLOG(u"CQWFriendTreeCtrl::OnIconType()");
  SetIconType(type);
  if (!m_pFriendData) return;
  for (const auto& [pos, item] : m_posMap) {
    if (auto rec = m_pFriendData->GetItem(pos)) ApplyImage(item, *rec);
  }
}

void CQWFriendTreeCtrl::BringPanelForward() {
  FTLOG(u"CQWFriendTreeCtrl::BringPanelForward()");
  if (!m_pPlugin) return;
  const char16_t* pluginName = m_pPlugin->GetPluginName();
  // The name travels as a 64-character field.
  const std::u16string name = std::u16string(pluginName ? pluginName : u"").substr(0, 63);
  CQWContainer* container = m_pPlugin->GetContainer();
  if (!container) return;
  const int index = container->FindIndex(name.c_str());
  if (index < 0) return;
  container->ShowIndex(index, TRUE);
}

// ---- load and build ------------------------------------------------------------------

void CQWFriendTreeCtrl::Load() {
  FTLOG(u"CQWFriendTreeCtrl::Load()");
  CLogTimer timer(u"CQWFriendTreeCtrl::Load()", FTLOG_TIMER_LEVEL);
  if (!m_pDataMgr) return;
  CQWData* data = m_pDataMgr->GetData(u"MurFriendData");
  if (!data) return;
  m_pFriendData = data;
  m_processor.SetFriendData(data);
  ClearAll();
  ReadOnlyOnline();
  Build();
  PutCustomNodes();
  OpenChatFriendsGroup();
  if (m_bReportReady) m_processor.Notify_QW_LogonSuccess();
}

void CQWFriendTreeCtrl::Refilter() {
  FTLOG(u"CQWFriendTreeCtrl::Refilter()");
  if (!m_pFriendData) return;
  ClearAll();
  Build();
  PutCustomNodes();
  OpenChatFriendsGroup();
}

void CQWFriendTreeCtrl::ClearAll() {
  FTLOG(u"CQWFriendTreeCtrl::ClearAll()");
  m_posMap.clear();
  m_photoCache.clear();
  for (const auto& [images, configured] : m_photoLists) {
    for (int i = images->GetImageCount() - 1; i >= configured; --i) images->Remove(i);
    // Custom nodes' images above the configured ones went with the photos.
    if (images == GetImageList(TVSIL_NORMAL))
      std::erase_if(m_fileImages,
                    [configured](const auto& entry) { return entry.second >= configured; });
  }
  m_photoLists.clear();
  m_hSelected = nullptr;
  DeleteAllItems();
}

void CQWFriendTreeCtrl::ReadOnlyOnline() {
  FTLOG(u"CQWFriendTreeCtrl::ReadOnlyOnline()");
  std::u16string dir = CCommFunction::GetModuleDirectory();
  while (!dir.empty() && (dir.back() == u'\\' || dir.back() == u'/')) dir.pop_back();
  const std::u16string file = FormatW(u"%s\\%s\\mycfg.ini", dir, GetAccountText());
  m_bOnlyOnline = CINIFile(file.c_str()).ReadSet(u"GGPCW", u"VIEWFRIENDALL", 1) == 0;
}

void CQWFriendTreeCtrl::Build() {
  FTLOG(u"CQWFriendTreeCtrl::Build()");
  CLogTimer timer(u"CQWFriendTreeCtrl::Build()", FTLOG_TIMER_LEVEL);
  CQWDataLocker lock(m_pFriendData);
  HTREEITEM after = TVI_FIRST;
  for (QWPOS pos = m_pFriendData->GetFirstPosition(); pos;
       pos = m_pFriendData->GetNextPosition(pos)) {
    if (HTREEITEM item = InsertQuickly(pos, TVI_ROOT, after)) after = item;
  }
}

void CQWFriendTreeCtrl::OpenChatFriendsGroup() {
  FTLOG(u"CQWFriendTreeCtrl::OpenChatFriendsGroup()");
  const std::u16string& wanted = GetChatFriendsGroupName();
  for (HTREEITEM item = GetRootItem(); item; item = GetNextSiblingItem(item)) {
    const QWPOS pos = GetItemData(item);
    if (GetItemByPos(pos) != item) continue;  // a custom node
    auto rec = m_pFriendData->GetItem(pos);
    if (rec && !rec->IsFriend() && rec->GetName() == wanted) {
      OpenGroup(item, false);
      return;
    }
  }
}

void CQWFriendTreeCtrl::OpenGroup(HTREEITEM group, bool toggle) {
  FTLOG(u"CQWFriendTreeCtrl::OpenGroup()");
  if (!group || !IsGroupItem(group)) return;
  if (!GetChildItem(group)) InsertChildren(group);
  Expand(group, toggle ? TVE_TOGGLE : TVE_EXPAND);
}

void CQWFriendTreeCtrl::OnItemDeleted(HTREEITEM item) {
  FTLOG(u"CQWFriendTreeCtrl::OnItemDeleted()");
  // Keeps the position map in step with every deletion, branch by branch.
  auto it = m_posMap.find(GetItemData(item));
  if (it != m_posMap.end() && it->second == item) m_posMap.erase(it);
  if (m_hSelected == item) m_hSelected = nullptr;
  m_links.erase(item);
  for (auto& entry : m_moveTo)
    if (entry.second == item) entry.second = nullptr;
  std::erase(m_dragCollapsed, item);
  CYRFriendTree::OnItemDeleted(item);
}

bool CQWFriendTreeCtrl::MustBeShown(const CQWDataItem& record) const {
  FTLOG(u"CQWFriendTreeCtrl::MustBeShown()");
  if (!m_bOnlyOnline || !record.IsFriend()) return true;
  return record.GetStatus() != QWSTATUS_OFFLINE;
}

bool CQWFriendTreeCtrl::IsHiddenCSGroup(const CQWDataItem& record) const {
  FTLOG(u"CQWFriendTreeCtrl::IsHiddenCSGroup()");
  return m_bEnterprise && !m_bShowCSGroup && !record.IsFriend() &&
         record.GetDataKind() == QWKIND_CS;
}

HTREEITEM CQWFriendTreeCtrl::InsertQuickly(QWPOS pos, HTREEITEM parent, HTREEITEM after) {
  FTLOG(u"CQWFriendTreeCtrl::InsertQuickly()");
  if (HTREEITEM existing = GetItemByPos(pos)) return existing;
  std::unique_ptr<CQWDataItem> record;
  if (!m_processor.GetFriendInfoPtr(pos, record)) return nullptr;
  if (!MustBeShown(*record) || IsHiddenCSGroup(*record)) return nullptr;
  const std::u16string text = ItemText(*record);
  const int image = ItemImage(*record);
  HTREEITEM item = nullptr;
  if (record->IsFriend()) {
    if (!record->GetID()) return nullptr;
    item = InsertFriendItem(text.c_str(), image, image, pos, parent, after);
  } else {
    item = InsertGroupItem(text.c_str(), image, -1, pos, parent, after, 40);
  }
  if (!item) return nullptr;
  m_posMap[pos] = item;
  if (record->IsFriend()) {
    UpdatePostfix(item, *record);
    if (GetIconType() == YRICON_BIG) ApplyImage(item, *record);
  } else if (m_posPendingNewGroup && pos == m_posPendingNewGroup) {
    m_posPendingNewGroup = 0;
    StartNewGroupRename(item);
  }
  return item;
}

void CQWFriendTreeCtrl::StartNewGroupRename(HTREEITEM item) {
  FTLOG(u"CQWFriendTreeCtrl::StartNewGroupRename()");
  SetSelected(item);
  if (m_hWnd) PostMessage(WM_COMMAND, ID_RENAMEGROUP, 0);
}

void CQWFriendTreeCtrl::InsertChildren(HTREEITEM group) {
  FTLOG(u"CQWFriendTreeCtrl::InsertChildren()");
  CLogTimer timer(u"CQWFriendTreeCtrl::InsertChildren()", FTLOG_TIMER_LEVEL);
  if (!m_pFriendData || !group) return;
  const QWPOS groupPos = GetItemData(group);
  CQWDataLocker lock(m_pFriendData);
  HTREEITEM after = TVI_FIRST;
  for (QWPOS pos = m_pFriendData->GetFirstChildPosition(groupPos); pos;
       pos = m_pFriendData->GetNextPosition(pos)) {
    if (HTREEITEM item = InsertQuickly(pos, group, after)) after = item;
  }
  auto rec = m_pFriendData->GetItem(groupPos);
  if (rec && rec->GetDataKind() == QWKIND_CS) AddCSLinkNode(group);
}

HTREEITEM CQWFriendTreeCtrl::AfterItemFor(QWPOS pos, QWPOS prevSibling) const {
  FTLOG(u"CQWFriendTreeCtrl::AfterItemFor()");
  // Siblings hidden by the only-online filter have no item: the new item
  // goes after the nearest one that is shown, so the data's order holds.
  (void)pos;
  for (QWPOS p = prevSibling; p; p = m_pFriendData->GetPrevPosition(p)) {
    if (HTREEITEM item = GetItemByPos(p)) return item;
  }
  return TVI_FIRST;
}

// ---- changes -----------------------------------------------------------------------

void CQWFriendTreeCtrl::OnInsertByPos(QWPOS pos, QWPOS prev) {
  FTLOG(u"CQWFriendTreeCtrl::OnInsertByPos()");
  if (!m_pFriendData || !pos) return;
  CQWDataLocker lock(m_pFriendData);
  InsertByPos(pos, prev);
}

HTREEITEM CQWFriendTreeCtrl::InsertByPos(QWPOS pos, QWPOS prev) {
  FTLOG(u"CQWFriendTreeCtrl::InsertByPos()");
  if (HTREEITEM existing = GetItemByPos(pos)) return existing;
  std::unique_ptr<CQWDataItem> record;
  if (!m_processor.GetFriendInfoPtr(pos, record) || IsHiddenCSGroup(*record)) return nullptr;
  const QWPOS parentPos = m_pFriendData->GetParentPosition(pos);
  HTREEITEM parent = TVI_ROOT;
  if (parentPos) {
    parent = GetItemByPos(parentPos);
    if (!parent) parent = InsertByPos(parentPos, m_pFriendData->GetPrevPosition(parentPos));
    if (!parent) return nullptr;
  }
  if (parent == TVI_ROOT || GetChildItem(parent)) {
    HTREEITEM item = InsertQuickly(pos, parent, AfterItemFor(pos, prev));
    if (item && parent != TVI_ROOT) UpdateGroupText(parent);
    return item;
  }
  InsertChildren(parent);
  UpdateGroupText(parent);
  return GetItemByPos(pos);
}

void CQWFriendTreeCtrl::DeleteByPos(QWPOS pos) {
  FTLOG(u"CQWFriendTreeCtrl::DeleteByPos()");
  HTREEITEM item = GetItemByPos(pos);
  if (!item) return;
  HTREEITEM parent = GetParentItem(item);
  // OnItemDeleted takes the branch's entries out of the map, children first.
  DeleteItem(item);
  if (parent) UpdateGroupText(parent);
}

void CQWFriendTreeCtrl::OnUpdate(QWPOS pos) {
  FTLOG(u"CQWFriendTreeCtrl::OnUpdate()");
  if (!m_pFriendData || !pos) return;
  std::unique_ptr<CQWDataItem> record;
  if (!m_processor.GetFriendInfoPtr(pos, record)) return;
  HTREEITEM item = GetItemByPos(pos);
  if (!MustBeShown(*record) || IsHiddenCSGroup(*record)) {
    if (item) DeleteByPos(pos);
    return;
  }
  if (item) {
    UpdateItem(item, *record);
    return;
  }
  if (!record->IsFriend() || !m_bOnlyOnline || record->GetStatus() == QWSTATUS_OFFLINE) return;
  // Back online under the filter. A group that was never filled is left to
  // its first opening; one that was filled gets the friend back even while
  // collapsed, or it would be missing when opened again.
  HTREEITEM group = GetItemByPos(m_pFriendData->GetParentPosition(pos));
  if (!group) return;
  if (!(GetItemState(group, TVIS_EXPANDED) & TVIS_EXPANDED) && !GetChildItem(group)) return;
  CQWDataLocker lock(m_pFriendData);
  if (InsertQuickly(pos, group, AfterItemFor(pos, m_pFriendData->GetPrevPosition(pos))))
    UpdateGroupText(group);
}

void CQWFriendTreeCtrl::OnMove(QWPOS pos, QWPOS prev) {
  FTLOG(u"CQWFriendTreeCtrl::OnMove()");
  if (!m_pFriendData || !pos) return;
  CQWDataLocker lock(m_pFriendData);
  // Out of its old place (the old group's counts follow), then in as any
  // insert: into the new group when that is filled, or the new group is
  // filled now.
  DeleteByPos(pos);
  InsertByPos(pos, prev);
}

void CQWFriendTreeCtrl::OnSort(QWPOS pos, QWPOS prev) {
  FTLOG(u"CQWFriendTreeCtrl::OnSort()");
  if (!m_pFriendData || !pos) return;
  std::unique_ptr<CQWDataItem> record;
  if (!m_processor.GetFriendInfoPtr(pos, record)) return;
  HTREEITEM item = GetItemByPos(pos);
  const QWPOS parentPos = m_pFriendData->GetParentPosition(pos);
  HTREEITEM parent = parentPos ? GetItemByPos(parentPos) : TVI_ROOT;
  if (!MustBeShown(*record) || !parent) {
    if (item) DeleteByPos(pos);
    return;
  }
  // A friend of a group never filled waits for the group's first opening.
  if (!item && parent != TVI_ROOT && !GetChildItem(parent)) return;
  CQWDataLocker lock(m_pFriendData);
  if (item) DeleteItem(item);
  if (HTREEITEM moved = InsertQuickly(pos, parent, AfterItemFor(pos, prev)))
    UpdateItem(moved, *record);
  if (parent != TVI_ROOT) UpdateGroupText(parent);
}
