#include "platform/file.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

HANDLE writeFile(const std::u16string& path, const std::string& bytes) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                         nullptr);
  DWORD n = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
  return h;
}

}  // namespace

TEST(FileMapping, AViewReadsWhatWasWritten) {
  TempDir dir;
  std::string data(5210, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i % 251);
  HANDLE file = writeFile(dir.WPath("r.dat"), data);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  HANDLE map = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 5200, u"RecentContact_File_Map");
  ASSERT_NE(map, nullptr);
  // The file handle may go first; the mapping holds on.
  CloseHandle(file);
  auto* view = static_cast<const char*>(MapViewOfFile(map, FILE_MAP_READ, 0, 0, 0));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(std::memcmp(view, data.data(), 5200), 0);
  EXPECT_TRUE(UnmapViewOfFile(view));
  EXPECT_FALSE(UnmapViewOfFile(view));
  // A read-only mapping gives no write view.
  EXPECT_EQ(MapViewOfFile(map, FILE_MAP_WRITE, 0, 0, 0), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  // Beyond the mapping, or off the 64 KiB grid, nothing is mapped.
  EXPECT_EQ(MapViewOfFile(map, FILE_MAP_READ, 0, 0, 5201), nullptr);
  EXPECT_EQ(MapViewOfFile(map, FILE_MAP_READ, 0, 100, 0), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MAPPED_ALIGNMENT);
  EXPECT_TRUE(CloseHandle(map));
}

TEST(FileMapping, NamesFindTheMappingUntilItsLastHandleCloses) {
  TempDir dir;
  HANDLE file = writeFile(dir.WPath("n.dat"), "named content");
  HANDLE map = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, u"Shared_Name");
  ASSERT_NE(map, nullptr);
  HANDLE again = OpenFileMappingW(FILE_MAP_READ, FALSE, u"Shared_Name");
  ASSERT_NE(again, nullptr);
  EXPECT_NE(again, map);
  HANDLE same = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, u"Shared_Name");
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  CloseHandle(same);
  CloseHandle(map);
  auto* view = static_cast<const char*>(MapViewOfFile(again, FILE_MAP_READ, 0, 0, 0));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(std::string(view, 13), "named content");
  CloseHandle(again);
  // The view outlives its mapping handle, as on the original.
  EXPECT_EQ(view[0], 'n');
  UnmapViewOfFile(view);
  EXPECT_EQ(OpenFileMappingW(FILE_MAP_READ, FALSE, u"Shared_Name"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  CloseHandle(file);
}

TEST(FileMapping, EmptyFilesAndBadHandlesAreRefused) {
  TempDir dir;
  HANDLE file = writeFile(dir.WPath("empty.dat"), "");
  EXPECT_EQ(CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_FILE_INVALID);
  // A read-only mapping cannot be larger than its file.
  EXPECT_EQ(CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 10, nullptr), nullptr);
  CloseHandle(file);
  EXPECT_EQ(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READONLY, 0, 10, nullptr),
            nullptr);
  EXPECT_EQ(MapViewOfFile(reinterpret_cast<HANDLE>(0x4), FILE_MAP_READ, 0, 0, 0), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(FileMapping, AWritableViewChangesTheFile) {
  TempDir dir;
  HANDLE file = writeFile(dir.WPath("w.dat"), "abcdef");
  HANDLE map = CreateFileMappingW(file, nullptr, PAGE_READWRITE, 0, 0, nullptr);
  ASSERT_NE(map, nullptr);
  auto* view = static_cast<char*>(MapViewOfFile(map, FILE_MAP_WRITE, 0, 0, 0));
  ASSERT_NE(view, nullptr);
  view[0] = 'X';
  UnmapViewOfFile(view);
  CloseHandle(map);
  CloseHandle(file);
  EXPECT_EQ(TempDir::Read(dir.Path("w.dat")), "Xbcdef");
}
