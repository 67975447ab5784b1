// The stand-in modules: what they make, and that every call reaches the
// recorder the host installs, in order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/plughost.h"
#include "platform/module.h"

namespace {

using Generic = void (*)();

struct Module {
  explicit Module(const char16_t* file) {
    std::u16string path = u"" STANDIN_DIR_U u"/";
    path += file;
    handle = LoadLibraryW(path.c_str());
    if (!handle) return;
    get = reinterpret_cast<CQWBasePlugin* (*)(const char16_t*)>(
        reinterpret_cast<Generic>(GetProcAddress(handle, "GetPlugin")));
    free = reinterpret_cast<void (*)(CQWBasePlugin*)>(
        reinterpret_cast<Generic>(GetProcAddress(handle, "FreePlugin")));
    auto set = reinterpret_cast<void (*)(void (*)(void*, const char*), void*)>(
        reinterpret_cast<Generic>(GetProcAddress(handle, "StandInSetRecorder")));
    if (set) set(&Module::Record, &lines);
  }
  ~Module() {
    if (!handle) return;
    auto set = reinterpret_cast<void (*)(void (*)(void*, const char*), void*)>(
        reinterpret_cast<Generic>(GetProcAddress(handle, "StandInSetRecorder")));
    if (set) set(nullptr, nullptr);
    FreeLibrary(handle);
  }
  static void Record(void* context, const char* line) {
    static_cast<std::vector<std::string>*>(context)->push_back(line);
  }
  HMODULE handle = nullptr;
  CQWBasePlugin* (*get)(const char16_t*) = nullptr;
  void (*free)(CQWBasePlugin*) = nullptr;
  std::vector<std::string> lines;
};

TEST(StandIns, TheRequestDialogRecordsEveryCallInOrder) {
  Module m(u"Dialog.dll");
  ASSERT_TRUE(m.handle && m.get && m.free);
  EXPECT_EQ(m.get(u"PluginFTree"), nullptr);  // only the request dialog
  CQWBasePlugin* p = m.get(u"PluginReq");
  ASSERT_NE(p, nullptr);
  p->SetDataManager(nullptr);
  p->SetWorkDir(u"work\\");
  std::vector<BYTE> owner(QW_OWNINFO_SIZE, 0);
  owner[72] = 'z';
  p->OnNotify(3076, reinterpret_cast<WPARAM>(owner.data()), 0);
  const std::u16string text = u"入群";
  p->OnNotify(3233, reinterpret_cast<WPARAM>(text.c_str()), 0);
  p->OnNotify(3233, 0, 0);
  RECT rc{1, 2, 11, 22};
  p->CreatePlugin(0, &rc);
  p->CreatePlugin(0, nullptr);
  m.free(p);
  EXPECT_EQ(m.lines, (std::vector<std::string>{
                         "Dialog.dll GetPlugin \"PluginFTree\" -> none",
                         "Dialog.dll GetPlugin \"PluginReq\"",
                         "Dialog.dll PluginReq SetDataManager null",
                         "Dialog.dll PluginReq SetWorkDir \"work\\\"",
                         "Dialog.dll PluginReq OnNotify 3076 owner:\"z\" 0",
                         "Dialog.dll PluginReq OnNotify 3233 text:\"入群\" 0",
                         "Dialog.dll PluginReq OnNotify 3233 0 0",
                         "Dialog.dll PluginReq CreatePlugin parent=none rect=1,2,10,20",
                         "Dialog.dll PluginReq CreatePlugin parent=none rect=none",
                         "Dialog.dll FreePlugin PluginReq",
                     }));
}

TEST(StandIns, TheGroupDialogModuleMakesBothDialogs) {
  Module m(u"QunDialog.dll");
  ASSERT_TRUE(m.handle && m.get && m.free);
  EXPECT_EQ(m.get(u"PluginReq"), nullptr);
  CQWBasePlugin* create = m.get(u"PluginCreateQun");
  CQWBasePlugin* find = m.get(u"PluginFindQun");
  ASSERT_TRUE(create && find);
  m.free(find);
  m.free(create);
  m.free(nullptr);  // nothing to give back: no call recorded
  ASSERT_EQ(m.lines.size(), 5u);
  EXPECT_EQ(m.lines[3], "QunDialog.dll FreePlugin PluginFindQun");
}

}  // namespace
