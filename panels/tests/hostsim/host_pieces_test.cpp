// The host's own pieces: message delivery, request recording and answers,
// the data objects and their fixture files.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <tuple>

#include "hostsim/host_data.h"
#include "hostsim/host_msg.h"
#include "hostsim/host_requests.h"
#include "platform/text.h"
#include "platform/xml.h"

namespace {

// A plug-in that records what it is told and may act during delivery.
class CProbe : public CQWBasePlugin {
 public:
  std::vector<UINT>* order = nullptr;
  int tag = 0;
  std::function<void()> onNotify;
  std::vector<std::tuple<UINT, WPARAM, LPARAM>> got;
  LRESULT OnNotify(UINT id, WPARAM w, LPARAM l) override {
    got.emplace_back(id, w, l);
    if (order) order->push_back(static_cast<UINT>(tag));
    if (onNotify) onNotify();
    return tag;
  }
};

TEST(HostMessages, DeliveredAtOnceToEveryRegisteredPluginInOrder) {
  CHostMsgManager m;
  std::vector<UINT> order;
  CProbe a, b, c;
  a.order = b.order = c.order = &order;
  a.tag = 1;
  b.tag = 2;
  c.tag = 3;
  m.RegisterMsg(100, &b);
  m.RegisterMsg(100, &a);
  m.RegisterMsg(100, &a);  // twice: still delivered once
  m.RegisterMsg(200, &c);
  m.SendMsg(100, 7, 8);
  EXPECT_EQ(order, (std::vector<UINT>{2, 1}));
  EXPECT_EQ(a.got.size(), 1u);
  EXPECT_EQ(std::get<1>(a.got[0]), 7u);
  EXPECT_TRUE(c.got.empty());
  m.UnRegisterMsg(100, &b);
  order.clear();
  m.SendMsg(100, 0, 0);
  EXPECT_EQ(order, (std::vector<UINT>{1}));
  m.SendMsg(999, 0, 0);  // nobody registered: nothing happens
}

TEST(HostMessages, APluginLeavingDuringDeliveryIsNotCalled) {
  CHostMsgManager m;
  CProbe a, b;
  a.onNotify = [&] { m.UnRegisterMsg(5, &b); };
  m.RegisterMsg(5, &a);
  m.RegisterMsg(5, &b);
  m.SendMsg(5, 0, 0);
  EXPECT_EQ(a.got.size(), 1u);
  EXPECT_TRUE(b.got.empty());
}

TEST(HostMessages, ObserverSeesPanelsNotTheHost) {
  CHostMsgManager m;
  std::vector<UINT> seen;
  m.SetObserver([&](UINT id, WPARAM, LPARAM) { seen.push_back(id); });
  CProbe a;
  m.RegisterMsg(1, &a);
  m.SendMsg(1, 0, 0);
  m.Deliver(2, 0, 0);
  EXPECT_EQ(seen, (std::vector<UINT>{1}));
  m.Forget(&a);
  EXPECT_FALSE(m.IsRegistered(1, &a));
}

TEST(HostRequests, RecordsBothAreasAsThePanelFilledThem) {
  CHostRequests r;
  CQWDataProcessor* p = r.GetProcessor(u"sys/Chat");
  ASSERT_NE(p, nullptr);
  auto packet = p->CreatePacket(u"sys/Chat");
  BYTE* a1 = packet->GetFirstArea();
  ASSERT_NE(a1, nullptr);
  EXPECT_EQ(packet->GetFirstSize(), 4u);
  a1[0] = 5;
  EXPECT_EQ(p->Process(u"sys/Chat", packet.get(), 0), 0);
  ASSERT_EQ(r.Log().size(), 1u);
  EXPECT_EQ(FormatRequest(r.Log()[0]), "request sys/Chat area1=05000000 area2=-");
}

TEST(HostRequests, ExplicitSizesAndTableSizes) {
  CHostRequests r;
  auto packet = r.GetProcessor(u"sys/OpenURL")->CreatePacket(u"sys/OpenURL");
  packet->GetFirstArea(6);
  EXPECT_EQ(packet->GetFirstSize(), 6u);
  packet->GetSecondArea();
  EXPECT_EQ(packet->GetSecondSize(), 4u);
  EXPECT_EQ(r.AreaSizes(u"sys/Msgbox"), (std::pair<DWORD, DWORD>{656, 4}));
  // Every offset the panels write fits the host's areas.
  EXPECT_GE(r.AreaSizes(u"sys/Chat").second, 148u + 128u);
  EXPECT_GE(r.AreaSizes(u"sys/EnterPriseParam").first, 256u + 128u);
  EXPECT_GE(r.AreaSizes(u"sys/QuitQun").second, 6571u);
}

TEST(HostRequests, UnknownNamesHaveNoProcessorAndAreNoted) {
  CHostRequests r;
  EXPECT_EQ(r.GetProcessor(u"sys/NoSuchThing"), nullptr);
  EXPECT_EQ(r.GetProcessor(nullptr), nullptr);
  ASSERT_EQ(r.Missing().size(), 1u);
  r.Forget(u"sys/Chat");
  EXPECT_EQ(r.GetProcessor(u"sys/Chat"), nullptr);
}

TEST(HostRequests, OneShotAnswersComeBeforeTheStandingOne) {
  CHostRequests r;
  CHostAnswer standing;
  standing.result = 9;
  standing.area1.push_back({256, {0x41, 0x00}});
  r.SetStandingAnswer(u"sys/EnterPriseParam", standing);
  CHostAnswer once;
  once.result = 1;
  r.QueueAnswer(u"sys/EnterPriseParam", once);
  auto* p = r.GetProcessor(u"sys/EnterPriseParam");
  auto first = p->CreatePacket(u"sys/EnterPriseParam");
  first->GetFirstArea();
  EXPECT_EQ(p->Process(u"sys/EnterPriseParam", first.get(), 0), 1);
  EXPECT_EQ(first->GetFirstArea()[256], 0);
  auto second = p->CreatePacket(u"sys/EnterPriseParam");
  second->GetFirstArea();
  EXPECT_EQ(p->Process(u"sys/EnterPriseParam", second.get(), 0), 9);
  EXPECT_EQ(second->GetFirstArea()[256], 0x41);
  // The log keeps the areas as sent, before the answer was written.
  EXPECT_EQ(r.Log()[1].area1.bytes[256], 0);
  EXPECT_EQ(r.Log()[1].result, 9);
}

TEST(HostRequests, HexForms) {
  std::vector<BYTE> b;
  EXPECT_TRUE(ParseHex("00ff 10", b));
  EXPECT_EQ(ToHex(b), "00ff10");
  EXPECT_FALSE(ParseHex("0", b));
  EXPECT_FALSE(ParseHex("0 0", b));
  EXPECT_FALSE(ParseHex("zz", b));
}

CHostRecord Friend(const std::u16string& id, int status) {
  CHostRecord r;
  r.id = id;
  r.name = id;
  r.status = status;
  return r;
}

TEST(HostData, TreeWalksAndWholeWalk) {
  CHostData d(u"MurFriendData", QWKIND_OWN);
  CHostRecord g;
  g.isGroup = true;
  g.name = u"组一";
  const QWPOS g1 = d.Add(0, g);
  const QWPOS f1 = d.Add(g1, Friend(u"a", QWSTATUS_ONLINE));
  const QWPOS f2 = d.Add(g1, Friend(u"b", QWSTATUS_OFFLINE));
  g.name = u"组二";
  const QWPOS g2 = d.Add(0, g);
  EXPECT_EQ(d.GetFirstPosition(), g1);
  EXPECT_EQ(d.GetNextPosition(g1), g2);
  EXPECT_EQ(d.GetPrevPosition(g2), g1);
  EXPECT_EQ(d.GetFirstChildPosition(g1), f1);
  EXPECT_EQ(d.GetNextPosition(f1), f2);
  EXPECT_EQ(d.GetNextPosition(f2), 0u);
  EXPECT_EQ(d.GetParentPosition(f2), g1);
  EXPECT_EQ(d.GetParentPosition(g1), 0u);
  EXPECT_EQ(d.GetTopCount(), 2);
  auto group = d.GetItem(g1);
  EXPECT_FALSE(group->IsFriend());
  EXPECT_EQ(group->GetMemberCount(), 2);
  EXPECT_EQ(group->GetOnlineCount(), 1);
  std::vector<QWPOS> walk;
  for (QWPOS pos = d.GetHeadPosition(); pos;) {
    walk.push_back(pos);
    ASSERT_NE(d.GetNextItem(pos), nullptr);
  }
  EXPECT_EQ(walk, (std::vector<QWPOS>{g1, f1, f2, g2}));
  EXPECT_EQ(d.GetItem(12345), nullptr);
}

TEST(HostData, LookUpsInsertsAndWriteBack) {
  CHostData d(u"MurFriendData", QWKIND_OWN);
  auto group = d.NewGroupItem(u"新组");
  const QWPOS g = d.InsertItem(0, 0, *group);
  const QWPOS f = d.InsertItem(g, 0, *d.NewItem());
  EXPECT_EQ(d.GetItem(f)->GetStatus(), QWSTATUS_OFFLINE);
  auto rec = d.GetItem(f);
  rec->SetName(u"改名");
  CQWFriendDetail detail;
  detail.remark = u"备注";
  rec->SetDetail(detail);
  ASSERT_TRUE(d.SetItem(f, *rec));
  CQWFriendDetail back;
  ASSERT_TRUE(d.GetItem(f)->GetDetail(back));
  EXPECT_EQ(back.remark, u"备注");
  EXPECT_FALSE(d.SetItem(999, *rec));
  const QWPOS a = d.Add(g, Friend(u"x@zq.com", QWSTATUS_BUSY));
  EXPECT_EQ(d.FindPosition(*d.CreateID(u"x@zq.com")), a);
  CQWDataSearch s;
  s.kind = QWKIND_OWN;
  s.key = u"x@zq.com";
  EXPECT_EQ(d.FindPosition(s), a);
  s.field = 2;
  EXPECT_EQ(d.FindPosition(s), 0u);
  d.Lock();
  d.Unlock();
  d.Unlock();  // an extra unlock does not underflow
  EXPECT_EQ(d.LockDepth(), 0);
  d.Reset();
  EXPECT_EQ(d.GetFirstPosition(), 0u);
}

TEST(HostData, GroupKeysUseTheWholePointerWidth) {
  CHostDataManager m;
  CQWData* qun = m.GetData(u"MurQunData");
  ASSERT_NE(qun, nullptr);
  const QWPOS key = qun->InsertItem(0, 0, *qun->NewGroupItem(u"群"));
  EXPECT_GT(key, 0xffffffffu);
  EXPECT_EQ(m.GetData(u"NoSuchData"), nullptr);
  EXPECT_EQ(m.GetData(nullptr), nullptr);
}

TEST(HostData, DemoFixtureHasWhatTheDemoNeeds) {
  CHostDataManager m;
  std::string error;
  ASSERT_TRUE(m.LoadFixture(u"" HOSTSIM_DATA_DIR "/contacts.xml", error)) << error;
  CHostData* friends = m.Get(u"MurFriendData");
  int groups = 0, people = 0, email = 0, mobile = 0, video = 0, remark = 0;
  std::set<int> statuses;
  for (QWPOS g : friends->Children(0)) {
    ++groups;
    for (QWPOS f : friends->Children(g)) {
      auto item = friends->GetItem(f);
      CQWFriendDetail d;
      item->GetDetail(d);
      if (item->GetDataKind() != QWKIND_OWN && item->GetDataKind() != QWKIND_STRANGER) continue;
      ++people;
      statuses.insert(item->GetStatus());
      email += !d.email.empty();
      mobile += d.mobile;
      video += d.video;
      remark += !d.remark.empty();
    }
  }
  EXPECT_GE(groups, 5);
  EXPECT_GE(people, 40);
  EXPECT_GE(statuses.size(), 4u);
  EXPECT_GT(email, 0);
  EXPECT_GT(mobile, 0);
  EXPECT_GT(video, 0);
  EXPECT_GT(remark, 0);
  CHostData* qun = m.Get(u"MurQunData");
  EXPECT_GE(qun->GetTopCount(), 3);
  const QWPOS first = qun->GetFirstPosition();
  auto record = qun->GetItem(first);
  ASSERT_EQ(record->GetRecordSize(), QW_QUN_RECORD_SIZE);
  EXPECT_EQ(HostGetText(record->GetRecord(), record->GetRecordSize(), qwqunfield::kGroupId, 64),
            u"10001");
  EXPECT_EQ(qun->GetRole(u"10001", u"zhangwei.yiwu@zq.com"), 4);
  auto member = qun->GetItem(qun->GetFirstChildPosition(first));
  EXPECT_TRUE(member->IsMember());
  EXPECT_EQ(HostGetText(member->GetRecord(), member->GetRecordSize(), qwqunfield::kMemUserId, 64),
            u"zhangwei.yiwu@zq.com");
  const auto& owner = m.OwnerRecord();
  EXPECT_EQ(HostGetText(owner.data(), owner.size(), qwownfield::kUserId, 64),
            u"zhangwei.yiwu@zq.com");
  EXPECT_EQ(HostGetU32(owner.data(), owner.size(), qwownfield::kMobileService), 1u);
  EXPECT_TRUE(m.Get(u"CSData")->CanBroadcast());
  EXPECT_TRUE(m.Get(u"AutoReplyData")->GetSwitch());
  EXPECT_NE(m.Get(u"AutoReplyData")->GetCurrentPosition(), 0u);
  EXPECT_GE(m.Get(u"OrgStructData")->GetTopCount(), 3);
}

TEST(HostData, BadFixturesAreRefusedWithAReason) {
  CHostDataManager m;
  std::string error;
  EXPECT_FALSE(m.LoadFixture(u"/nonexistent/contacts.xml", error));
  EXPECT_FALSE(error.empty());
  CXmlDocument doc;
  ASSERT_TRUE(doc.LoadText(u"<hostdata><bogus/></hostdata>"));
  EXPECT_FALSE(m.LoadFixtureNode(doc.Root(), error));
  EXPECT_NE(error.find("bogus"), std::string::npos);
  ASSERT_TRUE(doc.LoadText(u"<other/>"));
  EXPECT_FALSE(m.LoadFixtureNode(doc.Root(), error));
}

TEST(HostData, ReloadingKeepsTheObjectsPanelsHold) {
  CHostDataManager m;
  CQWData* before = m.GetData(u"MurFriendData");
  CXmlDocument doc;
  ASSERT_TRUE(
      doc.LoadText(u"<hostdata><data key=\"MurFriendData\"><group name=\"g\"/></data></hostdata>"));
  std::string error;
  ASSERT_TRUE(m.LoadFixtureNode(doc.Root(), error)) << error;
  EXPECT_EQ(m.GetData(u"MurFriendData"), before);
  EXPECT_EQ(before->GetTopCount(), 1);
}

TEST(HostData, FixturesCarryPhotosDepartmentsAutoRepliesAndRecordBytes) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("hostsim-fixture-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "me.bmp", std::ios::binary) << "BM1234";
  std::ofstream(dir / "f.xml")
      << "<hostdata><owner id='me@x' name='Me' photo='me.bmp' record='4:0900'/>"
         "<data key='OrgStructData'><member id='m1' name='M' dept='总部\\销售部'/></data>"
         "<data key='AutoReplyData'><entry text='开会中'/><entry text='外出'/></data>"
         "<data key='CSData'><friend id='c1' name='C' size='8' record='2:ab 6:cdef'/>"
         "</data></hostdata>";
  CHostDataManager m;
  std::string error;
  ASSERT_TRUE(m.LoadFixture(FromUtf8((dir / "f.xml").string()), error)) << error;
  std::filesystem::remove_all(dir);

  const std::vector<BYTE>& own = m.OwnerRecord();
  ASSERT_EQ(own.size(), QW_OWNINFO_SIZE);
  EXPECT_EQ(HostGetU32(own.data(), own.size(), qwownfield::kValue), 9u);
  EXPECT_EQ(HostGetU32(own.data(), own.size(), qwownfield::kPhotoSize), 6u);
  const BYTE* photo = nullptr;
  std::memcpy(&photo, own.data() + qwownfield::kPhotoData, sizeof photo);
  ASSERT_NE(photo, nullptr);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(photo), 6), "BM1234");

  CHostData* org = m.Get(u"OrgStructData");
  CQWFriendDetail detail;
  ASSERT_TRUE(org->GetItem(org->FindById(u"m1"))->GetDetail(detail));
  EXPECT_EQ(detail.deptPath, u"总部\\销售部");
  EXPECT_EQ(org->GetItem(org->FindById(u"m1"))->GetDataKind(), QWKIND_ORG);

  CHostData* replies = m.Get(u"AutoReplyData");
  ASSERT_EQ(replies->GetTopCount(), 2);
  EXPECT_EQ(replies->GetItem(replies->GetNextPosition(replies->GetFirstPosition()))->GetName(),
            u"外出");

  CHostData* cs = m.Get(u"CSData");
  auto item = cs->GetItem(cs->FindById(u"c1"));
  ASSERT_EQ(item->GetRecordSize(), 8u);
  EXPECT_EQ(std::vector<BYTE>(item->GetRecord(), item->GetRecord() + 8),
            (std::vector<BYTE>{0, 0, 0xab, 0, 0, 0, 0xcd, 0xef}));
}

TEST(HostData, BadRecordBytesAndMissingPhotosAreRefused) {
  CHostDataManager m;
  std::string error;
  CXmlDocument doc;
  ASSERT_TRUE(doc.LoadText(
      u"<hostdata><data key='CSData'><friend id='c' record='2:zz'/></data></hostdata>"));
  EXPECT_FALSE(m.LoadFixtureNode(doc.Root(), error));
  EXPECT_NE(error.find("2:zz"), std::string::npos);
  ASSERT_TRUE(
      doc.LoadText(u"<hostdata><data key='CSData'><friend id='c' record='ab'/></data></hostdata>"));
  EXPECT_FALSE(m.LoadFixtureNode(doc.Root(), error));
  ASSERT_TRUE(
      doc.LoadText(u"<hostdata><data key='CSData'><friend id='c' size='-1'/></data></hostdata>"));
  EXPECT_FALSE(m.LoadFixtureNode(doc.Root(), error));
  ASSERT_TRUE(doc.LoadText(u"<hostdata><owner id='a' photo='/nonexistent/p.bmp'/></hostdata>"));
  EXPECT_FALSE(m.LoadFixtureNode(doc.Root(), error));
  EXPECT_NE(error.find("photo"), std::string::npos);
}

}  // namespace
