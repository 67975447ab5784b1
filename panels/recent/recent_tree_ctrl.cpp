#include "recent/recent_tree_ctrl.h"

#include "host/basekit/inifile.h"
#include "platform/text.h"
#include "recent/recent_data_mgr.h"
#include "recent/recent_log.h"

CRecentContactTreeCtrl::CRecentContactTreeCtrl() {
  RCLOG(u"CRecentContactTreeCtrl::CRecentContactTreeCtrl()");
}

CRecentContactTreeCtrl::~CRecentContactTreeCtrl() {
  RCLOG(u"CRecentContactTreeCtrl::~CRecentContactTreeCtrl()");
}

void CRecentContactTreeCtrl::Init() {
  RCLOG(u"CRecentContactTreeCtrl::Init()");
  CYRFriendTree::Init();
}

void CRecentContactTreeCtrl::SetDataManager(CQWDataManager* dm) {
  RCLOG(u"CRecentContactTreeCtrl::SetDataManager()");
  m_pDataMgr = dm;
  m_kindData.clear();
  if (dm) {
    m_kindData[QWKIND_OWN] = dm->GetData(u"MurFriendData");
    m_kindData[QWKIND_ORG] = dm->GetData(u"OrgStructData");
  }
}

void CRecentContactTreeCtrl::SetDataProcessMgr(CQWDataProcessorManager* pm) {
  RCLOG(u"CRecentContactTreeCtrl::SetDataProcessMgr()");
  m_pProcessMgr = pm;
}

void CRecentContactTreeCtrl::SetRecentData(CRecentContactFriendDataMgr* store) {
  RCLOG(u"CRecentContactTreeCtrl::SetRecentData()");
  if (!store) CGlobalLog::LogT(u"Error! SetRecentData() has a NULL pointer!", RCLOG_INFO_LEVEL);
  m_pStore = store;
}

// ---- the item map ----------------------------------------------------------------

HTREEITEM CRecentContactTreeCtrl::FindItem_InMap(const CRecentContactEntry* entry) const {
  auto it = m_itemMap.find(entry);
  return it == m_itemMap.end() ? nullptr : it->second;
}

void CRecentContactTreeCtrl::AddItem_InMap(CRecentContactEntry* entry, HTREEITEM item) {
  m_itemMap[entry] = item;
}

void CRecentContactTreeCtrl::DeleteItem_InMap(CRecentContactEntry* entry) {
  m_itemMap.erase(entry);
}

CRecentContactEntry* CRecentContactTreeCtrl::GetEntry(HTREEITEM item) const {
  if (!item || !IsValidItem(item)) return nullptr;
  auto* entry = reinterpret_cast<CRecentContactEntry*>(GetItemData(item));
  // Only entries of the store have items; anything else is not one.
  return entry && FindItem_InMap(entry) == item ? entry : nullptr;
}

void CRecentContactTreeCtrl::OnItemDeleted(HTREEITEM item) {
  auto* entry = reinterpret_cast<CRecentContactEntry*>(GetItemData(item));
  auto it = m_itemMap.find(entry);
  if (it != m_itemMap.end() && it->second == item) m_itemMap.erase(it);
  if (m_hCurrent == item) m_hCurrent = nullptr;
  CYRFriendTree::OnItemDeleted(item);
}

void CRecentContactTreeCtrl::DeleteItemByPoiter(CRecentContactEntry* entry) {
  if (HTREEITEM item = FindItem_InMap(entry)) DeleteItem(item);
  DeleteItem_InMap(entry);
}

void CRecentContactTreeCtrl::ClearRCTree() {
  RCLOG(u"CRecentContactTreeCtrl::ClearRCTree()");
  DeleteAllItems();
  m_itemMap.clear();
  m_hCurrent = nullptr;
}

// ---- from the store ------------------------------------------------------------------

std::unique_ptr<CQWDataItem> CRecentContactTreeCtrl::GetRecord(int kind, QWPOS pos) const {
  auto it = m_kindData.find(kind);
  if (it == m_kindData.end() || !it->second || !pos) return nullptr;
  try {
    return it->second->GetItem(pos);
  } catch (...) {
    return nullptr;
  }
}

void CRecentContactTreeCtrl::OnFriendData_InsertItem(int kind, CRecentContactEntry* entry,
                                                     QWPOS pos) {
  RCLOG(u"CRecentContactTreeCtrl::OnFriendData_InsertItem()");
  if (!entry) return;
  if (pos) InsertItem_ByPos(kind, entry, pos);
  // Every entry of the list has its item: one whose record is gone shows
  // what the list remembers.
  if (!FindItem_InMap(entry)) InsertItem_ByPoiter(kind, entry);
}

void CRecentContactTreeCtrl::InsertItem_ByPos(int kind, CRecentContactEntry* entry, QWPOS pos) {
  RCLOG(u"CRecentContactTreeCtrl::InsertItem_ByPos()");
  auto record = GetRecord(kind, pos);
  if (!record) return;
  DeleteItemByPoiter(entry);
  const std::u16string text = CalItemText(kind, *record);
  const int image = CalItemImage(kind, *record);
  HTREEITEM item = InsertFriendItem(text.c_str(), image, image, reinterpret_cast<DWORD_PTR>(entry),
                                    TVI_ROOT, TVI_FIRST);
  if (!item) return;
  AddItem_InMap(entry, item);
  entry->pos = pos;
  UpdateFriendItem(item, kind, *record);
}

void CRecentContactTreeCtrl::InsertItem_ByPoiter(int /*kind*/, CRecentContactEntry* entry) {
  RCLOG(u"CRecentContactTreeCtrl::InsertItem_ByPoiter()");
  DeleteItemByPoiter(entry);
  const std::u16string text =
      entry->name.empty() ? entry->id.substr(0, entry->id.find(u'@')) : entry->name;
  HTREEITEM item = InsertFriendItem(text.c_str(), kStatusImageBase, kStatusImageBase,
                                    reinterpret_cast<DWORD_PTR>(entry), TVI_ROOT, TVI_FIRST);
  if (item) AddItem_InMap(entry, item);
}

void CRecentContactTreeCtrl::OnFriendData_SetItem(int kind, CRecentContactEntry* entry, QWPOS pos) {
  RCLOG(u"CRecentContactTreeCtrl::OnFriendData_SetItem()");
  if (!entry) return;
  HTREEITEM item = FindItem_InMap(entry);
  if (!item) return;
  if (auto record = GetRecord(kind, pos)) {
    entry->pos = pos;
    UpdateFriendItem(item, kind, *record);
    return;
  }
  if (kind != QWKIND_OWN && kind != QWKIND_ORG) return;
  // The contact went away: shown as an empty record is, offline.
  auto it = m_kindData.find(kind);
  if (it == m_kindData.end() || !it->second) return;
  if (auto empty = it->second->NewItem()) {
    const int image = CalItemImage(kind, *empty);
    SetItemImage(item, image, image);
  }
}

void CRecentContactTreeCtrl::OnFriendData_DeleteItem(int /*kind*/, CRecentContactEntry* entry) {
  RCLOG(u"CRecentContactTreeCtrl::OnFriendData_DeleteItem()");
  if (entry) DeleteItemByPoiter(entry);
}

void CRecentContactTreeCtrl::OnFriendData_DeleteAll() {
  RCLOG(u"CRecentContactTreeCtrl::OnFriendData_DeleteAll()");
  ClearRCTree();
}

// ---- texts, images, buttons ------------------------------------------------------------

std::u16string CRecentContactTreeCtrl::CalItemText(int kind, const CQWDataItem& record) const {
  auto id = record.GetID();
  const std::u16string idText = id ? id->GetID() : std::u16string();
  std::u16string text = record.GetName();
  if (text.empty()) text = idText;
  if (kind == QWKIND_ORG) return text;
  CQWFriendDetail detail;
  if (m_pStore && m_pStore->IsShowTrueName(idText) && record.GetDetail(detail) &&
      !detail.trueName.empty())
    text = detail.trueName + u"-" + text;
  return text;
}

int CRecentContactTreeCtrl::CalItemImage(int kind, const CQWDataItem& record) const {
  const int status = record.GetStatus();
  // Codes beyond the status strip show as offline.
  int slot = status >= QWSTATUS_OFFLINE ? status - QWSTATUS_OFFLINE : 0;
  if (slot >= kStatusSlots) slot = 0;
  if (kind == QWKIND_OWN) {
    CQWFriendDetail detail;
    if (record.GetDetail(detail) && detail.blocked) return kSpecialImage;
  }
  return kStatusImageBase + slot;
}

void CRecentContactTreeCtrl::UpdateFriendItem(HTREEITEM item, int kind, const CQWDataItem& record) {
  const std::u16string text = CalItemText(kind, record);
  SetItemText(item, text);
  if (CRecentContactEntry* entry = GetEntry(item)) entry->name = RecentCutText(text);
  const int image = CalItemImage(kind, record);
  SetItemImage(item, image, image);
  if (kind == QWKIND_OWN) {
    CQWFriendDetail detail;
    ShowPB(item, PB_VIDEO, record.GetDetail(detail) && detail.video);
  } else if (kind == QWKIND_ORG) {
    ShowPB(item, PB_VIDEO, false);
  }
}

int CRecentContactTreeCtrl::GetPBIndex_ByData(HTREEITEM item, DWORD data) const {
  const int count = GetPostfixBnCount(item);
  for (int i = 0; i < count; ++i) {
    DWORD value = 0;
    if (GetPostfixBnData(item, i, value) && value == data) return i;
  }
  return -1;
}

void CRecentContactTreeCtrl::ShowPB(HTREEITEM item, DWORD data, bool show) {
  if (data == 1 || !item) return;
  const int index = GetPBIndex_ByData(item, data);
  if (show && index < 0) {
    int added = -1;
    InsertPostfixBn(item, kPostfixImageBase + static_cast<int>(data), data, &added, TRUE, TRUE);
  } else if (!show && index >= 0) {
    DeletePostfixBn(item, index);
  }
}

std::u16string CRecentContactTreeCtrl::ReadSetInSINFO(const std::u16string& section,
                                                      const std::u16string& key,
                                                      const std::u16string& def) const {
  const std::u16string file = FormatW(u"%s\\cfg.ini", GetSettingDirectory());
  return CProfile(file.c_str()).ReadSet(section.c_str(), key.c_str(), def.c_str(), 512);
}

// ---- positions and records ---------------------------------------------------------------

QWPOS CRecentContactTreeCtrl::GetPosByHandle(HTREEITEM item) {
  CRecentContactEntry* entry = GetEntry(item);
  if (!entry) return 0;
  if (entry->pos) return entry->pos;
  auto it = m_kindData.find(entry->kind);
  if (it == m_kindData.end() || !it->second || entry->id.empty()) return 0;
  try {
    CQWDataSearch search;
    search.kind = entry->kind;
    search.key = entry->id;
    entry->pos = it->second->FindPosition(search);
  } catch (...) {
    entry->pos = 0;
  }
  return entry->pos;
}

std::unique_ptr<CQWDataItem> CRecentContactTreeCtrl::GetFriendInfo(HTREEITEM item) {
  CRecentContactEntry* entry = GetEntry(item);
  if (!entry) return nullptr;
  const QWPOS pos = GetPosByHandle(item);
  auto record = GetRecord(entry->kind, pos);
  if (!record) {
    // A stale position (the contact moved or left): looked up again next time.
    entry->pos = 0;
  }
  return record;
}
