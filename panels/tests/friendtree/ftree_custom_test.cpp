// The plug-in's layout elements (status icons, custom nodes), clicks on the
// custom nodes, and the set-up when the own information first arrives.
#include "ftree_fixture.h"

#include "platform/input.h"

namespace {

// The host's main window, listened to for message 3169.
class MainWindowTap {
 public:
  explicit MainWindowTap(HWND main) : m_main(main) {
    Current() = this;
    m_old = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(main, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
  }
  ~MainWindowTap() {
    SetWindowLongPtrW(m_main, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_old));
    Current() = nullptr;
  }
  static MainWindowTap*& Current() {
    static MainWindowTap* tap = nullptr;
    return tap;
  }
  static LRESULT Proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    MainWindowTap* tap = Current();
    if (tap && msg == 3169) {
      tap->urls.push_back(reinterpret_cast<const char16_t*>(w));
      return 0;
    }
    return tap ? CallWindowProcW(tap->m_old, h, msg, w, l) : DefWindowProcW(h, msg, w, l);
  }
  std::vector<std::u16string> urls;

 private:
  HWND m_main;
  WNDPROC m_old = nullptr;
};

class FTreeCustom : public FTreeFixture {
 protected:
  void SetUp() override {
    FTreeFixture::SetUp();
    session.Data().DefaultGroups()[QWKIND_CS] = u"客服";
    session.Data().DefaultGroups()[QWKIND_CHATROOM] = u"聊天室";
    chat = AddGroup(u"聊天好友");
    a1 = AddFriend(chat, u"a1@zq.com", u"甲一");
    cs = AddGroup(u"客服", QWKIND_CS);
    desk = AddFriend(cs, u"kefu@zq.com", u"客服小美");
  }
  void TearDown() override {
    CQWFriendTreeCtrl::SetChatFriendsGroupName(u"");
    std::error_code ec;
    std::filesystem::remove(iniPath, ec);
    FTreeFixture::TearDown();
  }
  // Root items: data values in tree order.
  std::vector<DWORD_PTR> RootData() {
    std::vector<DWORD_PTR> out;
    for (HTREEITEM i = Tree().GetRootItem(); i; i = Tree().GetNextSiblingItem(i))
      out.push_back(Tree().GetItemData(i));
    return out;
  }
  HTREEITEM RootWithText(const std::u16string& text) {
    for (HTREEITEM i = Tree().GetRootItem(); i; i = Tree().GetNextSiblingItem(i))
      if (Tree().GetItemText(i) == text) return i;
    return nullptr;
  }
  POINT CentreOf(HTREEITEM item) {
    RECT rc{};
    EXPECT_TRUE(Tree().GetItemRect(item, &rc, TRUE));
    return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
  }
  // An INI file of this test in the host program's directory.
  std::u16string LinkIni(const std::string& section, const std::string& key,
                         const std::string& value) {
    iniName = "ftlinks_" + ToUtf8(account) + ".ini";
    iniPath = std::filesystem::path(ToUtf8(CCommFunction::GetModuleDirectory())) / iniName;
    WritePrivateProfileStringW(FromUtf8(section).c_str(), FromUtf8(key).c_str(),
                               FromUtf8(value).c_str(), FromUtf8(iniPath.string()).c_str());
    return FromUtf8(iniName);
  }
  std::vector<std::string> RequestsNamed(const std::u16string& name) {
    std::vector<std::string> out;
    for (const auto& r : session.Requests().Log())
      if (r.name == name) out.push_back(FormatRequest(r));
    return out;
  }

  QWPOS chat, a1, cs, desk;
  std::string iniName;
  std::filesystem::path iniPath;
};

TEST_F(FTreeCustom, ItemImagesBeforeATypeAreIgnored) {
  WriteBmp("work/bmp/strip.bmp", 64, 16, RGB(1, 2, 3));
  WriteBmp("work/bmp/on.bmp", 16, 16, RGB(0, 200, 0));
  WriteBmp("work/bmp/off.bmp", 16, 16, RGB(90, 90, 90));
  WriteBmp("work/bmp/busy.bmp", 16, 16, RGB(200, 0, 0));
  attrs = {{u"IconFile", u"strip.bmp"}};
  layout = R"(<panel><ItemImages online="on.bmp" type="friend" offline="off.bmp" BUSY="busy.bmp"
                  type="group" expand="x.bmp" hide="h.bmp"/></panel>)";
  Start();
  const auto& icons = Tree().GetIconRecords();
  ASSERT_EQ(icons.size(), 4u);
  EXPECT_EQ(icons[0].name, u"offline");
  EXPECT_EQ(icons[0].type, 1);
  EXPECT_EQ(icons[0].file, u"work\\bmp\\off.bmp");
  EXPECT_EQ(icons[1].name, u"BUSY");
  EXPECT_EQ(icons[2].type, 0);
  EXPECT_EQ(icons[3].name, u"hide");
  // The strip holds four images; the loaded icons follow it. Group icons
  // ("hide" came after type "group") change no status slot.
  EXPECT_EQ(Tree().GetStatusImage(0), 4);
  EXPECT_EQ(Tree().GetStatusImage(1), 1);
  EXPECT_EQ(Tree().GetStatusImage(3), 5);
  EXPECT_EQ(Tree().GetStatusImage(7), 7);
}

TEST_F(FTreeCustom, CustomNodesArePlacedFirstOrLastInListOrder) {
  layout = R"(<panel>
      <CustomNode type="link" position="first" text="帮助" url="IN_MENU_HELP"/>
      <customnode TYPE="Add_Friend" position="middle" text="添加好友"/>
      <CustomNode type="link" position="FIRST" text="论坛" url="http://bbs.example.com/"/>
      <CustomNode type="other" text="不认识"/>
      <CustomNode type="link" position="last" text="主页" inifile="x.ini" section="URL" key="HOME"/>
    </panel>)";
  StartAndLoad();
  ASSERT_EQ(Tree().GetCustomNodes().size(), 4u);
  EXPECT_EQ(RootData(), (std::vector<DWORD_PTR>{FTREE_DATA_LINK, FTREE_DATA_LINK, chat, cs,
                                                FTREE_DATA_ADDFRIEND, FTREE_DATA_LINK}));
  EXPECT_EQ(Tree().GetItemText(Tree().GetRootItem()), u"帮助");
  const FTREE_LINKRECORD* home = Tree().GetLinkRecord(RootWithText(u"主页"));
  ASSERT_NE(home, nullptr);
  EXPECT_EQ(home->iniFile, u"x.ini");
  EXPECT_EQ(home->key, u"HOME");
  EXPECT_EQ(Tree().GetLinkRecord(RootWithText(u"添加好友")), nullptr);
  // Custom nodes are never friends or groups: not in the position map.
  EXPECT_EQ(Tree().GetPosMapSize(), 3u);
  // Every rebuild puts them back once.
  session.Notify(3151, 1, 0);
  EXPECT_EQ(RootData().size(), 6u);
}

TEST_F(FTreeCustom, ClicksOnCustomNodes) {
  MainWindowTap tap(session.MainWindow());
  const std::u16string ini = LinkIni("LINKS", "HOME", "http://home.example.com/");
  layout =
      "<panel><CustomNode type=\"add_friend\" text=\"加好友\"/>"
      "<CustomNode type=\"link\" text=\"论坛\" url=\"http://bbs.example.com/\"/>"
      "<CustomNode type=\"link\" text=\"主页\" inifile=\"" +
      iniName +
      "\" section=\"LINKS\" key=\"HOME\"/>"
      "<CustomNode type=\"link\" text=\"空\" inifile=\"" +
      iniName +
      "\" section=\"LINKS\" key=\"NONE\"/>"
      "<CustomNode type=\"link\" text=\"帮助\" url=\"IN_MENU_HELP\"/></panel>";
  StartAndLoad();
  session.Requests().ClearLog();
  HWND wnd = Tree().GetSafeHwnd();
  // The add-friend node acts on a single click only.
  ClickAt(wnd, CentreOf(RootWithText(u"加好友")));
  PumpMessages();
  const std::string addFriend = Req(u"sys/EditFriend", AreaBytes(4), AreaBytes(144).Int(0, 1));
  EXPECT_EQ(TakeRequests(), std::vector<std::string>{addFriend});
  DoubleClickAt(wnd, CentreOf(RootWithText(u"加好友")));
  PumpMessages();
  EXPECT_EQ(TakeRequests(), std::vector<std::string>{addFriend});  // from its first click
  // Links act on a double-click only.
  ClickAt(wnd, CentreOf(RootWithText(u"论坛")));
  PumpMessages();
  EXPECT_TRUE(TakeRequests().empty());
  auto openUrl = [](const std::u16string& url) {
    return Req(u"sys/OpenURL", AreaBytes(2 * url.size() + 2).Text(0, url, url.size() + 1),
               std::nullopt);
  };
  DoubleClickAt(wnd, CentreOf(RootWithText(u"论坛")));
  PumpMessages();
  EXPECT_EQ(TakeRequests(), std::vector<std::string>{openUrl(u"http://bbs.example.com/")});
  // Without a url the address comes from the INI file; an empty one opens nothing.
  DoubleClickAt(wnd, CentreOf(RootWithText(u"主页")));
  DoubleClickAt(wnd, CentreOf(RootWithText(u"空")));
  PumpMessages();
  EXPECT_EQ(TakeRequests(), std::vector<std::string>{openUrl(u"http://home.example.com/")});
  // The help address goes to the host's main window.
  DoubleClickAt(wnd, CentreOf(RootWithText(u"帮助")));
  PumpMessages();
  EXPECT_TRUE(TakeRequests().empty());
  ASSERT_EQ(tap.urls.size(), 1u);
  EXPECT_FALSE(tap.urls[0].empty());
}

TEST_F(FTreeCustom, TheCustomerServiceGroupEndsWithItsForumLink) {
  StartAndLoad();
  Tree().OpenGroup(Item(cs), false);
  HTREEITEM last = Tree().GetChildItem(Item(cs));
  while (Tree().GetNextSiblingItem(last)) last = Tree().GetNextSiblingItem(last);
  EXPECT_EQ(Tree().GetItemText(last), u"客服论坛");
  EXPECT_EQ(Tree().GetItemData(last), FTREE_DATA_LINK);
  const FTREE_LINKRECORD* link = Tree().GetLinkRecord(last);
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(link->section, u"URL");
  EXPECT_EQ(link->key, u"CSBBS");
  // A right-click on it opens no menu.
  const std::size_t shown = session.Modal().MenusShown();
  RightClickAt(Tree().GetSafeHwnd(), CentreOf(last));
  PumpMessages();
  EXPECT_EQ(session.Modal().MenusShown(), shown);
}

TEST_F(FTreeCustom, SetUpAtTheFirstOwnInformationInOrder) {
  std::filesystem::create_directories(AccountDir());
  WritePrivateProfileStringW(u"IM", u"BIGICON", u"1",
                             FromUtf8((AccountDir() / "mycfg.ini").string()).c_str());
  session.Requests().SetStandingAnswer(u"sys/AccountType", CHostAnswer{1, {}, {}});
  attrs = {{u"default_group", u"我的好友"}};
  Start();
  session.Requests().ClearLog();
  session.Notify(3076, reinterpret_cast<WPARAM>(owner.data()), 0);
  std::vector<std::u16string> names;
  for (const auto& r : session.Requests().Log()) names.push_back(r.name);
  EXPECT_EQ(names, (std::vector<std::u16string>{
                       u"sys/EnterPriseParam", u"sys/EnterPriseParam", u"sys/AccountType",
                       u"sys/DefGroup", u"sys/DefGroup", u"sys/DefGroup", u"Ui/GetMurFriendList"}));
  EXPECT_EQ(RequestsNamed(u"sys/DefGroup"),
            (std::vector<std::string>{
                Req(u"sys/DefGroup", AreaBytes(136).Int(0, 1).Text(4, u"我的好友"), AreaBytes(4)),
                Req(u"sys/DefGroup", AreaBytes(136).Int(0, 256), AreaBytes(4).Int(0, 1)),
                Req(u"sys/DefGroup", AreaBytes(136).Int(0, 512), AreaBytes(4).Int(0, 1))}));
  EXPECT_EQ(Tree().GetIconType(), YRICON_BIG);
  EXPECT_TRUE(Tree().IsReportReady());
  EXPECT_EQ(CQWFriendTreeCtrl::GetChatFriendsGroupName(), u"我的好友");
  EXPECT_EQ(CQWFriendTreeCtrl::GetProtectedGroups(),
            (std::vector<std::u16string>{u"未分组商友", u"我的好友", u"我的采购商", u"我的供应商",
                                         u"客服", u"聊天室"}));
  // The data came back with the host's friend list, plus the group named by the layout.
  const QWPOS mine = data->FindByName(u"我的好友");
  ASSERT_NE(mine, 0u);
  EXPECT_EQ(data->Children(0), (std::vector<QWPOS>{mine, chat, cs}));
  AdvanceClock(CQWFriendTreeCtrl::kLoadDelayMs);
  // The layout's group is the one opened; the others wait for a click.
  EXPECT_TRUE(Expanded(mine));
  EXPECT_NE(Item(chat), nullptr);
  EXPECT_EQ(Item(a1), nullptr);
  EXPECT_EQ(RequestsNamed(u"sys/FTInitedSuccess").size(), 1u);
}

TEST_F(FTreeCustom, AnEmptyDefaultGroupKeepsTheChatFriendsNameAndALogonAgainAddsNoSecondGroup) {
  attrs = {{u"default_group", u""}};
  StartAndLoad();
  EXPECT_EQ(CQWFriendTreeCtrl::GetChatFriendsGroupName(), u"聊天好友");
  EXPECT_TRUE(RequestsNamed(u"sys/DefGroup").size() == 2u);  // only the two questions
  // Logged off and on again: the set-up runs again.
  session.Notify(1476, 0, 0);
  session.Notify(3076, reinterpret_cast<WPARAM>(owner.data()), 0);
  int named = 0;
  for (QWPOS p : data->Children(0)) named += data->Find(p)->name == u"聊天好友";
  EXPECT_EQ(named, 1);
  EXPECT_EQ(RequestsNamed(u"Ui/GetMurFriendList").size(), 2u);
}

TEST_F(FTreeCustom, ShowingTwiceSendsThePairTwice) {
  Start();
  plugin->ShowPlugin(TRUE);
  std::vector<UINT> ids;
  for (const auto& n : session.Notices()) ids.push_back(n.id);
  EXPECT_EQ(ids, (std::vector<UINT>{3218, 3216, 3218, 3216}));
  plugin->ShowPlugin(FALSE);
  EXPECT_EQ(session.Notices().size(), 4u);
}

}  // namespace
