// A friend tree panel in the simulated host: the host's managers and data
// drive a CPluginFTree in the host's calling order, so the tests see both
// what the host received and what the tree holds.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "friendtree/ftree_ctrl.h"
#include "friendtree/plugin_ftree.h"
#include "host/basekit/commfunc.h"
#include "hostsim/host_session.h"
#include "platform/message.h"
#include "platform/profile.h"
#include "platform/text.h"
#include "platform/timer.h"

// An expected payload area, built field by field.
struct AreaBytes {
  explicit AreaBytes(std::size_t size) : bytes(size, 0) {}
  AreaBytes& Int(std::size_t offset, std::uint32_t value) {
    HostPutU32(bytes, offset, value);
    return *this;
  }
  AreaBytes& Text(std::size_t offset, const std::u16string& text, std::size_t chars = 64) {
    HostPutText(bytes, offset, text, chars);
    return *this;
  }
  std::vector<BYTE> bytes;
};

// A request line as the host's transcript prints it.
inline std::string Req(const std::u16string& name, std::optional<AreaBytes> a1,
                       std::optional<AreaBytes> a2) {
  CHostRequestRecord r;
  r.name = name;
  if (a1) r.area1 = CHostArea{true, a1->bytes};
  if (a2) r.area2 = CHostArea{true, a2->bytes};
  return FormatRequest(r);
}

class FTreeFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    // The tests of this program run side by side in one folder: each has an
    // account (and so a settings folder) of its own.
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string full = std::string(info->test_suite_name()) + "." + info->name();
    account = u"ft" + FromUtf8(std::to_string(std::hash<std::string>{}(full) % 100000007u));
    SetOwnerId(account + u"@zq.com");
    data = session.Data().Get(u"MurFriendData");
  }

  void TearDown() override {
    plugin.reset();
    std::error_code ec;
    std::filesystem::remove_all(AccountDir(), ec);
  }

  std::filesystem::path AccountDir() const {
    return std::filesystem::path(ToUtf8(CCommFunction::GetModuleDirectory())) / ToUtf8(account);
  }

  void SetOwnerId(const std::u16string& id) {
    owner.assign(QW_OWNINFO_SIZE, 0);
    HostPutText(owner, qwownfield::kUserId, id, 64);
    account = id.substr(0, id.find(u'@'));
  }

  // [GGPCW] VIEWFRIENDALL in the account's "mycfg.ini".
  void WriteViewAll(int value) {
    std::filesystem::create_directories(AccountDir());
    const std::u16string file = FromUtf8((AccountDir() / "mycfg.ini").string());
    WritePrivateProfileStringW(u"GGPCW", u"VIEWFRIENDALL", FromUtf8(std::to_string(value)).c_str(),
                               file.c_str());
  }

  // A 24-bit BMP file of one colour.
  static void WriteBmp(const std::filesystem::path& path, int width, int height, COLORREF colour) {
    std::filesystem::create_directories(path.parent_path());
    const int stride = (width * 3 + 3) / 4 * 4;
    std::vector<BYTE> b(54 + static_cast<std::size_t>(stride) * height, 0);
    auto put32 = [&](std::size_t off, std::uint32_t v) { HostPutU32(b, off, v); };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, static_cast<std::uint32_t>(b.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    b[26] = 1;
    b[28] = 24;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const std::size_t at = 54 + static_cast<std::size_t>(y) * stride + 3 * x;
        b[at] = GetBValue(colour);
        b[at + 1] = GetGValue(colour);
        b[at + 2] = GetRValue(colour);
      }
    }
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
  }

  QWPOS AddGroup(const std::u16string& name, int kind = QWKIND_OWN) {
    CHostRecord g;
    g.isGroup = true;
    g.kind = kind;
    g.name = g.id = name;
    return data->Add(0, g);
  }

  QWPOS AddFriend(QWPOS group, const std::u16string& id, const std::u16string& name,
                  int status = QWSTATUS_ONLINE, CQWFriendDetail detail = {}) {
    CHostRecord f;
    f.kind = data->Find(group) ? data->Find(group)->kind : QWKIND_OWN;
    f.id = id;
    f.name = name;
    f.status = status;
    f.hasDetail = true;
    f.detail = detail;
    return data->Add(group, f);
  }

  // The host's calling order, up to showing the panel.
  void Start() {
    plugin = std::make_unique<CPluginFTree>();
    plugin->SetWorkDir(workDir.c_str());
    plugin->SetMsgManager(&session.Messages());
    plugin->SetDataManager(&session.Data());
    plugin->SetDataProcessMgr(&session.Requests());
    plugin->SetContainer(&session);
    plugin->SetPluginManager(&session);
    for (const auto& [key, value] : attrs) {
      for (int i = 0; i < plugin->GetAttrCount(); ++i) {
        const PLUGIN_ATTR* attr = plugin->GetAttr(i);
        if (attr && std::u16string(attr->szKey) == key) plugin->SetAttrText(*attr, value);
      }
    }
    if (!layout.empty()) {
      ASSERT_TRUE(layoutDoc.LoadText(FromUtf8(layout)));
      plugin->LoadInfo(layoutDoc.Root());
    }
    CQWPluginCaller::RegisterMsg(plugin.get());
    const RECT rc{0, 0, 320, 400};
    plugin->CreatePlugin(session.MainWindow(), &rc);
    plugin->ShowPlugin(TRUE);
    PumpMessages();
  }

  // Own information, then the friend data ready and the 20 ms timer run out.
  void Load() {
    session.Notify(3076, reinterpret_cast<WPARAM>(owner.data()), 0);
    session.Notify(1405);
    AdvanceClock(CQWFriendTreeCtrl::kLoadDelayMs);
    PumpMessages();
  }

  void StartAndLoad() {
    Start();
    Load();
  }

  CQWFriendTreeCtrl& Tree() { return plugin->GetTree(); }
  HTREEITEM Item(QWPOS pos) { return Tree().GetItemByPos(pos); }
  std::u16string Text(QWPOS pos) { return Tree().GetItemText(Item(pos)); }
  int Image(QWPOS pos) {
    int image = -1, selected = -1;
    Tree().GetItemImage(Item(pos), image, selected);
    return image;
  }
  // Positions of an item's children, in tree order (TVI_ROOT: the root level).
  std::vector<QWPOS> Children(HTREEITEM parent) {
    std::vector<QWPOS> out;
    for (HTREEITEM c = Tree().GetChildItem(parent); c; c = Tree().GetNextSiblingItem(c))
      out.push_back(Tree().GetItemData(c));
    return out;
  }
  std::vector<DWORD> Buttons(QWPOS pos) {
    std::vector<DWORD> out;
    for (int i = 0; i < Tree().GetPostfixBnCount(Item(pos)); ++i) {
      DWORD d = 0;
      Tree().GetPostfixBnData(Item(pos), i, d);
      out.push_back(d);
    }
    return out;
  }
  // A left click on an item's text, as a person would.
  void ClickItem(QWPOS pos) {
    RECT rc{};
    ASSERT_TRUE(Tree().GetItemRect(Item(pos), &rc, TRUE));
    ClickAt(Tree().GetSafeHwnd(), POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2});
    PumpMessages();
  }
  POINT Centre(QWPOS pos) {
    RECT rc{};
    EXPECT_TRUE(Tree().GetItemRect(Item(pos), &rc, TRUE));
    return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
  }
  void RClickItem(QWPOS pos) {
    RightClickAt(Tree().GetSafeHwnd(), Centre(pos));
    PumpMessages();
  }
  void DblClickItem(QWPOS pos) {
    DoubleClickAt(Tree().GetSafeHwnd(), Centre(pos));
    PumpMessages();
  }
  // Below the last row: no item there.
  POINT Blank() {
    RECT client{};
    GetClientRect(Tree().GetSafeHwnd(), &client);
    return POINT{10, client.bottom - 5};
  }
  bool Expanded(QWPOS pos) {
    return (Tree().GetItemState(Item(pos), TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
  }

  // Changes a friend's status in the host data and tells the panel.
  void SetStatus(QWPOS pos, int status) {
    data->Find(pos)->status = status;
    session.Notify(1365, pos, 0);
  }

  std::vector<std::u16string> RequestNames() {
    std::vector<std::u16string> out;
    for (const auto& r : session.Requests().Log()) out.push_back(r.name);
    return out;
  }

  // The last menu shown: ids in order, "-" for a separator, ">" before the
  // items of a submenu, "!" after a disabled item and "*" after a checked one.
  std::string MenuShape() {
    const PopupMenuView* menu = session.Modal().LastMenu();
    if (!menu) return "none";
    std::string out;
    std::function<void(const std::vector<MenuItemView>&, const std::string&)> walk =
        [&](const std::vector<MenuItemView>& items, const std::string& prefix) {
          for (const MenuItemView& item : items) {
            if (!item.submenu.empty() || item.submenuHandle) {
              walk(item.submenu, prefix + ">");
              continue;
            }
            if (!out.empty()) out += ",";
            out += prefix + (item.separator ? std::string("-") : std::to_string(item.id));
            if (!item.separator && !item.enabled) out += "!";
            if (item.checked) out += "*";
          }
        };
    walk(menu->items, "");
    return out;
  }
  std::u16string MenuText(UINT id) {
    const PopupMenuView* menu = session.Modal().LastMenu();
    const MenuItemView* item = menu ? menu->Find(id) : nullptr;
    return item ? item->text : u"(none)";
  }

  // The requests since the last call, each as the host's transcript prints it.
  std::vector<std::string> TakeRequests() {
    std::vector<std::string> out;
    for (const auto& r : session.Requests().Log()) out.push_back(FormatRequest(r));
    session.Requests().ClearLog();
    return out;
  }

  CHostSession session;
  std::unique_ptr<CPluginFTree> plugin;
  std::vector<std::pair<std::u16string, std::u16string>> attrs;  // layout attributes
  std::string layout;  // the panel's layout element (UTF-8 XML), when given
  CXmlDocument layoutDoc;
  std::vector<BYTE> owner;
  std::u16string account;
  std::u16string workDir = u"work\\";
  CHostData* data = nullptr;
};
