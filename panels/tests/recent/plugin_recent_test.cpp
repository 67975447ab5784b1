// The plug-in: registration, creation, showing, attributes, the base colour,
// and what its end leaves alone.
#include <filesystem>

#include "host/basekit/log.h"
#include "host/skinctl/colorconverter.h"
#include "recent_fixture.h"

namespace {

using RecentPlugin = RecentFixture;

TEST_F(RecentPlugin, RegistersTheStoresNotificationsInOrder) {
  Start();
  const std::vector<UINT> ids = {4164, 1365, 3175, 1385, 1335, 3177, 3104, 3076, 3138, 1476, 1478};
  for (UINT id : ids) EXPECT_TRUE(session.Messages().IsRegistered(id, plugin.get())) << id;
  std::vector<UINT> listed;
  Store().GetRegisterMessages(listed);
  EXPECT_EQ(listed, ids);
  CQWPluginCaller::UnRegisterMsg(plugin.get());
  for (UINT id : ids) EXPECT_FALSE(session.Messages().IsRegistered(id, plugin.get())) << id;
}

TEST_F(RecentPlugin, CreatesTheTreeAndMovesItTheSecondTime) {
  Start();
  const HWND tree = Tree().GetSafeHwnd();
  ASSERT_NE(tree, 0u);
  EXPECT_EQ(plugin->GetPluginWnd(), tree);
  EXPECT_EQ(GetDlgCtrlID(tree), 500);
  EXPECT_EQ(GetParent(tree), session.MainWindow());
  const RECT moved{10, 20, 210, 320};
  EXPECT_TRUE(plugin->CreatePlugin(session.MainWindow(), &moved));
  EXPECT_EQ(Tree().GetSafeHwnd(), tree);
  RECT rc{};
  GetWindowRect(tree, &rc);
  EXPECT_EQ(rc.right - rc.left, 200);
  EXPECT_EQ(rc.bottom - rc.top, 300);
  EXPECT_EQ(Tree().GetImageFile(), u"work\\bmp\\FriendIcon.png");
}

TEST_F(RecentPlugin, ShowingAsksForTheSearchScopeThenTheSearchBox) {
  Start();
  ASSERT_GE(session.Notices().size(), 2u);
  const auto& n = session.Notices();
  EXPECT_EQ(n[n.size() - 2].id, 3216u);
  EXPECT_EQ(n[n.size() - 2].wparam, 9u);
  EXPECT_EQ(n[n.size() - 2].lparam, 1);
  EXPECT_EQ(n.back().id, 3218u);
  EXPECT_EQ(n.back().wparam, 0u);
  const std::size_t count = n.size();
  plugin->ShowPlugin(FALSE);
  EXPECT_EQ(session.Notices().size(), count) << "hiding sends nothing";
}

TEST_F(RecentPlugin, TheIconFileAttribute) {
  plugin = std::make_unique<CPluginRecentContact>();
  const PLUGIN_ATTR* icon = nullptr;
  for (int i = 0; i < plugin->GetAttrCount(); ++i) {
    if (std::u16string(plugin->GetAttr(i)->szKey) == u"IconFile") icon = plugin->GetAttr(i);
  }
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon, plugin->GetAttr(plugin->GetAttrCount() - 1)) << "after the bases' attributes";
  EXPECT_EQ(icon->nType, ATTR_TEXT);
  EXPECT_EQ(std::u16string(icon->szCaption), u"图标文件");
  EXPECT_EQ(plugin->GetAttrText(*icon), u"FriendIcon.png");
  EXPECT_STREQ(reinterpret_cast<const char*>(plugin->GetPluginType()),
               reinterpret_cast<const char*>(u"PluginRecentTree"));
}

TEST_F(RecentPlugin, TheBaseColourTintsTheTreeBackground) {
  Start();
  plugin->SetBaseColor(RGB(200, 40, 40));
  EXPECT_EQ(Tree().GetBkColor(), CColorConverter::GetColor(RGB(200, 40, 40), RGB(255, 255, 255)));
  plugin->SetBaseColor(RGB(30, 90, 200));
  EXPECT_EQ(Tree().GetBkColor(), CColorConverter::GetColor(RGB(30, 90, 200), RGB(255, 255, 255)));
}

TEST_F(RecentPlugin, ItsEndLeavesTheSharedLogOpen) {
  const std::filesystem::path log =
      std::filesystem::temp_directory_path() / ("rc_" + ToUtf8(tag) + ".log");
  made.push_back(log);
  ASSERT_TRUE(CGlobalLog::SetLogNameT(FromUtf8(log.string()).c_str()));
  StartAndLogon();
  plugin.reset();
  EXPECT_TRUE(CGlobalLog::IsOpen());
  CGlobalLog::LogT(u"after", 100);
  CGlobalLog::CloseGlobalLogT();
  std::ifstream in(log);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("[101] CRecentContactFriendDataMgr::OnGetOwnerInfo()"), std::string::npos);
  EXPECT_NE(text.find("[100] CPluginRecentContact::OnNotify()"), std::string::npos);
  EXPECT_NE(text.find("OnLogonStatus 1, ACC_TYPE:0  STATUS:2 \r\n"), std::string::npos);
  EXPECT_NE(text.find("after"), std::string::npos);
}

}  // namespace
