// Group commands of the friend tree: adding, renaming and deleting a group,
// the only-online toggle, mobile messages to a group, customer-service
// broadcasts and the guide.
#include "friendtree/ftree_ctrl.h"

#include <algorithm>

#include "friendtree/ftree_log.h"
#include "host/basekit/commfunc.h"
#include "host/basekit/datalocker.h"
#include "host/basekit/inifile.h"
#include "host/basekit/resource.h"
#include "host/treeui/groupnameedit.h"
#include "platform/file.h"
#include "platform/text.h"
#include "platform/window.h"

namespace {

std::u16string Str(UINT id) { return CResourceMgr::GetInstance()->GetString(id); }

constexpr UINT kTextTooManyGroups = 60032;
constexpr UINT kTextGroupNotEmpty = 60035;
constexpr UINT kTextNameTaken = 60036;
constexpr UINT kCaptionNotice = 60574;
constexpr UINT kCaptionRename = 60067;
constexpr UINT kNewGroupFormat = 60066;
constexpr int kMinEditWidth = 70;
// A name format without a number would never find a free name.
constexpr int kMaxNameTries = 1000;

}  // namespace

int CQWFriendTreeCtrl::ShowMessage(UINT textId, UINT captionId) {
  FTLOG(u"CQWFriendTreeCtrl::ShowMessage()");
  return m_processor.MessageBox(Str(captionId).c_str(), Str(textId).c_str(),
                                MB_OK | MB_ICONINFORMATION, m_hWnd);
}

void CQWFriendTreeCtrl::OnGroup_AddFriend() {
  FTLOG(u"CQWFriendTreeCtrl::OnGroup_AddFriend()");
  const QWPOS group = IsGroupEntry(m_hSelected) ? GetItemData(m_hSelected) : 0;
  m_processor.Popup_AddFriend_UI(1, static_cast<int>(group));
}

void CQWFriendTreeCtrl::OnGroup_Add() {
  FTLOG(u"CQWFriendTreeCtrl::OnGroup_Add()");
  CQWData* data = m_pFriendData ? m_pFriendData
                                : (m_pDataMgr ? m_pDataMgr->GetData(u"MurFriendData") : nullptr);
  std::vector<std::u16string> names;
  if (data) {
    CQWDataLocker lock(data);
    for (QWPOS pos = data->GetFirstPosition(); pos; pos = data->GetNextPosition(pos)) {
      auto rec = data->GetItem(pos);
      if (rec && !rec->IsFriend()) names.push_back(rec->GetName());
    }
  }
  if (static_cast<int>(names.size()) >= kMaxGroups) {
    ShowMessage(kTextTooManyGroups, kCaptionNotice);
    return;
  }
  const std::u16string format = Str(kNewGroupFormat);
  std::u16string name;
  for (int tries = 0; tries < kMaxNameTries; ++tries) {
    const std::u16string candidate = FormatW(format, ++NewGroupCounter()).substr(0, kNameChars);
    if (std::find(names.begin(), names.end(), candidate) == names.end()) {
      name = candidate;
      break;
    }
  }
  if (name.empty()) return;
  const QWPOS pos = static_cast<QWPOS>(
      static_cast<std::uint32_t>(m_processor.EditGroupByID(FTGROUP_ADD, 0, name.c_str())));
  if (!pos) return;
  // The host may have inserted the group while it answered.
  if (HTREEITEM item = GetItemByPos(pos)) StartNewGroupRename(item);
  else m_posPendingNewGroup = pos;
}

void CQWFriendTreeCtrl::OnGroup_Rename() {
  FTLOG(u"CQWFriendTreeCtrl::OnGroup_Rename()");
  HTREEITEM item = m_hSelected;
  auto rec = RecordOf(item);
  if (!rec || rec->IsFriend() || !m_pNameEdit || !m_pNameEdit->GetSafeHwnd()) return;
  m_posRenaming = GetItemData(item);
  m_strOldName = GroupIdText(*rec);
  EnsureVisible(item);
  RECT rc{};
  if (!GetVisualTextRect(item, &rc)) return;
  RECT client{};
  GetClientRect(&client);
  const int width =
      std::min<int>(std::max<int>(rc.right - rc.left, kMinEditWidth), client.right - client.left);
  rc.right = rc.left + width;
  m_pNameEdit->StartEdit(m_strOldName, rc);
}

void CQWFriendTreeCtrl::OnGroupNameEdited(const std::u16string& text) {
  FTLOG(u"CQWFriendTreeCtrl::OnGroupNameEdited()");
  const QWPOS pos = m_posRenaming;
  m_posRenaming = 0;
  const std::u16string name = text.substr(0, kNameChars);
  if (name.empty() || !pos || !m_pFriendData) return;
  bool taken = false;
  {
    CQWDataLocker lock(m_pFriendData);
    for (QWPOS p = m_pFriendData->GetFirstPosition(); p && !taken;
         p = m_pFriendData->GetNextPosition(p)) {
      auto rec = m_pFriendData->GetItem(p);
      taken = rec && !rec->IsFriend() && rec->GetName().substr(0, kNameChars) == name;
    }
  }
  if (taken && name != m_strOldName) {
    ShowMessage(kTextNameTaken, kCaptionRename);
    // Renaming starts again once this edit has fully closed.
    if (HTREEITEM item = GetItemByPos(pos)) {
      m_hSelected = item;
      if (m_hWnd) PostMessage(WM_COMMAND, ID_RENAMEGROUP, 0);
    }
    return;
  }
  m_processor.EditGroupByID(FTGROUP_RENAME, pos, name.c_str());
}

void CQWFriendTreeCtrl::OnGroup_Delete() {
  FTLOG(u"CQWFriendTreeCtrl::OnGroup_Delete()");
  auto rec = RecordOf(m_hSelected);
  if (!rec || rec->IsFriend()) return;
  const QWPOS pos = GetItemData(m_hSelected);
  // Friends load lazily and only-online hides some: the data decides.
  bool hasFriends = GetChildItem(m_hSelected) != nullptr;
  if (!hasFriends) {
    CQWDataLocker lock(m_pFriendData);
    hasFriends = m_pFriendData->GetFirstChildPosition(pos) != 0;
  }
  if (hasFriends) {
    ShowMessage(kTextGroupNotEmpty, kCaptionNotice);
    return;
  }
  m_processor.EditGroupByID(FTGROUP_DELETE, pos, GroupIdText(*rec).c_str());
}

void CQWFriendTreeCtrl::OnGroup_OnlyOnline() {
  FTLOG(u"CQWFriendTreeCtrl::OnGroup_OnlyOnline()");
  m_bOnlyOnline = !m_bOnlyOnline;
  std::u16string dir = CCommFunction::GetModuleDirectory();
  while (!dir.empty() && (dir.back() == u'\\' || dir.back() == u'/')) dir.pop_back();
  const std::u16string account = GetAccountText();
  if (!account.empty()) {
    // The account's folder may not be there before its first setting.
    const std::u16string folder = FormatW(u"%s\\%s", dir, account);
    CreateDirectoryW(folder.c_str(), nullptr);
    CINIFile(FormatW(u"%s\\mycfg.ini", folder).c_str())
        .WriteSet(u"GGPCW", u"VIEWFRIENDALL", FormatW(u"%d", m_bOnlyOnline ? 0 : 1).c_str());
  }
  Refilter();
}

void CQWFriendTreeCtrl::OnGroup_SendMobileMsg() {
  FTLOG(u"CQWFriendTreeCtrl::OnGroup_SendMobileMsg()");
  HTREEITEM group = IsGroupEntry(m_hSelected) ? m_hSelected : nullptr;
  const QWPOS groupPos = group ? GetItemData(group) : 0;
  const HWND window = m_processor.OpenGroupMobileMsg();
  if (!groupPos || !window) return;
  // The members as the data holds them (the tree may not show them all).
  std::vector<std::pair<std::u16string, std::u16string>> members;
  {
    CQWDataLocker lock(m_pFriendData);
    for (QWPOS p = m_pFriendData->GetFirstChildPosition(groupPos); p;
         p = m_pFriendData->GetNextPosition(p)) {
      auto rec = m_pFriendData->GetItem(p);
      CQWFriendDetail detail;
      auto id = rec ? rec->GetID() : nullptr;
      if (rec && rec->IsFriend() && id && rec->GetDetail(detail) && detail.mobile)
        members.emplace_back(id->GetID().substr(0, kNameChars),
                             rec->GetName().substr(0, kNameChars));
    }
  }
  // The texts live only during each call: sent, never posted, and only
  // while the window is there.
  for (const auto& [id, name] : members) {
    if (!IsWindow(window)) break;
    ::SendMessageW(window, FTREE_WM_GROUPMOBILE, reinterpret_cast<WPARAM>(id.c_str()),
                   reinterpret_cast<LPARAM>(name.c_str()));
  }
}

void CQWFriendTreeCtrl::OnCSGroup_Broadcast() {
  FTLOG(u"CQWFriendTreeCtrl::OnCSGroup_Broadcast()");
  m_processor.CSGroupBroadcast();
  if (m_hWnd) SetFocus();
}

void CQWFriendTreeCtrl::OnCSGroup_BroadcastAll() {
  FTLOG(u"CQWFriendTreeCtrl::OnCSGroup_BroadcastAll()");
  m_processor.CSGroupBroadcastAll();
  if (m_hWnd) SetFocus();
}

void CQWFriendTreeCtrl::OnGuide() {
  FTLOG(u"CQWFriendTreeCtrl::OnGuide()");
  m_processor.ChangeGuide();
}
