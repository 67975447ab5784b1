// The friend tree's requests to the host, byte for byte as the host records them.
#include <gtest/gtest.h>

#include "friendtree/ftree_dataprocessor.h"
#include "hostsim/host_data.h"
#include "hostsim/host_requests.h"
#include "platform/text.h"

namespace {

// Little helpers that build expected payloads.
void Put32(std::vector<BYTE>& b, std::size_t off, std::uint32_t v) { HostPutU32(b, off, v); }
void PutText(std::vector<BYTE>& b, std::size_t off, const std::u16string& t, std::size_t chars) {
  HostPutText(b, off, t, chars);
}

class DataProcessorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    data = host.Get(u"MurFriendData");
    group = data->Add(0, GroupRecord(u"我的供应商"));
    CHostRecord f;
    f.name = u"李霞";
    f.id = u"user10@zq.com";
    f.status = QWSTATUS_ONLINE;
    friendPos = data->Add(group, f);
    CHostRecord noId;
    noId.name = u"无名";
    noIdPos = data->Add(group, noId);
    proc.SetDataProcessMgr(&requests);
    proc.SetFriendData(data);
  }

  static CHostRecord GroupRecord(const std::u16string& name) {
    CHostRecord g;
    g.isGroup = true;
    g.name = g.id = name;
    return g;
  }

  const CHostRequestRecord& Only() {
    EXPECT_EQ(requests.Log().size(), 1u);
    return requests.Log().back();
  }

  CHostDataManager host;
  CHostRequests requests;
  CHostData* data = nullptr;
  QWPOS group = 0, friendPos = 0, noIdPos = 0;
  CQWFriendTree_DataProcessor proc;
};

TEST_F(DataProcessorTest, IdentifierRequestsCarryFlagAndIdentifier) {
  proc.ViewHistory(friendPos);
  proc.ViewFriendInfo(friendPos);
  ASSERT_EQ(requests.Log().size(), 2u);
  std::vector<BYTE> history(148, 0);
  Put32(history, 16, 1);
  PutText(history, 20, u"user10@zq.com", 64);
  EXPECT_EQ(requests.Log()[0].name, u"sys/HistoryInfo");
  EXPECT_EQ(requests.Log()[0].area1.bytes, history);
  EXPECT_FALSE(requests.Log()[0].area2.present);
  EXPECT_EQ(requests.Log()[1].name, u"sys/FriendInfo");
  EXPECT_EQ(requests.Log()[1].area1.bytes, history);
}

TEST_F(DataProcessorTest, ChatWithFriendLaysOutBothAreas) {
  proc.ChatWithFriend(friendPos, FTCHAT_MOBILE, FTTARGET_MOBILE);
  const auto& r = Only();
  EXPECT_EQ(r.name, u"sys/Chat");
  std::vector<BYTE> a1(4, 0), a2(276, 0);
  Put32(a1, 0, 4);
  Put32(a2, 0, 2);
  Put32(a2, 12, 1);
  Put32(a2, 16, 1);
  PutText(a2, 20, u"user10@zq.com", 64);
  PutText(a2, 148, u"李霞", 64);
  EXPECT_EQ(r.area1.bytes, a1);
  EXPECT_EQ(r.area2.bytes, a2);
}

TEST_F(DataProcessorTest, NothingIsSentWithoutRecordIdentifierOrManager) {
  proc.ChatWithFriend(9999, 0, 0);  // no record at that position
  proc.ChatWithFriend(noIdPos, 0, 0);
  proc.ChatWithFriend(0, 0, 0);
  proc.ViewHistory(9999);
  proc.SendEmailToCS(9999);
  EXPECT_TRUE(requests.Log().empty());
  CQWFriendTree_DataProcessor bare;  // no manager, no data
  bare.ChatWithFriend(friendPos, 0, 0);
  bare.CSGroupBroadcast();
  bare.GetFriendList();
  EXPECT_TRUE(requests.Log().empty());
}

TEST_F(DataProcessorTest, FixedValueRequests) {
  proc.CSGroupBroadcast();
  proc.CSGroupBroadcastAll();
  proc.ChangeGuide();
  proc.Notify_QW_LogonSuccess();
  proc.GetFriendList();
  ASSERT_EQ(requests.Log().size(), 5u);
  const auto& log = requests.Log();
  EXPECT_EQ(FormatRequest(log[0]), "request sys/BoardcastMsg area1=01000000 area2=-");
  EXPECT_EQ(FormatRequest(log[1]), "request sys/BoardcastMsg area1=02000000 area2=-");
  EXPECT_EQ(FormatRequest(log[2]), "request sys/Guide area1=01000000 area2=-");
  EXPECT_EQ(FormatRequest(log[3]), "request sys/FTInitedSuccess area1=- area2=-");
  EXPECT_EQ(FormatRequest(log[4]), "request Ui/GetMurFriendList area1=- area2=-");
}

TEST_F(DataProcessorTest, OpenNewLinkAsksForTheAddressSize) {
  proc.OpenNewLink(u"http://a.cn");
  const auto& r = Only();
  std::vector<BYTE> a1(2 * 11 + 2, 0);
  PutText(a1, 0, u"http://a.cn", 12);
  EXPECT_EQ(r.name, u"sys/OpenURL");
  EXPECT_EQ(r.area1.bytes, a1);
  proc.OpenNewLink(u"");
  proc.OpenNewLink(nullptr);
  EXPECT_EQ(requests.Log().size(), 1u);
}

TEST_F(DataProcessorTest, CustomerServiceMailAndChatRoom) {
  proc.SendEmailToCS(friendPos);
  CHostData* rooms = host.Get(u"ChatRoomData");
  CHostRecord room;
  room.name = u"外贸交流室";
  room.id = u"room100@muc.zq.com";
  room.bytes.assign(256, 0);
  HostPutText(room.bytes, 128, u"room100@muc.zq.com", 64);
  const QWPOS roomPos = rooms->Add(0, room);
  proc.EnterFreeChatRoom(roomPos, rooms);
  proc.EnterFreeChatRoom(roomPos, nullptr);
  ASSERT_EQ(requests.Log().size(), 2u);

  std::vector<BYTE> a1(4, 0), a2(276, 0);
  Put32(a1, 0, 5);
  Put32(a2, 12, 1);
  Put32(a2, 16, 1);
  PutText(a2, 20, u"user10@zq.com", 64);
  PutText(a2, 148, u"李霞", 64);
  EXPECT_EQ(requests.Log()[0].area1.bytes, a1);
  EXPECT_EQ(requests.Log()[0].area2.bytes, a2);

  std::vector<BYTE> r1(4, 0), r2(276, 0);
  Put32(r2, 0, 6);
  Put32(r2, 12, 1);
  Put32(r2, 16, 1);
  PutText(r2, 148, u"room100@muc.zq.com", 64);
  EXPECT_EQ(requests.Log()[1].area1.bytes, r1);
  EXPECT_EQ(requests.Log()[1].area2.bytes, r2);
}

TEST_F(DataProcessorTest, ChatWithCSFormatsTheAccount) {
  auto desk = data->GetItem(friendPos);
  proc.ChatWithCS(desk.get(), u"张伟");
  const auto& r = Only();
  EXPECT_EQ(r.name, u"ui/CSNoticeAllReq");
  EXPECT_FALSE(r.area1.present);
  ASSERT_EQ(r.area2.bytes.size(), 512u);
  const std::string expect = "65|" + ToUtf8(u"张伟") + "|";
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(r.area2.bytes.data())), expect);
  proc.ChatWithCS(nullptr, u"x");
  EXPECT_EQ(requests.Log().size(), 1u);
}

TEST_F(DataProcessorTest, ChatWithCSCutsALongAccountToFit) {
  // 300 three-byte characters: 900 bytes of UTF-8, far over the area.
  const std::u16string account(300, u'张');
  auto desk = data->GetItem(friendPos);
  proc.ChatWithCS(desk.get(), account.c_str());
  const auto& bytes = Only().area2.bytes;
  ASSERT_EQ(bytes.size(), 512u);
  const std::string sent(reinterpret_cast<const char*>(bytes.data()));
  EXPECT_LT(sent.size(), 512u);  // the terminator fits
  EXPECT_EQ(sent.substr(0, 3), "65|");
  EXPECT_EQ(sent.back(), '|');  // the whole format is kept
  // Cut at a character boundary: 507 bytes of room hold 169 characters.
  EXPECT_EQ(FromUtf8(sent.substr(3, sent.size() - 4)), std::u16string(169, u'张'));
  // One byte of room left over in a plain text is used exactly.
  const std::string ascii =
      CQWFriendTree_DataProcessor::FormatCSNotice(std::u16string(600, u'a').c_str());
  EXPECT_EQ(ascii.size(), 511u);
}

TEST_F(DataProcessorTest, EditFriendOnlyForFriends) {
  EXPECT_NE(proc.EditFriendByPos(friendPos, FTFRIEND_BLOCK, 7, 1), 0);
  EXPECT_EQ(proc.EditFriendByPos(group, FTFRIEND_DELETE, 0, 0), 0);  // a group: nothing
  EXPECT_EQ(proc.EditFriendByPos(9999, FTFRIEND_DELETE, 0, 0), 0);
  const auto& r = Only();
  std::vector<BYTE> a1(4, 0), a2(144, 0);
  Put32(a1, 0, 3);
  Put32(a2, 0, 1);
  PutText(a2, 4, u"user10@zq.com", 64);
  Put32(a2, 132, static_cast<std::uint32_t>(friendPos));
  Put32(a2, 136, 7);
  Put32(a2, 140, 1);
  EXPECT_EQ(r.area1.bytes, a1);
  EXPECT_EQ(r.area2.bytes, a2);
}

TEST_F(DataProcessorTest, AddFriendGroupsAndDefaultGroup) {
  proc.Popup_AddFriend_UI(3, 42);
  requests.QueueAnswer(u"sys/EditGroup", CHostAnswer{77, {}, {}});
  EXPECT_EQ(proc.EditGroupByID(FTGROUP_RENAME, group, u"新组"), 77);
  proc.SetDefaultGroupName(u"聊天好友");
  ASSERT_EQ(requests.Log().size(), 3u);
  const auto& log = requests.Log();

  std::vector<BYTE> add2(144, 0);
  Put32(add2, 0, 3);
  Put32(add2, 136, 42);
  EXPECT_EQ(log[0].area1.bytes, std::vector<BYTE>(4, 0));
  EXPECT_EQ(log[0].area2.bytes, add2);

  std::vector<BYTE> g1(4, 0), g2(136, 0);
  Put32(g1, 0, 1);
  Put32(g2, 0, 1);
  PutText(g2, 4, u"新组", 64);
  Put32(g2, 132, static_cast<std::uint32_t>(group));
  EXPECT_EQ(log[1].area1.bytes, g1);
  EXPECT_EQ(log[1].area2.bytes, g2);

  std::vector<BYTE> d1(136, 0);
  Put32(d1, 0, 1);
  PutText(d1, 4, u"聊天好友", 64);
  EXPECT_EQ(log[2].area1.bytes, d1);
  EXPECT_EQ(log[2].area2.bytes, std::vector<BYTE>(4, 0));
}

TEST_F(DataProcessorTest, EnterpriseSettingAnswerAndFailures) {
  CHostAnswer answer;
  answer.result = 1;
  std::vector<BYTE> text(8, 0);
  HostPutText(text, 0, u"0", 4);
  answer.area1.push_back({256, text});
  requests.QueueAnswer(u"sys/EnterPriseParam", answer);
  EXPECT_EQ(proc.GetEnterpriseSetting(u"imu", u"disableTrueName"), u"0");
  std::vector<BYTE> a1(384, 0);
  PutText(a1, 0, u"imu", 64);
  PutText(a1, 128, u"disableTrueName", 64);
  EXPECT_EQ(requests.Log()[0].area1.bytes, a1);

  // No answer: empty. No processor: empty, and nothing is recorded.
  EXPECT_EQ(proc.GetEnterpriseSetting(u"imu", u"x"), u"");
  requests.Forget(u"sys/EnterPriseParam");
  EXPECT_EQ(proc.GetEnterpriseSetting(u"imu", u"disableTrueName"), u"");
  EXPECT_EQ(requests.Log().size(), 2u);
  CQWFriendTree_DataProcessor bare;
  EXPECT_EQ(bare.GetEnterpriseSetting(u"imu", u"disableTrueName"), u"");
}

TEST_F(DataProcessorTest, MessageBoxAnswersTwoWhenItCannotBeMade) {
  requests.QueueAnswer(u"sys/Msgbox", CHostAnswer{6, {}, {}});
  EXPECT_EQ(proc.MessageBox(u"提示", u"组名已存在", 0x24, 0x1234), 6);
  std::vector<BYTE> a1(656, 0);
  Put32(a1, 0, 0x24);
  PutText(a1, 4, u"提示", 64);
  PutText(a1, 132, u"组名已存在", 260);
  Put32(a1, 652, 0x1234);
  EXPECT_EQ(Only().area1.bytes, a1);
  requests.Forget(u"sys/Msgbox");
  EXPECT_EQ(proc.MessageBox(u"a", u"b", 0, 0), 2);
  CQWFriendTree_DataProcessor bare;
  EXPECT_EQ(bare.MessageBox(u"a", u"b", 0, 0), 2);
}

TEST_F(DataProcessorTest, LookupsReplaceTheHoldersRecord) {
  std::unique_ptr<CQWDataItem> rec;
  ASSERT_TRUE(proc.GetFriendInfoPtr(friendPos, rec));
  EXPECT_EQ(rec->GetName(), u"李霞");
  ASSERT_TRUE(proc.GetFriendInfoPtr(group, rec));
  EXPECT_FALSE(rec->IsFriend());
  EXPECT_FALSE(proc.GetFriendInfoPtr(0, rec));
  EXPECT_EQ(rec, nullptr);  // the old record is released, not kept stale

  std::unique_ptr<CQWDataID> id;
  ASSERT_TRUE(proc.GetFriendIDPtr(friendPos, id));
  EXPECT_EQ(id->GetID(), u"user10@zq.com");
  EXPECT_FALSE(proc.GetFriendIDPtr(noIdPos, id));
  EXPECT_EQ(id, nullptr);

  CQWFriendTree_DataProcessor noData;
  EXPECT_FALSE(noData.GetFriendInfoPtr(friendPos, rec));
}

TEST_F(DataProcessorTest, DefaultGroupNamesAreAskedAndAStaleAnswerIsNotTaken) {
  // The host leaves its answer at area 1 offset 4.
  CHostAnswer answer;
  answer.result = 1;
  std::vector<BYTE> name(128, 0);
  HostPutText(name, 0, u"陌生人", 64);
  answer.area1.emplace_back(4, name);
  requests.QueueAnswer(u"sys/DefGroup", answer);
  EXPECT_EQ(proc.GetDefaultGroupName(64), u"陌生人");
  std::vector<BYTE> a1(136, 0), a2(4, 0);
  Put32(a1, 0, 64);
  Put32(a2, 0, 1);
  EXPECT_EQ(Only().area1.bytes, a1);
  EXPECT_EQ(Only().area2.bytes, a2);
  // A host that answers nothing leaves no name, whatever the area held.
  requests.SetHandler(u"sys/DefGroup", [](CHostPacket& p, LPARAM) {
    EXPECT_EQ(p.Area(1).bytes[4], 0);
    return 1;
  });
  EXPECT_EQ(proc.GetDefaultGroupName(256), u"");
  requests.Forget(u"sys/DefGroup");
  EXPECT_EQ(proc.GetDefaultGroupName(256), u"");
}

TEST_F(DataProcessorTest, DialogAnnouncementsAccountTypeAndGroupMobileWindow) {
  proc.RegisterDlg(0x1234, true);
  proc.RegisterDlg(0x1234, false);
  proc.RegisterDlg(0, true);  // no dialog: nothing
  ASSERT_EQ(requests.Log().size(), 2u);
  std::vector<BYTE> open(12, 0);
  Put32(open, 0, 0x1234);
  Put32(open, 8, 1);
  EXPECT_EQ(requests.Log()[0].name, u"sys/RigisterDlg");
  EXPECT_EQ(requests.Log()[0].area1.bytes, open);
  Put32(open, 8, 0);
  EXPECT_EQ(requests.Log()[1].area1.bytes, open);

  requests.ClearLog();
  requests.QueueAnswer(u"sys/AccountType", CHostAnswer{1, {}, {}});
  EXPECT_EQ(proc.GetAccountType(), 1);
  EXPECT_FALSE(Only().area1.present);
  requests.Forget(u"sys/AccountType");
  EXPECT_EQ(proc.GetAccountType(), 0);

  requests.ClearLog();
  requests.QueueAnswer(u"sys/Chat", CHostAnswer{0x4321, {}, {}});
  EXPECT_EQ(proc.OpenGroupMobileMsg(), 0x4321u);
  std::vector<BYTE> a1(4, 0), a2(276, 0);
  Put32(a1, 0, 4);
  Put32(a2, 0, 2);
  Put32(a2, 12, 1);
  Put32(a2, 16, 1);
  EXPECT_EQ(Only().area1.bytes, a1);
  EXPECT_EQ(Only().area2.bytes, a2);
  CQWFriendTree_DataProcessor bare;
  EXPECT_EQ(bare.OpenGroupMobileMsg(), 0u);
}

}  // namespace
