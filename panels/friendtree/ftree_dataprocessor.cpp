#include "friendtree/ftree_dataprocessor.h"

#include <algorithm>

#include "friendtree/ftree_log.h"
#include "module/request.h"
#include "platform/text.h"

namespace {

constexpr std::size_t kIdChars = 64;        // identifier and name fields
constexpr std::size_t kMsgTextChars = 260;  // message box text
constexpr DWORD kCSNoticeBytes = 512;       // "ui/CSNoticeAllReq" area 2
constexpr int kCSNoticeCode = 65;
constexpr std::size_t kRoomIdOffset = 128;  // room identifier inside the room's record

// Positions travel in 32-bit payload fields.
std::int32_t Pos32(QWPOS pos) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(pos)); }

}  // namespace

bool CQWFriendTree_DataProcessor::GetFriendInfoPtr(QWPOS pos,
                                                   std::unique_ptr<CQWDataItem>& holder) {
  FTLOG(u"CQWFriendTree_DataProcessor::GetFriendInfoPtr()");
  holder.reset();
  if (!m_pFriendData || !pos) return false;
  holder = m_pFriendData->GetItem(pos);
  return holder != nullptr;
}

bool CQWFriendTree_DataProcessor::GetFriendIDPtr(QWPOS pos, std::unique_ptr<CQWDataID>& holder) {
  FTLOG(u"CQWFriendTree_DataProcessor::GetFriendIDPtr()");
  holder.reset();
  std::unique_ptr<CQWDataItem> record;
  if (!GetFriendInfoPtr(pos, record)) return false;
  holder = record->GetID();
  return holder != nullptr;
}

bool CQWFriendTree_DataProcessor::GetFriendIdentity(QWPOS pos, std::u16string& id,
                                                    std::u16string* name) {
  std::unique_ptr<CQWDataItem> record;
  if (!GetFriendInfoPtr(pos, record)) return false;
  std::unique_ptr<CQWDataID> ident = record->GetID();
  if (!ident) return false;
  id = ident->GetID();
  if (name) *name = record->GetName();
  return true;
}

void CQWFriendTree_DataProcessor::SendIdentityRequest(const char16_t* request, QWPOS pos) {
  std::u16string id;
  if (!GetFriendIdentity(pos, id, nullptr)) return;
  CQWRequest req(m_pMgr, request);
  CQWPayload a1 = req.Area1();
  if (!a1.PutInt(16, 1) || !a1.PutText(20, id, kIdChars)) return;
  req.Process();
}

void CQWFriendTree_DataProcessor::ViewHistory(QWPOS pos) {
  FTLOG(u"CQWFriendTree_DataProcessor::ViewHistory()");
  if (!m_pMgr || !pos) return;
  SendIdentityRequest(u"sys/HistoryInfo", pos);
}

void CQWFriendTree_DataProcessor::ViewFriendInfo(QWPOS pos) {
  FTLOG(u"CQWFriendTree_DataProcessor::ViewFriendInfo()");
  if (!m_pMgr || !pos) return;
  SendIdentityRequest(u"sys/FriendInfo", pos);
}

void CQWFriendTree_DataProcessor::CSGroupBroadcast() {
  FTLOG(u"CQWFriendTree_DataProcessor::CSGroupBroadcast()");
  if (!m_pMgr) return;
  QWSimpleRequest(m_pMgr, u"sys/BoardcastMsg", 1);
}

void CQWFriendTree_DataProcessor::CSGroupBroadcastAll() {
  FTLOG(u"CQWFriendTree_DataProcessor::CSGroupBroadcastAll()");
  if (!m_pMgr) return;
  QWSimpleRequest(m_pMgr, u"sys/BoardcastMsg", 2);
}

void CQWFriendTree_DataProcessor::ChangeGuide() {
  FTLOG(u"CQWFriendTree_DataProcessor::ChangeGuide()");
  if (!m_pMgr) return;
  QWSimpleRequest(m_pMgr, u"sys/Guide", 1);
}

void CQWFriendTree_DataProcessor::OpenNewLink(const char16_t* url) {
  FTLOG(u"CQWFriendTree_DataProcessor::OpenNewLink()");
  if (!m_pMgr || !url || !*url) return;
  const std::u16string text(url);
  CQWRequest req(m_pMgr, u"sys/OpenURL");
  // The area holds exactly the address and its terminator.
  const std::size_t chars = text.size() + 1;
  CQWPayload a1 = req.Area1(static_cast<DWORD>(2 * chars));
  if (!a1.PutText(0, text, chars)) return;
  req.Process();
}

void CQWFriendTree_DataProcessor::SendChat(QWPOS pos, int chatKind, int targetKind) {
  std::u16string id, name;
  if (!GetFriendIdentity(pos, id, &name)) return;
  CQWRequest req(m_pMgr, u"sys/Chat");
  CQWPayload a1 = req.Area1();
  if (!a1.PutInt(0, chatKind)) return;
  CQWPayload a2 = req.Area2();
  if (!a2.PutInt(0, targetKind) || !a2.PutInt(12, 1) || !a2.PutInt(16, 1) ||
      !a2.PutText(20, id, kIdChars) || !a2.PutText(148, name, kIdChars))
    return;
  req.Process();
}

void CQWFriendTree_DataProcessor::ChatWithFriend(QWPOS pos, int chatKind, int targetKind) {
  FTLOG(u"CQWFriendTree_DataProcessor::ChatWithFriend()");
  if (!m_pMgr || !pos) return;
  SendChat(pos, chatKind, targetKind);
}

void CQWFriendTree_DataProcessor::SendEmailToCS(QWPOS pos) {
  FTLOG(u"CQWFriendTree_DataProcessor::SendEmailToCS()");
  if (!m_pMgr || !pos) return;
  SendChat(pos, FTCHAT_EMAIL, FTTARGET_FRIEND);
}

void CQWFriendTree_DataProcessor::EnterFreeChatRoom(QWPOS roomPos, CQWData* roomData) {
  FTLOG(u"CQWFriendTree_DataProcessor::EnterFreeChatRoom()");
  if (!m_pMgr || !roomPos || !roomData) return;
  std::unique_ptr<CQWDataItem> room = roomData->GetItem(roomPos);
  if (!room || !room->GetRecord()) return;
  const CQWPayload record(const_cast<BYTE*>(room->GetRecord()),
                          static_cast<DWORD>(room->GetRecordSize()));
  if (record.Size() < kRoomIdOffset + 2) return;
  const std::u16string roomId = record.GetText(kRoomIdOffset, kIdChars);
  CQWRequest req(m_pMgr, u"sys/Chat");
  CQWPayload a1 = req.Area1();
  if (!a1.PutInt(0, FTCHAT_MESSAGE)) return;
  CQWPayload a2 = req.Area2();
  if (!a2.PutInt(0, FTTARGET_CHATROOM) || !a2.PutInt(12, 1) || !a2.PutInt(16, 1) ||
      !a2.PutText(148, roomId, kIdChars))
    return;
  req.Process();
}

std::string CQWFriendTree_DataProcessor::FormatCSNotice(const char16_t* account) {
  const std::string head = std::to_string(kCSNoticeCode) + "|";
  std::string acct = account ? ToUtf8(account) : std::string();
  // Room for the head, the closing "|" and the terminator.
  const std::size_t room = kCSNoticeBytes - head.size() - 2;
  if (acct.size() > room) {
    std::size_t cut = room;
    // Never split a character: step back over continuation bytes.
    while (cut > 0 && (static_cast<unsigned char>(acct[cut]) & 0xC0) == 0x80) --cut;
    acct.resize(cut);
  }
  return head + acct + "|";
}

void CQWFriendTree_DataProcessor::ChatWithCS(const CQWDataItem* csRecord, const char16_t* account) {
  FTLOG(u"CQWFriendTree_DataProcessor::ChatWithCS()");
  if (!m_pMgr || !csRecord || !account) return;
  const std::string text = FormatCSNotice(account);
  CQWRequest req(m_pMgr, u"ui/CSNoticeAllReq");
  CQWPayload a2 = req.Area2(kCSNoticeBytes);
  if (!a2 || !a2.Zero(0, a2.Size()) || !a2.PutAnsi(0, text, kCSNoticeBytes)) return;
  req.Process();
}

int CQWFriendTree_DataProcessor::EditFriendByPos(QWPOS pos, int action, int value1, int value2) {
  FTLOG(u"CQWFriendTree_DataProcessor::EditFriendByPos()");
  if (!m_pMgr || !pos) return 0;
  std::unique_ptr<CQWDataItem> record;
  if (!GetFriendInfoPtr(pos, record) || !record->IsFriend()) return 0;
  std::unique_ptr<CQWDataID> ident = record->GetID();
  if (!ident) return 0;
  CQWRequest req(m_pMgr, u"sys/EditFriend");
  CQWPayload a1 = req.Area1();
  if (!a1.PutInt(0, action)) return 0;
  CQWPayload a2 = req.Area2();
  if (!a2.PutInt(0, 1) || !a2.PutText(4, ident->GetID(), kIdChars) || !a2.PutInt(132, Pos32(pos)) ||
      !a2.PutInt(136, value1) || !a2.PutInt(140, value2))
    return 0;
  return req.Process() ? 1 : 0;
}

void CQWFriendTree_DataProcessor::Popup_AddFriend_UI(int kind, int value) {
  FTLOG(u"CQWFriendTree_DataProcessor::Popup_AddFriend_UI()");
  if (!m_pMgr) return;
  CQWRequest req(m_pMgr, u"sys/EditFriend");
  CQWPayload a1 = req.Area1();
  if (!a1.PutInt(0, FTFRIEND_ADD)) return;
  CQWPayload a2 = req.Area2();
  if (!a2.PutInt(0, kind) || !a2.PutInt(136, value)) return;
  req.Process();
}

int CQWFriendTree_DataProcessor::EditGroupByID(int action, QWPOS groupPos, const char16_t* name) {
  FTLOG(u"CQWFriendTree_DataProcessor::EditGroupByID()");
  if (!m_pMgr || !name) return 0;
  CQWRequest req(m_pMgr, u"sys/EditGroup");
  CQWPayload a1 = req.Area1();
  if (!a1.PutInt(0, action)) return 0;
  CQWPayload a2 = req.Area2();
  if (!a2.PutInt(0, 1) || !a2.PutText(4, name, kIdChars) || !a2.PutInt(132, Pos32(groupPos)))
    return 0;
  return req.Process().value_or(0);
}

void CQWFriendTree_DataProcessor::SetDefaultGroupName(const char16_t* name) {
  FTLOG(u"CQWFriendTree_DataProcessor::SetDefaultGroupName()");
  if (!m_pMgr || !name) return;
  CQWRequest req(m_pMgr, u"sys/DefGroup");
  CQWPayload a1 = req.Area1();
  if (!a1.PutInt(0, QWKIND_OWN) || !a1.PutText(4, name, kIdChars)) return;
  CQWPayload a2 = req.Area2();
  if (!a2.PutInt(0, 0)) return;
  req.Process();
}

std::u16string CQWFriendTree_DataProcessor::GetDefaultGroupName(int kind) {
  FTLOG(u"CQWFriendTree_DataProcessor::GetDefaultGroupName()");
  if (!m_pMgr) return {};
  CQWRequest req(m_pMgr, u"sys/DefGroup");
  CQWPayload a1 = req.Area1();
  if (!a1.PutInt(0, kind)) return {};
  // A stale name must not be mistaken for the host's answer.
  const std::size_t nameBytes =
      std::min<std::size_t>(2 * kIdChars, a1.Size() > 4 ? a1.Size() - 4 : 0);
  if (nameBytes < 2 || !a1.Zero(4, nameBytes)) return {};
  CQWPayload a2 = req.Area2();
  if (!a2.PutInt(0, 1)) return {};
  if (!req.Process()) return {};
  return a1.GetText(4, nameBytes / 2);
}

void CQWFriendTree_DataProcessor::RegisterDlg(HWND dialog, bool open) {
  FTLOG(u"CQWFriendTree_DataProcessor::RegisterDlg()");
  if (!m_pMgr || !dialog) return;
  CQWRequest req(m_pMgr, u"sys/RigisterDlg");
  CQWPayload a1 = req.Area1();
  if (!a1.PutUInt(0, static_cast<std::uint32_t>(dialog)) || !a1.PutInt(4, 0) ||
      !a1.PutInt(8, open ? 1 : 0))
    return;
  req.Process();
}

int CQWFriendTree_DataProcessor::GetAccountType() {
  FTLOG(u"CQWFriendTree_DataProcessor::GetAccountType()");
  if (!m_pMgr) return 0;
  CQWRequest req(m_pMgr, u"sys/AccountType");
  return req.Process().value_or(0);
}

HWND CQWFriendTree_DataProcessor::OpenGroupMobileMsg() {
  FTLOG(u"CQWFriendTree_DataProcessor::OpenGroupMobileMsg()");
  if (!m_pMgr) return 0;
  CQWRequest req(m_pMgr, u"sys/Chat");
  CQWPayload a1 = req.Area1();
  if (!a1.PutInt(0, FTCHAT_MOBILE)) return 0;
  CQWPayload a2 = req.Area2();
  if (!a2.PutInt(0, FTTARGET_MOBILE) || !a2.PutInt(12, 1) || !a2.PutInt(16, 1)) return 0;
  // Window handles are 32-bit values: the host answers one as its result.
  return static_cast<HWND>(static_cast<std::uint32_t>(req.Process().value_or(0)));
}

std::u16string CQWFriendTree_DataProcessor::GetEnterpriseSetting(const char16_t* section,
                                                                 const char16_t* key) {
  FTLOG(u"CQWFriendTree_DataProcessor::GetEnterpriseSetting()");
  if (!m_pMgr || !section || !key) return {};
  CQWRequest req(m_pMgr, u"sys/EnterPriseParam");
  CQWPayload a1 = req.Area1();
  constexpr std::size_t kAnswer = 256;
  if (!a1.PutText(0, section, kIdChars) || !a1.PutText(128, key, kIdChars) || a1.Size() <= kAnswer)
    return {};
  // A stale answer must not be mistaken for the host's.
  a1.Zero(kAnswer, a1.Size() - kAnswer);
  if (!req.Process()) return {};
  return a1.GetText(kAnswer, (a1.Size() - kAnswer) / 2);
}

void CQWFriendTree_DataProcessor::Notify_QW_LogonSuccess() {
  FTLOG(u"CQWFriendTree_DataProcessor::Notify_QW_LogonSuccess()");
  if (!m_pMgr) return;
  CQWRequest req(m_pMgr, u"sys/FTInitedSuccess");
  req.Process();
}

void CQWFriendTree_DataProcessor::GetFriendList() {
  FTLOG(u"CQWFriendTree_DataProcessor::GetFriendList()");
  if (!m_pMgr) return;
  CQWRequest req(m_pMgr, u"Ui/GetMurFriendList");
  req.Process();
}

int CQWFriendTree_DataProcessor::MessageBox(const char16_t* caption, const char16_t* text,
                                            UINT flags, HWND owner) {
  FTLOG(u"CQWFriendTree_DataProcessor::MessageBox()");
  constexpr int kCannot = 2;
  if (!m_pMgr) return kCannot;
  CQWRequest req(m_pMgr, u"sys/Msgbox");
  CQWPayload a1 = req.Area1();
  if (!a1.PutUInt(0, flags) || !a1.PutText(4, caption ? caption : u"", kIdChars) ||
      !a1.PutText(132, text ? text : u"", kMsgTextChars) ||
      !a1.PutUInt(652, static_cast<std::uint32_t>(owner)))
    return kCannot;
  return req.Process().value_or(kCannot);
}
