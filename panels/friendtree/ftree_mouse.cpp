// What the user does with the mouse and the keys in the friend tree: clicks,
// double-clicks, Enter, Escape and Delete, the postfix buttons, and dragging
// a friend to another group. Every action ends in a request to the host; the
// tree changes only when the host's data reports the change.
#include "friendtree/ftree_ctrl.h"

#include "friendtree/ftree_log.h"
#include "host/treeui/groupnameedit.h"
#include "module/request.h"
#include "platform/input.h"

namespace {

constexpr std::size_t kRoomIdOffset = 128;  // the room identifier inside a room's record
constexpr std::size_t kIdChars = 64;

}  // namespace

// ---- what an item is ------------------------------------------------------------------------

std::unique_ptr<CQWDataItem> CQWFriendTreeCtrl::RecordOf(HTREEITEM item) const {
  FTLOG(u"CQWFriendTreeCtrl::RecordOf()");
  if (!item || !m_pFriendData || IsCustomNode(item)) return nullptr;
  const QWPOS pos = GetItemData(item);
  if (GetItemByPos(pos) != item) return nullptr;
  return m_pFriendData->GetItem(pos);
}

bool CQWFriendTreeCtrl::IsFriendEntry(HTREEITEM item) const {
  FTLOG(u"CQWFriendTreeCtrl::IsFriendEntry()");
  auto rec = RecordOf(item);
  return rec && rec->IsFriend();
}

bool CQWFriendTreeCtrl::IsGroupEntry(HTREEITEM item) const {
  FTLOG(u"CQWFriendTreeCtrl::IsGroupEntry()");
  auto rec = RecordOf(item);
  return rec && !rec->IsFriend();
}

std::u16string CQWFriendTreeCtrl::GroupIdText(const CQWDataItem& record) const {
  FTLOG(u"CQWFriendTreeCtrl::GroupIdText()");
  auto id = record.GetID();
  const std::u16string text = id ? id->GetID() : record.GetName();
  return text.substr(0, kNameChars);
}

std::unique_ptr<CQWDataItem> CQWFriendTreeCtrl::FindCSRecord(const CQWDataItem& contact) const {
  FTLOG(u"CQWFriendTreeCtrl::FindCSRecord()");
  if (!m_pDataMgr) return nullptr;
  CQWData* cs = m_pDataMgr->GetData(u"CSData");
  auto id = contact.GetID();
  if (!cs || !id || id->GetID().empty()) return nullptr;
  auto key = cs->CreateID(id->GetID());
  if (!key) return nullptr;
  const QWPOS pos = cs->FindPosition(*key);
  return pos ? cs->GetItem(pos) : nullptr;
}

QWPOS CQWFriendTreeCtrl::FindChatRoom(const CQWDataItem& contact) const {
  FTLOG(u"CQWFriendTreeCtrl::FindChatRoom()");
  if (!m_pDataMgr) return 0;
  CQWData* rooms = m_pDataMgr->GetData(u"ChatRoomData");
  auto id = contact.GetID();
  if (!rooms || !id || id->GetID().empty()) return 0;
  const std::u16string wanted = id->GetID();
  for (QWPOS pos = rooms->GetHeadPosition(); pos;) {
    const QWPOS at = pos;
    auto room = rooms->GetNextItem(pos);
    if (!room || !room->GetRecord()) continue;
    const CQWPayload record(const_cast<BYTE*>(room->GetRecord()),
                            static_cast<DWORD>(room->GetRecordSize()));
    if (record.Size() >= kRoomIdOffset + 2 && record.GetText(kRoomIdOffset, kIdChars) == wanted)
      return at;
  }
  return 0;
}

bool CQWFriendTreeCtrl::IsCSContact(HTREEITEM item) const {
  FTLOG(u"CQWFriendTreeCtrl::IsCSContact()");
  auto rec = RecordOf(item);
  return rec && rec->IsFriend() && FindCSRecord(*rec);
}

bool CQWFriendTreeCtrl::IsChatRoomContact(HTREEITEM item) const {
  FTLOG(u"CQWFriendTreeCtrl::IsChatRoomContact()");
  auto rec = RecordOf(item);
  return rec && rec->IsFriend() && FindChatRoom(*rec);
}

HTREEITEM CQWFriendTreeCtrl::TopGroupOf(HTREEITEM item) const {
  FTLOG(u"CQWFriendTreeCtrl::TopGroupOf()");
  HTREEITEM top = item;
  for (HTREEITEM p = item ? GetParentItem(item) : nullptr; p; p = GetParentItem(p)) top = p;
  return top;
}

std::u16string CQWFriendTreeCtrl::DefaultGroupName(int kind) {
  FTLOG(u"CQWFriendTreeCtrl::DefaultGroupName()");
  auto it = m_defNames.find(kind);
  if (it == m_defNames.end())
    it = m_defNames.emplace(kind, m_processor.GetDefaultGroupName(kind)).first;
  return it->second;
}

bool CQWFriendTreeCtrl::IsStrangersGroup(HTREEITEM group) {
  FTLOG(u"CQWFriendTreeCtrl::IsStrangersGroup()");
  return IsGroupOfKinds(group, {QWKIND_STRANGER});
}

bool CQWFriendTreeCtrl::IsGroupOfKinds(HTREEITEM group, std::initializer_list<int> kinds) {
  FTLOG(u"CQWFriendTreeCtrl::IsGroupOfKinds()");
  auto rec = RecordOf(group);
  if (!rec || rec->IsFriend()) return false;
  const std::u16string name = rec->GetName();
  for (int kind : kinds) {
    const std::u16string def = DefaultGroupName(kind);
    if (!def.empty() && def == name) return true;
  }
  return false;
}

// ---- mouse and keys ----------------------------------------------------------------------

void CQWFriendTreeCtrl::EndNameEditOnPress() {
  FTLOG(u"CQWFriendTreeCtrl::EndNameEditOnPress()");
  if (m_pNameEdit && m_pNameEdit->IsEditing()) m_pNameEdit->EditFinished();
}

void CQWFriendTreeCtrl::OnLButtonDown(UINT flags, CPoint point) {
  FTLOG(u"CQWFriendTreeCtrl::OnLButtonDown()");
  EndNameEditOnPress();
  CYRFriendTree::OnLButtonDown(flags, point);
}

void CQWFriendTreeCtrl::OnLButtonUp(UINT flags, CPoint point) {
  FTLOG(u"CQWFriendTreeCtrl::OnLButtonUp()");
  ForgetDefaultNames();
  CYRFriendTree::OnLButtonUp(flags, point);
  // A drag that ended without a drop (nowhere, or refused) opens the
  // groups it closed again.
  if (!IsDragging()) RestoreDragGroups();
}

void CQWFriendTreeCtrl::OnCaptureChanged(CWnd* wnd) {
  FTLOG(u"CQWFriendTreeCtrl::OnCaptureChanged()");
  CYRFriendTree::OnCaptureChanged(wnd);
  if (!IsDragging()) RestoreDragGroups();
}

void CQWFriendTreeCtrl::OnItem_LButtonUp(HTREEITEM item, UINT flags, CPoint point) {
  FTLOG(u"CQWFriendTreeCtrl::OnItem_LButtonUp()");
  if (IsCustomNode(item)) {
    OnCustomNodeClick(item, 1);
    return;
  }
  // A group is filled the first time it is opened; the base then expands it.
  if (item && IsGroupItem(item) && GetItemByPos(GetItemData(item)) == item && !GetChildItem(item))
    InsertChildren(item);
  CYRFriendTree::OnItem_LButtonUp(item, flags, point);
}

void CQWFriendTreeCtrl::OnItem_LButtonDblClk(HTREEITEM item, UINT flags, CPoint point) {
  FTLOG(u"CQWFriendTreeCtrl::OnItem_LButtonDblClk()");
  ForgetDefaultNames();
  if (IsCustomNode(item)) {
    OnCustomNodeClick(item, 2);
    return;
  }
  if (IsFriendEntry(item)) {
    ActivateFriend(item);
    return;
  }
  CYRFriendTree::OnItem_LButtonDblClk(item, flags, point);
}

void CQWFriendTreeCtrl::ActivateFriend(HTREEITEM item) {
  FTLOG(u"CQWFriendTreeCtrl::ActivateFriend()");
  auto rec = RecordOf(item);
  if (!rec || !rec->IsFriend()) return;
  const QWPOS pos = GetItemData(item);
  if (FindCSRecord(*rec)) {
    OpenCustomerService(item);
    return;
  }
  if (const QWPOS room = FindChatRoom(*rec)) {
    m_processor.EnterFreeChatRoom(room, m_pDataMgr->GetData(u"ChatRoomData"));
    return;
  }
  m_processor.ChatWithFriend(pos, FTCHAT_MESSAGE, FTTARGET_FRIEND);
}

void CQWFriendTreeCtrl::OpenCustomerService(HTREEITEM item) {
  FTLOG(u"CQWFriendTreeCtrl::OpenCustomerService()");
  auto rec = RecordOf(item);
  if (!rec) return;
  auto cs = FindCSRecord(*rec);
  if (!cs) return;
  const QWPOS pos = GetItemData(item);
  if (cs->IsServiceDesk()) {
    m_processor.ChatWithCS(cs.get(), GetAccountText().c_str());
  } else if (rec->GetStatus() == QWSTATUS_OFFLINE) {
    m_processor.SendEmailToCS(pos);
  } else {
    m_processor.ChatWithFriend(pos, FTCHAT_MESSAGE, FTTARGET_FRIEND);
  }
}

void CQWFriendTreeCtrl::OnKeyDown(UINT vk, UINT repeat, UINT flags) {
  FTLOG(u"CQWFriendTreeCtrl::OnKeyDown()");
  ForgetDefaultNames();
  switch (vk) {
    case VK_RETURN: {
      HTREEITEM item = GetSelectedItem();
      if (!item) return;
      m_hSelected = item;
      if (IsFriendEntry(item)) ActivateFriend(item);
      else if (IsGroupEntry(item)) OpenGroup(item, true);
      return;
    }
    case VK_DELETE:
      m_hSelected = GetSelectedItem();
      if (IsFriendEntry(m_hSelected)) OnMurFriend_Delete();
      return;
    case VK_ESCAPE:
      if (m_pNameEdit && m_pNameEdit->IsEditing()) m_pNameEdit->CancelEdit();
      CYRFriendTree::OnKeyDown(vk, repeat, flags);  // ends a drag without a drop
      if (!IsDragging()) RestoreDragGroups();
      return;
    default: CYRFriendTree::OnKeyDown(vk, repeat, flags);
  }
}

void CQWFriendTreeCtrl::OnPostfix_LButtonUp(HTREEITEM item, int index, UINT flags, CPoint point) {
  FTLOG(u"CQWFriendTreeCtrl::OnPostfix_LButtonUp()");
  ForgetDefaultNames();
  (void)flags;
  (void)point;
  DWORD kind = 0;
  if (!IsFriendEntry(item) || !GetPostfixBnData(item, index, kind)) return;
  m_hSelected = item;
  switch (kind) {
    case PF_EMAIL: OnMurFriend_SendEmail(); break;
    case PF_MOBILE: OnMurFriend_SendMobileMsg(); break;
    case PF_VIDEO: OnMurFriend_Chat(FTCHAT_VIDEO, FTTARGET_FRIEND); break;
    default: break;
  }
}

// ---- drag and drop -----------------------------------------------------------------------

BOOL CQWFriendTreeCtrl::OnCustomBeginDrag(HTREEITEM item, CPoint point) {
  FTLOG(u"CQWFriendTreeCtrl::OnCustomBeginDrag()");
  ForgetDefaultNames();
  (void)point;
  if (!IsFriendEntry(item) || IsCSContact(item) || IsChatRoomContact(item)) return FALSE;
  EndNameEditOnPress();
  RestoreDragGroups();
  const std::u16string strangers = DefaultGroupName(QWKIND_STRANGER);
  for (HTREEITEM root = GetRootItem(); root; root = GetNextSiblingItem(root)) {
    bool accepts = true;
    if (auto rec = RecordOf(root); rec && !rec->IsFriend()) {
      auto id = rec->GetID();
      const int kind = id ? id->GetDataKind() : rec->GetDataKind();
      accepts = kind != QWKIND_CS && kind != QWKIND_CHATROOM &&
                (strangers.empty() || rec->GetName() != strangers);
    }
    EnableDragDrop(root, FALSE, accepts ? TRUE : FALSE);
  }
  // Closed groups make room to reach any group; they open again at the end.
  for (HTREEITEM root = GetRootItem(); root; root = GetNextSiblingItem(root)) {
    if (IsGroupEntry(root) && (GetItemState(root, TVIS_EXPANDED) & TVIS_EXPANDED)) {
      Expand(root, TVE_COLLAPSE);
      m_dragCollapsed.push_back(root);
    }
  }
  return TRUE;
}

BOOL CQWFriendTreeCtrl::PreDrop(HTREEITEM dragged, HTREEITEM target) {
  FTLOG(u"CQWFriendTreeCtrl::PreDrop()");
  // Custom nodes take the drop mark but are no group to move to; nor is the
  // friend's own group.
  if (!IsFriendEntry(dragged) || !IsGroupEntry(target)) return FALSE;
  return GetParentItem(dragged) != target ? TRUE : FALSE;
}

void CQWFriendTreeCtrl::OnDroped(HTREEITEM dragged, HTREEITEM target) {
  FTLOG(u"CQWFriendTreeCtrl::OnDroped()");
  RestoreDragGroups();
  // The tree stays as it is: the host's move notification moves the item.
  MoveFriendTo(dragged, target);
}

void CQWFriendTreeCtrl::RestoreDragGroups() {
  if (m_dragCollapsed.empty()) return;
  FTLOG(u"CQWFriendTreeCtrl::RestoreDragGroups()");
  const std::vector<HTREEITEM> groups = std::move(m_dragCollapsed);
  m_dragCollapsed.clear();
  for (HTREEITEM group : groups)
    if (group && IsValidItem(group)) Expand(group, TVE_EXPAND);
}

void CQWFriendTreeCtrl::MoveFriendTo(HTREEITEM friendItem, HTREEITEM group) {
  FTLOG(u"CQWFriendTreeCtrl::MoveFriendTo()");
  if (!IsFriendEntry(friendItem) || !IsGroupEntry(group)) return;
  HTREEITEM from = GetParentItem(friendItem);
  if (from == group) return;
  // A stranger is added as a friend into the group; a friend is moved.
  const int action = IsStrangersGroup(from) ? FTFRIEND_ADD : FTFRIEND_MOVE;
  m_processor.EditFriendByPos(GetItemData(friendItem), action, static_cast<int>(GetItemData(group)),
                              0);
}
