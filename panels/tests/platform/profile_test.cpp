#include "platform/profile.h"
#include "platform/text.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

std::u16string get(const std::u16string& file, LPCWSTR app, LPCWSTR key, LPCWSTR def = u"dflt") {
  char16_t buf[256];
  DWORD n = GetPrivateProfileStringW(app, key, def, buf, 256, file.c_str());
  EXPECT_EQ(n, static_cast<DWORD>(lstrlenW(buf)));
  return buf;
}

// A list of zero-terminated names ended by an empty one.
std::vector<std::u16string> list(const char16_t* buf) {
  std::vector<std::u16string> out;
  for (const char16_t* p = buf; *p; p += lstrlenW(p) + 1) out.emplace_back(p);
  return out;
}

}  // namespace

TEST(Profile, MissingFileSectionOrKeyGivesTheDefault) {
  TempDir dir;
  auto ini = dir.WPath("cfg.ini");
  EXPECT_EQ(get(ini, u"ZQIM", u"BaseColor"), u"dflt");
  EXPECT_EQ(GetPrivateProfileIntW(u"GGPCW", u"VIEWFRIENDALL", 1, ini.c_str()), 1u);
  TempDir::Write(dir.Path("cfg.ini"), "[URL]\r\nregister=http://example.invalid/r\r\n");
  EXPECT_EQ(get(ini, u"SKIN", u"register"), u"dflt");
  EXPECT_EQ(get(ini, u"URL", u"RetrievePassword"), u"dflt");
  EXPECT_EQ(get(ini, u"URL", u"register"), u"http://example.invalid/r");
  // Trailing blanks of the default go, as on the original; null means empty.
  EXPECT_EQ(get(ini, u"URL", u"none", u"x  "), u"x");
  EXPECT_EQ(get(ini, u"URL", u"none", nullptr), u"");
}

TEST(Profile, NamesAreCaseInsensitiveAndValuesTrimmedAndUnquoted) {
  TempDir dir;
  TempDir::Write(dir.Path("a.ini"),
                 "; leading comment\n[Skin]\n  Name =  Blue Sky  \nquoted=\"  padded "
                 "\"\nsingle='x'\nhalf=\"x\n"
                 "bare\n[skin]\nName=second section\n");
  auto ini = dir.WPath("a.ini");
  EXPECT_EQ(get(ini, u"SKIN", u"name"), u"Blue Sky");
  EXPECT_EQ(get(ini, u"skin", u"QUOTED"), u"  padded ");
  EXPECT_EQ(get(ini, u"Skin", u"single"), u"x");
  EXPECT_EQ(get(ini, u"Skin", u"half"), u"\"x");
  EXPECT_EQ(get(ini, u"Skin", u"bare"), u"dflt");  // a key without "=" has no value
  // Backslash paths work as well as slashes.
  std::u16string back = ini;
  for (auto& c : back)
    if (c == u'/') c = u'\\';
  EXPECT_EQ(get(back, u"Skin", u"name"), u"Blue Sky");
}

TEST(Profile, SectionAndKeyListsAndSmallBuffers) {
  TempDir dir;
  TempDir::Write(dir.Path("a.ini"), "[One]\nk1=v\nk2=w\n[Two]\n");
  auto ini = dir.WPath("a.ini");
  char16_t buf[64];
  DWORD n = GetPrivateProfileStringW(nullptr, nullptr, u"", buf, 64, ini.c_str());
  EXPECT_EQ(n, 8u);
  EXPECT_EQ(list(buf), (std::vector<std::u16string>{u"One", u"Two"}));
  GetPrivateProfileStringW(u"one", nullptr, u"", buf, 64, ini.c_str());
  EXPECT_EQ(list(buf), (std::vector<std::u16string>{u"k1", u"k2"}));
  // A cut list returns size-2 and stays double-terminated.
  EXPECT_EQ(GetPrivateProfileStringW(u"one", nullptr, u"", buf, 5, ini.c_str()), 3u);
  EXPECT_EQ(buf[3], 0);
  EXPECT_EQ(buf[4], 0);
  // A cut value returns size-1.
  TempDir::Write(dir.Path("b.ini"), "[S]\nk=abcdefgh\n");
  EXPECT_EQ(GetPrivateProfileStringW(u"S", u"k", u"", buf, 4, dir.WPath("b.ini").c_str()), 3u);
  EXPECT_EQ(std::u16string(buf), u"abc");
}

TEST(Profile, IntegersReadTheirLeadingNumber) {
  TempDir dir;
  TempDir::Write(dir.Path("n.ini"),
                 "[N]\nplain=42\nneg=-5\nlead=12abc\nspace=  7 "
                 "\nhex=0x1F\ntext=abc\nempty=\nplus=+3\nbig=4294967297\n");
  auto f = dir.WPath("n.ini");
  auto num = [&](LPCWSTR key) { return GetPrivateProfileIntW(u"N", key, 99, f.c_str()); };
  EXPECT_EQ(num(u"plain"), 42u);
  EXPECT_EQ(static_cast<INT>(num(u"neg")), -5);
  EXPECT_EQ(num(u"lead"), 12u);
  EXPECT_EQ(num(u"space"), 7u);
  EXPECT_EQ(num(u"hex"), 31u);
  EXPECT_EQ(num(u"text"), 0u);    // present but not a number
  EXPECT_EQ(num(u"empty"), 99u);  // empty reads as missing
  EXPECT_EQ(num(u"plus"), 3u);
  EXPECT_EQ(num(u"big"), 1u);  // wraps like the original
  EXPECT_EQ(num(u"missing"), 99u);
}

TEST(Profile, WritingCreatesFileAndSectionAndKeepsTheRest) {
  TempDir dir;
  auto ini = dir.WPath("mycfg.ini");
  ASSERT_TRUE(WritePrivateProfileStringW(u"GGPCW", u"VIEWFRIENDALL", u"0", ini.c_str()));
  EXPECT_EQ(TempDir::Read(dir.Path("mycfg.ini")), "[GGPCW]\r\nVIEWFRIENDALL=0\r\n");
  EXPECT_EQ(GetPrivateProfileIntW(u"GGPCW", u"VIEWFRIENDALL", 1, ini.c_str()), 0u);

  TempDir::Write(dir.Path("mycfg.ini"), "; settings\n[A]\nx=1\n; about y\ny=2\n\n[B]\nz=3\n");
  ASSERT_TRUE(WritePrivateProfileStringW(u"a", u"Y", u"20", ini.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringW(u"A", u"new", u"n", ini.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringW(u"C", u"c", u"cc", ini.c_str()));
  EXPECT_EQ(TempDir::Read(dir.Path("mycfg.ini")),
            "; settings\n[A]\nx=1\n; about y\ny=20\nnew=n\n\n[B]\nz=3\n\n[C]\nc=cc\n");
}

TEST(Profile, NullValueDeletesKeyAndNullKeyDeletesSection) {
  TempDir dir;
  TempDir::Write(dir.Path("d.ini"), "[A]\nx=1\ny=2\n[B]\nz=3\n[C]\nw=4\n");
  auto ini = dir.WPath("d.ini");
  ASSERT_TRUE(WritePrivateProfileStringW(u"A", u"X", nullptr, ini.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringW(u"b", nullptr, nullptr, ini.c_str()));
  EXPECT_EQ(TempDir::Read(dir.Path("d.ini")), "[A]\ny=2\n[C]\nw=4\n");
  // Deleting what is not there changes nothing and succeeds.
  EXPECT_TRUE(WritePrivateProfileStringW(u"Q", u"q", nullptr, ini.c_str()));
  EXPECT_TRUE(WritePrivateProfileStringW(u"Q", nullptr, nullptr, dir.WPath("none.ini").c_str()));
  EXPECT_FALSE(std::filesystem::exists(dir.Path("none.ini")));
  EXPECT_FALSE(WritePrivateProfileStringW(nullptr, u"k", u"v", ini.c_str()));
}

TEST(Profile, ChineseTextIsStoredInTheSystemCodePage) {
  TempDir dir;
  auto ini = dir.WPath("msg.ini");
  ASSERT_TRUE(WritePrivateProfileStringW(u"群消息", u"名称", u"我的好友", ini.c_str()));
  EXPECT_EQ(TempDir::Read(dir.Path("msg.ini")), ToAnsi(u"[群消息]\r\n名称=我的好友\r\n"));
  EXPECT_EQ(get(ini, u"群消息", u"名称"), u"我的好友");
}

TEST(Profile, Utf16FilesAreReadAndStayUtf16) {
  TempDir dir;
  std::u16string text = u"\uFEFF[皮肤]\r\n名称=蓝色\r\n";
  TempDir::Write(dir.Path("u.ini"),
                 std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2));
  auto ini = dir.WPath("u.ini");
  EXPECT_EQ(get(ini, u"皮肤", u"名称"), u"蓝色");
  ASSERT_TRUE(WritePrivateProfileStringW(u"皮肤", u"颜色", u"红", ini.c_str()));
  std::u16string expect = u"\uFEFF[皮肤]\r\n名称=蓝色\r\n颜色=红\r\n";
  EXPECT_EQ(TempDir::Read(dir.Path("u.ini")),
            std::string(reinterpret_cast<const char*>(expect.data()), expect.size() * 2));
}

TEST(Profile, UndecodableBytesOfOtherLinesSurviveAWrite) {
  TempDir dir;
  TempDir::Write(dir.Path("raw.ini"), "[A]\nodd=\xFF\xFE\x80junk\nk=1\n");
  ASSERT_TRUE(WritePrivateProfileStringW(u"A", u"k", u"2", dir.WPath("raw.ini").c_str()));
  EXPECT_EQ(TempDir::Read(dir.Path("raw.ini")), "[A]\nodd=\xFF\xFE\x80junk\nk=2\n");
}

TEST(Profile, LineBreaksInValuesCannotSplitTheFile) {
  TempDir dir;
  auto ini = dir.WPath("b.ini");
  ASSERT_TRUE(WritePrivateProfileStringW(u"A", u"k", u"one\r\n[Evil]\nx=1", ini.c_str()));
  EXPECT_EQ(get(ini, u"A", u"k"), u"one  [Evil] x=1");
  EXPECT_EQ(get(ini, u"Evil", u"x"), u"dflt");
}

TEST(Profile, AFailedWriteLeavesTheOldFile) {
  TempDir dir;
  TempDir::Write(dir.Path("keep.ini"), "[A]\nk=1\n");
  auto ini = dir.WPath("keep.ini");
  EXPECT_FALSE(WritePrivateProfileStringW(u"A", u"k", u"2", dir.WPath("no/such/keep.ini").c_str()));
  // The disk "fills up" while the new content is written.
  std::u16string big(4000, u'x');
  int rc = RunInChild(
      [&] { return WritePrivateProfileStringW(u"A", u"k", big.c_str(), ini.c_str()) ? 1 : 0; },
      100);
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(TempDir::Read(dir.Path("keep.ini")), "[A]\nk=1\n");
  // No temporary file is left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Dir()),
                          std::filesystem::directory_iterator()),
            1);
}
