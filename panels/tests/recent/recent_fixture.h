// A recent-contacts panel in the simulated host: the host's managers and data
// drive a CPluginRecentContact in the host's calling order, so the tests see
// what the host received, what the tree holds and what the file holds.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/basekit/commfunc.h"
#include "hostsim/host_session.h"
#include "platform/message.h"
#include "platform/text.h"
#include "recent/plugin_recent_contact.h"

class RecentFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    // The tests of this program run side by side in one folder: each has an
    // account (and so a file) of its own.
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string full = std::string(info->test_suite_name()) + "." + info->name();
    tag = u"rc" + FromUtf8(std::to_string(std::hash<std::string>{}(full) % 100000007u));
    SetOwnerId(tag + u"@zq.com");
    friends = session.Data().Get(u"MurFriendData");
    org = session.Data().Get(u"OrgStructData");
  }

  void TearDown() override {
    plugin.reset();
    std::error_code ec;
    for (const auto& dir : made) std::filesystem::remove_all(dir, ec);
  }

  void SetOwnerId(const std::u16string& id) {
    owner.assign(QW_OWNINFO_SIZE, 0);
    HostPutText(owner, qwownfield::kUserId, id, 64);
    account = id.substr(0, id.find(u'@'));
    // Owners whose identifier is no plain folder name ("..", "a/b") have no
    // folder to clean up: removing theirs would remove someone else's.
    if (IsPlainName(account)) made.push_back(AccountDir());
  }
  static bool IsPlainName(const std::u16string& name) {
    return !name.empty() && name != u"." && name != u".." &&
           name.find_first_of(u"\\/:") == std::u16string::npos;
  }

  std::filesystem::path AccountDir() const {
    return std::filesystem::path(ToUtf8(CCommFunction::GetModuleDirectory())) / ToUtf8(account);
  }
  std::filesystem::path FilePath() const { return AccountDir() / "RecentContactFriends.dat"; }

  // ---- the file --------------------------------------------------------------------
  // One 260-byte record as the file lays it out.
  static std::string Record(int kind, const std::u16string& id, const std::u16string& name) {
    std::string r(260, '\0');
    const auto k = static_cast<std::uint32_t>(kind);
    for (int i = 0; i < 4; ++i) r[i] = static_cast<char>(k >> (8 * i));
    for (std::size_t i = 0; i < id.size() && i < 63; ++i) {
      r[4 + 2 * i] = static_cast<char>(id[i] & 0xff);
      r[5 + 2 * i] = static_cast<char>(id[i] >> 8);
    }
    for (std::size_t i = 0; i < name.size() && i < 63; ++i) {
      r[132 + 2 * i] = static_cast<char>(name[i] & 0xff);
      r[133 + 2 * i] = static_cast<char>(name[i] >> 8);
    }
    return r;
  }
  void WriteFile(const std::string& bytes) {
    std::filesystem::create_directories(AccountDir());
    std::ofstream(FilePath(), std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  std::string ReadFile() const {
    std::ifstream in(FilePath(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  bool FileExists() const { return std::filesystem::exists(FilePath()); }

  // ---- host data --------------------------------------------------------------------
  QWPOS AddGroup(CHostData* data, const std::u16string& name) {
    CHostRecord g;
    g.isGroup = true;
    g.kind = data->DefaultKind();
    g.name = g.id = name;
    return data->Add(0, g);
  }
  QWPOS AddContact(CHostData* data, QWPOS group, const std::u16string& id,
                   const std::u16string& name, int status = QWSTATUS_ONLINE,
                   CQWFriendDetail detail = {}) {
    CHostRecord f;
    f.kind = data->DefaultKind();
    f.id = id;
    f.name = name;
    f.status = status;
    f.hasDetail = true;
    f.detail = detail;
    return data->Add(group, f);
  }

  // ---- the host's calling order ----------------------------------------------------
  void Start() {
    plugin = std::make_unique<CPluginRecentContact>();
    plugin->SetWorkDir(u"work\\");
    plugin->SetMsgManager(&session.Messages());
    plugin->SetDataManager(&session.Data());
    plugin->SetDataProcessMgr(&session.Requests());
    plugin->SetContainer(&session);
    plugin->SetPluginManager(&session);
    CQWPluginCaller::RegisterMsg(plugin.get());
    const RECT rc{0, 0, 320, 400};
    plugin->CreatePlugin(session.MainWindow(), &rc);
    plugin->ShowPlugin(TRUE);
    PumpMessages();
  }
  // Logon status 2 of the main account, then the owner information.
  void Logon() {
    session.Notify(1476, 0, 2);
    session.Notify(3076, reinterpret_cast<WPARAM>(owner.data()), 0);
  }
  void StartAndLogon() {
    Start();
    Logon();
  }
  // Notification 4164: the kind, then the identifier, terminated.
  void AddRecent(int kind, const std::u16string& id) {
    std::vector<BYTE> rec(4 + 2 * (id.size() + 1), 0);
    HostPutU32(rec, 0, static_cast<std::uint32_t>(kind));
    HostPutText(rec, 4, id, id.size() + 1);
    session.Notify(4164, reinterpret_cast<WPARAM>(rec.data()), 0);
  }

  CRecentContactFriendDataMgr& Store() { return plugin->GetStore(); }
  CRecentContactTreeCtrl& Tree() { return plugin->GetTree(); }
  // The root items' texts, top first.
  std::vector<std::u16string> Texts() {
    std::vector<std::u16string> out;
    for (HTREEITEM i = Tree().GetRootItem(); i; i = Tree().GetNextSiblingItem(i))
      out.push_back(Tree().GetItemText(i));
    return out;
  }
  HTREEITEM ItemByText(const std::u16string& text) {
    for (HTREEITEM i = Tree().GetRootItem(); i; i = Tree().GetNextSiblingItem(i))
      if (Tree().GetItemText(i) == text) return i;
    return nullptr;
  }
  int Image(HTREEITEM item) {
    int image = -1, selected = -1;
    Tree().GetItemImage(item, image, selected);
    return image;
  }
  std::vector<std::u16string> Ids() {
    std::vector<std::u16string> out;
    for (const auto& e : Store().Entries()) out.push_back(e->id);
    return out;
  }
  std::vector<std::u16string> RequestNames() {
    std::vector<std::u16string> out;
    for (const auto& r : session.Requests().Log()) out.push_back(r.name);
    return out;
  }
  const CHostRequestRecord* LastRequest(const std::u16string& name) {
    const auto& log = session.Requests().Log();
    for (auto it = log.rbegin(); it != log.rend(); ++it)
      if (it->name == name) return &*it;
    return nullptr;
  }

  CHostSession session;
  std::unique_ptr<CPluginRecentContact> plugin;
  std::vector<BYTE> owner;
  std::u16string tag, account;
  std::vector<std::filesystem::path> made;
  CHostData* friends = nullptr;
  CHostData* org = nullptr;
};
