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
         FormatW(u"log\\%04d-%02d-%02d%02d%02d%02d%04d_MainFTree.log", tm.tm_year + 1900, tm.tm_mon + 1,
                 tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, ms);
}

}  // namespace

const std::u16string& CQWFriendTreeCtrl::GetChatFriendsGroupName() { return ChatFriendsGroupName(); }

void CQWFriendTreeCtrl::SetChatFriendsGroupName(const std::u16string& name) {
  ChatFriendsGroupName() = name.empty() ? kDefaultChatFriendsGroup : name;
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
  if (m_hWnd && !m_pNameEdit->GetSafeHwnd()) {
    const RECT rc{0, 0, 70, 20};
    m_pNameEdit->Create(WS_CHILD | ES_AUTOHSCROLL, rc, this, 1500);
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

HTREEITEM CQWFriendTreeCtrl::GetItemByPos(QWPOS pos) const {
  auto it = m_posMap.find(pos);
  return it == m_posMap.end() ? nullptr : it->second;
}

std::u16string CQWFriendTreeCtrl::GetAccountText() const {
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
    default: break;   // 3138, 3147: registered, nothing to do
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
  if (m_hooks.addCustomNodes) m_hooks.addCustomNodes(*this);
  OpenChatFriendsGroup();
  if (m_bReportReady) m_processor.Notify_QW_LogonSuccess();
}

void CQWFriendTreeCtrl::Refilter() {
  FTLOG(u"CQWFriendTreeCtrl::Refilter()");
  if (!m_pFriendData) return;
  ClearAll();
  Build();
  if (m_hooks.addCustomNodes) m_hooks.addCustomNodes(*this);
  OpenChatFriendsGroup();
}

void CQWFriendTreeCtrl::ClearAll() {
  FTLOG(u"CQWFriendTreeCtrl::ClearAll()");
  m_posMap.clear();
  m_photoCache.clear();
  for (const auto& [images, configured] : m_photoLists) {
    for (int i = images->GetImageCount() - 1; i >= configured; --i) images->Remove(i);
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
  for (QWPOS pos = m_pFriendData->GetFirstPosition(); pos; pos = m_pFriendData->GetNextPosition(pos)) {
    if (HTREEITEM item = InsertQuickly(pos, TVI_ROOT, after)) after = item;
  }
}

void CQWFriendTreeCtrl::OpenChatFriendsGroup() {
  FTLOG(u"CQWFriendTreeCtrl::OpenChatFriendsGroup()");
  const std::u16string& wanted = GetChatFriendsGroupName();
  for (HTREEITEM item = GetRootItem(); item; item = GetNextSiblingItem(item)) {
    const QWPOS pos = GetItemData(item);
    if (GetItemByPos(pos) != item) continue;   // a custom node
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

void CQWFriendTreeCtrl::OnItem_LButtonUp(HTREEITEM item, UINT flags, CPoint point) {
  FTLOG(u"CQWFriendTreeCtrl::OnItem_LButtonUp()");
  // A group is filled the first time it is opened; the base then expands it.
  if (item && IsGroupItem(item) && GetItemByPos(GetItemData(item)) == item && !GetChildItem(item))
    InsertChildren(item);
  CYRFriendTree::OnItem_LButtonUp(item, flags, point);
}

void CQWFriendTreeCtrl::OnItemDeleted(HTREEITEM item) {
  // Keeps the position map in step with every deletion, branch by branch.
  auto it = m_posMap.find(GetItemData(item));
  if (it != m_posMap.end() && it->second == item) m_posMap.erase(it);
  if (m_hSelected == item) m_hSelected = nullptr;
  CYRFriendTree::OnItemDeleted(item);
}

bool CQWFriendTreeCtrl::MustBeShown(const CQWDataItem& record) const {
  if (!m_bOnlyOnline || !record.IsFriend()) return true;
  return record.GetStatus() != QWSTATUS_OFFLINE;
}

bool CQWFriendTreeCtrl::IsHiddenCSGroup(const CQWDataItem& record) const {
  return m_bEnterprise && !m_bShowCSGroup && !record.IsFriend() && record.GetDataKind() == QWKIND_CS;
}

HTREEITEM CQWFriendTreeCtrl::InsertQuickly(QWPOS pos, HTREEITEM parent, HTREEITEM after) {
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
    SelectItem(item);
    m_hSelected = item;
    m_posPendingNewGroup = 0;
    if (m_hWnd) PostMessage(WM_COMMAND, 4839, 0);
  }
  return item;
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
  if (rec && rec->GetDataKind() == QWKIND_CS && m_hooks.addCSLinkNode) m_hooks.addCSLinkNode(*this, group);
}

HTREEITEM CQWFriendTreeCtrl::AfterItemFor(QWPOS pos, QWPOS prevSibling) const {
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
  if (HTREEITEM moved = InsertQuickly(pos, parent, AfterItemFor(pos, prev))) UpdateItem(moved, *record);
  if (parent != TVI_ROOT) UpdateGroupText(parent);
}

// ---- texts, images, buttons --------------------------------------------------------

std::u16string CQWFriendTreeCtrl::ItemText(const CQWDataItem& record) const {
  // Names travel in 64-character fields.
  const std::u16string name = record.GetName().substr(0, 63);
  if (!record.IsFriend()) {
    const int total = record.GetMemberCount();
    if (total <= 0) return name;
    return FormatW(u"%s(%d/%d)", name, record.GetOnlineCount(), total);
  }
  if (m_bEnterprise && m_bShowTrueName) {
    auto id = record.GetID();
    CQWFriendDetail detail;
    if (id && IsSameEnterprise(id->GetID()) && record.GetDetail(detail) && !detail.trueName.empty())
      return detail.trueName.substr(0, 63) + u"-" + name;
  }
  return name;
}

bool CQWFriendTreeCtrl::IsSameEnterprise(const std::u16string& friendId) const {
  if (!m_bEnterprise) return false;
  const std::u16string account = friendId.substr(0, friendId.find(u'@'));
  const std::size_t dot = account.find(u'.');
  return dot != std::u16string::npos && account.substr(dot) == m_strEnterpriseSuffix;
}

int CQWFriendTreeCtrl::ItemImage(const CQWDataItem& record) const {
  const int status = record.GetStatus();
  const int slot = status >= QWSTATUS_OFFLINE && status < QWSTATUS_OFFLINE + kStatusSlots
                       ? status - QWSTATUS_OFFLINE
                       : 0;
  int image = m_statusImage[slot];
  if (record.GetDataKind() == QWKIND_CS) image += kCSImageBase;
  else if (record.GetDataKind() == QWKIND_CHATROOM) image += kChatRoomImageBase;
  return image;
}

void CQWFriendTreeCtrl::ApplyImage(HTREEITEM item, const CQWDataItem& record) {
  int image = ItemImage(record);
  if (record.IsFriend()) {
    const bool big = GetIconType() == YRICON_BIG;
    EnableBigImage(item, big);
    if (big) {
      auto id = record.GetID();
      const int photo = id ? PhotoImage(item, id->GetID()) : -1;
      if (photo >= 0) image = photo;
    }
  }
  SetItemImage(item, image, image);
}

int CQWFriendTreeCtrl::PhotoImage(HTREEITEM item, const std::u16string& friendId) {
  const std::u16string key = friendId.substr(0, friendId.find(u'@'));
  if (key.empty()) return -1;
  auto cached = m_photoCache.find(key);
  if (cached != m_photoCache.end()) return cached->second;
  // The photo joins the list the item is drawn from (the big images when
  // the tree has them), at that list's image size.
  CImageList* images = GetItemImages(item);
  if (!images || !images->GetSafeHandle()) return -1;
  const std::u16string file = FormatW(u"%s%s\\FriendPhoto\\%s.bmp", CCommFunction::GetModuleDirectory(),
                                      GetAccountText(), key);
  if (!PathFileExistsW(file.c_str())) return -1;
  int cx = 0, cy = 0;
  images->GetIconSize(&cx, &cy);
  auto bitmap = static_cast<HBITMAP>(LoadImageW(0, file.c_str(), IMAGE_BITMAP, cx, cy, LR_LOADFROMFILE));
  if (!bitmap) return -1;
  CColorConverter::ConvertBitmap(bitmap);
  // The first photo marks where the configured images end.
  m_photoLists.emplace(images, images->GetImageCount());
  const int index = ImageList_Add(images->GetSafeHandle(), bitmap, 0);
  DeleteObject(bitmap);
  if (index < 0) return -1;
  m_photoCache.emplace(key, index);
  return index;
}

void CQWFriendTreeCtrl::UpdateItem(HTREEITEM item, const CQWDataItem& record) {
  SetItemText(item, ItemText(record));
  ApplyImage(item, record);
  if (record.IsFriend()) UpdatePostfix(item, record);
}

void CQWFriendTreeCtrl::UpdateGroupText(HTREEITEM group) {
  if (!m_pFriendData) return;
  const QWPOS pos = GetItemData(group);
  if (GetItemByPos(pos) != group) return;
  if (auto rec = m_pFriendData->GetItem(pos)) SetItemText(group, ItemText(*rec));
}

void CQWFriendTreeCtrl::ShowPostfix(HTREEITEM item, DWORD kind, bool show) {
  constexpr int kPostfixImageBase = 0;
  const int count = GetPostfixBnCount(item);
  int found = -1;
  for (int i = 0; i < count && found < 0; ++i) {
    DWORD data = 0;
    if (GetPostfixBnData(item, i, data) && data == kind) found = i;
  }
  if (show && found < 0) {
    int index = -1;
    InsertPostfixBn(item, kPostfixImageBase + static_cast<int>(kind), kind, &index, TRUE, FALSE);
  } else if (!show && found >= 0) {
    DeletePostfixBn(item, found);
  }
}

void CQWFriendTreeCtrl::UpdatePostfix(HTREEITEM item, const CQWDataItem& record) {
  ShowPostfix(item, PF_VIDEO, false);
  CQWFriendDetail detail;
  const bool has = record.GetDetail(detail);
  const bool active = has && detail.state != 3;
  // A button whose reason is gone (address removed, services withdrawn) goes too.
  ShowPostfix(item, PF_EMAIL, active && !detail.email.empty());
  const CQWPayload own(m_ownInfo.empty() ? nullptr : const_cast<BYTE*>(m_ownInfo.data()),
                       static_cast<DWORD>(m_ownInfo.size()));
  const bool ownMobile = own.GetInt(qwownfield::kMobileService) == 1;
  ShowPostfix(item, PF_MOBILE, active && detail.mobile && ownMobile && m_bUseMobile);
  if (has && !detail.blocked) ShowPostfix(item, PF_VIDEO, detail.video);
}
