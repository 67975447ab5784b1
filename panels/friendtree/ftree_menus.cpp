// The friend tree's context menus and the commands they (and the host)
// send: the friend, stranger, group and empty-area menus with the move-to
// submenu, and the friend commands.
#include "friendtree/ftree_ctrl.h"

#include "friendtree/ftree_log.h"
#include "host/basekit/datalocker.h"
#include "host/basekit/resource.h"
#include "host/skinctl/cooldialog.h"
#include "host/treeui/bcmenu.h"
#include "platform/text.h"

namespace {

std::u16string Str(UINT id) { return CResourceMgr::GetInstance()->GetString(id); }

constexpr UINT kSep = MF_SEPARATOR;
constexpr UINT kRemarkDialog = 594;
constexpr int kRemarkEdit = 1000;

// The remark dialog: one edit box, announced to the host while it is open.
class CRemarkDlg : public CCoolDialog {
 public:
  CRemarkDlg(CQWFriendTree_DataProcessor& processor, CWnd* parent)
      : CCoolDialog(kRemarkDialog, parent), m_processor(processor) {}

  BOOL OnInitDialog() override {
    FTLOG(u"CRemarkDlg::OnInitDialog()");
    CCoolDialog::OnInitDialog();
    if (CWnd* edit = GetDlgItem(kRemarkEdit)) {
      // The remark is stored in a 64-character field.
      edit->SendMessage(EM_LIMITTEXT, CQWFriendTreeCtrl::kNameChars);
      edit->SetFocus();
    }
    m_announced = m_hWnd;
    m_processor.RegisterDlg(m_announced, true);
    return FALSE;
  }
  void OnOK() override {
    FTLOG(u"CRemarkDlg::OnOK()");
    if (CWnd* edit = GetDlgItem(kRemarkEdit))
      m_text = edit->GetWindowText().substr(0, CQWFriendTreeCtrl::kNameChars);
    CCoolDialog::OnOK();
  }
  void OnDestroy() override {
    FTLOG(u"CRemarkDlg::OnDestroy()");
    if (m_announced) m_processor.RegisterDlg(m_announced, false);
    m_announced = 0;
    CCoolDialog::OnDestroy();
  }
  const std::u16string& Text() const { return m_text; }

 private:
  CQWFriendTree_DataProcessor& m_processor;
  HWND m_announced = 0;
  std::u16string m_text;
};

}  // namespace

// ---- menus ------------------------------------------------------------------------------

std::u16string CQWFriendTreeCtrl::OnlyOnlineText() const {
  FTLOG(u"CQWFriendTreeCtrl::OnlyOnlineText()");
  return m_bOnlyOnline ? u"查看全部好友" : u"只查看在线好友";
}

void CQWFriendTreeCtrl::TrackMenu(BCMenu& menu, CPoint point) {
  FTLOG(u"CQWFriendTreeCtrl::TrackMenu()");
  ClientToScreen(&point);
  // The choice comes back as a command to this window.
  menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, this);
  menu.DestroyMenu();
}

void CQWFriendTreeCtrl::OnItem_RButtonUp(HTREEITEM item, UINT flags, CPoint point) {
  FTLOG(u"CQWFriendTreeCtrl::OnItem_RButtonUp()");
  ForgetDefaultNames();
  (void)flags;
  if (!item) {
    CreateMenu_Blank(point);
    return;
  }
  SetSelected(item);
  auto rec = RecordOf(item);
  if (!rec) return;  // a custom node has no menu
  if (!rec->IsFriend()) {
    CreateMenu_Group(item, point);
    return;
  }
  if (FindCSRecord(*rec) || FindChatRoom(*rec)) return;
  if (IsStrangersGroup(GetParentItem(item))) CreateMenu_Stranger(item, point);
  else CreateMenu_Friend(item, point);
}

void CQWFriendTreeCtrl::AppendMoveToMenu(BCMenu& menu, HTREEITEM friendItem) {
  FTLOG(u"CQWFriendTreeCtrl::AppendMoveToMenu()");
  m_moveTo.clear();
  std::vector<std::u16string> excluded;
  for (int kind : {QWKIND_STRANGER, QWKIND_DEFAULT2, QWKIND_CS, QWKIND_CHATROOM}) {
    std::u16string name = DefaultGroupName(kind);
    if (!name.empty()) excluded.push_back(std::move(name));
  }
  HTREEITEM own = GetParentItem(friendItem);
  BCMenu sub;
  UINT id = kMoveToFirst;
  for (HTREEITEM root = GetRootItem(); root && id <= kMoveToLast; root = GetNextSiblingItem(root)) {
    auto rec = RecordOf(root);
    if (!rec || rec->IsFriend()) continue;
    if (std::find(excluded.begin(), excluded.end(), rec->GetName()) != excluded.end()) continue;
    sub.AppendMenuW(MF_STRING | (root == own ? MF_CHECKED : MF_UNCHECKED), id, GroupIdText(*rec));
    m_moveTo.emplace_back(id, root);
    // 4898 deletes a whole group: an entry must never carry it.
    if (++id == ID_DELALLINGROUP) ++id;
  }
  if (!m_moveTo.empty()) menu.AppendPopup(sub, Str(60049).c_str());
}

void CQWFriendTreeCtrl::CreateMenu_Friend(HTREEITEM item, CPoint point) {
  FTLOG(u"CQWFriendTreeCtrl::CreateMenu_Friend()");
  auto rec = RecordOf(item);
  if (!rec) return;
  CQWFriendDetail detail;
  rec->GetDetail(detail);
  BCMenu menu;
  menu.AppendMenuW(MF_STRING, ID_SENDMSG, Str(60031));
  if (!detail.email.empty()) {
    menu.AppendMenuW(MF_STRING, ID_EMAIL, Str(60045) + detail.email + u">");
    menu.AppendMenuW(kSep, 0, u"");
  } else {
    menu.AppendMenuW(MF_STRING | MF_GRAYED, ID_NOEMAIL, Str(60042));
  }
  AppendMoveToMenu(menu, item);
  menu.AppendMenuW(MF_STRING, ID_DELFRIEND, Str(60050));
  if (!detail.remark.empty()) menu.AppendMenuW(MF_STRING, ID_CLEARREMARK, Str(60053));
  else menu.AppendMenuW(MF_STRING, ID_SETREMARK, Str(60054));
  menu.AppendMenuW(kSep, 0, u"");
  menu.AppendMenuW(MF_STRING, ID_HISTORY, Str(60055));
  menu.AppendMenuW(MF_STRING, ID_INFO, Str(60056));
  TrackMenu(menu, point);
}

void CQWFriendTreeCtrl::CreateMenu_Stranger(HTREEITEM item, CPoint point) {
  FTLOG(u"CQWFriendTreeCtrl::CreateMenu_Stranger()");
  auto rec = RecordOf(item);
  if (!rec) return;
  CQWFriendDetail detail;
  rec->GetDetail(detail);
  BCMenu menu;
  menu.AppendMenuW(MF_STRING, ID_SENDMSG, Str(60031));
  menu.AppendMenuW(kSep, 0, u"");
  menu.AppendMenuW(MF_STRING | (detail.email.empty() ? MF_GRAYED : 0u), ID_EMAIL, Str(60042));
  menu.AppendMenuW(MF_STRING, ID_ADDASFRIEND, Str(60057));
  menu.AppendMenuW(MF_STRING, ID_DELFRIEND, Str(60058));
  menu.AppendMenuW(kSep, 0, u"");
  menu.AppendMenuW(MF_STRING, ID_HISTORY, Str(60055));
  menu.AppendMenuW(MF_STRING, ID_INFO, Str(60056));
  TrackMenu(menu, point);
}

void CQWFriendTreeCtrl::CreateMenu_Group(HTREEITEM item, CPoint point) {
  FTLOG(u"CQWFriendTreeCtrl::CreateMenu_Group()");
  auto rec = RecordOf(item);
  if (!rec) return;
  const std::u16string name = rec->GetName();
  auto is = [&](int kind) {
    const std::u16string def = DefaultGroupName(kind);
    return !def.empty() && def == name;
  };
  if (is(QWKIND_STRANGER) || is(QWKIND_CHATROOM)) return;
  BCMenu menu;
  CQWData* cs = m_pDataMgr ? m_pDataMgr->GetData(u"CSData") : nullptr;
  if (is(QWKIND_CS) && cs && cs->CanBroadcast()) {
    menu.AppendMenuW(MF_STRING, ID_CS_BROADCASTALL, Str(61486));
    menu.AppendMenuW(MF_STRING, ID_CS_BROADCAST, Str(60064));
  } else if (IsProtectedGroup(name)) {
    menu.AppendMenuW(MF_STRING, ID_GROUP_ADDFRIEND, Str(60059));
    menu.AppendMenuW(MF_STRING, ID_ADDGROUP, Str(60060));
    menu.AppendMenuW(kSep, 0, u"");
    menu.AppendMenuW(MF_STRING, ID_ONLYONLINE, OnlyOnlineText());
  } else {
    menu.AppendMenuW(MF_STRING, ID_ADDGROUP2, Str(60060));
    menu.AppendMenuW(MF_STRING, ID_RENAMEGROUP, Str(60061));
    menu.AppendMenuW(MF_STRING, ID_DELGROUP, Str(60062));
    menu.AppendMenuW(kSep, 0, u"");
    menu.AppendMenuW(MF_STRING, ID_ONLYONLINE, OnlyOnlineText());
  }
  TrackMenu(menu, point);
}

void CQWFriendTreeCtrl::CreateMenu_Blank(CPoint point) {
  FTLOG(u"CQWFriendTreeCtrl::CreateMenu_Blank()");
  BCMenu menu;
  menu.AppendMenuW(MF_STRING, ID_GROUP_ADDFRIEND, u"添加好友");
  menu.AppendMenuW(MF_STRING, ID_ADDGROUP, Str(60060));
  menu.AppendMenuW(MF_STRING, ID_ONLYONLINE, OnlyOnlineText());
  TrackMenu(menu, point);
}

// ---- command dispatch -------------------------------------------------------------------

BOOL CQWFriendTreeCtrl::OnCommand(WPARAM wparam, LPARAM lparam) {
  FTLOG(u"CQWFriendTreeCtrl::OnCommand()");
  ForgetDefaultNames();
  const UINT id = LOWORD(wparam);
  // Move-to entries first: their range holds ids of other commands.
  if (id >= kMoveToFirst && id <= kMoveToLast) {
    for (const auto& entry : m_moveTo) {
      if (entry.first == id) {
        OnMurFriend_MoveTo(id);
        return TRUE;
      }
    }
  }
  switch (id) {
    case ID_SENDMSG: OnMurFriend_SendMsg(); break;
    case ID_SENDFILE: OnMurFriend_Chat(FTCHAT_FILE, FTTARGET_FRIEND); break;
    case ID_VOICE: OnMurFriend_Chat(FTCHAT_VOICE, FTTARGET_FRIEND); break;
    case ID_VIDEO: OnMurFriend_Chat(FTCHAT_VIDEO, FTTARGET_FRIEND); break;
    case ID_SHAREDAV: OnMurFriend_Chat(FTCHAT_SHARED_AV, FTTARGET_FRIEND); break;
    case ID_EMAIL: OnMurFriend_SendEmail(); break;
    case ID_MOBILEMSG: OnMurFriend_SendMobileMsg(); break;
    case ID_DELFRIEND: OnMurFriend_Delete(); break;
    case ID_DELALLINGROUP: OnMurFriend_DeleteAllInGroup(); break;
    case ID_HISTORY: OnMurFriend_History(); break;
    case ID_INFO: OnMurFriend_Info(); break;
    case ID_BLOCK: OnMurFriend_Block(); break;
    case ID_ADDASFRIEND: OnMurFriend_AddAsFriend(); break;
    case ID_CLEARREMARK: OnMurFriend_ClearRemark(); break;
    case ID_SETREMARK: OnMurFriend_SetRemark(); break;
    case ID_GROUP_ADDFRIEND: OnGroup_AddFriend(); break;
    case ID_ADDGROUP:
    case ID_ADDGROUP2: OnGroup_Add(); break;
    case ID_GROUP_MOBILEMSG: OnGroup_SendMobileMsg(); break;
    case ID_RENAMEGROUP: OnGroup_Rename(); break;
    case ID_DELGROUP: OnGroup_Delete(); break;
    case ID_ONLYONLINE: OnGroup_OnlyOnline(); break;
    case ID_CS_BROADCAST: OnCSGroup_Broadcast(); break;
    case ID_CS_BROADCASTALL: OnCSGroup_BroadcastAll(); break;
    case ID_GUIDE: OnGuide(); break;
    case ID_NOACTION1:
    case ID_NOACTION2: break;
    default: return CYRFriendTree::OnCommand(wparam, lparam);
  }
  return TRUE;
}

QWPOS CQWFriendTreeCtrl::SelectedPos() const {
  FTLOG(u"CQWFriendTreeCtrl::SelectedPos()");
  if (!m_hSelected || IsCustomNode(m_hSelected)) return 0;
  const QWPOS pos = GetItemData(m_hSelected);
  return GetItemByPos(pos) == m_hSelected ? pos : 0;
}

QWPOS CQWFriendTreeCtrl::SelectedFriendPos() const {
  FTLOG(u"CQWFriendTreeCtrl::SelectedFriendPos()");
  return IsFriendEntry(m_hSelected) ? GetItemData(m_hSelected) : 0;
}

// ---- friend commands --------------------------------------------------------------------

void CQWFriendTreeCtrl::OnMurFriend_SendMsg() {
  FTLOG(u"CQWFriendTreeCtrl::OnMurFriend_SendMsg()");
  if (IsCustomNode(m_hSelected)) OnCustomNodeClick(m_hSelected, 2);
  else if (IsFriendEntry(m_hSelected)) ActivateFriend(m_hSelected);
}

void CQWFriendTreeCtrl::OnMurFriend_Chat(int chatKind, int targetKind) {
  FTLOG(u"CQWFriendTreeCtrl::OnMurFriend_Chat()");
  if (const QWPOS pos = SelectedFriendPos()) m_processor.ChatWithFriend(pos, chatKind, targetKind);
}

void CQWFriendTreeCtrl::OnMurFriend_SendEmail() {
  FTLOG(u"CQWFriendTreeCtrl::OnMurFriend_SendEmail()");
  const QWPOS pos = SelectedFriendPos();
  if (!pos) return;
  if (IsCSContact(m_hSelected)) m_processor.SendEmailToCS(pos);
  else m_processor.ChatWithFriend(pos, FTCHAT_EMAIL, FTTARGET_FRIEND);
}

void CQWFriendTreeCtrl::OnMurFriend_SendMobileMsg() {
  FTLOG(u"CQWFriendTreeCtrl::OnMurFriend_SendMobileMsg()");
  if (const QWPOS pos = SelectedFriendPos())
    m_processor.ChatWithFriend(pos, FTCHAT_MOBILE, FTTARGET_MOBILE);
}

void CQWFriendTreeCtrl::OnMurFriend_Delete() {
  FTLOG(u"CQWFriendTreeCtrl::OnMurFriend_Delete()");
  const QWPOS pos = SelectedFriendPos();
  if (!pos) return;
  m_processor.EditFriendByPos(pos, FTFRIEND_DELETE, 0, 0);
  if (m_hWnd) SetFocus();
}

void CQWFriendTreeCtrl::OnMurFriend_DeleteAllInGroup() {
  FTLOG(u"CQWFriendTreeCtrl::OnMurFriend_DeleteAllInGroup()");
  HTREEITEM group = IsFriendEntry(m_hSelected) ? GetParentItem(m_hSelected) : nullptr;
  if (!group) return;
  // The host may delete items during each request: walk a copy.
  std::vector<QWPOS> friends;
  for (HTREEITEM c = GetChildItem(group); c; c = GetNextSiblingItem(c))
    if (IsFriendEntry(c)) friends.push_back(GetItemData(c));
  for (QWPOS pos : friends) m_processor.EditFriendByPos(pos, FTFRIEND_DELETE, 0, 0);
}

void CQWFriendTreeCtrl::OnMurFriend_History() {
  FTLOG(u"CQWFriendTreeCtrl::OnMurFriend_History()");
  if (const QWPOS pos = SelectedFriendPos()) m_processor.ViewHistory(pos);
}

void CQWFriendTreeCtrl::OnMurFriend_Info() {
  FTLOG(u"CQWFriendTreeCtrl::OnMurFriend_Info()");
  if (const QWPOS pos = SelectedFriendPos()) m_processor.ViewFriendInfo(pos);
}

void CQWFriendTreeCtrl::OnMurFriend_Block() {
  FTLOG(u"CQWFriendTreeCtrl::OnMurFriend_Block()");
  auto rec = RecordOf(m_hSelected);
  if (!rec || !rec->IsFriend()) return;
  CQWFriendDetail detail;
  rec->GetDetail(detail);
  m_processor.EditFriendByPos(GetItemData(m_hSelected), FTFRIEND_BLOCK, 0, detail.blocked ? 0 : 1);
}

void CQWFriendTreeCtrl::OnMurFriend_AddAsFriend() {
  FTLOG(u"CQWFriendTreeCtrl::OnMurFriend_AddAsFriend()");
  if (const QWPOS pos = SelectedFriendPos()) m_processor.EditFriendByPos(pos, FTFRIEND_ADD, 0, 0);
}

void CQWFriendTreeCtrl::OnMurFriend_ClearRemark() {
  FTLOG(u"CQWFriendTreeCtrl::OnMurFriend_ClearRemark()");
  const QWPOS pos = SelectedFriendPos();
  if (!pos) return;
  CQWDataLocker lock(m_pFriendData);
  auto rec = m_pFriendData->GetItem(pos);
  CQWFriendDetail detail;
  if (!rec || !rec->GetDetail(detail)) return;
  detail.remark.clear();
  rec->SetDetail(detail);
  m_pFriendData->SetItem(pos, *rec);
}

void CQWFriendTreeCtrl::OnMurFriend_SetRemark() {
  FTLOG(u"CQWFriendTreeCtrl::OnMurFriend_SetRemark()");
  const QWPOS pos = SelectedFriendPos();
  if (!pos) return;
  std::u16string remark;
  if (!RunRemarkDialog(remark)) return;
  // The dialog ran a modal loop: the friend may be gone by now.
  CQWDataLocker lock(m_pFriendData);
  auto rec = m_pFriendData->GetItem(pos);
  CQWFriendDetail detail;
  if (!rec || !rec->IsFriend()) return;
  rec->GetDetail(detail);
  detail.remark = remark;
  rec->SetDetail(detail);
  m_pFriendData->SetItem(pos, *rec);
}

bool CQWFriendTreeCtrl::RunRemarkDialog(std::u16string& remark) {
  FTLOG(u"CQWFriendTreeCtrl::RunRemarkDialog()");
  CRemarkDlg dialog(m_processor, this);
  if (dialog.DoModal() != IDOK) return false;
  remark = dialog.Text();
  return true;
}

void CQWFriendTreeCtrl::OnMurFriend_MoveTo(UINT id) {
  FTLOG(u"CQWFriendTreeCtrl::OnMurFriend_MoveTo()");
  for (const auto& [entry, group] : m_moveTo) {
    if (entry != id) continue;
    if (group) MoveFriendTo(m_hSelected, group);
    return;
  }
}
