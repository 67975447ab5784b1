// The friend tree's context menus item by item, and the requests their
// commands, the mouse and the keys send.
#include "ftree_menu_fixture.h"

namespace {

TEST_F(FTreeMenus, FriendMenuWithAddressRemarkAndMoveToEntries) {
  RClickItem(a1);
  // No group of kinds 64, 128, 256 or 512 and no custom node is a move-to target.
  EXPECT_EQ(MenuShape(), "4820,4824,-,>4861*,>4862,>4863,4829,4980,-,4831,4833");
  EXPECT_EQ(MenuText(4820), u"发送即时消息");
  EXPECT_EQ(MenuText(4824), u"发送电子邮件 <a1@mail.cn>");
  EXPECT_EQ(MenuText(4861), u"聊天好友");
  EXPECT_EQ(MenuText(4862), u"同事");
  EXPECT_EQ(MenuText(4863), u"空组");
  EXPECT_EQ(MenuText(4829), u"删除好友");
  EXPECT_EQ(MenuText(4980), u"清除备注");
  EXPECT_EQ(MenuText(4831), u"查看消息记录");
  EXPECT_EQ(MenuText(4833), u"查看详细资料");
  const PopupMenuView* menu = session.Modal().LastMenu();
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->FindText(u"移动到") != nullptr, true);
  EXPECT_EQ(Tree().GetSelected(), Item(a1));
}

TEST_F(FTreeMenus, FriendMenuWithoutAddressOrRemark) {
  RClickItem(a2);
  EXPECT_EQ(MenuShape(), "4820,4000!,>4861*,>4862,>4863,4829,4981,-,4831,4833");
  EXPECT_EQ(MenuText(4000), u"发送电子邮件");
  EXPECT_EQ(MenuText(4981), u"修改备注");
}

TEST_F(FTreeMenus, StrangerMenu) {
  OpenItem(strangers);
  RClickItem(s1);
  EXPECT_EQ(MenuShape(), "4820,-,4824!,4974,4829,-,4831,4833");
  EXPECT_EQ(MenuText(4974), u"加为好友");
  EXPECT_EQ(MenuText(4829), u"从陌生人中删除");
}

TEST_F(FTreeMenus, GroupMenusByKind) {
  RClickItem(chat);  // protected
  EXPECT_EQ(MenuShape(), "4835,4836,-,4842");
  EXPECT_EQ(MenuText(4835), u"添加好友");
  EXPECT_EQ(MenuText(4836), u"添加组");
  EXPECT_EQ(MenuText(4842), u"只查看在线好友");
  RClickItem(mine);
  EXPECT_EQ(MenuShape(), "4838,4839,4840,-,4842");
  EXPECT_EQ(MenuText(4839), u"重命名组");
  EXPECT_EQ(MenuText(4840), u"删除组");
  // Customer service is protected by its default name until broadcasting is there.
  RClickItem(cs);
  EXPECT_EQ(MenuShape(), "4835,4836,-,4842");
  session.Data().Get(u"CSData")->SetBroadcast(true);
  RClickItem(cs);
  EXPECT_EQ(MenuShape(), "4982,4973");
  EXPECT_EQ(MenuText(4982), u"向所有客户广播消息");
  EXPECT_EQ(MenuText(4973), u"向本组客户广播消息");
  // Strangers and chat rooms have none.
  const std::size_t shown = session.Modal().MenusShown();
  RClickItem(strangers);
  RClickItem(rooms);
  EXPECT_EQ(session.Modal().MenusShown(), shown);
}

TEST_F(FTreeMenus, ServiceDeskAndChatRoomContactsHaveNoMenu) {
  OpenItem(cs);
  OpenItem(rooms);
  const std::size_t shown = session.Modal().MenusShown();
  RClickItem(desk);
  RClickItem(room);
  EXPECT_EQ(session.Modal().MenusShown(), shown);
}

TEST_F(FTreeMenus, EmptyAreaMenuAndTheToggleText) {
  RightClickAt(Tree().GetSafeHwnd(), Blank());
  PumpMessages();
  EXPECT_EQ(MenuShape(), "4835,4836,4842");
  EXPECT_EQ(MenuText(4835), u"添加好友");
  EXPECT_EQ(MenuText(4842), u"只查看在线好友");
  session.Notify(3151, 1, 0);
  RightClickAt(Tree().GetSafeHwnd(), Blank());
  PumpMessages();
  EXPECT_EQ(MenuText(4842), u"查看全部好友");
}

TEST_F(FTreeMenus, FriendCommandsSendTheirRequests) {
  TakeRequests();
  const AreaBytes id = AreaBytes(148).Int(16, 1).Text(20, u"a1@zq.com");
  auto chat = [&](int kind, int target) {
    return Req(u"sys/Chat", AreaBytes(4).Int(0, kind),
               AreaBytes(276)
                   .Int(0, target)
                   .Int(12, 1)
                   .Int(16, 1)
                   .Text(20, u"a1@zq.com")
                   .Text(148, u"甲一"));
  };
  auto edit = [&](int action, int v1, int v2) {
    return Req(u"sys/EditFriend", AreaBytes(4).Int(0, action),
               AreaBytes(144)
                   .Int(0, 1)
                   .Text(4, u"a1@zq.com")
                   .Int(132, static_cast<std::uint32_t>(a1))
                   .Int(136, v1)
                   .Int(140, v2));
  };
  const std::vector<std::pair<UINT, std::string>> cases = {
      {4820, chat(0, 0)},
      {4821, chat(1, 0)},
      {4822, chat(3, 0)},
      {4823, chat(2, 0)},
      {4844, chat(6, 0)},
      {4824, chat(5, 0)},
      {4825, chat(4, 2)},
      {4829, edit(2, 0, 0)},
      {4831, Req(u"sys/HistoryInfo", id, std::nullopt)},
      {4833, Req(u"sys/FriendInfo", id, std::nullopt)},
      {4970, edit(3, 0, 1)},
      {4974, edit(0, 0, 0)},
  };
  for (const auto& [command, expected] : cases) {
    session.Modal().QueueMenu(command);
    RClickItem(a1);
    TakeRequests();  // the menu's own questions
    Command(command);
    EXPECT_EQ(TakeRequests(), std::vector<std::string>{expected}) << command;
  }
  // Blocked friends are unblocked.
  data->Find(a1)->detail.blocked = true;
  Tree().SetSelected(Item(a1));
  Command(4970);
  EXPECT_EQ(TakeRequests(), std::vector<std::string>{edit(3, 0, 0)});
  // Commands without a friend selected send nothing.
  Tree().SetSelected(Item(mine));
  for (UINT command : {4821u, 4824u, 4825u, 4829u, 4831u, 4833u, 4970u, 4974u, 4841u, 4843u})
    Command(command);
  EXPECT_TRUE(TakeRequests().empty());
}

TEST_F(FTreeMenus, MenuChoicesArriveAsCommands) {
  session.Modal().QueueMenu(UINT{4831});
  RClickItem(a2);
  const auto sent = TakeRequests();
  ASSERT_FALSE(sent.empty());
  EXPECT_EQ(sent.back(), Req(u"sys/HistoryInfo", AreaBytes(148).Int(16, 1).Text(20, u"a2@zq.com"),
                             std::nullopt));
}

TEST_F(FTreeMenus, RemarkIsClearedAndSetThroughTheDialog) {
  Tree().SetSelected(Item(a1));
  Command(4980);
  EXPECT_EQ(data->Find(a1)->detail.remark, u"");
  EXPECT_EQ(data->Find(a1)->detail.email, u"a1@mail.cn");  // the rest of the record is kept

  TakeRequests();
  RemarkDriver driver(std::u16string(70, u'备'), IDOK);
  ModalDriver* previous = SetModalDriver(&driver);
  Command(4981);
  SetModalDriver(previous);
  // The dialog's edit holds at most 63 characters.
  EXPECT_EQ(data->Find(a1)->detail.remark, std::u16string(63, u'备'));
  EXPECT_EQ(driver.templateId, 594u);
  ASSERT_NE(driver.dialog, 0u);
  const auto sent = TakeRequests();
  const AreaBytes open = AreaBytes(12).Int(0, driver.dialog).Int(4, 0).Int(8, 1);
  const AreaBytes close = AreaBytes(12).Int(0, driver.dialog).Int(4, 0).Int(8, 0);
  EXPECT_EQ(sent, (std::vector<std::string>{Req(u"sys/RigisterDlg", open, std::nullopt),
                                            Req(u"sys/RigisterDlg", close, std::nullopt)}));

  // Cancel stores nothing, and still announces both ends.
  RemarkDriver cancel(u"不要", IDCANCEL);
  previous = SetModalDriver(&cancel);
  Command(4981);
  SetModalDriver(previous);
  EXPECT_EQ(data->Find(a1)->detail.remark, std::u16string(63, u'备'));
  EXPECT_EQ(TakeRequests().size(), 2u);
}

TEST_F(FTreeMenus, DeleteAllWalksACopyWhileTheHostDeletes) {
  // The host takes each friend out of the data and the tree as it is asked.
  session.Requests().SetHandler(u"sys/EditFriend", [this](CHostPacket& p, LPARAM) {
    const QWPOS pos = HostGetU32(p.Area(2).bytes.data(), p.Area(2).bytes.size(), 132);
    data->Remove(pos);
    session.Messages().Deliver(1345, pos, 0);
    return 1;
  });
  const QWPOS a3 = AddFriend(chat, u"a3@zq.com", u"甲三");
  session.Notify(1335, a3, a2);
  TakeRequests();
  Tree().SetSelected(Item(a2));
  Command(4898);
  std::vector<QWPOS> asked;
  for (const auto& r : session.Requests().Log())
    asked.push_back(HostGetU32(r.area2.bytes.data(), r.area2.bytes.size(), 132));
  EXPECT_EQ(asked, (std::vector<QWPOS>{a1, a2, a3}));
  EXPECT_TRUE(Children(Item(chat)).empty());
}

TEST_F(FTreeMenus, MoveToEntriesNeverRunTheGroupWideDelete) {
  // Enough groups to number entries past 4898.
  std::vector<QWPOS> groups;
  for (int i = 0; i < 40; ++i) groups.push_back(AddGroup(FormatW(u"组%d", i)));
  Reload();
  RClickItem(a1);
  const PopupMenuView* menu = session.Modal().LastMenu();
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->Find(4898), nullptr);
  EXPECT_NE(menu->Find(4899), nullptr);
  // The entry after 4897 moves the friend to its group; nothing is deleted.
  const auto& map = Tree().GetMoveToMap();
  auto it = std::find_if(map.begin(), map.end(), [](const auto& e) { return e.first == 4899; });
  ASSERT_NE(it, map.end());
  TakeRequests();
  Command(4899);
  const auto sent = session.Requests().Log();
  ASSERT_EQ(sent.size(), 2u);  // the strangers' name, then the move
  EXPECT_EQ(HostGetU32(sent[1].area1.bytes.data(), 4, 0), 4u);
  EXPECT_EQ(HostGetU32(sent[1].area2.bytes.data(), sent[1].area2.bytes.size(), 136),
            Tree().GetItemData(it->second));
  // 4898 itself still deletes the group's friends.
  TakeRequests();
  Command(4898);
  EXPECT_EQ(session.Requests().Log().size(), 2u);
}

TEST_F(FTreeMenus, MoveToTheOwnGroupSendsNothing) {
  session.Modal().QueueMenu(UINT{4861});  // checked: the friend's own group
  RClickItem(a1);
  const auto sent = TakeRequests();
  for (const auto& line : sent) EXPECT_EQ(line.find("request sys/EditFriend"), std::string::npos);
  session.Modal().QueueMenu(UINT{4862});
  RClickItem(a1);
  const auto moved = TakeRequests();
  ASSERT_FALSE(moved.empty());
  EXPECT_EQ(moved.back(),
            Req(u"sys/EditFriend", AreaBytes(4).Int(0, 4),
                AreaBytes(144).Int(0, 1).Text(4, u"a1@zq.com").Int(132, a1).Int(136, mine)));
}

TEST_F(FTreeMenus, DoubleClickEnterDeleteAndPostfixButtons) {
  TakeRequests();
  DblClickItem(a2);
  const std::string chatA2 =
      Req(u"sys/Chat", AreaBytes(4).Int(0, 0),
          AreaBytes(276).Int(12, 1).Int(16, 1).Text(20, u"a2@zq.com").Text(148, u"甲二"));
  EXPECT_EQ(TakeRequests(), std::vector<std::string>{chatA2});
  Tree().SelectItem(Item(a2));
  Tree().SetFocus();
  KeyPress(VK_RETURN);
  PumpMessages();
  EXPECT_EQ(TakeRequests(), std::vector<std::string>{chatA2});
  KeyPress(VK_DELETE);
  PumpMessages();
  EXPECT_EQ(TakeRequests(), std::vector<std::string>{
                                Req(u"sys/EditFriend", AreaBytes(4).Int(0, 2),
                                    AreaBytes(144).Int(0, 1).Text(4, u"a2@zq.com").Int(132, a2))});
  // Enter on a group opens it as a click would.
  Tree().SelectItem(Item(mine));
  KeyPress(VK_RETURN);
  PumpMessages();
  EXPECT_TRUE(Expanded(mine));
  EXPECT_NE(Item(c1), nullptr);

  // a1 has an e-mail button (postfix 0).
  ASSERT_EQ(Buttons(a1), std::vector<DWORD>{0});
  RECT rc{};
  ASSERT_TRUE(Tree().GetPostfixBnRect(Item(a1), 0, &rc));
  ClickAt(Tree().GetSafeHwnd(), POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2});
  PumpMessages();
  EXPECT_EQ(TakeRequests(),
            std::vector<std::string>{Req(
                u"sys/Chat", AreaBytes(4).Int(0, 5),
                AreaBytes(276).Int(12, 1).Int(16, 1).Text(20, u"a1@zq.com").Text(148, u"甲一"))});
}

TEST_F(FTreeMenus, CustomerServiceAndChatRoomContacts) {
  OpenItem(cs);
  OpenItem(rooms);
  TakeRequests();
  // An offline desk that is not staffed gets e-mail.
  DblClickItem(desk);
  const std::string mail =
      Req(u"sys/Chat", AreaBytes(4).Int(0, 5),
          AreaBytes(276).Int(12, 1).Int(16, 1).Text(20, u"kefu@zq.com").Text(148, u"客服小美"));
  EXPECT_EQ(TakeRequests(), std::vector<std::string>{mail});
  // A staffed desk gets the service notice with the own account.
  session.Data().Get(u"CSData")->Find(csDesk)->serviceDesk = true;
  DblClickItem(desk);
  std::vector<BYTE> notice(512, 0);
  const std::string text = "65|" + ToUtf8(account) + "|";
  std::copy(text.begin(), text.end(), notice.begin());
  AreaBytes a2(512);
  a2.bytes = notice;
  EXPECT_EQ(TakeRequests(), std::vector<std::string>{Req(u"ui/CSNoticeAllReq", std::nullopt, a2)});
  // A chat room is entered by its room identifier.
  DblClickItem(room);
  EXPECT_EQ(TakeRequests(),
            std::vector<std::string>{
                Req(u"sys/Chat", AreaBytes(4).Int(0, 0),
                    AreaBytes(276).Int(0, 6).Int(12, 1).Int(16, 1).Text(148, u"room@muc.zq.com"))});
}

TEST_F(FTreeMenus, GroupCommandsBroadcastGuideAndAddFriend) {
  TakeRequests();
  Tree().SetSelected(Item(mine));
  Command(4835);
  Command(4973);
  Command(4982);
  Command(1979);
  Tree().SetSelected(Item(a1));
  Command(4835);
  EXPECT_EQ(TakeRequests(),
            (std::vector<std::string>{
                Req(u"sys/EditFriend", AreaBytes(4), AreaBytes(144).Int(0, 1).Int(136, mine)),
                Req(u"sys/BoardcastMsg", AreaBytes(4).Int(0, 1), std::nullopt),
                Req(u"sys/BoardcastMsg", AreaBytes(4).Int(0, 2), std::nullopt),
                Req(u"sys/Guide", AreaBytes(4).Int(0, 1), std::nullopt),
                Req(u"sys/EditFriend", AreaBytes(4), AreaBytes(144).Int(0, 1)),
            }));
}

TEST_F(FTreeMenus, GroupMobileMessageGoesToTheHostsLiveWindow) {
  // The host answers with its window; members with the mobile flag are sent to it.
  MessageWindow window;
  session.Requests().SetStandingAnswer(u"sys/Chat",
                                       CHostAnswer{static_cast<int>(window.hwnd), {}, {}});
  Tree().SetSelected(Item(chat));
  TakeRequests();
  Command(4837);
  EXPECT_EQ(TakeRequests(),
            std::vector<std::string>{Req(u"sys/Chat", AreaBytes(4).Int(0, 4),
                                         AreaBytes(276).Int(0, 2).Int(12, 1).Int(16, 1))});
  EXPECT_EQ(window.received, (std::vector<std::u16string>{u"3224 a2@zq.com 甲二"}));
  // A window that is gone is sent nothing.
  const HWND gone = window.hwnd;
  DestroyWindow(gone);
  window.received.clear();
  session.Requests().SetStandingAnswer(u"sys/Chat", CHostAnswer{static_cast<int>(gone), {}, {}});
  Command(4837);
  EXPECT_TRUE(window.received.empty());
}

}  // namespace
