#include "hostsim/host_data.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#include "hostsim/host_requests.h"
#include "platform/file.h"
#include "platform/text.h"
#include "platform/xml.h"

// ---- field helpers -------------------------------------------------------------

void HostPutText(std::vector<BYTE>& buf, std::size_t offset, const std::u16string& text,
                 std::size_t chars) {
  if (chars == 0) return;
  const std::size_t n = std::min(text.size(), chars - 1);
  for (std::size_t i = 0; i <= n; ++i) {
    const char16_t c = i < n ? text[i] : u'\0';
    const std::size_t at = offset + 2 * i;
    if (at + 2 > buf.size()) return;
    buf[at] = static_cast<BYTE>(c & 0xff);
    buf[at + 1] = static_cast<BYTE>(c >> 8);
  }
}

void HostPutU32(std::vector<BYTE>& buf, std::size_t offset, std::uint32_t value) {
  if (offset + 4 > buf.size()) return;
  for (int i = 0; i < 4; ++i) buf[offset + i] = static_cast<BYTE>(value >> (8 * i));
}

void HostPutU64(std::vector<BYTE>& buf, std::size_t offset, std::uint64_t value) {
  if (offset + 8 > buf.size()) return;
  for (int i = 0; i < 8; ++i) buf[offset + i] = static_cast<BYTE>(value >> (8 * i));
}

std::u16string HostGetText(const BYTE* buf, std::size_t size, std::size_t offset,
                           std::size_t chars) {
  std::u16string out;
  for (std::size_t i = 0; i < chars; ++i) {
    const std::size_t at = offset + 2 * i;
    if (!buf || at + 2 > size) break;
    const char16_t c = static_cast<char16_t>(buf[at] | (buf[at + 1] << 8));
    if (!c) break;
    out.push_back(c);
  }
  return out;
}

std::uint32_t HostGetU32(const BYTE* buf, std::size_t size, std::size_t offset) {
  if (!buf || offset + 4 > size) return 0;
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | buf[offset + i];
  return v;
}

// ---- records -------------------------------------------------------------------

std::unique_ptr<CQWDataID> CHostDataItem::GetID() const {
  if (m_r.id.empty()) return nullptr;
  return std::make_unique<CHostDataID>(m_r.id, m_r.kind);
}

bool CHostDataItem::GetDetail(CQWFriendDetail& out) const {
  if (!m_r.hasDetail) return false;
  out = m_r.detail;
  return true;
}

void CHostDataItem::SetDetail(const CQWFriendDetail& detail) {
  m_r.detail = detail;
  m_r.hasDetail = true;
}

CHostRecord CHostDataItem::FromInterface(const CQWDataItem& item) {
  if (auto* own = dynamic_cast<const CHostDataItem*>(&item)) return own->m_r;
  CHostRecord r;
  r.isGroup = !item.IsFriend();
  r.kind = item.GetDataKind();
  r.name = item.GetName();
  if (auto id = item.GetID()) r.id = id->GetID();
  r.status = item.GetStatus();
  r.hasDetail = item.GetDetail(r.detail);
  r.member = item.IsMember();
  r.pending = item.IsPending();
  r.count = item.GetCount();
  r.serviceDesk = item.IsServiceDesk();
  if (item.GetRecord()) r.bytes.assign(item.GetRecord(), item.GetRecord() + item.GetRecordSize());
  return r;
}

// ---- data object -----------------------------------------------------------------

CHostData::CHostData(std::u16string name, int defaultKind, QWPOS keyBase)
    : m_name(std::move(name)), m_defaultKind(defaultKind), m_keyBase(keyBase) {}

const std::vector<QWPOS>& CHostData::Siblings(QWPOS pos) const {
  static const std::vector<QWPOS> none;
  auto it = m_nodes.find(pos);
  if (it == m_nodes.end()) return none;
  if (!it->second.parent) return m_top;
  return m_nodes.at(it->second.parent).children;
}

QWPOS CHostData::GetFirstPosition() const { return m_top.empty() ? 0 : m_top.front(); }

QWPOS CHostData::GetNextPosition(QWPOS pos) const {
  const auto& sib = Siblings(pos);
  auto it = std::find(sib.begin(), sib.end(), pos);
  return (it == sib.end() || std::next(it) == sib.end()) ? 0 : *std::next(it);
}

QWPOS CHostData::GetPrevPosition(QWPOS pos) const {
  const auto& sib = Siblings(pos);
  auto it = std::find(sib.begin(), sib.end(), pos);
  return (it == sib.end() || it == sib.begin()) ? 0 : *std::prev(it);
}

QWPOS CHostData::GetParentPosition(QWPOS pos) const {
  auto it = m_nodes.find(pos);
  return it == m_nodes.end() ? 0 : it->second.parent;
}

QWPOS CHostData::GetFirstChildPosition(QWPOS pos) const {
  auto it = m_nodes.find(pos);
  return (it == m_nodes.end() || it->second.children.empty()) ? 0 : it->second.children.front();
}

QWPOS CHostData::NextInWalk(QWPOS pos) const {
  auto it = m_nodes.find(pos);
  if (it == m_nodes.end()) return 0;
  if (!it->second.children.empty()) return it->second.children.front();
  for (QWPOS p = pos; p; p = GetParentPosition(p)) {
    if (QWPOS next = GetNextPosition(p)) return next;
  }
  return 0;
}

std::unique_ptr<CHostDataItem> CHostData::MakeItem(const Node& node) const {
  int online = 0;
  for (QWPOS c : node.children) {
    if (m_nodes.at(c).rec.status != QWSTATUS_OFFLINE) ++online;
  }
  return std::make_unique<CHostDataItem>(node.rec, static_cast<int>(node.children.size()), online);
}

std::unique_ptr<CQWDataItem> CHostData::GetNextItem(QWPOS& pos) const {
  auto it = m_nodes.find(pos);
  if (it == m_nodes.end()) {
    pos = 0;
    return nullptr;
  }
  auto item = MakeItem(it->second);
  pos = NextInWalk(pos);
  return item;
}

std::unique_ptr<CQWDataItem> CHostData::GetItem(QWPOS pos) const {
  auto it = m_nodes.find(pos);
  if (it == m_nodes.end()) return nullptr;
  return MakeItem(it->second);
}

bool CHostData::SetItem(QWPOS pos, const CQWDataItem& item) {
  auto it = m_nodes.find(pos);
  if (it == m_nodes.end()) return false;
  it->second.rec = CHostDataItem::FromInterface(item);
  if (m_hook) m_hook(Change::Set, pos, 0);
  return true;
}

std::unique_ptr<CQWDataID> CHostData::CreateID(const std::u16string& id) const {
  return std::make_unique<CHostDataID>(id, m_defaultKind);
}

QWPOS CHostData::FindById(const std::u16string& id) const {
  if (id.empty()) return 0;
  for (QWPOS p = GetFirstPosition(); p; p = NextInWalk(p)) {
    if (m_nodes.at(p).rec.id == id) return p;
  }
  return 0;
}

QWPOS CHostData::FindPosition(const CQWDataID& id) const { return FindById(id.GetID()); }

QWPOS CHostData::FindPosition(const CQWDataSearch& search) const {
  // Field 1 is the identifier; no other field is searched by the panels.
  if (search.field != 1) return 0;
  return FindById(search.key);
}

std::unique_ptr<CQWDataItem> CHostData::NewItem() const {
  CHostRecord r;
  r.kind = m_defaultKind;
  return std::make_unique<CHostDataItem>(std::move(r));
}

std::unique_ptr<CQWDataItem> CHostData::NewGroupItem(const std::u16string& name) const {
  CHostRecord r;
  r.isGroup = true;
  r.kind = m_defaultKind;
  r.name = name;
  r.id = name;
  return std::make_unique<CHostDataItem>(std::move(r));
}

QWPOS CHostData::InsertItem(QWPOS parent, QWPOS after, const CQWDataItem& item) {
  if (parent && !m_nodes.count(parent)) return 0;
  const QWPOS pos = NewPosition();
  Node node;
  node.parent = parent;
  node.rec = CHostDataItem::FromInterface(item);
  m_nodes.emplace(pos, std::move(node));
  auto& list = parent ? m_nodes.at(parent).children : m_top;
  auto it = after ? std::find(list.begin(), list.end(), after) : list.end();
  list.insert(it == list.end() ? list.begin() : std::next(it), pos);
  if (m_hook) m_hook(Change::Insert, pos, GetPrevPosition(pos));
  return pos;
}

void CHostData::Reset() {
  m_hasServer = true;
  m_serverNodes = std::move(m_nodes);
  m_serverTop = std::move(m_top);
  m_nodes.clear();
  m_top.clear();
  if (m_hook) m_hook(Change::Reset, 0, 0);
}

void CHostData::RestoreFromServer() {
  if (!m_hasServer) return;
  std::map<QWPOS, Node> nodes = m_serverNodes;
  std::vector<QWPOS> top;
  std::function<void(QWPOS)> keep = [&](QWPOS pos) {
    nodes[pos] = m_nodes.at(pos);
    for (QWPOS c : m_nodes.at(pos).children) keep(c);
  };
  for (QWPOS pos : m_top) {
    const CHostRecord& r = m_nodes.at(pos).rec;
    const bool known =
        r.isGroup && std::any_of(m_serverTop.begin(), m_serverTop.end(), [&](QWPOS s) {
          return m_serverNodes.at(s).rec.isGroup && m_serverNodes.at(s).rec.name == r.name;
        });
    if (known) continue;
    keep(pos);
    top.push_back(pos);
  }
  top.insert(top.end(), m_serverTop.begin(), m_serverTop.end());
  m_nodes = std::move(nodes);
  m_top = std::move(top);
}

int CHostData::GetRole(const std::u16string& groupId, const std::u16string& userId) const {
  auto it = m_roles.find({groupId, userId});
  return it == m_roles.end() ? 0 : it->second;
}

QWPOS CHostData::Add(QWPOS parent, CHostRecord record) {
  if (parent && !m_nodes.count(parent)) return 0;
  const QWPOS pos = NewPosition();
  Node node;
  node.parent = parent;
  node.rec = std::move(record);
  m_nodes.emplace(pos, std::move(node));
  (parent ? m_nodes.at(parent).children : m_top).push_back(pos);
  return pos;
}

bool CHostData::Remove(QWPOS pos) {
  auto it = m_nodes.find(pos);
  if (it == m_nodes.end()) return false;
  for (QWPOS c : std::vector<QWPOS>(it->second.children)) Remove(c);
  auto& list = it->second.parent ? m_nodes.at(it->second.parent).children : m_top;
  std::erase(list, pos);
  m_nodes.erase(pos);
  return true;
}

CHostRecord* CHostData::Find(QWPOS pos) {
  auto it = m_nodes.find(pos);
  return it == m_nodes.end() ? nullptr : &it->second.rec;
}

QWPOS CHostData::FindByName(const std::u16string& name) const {
  for (QWPOS p : m_top) {
    if (m_nodes.at(p).rec.name == name) return p;
  }
  return 0;
}

std::vector<QWPOS> CHostData::Children(QWPOS parent) const {
  if (!parent) return m_top;
  auto it = m_nodes.find(parent);
  return it == m_nodes.end() ? std::vector<QWPOS>{} : it->second.children;
}

void CHostData::SetRole(const std::u16string& groupId, const std::u16string& userId, int role) {
  m_roles[{groupId, userId}] = role;
}

// ---- data manager and fixtures ------------------------------------------------------

namespace {

struct KeyInfo {
  const char16_t* key;
  int kind;
  QWPOS keyBase;
};
constexpr KeyInfo kKeys[] = {
    {u"MurFriendData", QWKIND_OWN, 0},
    {u"MurQunData", QWKIND_OWN, static_cast<QWPOS>(0x5a5a00000000ull)},
    {u"CSData", QWKIND_CS, 0},
    {u"ChatRoomData", QWKIND_CHATROOM, 0},
    {u"AutoReplyData", 0, 0},
    {u"OrgStructData", QWKIND_ORG, 0},
    {u"LocalData", QWKIND_OWN, 0},
    {u"QQFriendData", QWKIND_OWN, 0},
    {u"QQQunData", QWKIND_OWN, 0},
    {u"MSNFriendData", QWKIND_OWN, 0},
};

int ToInt(const std::u16string& s, int def = 0) {
  if (s.empty()) return def;
  try {
    return std::stoi(ToUtf8(s), nullptr, 0);
  } catch (...) {
    return def;
  }
}

bool ToBool(const std::u16string& s) { return s == u"1" || s == u"yes" || s == u"true"; }

// The record of one fixture element; the group it lies in gives defaults.
CHostRecord RecordOf(const CXmlNode& n, const CHostRecord* parent, int defaultKind) {
  CHostRecord r;
  const std::u16string tag = n.Name();
  r.isGroup = tag == u"group" || tag == u"qun";
  r.kind = ToInt(n.Attribute(u"kind"), parent ? parent->kind : defaultKind);
  r.name = n.Attribute(u"name", n.Attribute(u"text"));
  r.id = n.Attribute(u"id", r.isGroup ? r.name : u"");
  r.status = ToInt(n.Attribute(u"status"), QWSTATUS_OFFLINE);
  r.count = ToInt(n.Attribute(u"count"));
  r.pending = ToBool(n.Attribute(u"pending"));
  r.serviceDesk = ToBool(n.Attribute(u"servicedesk"));
  if (!r.isGroup) {
    r.hasDetail = true;
    CQWFriendDetail& d = r.detail;
    d.trueName = n.Attribute(u"truename");
    d.email = n.Attribute(u"email");
    d.remark = n.Attribute(u"remark");
    d.signature = n.Attribute(u"signature");
    d.deptPath = n.Attribute(u"dept");
    d.state = ToInt(n.Attribute(u"state"));
    d.mobile = ToBool(n.Attribute(u"mobile"));
    d.video = ToBool(n.Attribute(u"video"));
    d.blocked = ToBool(n.Attribute(u"blocked"));
    d.canBlock = n.Attribute(u"canblock", u"1") != u"0";
  }
  if (tag == u"qun") {
    r.bytes.assign(QW_QUN_RECORD_SIZE, 0);
    HostPutU32(r.bytes, 0, static_cast<std::uint32_t>(ToInt(n.Attribute(u"type"))));
    HostPutText(r.bytes, qwqunfield::kGroupId, r.id, 64);
    HostPutText(r.bytes, qwqunfield::kGroupName, r.name, 64);
  } else if (tag == u"member" && parent && parent->bytes.size() == QW_QUN_RECORD_SIZE) {
    r.member = true;
    r.bytes.assign(QW_QUNMEM_RECORD_SIZE, 0);
    HostPutU32(r.bytes, qwqunfield::kMemNoMsg, ToBool(n.Attribute(u"nomsg")) ? 1 : 0);
    HostPutText(r.bytes, qwqunfield::kMemGroupId, parent->id, 256);
    HostPutText(r.bytes, qwqunfield::kMemUserId, r.id, 64);
  } else if (tag == u"room" || tag == u"desk") {
    r.bytes.assign(384, 0);
    HostPutText(r.bytes, 0, r.name, 64);
    HostPutText(r.bytes, qwqunfield::kRoomId, r.id, 64);
  }
  return r;
}

// size="N" and record="OFF:HEX OFF:HEX": a record's length and extra bytes.
bool ApplyRecordBytes(const CXmlNode& n, std::vector<BYTE>& bytes, std::string& error) {
  if (n.HasAttribute(u"size")) {
    const int size = ToInt(n.Attribute(u"size"), -1);
    if (size < 0 || size > (1 << 24)) {
      error = "bad record size \"" + ToUtf8(n.Attribute(u"size")) + "\"";
      return false;
    }
    bytes.resize(static_cast<std::size_t>(size), 0);
  }
  const std::string form = ToUtf8(n.Attribute(u"record"));
  std::size_t start = 0;
  while (start < form.size()) {
    std::size_t end = form.find(' ', start);
    if (end == std::string::npos) end = form.size();
    const std::string part = form.substr(start, end - start);
    start = end + 1;
    if (part.empty()) continue;
    const std::size_t colon = part.find(':');
    std::vector<BYTE> patch;
    const int offset = colon == std::string::npos ? -1 : ToInt(FromUtf8(part.substr(0, colon)), -1);
    if (offset < 0 || !ParseHex(part.substr(colon + 1), patch)) {
      error = "bad record bytes \"" + part + "\" (OFF:HEX)";
      return false;
    }
    if (offset + patch.size() > bytes.size()) bytes.resize(offset + patch.size(), 0);
    std::copy(patch.begin(), patch.end(), bytes.begin() + offset);
  }
  return true;
}

bool AddChildren(CHostData& data, QWPOS parentPos, const CXmlNode& parentNode,
                 const CHostRecord* parentRec, std::string& error) {
  for (const CXmlNode& n : parentNode.Children()) {
    CHostRecord r = RecordOf(n, parentRec, data.DefaultKind());
    if (!ApplyRecordBytes(n, r.bytes, error)) return false;
    const std::u16string role = n.Attribute(u"role");
    if (!role.empty() && parentRec) data.SetRole(parentRec->id, r.id, ToInt(role));
    const CHostRecord copy = r;
    const QWPOS pos = data.Add(parentPos, std::move(r));
    if (!AddChildren(data, pos, n, &copy, error)) return false;
  }
  return true;
}

}  // namespace

CHostDataManager::CHostDataManager() {
  for (const KeyInfo& k : kKeys)
    m_data[k.key] = std::make_unique<CHostData>(k.key, k.kind, k.keyBase);
  m_owner.assign(QW_OWNINFO_SIZE, 0);
}

CQWData* CHostDataManager::GetData(const char16_t* key) {
  if (!key) return nullptr;
  return Get(key);
}

CHostData* CHostDataManager::Get(const std::u16string& key) {
  auto it = m_data.find(key);
  return it == m_data.end() ? nullptr : it->second.get();
}

bool CHostDataManager::LoadFixture(const std::u16string& path, std::string& error) {
  CXmlDocument doc;
  if (!doc.LoadFile(path)) {
    error = "cannot read " + ToUtf8(path) + ": " + doc.ErrorText();
    return false;
  }
  const std::string fsPath = ToFileSystemPath(path);
  const std::size_t slash = fsPath.find_last_of('/');
  m_fixtureDir = slash == std::string::npos ? "" : fsPath.substr(0, slash + 1);
  return LoadFixtureNode(doc.Root(), error);
}

bool CHostDataManager::LoadFixtureNode(const CXmlNode& root, std::string& error) {
  if (root.IsNull() || root.Name() != u"hostdata") {
    error = "the fixture's top element must be <hostdata>";
    return false;
  }
  for (const CXmlNode& n : root.Children()) {
    const std::u16string tag = n.Name();
    if (tag == u"owner") {
      m_owner.assign(QW_OWNINFO_SIZE, 0);
      HostPutU32(m_owner, qwownfield::kValue,
                 static_cast<std::uint32_t>(ToInt(n.Attribute(u"value"))));
      HostPutText(m_owner, qwownfield::kUserId, n.Attribute(u"id"), 64);
      HostPutText(m_owner, qwownfield::kDisplayName, n.Attribute(u"name"), 64);
      HostPutU32(m_owner, qwownfield::kMobileService,
                 ToBool(n.Attribute(u"mobileservice")) ? 1 : 0);
      m_photo.clear();
      if (n.HasAttribute(u"photo")) {
        // The photo's file image, whose size and address the record carries.
        std::string file = ToFileSystemPath(n.Attribute(u"photo"));
        if (file.empty() || file[0] != '/') file = m_fixtureDir + file;
        std::ifstream in(file, std::ios::binary);
        if (!in) {
          error = "cannot read the owner's photo " + file;
          return false;
        }
        m_photo.assign(std::istreambuf_iterator<char>(in), {});
        HostPutU32(m_owner, qwownfield::kPhotoSize, static_cast<std::uint32_t>(m_photo.size()));
        HostPutU64(m_owner, qwownfield::kPhotoData,
                   reinterpret_cast<std::uintptr_t>(m_photo.data()));
      }
      if (!ApplyRecordBytes(n, m_owner, error)) return false;
    } else if (tag == u"defgroup") {
      m_defGroups[ToInt(n.Attribute(u"kind"))] = n.Attribute(u"name");
    } else if (tag == u"enterprise") {
      m_enterprise[n.Attribute(u"section") + u"/" + n.Attribute(u"key")] = n.Attribute(u"value");
    } else if (tag == u"data") {
      const std::u16string key = n.Attribute(u"key");
      auto it = m_data.find(key);
      int kind = QWKIND_OWN;
      QWPOS base = 0;
      for (const KeyInfo& k : kKeys) {
        if (key == k.key) {
          kind = k.kind;
          base = k.keyBase;
        }
      }
      if (key.empty()) {
        error = "a <data> element without a key";
        return false;
      }
      auto fresh = std::make_unique<CHostData>(key, kind, base);
      if (!AddChildren(*fresh, 0, n, nullptr, error)) return false;
      fresh->SetBroadcast(ToBool(n.Attribute(u"broadcast")));
      fresh->SetSwitch(ToBool(n.Attribute(u"switch")));
      const int current = ToInt(n.Attribute(u"current"));
      if (current > 0) {
        // The current entry is named by its place in the list (1 = first).
        const auto top = fresh->Children(0);
        if (static_cast<std::size_t>(current) <= top.size())
          fresh->SetCurrentPosition(top[current - 1]);
      }
      if (it != m_data.end()) {
        // Panels keep the data object's address: refill it in place.
        CHostData::ChangeHookKeeper keep(*it->second);
        *it->second = std::move(*fresh);
      } else {
        m_data[key] = std::move(fresh);
      }
    } else {
      error = "unknown fixture element <" + ToUtf8(tag) + ">";
      return false;
    }
  }
  return true;
}
