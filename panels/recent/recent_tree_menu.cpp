// The recent tree's mouse and keyboard handling, menus, commands and requests.
#include "host/basekit/resource.h"
#include "module/request.h"
#include "platform/input.h"
#include "platform/message.h"
#include "platform/window.h"
#include "recent/recent_data_mgr.h"
#include "recent/recent_log.h"
#include "recent/recent_tree_ctrl.h"

namespace {

// Menu commands.
enum : UINT {
  ID_SENDMSG = 4820,
  ID_SENDFILE = 4821,
  ID_AUDIOCHAT = 4822,
  ID_VIDEOCHAT = 4823,
  ID_SENDMAIL = 4824,
  ID_NOMAIL = 4000,
  ID_HISTORY = 4831,
  ID_INFO = 4833,
  ID_BLOCK = 4970,
  ID_ADDFRIEND = 4974,
  ID_DELALL = 13010,
};

std::u16string Caption(UINT id) { return CResourceMgr::GetInstance()->GetString(id); }

constexpr std::size_t kTextChars = 64;

}  // namespace

// ---- mouse and keyboard ------------------------------------------------------------------

void CRecentContactTreeCtrl::OnItem_RButtonUp(HTREEITEM item, UINT, CPoint point) {
  RCLOG(u"CRecentContactTreeCtrl::OnItem_RButtonUp()");
  if (!item) {
    OnNullRgn_RButtonUp(point);
    return;
  }
  SelectItem(item);
  m_hCurrent = item;
  CRecentContactEntry* entry = GetEntry(item);
  m_nLastKind = entry ? entry->kind : 0;
  OnFriend_RButtonUp(item, point);
}

void CRecentContactTreeCtrl::OnFriend_RButtonUp(HTREEITEM item, CPoint point) {
  RCLOG(u"CRecentContactTreeCtrl::OnFriend_RButtonUp()");
  OnFriend_MurRButtonUp(item, point);
}

void CRecentContactTreeCtrl::OnFriend_MurRButtonUp(HTREEITEM item, CPoint point) {
  RCLOG(u"CRecentContactTreeCtrl::OnFriend_MurRButtonUp()");
  CRecentContactEntry* entry = GetEntry(item);
  if (!entry || entry->kind == QWKIND_CS || entry->kind == QWKIND_CHATROOM) return;
  auto record = GetFriendInfo(item);
  if (!record) return;
  const int kind = entry->kind;
  const QWPOS pos = GetPosByHandle(item);
  BCMenu menu;
  if (IsStranger(kind, pos)) CreateMenu_Stranger(menu, kind, *record);
  // Positions are per data object: a friend's may also be a member's.
  else if (kind == QWKIND_ORG && IsOrganiser(pos)) CreateMenu_Orgnizer(menu);
  else CreateMenu_Friend(menu, kind, *record);
  TrackMenu(menu, point);
}

void CRecentContactTreeCtrl::OnNullRgn_RButtonUp(CPoint point) {
  RCLOG(u"CRecentContactTreeCtrl::OnNullRgn_RButtonUp()");
  BCMenu menu;
  menu.AppendMenuW(MF_STRING, ID_DELALL, Caption(60118));
  TrackMenu(menu, point);
}

void CRecentContactTreeCtrl::TrackMenu(BCMenu& menu, CPoint point) {
  POINT screen{point.x, point.y};
  ClientToScreen(&screen);
  const UINT id = static_cast<UINT>(menu.TrackPopupMenu(
      TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, screen.x, screen.y, this));
  menu.DestroyMenu();
  if (id) RunCommand(id);
}

void CRecentContactTreeCtrl::OnItem_LButtonDblClk(HTREEITEM item, UINT flags, CPoint point) {
  RCLOG(u"CRecentContactTreeCtrl::OnItem_LButtonDblClk()");
  if (CRecentContactEntry* entry = GetEntry(item)) {
    if (GetFriendInfo(item)) {
      OnDblclkFriend(item);
    } else if (HWND main = m_pStore ? m_pStore->GetMainForm() : 0) {
      // The identifier travels by address: sent, so it is alive while the
      // main window handles it.
      const std::u16string id = entry->id;
      ::SendMessageW(main, kMsgChatById, reinterpret_cast<WPARAM>(id.c_str()), 0);
    }
  }
  CYRFriendTree::OnItem_LButtonDblClk(item, flags, point);
}

void CRecentContactTreeCtrl::OnDblclkFriend(HTREEITEM item) {
  RCLOG(u"CRecentContactTreeCtrl::OnDblclkFriend()");
  CRecentContactEntry* entry = GetEntry(item);
  if (!entry) return;
  ChatWithFriend(entry->kind, GetPosByHandle(item), CHAT_OPEN, GetChatOpenType(entry->kind));
}

void CRecentContactTreeCtrl::OnPostfix_LButtonDown(HTREEITEM item, int index, UINT, CPoint) {
  RCLOG(u"CRecentContactTreeCtrl::OnPostfix_LButtonDown()");
  DWORD data = 0;
  if (!item || !GetPostfixBnData(item, index, data)) return;
  if (data != PB_VIDEO && data != PB_EMAIL) return;
  m_hCurrent = item;
  RunCommand(data == PB_VIDEO ? ID_VIDEOCHAT : ID_SENDMAIL);
}

void CRecentContactTreeCtrl::OnPostfix_LButtonDblClk(HTREEITEM, int, UINT, CPoint) {}

void CRecentContactTreeCtrl::OnKeyDown(UINT vk, UINT repeat, UINT flags) {
  if (vk != VK_RETURN) {
    CYRFriendTree::OnKeyDown(vk, repeat, flags);
    return;
  }
  RCLOG(u"CRecentContactTreeCtrl::OnKeyDown()");
  HTREEITEM item = GetSelectedItem();
  RECT rc{};
  if (!item || !GetItemRect(item, &rc, TRUE)) return;
  m_hCurrent = item;
  OnItem_LButtonDblClk(item, 0, CPoint((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2));
}

BOOL CRecentContactTreeCtrl::OnCommand(WPARAM wparam, LPARAM lparam) {
  const UINT id = LOWORD(wparam);
  switch (id) {
    case ID_SENDMSG:
    case ID_SENDFILE:
    case ID_AUDIOCHAT:
    case ID_VIDEOCHAT:
    case ID_SENDMAIL:
    case ID_HISTORY:
    case ID_INFO:
    case ID_ADDFRIEND:
    case ID_BLOCK:
    case ID_DELALL: RunCommand(id); return TRUE;
    default: return CYRFriendTree::OnCommand(wparam, lparam);
  }
}

// ---- menus ----------------------------------------------------------------------------------

bool CRecentContactTreeCtrl::IsStranger(int kind, QWPOS pos) const {
  auto it = m_kindData.find(kind);
  if (it == m_kindData.end() || !it->second || !pos) return false;
  std::u16string groupId;
  try {
    const QWPOS parent = it->second->GetParentPosition(pos);
    auto group = parent ? it->second->GetItem(parent) : nullptr;
    auto id = group ? group->GetID() : nullptr;
    if (!id) return false;
    groupId = id->GetID();
  } catch (...) {
    return false;
  }
  CQWRequest request(m_pProcessMgr, u"sys/DefGroup");
  CQWPayload area1 = request.Area1();
  CQWPayload area2 = request.Area2();
  if (!area1 || !area2 || !area1.PutInt(0, QWKIND_STRANGER) || !area2.PutInt(0, 1)) return false;
  if (!request.Process()) return false;
  return area1.GetText(4, kTextChars - 1) == groupId;
}

bool CRecentContactTreeCtrl::IsOrganiser(QWPOS pos) const {
  CQWData* org = m_pDataMgr ? m_pDataMgr->GetData(u"OrgStructData") : nullptr;
  if (!org || !pos) return false;
  try {
    return org->GetItem(pos) != nullptr;
  } catch (...) {
    return false;
  }
}

void CRecentContactTreeCtrl::AppendMailItem(BCMenu& menu, const CQWDataItem& record) {
  CQWFriendDetail detail;
  if (record.GetDetail(detail) && !detail.email.empty())
    menu.AppendMenuW(MF_STRING, ID_SENDMAIL, Caption(60045) + detail.email + u">");
  else menu.AppendMenuW(MF_STRING | MF_GRAYED, ID_NOMAIL, Caption(60042));
}

void CRecentContactTreeCtrl::CreateMenu_Friend(BCMenu& menu, int, const CQWDataItem& record) {
  RCLOG(u"CRecentContactTreeCtrl::CreateMenu_Friend()");
  menu.AppendMenuW(MF_STRING, ID_SENDMSG, Caption(60031));
  menu.AppendMenuW(MF_SEPARATOR, 0, u"");
  AppendMailItem(menu, record);
  // Command 1832 ("isrecommend") would go here; it has neither a caption nor
  // an action in this panel, so it is not offered.
  menu.AppendMenuW(MF_SEPARATOR, 0, u"");
  menu.AppendMenuW(MF_STRING, ID_HISTORY, Caption(60055));
  menu.AppendMenuW(MF_STRING, ID_INFO, Caption(60056));
  menu.AppendMenuW(MF_STRING, ID_DELALL, Caption(60118));
}

void CRecentContactTreeCtrl::CreateMenu_Stranger(BCMenu& menu, int kind,
                                                 const CQWDataItem& record) {
  RCLOG(u"CRecentContactTreeCtrl::CreateMenu_Stranger()");
  menu.AppendMenuW(MF_STRING, ID_SENDMSG, Caption(60031));
  menu.AppendMenuW(MF_SEPARATOR, 0, u"");
  AppendMailItem(menu, record);
  menu.AppendMenuW(MF_SEPARATOR, 0, u"");
  CQWFriendDetail detail;
  if (kind == QWKIND_OWN && record.GetDetail(detail) && detail.canBlock)
    menu.AppendMenuW(MF_STRING, ID_BLOCK, Caption(detail.blocked ? 60051 : 60052));
  menu.AppendMenuW(MF_STRING, ID_ADDFRIEND, Caption(60057));
  menu.AppendMenuW(MF_SEPARATOR, 0, u"");
  menu.AppendMenuW(MF_STRING, ID_HISTORY, Caption(60055));
  menu.AppendMenuW(MF_STRING, ID_INFO, Caption(60056));
}

void CRecentContactTreeCtrl::CreateMenu_Orgnizer(BCMenu& menu) {
  RCLOG(u"CRecentContactTreeCtrl::CreateMenu_Orgnizer()");
  menu.AppendMenuW(MF_STRING, ID_SENDMSG, Caption(60031));
  menu.AppendMenuW(MF_SEPARATOR, 0, u"");
  menu.AppendMenuW(MF_STRING, ID_DELALL, Caption(60118));
}

// ---- commands ----------------------------------------------------------------------------------

void CRecentContactTreeCtrl::RunCommand(UINT id) {
  RCLOG(u"CRecentContactTreeCtrl::RunCommand()");
  switch (id) {
    case ID_SENDMSG: OnMurFriend_SendMsg(); break;
    case ID_SENDFILE: OnMurFriend_Chat(CHAT_FILE); break;
    case ID_AUDIOCHAT: OnMurFriend_Chat(CHAT_AUDIO); break;
    case ID_VIDEOCHAT: OnMurFriend_Chat(CHAT_VIDEO); break;
    case ID_SENDMAIL: OnMurFriend_Chat(CHAT_MAIL); break;
    case ID_HISTORY: OnMurFriend_Request(u"sys/HistoryInfo"); break;
    case ID_INFO: OnMurFriend_Request(u"sys/FriendInfo"); break;
    case ID_ADDFRIEND: OnMurFriend_Request(u"sys/AddFriend"); break;
    case ID_BLOCK: break;  // blocking is the friend tree's
    case ID_DELALL: OnDelAllRecentUser(); break;
    default: break;
  }
}

void CRecentContactTreeCtrl::OnMurFriend_SendMsg() {
  RCLOG(u"CRecentContactTreeCtrl::OnMurFriend_SendMsg()");
  if (!m_hCurrent || !GetEntry(m_hCurrent)) return;
  POINT pt{};
  ::GetCursorPos(&pt);
  ScreenToClient(&pt);
  OnItem_LButtonDblClk(m_hCurrent, 0, CPoint(pt.x, pt.y));
}

void CRecentContactTreeCtrl::OnMurFriend_Chat(int chatType) {
  RCLOG(u"CRecentContactTreeCtrl::OnMurFriend_Chat()");
  CRecentContactEntry* entry = GetEntry(m_hCurrent);
  if (!entry) return;
  ChatWithFriend(entry->kind, GetPosByHandle(m_hCurrent), chatType, 0);
}

void CRecentContactTreeCtrl::OnMurFriend_Request(const char16_t* name) {
  RCLOG(u"CRecentContactTreeCtrl::OnMurFriend_Request()");
  CRecentContactEntry* entry = GetEntry(m_hCurrent);
  if (!entry) return;
  auto record = GetFriendInfo(m_hCurrent);
  auto id = record ? record->GetID() : nullptr;
  if (!id) return;
  CQWRequest request(m_pProcessMgr, name);
  CQWPayload area = request.Area1();
  if (!area || !area.PutInt(16, entry->kind) || !area.PutText(20, id->GetID(), kTextChars)) return;
  request.Process();
}

void CRecentContactTreeCtrl::OnDelAllRecentUser() {
  RCLOG(u"CRecentContactTreeCtrl::OnDelAllRecentUser()");
  if (m_pStore) m_pStore->DeleteAllRecentFriend();
}

void CRecentContactTreeCtrl::ChatWithFriend(int kind, QWPOS pos, int chatType, int openType) {
  RCLOG(u"CRecentContactTreeCtrl::ChatWithFriend()");
  if (!pos) return;
  CQWRequest request(m_pProcessMgr, u"sys/Chat");
  CQWPayload area1 = request.Area1();
  CQWPayload area2 = request.Area2();
  if (!area1 || !area2) return;
  std::u16string id, name;
  if (auto record = GetRecord(kind, pos)) {
    if (auto rid = record->GetID()) id = rid->GetID();
    name = record->GetName();
  }
  if (!area1.PutInt(0, chatType) || !area2.PutInt(0, openType) || !area2.PutInt(12, 1) ||
      !area2.PutInt(16, kind) || !area2.PutText(20, id, kTextChars) ||
      !area2.PutText(148, name, kTextChars))
    return;
  request.Process();
}
