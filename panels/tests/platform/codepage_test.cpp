#include "platform/text.h"
#include "platform/winerror.h"

#include <gtest/gtest.h>

namespace {
// "联系人" (contacts) in GBK.
const char kGbk[] = "\xC1\xAA\xCF\xB5\xC8\xCB";
}  // namespace

TEST(CodePage, DefaultsToGbkAndCanBeChanged) {
  EXPECT_EQ(GetACP(), 936u);
  EXPECT_EQ(FromAnsi(kGbk), u"联系人");
  EXPECT_EQ(ToAnsi(u"联系人"), kGbk);
  EXPECT_FALSE(SetSystemCodePage(12345));
  EXPECT_EQ(GetACP(), 936u);
  ASSERT_TRUE(SetSystemCodePage(CP_UTF8));
  EXPECT_EQ(ToAnsi(u"联系人"), "联系人");
  ASSERT_TRUE(SetSystemCodePage(936));
}

TEST(CodePage, ChineseRoundTripsThroughGbkAndUtf8) {
  const std::u16string text = u"我的好友 QQ好友 MSN好友 企业组织 €";
  EXPECT_EQ(FromAnsi(ToAnsi(text)), text);
  EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
  EXPECT_EQ(ToUtf8(u"好"), "好");
  // A character outside the basic plane travels as a surrogate pair.
  EXPECT_EQ(FromUtf8("\xF0\x9F\x98\x80"), std::u16string(u"\U0001F600"));
}

TEST(CodePage, MultiByteToWideCharSizesAndTerminators) {
  // -1: the terminator is converted and counted.
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, kGbk, -1, nullptr, 0), 4);
  char16_t out[8] = {};
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, kGbk, -1, out, 8), 4);
  EXPECT_EQ(std::u16string(out), u"联系人");
  // An explicit length converts exactly those bytes, without terminator.
  char16_t part[8] = {u'#', u'#', u'#'};
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, kGbk, 2, part, 8), 1);
  EXPECT_EQ(part[0], u'联');
  EXPECT_EQ(part[1], u'#');
  // Too small a buffer fails with ERROR_INSUFFICIENT_BUFFER.
  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, kGbk, -1, out, 3), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, kGbk, 0, out, 8), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, nullptr, -1, out, 8), 0);
}

TEST(CodePage, InvalidBytesAreReplacedOrRefused) {
  // 0xFF is never valid in GBK; a lone lead byte at the end is incomplete.
  EXPECT_EQ(FromAnsi("a\xFF"
                     "b"),
            u"a\uFFFDb");
  EXPECT_EQ(FromAnsi("ab\xC1"), u"ab\uFFFD");
  EXPECT_EQ(FromUtf8("x\xC3(y"), u"x\uFFFD(y");
  char16_t out[8];
  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "x\xC3(", -1, out, 8), 0);
  EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "x\xC3(", -1, out, 8), 4);
}

TEST(CodePage, WideCharToMultiByteDefaultCharacterAndSurrogates) {
  BOOL used = FALSE;
  char out[16] = {};
  // A Korean syllable has no GBK form.
  int n = WideCharToMultiByte(CP_ACP, 0, u"a한b", -1, out, 16, nullptr, &used);
  EXPECT_EQ(n, 4);
  EXPECT_STREQ(out, "a?b");
  EXPECT_TRUE(used);
  n = WideCharToMultiByte(CP_ACP, 0, u"a한b", 3, out, 16, "*", &used);
  EXPECT_EQ(std::string(out, static_cast<size_t>(n)), "a*b");
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"联系人", -1, nullptr, 0, nullptr, nullptr), 7);
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"联系人", -1, out, 6, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  // An unpaired surrogate becomes U+FFFD in UTF-8.
  const char16_t lone[] = {u'a', 0xD800, u'b', 0};
  n = WideCharToMultiByte(CP_UTF8, 0, lone, -1, out, 16, nullptr, nullptr);
  EXPECT_EQ(std::string(out, static_cast<size_t>(n - 1)),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(ToUtf8(std::u16string_view(lone, 2)), "a\xEF\xBF\xBD");
}
