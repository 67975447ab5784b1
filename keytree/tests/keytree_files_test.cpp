// A key tree in its variant and file forms: exact bytes, round trips, the
// keys the file operations record, and failures on missing, damaged and
// foreign files.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "keytree/keytree.h"

namespace fs = std::filesystem;

namespace {

class KeyTreeFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("kt_files_" + std::to_string(::getpid()) + "_" +
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
  static CKeyTree Sample() {
    CKeyTree t;
    t.AddKey("a", 1);
    t.AddKey("b", "x");
    return t;
  }

  fs::path dir;
};

TEST_F(KeyTreeFiles, BinSaveWritesMagicAndRecord) {
  std::string path = Path("empty.bin");
  CKeyTree t;
  ASSERT_EQ(t.BinSave(path.c_str(), 3), 1);
  std::string bytes = Slurp(path);
  // magic, tree header, then the "FileName" and "Schema" key records
  unsigned fileNameNode = 9 + (5 + 9) + (5 + static_cast<unsigned>(path.size()) + 1);
  unsigned schemaNode = 9 + (5 + 7) + 9;
  EXPECT_EQ(bytes.size(), 4u + 9u + fileNameNode + schemaNode);
  EXPECT_EQ(bytes.substr(0, 5), std::string("\xE1\x97\x01\x00\x05", 5));

  CKeyTree back;
  back.AddKey("stale", 1);
  ASSERT_EQ(back.BinLoad(path.c_str()), 1);
  EXPECT_STREQ(StrOf(back.GetAt("FileName"), ""), path.c_str());
  EXPECT_EQ(IntOf(back.GetAt("Schema"), 0), 3);
  EXPECT_EQ(back.GetAt("stale"), LS_INVALID_ITEM);
  EXPECT_TRUE(back.IsEqual(t));  // the save recorded both keys in t as well
}

TEST_F(KeyTreeFiles, BinLoadFailures) {
  CKeyTree t = Sample();
  EXPECT_EQ(t.BinLoad(Path("missing.bin").c_str()), 0);
  EXPECT_EQ(IntOf(t.GetAt("a"), 0), 1);  // a file that cannot be opened changes nothing

  std::string other = Path("other.bin");
  Spit(other, std::string("\x01\x02\x03\x04\x05\x09\x00\x00\x00\x00\x00\x00\x00", 13));
  EXPECT_EQ(t.BinLoad(other.c_str()), 0);
  EXPECT_TRUE(t.IsEmpty());  // emptied before the magic was read

  // Truncated and inflated records are refused without reading past the data.
  CKeyTree good = Sample();
  std::string path = Path("good.bin");
  ASSERT_EQ(good.BinSave(path.c_str(), 1), 1);
  std::string bytes = Slurp(path);
  for (size_t cut : {size_t(3), size_t(4), size_t(8), bytes.size() / 2, bytes.size() - 1}) {
    Spit(Path("cut.bin"), bytes.substr(0, cut));
    EXPECT_EQ(t.BinLoad(Path("cut.bin").c_str()), 0) << cut;
  }
  std::string inflated = bytes;
  inflated[5] = '\x7f';  // the tree's length field
  Spit(Path("inflated.bin"), inflated);
  EXPECT_EQ(t.BinLoad(Path("inflated.bin").c_str()), 0);
}

TEST_F(KeyTreeFiles, SaveAndLoadArchive) {
  std::string path = Path("tree.arc");
  CKeyTree t = Sample();
  ASSERT_EQ(t.Save(path.c_str(), 2), 1);
  std::string bytes = Slurp(path);
  EXPECT_EQ(bytes.substr(0, 14), std::string("\xFF\xFF\x01\x00\x08\x00"
                                             "CKeyTree",
                                             14));
  CString text = t.ToString();
  ASSERT_LT(text.GetLength(), 255);
  EXPECT_EQ(static_cast<unsigned char>(bytes[14]), text.GetLength());
  EXPECT_EQ(bytes.substr(15), std::string(text.GetString()));

  CKeyTree back;
  ASSERT_EQ(back.Load(path.c_str()), 1);
  EXPECT_EQ(IntOf(back.GetAt("a"), 0), 1);
  EXPECT_STREQ(StrOf(back.GetAt("b"), ""), "x");
  EXPECT_EQ(IntOf(back.GetAt("Schema"), 0), 2);
  EXPECT_STREQ(StrOf(back.GetAt("FileName"), ""), path.c_str());
  EXPECT_TRUE(back.IsEqual(t));

  std::unique_ptr<CKeyTree> fresh(CKeyTree::LoadExEx(path.c_str()));
  ASSERT_NE(fresh, nullptr);
  EXPECT_TRUE(fresh->IsEqual(t));
  EXPECT_EQ(CKeyTree::LoadExEx(Path("missing.arc").c_str()), nullptr);
}

TEST_F(KeyTreeFiles, LongTextTakesTheThreeByteLength) {
  std::string path = Path("long.arc");
  CKeyTree t;
  t.AddKey("k", "v");
  ASSERT_EQ(t.Save(path.c_str(), 1), 1);
  // Size the value so that the text, file keys included, is 300 characters.
  int overhead = t.ToString().GetLength() - 1;
  ASSERT_LT(overhead, 300);
  t.SetAt("k", std::string(static_cast<size_t>(300 - overhead), 'v').c_str());
  ASSERT_EQ(t.Save(path.c_str(), 1), 1);
  ASSERT_EQ(t.ToString().GetLength(), 300);
  std::string bytes = Slurp(path);
  EXPECT_EQ(bytes.substr(14, 3), "\xFF\x2C\x01");
  EXPECT_EQ(bytes.size(), 14u + 3u + 300u);
  CKeyTree back;
  ASSERT_EQ(back.Load(path.c_str()), 1);
  EXPECT_TRUE(back.IsEqual(t));
}

TEST_F(KeyTreeFiles, ArchiveFailures) {
  CKeyTree t = Sample();
  EXPECT_EQ(t.Load(Path("missing.arc").c_str()), 0);
  EXPECT_EQ(IntOf(t.GetAt("a"), 0), 1);
  EXPECT_EQ(t.Save(Path("no/such/dir.arc").c_str(), 1), 0);

  try {
    t.LoadEx(Path("missing.arc").c_str());
    ADD_FAILURE() << "no exception";
  } catch (const CFileException& e) {
    EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(e.m_lOsError, ENOENT);
    EXPECT_EQ(e.m_strFileName, Path("missing.arc"));
  }
  EXPECT_THROW(t.SaveEx(Path("no/such/dir.arc").c_str(), 1), CFileException);
  EXPECT_THROW(t.SaveInIndentedFormat(Path("no/such/dir.txt").c_str()), CFileException);

  // Damaged archives raise archive exceptions and leave the tree as it was.
  std::string good = Path("good.arc");
  ASSERT_EQ(t.Save(good.c_str(), 1), 1);
  std::string bytes = Slurp(good);
  CKeyTree before(t);
  auto cause = [&](const std::string& content) {
    Spit(Path("bad.arc"), content);
    try {
      t.Load(Path("bad.arc").c_str());
    } catch (const CArchiveException& e) {
      return e.m_cause;
    }
    return int(CArchiveException::none);
  };
  EXPECT_EQ(cause(bytes.substr(0, bytes.size() - 1)), CArchiveException::endOfFile);
  EXPECT_EQ(cause(bytes.substr(0, 10)), CArchiveException::endOfFile);
  EXPECT_EQ(cause(""), CArchiveException::endOfFile);
  std::string other = bytes;
  other.replace(6, 8, "CItemLst");
  EXPECT_EQ(cause(other), CArchiveException::badClass);
  other.replace(6, 8, "CItemLis");
  other.insert(14, "t");
  other[4] = 9;
  EXPECT_EQ(cause(other), CArchiveException::badClass);  // a list is no key tree
  other = bytes;
  other[2] = 2;
  EXPECT_EQ(cause(other), CArchiveException::badSchema);
  EXPECT_EQ(cause(std::string("\x03\x80", 2)), CArchiveException::badIndex);
  EXPECT_TRUE(t.IsEqual(before));

  // Text that is no key tree loads as an empty tree.
  Spit(Path("text.arc"), std::string("\xFF\xFF\x01\x00\x08\x00"
                                     "CKeyTree\x05"
                                     "(1,2)",
                                     20));
  EXPECT_EQ(t.Load(Path("text.arc").c_str()), 1);
  EXPECT_EQ(t.GetCount(), 1);  // "FileName" alone
}

TEST_F(KeyTreeFiles, GenericLoadTakesBothForms) {
  CKeyTree t = Sample();
  ASSERT_EQ(t.BinSave(Path("t.bin").c_str(), 1), 1);
  ASSERT_EQ(t.Save(Path("t.arc").c_str(), 1), 1);
  CKeyTree fromBin, fromArc;
  EXPECT_EQ(fromBin.GenericLoad(Path("t.bin").c_str()), 1);
  EXPECT_EQ(fromArc.GenericLoad(Path("t.arc").c_str()), 1);
  EXPECT_EQ(IntOf(fromBin.GetAt("a"), 0), 1);
  EXPECT_EQ(IntOf(fromArc.GetAt("a"), 0), 1);
  EXPECT_STREQ(StrOf(fromArc.GetAt("FileName"), ""), Path("t.arc").c_str());
  EXPECT_EQ(fromBin.GenericLoad(Path("missing").c_str()), 0);
  Spit(Path("neither"), "neither binary nor archive");
  EXPECT_THROW(fromBin.GenericLoad(Path("neither").c_str()), CArchiveException);
}

TEST_F(KeyTreeFiles, FailedSaveLeavesTheOldFile) {
  std::string path = Path("keep.arc");
  CKeyTree t = Sample();
  ASSERT_EQ(t.Save(path.c_str(), 1), 1);
  std::string before = Slurp(path);

  // Writes fail midway once a file passes the size limit (as on a full disk).
  t.AddKey("big", std::string(8192, 'x').c_str());
  struct rlimit old;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  void (*oldHandler)(int) = signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 1024;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  EXPECT_THROW(t.Save(path.c_str(), 1), CFileException);
  EXPECT_THROW(t.BinSave(path.c_str(), 1), CFileException);
  EXPECT_THROW(t.SaveInIndentedFormat(path.c_str()), CFileException);
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(Slurp(path), before);

  // A target that is a directory is refused and left alone.
  fs::create_directories(dir / "sub");
  EXPECT_EQ(t.Save((dir / "sub").c_str(), 1), 0);
  EXPECT_TRUE(fs::is_directory(dir / "sub"));

  // Nothing but the target is left beside it: no temporaries.
  size_t entries = 0;
  for (auto& e : fs::directory_iterator(dir)) entries += e.path().filename() != "sub";
  EXPECT_EQ(entries, 1u);
}

TEST_F(KeyTreeFiles, FileNameIsAbsoluteEvenForNewFiles) {
  fs::path old = fs::current_path();
  fs::current_path(dir);
  CKeyTree t;
  ASSERT_EQ(t.Save("./sub/../new.arc", 1), 0);  // sub does not exist
  ASSERT_EQ(t.Save("new.arc", 1), 1);
  fs::current_path(old);
  EXPECT_STREQ(StrOf(t.GetAt("FileName"), ""), Path("new.arc").c_str());
  EXPECT_EQ(CKeyTree::FullPath("/a/./b/../c"), CString("/a/c"));
  EXPECT_EQ(CKeyTree::FullPath("/../x//y/"), CString("/x/y"));
}

TEST_F(KeyTreeFiles, IndentedTextFile) {
  std::string path = Path("tree.txt");
  CKeyTree t;
  t.AddKey("a", 1);
  t.SaveInIndentedFormat(path.c_str());
  EXPECT_EQ(t.GetAt("Schema"), LS_INVALID_ITEM);
  std::string text = Slurp(path);
  EXPECT_EQ(text, std::string(t.ToIndentString(0, 1).GetString()));
  EXPECT_EQ(text[0], '\n');
  CKeyTree back;
  EXPECT_EQ(back.FromString(text.c_str(), static_cast<int>(text.size())), 1);
  EXPECT_TRUE(back.IsEqual(t));
}

// A path of n segments ("k.k.k..."): its last key node lies 2n lists deep.
std::string Chain(int segments) {
  std::string path = "k";
  for (int i = 1; i < segments; ++i) path += ".k";
  return path;
}

// What is written is what can be read back: the deepest tree that fits the
// nesting limit goes through every form; one level more is never created, and
// a deeper tree built by other means is not saved.
TEST_F(KeyTreeFiles, DeepestTreeRoundTripsAndDeeperIsRefused) {
  const int deepest = LS_MAX_NESTING / 2;
  CKeyTree t;
  ASSERT_NE(t.AddKey(Chain(deepest).c_str(), 7), LS_INVALID_ITEM);
  CKeyTree refused(t);
  EXPECT_EQ(refused.AddKey(Chain(deepest + 1).c_str(), 8), LS_INVALID_ITEM);
  EXPECT_EQ(refused.AddKey(Chain(deepest).c_str(), nullptr), LS_INVALID_ITEM);
  CItemList list;  // not taken
  EXPECT_EQ(refused.SetAt(Chain(deepest).c_str(), &list), LS_INVALID_ITEM);
  EXPECT_EQ(refused.AddKey(Chain(601).c_str(), 8), LS_INVALID_ITEM);
  EXPECT_TRUE(refused.IsEqual(t));
  // Nested inside another list, the tree has one level less to give.
  CItemList holder;
  auto* inner = static_cast<CKeyTree*>(holder.Append(new CKeyTree));
  EXPECT_EQ(inner->AddKey(Chain(deepest).c_str(), 1), LS_INVALID_ITEM);
  EXPECT_NE(inner->AddKey(Chain(deepest - 1).c_str(), 1), LS_INVALID_ITEM);

  std::string bin = Path("deep.bin"), arc = Path("deep.arc");
  ASSERT_EQ(t.BinSave(bin.c_str(), 1), 1);
  CKeyTree fromBin;
  ASSERT_EQ(fromBin.BinLoad(bin.c_str()), 1);
  EXPECT_TRUE(fromBin.IsEqual(t));
  ASSERT_EQ(t.Save(arc.c_str(), 1), 1);
  CKeyTree fromArc;
  ASSERT_EQ(fromArc.Load(arc.c_str()), 1);
  EXPECT_TRUE(fromArc.IsEqual(t));
  CKeyTree fromVariant(t.GetAsVariant());
  EXPECT_TRUE(fromVariant.IsEqual(t));
  std::unique_ptr<CItem> fromText(CKeyTree::CreateFromString(t.ToString(), -1));
  ASSERT_TRUE(fromText);
  EXPECT_TRUE(fromText->IsEqual(t));

  // One list deeper through the list operations: no form is written, the
  // old files stay and the tree is not touched.
  CItemList* node = t.GetKeyNode(Chain(deepest).c_str());
  ASSERT_NE(node, reinterpret_cast<CItemList*>(LS_INVALID_ITEM));
  node->Append(new CItemList);
  CKeyTree before(t);
  std::string oldBin = Slurp(bin), oldArc = Slurp(arc);
  EXPECT_EQ(t.BinSave(bin.c_str(), 2), 0);
  EXPECT_EQ(t.Save(arc.c_str(), 2), 0);
  EXPECT_THROW(t.SaveEx(arc.c_str(), 2), CArchiveException);
  EXPECT_EQ(t.GetAsVariant().vt, VT_EMPTY);
  EXPECT_TRUE(t.IsEqual(before));
  EXPECT_EQ(Slurp(bin), oldBin);
  EXPECT_EQ(Slurp(arc), oldArc);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
}

TEST(KeyTreeVariant, RoundTrip) {
  CKeyTree t;
  t.AddKey("a.b", 1);
  t.AddKey("s", "x");
  COleVariant v = t.GetAsVariant();
  EXPECT_EQ(v.vt, 0x2011);
  EXPECT_EQ(v.GetArrayCount(), t.GetBinarizeSize());
  EXPECT_EQ(v.GetArrayData()[0], 5);
  CKeyTree back(std::move(v));
  EXPECT_TRUE(back.IsEqual(t));
  EXPECT_EQ(v.vt, VT_EMPTY);

  // A plain list record is taken too; a damaged one leaves the tree empty.
  CItemList list;
  list.Append(1);
  std::vector<unsigned char> rec(list.GetBinarizeSize());
  unsigned char* cursor = rec.data();
  int remaining = static_cast<int>(rec.size());
  ASSERT_EQ(list.Binarize(cursor, remaining), 1);
  CKeyTree fromList(COleVariant(rec.data(), rec.size()));
  EXPECT_EQ(fromList.GetCount(), 1);
  rec[1] = 0x7f;  // length beyond the array
  CKeyTree damaged(COleVariant(rec.data(), rec.size()));
  EXPECT_TRUE(damaged.IsEmpty());
  CKeyTree fromEmpty{COleVariant()};
  EXPECT_TRUE(fromEmpty.IsEmpty());
}

}  // namespace
