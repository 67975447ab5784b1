#include "hostsim/host_decode.h"

#include <cstring>

#include "hostsim/host_data.h"
#include "hostsim/host_session.h"
#include "platform/text.h"

namespace {

using K = CHostField;

// Group and member records travel whole; their identifying fields.
#define GROUP_RECORD(req, area) \
  {req, area, 35, K::Text, 64, "group identifier"}, { req, area, 803, K::Text, 64, "group name" }
#define MEMBER_RECORD(req, area)                           \
  {req, area, 24, K::Int, 0, "refuses messages"},          \
      {req, area, 28, K::Text, 256, "group identifier"}, { \
    req, area, 540, K::Text, 64, "user identifier"         \
  }

const std::vector<CHostField> kLayouts = {
    {"sys/HistoryInfo", 1, 0, K::Int, 0, "mode"},
    {"sys/HistoryInfo", 1, 16, K::Int, 0, "kind"},
    {"sys/HistoryInfo", 1, 20, K::Text, 64, "identifier"},
    {"sys/HistoryInfo", 2, 0, K::Pointer, 0, "window"},
    {"sys/FriendInfo", 1, 16, K::Int, 0, "kind"},
    {"sys/FriendInfo", 1, 20, K::Text, 64, "identifier"},
    {"sys/AddFriend", 1, 16, K::Int, 0, "kind"},
    {"sys/AddFriend", 1, 20, K::Text, 64, "identifier"},
    {"sys/BoardcastMsg", 1, 0, K::Int, 0, "scope"},
    {"sys/Guide", 1, 0, K::Int, 0, "value"},
    {"sys/Chat", 1, 0, K::Int, 0, "chat kind"},
    {"sys/Chat", 2, 0, K::Int, 0, "target kind"},
    {"sys/Chat", 2, 12, K::Int, 0, "flag"},
    {"sys/Chat", 2, 16, K::Int, 0, "kind"},
    {"sys/Chat", 2, 20, K::Text, 64, "identifier"},
    {"sys/Chat", 2, 148, K::Text, 64, "display name"},
    {"sys/EditFriend", 1, 0, K::Int, 0, "action"},
    {"sys/EditFriend", 2, 0, K::Int, 0, "kind"},
    {"sys/EditFriend", 2, 4, K::Text, 64, "friend identifier"},
    {"sys/EditFriend", 2, 132, K::Int, 0, "position"},
    {"sys/EditFriend", 2, 136, K::Int, 0, "value 1"},
    {"sys/EditFriend", 2, 140, K::Int, 0, "value 2"},
    {"sys/EditGroup", 1, 0, K::Int, 0, "action"},
    {"sys/EditGroup", 2, 0, K::Int, 0, "flag"},
    {"sys/EditGroup", 2, 4, K::Text, 64, "group name"},
    {"sys/EditGroup", 2, 132, K::Int, 0, "group position"},
    {"sys/DefGroup", 1, 0, K::Int, 0, "data kind"},
    {"sys/DefGroup", 1, 4, K::Text, 64, "name"},
    {"sys/DefGroup", 2, 0, K::Int, 0, "ask"},
    {"sys/EnterPriseParam", 1, 0, K::Text, 64, "section"},
    {"sys/EnterPriseParam", 1, 128, K::Text, 64, "key"},
    {"sys/EnterPriseParam", 1, 256, K::Text, 64, "answer"},
    {"sys/Msgbox", 1, 0, K::Int, 0, "flags"},
    {"sys/Msgbox", 1, 4, K::Text, 64, "caption"},
    {"sys/Msgbox", 1, 132, K::Text, 260, "text"},
    {"sys/Msgbox", 1, 652, K::Int, 0, "owner"},
    {"sys/RigisterDlg", 1, 0, K::Int, 0, "dialog window"},
    {"sys/RigisterDlg", 1, 8, K::Int, 0, "opening"},
    {"GetQunList", 1, 0, K::Int, 0, "value"},
    {"sys/QuitQun", 1, 0, K::Int, 0, "value"},
    GROUP_RECORD("sys/QuitQun", 2),
    {"sys/SetupQun", 1, 0, K::Text, 64, "page"},
    GROUP_RECORD("sys/SetupQun", 2),
    GROUP_RECORD("sys/QuitInvalidQun", 1),
    {"ZQ_GetOnlineUser", 1, 0, K::Utf8, 256, "own identifier"},
    {"ZQ_GetOnlineUser", 2, 0, K::Int, 0, "value"},
    {"sys/ChatWith", 1, 16, K::Int, 0, "kind"},
    {"sys/ChatWith", 1, 20, K::Text, 64, "user identifier"},
    {"sys/ChatWith", 2, 0, K::Pointer, 0, "member key"},
    MEMBER_RECORD("sys/QunMemInfo", 1),
    {"sys/QunMemInfo", 2, 0, K::Text, 32, "page"},
    {"sys/DelQunMem", 1, 0, K::Int, 0, "action"},
    MEMBER_RECORD("sys/DelQunMem", 2),
    {"sys/Createor", 1, 0, K::Int, 0, "action"},
    MEMBER_RECORD("sys/Createor", 2),
    {"sys/QunManager", 1, 0, K::Int, 0, "action"},
    MEMBER_RECORD("sys/QunManager", 2),
    {"sys/QunInfo", 1, 16, K::Int, 0, "kind"},
    {"sys/QunInfo", 1, 20, K::Text, 64, "group identifier"},
    {"sys/QunMsgSetup", 1, 0, K::Pointer, 0, "own member key"},
    {"sys/QunMsgSetup", 2, 0, K::Int, 0, "mode"},
    {"IMD/RemoveMucBookmark", 1, 4, K::Int, 0, "flag"},
    {"IMD/RemoveMucBookmark", 1, 16, K::Utf8, 64, "group identifier"},
    {"IMD/RemoveMucBookmark", 1, 80, K::Utf8, 64, "own identifier"},
    {"sys/Logon", 1, 0, K::Int, 0, "value"},
    {"sys/Logon", 1, 4, K::Int, 0, "action"},
    {"sys/Logon", 1, 8, K::Int, 0, "status"},
    {"sys/Logon", 1, 12, K::Text, 128, "account"},
    {"sys/Logon", 1, 268, K::Ansi, 64, "password digest"},
    {"sys/Logon", 2, 0, K::Int, 0, "value"},
    {"sys/LogonRetrySecond", 1, 0, K::Int, 0, "value"},
    {"sys/ChangePhoto", 1, 16, K::Int, 0, "owner value"},
    {"sys/ChangePhoto", 1, 20, K::Text, 64, "own identifier"},
    {"sys/ChangePhoto", 2, 0, K::Pointer, 0, "window"},
    {"sys/ChangeStatus", 2, 0, K::Int, 0, "status"},
    {"sys/OwnInfo", 1, 0, K::Int, 0, "value"},
    {"sys/AutoReplySetup", 1, 0, K::Int, 0, "value"},
    {"sys/AutoreplyInfo", 1, 0, K::Int, 0, "value"},
    {"sys/AutoreplyInfo", 2, 0, K::Int, 0, "entry position"},
    {"sys/CreateQun", 1, 0, K::Int, 0, "value"},
    {"sys/CreateQun", 2, 0, K::Int, 0, "find"},
    {"GetQunInfo", 1, 4, K::Int, 0, "flag"},
    {"GetQunInfo", 1, 8, K::Utf8, 128, "group"},
    {"GetQunInfo", 2, 0, K::Int, 0, "value"},
    {"sys/WorkDir", 1, 0, K::Int, 0, "skin id"},
};

std::string Quote(const std::string& s) { return "\"" + s + "\""; }

// The field's value, or nothing when the area is too short to hold it.
bool FieldText(const CHostField& f, const std::vector<BYTE>& b, std::string& out) {
  const std::size_t n = b.size();
  switch (f.kind) {
    case K::Int: {
      if (f.offset + 4 > n) return false;
      out = std::to_string(static_cast<std::int32_t>(HostGetU32(b.data(), n, f.offset)));
      return true;
    }
    case K::Pointer: {
      if (f.offset + sizeof(void*) > n) return false;
      std::uintptr_t v = 0;
      std::memcpy(&v, b.data() + f.offset, sizeof v);
      out = HostValueText(v);
      return true;
    }
    case K::Text:
      if (f.offset + 2 > n) return false;
      out = Quote(ToUtf8(HostGetText(b.data(), n, f.offset, f.size)));
      return true;
    case K::Utf8:
    case K::Ansi: {
      if (f.offset >= n) return false;
      std::string raw;
      for (std::size_t i = f.offset; i < n && i < f.offset + f.size && b[i]; ++i)
        raw.push_back(static_cast<char>(b[i]));
      out = Quote(f.kind == K::Utf8 ? raw : ToUtf8(FromAnsi(raw)));
      return true;
    }
  }
  return false;
}

}  // namespace

const std::vector<CHostField>& HostRequestLayouts() { return kLayouts; }

std::vector<std::string> DecodeRequest(const CHostRequestRecord& r) {
  std::vector<std::string> out;
  const std::string name = ToUtf8(r.name);
  for (const CHostField& f : kLayouts) {
    if (name != f.request) continue;
    const CHostArea& area = f.area == 1 ? r.area1 : r.area2;
    std::string value;
    if (!area.present || !FieldText(f, area.bytes, value)) continue;
    out.push_back("area" + std::to_string(f.area) + " +" + std::to_string(f.offset) + " " + f.name +
                  " = " + value);
  }
  return out;
}
