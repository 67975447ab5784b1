// The library as a host sees it: loaded with the module loader, asked for
// plug-ins by name, given them back, unloaded.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "host/plughost.h"
#include "module/plugin_registry.h"
#include "platform/module.h"
#include "platform/text.h"

namespace {

using GetPluginFn = CQWBasePlugin* (*)(const char16_t*);
using FreePluginFn = void (*)(CQWBasePlugin*);

// Records every plug-in that ends, in order.
struct EndLog {
  std::vector<const CQWBasePlugin*> plugins;
  std::vector<std::u16string> types;
};

void RecordEnd(const CQWBasePlugin* p, const char16_t* type, void* context) {
  auto* log = static_cast<EndLog*>(context);
  log->plugins.push_back(p);
  log->types.emplace_back(type);
}

class LoadedLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    QWSetPluginEndHook(RecordEnd, &ended_);
    module_ = LoadLibraryW(FromUtf8(LIST_LIBRARY_PATH).c_str());
    ASSERT_NE(module_, nullptr) << GetLoaderErrorText();
    using Generic = void (*)();
    get_ = reinterpret_cast<GetPluginFn>(
        reinterpret_cast<Generic>(GetProcAddress(module_, "GetPlugin")));
    free_ = reinterpret_cast<FreePluginFn>(
        reinterpret_cast<Generic>(GetProcAddress(module_, "FreePlugin")));
    ASSERT_NE(get_, nullptr);
    ASSERT_NE(free_, nullptr);
  }
  void TearDown() override {
    Unload();
    QWSetPluginEndHook(nullptr, nullptr);
  }
  void Unload() {
    if (module_) FreeLibrary(module_);
    module_ = nullptr;
  }

  HMODULE module_ = nullptr;
  GetPluginFn get_ = nullptr;
  FreePluginFn free_ = nullptr;
  EndLog ended_;
};

TEST_F(LoadedLibrary, NamesCompareWithoutCaseButExactly) {
  CQWBasePlugin* lower = get_(u"pluginftree");
  CQWBasePlugin* upper = get_(u"PLUGINFTREE");
  ASSERT_NE(lower, nullptr);
  ASSERT_NE(upper, nullptr);
  EXPECT_EQ(std::u16string(lower->GetPluginType()), u"PluginFTree");
  EXPECT_EQ(std::u16string(upper->GetPluginType()), u"PluginFTree");
  EXPECT_EQ(get_(u"PluginFTree "), nullptr);
  EXPECT_EQ(get_(u""), nullptr);
  EXPECT_EQ(get_(nullptr), nullptr);
  EXPECT_EQ(get_(u"PluginNothing"), nullptr);
  free_(lower);
  free_(upper);
  EXPECT_EQ(ended_.plugins.size(), 2u);
}

TEST_F(LoadedLibrary, EachCallMakesANewRegisteredObject) {
  CQWBasePlugin* a = get_(u"PluginSkin");
  CQWBasePlugin* b = get_(u"PluginSkin");
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_NE(a, b);
  // Both are registered: unloading destroys both.
  Unload();
  EXPECT_EQ(ended_.plugins, (std::vector<const CQWBasePlugin*>{a, b}));
}

TEST_F(LoadedLibrary, FreeingTheMiddleKeepsTheOthersInOrder) {
  CQWBasePlugin* first = get_(u"PluginMenu");
  CQWBasePlugin* middle = get_(u"PluginFind");
  CQWBasePlugin* last = get_(u"PluginQTree");
  free_(middle);
  ASSERT_EQ(ended_.plugins.size(), 1u);
  EXPECT_EQ(ended_.plugins[0], middle);
  Unload();
  EXPECT_EQ(ended_.plugins, (std::vector<const CQWBasePlugin*>{middle, first, last}));
}

TEST_F(LoadedLibrary, FreeingTwiceDestroysOnce) {
  CQWBasePlugin* p = get_(u"PluginHistory");
  free_(p);
  free_(p);
  EXPECT_EQ(ended_.plugins.size(), 1u);
  // Pointers the library never gave out are ignored too.
  free_(nullptr);
  int notAPlugin = 0;
  free_(reinterpret_cast<CQWBasePlugin*>(&notAPlugin));
  EXPECT_EQ(ended_.plugins.size(), 1u);
}

TEST_F(LoadedLibrary, UnloadingDestroysWhatIsLeftOnceInCreationOrder) {
  std::vector<const CQWBasePlugin*> made;
  for (const char16_t* name :
       {u"PluginFTree", u"PluginLogon", u"PluginResize", u"PluginOwnSetup", u"PluginRecentTree"})
    made.push_back(get_(name));
  Unload();
  EXPECT_EQ(ended_.plugins, made);
  EXPECT_EQ(ended_.types,
            (std::vector<std::u16string>{u"PluginFTree", u"PluginLogon", u"PluginResize",
                                         u"PluginOwnSetup", u"PluginRecentTree"}));
}

// The host's managers as a host that is shutting down has them: every call
// is counted, none should come during module end.
struct CountingMsgManager : CQWMsgManager {
  int calls = 0;
  void RegisterMsg(UINT, CQWBasePlugin*) override { ++calls; }
  void UnRegisterMsg(UINT, CQWBasePlugin*) override { ++calls; }
  LRESULT SendMsg(UINT, WPARAM, LPARAM) override { return ++calls, 0; }
};
struct CountingDataManager : CQWDataManager {
  int calls = 0;
  CQWData* GetData(const char16_t*) override { return ++calls, nullptr; }
};

TEST_F(LoadedLibrary, ModuleEndCallsNoHostManager) {
  CountingMsgManager messages;
  CountingDataManager data;
  // Panels that unregister their notifications when destroyed.
  for (const char16_t* name : {u"PluginAddFriend", u"PluginBtnQunFinder", u"PluginFTree"}) {
    CQWBasePlugin* p = get_(name);
    ASSERT_NE(p, nullptr);
    p->SetMsgManager(&messages);
    p->SetDataManager(&data);
    CQWPluginCaller::RegisterMsg(p);
  }
  ASSERT_GT(messages.calls, 0);
  const int messageCalls = messages.calls, dataCalls = data.calls;
  Unload();
  EXPECT_EQ(ended_.plugins.size(), 3u);
  EXPECT_EQ(messages.calls, messageCalls);
  EXPECT_EQ(data.calls, dataCalls);
}

// A destructor that runs during module end and calls the exports (here the
// end hook stands in for it) gets nothing and frees nothing twice.
struct LateCalls {
  GetPluginFn get = nullptr;
  FreePluginFn free = nullptr;
  CQWBasePlugin* other = nullptr;
  std::vector<CQWBasePlugin*> got;
  int ended = 0;
};

void CallExportsWhileEnding(const CQWBasePlugin*, const char16_t*, void* context) {
  auto* late = static_cast<LateCalls*>(context);
  ++late->ended;
  late->got.push_back(late->get(u"PluginHistory"));
  late->free(late->other);
}

TEST_F(LoadedLibrary, ExportsRefuseCallsDuringModuleEnd) {
  LateCalls late;
  late.get = get_;
  late.free = free_;
  get_(u"PluginMenu");
  late.other = get_(u"PluginHistory");
  QWSetPluginEndHook(CallExportsWhileEnding, &late);
  Unload();
  QWSetPluginEndHook(nullptr, nullptr);
  EXPECT_EQ(late.ended, 2);  // each destroyed once
  EXPECT_EQ(late.got, (std::vector<CQWBasePlugin*>{nullptr, nullptr}));
}

TEST_F(LoadedLibrary, WindowFirstClassesHandOutTheirInterfacePart) {
  // The pointer given out is the one the host calls through and frees with,
  // even where the interface part does not start the object.
  for (const char16_t* name : {u"PluginLogon", u"PluginMenu", u"PluginOwnSetup", u"PluginFind"}) {
    CQWBasePlugin* p = get_(name);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(std::u16string(p->GetPluginType()), FromUtf8(ToUtf8(name)));
    EXPECT_NE(static_cast<void*>(p), dynamic_cast<void*>(p)) << ToUtf8(name);
    free_(p);
  }
  EXPECT_EQ(ended_.plugins.size(), 4u);
}

TEST(LibraryExports, OnlyGetPluginAndFreePluginLeaveTheLibrary) {
  const std::string command = std::string("nm -D --defined-only ") + LIST_LIBRARY_PATH;
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::set<std::string> defined;
  char line[1024];
  while (fgets(line, sizeof line, pipe)) {
    char address[64], type[8], name[900];
    if (std::sscanf(line, "%63s %7s %899s", address, type, name) == 3) defined.insert(name);
  }
  ASSERT_EQ(pclose(pipe), 0) << "nm failed";
  EXPECT_EQ(defined, (std::set<std::string>{"FreePlugin", "GetPlugin"}));
}

// ---- the registry on its own ----------------------------------------------------------

CQWBasePlugin* Fake(std::uintptr_t n) { return reinterpret_cast<CQWBasePlugin*>(n * 16); }

TEST(PluginRegistry, GrowsByAnEighthWithinFourTo1024) {
  CPluginRegistry r;
  EXPECT_EQ(r.GetCapacity(), 0u);
  std::vector<std::size_t> capacities;
  for (std::uintptr_t i = 1; i <= 45; ++i) {
    ASSERT_TRUE(r.Add(Fake(i)));
    if (capacities.empty() || capacities.back() != r.GetCapacity())
      capacities.push_back(r.GetCapacity());
  }
  // 0 -> 4 -> 8 -> ... -> 32 (4 at a time while an eighth is below 4), 36,
  // 40, then 40 + 5.
  EXPECT_EQ(capacities, (std::vector<std::size_t>{4, 8, 12, 16, 20, 24, 28, 32, 36, 40, 45}));
  while (r.GetCount()) r.RemoveAt(r.GetCount() - 1);  // fake pointers are never deleted
}

TEST(PluginRegistry, GrowthStopsAt1024Slots) {
  CPluginRegistry r;
  while (r.GetCount() < 9000 || r.GetCount() < r.GetCapacity()) ASSERT_TRUE(r.Add(nullptr));
  const std::size_t before = r.GetCapacity();
  ASSERT_TRUE(r.Add(nullptr));
  EXPECT_EQ(r.GetCapacity(), before + 1024);  // an eighth would be more
  r.DestroyAll();                             // null elements are skipped
  EXPECT_EQ(r.GetCount(), 0u);
  EXPECT_EQ(r.GetCapacity(), 0u);
}

TEST(PluginRegistry, RemovingKeepsOrderAndFindsTheFirst) {
  CPluginRegistry r;
  for (std::uintptr_t i = 1; i <= 5; ++i) r.Add(Fake(i));
  r.Add(Fake(2));
  EXPECT_EQ(r.Find(Fake(2)), 1);
  r.RemoveAt(1);
  EXPECT_EQ(r.GetCount(), 5u);
  EXPECT_EQ(r.GetAt(0), Fake(1));
  EXPECT_EQ(r.GetAt(1), Fake(3));
  EXPECT_EQ(r.Find(Fake(2)), 4);
  EXPECT_EQ(r.Find(Fake(9)), -1);
  r.RemoveAt(99);  // out of range: nothing
  EXPECT_EQ(r.GetCount(), 5u);
  while (r.GetCount()) r.RemoveAt(0);
}

}  // namespace
