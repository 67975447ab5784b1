#include "platform/file.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

namespace {
std::u16string backslashed(std::u16string p) {
  for (auto& c : p)
    if (c == u'/') c = u'\\';
  return p;
}
}  // namespace

TEST(File, WriteThenReadBackThroughBackslashPaths) {
  TempDir dir;
  auto path = backslashed(dir.WPath("RecentContactFriends.dat"));
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(h, "hello world", 11, &written, nullptr));
  EXPECT_EQ(written, 11u);
  EXPECT_TRUE(CloseHandle(h));
  EXPECT_FALSE(CloseHandle(h));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);

  h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD high = 99;
  EXPECT_EQ(GetFileSize(h, &high), 11u);
  EXPECT_EQ(high, 0u);
  char buf[32] = {};
  DWORD read = 0;
  EXPECT_EQ(SetFilePointer(h, 6, nullptr, FILE_BEGIN), 6u);
  ASSERT_TRUE(ReadFile(h, buf, 32, &read, nullptr));
  EXPECT_EQ(std::string(buf, read), "world");
  // At the end, a read succeeds with nothing.
  ASSERT_TRUE(ReadFile(h, buf, 32, &read, nullptr));
  EXPECT_EQ(read, 0u);
  EXPECT_EQ(SetFilePointer(h, -5, nullptr, FILE_END), 6u);
  EXPECT_EQ(SetFilePointer(h, -100, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), ERROR_NEGATIVE_SEEK);
  // A handle opened for reading cannot write.
  EXPECT_FALSE(WriteFile(h, "x", 1, &written, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  CloseHandle(h);
}

TEST(File, CreationDispositions) {
  TempDir dir;
  auto path = dir.WPath("f.bin");
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  h = CreateFileW(dir.WPath("nodir/f.bin").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                  nullptr);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);

  h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  WriteFile(h, "abc", 3, nullptr, nullptr);
  CloseHandle(h);
  EXPECT_EQ(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);

  // OPEN_ALWAYS keeps the content and says the file existed.
  h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(GetFileSize(h, nullptr), 3u);
  CloseHandle(h);
  // CREATE_ALWAYS empties it, also saying it existed.
  h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(GetFileSize(h, nullptr), 0u);
  WriteFile(h, "abcdef", 6, nullptr, nullptr);
  SetFilePointer(h, 2, nullptr, FILE_BEGIN);
  EXPECT_TRUE(SetEndOfFile(h));
  CloseHandle(h);
  EXPECT_EQ(TempDir::Read(dir.Path("f.bin")), "ab");
  h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, 0, nullptr);
  EXPECT_EQ(GetFileSize(h, nullptr), 0u);
  CloseHandle(h);
  // A directory is not a file.
  EXPECT_EQ(CreateFileW(dir.WPath("").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
}

TEST(File, DeleteDirectoriesAndExistence) {
  TempDir dir;
  auto sub = backslashed(dir.WPath("FriendPhoto"));
  EXPECT_FALSE(PathFileExistsW(sub.c_str()));
  ASSERT_TRUE(CreateDirectoryW(sub.c_str(), nullptr));
  EXPECT_FALSE(CreateDirectoryW(sub.c_str(), nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_FALSE(CreateDirectoryW(dir.WPath("a/b/c").c_str(), nullptr));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_TRUE(PathFileExistsW(sub.c_str()));
  EXPECT_EQ(GetFileAttributesW(sub.c_str()), FILE_ATTRIBUTE_DIRECTORY);

  auto file = sub + u"\\alice.bmp";
  TempDir::Write(dir.Path("FriendPhoto/alice.bmp"), "BM");
  EXPECT_TRUE(PathFileExistsW(file.c_str()));
  EXPECT_FALSE(PathFileExistsW(nullptr));
  EXPECT_FALSE(RemoveDirectoryW(sub.c_str()));
  EXPECT_EQ(GetLastError(), ERROR_DIR_NOT_EMPTY);
  EXPECT_FALSE(DeleteFileW(sub.c_str()));
  EXPECT_TRUE(DeleteFileW(file.c_str()));
  EXPECT_FALSE(DeleteFileW(file.c_str()));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(RemoveDirectoryW(sub.c_str()));
  EXPECT_EQ(GetFileAttributesW(sub.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(File, FullPathNames) {
  TempDir dir;
  std::string cwd = std::filesystem::current_path().string();
  ASSERT_EQ(::chdir(dir.Dir().c_str()), 0);
  std::string real = std::filesystem::current_path().string();
  char16_t buf[512];
  LPWSTR part = nullptr;
  DWORD n = GetFullPathNameW(u"sub\\.\\x\\..\\file.ini", 512, buf, &part);
  EXPECT_EQ(std::u16string(buf), FromUtf8(real + "/sub/file.ini"));
  EXPECT_EQ(n, static_cast<DWORD>(lstrlenW(buf)));
  ASSERT_NE(part, nullptr);
  EXPECT_EQ(std::u16string(part), u"file.ini");
  // Too small: the size needed, terminator included.
  EXPECT_EQ(GetFullPathNameW(u"sub\\file.ini", 4, buf, nullptr), n + 1);
  EXPECT_EQ(GetFullPathNameW(u"/a/b/../../..", 512, buf, nullptr), 1u);
  EXPECT_EQ(std::u16string(buf), u"/");
  GetFullPathNameW(u"/a/dir\\", 512, buf, &part);
  EXPECT_EQ(std::u16string(buf), u"/a/dir/");
  EXPECT_EQ(part, nullptr);
  ASSERT_EQ(::chdir(cwd.c_str()), 0);
}

TEST(File, AtomicWholeFileWrites) {
  TempDir dir;
  std::string path = dir.Path("whole.dat");
  ASSERT_TRUE(WriteFileAtomically(path, "first"));
  ASSERT_TRUE(WriteFileAtomically(path, "second"));
  std::string back;
  ASSERT_TRUE(ReadWholeFile(path, back));
  EXPECT_EQ(back, "second");
  EXPECT_FALSE(ReadWholeFile(dir.Path("none"), back));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(WriteFileAtomically(dir.Path("none/x"), "y"));
}
