// Loading the friend tree and keeping it in step with the host's friend data.
#include "ftree_fixture.h"

#include <fstream>

#include "host/basekit/log.h"
#include "host/skinctl/colorconverter.h"
#include "platform/file.h"
#include "platform/imagelist.h"

namespace {

class FTreeBuild : public FTreeFixture {
 protected:
  void SetUp() override {
    FTreeFixture::SetUp();
    chat = AddGroup(u"聊天好友");
    a1 = AddFriend(chat, u"a1@zq.com", u"甲一");
    a2 = AddFriend(chat, u"a2@zq.com", u"甲二", QWSTATUS_OFFLINE);
    a3 = AddFriend(chat, u"a3@zq.com", u"甲三", QWSTATUS_BUSY);
    sup = AddGroup(u"我的供应商");
    b1 = AddFriend(sup, u"b1@zq.com", u"乙一");
    b2 = AddFriend(sup, u"b2@zq.com", u"乙二", QWSTATUS_OFFLINE);
    b3 = AddFriend(sup, u"b3@zq.com", u"乙三");
    empty = AddGroup(u"空组");
  }
  QWPOS chat, a1, a2, a3, sup, b1, b2, b3, empty;
};

TEST_F(FTreeBuild, LogFileIsNamedFromTheLocalTimeAndMethodsAreLogged) {
  Start();
  const std::u16string name = CGlobalLog::GetLogName();
  const std::u16string dir = CCommFunction::GetModuleDirectory();
  ASSERT_EQ(name.substr(0, dir.size()), dir);
  const std::u16string rest = name.substr(dir.size());
  // "log\YYYY-MM-DDhhmmssmmmm_MainFTree.log"
  ASSERT_EQ(rest.size(), 4 + 10 + 6 + 4 + 14u);
  EXPECT_EQ(rest.substr(0, 4), u"log\\");
  EXPECT_EQ(rest.substr(8, 1), u"-");
  EXPECT_EQ(rest.substr(24), u"_MainFTree.log");
  session.Notify(1365, 0, 0);
  std::ifstream in(ToFileSystemPath(name.c_str()));
  const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(log.find("[100] CQWFriendTreeCtrl::OnNotify()"), std::string::npos);
  EXPECT_NE(log.find("[100] CQWFriendTreeCtrl::Init()"), std::string::npos);
}

TEST_F(FTreeBuild, NotificationsBeforeTheLoadChangeNothing) {
  Start();
  session.Notify(1335, b1, 0);
  session.Notify(1365, a1, 0);
  session.Notify(1375, b1, 0);
  session.Notify(1385, a1, 0);
  session.Notify(1345, chat, 0);
  session.Notify(1355);
  session.Notify(3217, 1, a1);
  session.Notify(3151, 1, 0);
  EXPECT_EQ(Tree().GetCount(), 0u);
  EXPECT_EQ(Tree().GetPosMapSize(), 0u);
  EXPECT_TRUE(session.Requests().Log().empty());
}

TEST_F(FTreeBuild, LoadWaitsForTheTimerAndRunsOnce) {
  Start();
  session.Notify(3076, reinterpret_cast<WPARAM>(owner.data()), 0);
  session.Notify(1405);
  AdvanceClock(CQWFriendTreeCtrl::kLoadDelayMs - 1);
  EXPECT_EQ(Tree().GetCount(), 0u);
  AdvanceClock(1);
  EXPECT_EQ(Children(TVI_ROOT), (std::vector<QWPOS>{chat, sup, empty}));
  // The timer is gone: a later tick does not build again.
  Tree().DeleteAllItems();
  AdvanceClock(100);
  EXPECT_EQ(Tree().GetCount(), 0u);
}

TEST_F(FTreeBuild, GroupsShowCountsAndOnlyTheChatFriendsGroupIsFilled) {
  StartAndLoad();
  EXPECT_EQ(Text(chat), u"聊天好友(2/3)");
  EXPECT_EQ(Text(sup), u"我的供应商(2/3)");
  EXPECT_EQ(Text(empty), u"空组");
  EXPECT_TRUE(Expanded(chat));
  EXPECT_EQ(Children(Item(chat)), (std::vector<QWPOS>{a1, a2, a3}));
  // A group never opened has no friend items until its first click.
  EXPECT_TRUE(Children(Item(sup)).empty());
  EXPECT_EQ(Item(b1), nullptr);
  EXPECT_EQ(Tree().GetPosMapSize(), 6u);
  ClickItem(sup);
  EXPECT_EQ(Children(Item(sup)), (std::vector<QWPOS>{b1, b2, b3}));
  EXPECT_TRUE(Expanded(sup));
  EXPECT_EQ(Tree().GetItemData(Item(b3)), b3);
  // A second click collapses and inserts nothing more.
  ClickItem(sup);
  EXPECT_FALSE(Expanded(sup));
  EXPECT_EQ(Children(Item(sup)).size(), 3u);
}

TEST_F(FTreeBuild, StatusImagesAndKindBases) {
  const QWPOS cs = AddGroup(u"客服", QWKIND_CS);
  const QWPOS desk = AddFriend(cs, u"kefu@zq.com", u"客服小美", QWSTATUS_AWAY);
  const QWPOS rooms = AddGroup(u"聊天室", QWKIND_CHATROOM);
  const QWPOS room = AddFriend(rooms, u"room@muc.zq.com", u"交流室", QWSTATUS_ONLINE);
  const QWPOS odd = AddFriend(chat, u"odd@zq.com", u"怪", 40099);
  StartAndLoad();
  EXPECT_EQ(Image(a1), 1);  // online: slot 1
  EXPECT_EQ(Image(a2), 0);
  EXPECT_EQ(Image(a3), 3);
  EXPECT_EQ(Image(odd), 0);  // unknown codes use slot 0
  Tree().OpenGroup(Item(cs));
  Tree().OpenGroup(Item(rooms));
  EXPECT_EQ(Image(desk), CQWFriendTreeCtrl::kCSImageBase + 2);
  EXPECT_EQ(Image(room), CQWFriendTreeCtrl::kChatRoomImageBase + 1);
  SetStatus(a1, QWSTATUS_HIDDEN);
  EXPECT_EQ(Image(a1), 7);
}

TEST_F(FTreeBuild, OnlyOnlineHidesOfflineFriendsAndFollowsTheirStatus) {
  WriteViewAll(0);
  StartAndLoad();
  EXPECT_TRUE(Tree().IsOnlyOnline());
  EXPECT_EQ(Children(Item(chat)), (std::vector<QWPOS>{a1, a3}));
  // Going offline: the item goes and the group's count text changes.
  SetStatus(a3, QWSTATUS_OFFLINE);
  EXPECT_EQ(Item(a3), nullptr);
  EXPECT_EQ(Text(chat), u"聊天好友(1/3)");
  // Back online in an expanded group: in again, in its data place.
  SetStatus(a2, QWSTATUS_ONLINE);
  EXPECT_EQ(Children(Item(chat)), (std::vector<QWPOS>{a1, a2}));
  SetStatus(a3, QWSTATUS_ONLINE);
  EXPECT_EQ(Children(Item(chat)), (std::vector<QWPOS>{a1, a2, a3}));
  EXPECT_EQ(Text(chat), u"聊天好友(3/3)");
  // Back online in a group never opened: nothing until the group opens.
  SetStatus(b2, QWSTATUS_ONLINE);
  EXPECT_EQ(Item(b2), nullptr);
  ClickItem(sup);
  EXPECT_EQ(Children(Item(sup)), (std::vector<QWPOS>{b1, b2, b3}));
}

TEST_F(FTreeBuild, OnlyOnlineKeepsACollapsedFilledGroupComplete) {
  WriteViewAll(0);
  StartAndLoad();
  ClickItem(chat);  // collapse the group that the load opened
  ASSERT_FALSE(Expanded(chat));
  SetStatus(a2, QWSTATUS_ONLINE);
  ClickItem(chat);
  EXPECT_EQ(Children(Item(chat)), (std::vector<QWPOS>{a1, a2, a3}));
}

TEST_F(FTreeBuild, OnlyOnlineNotificationRebuilds) {
  StartAndLoad();
  ClickItem(sup);
  session.Notify(3151, 1, 0);
  EXPECT_TRUE(Tree().IsOnlyOnline());
  EXPECT_EQ(Children(Item(chat)), (std::vector<QWPOS>{a1, a3}));
  EXPECT_TRUE(Children(Item(sup)).empty());  // rebuilt: only the chat-friends group is open
  session.Notify(3151, 0, 0);
  EXPECT_EQ(Children(Item(chat)), (std::vector<QWPOS>{a1, a2, a3}));
}

TEST_F(FTreeBuild, DeletingAGroupTakesItsChildrenOutOfThePositionMap) {
  StartAndLoad();
  ASSERT_EQ(Tree().GetPosMapSize(), 6u);
  data->Remove(chat);
  session.Notify(1345, chat, 0);
  EXPECT_EQ(Tree().GetPosMapSize(), 2u);
  for (QWPOS p : {chat, a1, a2, a3}) EXPECT_EQ(Item(p), nullptr);
  EXPECT_EQ(Children(TVI_ROOT), (std::vector<QWPOS>{sup, empty}));
  // Deleting a friend updates its group's counts.
  ClickItem(sup);
  data->Remove(b1);
  session.Notify(1345, b1, 0);
  EXPECT_EQ(Text(sup), u"我的供应商(1/2)");
  session.Notify(1355);
  EXPECT_EQ(Tree().GetCount(), 0u);
  EXPECT_EQ(Tree().GetPosMapSize(), 0u);
}

TEST_F(FTreeBuild, InsertsLandInDataOrderOrFillTheirGroup) {
  StartAndLoad();
  CHostRecord f;
  f.name = u"甲新";
  f.id = u"anew@zq.com";
  f.status = QWSTATUS_ONLINE;
  const QWPOS anew = data->InsertItem(chat, a1, CHostDataItem(f));
  session.Notify(1335, anew, a1);
  EXPECT_EQ(Children(Item(chat)), (std::vector<QWPOS>{a1, anew, a2, a3}));
  session.Notify(1335, anew, a1);  // already there: nothing
  EXPECT_EQ(Children(Item(chat)).size(), 4u);
  // Into a group never opened: the whole group is filled.
  f.id = u"bnew@zq.com";
  const QWPOS bnew = data->InsertItem(sup, b3, CHostDataItem(f));
  session.Notify(1335, bnew, b3);
  EXPECT_EQ(Children(Item(sup)), (std::vector<QWPOS>{b1, b2, b3, bnew}));
  // A friend without an identifier gets no item.
  f.id.clear();
  const QWPOS noid = data->InsertItem(chat, 0, CHostDataItem(f));
  session.Notify(1335, noid, 0);
  EXPECT_EQ(Item(noid), nullptr);
}

TEST_F(FTreeBuild, MoveAndSort) {
  StartAndLoad();
  // Moved to the front of its group: out of its place and in after lparam.
  session.Notify(1375, a3, 0);
  EXPECT_EQ(Children(Item(chat)), (std::vector<QWPOS>{a3, a1, a2}));
  // Re-sorted after a1.
  session.Notify(1385, a3, a1);
  EXPECT_EQ(Children(Item(chat)), (std::vector<QWPOS>{a1, a3, a2}));
  EXPECT_EQ(Text(a3), u"甲三");
  EXPECT_EQ(Tree().GetPosMapSize(), 6u);
  // Moved into a group never opened: the group is filled from the data.
  auto rec = data->GetItem(a1);
  data->Remove(a1);
  const QWPOS moved = data->InsertItem(sup, b1, *rec);
  session.Notify(1345, a1, 0);
  session.Notify(1375, moved, b1);
  EXPECT_EQ(Children(Item(sup)), (std::vector<QWPOS>{b1, moved, b2, b3}));
  EXPECT_EQ(Text(chat), u"聊天好友(1/2)");
  EXPECT_EQ(Text(sup), u"我的供应商(3/4)");
  // A sort for a friend of a group never filled waits for the group.
  const QWPOS late = AddFriend(empty, u"late@zq.com", u"迟");
  session.Notify(1385, late, 0);
  EXPECT_EQ(Item(late), nullptr);
}

TEST_F(FTreeBuild, PostfixButtonsFollowTheDetailRecord) {
  attrs = {{u"UseMoible", u"1"}};
  HostPutU32(owner, qwownfield::kMobileService, 1);
  CQWFriendDetail d;
  d.email = u"a@x.cn";
  d.mobile = true;
  d.video = true;
  const QWPOS full = AddFriend(chat, u"full@zq.com", u"全", QWSTATUS_ONLINE, d);
  StartAndLoad();
  EXPECT_EQ(Buttons(full), (std::vector<DWORD>{0, 1, 2}));
  EXPECT_TRUE(Buttons(a1).empty());
  // Blocked: video stays hidden; services withdrawn: mail and mobile go.
  data->Find(full)->detail.blocked = true;
  session.Notify(1365, full, 0);
  EXPECT_EQ(Buttons(full), (std::vector<DWORD>{0, 1}));
  data->Find(full)->detail.state = 3;
  session.Notify(1365, full, 0);
  EXPECT_TRUE(Buttons(full).empty());
}

TEST_F(FTreeBuild, MobileButtonNeedsTheOwnServiceAndTheAttribute) {
  CQWFriendDetail d;
  d.mobile = true;
  const QWPOS m = AddFriend(chat, u"m@zq.com", u"手机", QWSTATUS_ONLINE, d);
  HostPutU32(owner, qwownfield::kMobileService, 1);
  StartAndLoad();  // "UseMoible" off by default
  EXPECT_TRUE(Buttons(m).empty());
}

TEST_F(FTreeBuild, EnterpriseModeShowsTrueNamesOfTheSameEnterprise) {
  SetOwnerId(account + u".acme@zq.com");
  CQWFriendDetail d;
  d.trueName = u"李四";
  const QWPOS same = AddFriend(chat, u"li.acme@zq.com", u"小李", QWSTATUS_ONLINE, d);
  const QWPOS other = AddFriend(chat, u"wang.other@zq.com", u"小王", QWSTATUS_ONLINE, d);
  const QWPOS cs = AddGroup(u"客服", QWKIND_CS);
  session.Data().EnterpriseParams()[u"imu/disableTrueName"] = u"0";
  session.Data().EnterpriseParams()[u"imu/ToShowClientServiceGroup"] = u"0";
  StartAndLoad();
  EXPECT_TRUE(Tree().IsEnterpriseMode());
  EXPECT_EQ(Tree().GetEnterpriseSuffix(), u".acme");
  EXPECT_EQ(Text(same), u"李四-小李");
  EXPECT_EQ(Text(other), u"小王");
  EXPECT_EQ(Item(cs), nullptr);  // the customer-service group is hidden
  session.Notify(1335, cs, empty);
  EXPECT_EQ(Item(cs), nullptr);
  // Logged off: enterprise mode ends.
  session.Notify(1476, 0, 2);
  EXPECT_TRUE(Tree().IsEnterpriseMode());
  session.Notify(1476, 0, 1);
  EXPECT_FALSE(Tree().IsEnterpriseMode());
  EXPECT_FALSE(Tree().IsOwnerInfoReceived());
}

TEST_F(FTreeBuild, EnterpriseSettingsFromTheHostsAnswers) {
  SetOwnerId(account + u".acme@zq.com");
  session.Data().EnterpriseParams()[u"imu/disableTrueName"] = u"1";
  StartAndLoad();
  EXPECT_FALSE(Tree().IsShowTrueName());
  EXPECT_TRUE(Tree().IsShowCSGroup());
  // Asked in this order, each with section and key in area 1.
  std::vector<std::u16string> asked;
  for (const auto& r : session.Requests().Log()) {
    if (r.name == u"sys/EnterPriseParam")
      asked.push_back(HostGetText(r.area1.bytes.data(), r.area1.bytes.size(), 128, 64));
  }
  EXPECT_EQ(asked, (std::vector<std::u16string>{u"disableTrueName", u"ToShowClientServiceGroup"}));
}

TEST_F(FTreeBuild, LocateOpensTheGroupAndSelectsTheFriend) {
  StartAndLoad();
  session.Notify(3217, 1, b3);
  ASSERT_NE(Item(b3), nullptr);
  EXPECT_EQ(Tree().GetSelectedItem(), Item(b3));
  EXPECT_TRUE(Expanded(sup));
  session.Notify(3217, 0, a1);  // not a locate request
  EXPECT_EQ(Tree().GetSelectedItem(), Item(b3));
}

TEST_F(FTreeBuild, RequestsOfTheNotificationTable) {
  StartAndLoad();
  session.Requests().ClearLog();
  session.Notify(3155, 5, 0);
  session.Notify(3407, b1, 0);
  ASSERT_EQ(session.Requests().Log().size(), 2u);
  const auto& add = session.Requests().Log()[0];
  EXPECT_EQ(add.name, u"sys/EditFriend");
  EXPECT_EQ(HostGetU32(add.area2.bytes.data(), add.area2.bytes.size(), 0), 5u);
  const auto& edit = session.Requests().Log()[1];
  EXPECT_EQ(HostGetU32(edit.area1.bytes.data(), edit.area1.bytes.size(), 0), 0u);
  EXPECT_EQ(HostGetText(edit.area2.bytes.data(), edit.area2.bytes.size(), 4, 64), u"b1@zq.com");
  EXPECT_EQ(HostGetU32(edit.area2.bytes.data(), edit.area2.bytes.size(), 132), b1);
}

TEST_F(FTreeBuild, ReadinessIsReportedAfterEveryLoadWhenAsked) {
  // Accounts of type 1 ask for it.
  session.Requests().SetStandingAnswer(u"sys/AccountType", CHostAnswer{1, {}, {}});
  Start();
  Load();
  session.Notify(1405);
  AdvanceClock(CQWFriendTreeCtrl::kLoadDelayMs);
  int ready = 0;
  for (const auto& n : RequestNames()) ready += n == u"sys/FTInitedSuccess";
  EXPECT_EQ(ready, 2);
}

TEST_F(FTreeBuild, WorkDirectoryNamedValuesAndIconType) {
  StartAndLoad();
  session.Notify(3104, reinterpret_cast<WPARAM>(u"D:\\im\\work\\"), 0);
  EXPECT_EQ(Tree().GetImageDir(), u"D:\\im\\work\\bmp\\");

  FTREE_NAMEDVALUE v{0, 7, {}};
  const std::u16string name = u"来源";
  std::copy(name.begin(), name.end(), v.szName);
  session.Notify(3208, reinterpret_cast<WPARAM>(&v), 0);
  v.nValue = 9;
  session.Notify(3208, reinterpret_cast<WPARAM>(&v), 0);
  ASSERT_EQ(Tree().GetNamedValues().size(), 1u);
  EXPECT_EQ(Tree().GetNamedValues()[0], std::make_pair(9, name));
  v.bRemove = 1;
  session.Notify(3208, reinterpret_cast<WPARAM>(&v), 0);
  EXPECT_TRUE(Tree().GetNamedValues().empty());

  session.Notify(3219, YRICON_BIG, 0);
  EXPECT_EQ(Tree().GetIconType(), YRICON_BIG);
  EXPECT_EQ(Image(a1), 1);  // no photo file: the status slot
}

TEST_F(FTreeBuild, BigIconPhotosAreLoadedScaledTintedAndCachedOnce) {
  // Icon strips of 36 images: 16 pixels small, 32 pixels big.
  const std::filesystem::path work = AccountDir() / "work";
  WriteBmp(work / "bmp" / "small.bmp", 36 * 16, 16, RGB(0, 0, 0));
  WriteBmp(work / "bmp" / "big.bmp", 36 * 32, 32, RGB(0, 0, 0));
  WriteBmp(AccountDir() / "FriendPhoto" / "a1.bmp", 8, 8, RGB(200, 100, 50));
  workDir = FromUtf8(work.string()) + u"\\";
  attrs = {{u"IconFile", u"small.bmp"}, {u"BigIconFile", u"big.bmp"}};
  const COLORREF base = RGB(0, 128, 255);
  CColorConverter::SetBaseColor(base);
  StartAndLoad();
  EXPECT_EQ(Image(a1), 1);
  session.Notify(3219, YRICON_BIG, 0);
  CImageList* images = Tree().GetDrawingImages(Item(a1));
  ASSERT_NE(images, nullptr);
  ASSERT_EQ(images->GetImageCount(), 37);
  EXPECT_EQ(Image(a1), 36);
  EXPECT_EQ(Image(a3), 3);  // no photo: the status slot
  auto canvas = ImageList_GetImageCanvas(images->GetSafeHandle(), 36);
  ASSERT_TRUE(canvas);
  EXPECT_EQ(canvas->Width(), 32);
  EXPECT_EQ(canvas->Height(), 32);
  EXPECT_EQ(canvas->GetPixel(31, 31), CColorConverter::GetColor(base, RGB(200, 100, 50)));
  // Updates and a second friend of the same identifier reuse the image.
  session.Notify(1365, a1, 0);
  session.Notify(3219, YRICON_BIG, 0);
  EXPECT_EQ(images->GetImageCount(), 37);
  EXPECT_EQ(Image(a1), 36);
  // A new load drops the photos from the list.
  session.Notify(1405);
  AdvanceClock(CQWFriendTreeCtrl::kLoadDelayMs);
  EXPECT_EQ(images->GetImageCount(), 37);  // loaded again for the new tree
  session.Notify(3219, YRICON_SMALL, 0);
  EXPECT_EQ(Image(a1), 1);
  CColorConverter::SetBaseColor(RGB(255, 255, 255));
}

TEST_F(FTreeBuild, PendingNewGroupIsSelectedWhenItArrives) {
  StartAndLoad();
  CHostRecord g;
  g.isGroup = true;
  g.name = g.id = u"新分组1";
  const QWPOS fresh = data->InsertItem(0, empty, CHostDataItem(g));
  Tree().SetPendingNewGroup(fresh);
  session.Notify(1335, fresh, empty);
  EXPECT_EQ(Tree().GetSelectedItem(), Item(fresh));
  EXPECT_EQ(Children(TVI_ROOT).back(), fresh);
}

}  // namespace
