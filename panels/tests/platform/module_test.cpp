#include "platform/module.h"
#include "platform/file.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

namespace {

using AddFn = int (*)(int, int);

class Module : public ::testing::Test {
 protected:
  void TearDown() override { SetModuleFileNameOverride(u""); }
};

}  // namespace

TEST_F(Module, ABareNameIsFoundBesideTheHostProgram) {
  SetModuleFileNameOverride(FromUtf8(FAKE_MODULE_DIR "host"));
  HMODULE m = LoadLibraryW(u"Fake.dll");
  ASSERT_NE(m, nullptr) << GetLoaderErrorText();
  auto add = reinterpret_cast<AddFn>(GetProcAddress(m, "FakeAdd"));
  ASSERT_NE(add, nullptr);
  EXPECT_EQ(add(2, 40), 42);
  EXPECT_EQ(GetProcAddress(m, "NoSuchExport"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
  EXPECT_EQ(GetProcAddress(m, reinterpret_cast<LPCSTR>(1)), nullptr);
  // Loading again gives the same module; each load needs its own free.
  HMODULE twice = LoadLibraryW(u"Fake.dll");
  EXPECT_EQ(twice, m);
  char16_t path[512];
  DWORD n = GetModuleFileNameW(m, path, 512);
  EXPECT_GT(n, 0u);
  EXPECT_EQ(std::filesystem::path(ToUtf8(path)).filename(), "Fake.dll");
  EXPECT_TRUE(FreeLibrary(twice));
  EXPECT_TRUE(FreeLibrary(m));
  EXPECT_FALSE(FreeLibrary(m));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(GetProcAddress(m, "FakeAdd"), nullptr);
}

TEST_F(Module, TheCurrentDirectoryAndBackslashPathsAlsoWork) {
  std::string cwd = std::filesystem::current_path().string();
  ASSERT_EQ(::chdir(FAKE_MODULE_DIR), 0);
  HMODULE m = LoadLibraryW(u"Fake.dll");
  ASSERT_EQ(::chdir(cwd.c_str()), 0);
  ASSERT_NE(m, nullptr) << GetLoaderErrorText();
  FreeLibrary(m);
  std::u16string full = FromUtf8(FAKE_MODULE_DIR "Fake.dll");
  for (auto& c : full)
    if (c == u'/') c = u'\\';
  m = LoadLibraryW(full.c_str());
  ASSERT_NE(m, nullptr) << GetLoaderErrorText();
  FreeLibrary(m);
}

TEST_F(Module, MissingAndBrokenModulesFailCleanly) {
  SetModuleFileNameOverride(FromUtf8(FAKE_MODULE_DIR "host"));
  EXPECT_EQ(LoadLibraryW(u"Dialog.dll"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
  EXPECT_FALSE(GetLoaderErrorText().empty());
  EXPECT_EQ(LoadLibraryW(nullptr), nullptr);
  TempDir dir;
  TempDir::Write(dir.Path("Broken.dll"), "not a module");
  EXPECT_EQ(LoadLibraryW(dir.WPath("Broken.dll").c_str()), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
  EXPECT_EQ(GetProcAddress(nullptr, "FakeAdd"), nullptr);
}

TEST_F(Module, HostProgramPathAndDirectory) {
  char16_t buf[512];
  DWORD n = GetModuleFileNameW(nullptr, buf, 512);
  ASSERT_GT(n, 0u);
  EXPECT_EQ(std::filesystem::path(ToUtf8(buf)).filename(), "panels_platform_tests");
  SetModuleFileNameOverride(u"/opt/im/client");
  EXPECT_EQ(GetModuleFileNameW(nullptr, buf, 512), 14u);
  EXPECT_EQ(std::u16string(buf), u"/opt/im/client");
  EXPECT_EQ(GetModuleDirectoryW(), u"/opt/im/");
  // A short buffer gets the cut, terminated path and its size back.
  char16_t small[5];
  EXPECT_EQ(GetModuleFileNameW(nullptr, small, 5), 5u);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(std::u16string(small), u"/opt");
}
