// The friend tree plug-in in a host: its registrations, its window and the
// notifications it hands to the tree.
#include "ftree_fixture.h"

#include "host/treeui/yrfriendtree.h"

namespace {

// "+1405", "send 3216": appended rather than prepended, which g++ 12 at -O3
// takes for an overlapping copy (-Wrestrict).
std::string Call(const char* what, UINT id) {
  std::string call = what;
  call += std::to_string(id);
  return call;
}

// Records the message manager calls in the order they come.
class RecordingMsgManager : public CQWMsgManager {
 public:
  void RegisterMsg(UINT id, CQWBasePlugin*) override { calls.push_back(Call("+", id)); }
  void UnRegisterMsg(UINT id, CQWBasePlugin*) override { calls.push_back(Call("-", id)); }
  LRESULT SendMsg(UINT id, WPARAM, LPARAM) override {
    calls.push_back(Call("send ", id));
    return 0;
  }
  std::vector<std::string> calls;
};

const std::vector<UINT> kIds = {1335, 1345, 1355, 1365, 1375, 1385, 1405, 3104, 3076, 3138,
                                3140, 1476, 3155, 3147, 3151, 3208, 3217, 3219, 3407};

TEST(PluginFTree, RegistersAndUnregistersInListOrder) {
  RecordingMsgManager mgr;
  {
    CPluginFTree plugin;
    CQWPluginCaller::RegisterMsg(&plugin);  // no manager yet: nothing
    plugin.SetMsgManager(&mgr);
    CQWPluginCaller::RegisterMsg(&plugin);
  }  // the destructor unregisters
  std::vector<std::string> expect;
  for (UINT id : kIds) expect.push_back(Call("+", id));
  for (UINT id : kIds) expect.push_back(Call("-", id));
  EXPECT_EQ(mgr.calls, expect);
}

class PluginInHost : public FTreeFixture {};

TEST_F(PluginInHost, CreatesTheTreeWindowOnceAndAppliesTheLayout) {
  attrs = {{u"default_group", u"我的好友"}, {u"GroupColor", u"RGB(10,20,30)"}};
  const QWPOS mine = AddGroup(u"我的好友");
  const QWPOS f = AddFriend(mine, u"f@zq.com", u"好友");
  Start();
  HWND wnd = plugin->GetPluginWnd();
  ASSERT_TRUE(IsWindow(wnd));
  EXPECT_EQ(wnd, Tree().GetSafeHwnd());
  EXPECT_EQ(GetDlgCtrlID(wnd), 100);
  EXPECT_EQ(GetParent(wnd), session.MainWindow());
  EXPECT_EQ(CYRFriendTree::TEXTCLR_GROUP, RGB(10, 20, 30));
  // Created again under the same parent: the window is kept.
  const RECT rc{0, 0, 200, 300};
  EXPECT_FALSE(plugin->CreatePlugin(session.MainWindow(), &rc));
  EXPECT_EQ(plugin->GetPluginWnd(), wnd);
  Load();
  // The layout's default group is the one opened after the build.
  EXPECT_TRUE(Expanded(mine));
  EXPECT_NE(Item(f), nullptr);
  CQWFriendTreeCtrl::SetChatFriendsGroupName(u"");
  EXPECT_EQ(CQWFriendTreeCtrl::GetChatFriendsGroupName(), u"聊天好友");
}

TEST_F(PluginInHost, ShowingSendsTheSearchScopePair) {
  Start();
  const auto before = session.Notices().size();
  plugin->ShowPlugin(TRUE);
  plugin->ShowPlugin(TRUE);
  std::vector<UINT> sent;
  for (std::size_t i = before; i < session.Notices().size(); ++i)
    sent.push_back(session.Notices()[i].id);
  EXPECT_EQ(sent, (std::vector<UINT>{3218, 3216, 3218, 3216}));
}

TEST_F(PluginInHost, LibraryPanelBuildsAndComesForward) {
  const QWPOS chat = AddGroup(u"聊天好友");
  AddFriend(chat, u"c@zq.com", u"丙");
  ASSERT_TRUE(session.LoadLibrary());
  CHostPanel* panel = session.AddPanel(u"PluginFTree", u"ftree", RECT{0, 0, 320, 400});
  ASSERT_NE(panel, nullptr);
  for (UINT id : kIds) EXPECT_TRUE(session.Messages().IsRegistered(id, panel->plugin)) << id;
  session.Notify(3076, reinterpret_cast<WPARAM>(owner.data()), 0);
  session.Notify(1405);
  AdvanceClock(CQWFriendTreeCtrl::kLoadDelayMs);
  const auto dump = session.DumpPanel(u"ftree");
  std::string all;
  for (const auto& line : dump) all += line + "\n";
  EXPECT_NE(all.find(ToUtf8(u"聊天好友(1/1)")), std::string::npos) << all;
  EXPECT_NE(all.find(ToUtf8(u"丙")), std::string::npos) << all;
  // Asked to come forward, the panel finds itself in the container by name.
  panel->plugin->SetAttrText(*panel->plugin->GetAttr(0), u"ftree");
  session.Notify(3140, 0, 0);
  bool shown = false;
  for (const auto& line : session.Transcript()) shown = shown || line == "container show ftree 1";
  EXPECT_TRUE(shown);
  session.FreeAllPanels();
}

}  // namespace
