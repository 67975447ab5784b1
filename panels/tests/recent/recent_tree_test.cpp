// The recent tree: item texts and images, postfix buttons, the four menus,
// the commands with their requests byte for byte, double-click and Enter.
#include "platform/cwinapp.h"
#include "platform/input.h"
#include "platform/window.h"
#include "recent_fixture.h"

namespace {

// Messages that reach the host's main form.
struct MainMessage {
  UINT msg;
  std::u16string text;
};
std::vector<MainMessage> g_mainMessages;

LRESULT MainFormProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == 4187) {
    g_mainMessages.push_back({msg, reinterpret_cast<const char16_t*>(wparam)});
    return 1;
  }
  return DefWindowProcW(hwnd, msg, wparam, lparam);
}

std::string Hex(const std::vector<BYTE>& bytes) { return ToHex(bytes); }

// A payload area: zeros with fields put in.
struct Area {
  explicit Area(std::size_t size) : bytes(size, 0) {}
  Area& Int(std::size_t at, std::uint32_t v) {
    HostPutU32(bytes, at, v);
    return *this;
  }
  Area& Text(std::size_t at, const std::u16string& t) {
    HostPutText(bytes, at, t, 64);
    return *this;
  }
  std::vector<BYTE> bytes;
};

class RecentTree : public RecentFixture {
 protected:
  void SetUp() override {
    RecentFixture::SetUp();
    group = AddGroup(friends, u"同事");
    CQWFriendDetail withMail;
    withMail.email = u"li@mail.zq.com";
    withMail.video = true;
    li = AddContact(friends, group, u"li@zq.com", u"李四", QWSTATUS_BUSY, withMail);
    zhao = AddContact(friends, group, u"zhao@zq.com", u"赵六", QWSTATUS_ONLINE);
  }

  void RightClick(HTREEITEM item) {
    RECT rc{};
    ASSERT_TRUE(Tree().GetItemRect(item, &rc, TRUE));
    RightClickAt(Tree().GetSafeHwnd(), POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2});
    PumpMessages();
  }
  void DoubleClick(HTREEITEM item) {
    RECT rc{};
    ASSERT_TRUE(Tree().GetItemRect(item, &rc, TRUE));
    DoubleClickAt(Tree().GetSafeHwnd(), POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2});
    PumpMessages();
  }
  // The last menu as "id" / "-" / "id:text" words (disabled items marked "!").
  std::vector<std::string> MenuIds() {
    std::vector<std::string> out;
    const PopupMenuView* menu = session.Modal().LastMenu();
    if (!menu) return out;
    for (const auto& item : menu->items) {
      if (item.separator) out.push_back("-");
      else out.push_back((item.enabled ? "" : "!") + std::to_string(item.id));
    }
    return out;
  }
  std::u16string MenuText(UINT id) {
    const PopupMenuView* menu = session.Modal().LastMenu();
    const MenuItemView* item = menu ? menu->Find(id) : nullptr;
    return item ? item->text : u"(none)";
  }
  // "sys/Chat" as the tree fills it.
  static std::pair<std::string, std::string> Chat(int type, int kind, const std::u16string& id,
                                                  const std::u16string& name) {
    return {Hex(Area(4).Int(0, type).bytes),
            Hex(Area(276).Int(12, 1).Int(16, kind).Text(20, id).Text(148, name).bytes)};
  }
  std::pair<std::string, std::string> LastChat() {
    const CHostRequestRecord* r = LastRequest(u"sys/Chat");
    if (!r) return {};
    return {Hex(r->area1.bytes), Hex(r->area2.bytes)};
  }

  QWPOS group = 0, li = 0, zhao = 0;
};

TEST_F(RecentTree, TextsImagesAndTheVideoButtonFollowTheRecord) {
  StartAndLogon();
  AddRecent(1, u"li@zq.com");
  HTREEITEM item = ItemByText(u"李四");
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(Image(item), 3) << "busy is slot 3";
  EXPECT_EQ(Tree().GetPBIndex_ByData(item, CRecentContactTreeCtrl::PB_VIDEO), 0);

  // Below the first status code: slot 0. Blocked: the special image, no video.
  friends->Find(li)->status = 40000;
  session.Notify(1365, li, 0);
  EXPECT_EQ(Image(item), 0);
  friends->Find(li)->detail.blocked = true;
  friends->Find(li)->detail.video = false;
  session.Notify(1365, li, 0);
  EXPECT_EQ(Image(item), 4);
  EXPECT_EQ(Tree().GetPostfixBnCount(item), 0);
  Tree().ShowPB(item, CRecentContactTreeCtrl::PB_VIDEO, false);  // hiding twice is harmless
  EXPECT_EQ(Tree().GetPostfixBnCount(item), 0);

  // The contact leaves the host's data: shown offline.
  friends->Remove(li);
  session.Notify(1365, li, 0);
  EXPECT_EQ(ItemByText(u"李四"), item);
}

TEST_F(RecentTree, EnterpriseColleaguesShowTheirTrueName) {
  SetOwnerId(u"me." + tag + u"@zq.com");
  CQWFriendDetail d;
  d.trueName = u"王五";
  AddContact(friends, group, u"wang." + tag + u"@zq.com", u"wang", QWSTATUS_ONLINE, d);
  AddContact(friends, group, u"wu.other@zq.com", u"wu", QWSTATUS_ONLINE, d);
  StartAndLogon();
  AddRecent(1, u"wang." + tag + u"@zq.com");
  AddRecent(1, u"wu.other@zq.com");
  EXPECT_EQ(Texts(), (std::vector<std::u16string>{u"wu", u"王五-wang"}));
  EXPECT_EQ(ReadFile().substr(260 + 132, 14), Record(0, u"", u"王五-wang").substr(132, 14));
}

TEST_F(RecentTree, ClickingTheVideoButtonOpensAVideoChat) {
  StartAndLogon();
  AddRecent(1, u"li@zq.com");
  RECT rc{};
  HTREEITEM item = ItemByText(u"李四");
  ASSERT_TRUE(Tree().GetPostfixBnRect(item, 0, &rc));
  ClickAt(Tree().GetSafeHwnd(), POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2});
  PumpMessages();
  EXPECT_EQ(LastChat(), Chat(2, 1, u"li@zq.com", u"李四"));
}

TEST_F(RecentTree, TheFriendMenuAndItsCommands) {
  StartAndLogon();
  AddRecent(1, u"zhao@zq.com");
  AddRecent(1, u"li@zq.com");
  session.Modal().QueueMenu(UINT{4831});
  RightClick(ItemByText(u"李四"));
  EXPECT_EQ(MenuIds(),
            (std::vector<std::string>{"4820", "-", "4824", "-", "4831", "4833", "13010"}));
  EXPECT_EQ(MenuText(4824), u"发送电子邮件 <li@mail.zq.com>");
  EXPECT_EQ(MenuText(4820), u"发送即时消息");
  const CHostRequestRecord* history = LastRequest(u"sys/HistoryInfo");
  ASSERT_NE(history, nullptr);
  EXPECT_EQ(Hex(history->area1.bytes), Hex(Area(148).Int(16, 1).Text(20, u"li@zq.com").bytes));
  EXPECT_FALSE(history->area2.present);

  // Without an address the mail item is there, disabled.
  session.Modal().QueueMenu(UINT{4833});
  RightClick(ItemByText(u"赵六"));
  EXPECT_EQ(MenuIds(),
            (std::vector<std::string>{"4820", "-", "!4000", "-", "4831", "4833", "13010"}));
  EXPECT_EQ(Hex(LastRequest(u"sys/FriendInfo")->area1.bytes),
            Hex(Area(148).Int(16, 1).Text(20, u"zhao@zq.com").bytes));

  session.Modal().QueueMenu(UINT{4820});
  RightClick(ItemByText(u"赵六"));
  EXPECT_EQ(LastChat(), Chat(0, 1, u"zhao@zq.com", u"赵六"));

  // The commands of the postfix buttons and of other menus run the same way.
  const std::vector<std::pair<UINT, int>> chats = {{4821, 1}, {4822, 3}, {4823, 2}, {4824, 5}};
  for (const auto& [command, type] : chats) {
    Tree().RunCommand(command);
    EXPECT_EQ(LastChat(), Chat(type, 1, u"zhao@zq.com", u"赵六")) << command;
  }
  const std::size_t before = session.Requests().Log().size();
  Tree().RunCommand(4970);  // blocking belongs to the friend tree
  EXPECT_EQ(session.Requests().Log().size(), before);
}

TEST_F(RecentTree, TheStrangerMenu) {
  session.Data().DefaultGroups()[64] = u"陌生人";
  const QWPOS strangers = AddGroup(friends, u"陌生人");
  CQWFriendDetail d;
  d.blocked = true;
  AddContact(friends, strangers, u"s@zq.com", u"生人", QWSTATUS_ONLINE, d);
  CQWFriendDetail noBlock;
  noBlock.canBlock = false;
  AddContact(friends, strangers, u"t@zq.com", u"过客", QWSTATUS_ONLINE, noBlock);
  StartAndLogon();
  AddRecent(1, u"t@zq.com");
  AddRecent(1, u"s@zq.com");
  session.Modal().QueueMenu(UINT{4974});
  RightClick(ItemByText(u"生人"));
  EXPECT_EQ(MenuIds(), (std::vector<std::string>{"4820", "-", "!4000", "-", "4970", "4974", "-",
                                                 "4831", "4833"}));
  EXPECT_EQ(MenuText(4970), u"取消屏蔽");
  const CHostRequestRecord* ask = LastRequest(u"sys/DefGroup");
  ASSERT_NE(ask, nullptr);
  EXPECT_EQ(HostGetU32(ask->area1.bytes.data(), ask->area1.bytes.size(), 0), 64u);
  EXPECT_EQ(Hex(ask->area2.bytes), "01000000");
  EXPECT_EQ(Hex(LastRequest(u"sys/AddFriend")->area1.bytes),
            Hex(Area(148).Int(16, 1).Text(20, u"s@zq.com").bytes));

  RightClick(ItemByText(u"过客"));
  EXPECT_EQ(MenuIds(),
            (std::vector<std::string>{"4820", "-", "!4000", "-", "4974", "-", "4831", "4833"}));
}

TEST_F(RecentTree, OrganisationMenuNoMenuAndTheEmptyArea) {
  const QWPOS dept = AddGroup(org, u"研发部");
  AddContact(org, dept, u"m@zq.com", u"孙七");
  StartAndLogon();
  AddRecent(4096, u"m@zq.com");
  AddRecent(256, u"cs@zq.com");
  AddRecent(1, u"gone@zq.com");  // no record
  RightClick(ItemByText(u"孙七"));
  EXPECT_EQ(MenuIds(), (std::vector<std::string>{"4820", "-", "13010"}));
  const std::size_t shown = session.Modal().MenusShown();
  RightClick(ItemByText(u"cs"));
  RightClick(ItemByText(u"gone"));
  EXPECT_EQ(session.Modal().MenusShown(), shown)
      << "no menu for kind 256 or a contact without a record";

  // A friend whose position is also a position of the organisation data
  // still gets the friend menu.
  ASSERT_EQ(org->Find(li) != nullptr, true);
  AddRecent(1, u"li@zq.com");
  RightClick(ItemByText(u"李四"));
  EXPECT_EQ(MenuIds().back(), "13010");
  EXPECT_EQ(MenuIds().size(), 7u);

  session.Modal().QueueMenu(UINT{13010});
  RightClickAt(Tree().GetSafeHwnd(), POINT{100, 380});
  PumpMessages();
  EXPECT_EQ(MenuIds(), std::vector<std::string>{"13010"});
  EXPECT_EQ(Tree().GetCount(), 0u);
  EXPECT_FALSE(FileExists());
}

TEST_F(RecentTree, DoubleClickChatsOrAsksTheMainForm) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = MainFormProc;
  wc.lpszClassName = u"RecentTestMainForm";
  RegisterClassW(&wc);
  const HWND form = CreateWindowW(u"RecentTestMainForm", u"", 0, 0, 0, 10, 10, 0, 0, 0, nullptr);
  g_mainMessages.clear();
  WriteFile(Record(1, u"li@zq.com", u"李四") + Record(1, u"far@zq.com", u"远方"));
  StartAndLogon();
  // Without an application main window the form announced by 3138 gets 4187.
  AfxSetMainWnd(nullptr);
  session.Notify(3138, form, 0);

  // An entry read from the file finds its record by its identifier.
  DoubleClick(ItemByText(u"李四"));
  EXPECT_EQ(LastChat(), Chat(0, 1, u"li@zq.com", u"李四"));
  DoubleClick(ItemByText(u"远方"));
  ASSERT_EQ(g_mainMessages.size(), 1u);
  EXPECT_EQ(g_mainMessages[0].text, u"far@zq.com");

  // Enter acts on the selected item.
  Tree().SelectItem(ItemByText(u"远方"));
  Tree().SetFocus();
  KeyPress(VK_RETURN);
  PumpMessages();
  EXPECT_EQ(g_mainMessages.size(), 2u);

  // A main form that is gone gets nothing.
  DestroyWindow(form);
  DoubleClick(ItemByText(u"远方"));
  EXPECT_EQ(g_mainMessages.size(), 2u);
}

TEST_F(RecentTree, RequestsNeedAProcessorAndARecord) {
  StartAndLogon();
  AddRecent(1, u"li@zq.com");
  session.Requests().Forget(u"sys/Chat");
  Tree().RunCommand(4821);
  EXPECT_EQ(LastRequest(u"sys/Chat"), nullptr);
  Tree().ChatWithFriend(1, 0, 0, 0);  // no position: nothing
  EXPECT_EQ(LastRequest(u"sys/Chat"), nullptr);
}

}  // namespace
