#include "platform/text.h"

#include <gtest/gtest.h>

TEST(Text, LengthCopyAndConcatenateTreatNullAsEmpty) {
  EXPECT_EQ(lstrlenW(nullptr), 0);
  EXPECT_EQ(lstrlenW(u"好友abc"), 5);
  char16_t buf[6];
  lstrcpynW(buf, u"abcdefgh", 6);
  EXPECT_EQ(std::u16string(buf), u"abcde");  // cut to max-1 and terminated
  lstrcpynW(buf, nullptr, 6);
  EXPECT_EQ(std::u16string(buf), u"");
  char16_t one[1] = {u'x'};
  lstrcpynW(one, u"abc", 1);
  EXPECT_EQ(one[0], 0);
  char16_t cat[16] = u"ab";
  lstrcatW(cat, u"cd");
  EXPECT_EQ(std::u16string(cat), u"abcd");
}

TEST(Text, CompareOrdersAsTheOriginal) {
  EXPECT_EQ(lstrcmpW(u"abc", u"abc"), 0);
  EXPECT_LT(lstrcmpW(u"abc", u"abd"), 0);
  EXPECT_LT(lstrcmpW(u"ab", u"abc"), 0);
  EXPECT_GT(lstrcmpW(u"abc", nullptr), 0);
  EXPECT_EQ(lstrcmpW(nullptr, u""), 0);
  // Letters compare by letter first, lower case before upper case on a tie.
  EXPECT_LT(lstrcmpW(u"a", u"B"), 0);
  EXPECT_LT(lstrcmpW(u"abc", u"ABC"), 0);
  EXPECT_LT(lstrcmpW(u"ABC", u"abd"), 0);
  // Punctuation before digits before letters.
  EXPECT_LT(lstrcmpW(u"_x", u"1x"), 0);
  EXPECT_LT(lstrcmpW(u"9", u"a"), 0);
}

TEST(Text, CompareIgnoringCaseCoversLatinGreekCyrillicAndFullWidth) {
  EXPECT_EQ(lstrcmpiW(u"LastUser", u"LASTUSER"), 0);
  EXPECT_EQ(lstrcmpiW(u"ÀÉÎÕÜ", u"àéîõü"), 0);
  EXPECT_EQ(lstrcmpiW(u"ŁĄŻ", u"łąż"), 0);
  EXPECT_EQ(lstrcmpiW(u"ΑΒΓ", u"αβγ"), 0);
  EXPECT_EQ(lstrcmpiW(u"ДРУГ", u"друг"), 0);
  EXPECT_EQ(lstrcmpiW(u"ＡＢＣ", u"ａｂｃ"), 0);
  EXPECT_EQ(lstrcmpiW(u"ÿ", u"Ÿ"), 0);
  EXPECT_NE(lstrcmpiW(u"×", u"÷"), 0);  // signs, not letters
  EXPECT_LT(lstrcmpiW(u"apple", u"Banana"), 0);
  EXPECT_GT(lstrcmpiW(u"好友", u"好"), 0);
}

TEST(Text, CaseMapping) {
  char16_t s[] = u"abc Ωé 好";
  CharUpperW(s);
  EXPECT_EQ(std::u16string(s), u"ABC ΩÉ 好");
  EXPECT_EQ(ToLowerW(u"ÀÉ ДÄ"), u"àé дä");
  EXPECT_EQ(ToUpperW(u"straße"), u"STRAßE");  // ß has no single upper case
}
