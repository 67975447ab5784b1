#include "platform/text.h"

#include <gtest/gtest.h>

TEST(Format, PatternsThePanelsUse) {
  char16_t buf[1024];
  int n = wsprintfW(buf, u"%04d-%02d-%02d%02d%02d%02d%04d_MainFTree.log", 2024, 3, 7, 9, 5, 1, 42);
  EXPECT_EQ(std::u16string(buf), u"2024-03-070905010042_MainFTree.log");
  EXPECT_EQ(n, lstrlenW(buf));
  wsprintfW(buf, u"%s(%d/%d)", u"我的好友", 3, 12);
  EXPECT_EQ(std::u16string(buf), u"我的好友(3/12)");
  wsprintfW(buf, u"%s\\%s\\mycfg.ini", u"/opt/im/", u"alice");
  EXPECT_EQ(std::u16string(buf), u"/opt/im/\\alice\\mycfg.ini");
  wsprintfW(buf, u"%s%d", u"UserID", 0);
  EXPECT_EQ(std::u16string(buf), u"UserID0");
}

TEST(Format, IntegersWidthsAndFlags) {
  EXPECT_EQ(FormatW(u"[%5d][%-5d][%05d]", 42, 42, -42), u"[   42][42   ][-0042]");
  EXPECT_EQ(FormatW(u"%u", -1), u"4294967295");  // 32 bits, as on the original
  EXPECT_EQ(FormatW(u"%x %X %08X", 255, 255, 0xBEEF), u"ff FF 0000BEEF");
  EXPECT_EQ(FormatW(u"%ld %lu", -7L, 7UL), u"-7 7");
  EXPECT_EQ(FormatW(u"%I64d %lld", -5000000000LL, 5000000000LL), u"-5000000000 5000000000");
  EXPECT_EQ(FormatW(u"%.3d|%+d|% d", 7, 7, 7), u"007|+7| 7");
  EXPECT_EQ(FormatW(u"%*d|%-*d|", 4, 1, 3, 2), u"   1|2  |");
  EXPECT_EQ(FormatW(u"100%%"), u"100%");
}

TEST(Format, TextAndCharacters) {
  EXPECT_EQ(FormatW(u"[%6s][%-6s][%.2s]", u"ab", u"ab", u"abcdef"), u"[    ab][ab    ][ab]");
  EXPECT_EQ(FormatW(u"%c%c", u'好', u'A'), u"好A");
  EXPECT_EQ(FormatW(u"%s", std::u16string(u"串")), u"串");
  const char16_t* none = nullptr;
  EXPECT_EQ(FormatW(u"%s", none), u"(null)");
  // %S and %hs take 8-bit text in the system code page.
  EXPECT_EQ(FormatW(u"%S|%hs", "\xC4\xE3\xBA\xC3", "ok"), u"你好|ok");
  char16_t buf[64];
  wsprintfW(buf, u"%S-%ls-%C", "\xBA\xC3", u"w", 'c');
  EXPECT_EQ(std::u16string(buf), u"好-w-c");
}

TEST(Format, TypedFormattingSurvivesMismatchesAndMissingArguments) {
  EXPECT_EQ(FormatW(u"%d and %d", 1), u"1 and 0");
  EXPECT_EQ(FormatW(u"%s", 12), u"");
  EXPECT_EQ(FormatW(u"%d", u"text"), u"0");
  EXPECT_EQ(FormatW(u"%s|%S", std::string("\xBA\xC3"), u"好"), u"好|好");
  EXPECT_EQ(FormatW(u"trailing %"), u"trailing ");
  EXPECT_EQ(FormatW(u"%q"), u"q");
  EXPECT_EQ(FormatW(u"%.2f %g", 3.14159, 0.5), u"3.14 0.5");
}

TEST(Format, OutputIsBoundedToTheBuffer) {
  std::u16string big(3000, u'x');
  std::u16string buf(2000, u'#');
  int n = wsprintfW(buf.data(), u"%s", big.c_str());
  EXPECT_EQ(n, 1023);
  EXPECT_EQ(buf[1023], 0);
  EXPECT_EQ(buf[1024], u'#');
  char16_t small[5];
  EXPECT_EQ(FormatToBufferW(small, 5, u"%d", 123456), 4);
  EXPECT_EQ(std::u16string(small), u"1234");
}
