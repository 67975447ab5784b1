#include "hostsim/host_requests.h"

#include <algorithm>
#include <cctype>

#include "platform/text.h"

namespace {

// Default area sizes: large enough for every field that a panel writes or
// reads, pointer-sized where a field carries an address or a data key.
struct TableRow {
  const char16_t* name;
  DWORD size1, size2;
};
constexpr TableRow kTable[] = {
    {u"sys/HistoryInfo", 148, 8},
    {u"sys/FriendInfo", 148, 4},
    {u"sys/BoardcastMsg", 4, 4},
    {u"sys/Guide", 4, 4},
    {u"sys/OpenURL", 1040, 4},
    {u"sys/Chat", 4, 276},
    {u"ui/CSNoticeAllReq", 4, 512},
    {u"sys/EditFriend", 4, 144},
    {u"sys/EditGroup", 4, 136},
    {u"sys/DefGroup", 136, 4},
    {u"sys/EnterPriseParam", 384, 4},
    {u"sys/FTInitedSuccess", 4, 4},
    {u"Ui/GetMurFriendList", 4, 4},
    {u"sys/Msgbox", 656, 4},
    {u"sys/RigisterDlg", 12, 4},
    {u"sys/AccountType", 4, 4},
    {u"sys/SetBaseColor", 4, 4},
    {u"GetQunList", 4, 4},
    {u"sys/QuitQun", 4, 6571},
    {u"sys/SetupQun", 128, 6571},
    {u"ZQ_GetOnlineUser", 256, 4},
    {u"sys/ChatWith", 148, 8},
    {u"sys/QunMemInfo", 2524, 128},
    {u"sys/AddFriend", 148, 4},
    {u"sys/DelQunMem", 4, 2524},
    {u"sys/Createor", 4, 2524},
    {u"sys/QunManager", 4, 2524},
    {u"sys/QuitInvalidQun", 6571, 4},
    {u"sys/QunInfo", 148, 4},
    {u"sys/QunMsgSetup", 8, 4},
    {u"IMD/RemoveMucBookmark", 3280, 4},
    {u"sys/Logon", 332, 4},
    {u"sys/LogonRetrySecond", 4, 4},
    {u"sys/NetSetting", 4, 4},
    {u"sys/ChangePhoto", 148, 8},
    {u"sys/ChangeStatus", 4, 4},
    {u"sys/OwnInfo", 4, 4},
    {u"sys/AutoReplySetup", 4, 4},
    {u"sys/AutoreplyInfo", 4, 4},
    {u"sys/CreateQun", 4, 4},
    {u"sys/Setup", 4, 4},
    {u"sys/ExportFriend", 4, 4},
    {u"sys/ImportFriend", 4, 4},
    {u"GetQunInfo", 136, 4},
    {u"sys/WorkDir", 512, 4},
};

void Patch(CHostArea& area, const std::vector<std::pair<std::size_t, std::vector<BYTE>>>& patches) {
  if (!area.present) return;  // an area the panel never asked for has no answer
  for (const auto& [offset, bytes] : patches) {
    for (std::size_t i = 0; i < bytes.size() && offset + i < area.bytes.size(); ++i)
      area.bytes[offset + i] = bytes[i];
  }
}

}  // namespace

// ---- packet --------------------------------------------------------------------

CHostPacket::CHostPacket(std::u16string name, DWORD size1, DWORD size2)
    : m_name(std::move(name)), m_size1(size1), m_size2(size2) {}

BYTE* CHostPacket::Get(CHostArea& area, DWORD defSize, DWORD size) {
  const DWORD want = size ? size : defSize;
  if (!area.present) {
    area.present = true;
    area.bytes.assign(want, 0);
  } else if (want > area.bytes.size()) {
    area.bytes.resize(want, 0);
  }
  // A zero-sized area still hands out a valid address.
  if (area.bytes.empty()) area.bytes.reserve(1);
  return area.bytes.data();
}

BYTE* CHostPacket::GetFirstArea(DWORD size) { return Get(m_area1, m_size1, size); }
BYTE* CHostPacket::GetSecondArea(DWORD size) { return Get(m_area2, m_size2, size); }
DWORD CHostPacket::GetFirstSize() const { return static_cast<DWORD>(m_area1.bytes.size()); }
DWORD CHostPacket::GetSecondSize() const { return static_cast<DWORD>(m_area2.bytes.size()); }

// ---- processors ------------------------------------------------------------------

class CHostRequests::Processor : public CQWDataProcessor {
 public:
  Processor(CHostRequests& owner, std::u16string name) : m_owner(owner), m_name(std::move(name)) {}
  std::unique_ptr<CQWDataPacket> CreatePacket(const char16_t* name) override {
    // The packet is shaped by the request it is created for.
    const std::u16string n = name ? name : m_name;
    auto [s1, s2] = m_owner.AreaSizes(n);
    return std::make_unique<CHostPacket>(n, s1, s2);
  }
  int Process(const char16_t* name, CQWDataPacket* packet, LPARAM value) override {
    return m_owner.Process(name ? name : m_name, packet, value);
  }

 private:
  CHostRequests& m_owner;
  std::u16string m_name;
};

CHostRequests::CHostRequests() {
  for (const TableRow& row : kTable) SetAreaSizes(row.name, row.size1, row.size2);
}

CHostRequests::~CHostRequests() = default;

void CHostRequests::SetAreaSizes(const std::u16string& name, DWORD size1, DWORD size2) {
  Entry& e = m_table[name];
  e.size1 = size1;
  e.size2 = size2;
  if (!e.processor) e.processor = std::make_unique<Processor>(*this, name);
}

void CHostRequests::Forget(const std::u16string& name) { m_table.erase(name); }

bool CHostRequests::Knows(const std::u16string& name) const { return m_table.count(name) != 0; }

std::pair<DWORD, DWORD> CHostRequests::AreaSizes(const std::u16string& name) const {
  auto it = m_table.find(name);
  return it == m_table.end() ? std::pair<DWORD, DWORD>{4, 4}
                             : std::pair<DWORD, DWORD>{it->second.size1, it->second.size2};
}

CQWDataProcessor* CHostRequests::GetProcessor(const char16_t* name) {
  if (!name) return nullptr;
  auto it = m_table.find(name);
  if (it == m_table.end()) {
    m_missing.emplace_back(name);
    return nullptr;
  }
  return it->second.processor.get();
}

void CHostRequests::SetHandler(const std::u16string& name, Handler handler) {
  auto it = m_table.find(name);
  if (it == m_table.end()) {
    SetAreaSizes(name, 4, 4);
    it = m_table.find(name);
  }
  it->second.handler = std::move(handler);
}

void CHostRequests::QueueAnswer(const std::u16string& name, CHostAnswer answer) {
  if (!Knows(name)) SetAreaSizes(name, 4, 4);
  m_table[name].queued.push_back(std::move(answer));
}

void CHostRequests::SetStandingAnswer(const std::u16string& name, CHostAnswer answer) {
  if (!Knows(name)) SetAreaSizes(name, 4, 4);
  Entry& e = m_table[name];
  e.hasStanding = true;
  e.standing = std::move(answer);
}

int CHostRequests::Process(const std::u16string& name, CQWDataPacket* packet, LPARAM value) {
  auto* hp = dynamic_cast<CHostPacket*>(packet);
  auto it = m_table.find(name);
  if (!hp || it == m_table.end()) return 0;
  Entry& e = it->second;

  CHostRequestRecord record;
  record.name = name;
  record.area1 = hp->Area(1);
  record.area2 = hp->Area(2);
  record.value = value;

  int result = 0;
  if (e.handler) result = e.handler(*hp, value);
  const CHostAnswer* answer = nullptr;
  CHostAnswer once;
  if (!e.queued.empty()) {
    once = std::move(e.queued.front());
    e.queued.pop_front();
    answer = &once;
  } else if (e.hasStanding) {
    answer = &e.standing;
  }
  if (answer) {
    result = answer->result;
    Patch(hp->Area(1), answer->area1);
    Patch(hp->Area(2), answer->area2);
  }
  record.result = result;
  m_log.push_back(record);
  if (m_observer) m_observer(m_log.back());
  return result;
}

// ---- text forms --------------------------------------------------------------------

std::string ToHex(const std::vector<BYTE>& bytes) {
  static const char* digits = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (BYTE b : bytes) {
    out.push_back(digits[b >> 4]);
    out.push_back(digits[b & 15]);
  }
  return out;
}

bool ParseHex(const std::string& text, std::vector<BYTE>& out) {
  out.clear();
  int high = -1;
  for (char c : text) {
    if (c == ' ' || c == '\t') {
      if (high >= 0) return false;  // a blank may only stand between bytes
      continue;
    }
    int v;
    if (c >= '0' && c <= '9') v = c - '0';
    else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    else return false;
    if (high < 0) {
      high = v;
    } else {
      out.push_back(static_cast<BYTE>(high * 16 + v));
      high = -1;
    }
  }
  return high < 0;
}

std::string ToShortHex(const std::vector<BYTE>& bytes) {
  std::size_t end = bytes.size();
  while (end > 0 && bytes[end - 1] == 0) --end;
  const std::size_t zeros = bytes.size() - end;
  if (zeros < kShortenZeros) return ToHex(bytes);
  return ToHex(std::vector<BYTE>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(end))) +
         "…+" + std::to_string(zeros) + " zero bytes";
}

std::string FormatRequest(const CHostRequestRecord& record) {
  auto area = [](const CHostArea& a) { return a.present ? ToShortHex(a.bytes) : std::string("-"); };
  return "request " + ToUtf8(record.name) + " area1=" + area(record.area1) +
         " area2=" + area(record.area2);
}
