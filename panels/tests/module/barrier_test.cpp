// No exception crosses a plug-in boundary: a panel that throws from any slot
// of the plug-in interface answers the slot's failure result, the escape is
// reported (the library logs it to the global log), and the host goes on.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/basekit/log.h"
#include "host/plughost.h"
#include "hostsim/host_session.h"
#include "module/plugin_guard.h"
#include "platform/barrier.h"
#include "platform/gdi.h"
#include "platform/message.h"
#include "platform/text.h"

namespace {

std::vector<std::u16string> g_escapes;
void Record(const char16_t* where, const char*) { g_escapes.emplace_back(where); }

// Throws from the one slot named in `throwIn`; every other slot is the
// base's.
class CThrowingPanel : public CQWBaseWndPlugin {
 public:
  std::string throwIn;

#define THROWING_SLOT(Result, Name, Params, Args)          \
  Result Name Params override {                            \
    if (throwIn == #Name) throw std::runtime_error(#Name); \
    return CQWBaseWndPlugin::Name Args;                    \
  }
  THROWING_SLOT(RECT, GetMinRect, (), ())
  THROWING_SLOT(BOOL, IsVisible, (), ())
  THROWING_SLOT(void, SetDataProcessMgr, (CQWDataProcessorManager * m), (m))
  THROWING_SLOT(const char16_t*, GetPluginName, (), ())
  THROWING_SLOT(void, SetContainer, (CQWContainer * c), (c))
  THROWING_SLOT(CQWContainer*, GetContainer, (), ())
  THROWING_SLOT(BOOL, EnablePlugin, (BOOL b), (b))
  THROWING_SLOT(BOOL, ShowPlugin, (BOOL b), (b))
  THROWING_SLOT(void, SetPluginManager, (CQWPluginManager * m), (m))
  THROWING_SLOT(void, SetMsgManager, (CQWMsgManager * m), (m))
  THROWING_SLOT(BOOL, MovePlugin, (const RECT& rc), (rc))
  THROWING_SLOT(BOOL, LoadInfo, (const CXmlNode& n), (n))
  THROWING_SLOT(LRESULT, OnNotify, (UINT id, WPARAM w, LPARAM l), (id, w, l))
  THROWING_SLOT(void, SetDataManager, (CQWDataManager * m), (m))
  THROWING_SLOT(void, SetBaseColor, (COLORREF c), (c))
  THROWING_SLOT(BOOL, DrawPlugin, (HDC dc, const RECT& rc), (dc, rc))
  THROWING_SLOT(void, SetWorkDir, (const char16_t* d), (d))
  THROWING_SLOT(BOOL, SaveInfo, (const CXmlNode& n), (n))
  THROWING_SLOT(const ATTR_ENUM*, GetAttrEnumInfo, (int i), (i))
  THROWING_SLOT(int, GetAttrEnumCount, (), ())
  THROWING_SLOT(const PLUGIN_ATTR*, GetAttr, (int i), (i))
  THROWING_SLOT(int, GetAttrCount, (), ())
  THROWING_SLOT(const char16_t*, GetPluginType, (), ())
  THROWING_SLOT(BOOL, HidePlugin, (), ())

  BOOL CreatePlugin(HWND parent, const RECT* rc) override {
    if (throwIn == "CreatePlugin") throw std::runtime_error("CreatePlugin");
    return CreatePanelWindow(u"Barrier_Test_Panel", parent, rc, 7);
  }

 protected:
  THROWING_SLOT(const CQWAttrArray&, GetAttrArray, (), ())
  THROWING_SLOT(const CQWEnumAttrMap&, GetEnumAttrMap, (), ())
  THROWING_SLOT(void, UnRegisterMsg, (), ())
  THROWING_SLOT(void, RegisterMsg, (), ())
  THROWING_SLOT(BOOL, LoadChildNode, (const CXmlNode& n), (n))
  THROWING_SLOT(BOOL, SaveChildNode, (const CXmlNode& n), (n))
  THROWING_SLOT(void, UpdateWithBaseColor, (COLORREF c), (c))
#undef THROWING_SLOT
};

class PluginBarrier : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = platform::SetEscapeReporter(Record);
    g_escapes.clear();
    ASSERT_TRUE(layout_.LoadText(u"<panel name=\"p\"><child/></panel>"));
    parent_ = CreateWindowExW(0, u"STATIC", u"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 300, 0, 0,
                              nullptr, nullptr);
  }
  void TearDown() override {
    DestroyWindow(parent_);
    platform::SetEscapeReporter(previous_);
  }
  // Makes the panel throw in `slot`, runs `call` as the host would, and
  // checks that exactly that slot's escape was caught.
  template <class F>
  void Expect(const char16_t* slot, F call) {
    g_escapes.clear();
    panel_.throwIn = ToUtf8(slot);
    call();
    panel_.throwIn.clear();
    EXPECT_EQ(g_escapes, std::vector<std::u16string>{slot}) << ToUtf8(slot);
  }

  platform::EscapeReporter previous_ = nullptr;
  CXmlDocument layout_;
  HWND parent_ = 0;
  CQWGuardedPlugin<CThrowingPanel> panel_;
  CQWBasePlugin* host_ = &panel_;  // what the host holds
};

TEST_F(PluginBarrier, EveryPublicSlotAnswersItsFailureResult) {
  const RECT rc{0, 0, 50, 40};
  Expect(u"GetMinRect", [&] {
    RECT r = host_->GetMinRect();
    EXPECT_EQ(r.right, 0);
    EXPECT_EQ(r.bottom, 0);
  });
  Expect(u"IsVisible", [&] { EXPECT_FALSE(host_->IsVisible()); });
  Expect(u"SetDataProcessMgr", [&] { host_->SetDataProcessMgr(nullptr); });
  Expect(u"GetPluginName", [&] { EXPECT_EQ(std::u16string(host_->GetPluginName()), u""); });
  Expect(u"SetContainer", [&] { host_->SetContainer(nullptr); });
  Expect(u"GetContainer", [&] { EXPECT_EQ(host_->GetContainer(), nullptr); });
  Expect(u"EnablePlugin", [&] { EXPECT_FALSE(host_->EnablePlugin(TRUE)); });
  Expect(u"ShowPlugin", [&] { EXPECT_FALSE(host_->ShowPlugin(TRUE)); });
  Expect(u"SetPluginManager", [&] { host_->SetPluginManager(nullptr); });
  Expect(u"SetMsgManager", [&] { host_->SetMsgManager(nullptr); });
  Expect(u"SetDataManager", [&] { host_->SetDataManager(nullptr); });
  Expect(u"SetWorkDir", [&] { host_->SetWorkDir(u"work"); });
  Expect(u"LoadInfo", [&] { EXPECT_FALSE(host_->LoadInfo(layout_.Root())); });
  Expect(u"CreatePlugin", [&] { EXPECT_FALSE(host_->CreatePlugin(parent_, &rc)); });
  EXPECT_EQ(host_->GetPluginWnd(), 0u);
  Expect(u"MovePlugin", [&] { EXPECT_FALSE(host_->MovePlugin(rc)); });
  Expect(u"OnNotify", [&] { EXPECT_EQ(host_->OnNotify(1405, 1, 2), 0); });
  Expect(u"SetBaseColor", [&] { host_->SetBaseColor(RGB(1, 2, 3)); });
  Expect(u"DrawPlugin", [&] { EXPECT_FALSE(host_->DrawPlugin(0, rc)); });
  Expect(u"SaveInfo", [&] { EXPECT_FALSE(host_->SaveInfo(layout_.Root())); });
  Expect(u"GetAttrEnumInfo", [&] { EXPECT_EQ(host_->GetAttrEnumInfo(0), nullptr); });
  Expect(u"GetAttrEnumCount", [&] { EXPECT_EQ(host_->GetAttrEnumCount(), 0); });
  Expect(u"GetAttr", [&] { EXPECT_EQ(host_->GetAttr(0), nullptr); });
  Expect(u"GetAttrCount", [&] { EXPECT_EQ(host_->GetAttrCount(), 0); });
  Expect(u"GetPluginType", [&] { EXPECT_EQ(std::u16string(host_->GetPluginType()), u""); });
  Expect(u"HidePlugin", [&] { EXPECT_FALSE(host_->HidePlugin()); });

  // Nothing stuck: every slot works again once the panel stops throwing.
  g_escapes.clear();
  EXPECT_TRUE(host_->LoadInfo(layout_.Root()));
  EXPECT_EQ(std::u16string(host_->GetPluginName()), u"p");
  EXPECT_TRUE(host_->CreatePlugin(parent_, &rc));
  EXPECT_TRUE(IsWindow(host_->GetPluginWnd()));
  EXPECT_TRUE(host_->MovePlugin(RECT{1, 1, 30, 30}));
  EXPECT_GT(host_->GetAttrCount(), 0);
  EXPECT_TRUE(g_escapes.empty());
}

TEST_F(PluginBarrier, ProtectedStepsAreCaughtWhereTheyAreCalled) {
  // The calling order's protected steps, reached as the host reaches them.
  Expect(u"RegisterMsg", [&] { CQWPluginCaller::RegisterMsg(host_); });
  Expect(u"UnRegisterMsg", [&] { CQWPluginCaller::UnRegisterMsg(host_); });
  Expect(u"GetAttrArray", [&] { EXPECT_TRUE(CQWPluginCaller::Attrs(host_).empty()); });
  // Steps a slot runs inside: the slot itself carries on.
  Expect(u"LoadChildNode", [&] { EXPECT_TRUE(host_->LoadInfo(layout_.Root())); });
  Expect(u"SaveChildNode", [&] { EXPECT_TRUE(host_->SaveInfo(layout_.Root())); });
  Expect(u"GetEnumAttrMap", [&] { EXPECT_EQ(host_->GetAttrEnumCount(), 0); });
  Expect(u"UpdateWithBaseColor", [&] { host_->SetBaseColor(RGB(1, 2, 3)); });
  EXPECT_EQ(std::u16string(host_->GetPluginName()), u"p");
}

TEST_F(PluginBarrier, PaintingThatThrowsLeavesTheMessageLoopRunning) {
  const RECT rc{0, 0, 50, 40};
  ASSERT_TRUE(host_->CreatePlugin(parent_, &rc));
  HWND wnd = host_->GetPluginWnd();
  // The panel's window paints through DrawPlugin: the throw stops there.
  Expect(u"DrawPlugin", [&] {
    InvalidateRect(wnd, nullptr, TRUE);
    UpdateWindow(wnd);
  });
  // The unfinished paint is simply asked for again, and now succeeds.
  g_escapes.clear();
  PostMessageW(wnd, WM_NULL, 0, 0);
  EXPECT_GE(PumpMessages(), 1u);
  EXPECT_EQ(PendingMessageCount(), 0u);
  EXPECT_TRUE(g_escapes.empty());
  EXPECT_TRUE(IsWindow(wnd));
}

// The loaded library: a real panel whose host manager throws while the panel
// registers its notifications. The library's barrier logs the escape to the
// global log and the host carries on with the panel.
class ThrowingMsgManager : public CQWMsgManager {
 public:
  void RegisterMsg(UINT, CQWBasePlugin*) override { throw std::runtime_error("no room"); }
  void UnRegisterMsg(UINT, CQWBasePlugin*) override {}
  LRESULT SendMsg(UINT, WPARAM, LPARAM) override { return 0; }
};

TEST(LoadedLibraryBarrier, EscapesAreLoggedAndThePanelLivesOn) {
  std::string name = "barrier-log-";
  name += std::to_string(::getpid());
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / name;
  std::filesystem::create_directories(dir);
  const std::u16string logPath = FromUtf8((dir / "escapes.log").string());
  ASSERT_TRUE(CGlobalLog::SetLogNameT(logPath.c_str()));
  {
    CHostSession host;
    ASSERT_TRUE(host.LoadLibrary()) << host.LastError();
    CHostPanel* panel = host.AddPanel(u"PluginAddFriend", u"add", RECT{0, 0, 60, 24});
    ASSERT_NE(panel, nullptr) << host.LastError();
    ThrowingMsgManager throwing;
    panel->plugin->SetMsgManager(&throwing);
    CQWPluginCaller::RegisterMsg(panel->plugin);
    panel->plugin->SetMsgManager(&host.Messages());
    // The host goes on: the panel still answers and is freed as usual.
    EXPECT_TRUE(panel->plugin->ShowPlugin(TRUE));
    host.Notify(3139, 5, 0);
    host.FreePanel(u"add");
  }
  CGlobalLog::CloseGlobalLogT();
  std::ifstream in(dir / "escapes.log");
  const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(log.find("exception caught in RegisterMsg: no room"), std::string::npos) << log;
  std::filesystem::remove_all(dir);
}

}  // namespace
