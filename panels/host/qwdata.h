// The host's data model as the panels see it.
//
// The host owns every contact data object (CQWData); the data manager hands
// them out by key and keeps them. What a panel obtains *from* a data object --
// record objects (CQWDataItem) and identifier objects (CQWDataID) -- is the
// panel's: it deletes them (std::unique_ptr is the usual holder).
//
// One model serves every data object: the friend networks (a tree of groups
// and friends), customer service and chat rooms, chat groups with their
// members, the organisation, auto-reply entries and the recent contacts.
// Records are addressed by positions: non-zero values that the data object
// gives out (0 means "none"). Friend positions fit in 32 bits because they
// travel in 32-bit payload fields; group-data keys are pointer-sized.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/windef.h"

using QWPOS = std::uintptr_t;

// Data kinds: which network or list a record belongs to.
enum QWDataKind : int {
  QWKIND_OWN = 1,  // "MurFriendData", the user's own network
  QWKIND_STRANGER = 64,
  QWKIND_DEFAULT2 = 128,
  QWKIND_CS = 256,        // "CSData", customer service
  QWKIND_CHATROOM = 512,  // "ChatRoomData"
  QWKIND_ORG = 4096,      // "OrgStructData", the user's organisation
};

// Contact status codes.
enum QWStatus : int {
  QWSTATUS_OFFLINE = 40071,
  QWSTATUS_ONLINE = 40072,
  QWSTATUS_AWAY = 40073,
  QWSTATUS_BUSY = 40074,
  QWSTATUS_HIDDEN = 40078,
};

// Sizes of the fixed records that travel whole in notifications and requests.
constexpr std::size_t QW_OWNINFO_SIZE = 4224;        // own-account record (notification 3076)
constexpr std::size_t QW_QUN_RECORD_SIZE = 6571;     // chat-group record
constexpr std::size_t QW_QUNMEM_RECORD_SIZE = 2524;  // chat-group member record
constexpr std::size_t QW_LOGON_RECORD_SIZE = 1000;   // remembered logon record

// Byte offsets inside the own-account record.
namespace qwownfield {
constexpr std::size_t kValue = 4;             // 32-bit value passed on with "sys/ChangePhoto"
constexpr std::size_t kUserId = 72;           // own identifier, UTF-16, 64 characters
constexpr std::size_t kDisplayName = 200;     // display name, UTF-16, 64 characters
constexpr std::size_t kPhotoSize = 4068;      // 32-bit byte count of the photo image
constexpr std::size_t kPhotoData = 4072;      // pointer-sized address of the photo image
constexpr std::size_t kMobileService = 4208;  // 32-bit mobile-service flag
}  // namespace qwownfield

// Byte offsets inside the chat-group and member records.
namespace qwqunfield {
constexpr std::size_t kGroupId = 35;     // group record: group identifier, UTF-16
constexpr std::size_t kGroupName = 803;  // group record: group name, UTF-16
constexpr std::size_t kMemNoMsg =
    24;  // member record: 1 when the member refuses the group's messages
constexpr std::size_t kMemGroupId = 28;  // member record: group identifier, 256 characters
constexpr std::size_t kMemUserId = 540;  // member record: member's user identifier
constexpr std::size_t kRoomId = 128;     // chat-room record: room identifier, 64 characters
}  // namespace qwqunfield

// A friend's particulars. Which of them a panel shows is its business; the
// host fills and stores them through CQWDataItem::GetDetail / SetDetail.
struct CQWFriendDetail {
  std::u16string trueName;   // real name (enterprise view)
  std::u16string email;      // e-mail address, empty when none
  std::u16string remark;     // the user's remark on this friend
  std::u16string signature;  // secondary text that the search also matches
  std::u16string deptPath;   // organisation members: department path
  int state = 0;             // 3: the contact's services are withdrawn
  bool mobile = false;       // reachable by mobile message
  bool video = false;        // has a camera
  bool blocked = false;
  bool canBlock = true;
};

// An identifier object: the contact's identifier text and the data kind it
// belongs to. Obtained from a record or created by a data object.
class CQWDataID {
 public:
  virtual ~CQWDataID() = default;
  virtual std::u16string GetID() const = 0;
  virtual int GetDataKind() const = 0;
};

// A record object: a copy of one record of a data object. Groups, friends,
// customer-service desks, chat rooms, chat groups and their members, members
// of the organisation and auto-reply entries all answer this interface; an
// operation that does not apply answers its empty value.
class CQWDataItem {
 public:
  virtual ~CQWDataItem() = default;

  virtual bool IsValid() const = 0;
  virtual bool IsFriend() const = 0;  // false for a group
  virtual int GetDataKind() const = 0;
  virtual std::u16string GetName() const = 0;  // display name, group name, entry text
  virtual void SetName(const std::u16string& name) = 0;
  virtual std::unique_ptr<CQWDataID> GetID() const = 0;  // null when it has none
  virtual int GetStatus() const = 0;

  // Particulars of a friend (false when the record has none).
  virtual bool GetDetail(CQWFriendDetail& out) const = 0;
  virtual void SetDetail(const CQWFriendDetail& detail) = 0;

  // Groups: members in total and members online.
  virtual int GetMemberCount() const = 0;
  virtual int GetOnlineCount() const = 0;

  // Chat-group entries: a member entry's parent is a group; a pending group is
  // one the user asked to join; the count is shown beside the group.
  virtual bool IsMember() const = 0;
  virtual bool IsPending() const = 0;
  virtual int GetCount() const = 0;
  virtual void SetCount(int count) = 0;

  // Customer service: the desk is staffed online.
  virtual bool IsServiceDesk() const = 0;

  // The fixed record behind a chat group (6571 bytes), a member (2524 bytes),
  // a chat room or a customer-service desk; size 0 when there is none.
  virtual std::size_t GetRecordSize() const = 0;
  virtual const BYTE* GetRecord() const = 0;
};

// What a search looks for: the field (1: identifier), the data kind and the
// key text.
struct CQWDataSearch {
  int field = 1;
  int kind = 0;
  std::u16string key;
};

// A data object of the host. Walks by position: the top level, siblings,
// parents and children form the tree; GetHeadPosition / GetNextItem visit
// every record in the object's own order (groups, each followed by its
// members). Writers and long readers hold the lock (basekit's CQWDataLocker).
class CQWData {
 public:
  virtual ~CQWData() = default;

  virtual const char16_t* GetDataName() const = 0;
  virtual void Lock() = 0;
  virtual void Unlock() = 0;

  // Tree walk; each answers 0 when there is no such record.
  virtual QWPOS GetFirstPosition() const = 0;          // first top-level record
  virtual QWPOS GetNextPosition(QWPOS pos) const = 0;  // next sibling
  virtual QWPOS GetPrevPosition(QWPOS pos) const = 0;  // previous sibling
  virtual QWPOS GetParentPosition(QWPOS pos) const = 0;
  virtual QWPOS GetFirstChildPosition(QWPOS pos) const = 0;
  virtual int GetTopCount() const = 0;  // number of top-level records

  // Whole walk in the object's order: the record at pos, and pos moved on to
  // the following one (0 after the last).
  virtual QWPOS GetHeadPosition() const = 0;
  virtual std::unique_ptr<CQWDataItem> GetNextItem(QWPOS& pos) const = 0;

  // A copy of the record at pos, or null.
  virtual std::unique_ptr<CQWDataItem> GetItem(QWPOS pos) const = 0;
  // Stores a changed record back at pos; false when pos is unknown.
  virtual bool SetItem(QWPOS pos, const CQWDataItem& item) = 0;

  // Look-ups.
  virtual std::unique_ptr<CQWDataID> CreateID(const std::u16string& id) const = 0;
  virtual QWPOS FindPosition(const CQWDataID& id) const = 0;
  virtual QWPOS FindPosition(const CQWDataSearch& search) const = 0;

  // Changes: fresh records (an empty friend is offline), insertion under a
  // parent (0: top level) after a sibling (0: first), and reset at logon.
  virtual std::unique_ptr<CQWDataItem> NewItem() const = 0;
  virtual std::unique_ptr<CQWDataItem> NewGroupItem(const std::u16string& name) const = 0;
  virtual QWPOS InsertItem(QWPOS parent, QWPOS after, const CQWDataItem& item) = 0;
  virtual void Reset() = 0;

  // Chat groups: the role code of a user in a group.
  virtual int GetRole(const std::u16string& groupId, const std::u16string& userId) const = 0;

  // Customer service: group broadcasting is available.
  virtual bool CanBroadcast() const = 0;

  // Auto-reply entries: the entry in use and the on/off switch.
  virtual QWPOS GetCurrentPosition() const = 0;
  virtual bool GetSwitch() const = 0;
  virtual void SetSwitch(bool on) = 0;
};
