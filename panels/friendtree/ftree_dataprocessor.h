// CQWFriendTree_DataProcessor: the friend tree's one channel to the host for
// actions. Each operation packs one named request in its fixed layout and
// hands it to the host's data-processor manager; it also looks records up in
// the friend data ("MurFriendData").
//
// Every operation logs its own name first and does nothing without a manager
// or without a required argument. A missing processor, packet, area, record
// or identifier abandons the request silently.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/plughost.h"

// Chat kinds ("sys/Chat", area 1 offset 0).
enum FTChatKind : int {
  FTCHAT_MESSAGE = 0,
  FTCHAT_FILE = 1,
  FTCHAT_VIDEO = 2,
  FTCHAT_VOICE = 3,
  FTCHAT_MOBILE = 4,
  FTCHAT_EMAIL = 5,
  FTCHAT_SHARED_AV = 6,
};

// Target kinds ("sys/Chat", area 2 offset 0).
enum FTChatTarget : int { FTTARGET_FRIEND = 0, FTTARGET_MOBILE = 2, FTTARGET_CHATROOM = 6 };

// Friend actions ("sys/EditFriend").
enum FTFriendAction : int {
  FTFRIEND_ADD = 0,
  FTFRIEND_DELETE = 2,
  FTFRIEND_BLOCK = 3,
  FTFRIEND_MOVE = 4
};

// Group actions ("sys/EditGroup").
enum FTGroupAction : int { FTGROUP_ADD = 0, FTGROUP_RENAME = 1, FTGROUP_DELETE = 2 };

class CQWFriendTree_DataProcessor {
 public:
  CQWFriendTree_DataProcessor() = default;
  CQWFriendTree_DataProcessor(const CQWFriendTree_DataProcessor&) = delete;
  CQWFriendTree_DataProcessor& operator=(const CQWFriendTree_DataProcessor&) = delete;

  void SetDataProcessMgr(CQWDataProcessorManager* mgr) { m_pMgr = mgr; }
  CQWDataProcessorManager* GetDataProcessMgr() const { return m_pMgr; }
  void SetFriendData(CQWData* data) { m_pFriendData = data; }
  CQWData* GetFriendData() const { return m_pFriendData; }

  void ViewHistory(QWPOS pos);
  void ViewFriendInfo(QWPOS pos);
  void CSGroupBroadcast();
  void CSGroupBroadcastAll();
  void ChangeGuide();
  void OpenNewLink(const char16_t* url);
  void ChatWithFriend(QWPOS pos, int chatKind, int targetKind);
  void SendEmailToCS(QWPOS pos);
  // room: the host's "ChatRoomData", which holds the room's fixed record.
  void EnterFreeChatRoom(QWPOS roomPos, CQWData* roomData);
  void ChatWithCS(const CQWDataItem* csRecord, const char16_t* account);
  // Non-zero when the request was sent.
  int EditFriendByPos(QWPOS pos, int action, int value1, int value2);
  void Popup_AddFriend_UI(int kind, int value);
  // The host's result; 0 when the request could not be made.
  int EditGroupByID(int action, QWPOS groupPos, const char16_t* name);
  void SetDefaultGroupName(const char16_t* name);
  // The host's default group name of a data kind (1, 64, 128, 256, 512);
  // empty when the host does not answer.
  std::u16string GetDefaultGroupName(int kind);
  // Announces a dialog of the panel to the host when it opens (open true)
  // and again when it closes.
  void RegisterDlg(HWND dialog, bool open);
  // The host's account type ("sys/AccountType"); 0 when it cannot be asked.
  int GetAccountType();
  // Asks the host for its mobile-message window for a group ("sys/Chat",
  // chat kind 4 to mobile phones); the window handle the host answers, or 0.
  HWND OpenGroupMobileMsg();
  // The host's answer; empty on any failure.
  std::u16string GetEnterpriseSetting(const char16_t* section, const char16_t* key);
  void Notify_QW_LogonSuccess();
  void GetFriendList();
  // The host's skinned message box: the button pressed, or 2 (as if
  // cancelled) when the request cannot be made.
  int MessageBox(const char16_t* caption, const char16_t* text, UINT flags, HWND owner);

  // Look-ups in the friend data. Each replaces whatever the holder had (also
  // on failure, when it is left empty) and answers whether it found one.
  bool GetFriendInfoPtr(QWPOS pos, std::unique_ptr<CQWDataItem>& holder);
  bool GetFriendIDPtr(QWPOS pos, std::unique_ptr<CQWDataID>& holder);

  // The UTF-8 text that ChatWithCS sends: "65|<account>|", with the account
  // cut at a character boundary so that it and its terminator fit 512 bytes.
  static std::string FormatCSNotice(const char16_t* account);

 private:
  // The friend's identifier text (and display name), or false.
  bool GetFriendIdentity(QWPOS pos, std::u16string& id, std::u16string* name);
  void SendIdentityRequest(const char16_t* request, QWPOS pos);
  void SendChat(QWPOS pos, int chatKind, int targetKind);

  CQWDataProcessorManager* m_pMgr = nullptr;
  CQWData* m_pFriendData = nullptr;
};
