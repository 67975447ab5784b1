// Files, archives and the byte-array variant that key tree persistence
// stands on.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "keytree/archive.h"
#include "keytree/file.h"
#include "keytree/variant.h"

namespace fs = std::filesystem;

namespace {

class ScratchDir : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("kt_fw_" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  std::string Path(const char* name) const { return (dir / name).string(); }
  static std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static void Spit(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  size_t EntryCount() const {
    return static_cast<size_t>(
        std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
  }

  fs::path dir;
};

using FileTest = ScratchDir;
using ArchiveTest = ScratchDir;

TEST_F(FileTest, CreatedFileAppearsOnlyWhenClosed) {
  std::string path = Path("a.bin");
  Spit(path, "old");
  {
    CFile f;
    ASSERT_TRUE(f.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
    f.Write("new content", 11);
    EXPECT_EQ(Slurp(path), "old");
    f.Close();
  }
  EXPECT_EQ(Slurp(path), "new content");
  EXPECT_EQ(EntryCount(), 1u);  // no temporary left behind
}

TEST_F(FileTest, AbandonedCreateKeepsOldFileAndLeavesNoTemporary) {
  std::string path = Path("a.bin");
  Spit(path, "old");
  {
    CFile f;
    ASSERT_TRUE(f.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
    f.Write("half", 4);
  }  // destroyed without Close, as when an exception passes
  EXPECT_EQ(Slurp(path), "old");
  EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(FileTest, ReplacementKeepsTheTargetsPermissions) {
  std::string path = Path("a.bin");
  Spit(path, "old");
  chmod(path.c_str(), 0640);
  CFile f;
  ASSERT_TRUE(f.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
  f.Close();
  struct stat st;
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

// While a file is being written, the temporary beside it carries a name that
// says what it is, so that one left by a killed process is easy to find.
TEST_F(FileTest, TemporaryIsAHiddenNamedSibling) {
  std::string path = Path("app.cfg");
  CFile f;
  ASSERT_TRUE(f.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
  std::vector<std::string> names;
  for (auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names[0].rfind(".app.cfg.tmp-", 0), 0u) << names[0];
  EXPECT_EQ(names[0].size(), std::string(".app.cfg.tmp-XXXXXX").size());
  f.Close();
  EXPECT_TRUE(fs::exists(path));
  EXPECT_EQ(EntryCount(), 1u);
}

// A new file gets the permissions the process's umask allows, without the
// umask being changed on the way (other threads may be creating files).
TEST_F(FileTest, NewFileFollowsTheUmask) {
  mode_t old = umask(027);
  {
    CFile f;
    ASSERT_TRUE(f.Open(Path("n.bin").c_str(), CFile::modeCreate | CFile::modeWrite));
    EXPECT_EQ(umask(027), 027u);
    f.Close();
  }
  umask(old);
  struct stat st;
  ASSERT_EQ(stat(Path("n.bin").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  // A replaced file keeps its own, whatever the umask.
  chmod(Path("n.bin").c_str(), 0604);
  old = umask(077);
  {
    CFile f;
    ASSERT_TRUE(f.Open(Path("n.bin").c_str(), CFile::modeCreate | CFile::modeWrite));
    f.Close();
  }
  umask(old);
  ASSERT_EQ(stat(Path("n.bin").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0604u);
}

TEST_F(FileTest, WritingThroughASymlinkReplacesItsTarget) {
  std::string real = Path("real.bin"), link = Path("link.bin");
  Spit(real, "old");
  fs::create_symlink(real, link);
  CFile f;
  ASSERT_TRUE(f.Open(link.c_str(), CFile::modeCreate | CFile::modeWrite));
  f.Write("xy", 2);
  f.Close();
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Slurp(real), "xy");
}

TEST_F(FileTest, FailuresGiveCauseErrorAndName) {
  CFile f;
  CFileException e;
  std::string missing = Path("missing.bin");
  EXPECT_FALSE(f.Open(missing.c_str(), CFile::modeRead, &e));
  EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
  EXPECT_EQ(e.m_lOsError, ENOENT);
  EXPECT_EQ(e.m_strFileName, missing);

  std::string inMissingDir = Path("nodir/x.bin");
  EXPECT_FALSE(f.Open(inMissingDir.c_str(), CFile::modeCreate | CFile::modeWrite, &e));
  EXPECT_EQ(e.m_cause, CFileException::badPath);
  EXPECT_EQ(e.m_strFileName, inMissingDir);

  EXPECT_FALSE(f.Open(dir.c_str(), CFile::modeCreate | CFile::modeWrite, &e));
  EXPECT_EQ(e.m_cause, CFileException::accessDenied);
  EXPECT_FALSE(f.Open(dir.c_str(), CFile::modeRead, &e));
  EXPECT_FALSE(f.Open("", CFile::modeRead, &e));
}

TEST_F(FileTest, ReadReportsShortCountAtEnd) {
  std::string path = Path("r.bin");
  Spit(path, "abc");
  CFile f;
  ASSERT_TRUE(f.Open(path.c_str(), CFile::modeRead));
  EXPECT_EQ(f.GetLength(), 3u);
  char buf[8];
  EXPECT_EQ(f.Read(buf, 8), 3u);
  EXPECT_EQ(f.Read(buf, 8), 0u);
}

// Stores with the archive, returns the file's bytes.
template <class Fn>
std::string Stored(const std::string& path, Fn fn) {
  CFile f;
  EXPECT_TRUE(f.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
  CArchive ar(&f, CArchive::store);
  fn(ar);
  ar.Close();
  f.Close();
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_F(ArchiveTest, StringLengthPrefixesTakeOneThreeOrSevenBytes) {
  std::string path = Path("s.arc");
  auto prefix = [&](size_t n) {
    std::string text(n, 'x');
    std::string bytes = Stored(path, [&](CArchive& ar) { ar.WriteCountedString(text.data(), n); });
    return bytes.substr(0, bytes.size() - n);
  };
  EXPECT_EQ(prefix(0), std::string("\x00", 1));
  EXPECT_EQ(prefix(254), "\xfe");
  EXPECT_EQ(prefix(255), std::string("\xff\xff\x00", 3));
  EXPECT_EQ(prefix(300), "\xff\x2c\x01");
  EXPECT_EQ(prefix(0xFFFD), "\xff\xfd\xff");
  EXPECT_EQ(prefix(0xFFFE), std::string("\xff\xff\xff\xfe\xff\x00\x00", 7));
  EXPECT_EQ(prefix(70000), std::string("\xff\xff\xff\x70\x11\x01\x00", 7));
}

TEST_F(ArchiveTest, ObjectHeaderAndStringReadBack) {
  std::string path = Path("o.arc");
  std::string big(70000, 'q');
  std::string bytes = Stored(path, [&](CArchive& ar) {
    ar.WriteNewClass("CKeyTree", 1);
    ar.WriteCountedString("(.)", 3);
    ar.WriteCountedString(big.data(), big.size());
  });
  EXPECT_EQ(bytes.substr(0, 14), std::string("\xff\xff\x01\x00\x08\x00"
                                             "CKeyTree",
                                             14));

  CFile f;
  ASSERT_TRUE(f.Open(path.c_str(), CFile::modeRead));
  CArchive ar(&f, CArchive::load);
  CArchive::ClassHeader h = ar.ReadClassHeader();
  EXPECT_FALSE(h.isNull);
  EXPECT_EQ(h.className, "CKeyTree");
  EXPECT_EQ(h.schema, 1);
  EXPECT_EQ(ar.ReadCountedString(), "(.)");
  EXPECT_EQ(ar.ReadCountedString(), big);
  EXPECT_THROW(ar.ReadCountedString(), CArchiveException);
}

TEST_F(ArchiveTest, DamagedInputRaisesArchiveExceptions) {
  auto causeOf = [&](const std::string& bytes, bool header) {
    std::string path = Path("d.arc");
    Spit(path, bytes);
    CFile f;
    EXPECT_TRUE(f.Open(path.c_str(), CFile::modeRead));
    CArchive ar(&f, CArchive::load);
    try {
      if (header) ar.ReadClassHeader();
      else ar.ReadCountedString();
    } catch (const CArchiveException& e) {
      return e.m_cause;
    }
    return int(CArchiveException::none);
  };
  EXPECT_EQ(causeOf("", true), CArchiveException::endOfFile);
  EXPECT_EQ(causeOf("\xff\xff\x01\x00\x08\x00"
                    "CKey",
                    true),
            CArchiveException::endOfFile);
  EXPECT_EQ(causeOf(std::string("\x01\x80", 2), true), CArchiveException::badIndex);
  EXPECT_EQ(causeOf(std::string("\xff\xff\x01\x00\x00\x00", 6), true), CArchiveException::badClass);
  // A length far beyond the file is refused before anything is allocated.
  EXPECT_EQ(causeOf(std::string("\xff\xff\xff\xff\xff\xff\x7f"
                                "abc",
                                10),
                    false),
            CArchiveException::endOfFile);
  EXPECT_EQ(causeOf(std::string("\xff\x2c\x01"
                                "abc",
                                6),
                    false),
            CArchiveException::endOfFile);
  EXPECT_EQ(causeOf(std::string("\xff\xfe\xff\x01", 4), false),
            CArchiveException::genericException);
  EXPECT_EQ(causeOf(std::string("\x00\x00", 2), true), CArchiveException::none);
}

TEST(VariantTest, ByteArrayCopiesAndClears) {
  const unsigned char bytes[] = {5, 9, 0, 0, 0};
  COleVariant v(bytes, sizeof bytes);
  EXPECT_EQ(v.vt, 0x2011);
  ASSERT_EQ(v.GetArrayCount(), 5u);
  EXPECT_EQ(v.GetArrayData()[1], 9);
  EXPECT_EQ(v.GetArrayLowerBound(), 0);

  COleVariant copy = v;
  v.Clear();
  EXPECT_EQ(v.vt, VT_EMPTY);
  EXPECT_EQ(v.GetArrayData(), nullptr);
  EXPECT_EQ(copy.GetArrayCount(), 5u);

  COleVariant moved = std::move(copy);
  EXPECT_EQ(copy.vt, VT_EMPTY);
  EXPECT_EQ(moved.GetArrayData()[0], 5);

  COleVariant zeros(nullptr, 3);
  EXPECT_EQ(zeros.GetArrayCount(), 3u);
  EXPECT_EQ(zeros.GetArrayData()[2], 0);
}

}  // namespace
