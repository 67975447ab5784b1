// The host's contact data: in-memory data objects filled from fixture files,
// and the data manager that hands them out by key.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/plughost.h"

class CXmlNode;

// One stored record. Everything a panel may ask of a record lives here; the
// fixed byte record is built for chat groups, members and rooms.
struct CHostRecord {
  bool isGroup = false;
  int kind = QWKIND_OWN;
  std::u16string name;
  std::u16string id;
  int status = QWSTATUS_OFFLINE;
  bool hasDetail = false;
  CQWFriendDetail detail;
  bool member = false;
  bool pending = false;
  int count = 0;
  bool serviceDesk = false;
  std::vector<BYTE> bytes;
};

class CHostDataItem : public CQWDataItem {
 public:
  CHostDataItem() = default;
  explicit CHostDataItem(CHostRecord r, int members = 0, int online = 0)
      : m_r(std::move(r)), m_members(members), m_online(online) {}

  bool IsValid() const override { return !m_r.name.empty() || !m_r.id.empty(); }
  bool IsFriend() const override { return !m_r.isGroup; }
  int GetDataKind() const override { return m_r.kind; }
  std::u16string GetName() const override { return m_r.name; }
  void SetName(const std::u16string& name) override { m_r.name = name; }
  std::unique_ptr<CQWDataID> GetID() const override;
  int GetStatus() const override { return m_r.status; }
  bool GetDetail(CQWFriendDetail& out) const override;
  void SetDetail(const CQWFriendDetail& detail) override;
  int GetMemberCount() const override { return m_members; }
  int GetOnlineCount() const override { return m_online; }
  bool IsMember() const override { return m_r.member; }
  bool IsPending() const override { return m_r.pending; }
  int GetCount() const override { return m_r.count; }
  void SetCount(int count) override { m_r.count = count; }
  bool IsServiceDesk() const override { return m_r.serviceDesk; }
  std::size_t GetRecordSize() const override { return m_r.bytes.size(); }
  const BYTE* GetRecord() const override { return m_r.bytes.empty() ? nullptr : m_r.bytes.data(); }

  const CHostRecord& Record() const { return m_r; }
  // A record copied from any implementation of the interface.
  static CHostRecord FromInterface(const CQWDataItem& item);

 private:
  CHostRecord m_r;
  int m_members = 0, m_online = 0;
};

class CHostDataID : public CQWDataID {
 public:
  CHostDataID(std::u16string id, int kind) : m_id(std::move(id)), m_kind(kind) {}
  std::u16string GetID() const override { return m_id; }
  int GetDataKind() const override { return m_kind; }

 private:
  std::u16string m_id;
  int m_kind;
};

class CHostData : public CQWData {
 public:
  // Changes made through the interface, reported so the host can notify.
  enum class Change { Insert, Set, Reset };
  using ChangeHook = std::function<void(Change, QWPOS pos, QWPOS prev)>;

  // keyBase: the first position handed out; the chat-group data starts high
  // so that its keys need the whole pointer width.
  explicit CHostData(std::u16string name, int defaultKind, QWPOS keyBase = 0);

  const char16_t* GetDataName() const override { return m_name.c_str(); }
  void Lock() override { ++m_lockDepth; }
  void Unlock() override {
    if (m_lockDepth > 0) --m_lockDepth;
  }
  QWPOS GetFirstPosition() const override;
  QWPOS GetNextPosition(QWPOS pos) const override;
  QWPOS GetPrevPosition(QWPOS pos) const override;
  QWPOS GetParentPosition(QWPOS pos) const override;
  QWPOS GetFirstChildPosition(QWPOS pos) const override;
  int GetTopCount() const override { return static_cast<int>(m_top.size()); }
  QWPOS GetHeadPosition() const override { return GetFirstPosition(); }
  std::unique_ptr<CQWDataItem> GetNextItem(QWPOS& pos) const override;
  std::unique_ptr<CQWDataItem> GetItem(QWPOS pos) const override;
  bool SetItem(QWPOS pos, const CQWDataItem& item) override;
  std::unique_ptr<CQWDataID> CreateID(const std::u16string& id) const override;
  QWPOS FindPosition(const CQWDataID& id) const override;
  QWPOS FindPosition(const CQWDataSearch& search) const override;
  std::unique_ptr<CQWDataItem> NewItem() const override;
  std::unique_ptr<CQWDataItem> NewGroupItem(const std::u16string& name) const override;
  QWPOS InsertItem(QWPOS parent, QWPOS after, const CQWDataItem& item) override;
  void Reset() override;
  int GetRole(const std::u16string& groupId, const std::u16string& userId) const override;
  bool CanBroadcast() const override { return m_broadcast; }
  QWPOS GetCurrentPosition() const override { return m_current; }
  bool GetSwitch() const override { return m_switch; }
  void SetSwitch(bool on) override { m_switch = on; }

  // The host's side.
  QWPOS Add(QWPOS parent, CHostRecord record);  // appended as the last child
  bool Remove(QWPOS pos);                       // with its children
  CHostRecord* Find(QWPOS pos);
  QWPOS FindById(const std::u16string& id) const;
  QWPOS FindByName(const std::u16string& name) const;  // top level
  std::vector<QWPOS> Children(QWPOS parent) const;     // 0: top level
  void SetRole(const std::u16string& groupId, const std::u16string& userId, int role);
  void SetBroadcast(bool on) { m_broadcast = on; }
  void SetCurrentPosition(QWPOS pos) { m_current = pos; }
  int LockDepth() const { return m_lockDepth; }
  int DefaultKind() const { return m_defaultKind; }
  void SetChangeHook(ChangeHook hook) { m_hook = std::move(hook); }
  // A reset at logon keeps what it drops: the server still has it, and the
  // list the host fetches afterwards puts it back with its positions.
  // Records inserted since the reset stay, unless the server has a
  // top-level group of the same name.
  void RestoreFromServer();

  // Keeps a data object's change hook across a refill.
  struct ChangeHookKeeper {
    explicit ChangeHookKeeper(CHostData& d) : data(d), hook(d.m_hook) {}
    ~ChangeHookKeeper() { data.m_hook = hook; }
    CHostData& data;
    ChangeHook hook;
  };

 private:
  struct Node {
    QWPOS parent = 0;
    std::vector<QWPOS> children;
    CHostRecord rec;
  };
  const std::vector<QWPOS>& Siblings(QWPOS pos) const;
  std::unique_ptr<CHostDataItem> MakeItem(const Node& node) const;
  QWPOS NextInWalk(QWPOS pos) const;
  QWPOS NewPosition() { return m_keyBase + m_nextIndex++; }

  std::u16string m_name;
  int m_defaultKind;
  QWPOS m_keyBase;
  QWPOS m_nextIndex = 1;
  std::map<QWPOS, Node> m_nodes;
  std::vector<QWPOS> m_top;
  std::map<std::pair<std::u16string, std::u16string>, int> m_roles;
  bool m_broadcast = false;
  QWPOS m_current = 0;
  bool m_switch = false;
  int m_lockDepth = 0;
  ChangeHook m_hook;
  bool m_hasServer = false;
  std::map<QWPOS, Node> m_serverNodes;
  std::vector<QWPOS> m_serverTop;
};

// The data manager: every key the panels use, each an (initially empty) data
// object, filled from a fixture file.
class CHostDataManager : public CQWDataManager {
 public:
  CHostDataManager();
  CQWData* GetData(const char16_t* key) override;
  CHostData* Get(const std::u16string& key);

  // Reads a fixture file (see data/contacts.xml); false with a reason when it
  // cannot be read. Data objects it names are replaced.
  bool LoadFixture(const std::u16string& path, std::string& error);
  bool LoadFixtureNode(const CXmlNode& root, std::string& error);

  // The own-account record (4224 bytes) built from the fixture's <owner>.
  std::vector<BYTE>& OwnerRecord() { return m_owner; }
  // Default group names by data kind ("sys/DefGroup").
  std::map<int, std::u16string>& DefaultGroups() { return m_defGroups; }
  // Key texts the host answers for "sys/EnterPriseParam" ("section/key").
  std::map<std::u16string, std::u16string>& EnterpriseParams() { return m_enterprise; }

 private:
  std::map<std::u16string, std::unique_ptr<CHostData>> m_data;
  std::vector<BYTE> m_owner;
  std::vector<BYTE> m_photo;  // the owner's photo, addressed from the record
  std::string m_fixtureDir;   // where the fixture being read lies
  std::map<int, std::u16string> m_defGroups;
  std::map<std::u16string, std::u16string> m_enterprise;
};

// Fixed-layout field helpers for the host's own records.
void HostPutText(std::vector<BYTE>& buf, std::size_t offset, const std::u16string& text,
                 std::size_t chars);
void HostPutU32(std::vector<BYTE>& buf, std::size_t offset, std::uint32_t value);
void HostPutU64(std::vector<BYTE>& buf, std::size_t offset, std::uint64_t value);
std::u16string HostGetText(const BYTE* buf, std::size_t size, std::size_t offset,
                           std::size_t chars);
std::uint32_t HostGetU32(const BYTE* buf, std::size_t size, std::size_t offset);
