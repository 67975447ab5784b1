#include "platform/registry.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

namespace {

const char16_t kSubKey[] = u"Software\\ContactPanels\\Client";

class Registry : public ::testing::Test {
 protected:
  void SetUp() override { RegSetStoreFile(dir_.Path("cfg/registry")); }
  void TearDown() override { RegSetStoreFile(""); }

  HKEY Create(const char16_t* sub = kSubKey) {
    HKEY k = nullptr;
    EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, sub, 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &k, nullptr),
              static_cast<LSTATUS>(ERROR_SUCCESS));
    return k;
  }
  static LSTATUS SetDword(HKEY k, LPCWSTR name, DWORD v) {
    return RegSetValueExW(k, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
  }
  static DWORD GetDword(HKEY k, LPCWSTR name, LSTATUS* rc = nullptr) {
    DWORD v = 0, type = 0, size = sizeof v;
    LSTATUS r = RegQueryValueExW(k, name, nullptr, &type, reinterpret_cast<BYTE*>(&v), &size);
    if (rc) *rc = r;
    return v;
  }

  TempDir dir_;
};

}  // namespace

TEST_F(Registry, CreateOpenAndDisposition) {
  HKEY k = nullptr;
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kSubKey, 0, KEY_READ, &k),
            static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(k, nullptr);
  DWORD disposition = 0;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kSubKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k,
                            &disposition),
            static_cast<LSTATUS>(ERROR_SUCCESS));
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
  RegCloseKey(k);
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"software\\CONTACTPANELS\\client", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &k, &disposition),
            static_cast<LSTATUS>(ERROR_SUCCESS));
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
  EXPECT_EQ(RegCloseKey(k), static_cast<LSTATUS>(ERROR_SUCCESS));
  EXPECT_EQ(RegCloseKey(k), static_cast<LSTATUS>(ERROR_INVALID_HANDLE));
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\ContactPanels", 0, KEY_READ, &k),
            static_cast<LSTATUS>(ERROR_SUCCESS));
  HKEY child = nullptr;
  EXPECT_EQ(RegOpenKeyExW(k, u"Client", 0, KEY_READ, &child), static_cast<LSTATUS>(ERROR_SUCCESS));
  RegCloseKey(child);
  RegCloseKey(k);
  EXPECT_EQ(RegOpenKeyExW(reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x5555)), u"x", 0,
                          KEY_READ, &k),
            static_cast<LSTATUS>(ERROR_INVALID_HANDLE));
}

TEST_F(Registry, BinaryAndDwordValuesWithSizeQueries) {
  HKEY k = Create();
  std::vector<BYTE> record(1000);
  for (size_t i = 0; i < record.size(); ++i) record[i] = static_cast<BYTE>(i * 7);
  ASSERT_EQ(RegSetValueExW(k, u"UserID0", 0, REG_BINARY, record.data(), 1000),
            static_cast<LSTATUS>(ERROR_SUCCESS));
  ASSERT_EQ(SetDword(k, u"LastUser", 2), static_cast<LSTATUS>(ERROR_SUCCESS));

  DWORD type = 0, size = 0;
  // No buffer: only the size.
  EXPECT_EQ(RegQueryValueExW(k, u"UserID0", nullptr, &type, nullptr, &size),
            static_cast<LSTATUS>(ERROR_SUCCESS));
  EXPECT_EQ(size, 1000u);
  EXPECT_EQ(type, REG_BINARY);
  // Too small: ERROR_MORE_DATA and the size needed.
  std::vector<BYTE> out(1000);
  size = 10;
  EXPECT_EQ(RegQueryValueExW(k, u"UserID0", nullptr, &type, out.data(), &size),
            static_cast<LSTATUS>(ERROR_MORE_DATA));
  EXPECT_EQ(size, 1000u);
  EXPECT_EQ(RegQueryValueExW(k, u"userid0", nullptr, &type, out.data(), &size),
            static_cast<LSTATUS>(ERROR_SUCCESS));
  EXPECT_EQ(out, record);

  LSTATUS rc;
  EXPECT_EQ(GetDword(k, u"LastUser", &rc), 2u);
  EXPECT_EQ(rc, static_cast<LSTATUS>(ERROR_SUCCESS));
  GetDword(k, u"Missing", &rc);
  EXPECT_EQ(rc, static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND));
  // Replacing keeps one value.
  SetDword(k, u"LASTUSER", 0);
  EXPECT_EQ(GetDword(k, u"LastUser"), 0u);
  const char16_t text[] = u"联系人";
  ASSERT_EQ(RegSetValueExW(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text),
            static_cast<LSTATUS>(ERROR_SUCCESS));
  char16_t back[8] = {};
  size = sizeof back;
  EXPECT_EQ(RegQueryValueExW(k, u"", nullptr, &type, reinterpret_cast<BYTE*>(back), &size),
            static_cast<LSTATUS>(ERROR_SUCCESS));
  EXPECT_EQ(std::u16string(back), u"联系人");
  EXPECT_EQ(type, REG_SZ);
  RegCloseKey(k);
}

TEST_F(Registry, DeleteValuesAndKeys) {
  HKEY k = Create();
  SetDword(k, u"UserID0", 1);
  SetDword(k, u"UserID1", 1);
  EXPECT_EQ(RegDeleteValueW(k, u"UserID0"), static_cast<LSTATUS>(ERROR_SUCCESS));
  EXPECT_EQ(RegDeleteValueW(k, u"UserID0"), static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND));
  LSTATUS rc;
  GetDword(k, u"UserID1", &rc);
  EXPECT_EQ(rc, static_cast<LSTATUS>(ERROR_SUCCESS));
  RegCloseKey(k);
  // A key with subkeys cannot be deleted; its leaves can.
  EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, u"Software\\ContactPanels"),
            static_cast<LSTATUS>(ERROR_ACCESS_DENIED));
  HKEY open = nullptr;
  RegOpenKeyExW(HKEY_CURRENT_USER, kSubKey, 0, KEY_ALL_ACCESS, &open);
  EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, kSubKey), static_cast<LSTATUS>(ERROR_SUCCESS));
  EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, kSubKey), static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND));
  // A handle to a deleted key reports it.
  GetDword(open, u"UserID1", &rc);
  EXPECT_EQ(rc, static_cast<LSTATUS>(ERROR_KEY_DELETED));
  RegCloseKey(open);
  HKEY gone = nullptr;
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kSubKey, 0, KEY_READ, &gone),
            static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND));
}

TEST_F(Registry, EnumerationOrderAndBufferSizes) {
  HKEY k = Create(u"Software\\Enum");
  for (const char16_t* name : {u"beta", u"Alpha", u"gamma"}) {
    HKEY sub = nullptr;
    RegCreateKeyExW(k, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr);
    RegCloseKey(sub);
  }
  SetDword(k, u"zeta", 1);
  SetDword(k, u"alpha", 2);
  char16_t name[32];
  std::vector<std::u16string> keys;
  for (DWORD i = 0;; ++i) {
    DWORD len = 32;
    LSTATUS rc = RegEnumKeyExW(k, i, name, &len, nullptr, nullptr, nullptr, nullptr);
    if (rc == static_cast<LSTATUS>(ERROR_NO_MORE_ITEMS)) break;
    ASSERT_EQ(rc, static_cast<LSTATUS>(ERROR_SUCCESS));
    EXPECT_EQ(len, static_cast<DWORD>(lstrlenW(name)));
    keys.emplace_back(name);
  }
  EXPECT_EQ(keys, (std::vector<std::u16string>{u"Alpha", u"beta", u"gamma"}));
  DWORD len = 5;  // "Alpha" needs 6 with its terminator
  EXPECT_EQ(RegEnumKeyExW(k, 0, name, &len, nullptr, nullptr, nullptr, nullptr),
            static_cast<LSTATUS>(ERROR_MORE_DATA));

  // Values come in creation order.
  DWORD type = 0, data = 0, dataSize = sizeof data;
  len = 32;
  ASSERT_EQ(
      RegEnumValueW(k, 0, name, &len, nullptr, &type, reinterpret_cast<BYTE*>(&data), &dataSize),
      static_cast<LSTATUS>(ERROR_SUCCESS));
  EXPECT_EQ(std::u16string(name), u"zeta");
  EXPECT_EQ(data, 1u);
  len = 32;
  dataSize = 2;
  EXPECT_EQ(
      RegEnumValueW(k, 1, name, &len, nullptr, &type, reinterpret_cast<BYTE*>(&data), &dataSize),
      static_cast<LSTATUS>(ERROR_MORE_DATA));
  EXPECT_EQ(dataSize, 4u);
  len = 32;
  EXPECT_EQ(RegEnumValueW(k, 2, name, &len, nullptr, nullptr, nullptr, nullptr),
            static_cast<LSTATUS>(ERROR_NO_MORE_ITEMS));
  RegCloseKey(k);
}

TEST_F(Registry, AKeyOpenedForReadingCannotBeWritten) {
  RegCloseKey(Create());
  HKEY k = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kSubKey, 0, KEY_READ, &k),
            static_cast<LSTATUS>(ERROR_SUCCESS));
  EXPECT_EQ(SetDword(k, u"LastUser", 1), static_cast<LSTATUS>(ERROR_ACCESS_DENIED));
  RegCloseKey(k);
}

TEST_F(Registry, AValueWrittenByOneProcessIsReadByTheNext) {
  HKEY k = Create();
  // Another process writes while this one holds the key open.
  int rc = RunInChild([&] {
    HKEY c = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSubKey, 0, KEY_ALL_ACCESS, &c) != ERROR_SUCCESS) return 1;
    return SetDword(c, u"LastUser", 7) == ERROR_SUCCESS ? 0 : 2;
  });
  ASSERT_EQ(rc, 0);
  EXPECT_EQ(GetDword(k, u"LastUser"), 7u);
  // And the other way round.
  SetDword(k, u"LastUser", 9);
  rc = RunInChild([&] { return static_cast<int>(GetDword(k, u"LastUser")); });
  EXPECT_EQ(rc, 9);
  RegCloseKey(k);
  EXPECT_TRUE(std::filesystem::exists(dir_.Path("cfg/registry")));
}

TEST_F(Registry, AnInterruptedWriteLeavesThePreviousContent) {
  HKEY k = Create();
  SetDword(k, u"LastUser", 1);
  std::string before = TempDir::Read(dir_.Path("cfg/registry"));
  // A crashed writer's temporary file is ignored.
  TempDir::Write(dir_.Path("cfg/registry.Ab12Cd"),
                 "REGISTRY 1\n[HKEY_CURRENT_USER\\Software]\n\"LastUser\"=4:09000000\n");
  EXPECT_EQ(GetDword(k, u"LastUser"), 1u);
  // A write that fails half-way (the disk fills up) reports failure and
  // changes nothing.
  std::vector<BYTE> big(100000, 0xAB);
  int rc = RunInChild(
      [&] {
        return RegSetValueExW(k, u"Big", 0, REG_BINARY, big.data(),
                              static_cast<DWORD>(big.size())) == ERROR_SUCCESS
                   ? 0
                   : 1;
      },
      static_cast<long>(before.size()) + 10);
  EXPECT_EQ(rc, 1);
  EXPECT_EQ(TempDir::Read(dir_.Path("cfg/registry")), before);
  LSTATUS status;
  GetDword(k, u"Big", &status);
  EXPECT_EQ(status, static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND));
  // Life goes on after the failure.
  EXPECT_EQ(SetDword(k, u"LastUser", 3), static_cast<LSTATUS>(ERROR_SUCCESS));
  EXPECT_EQ(GetDword(k, u"LastUser"), 3u);
  RegCloseKey(k);
}

TEST_F(Registry, OddNamesSurviveTheFile) {
  HKEY k = Create(u"Software\\名字 [x] \"q\" %41");
  const char16_t name[] = u"值\n\"]=[%";
  SetDword(k, name, 5);
  RegCloseKey(k);
  HKEY again = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\名字 [x] \"q\" %41", 0, KEY_READ, &again),
            static_cast<LSTATUS>(ERROR_SUCCESS));
  EXPECT_EQ(GetDword(again, name), 5u);
  RegCloseKey(again);
}

TEST(RegistryStore, DefaultsUnderTheUsersConfigurationDirectory) {
  RegSetStoreFile("");
  const char* saved = std::getenv("LIST_REGISTRY_FILE");
  if (saved) GTEST_SKIP() << "store redirected by the environment";
  ::setenv("XDG_CONFIG_HOME", "/nonexistent/xdg", 1);
  EXPECT_EQ(RegGetStoreFile(), "/nonexistent/xdg/contact-panels/registry");
  ::setenv("LIST_REGISTRY_FILE", "/nonexistent/reg", 1);
  EXPECT_EQ(RegGetStoreFile(), "/nonexistent/reg");
  ::unsetenv("LIST_REGISTRY_FILE");
  ::unsetenv("XDG_CONFIG_HOME");
}
