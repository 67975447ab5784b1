// Every plug-in the library makes goes through the host's whole calling
// order: setters, layout attributes, notifications, window, moves, shows,
// hides, notifications, unregistering and FreePlugin.
#include <gtest/gtest.h>

#include <string>

#include "host/plughost.h"
#include "hostsim/host_session.h"
#include "platform/gdi.h"
#include "platform/message.h"
#include "platform/text.h"

namespace {

const char* const kPluginNames[] = {
    "PluginBtnQunCreator", "PluginBtnQunFinder", "PluginWndQunCreator", "PluginLogon",
    "PluginOwnPhoto",      "PluginOwnSetup",     "PluginFTree",         "PluginQTree",
    "PluginMenu",          "PluginAddFriend",    "PluginBtnColor",      "PluginRecentTree",
    "PluginSkin",          "PluginResize",       "PluginFind",          "PluginMucEntry",
    "PluginHistory",       "PluginSysSetup",
};

// Notifications the panels listen to, sent with harmless arguments.
const UINT kNotifications[] = {3,    1302, 1335, 1345, 1355, 1365, 1375, 1385,  1404, 1405,
                               1476, 1477, 1478, 1530, 2148, 3103, 3139, 3147,  3151, 3155,
                               3175, 3177, 3195, 3216, 3218, 3219, 3225, 14440, 14460};

class EveryPlugin : public ::testing::TestWithParam<const char*> {};

TEST_P(EveryPlugin, GoesThroughTheHostsCallingOrder) {
  CHostSession host;
  ASSERT_TRUE(host.LoadLibrary()) << host.LastError();
  const std::u16string type = FromUtf8(GetParam());
  // A layout node with the attributes every panel has, and one child element.
  CXmlDocument layout;
  ASSERT_TRUE(
      layout.LoadText(u"<panel name=\"p\" visible=\"1\" backcolor=\"#f0f0f0\" corner=\"6\">"
                      u"<child value=\"1\"/></panel>"));
  const RECT rc{10, 20, 210, 320};
  CHostPanel* panel = host.AddPanel(type, u"p", rc, layout.Root());
  ASSERT_NE(panel, nullptr) << host.LastError();
  CQWBasePlugin* plugin = panel->plugin;
  EXPECT_EQ(std::u16string(plugin->GetPluginType()), type);
  EXPECT_EQ(std::u16string(plugin->GetPluginName()), u"p");

  // Its window exists, sits where the host put it, and follows moves.
  HWND wnd = plugin->GetPluginWnd();
  ASSERT_TRUE(IsWindow(wnd));
  RECT wr;
  GetWindowRect(wnd, &wr);
  EXPECT_EQ(wr.right - wr.left, 200);
  EXPECT_EQ(wr.bottom - wr.top, 300);
  EXPECT_TRUE(plugin->MovePlugin(RECT{0, 0, 120, 90}));
  GetWindowRect(wnd, &wr);
  EXPECT_EQ(wr.right - wr.left, 120);

  plugin->HidePlugin();
  EXPECT_FALSE(plugin->IsVisible());
  plugin->ShowPlugin(TRUE);
  EXPECT_TRUE(plugin->IsVisible());
  plugin->SetBaseColor(RGB(200, 220, 255));
  HDC dc = GetDC(host.MainWindow());
  plugin->DrawPlugin(dc, RECT{0, 0, 50, 50});
  ReleaseDC(host.MainWindow(), dc);

  for (UINT id : kNotifications) host.Notify(id, 0, 0);
  host.Notify(3104, reinterpret_cast<WPARAM>(u"work"), 0);
  host.Notify(3076, reinterpret_cast<WPARAM>(host.Data().OwnerRecord().data()), 0);

  // A second CreatePlugin under another parent keeps the window.
  plugin->CreatePlugin(host.MainWindow(), &rc);
  EXPECT_EQ(plugin->GetPluginWnd(), wnd);

  RECT minimum = plugin->GetMinRect();
  EXPECT_GE(minimum.right, 0);

  host.FreePanel(u"p");
  EXPECT_FALSE(IsWindow(wnd));
  for (UINT id : kNotifications) EXPECT_FALSE(host.Messages().IsRegistered(id, plugin)) << id;
  EXPECT_TRUE(host.Messages().Registered(3104).empty());
}

INSTANTIATE_TEST_SUITE_P(AllEighteen, EveryPlugin, ::testing::ValuesIn(kPluginNames),
                         [](const auto& info) { return std::string(info.param); });

TEST(PluginAttributes, BasesComeFirstAndArraysAreSharedPerClass) {
  CHostSession host;
  ASSERT_TRUE(host.LoadLibrary()) << host.LastError();
  CQWBasePlugin* a = host.GetPlugin(u"PluginFTree");
  CQWBasePlugin* b = host.GetPlugin(u"PluginFTree");
  ASSERT_TRUE(a && b);
  // Built once per class: both instances hand out the same entries.
  EXPECT_EQ(a->GetAttr(0), b->GetAttr(0));
  std::vector<std::u16string> keys;
  for (int i = 0; i < a->GetAttrCount(); ++i) keys.emplace_back(a->GetAttr(i)->szKey);
  const std::vector<std::u16string> expected = {
      u"name",         u"visible",       u"backcolor",   u"backimage",
      u"transparent",  u"transcolor",    u"bordercolor", u"corner",
      u"usebasecolor", u"default_group", u"FriendColor", u"GroupColor",
      u"GuideColor",   u"UseMoible",     u"IconFile",    u"BigIconFile"};
  EXPECT_EQ(keys, expected);
  const PLUGIN_ATTR* useBase = a->GetAttr(8);
  EXPECT_EQ(useBase->nType, ATTR_BOOL);
  EXPECT_EQ(std::u16string(useBase->szCaption), u"使用基色");
  EXPECT_EQ(a->GetAttrText(*useBase), u"0");
  EXPECT_EQ(a->GetAttrText(*a->GetAttr(9)), u"聊天好友");
  EXPECT_EQ(a->GetAttrText(*a->GetAttr(11)), u"#012352");
  host.FreePlugin(a);
  host.FreePlugin(b);
}

TEST(PluginAttributes, MinimumSizesOfTheBases) {
  CHostSession host;
  ASSERT_TRUE(host.LoadLibrary()) << host.LastError();
  struct Case {
    const char16_t* name;
    LONG width, height;
  } cases[] = {{u"PluginFTree", 60, 100},       {u"PluginQTree", 60, 100},
               {u"PluginBtnQunFinder", 30, 20}, {u"PluginWndQunCreator", 60, 200},
               {u"PluginLogon", 150, 300},      {u"PluginOwnSetup", 16, 16}};
  for (const Case& c : cases) {
    CQWBasePlugin* p = host.GetPlugin(c.name);
    ASSERT_NE(p, nullptr);
    const RECT r = p->GetMinRect();
    EXPECT_EQ(r.right, c.width) << ToUtf8(c.name);
    EXPECT_EQ(r.bottom, c.height) << ToUtf8(c.name);
    host.FreePlugin(p);
  }
}

}  // namespace
