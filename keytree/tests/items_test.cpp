// Typed items: text forms and parsing, binary records, typed reads,
// equality, arithmetic, class descriptors and the diagnostic dump.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "keytree/keytree.h"

namespace {

using Bytes = std::vector<unsigned char>;

std::unique_ptr<CItem> Parse(const char* text, int len = -1) {
  return std::unique_ptr<CItem>(CItem::CreateFromString(text, len));
}

template <typename T>
T* As(const std::unique_ptr<CItem>& item) {
  return dynamic_cast<T*>(item.get());
}

Bytes Record(const CItem& item) {
  Bytes out(item.GetBinarizeSize());
  unsigned char* cursor = out.data();
  int remaining = static_cast<int>(out.size());
  EXPECT_EQ(item.Binarize(cursor, remaining), 1);
  EXPECT_EQ(remaining, 0);
  EXPECT_EQ(cursor, out.data() + out.size());
  return out;
}

GUID MakeGuid(uint32_t d1, uint16_t d2, uint16_t d3, std::initializer_list<uint8_t> d4) {
  GUID g{d1, d2, d3, {}};
  size_t i = 0;
  for (uint8_t b : d4) g.Data4[i++] = b;
  return g;
}

std::string g_debugText;
void CaptureDebug(const char* text, void*) { g_debugText += text; }

}  // namespace

// ---- integers ----------------------------------------------------------------

TEST(IntegerText, ParseTakesTrimmedTextThatIsWhollyANumber) {
  auto n = std::unique_ptr<CItem>(CLinteger::CreateFromString(" 42 ", -1));
  ASSERT_TRUE(n);
  EXPECT_EQ(IntOf(n.get(), 0), 42);
  for (const char* ok : {"-7", "+7", "\t12\r\n"})
    EXPECT_TRUE(std::unique_ptr<CItem>(CLinteger::CreateFromString(ok, -1))) << ok;
  for (const char* bad : {"4 2", "", "   ", "1.5", "12abc", "+", "-", "0x10"})
    EXPECT_FALSE(std::unique_ptr<CItem>(CLinteger::CreateFromString(bad, -1))) << bad;
  EXPECT_FALSE(CLinteger::CreateFromString(nullptr, -1));
  // The length bounds the text: "123" cut to two characters is 12.
  auto cut = std::unique_ptr<CItem>(CLinteger::CreateFromString("123", 2));
  EXPECT_EQ(IntOf(cut.get(), 0), 12);
}

TEST(IntegerText, FromStringNeedsTheExactLength) {
  CLinteger n(5);
  EXPECT_EQ(n.FromString("42", 2), 1);
  EXPECT_EQ(static_cast<long>(n), 42);
  EXPECT_EQ(n.FromString("43", -1), 0);  // -1 is never the count consumed
  EXPECT_EQ(n.FromString("43 ", 3), 0);  // no trimming here
  EXPECT_EQ(n.FromString(nullptr, 2), 0);
  EXPECT_EQ(static_cast<long>(n), 42);
  EXPECT_EQ(n.FromString("-8", 2), 1);
  EXPECT_EQ(n.ToString(), "-8");
}

TEST(IntegerText, OutOfRangeNumbersWrapAround) {
  auto big = std::unique_ptr<CItem>(CLinteger::CreateFromString("4294967297", -1));
  EXPECT_EQ(IntOf(big.get(), 0), 1);
  EXPECT_EQ(CLinteger(INT_MIN).ToString(), "-2147483648");
}

TEST(IntegerArithmetic, WrapsTruncatesAndNeverTraps) {
  CLinteger a(7), b(-2);
  EXPECT_EQ(static_cast<long>(a + b), 5);
  EXPECT_EQ(static_cast<long>(a - b), 9);
  EXPECT_EQ(static_cast<long>(a * b), -14);
  EXPECT_EQ(static_cast<long>(a / b), -3);                         // truncating
  EXPECT_EQ(static_cast<long>(CLinteger(-7) % CLinteger(2)), -1);  // sign of the dividend
  EXPECT_EQ(static_cast<long>(CLinteger(INT_MAX) + CLinteger(1)), INT_MIN);
  EXPECT_EQ(static_cast<long>(-CLinteger(INT_MIN)), INT_MIN);
  // Outside the operators' domain: defined results instead of a trap.
  EXPECT_EQ(static_cast<long>(a / CLinteger(0)), 0);
  EXPECT_EQ(static_cast<long>(a % CLinteger(0)), 7);
  EXPECT_EQ(static_cast<long>(CLinteger(INT_MIN) / CLinteger(-1)), INT_MIN);
  EXPECT_EQ(static_cast<long>(CLinteger(INT_MIN) % CLinteger(-1)), 0);

  CLinteger c(10);
  (c += CLinteger(5)) *= CLinteger(2);
  EXPECT_EQ(static_cast<long>(c), 30);
  c -= CLinteger(2);
  c /= CLinteger(4);
  c %= CLinteger(4);
  EXPECT_EQ(static_cast<long>(c), 3);
  CLinteger copy = ++c;
  EXPECT_EQ(static_cast<long>(copy), 4);
  ++copy;  // a copy: the original does not follow
  EXPECT_EQ(static_cast<long>(c), 4);
  EXPECT_EQ(static_cast<long>(--c), 3);
}

// ---- reals -------------------------------------------------------------------

TEST(RealText, PrintsFifteenDecimals) {
  EXPECT_EQ(CLreal(0.1).ToString(), "0.100000000000000");
  EXPECT_EQ(CLreal(2.5).ToString(), "2.500000000000000");
  EXPECT_EQ(CLreal(-1e3).ToString(), "-1000.000000000000000");
}

TEST(RealText, AcceptsDecimalNumbersOnly) {
  for (const char* ok : {"2", "2.5", "-1e3", ".5", "5.", "+1E+2", " 3.25 "}) {
    auto r = std::unique_ptr<CItem>(CLreal::CreateFromString(ok, -1));
    EXPECT_TRUE(r) << ok;
  }
  EXPECT_DOUBLE_EQ(RealOf(std::unique_ptr<CItem>(CLreal::CreateFromString("-1e3", -1)).get(), 0),
                   -1000.0);
  // Hexadecimal floating forms and the words are not numbers here.
  for (const char* bad :
       {"0x0000000101", "0x1p3", "inf", "nan", "INFINITY", "1e", "1e+", ".", "", "1.5x"})
    EXPECT_FALSE(std::unique_ptr<CItem>(CLreal::CreateFromString(bad, -1))) << bad;
}

TEST(RealText, FromStringNeedsTheExactLength) {
  CLreal r(1.0);
  EXPECT_EQ(r.FromString("2.5", 3), 1);
  EXPECT_EQ(static_cast<double>(r), 2.5);
  EXPECT_EQ(r.FromString("3.5", -1), 0);
  EXPECT_EQ(r.FromString("3.5 ", 4), 0);
  EXPECT_EQ(static_cast<double>(r), 2.5);
  EXPECT_EQ(r.FromString("3.5", 2), 1);  // nothing past the given length is read
  EXPECT_EQ(static_cast<double>(r), 3.0);
}

// A process locale whose decimal separator is a comma: de_DE when the system
// has it, else one made here that changes only the numbers.
bool UseCommaLocale() {
  if (std::setlocale(LC_ALL, "de_DE.UTF-8")) return true;
  std::string dir = "/tmp/kt_locale_" + std::to_string(::getpid());
  std::string src = dir + ".src";
  ::mkdir(dir.c_str(), 0700);
  std::FILE* f = std::fopen(src.c_str(), "w");
  if (!f) return false;
  std::fputs("LC_NUMERIC\ndecimal_point \",\"\nthousands_sep \".\"\ngrouping 3;3\nEND LC_NUMERIC\n",
             f);
  std::fclose(f);
  std::string cmd =
      "localedef -c -i " + src + " -f ANSI_X3.4-1968 " + dir + "/comma >/dev/null 2>&1";
  int ignored = std::system(cmd.c_str());
  (void)ignored;
  ::setenv("LOCPATH", dir.c_str(), 1);
  bool ok = std::setlocale(LC_NUMERIC, "comma") != nullptr;
  ::unsetenv("LOCPATH");
  std::remove(src.c_str());
  ignored = std::system(("rm -rf " + dir).c_str());
  return ok;
}

// Numbers are written and read the same whatever locale the client set.
TEST(RealText, IndependentOfTheProcessLocale) {
  if (!UseCommaLocale()) GTEST_SKIP() << "no locale with a decimal comma";
  char probe[16];
  std::snprintf(probe, sizeof probe, "%.1f", 2.5);
  EXPECT_STREQ(probe, "2,5");
  EXPECT_EQ(CLreal(2.5).ToString(), "2.500000000000000");
  EXPECT_EQ(CLreal(-1e3).ToString(), "-1000.000000000000000");
  auto list = Parse("(2.5, 1)");
  ASSERT_TRUE(As<CItemList>(list));
  EXPECT_EQ(As<CItemList>(list)->GetCount(), 2);
  EXPECT_EQ(RealOf(As<CItemList>(list)->Head(), 0), 2.5);
  EXPECT_EQ(RealOf(Parse(" 0.1 ").get(), 0), 0.1);
  EXPECT_EQ(RealOf(Parse("-1.5e-3").get(), 0), -1.5e-3);
  EXPECT_FALSE(As<CLreal>(Parse("2,5")));
  CLreal r(1.0);
  EXPECT_EQ(r.FromString("+7.25", 5), 1);
  EXPECT_EQ(static_cast<double>(r), 7.25);
  std::setlocale(LC_ALL, "C");
}

TEST(RealArithmetic, OperatorsAndEquality) {
  CLreal a(1.5), b(0.5);
  EXPECT_EQ(static_cast<double>(a + b), 2.0);
  EXPECT_EQ(static_cast<double>(a - b), 1.0);
  EXPECT_EQ(static_cast<double>(a * b), 0.75);
  EXPECT_EQ(static_cast<double>(a / b), 3.0);
  EXPECT_EQ(static_cast<double>(-a), -1.5);
  a += b;
  a *= CLreal(2);
  a -= CLreal(1);
  a /= CLreal(3);
  EXPECT_EQ(static_cast<double>(a), 1.0);
  EXPECT_EQ(static_cast<double>(++a), 2.0);
  EXPECT_EQ(static_cast<double>(--a), 1.0);
  EXPECT_TRUE(CLreal(0.0) == CLreal(-0.0));
  EXPECT_FALSE(CLreal(1.0) == CLinteger(1));  // no conversion between types
}

// ---- strings -----------------------------------------------------------------

TEST(StringText, EscapesQuotesBackslashesAndControlCharacters) {
  CLstring s("\"\\\t\r");
  EXPECT_EQ(s.ToString(), "\"\\\"\\\\\t\\xd\"");
  auto back = std::unique_ptr<CItem>(CLstring::CreateFromString(s.ToString(), -1));
  ASSERT_TRUE(back);
  EXPECT_STREQ(StrOf(back.get(), nullptr), "\"\\\t\r");
  EXPECT_EQ(CLstring("a\nb\x01\x7f").ToString(), "\"a\nb\\x1\\x7f\"");
  EXPECT_EQ(CLstring("\xc4\xe3").ToString(), "\"\xc4\xe3\"");  // multi-byte text passes
}

TEST(StringText, ControlCharacterBeforeAHexDigitDoesNotSurvive) {
  CLstring s("\ra");
  EXPECT_EQ(s.ToString(), "\"\\xda\"");
  auto back = std::unique_ptr<CItem>(CLstring::CreateFromString(s.ToString(), -1));
  EXPECT_STREQ(StrOf(back.get(), nullptr), "\xda");
}

TEST(StringText, ParseRules) {
  auto ok = [](const char* text) -> std::string {
    auto item = std::unique_ptr<CItem>(CLstring::CreateFromString(text, -1));
    return item ? StrOf(item.get(), "") : "<fail>";
  };
  EXPECT_EQ(ok("\"\""), "");
  EXPECT_EQ(ok("  \"ab\"\n"), "ab");
  EXPECT_EQ(ok("\"a\"b\""), "a\"b");  // an inner quote without backslash is a character
  EXPECT_EQ(ok("\"\\x41\\x4a\""), "AJ");
  EXPECT_EQ(ok("\"\\x141\""), "A");  // greedy hex: the low 8 bits
  EXPECT_EQ(ok("\"a\\qb\""), "<fail>");
  EXPECT_EQ(ok("\"ab\\\""), "<fail>");  // backslash right before the closing quote
  EXPECT_EQ(ok("\"\\x\""), "<fail>");
  EXPECT_EQ(ok("\""), "<fail>");
  EXPECT_EQ(ok("ab"), "<fail>");
  CLstring s("old");
  EXPECT_EQ(s.FromString("\"a\\qb\"", -1), 0);
  EXPECT_STREQ(s, "old");
  EXPECT_EQ(s.FromString("  \"new\" ", -1), 1);
  EXPECT_STREQ(s, "new");
}

TEST(StringItem, IsAStringToo) {
  CLstring s("abc", 2);
  EXPECT_STREQ(s, "ab");
  EXPECT_EQ(std::strlen(s), 2u);
  s = "xyz";
  CString copy = s;
  EXPECT_EQ(copy, "xyz");
  EXPECT_TRUE(CLstring("A") != CLstring("a"));  // case-sensitive
  EXPECT_TRUE(CLstring("a") == CLstring("a"));
  s = static_cast<const char*>(nullptr);
  EXPECT_STREQ(s, "");
}

// ---- user blocks -------------------------------------------------------------

TEST(UserText, CountThenBytesInLowercaseHex) {
  const unsigned char bytes[] = {0x01, 0xAB, 0xFF};
  CLuser u(bytes, 3);
  EXPECT_EQ(u.ToString(), "0x0000000301abff");
  auto back = std::unique_ptr<CItem>(CLuser::CreateFromString(u.ToString(), -1));
  ASSERT_TRUE(back);
  EXPECT_TRUE(u == *back);

  CLuser empty;
  EXPECT_EQ(empty.GetBuf(), nullptr);
  EXPECT_EQ(empty.ToString(), "0x00000000");
  auto e = std::unique_ptr<CItem>(CLuser::CreateFromString("0x00000000", -1));
  ASSERT_TRUE(e);
  EXPECT_EQ(static_cast<CLuser*>(e.get())->GetLen(), 0u);
  EXPECT_TRUE(empty == *e);
}

TEST(UserText, MalformedBlocksFail) {
  for (const char* bad : {"0x00000002ab", "0x0000000", "0x", "0X00000000", "1x00000000",
                          "0x00000001abc", "0x00000001zz", "0x00000001AB", "0xg0000000"})
    EXPECT_FALSE(std::unique_ptr<CItem>(CLuser::CreateFromString(bad, -1))) << bad;
  CLuser u("\x05", 1);
  EXPECT_EQ(u.FromString("0x00000002ab", -1), 0);
  EXPECT_EQ(u.GetLen(), 1u);
  EXPECT_EQ(u.FromString("0x000000020a0b", -1), 1);
  ASSERT_EQ(u.GetLen(), 2u);
  EXPECT_EQ(u.GetBuf()[1], 0x0b);
}

TEST(UserItem, NullDataGivesZeroBytes) {
  CLuser u(nullptr, 4);
  ASSERT_EQ(u.GetLen(), 4u);
  EXPECT_EQ(u.ToString(), "0x0000000400000000");
  CLuser copy(u);
  EXPECT_NE(copy.GetBuf(), u.GetBuf());
  EXPECT_TRUE(copy == u);
  EXPECT_FALSE(CLuser("a", 1) == CLuser("ab", 2));
}

// ---- GUIDs -------------------------------------------------------------------

TEST(GuidText, SignedAndUnsignedFieldsBothWays) {
  GUID g = MakeGuid(0xFFFFFFFF, 65535, 1, {255, 0, 0, 0, 0, 0, 0, 128});
  CLguid item(g);
  EXPECT_EQ(item.ToString(), "-1/65535/1/-1/0/0/0/0/0/0/-128");
  auto back = std::unique_ptr<CItem>(CLguid::CreateFromString(item.ToString(), -1));
  EXPECT_EQ(GuidOf(back.get(), GUID{}), g);
}

TEST(GuidText, NumbersInAnyBaseAndZeroFallback) {
  auto parse = [](const char* text) {
    return GuidOf(std::unique_ptr<CItem>(CLguid::CreateFromString(text, -1)).get(),
                  MakeGuid(9, 9, 9, {9}));
  };
  EXPECT_EQ(parse("0x10/0/0/0/0/0/0/0/0/0/0").Data1, 16u);
  EXPECT_EQ(parse("010/0/0/0/0/0/0/0/0/0/0").Data1, 8u);
  EXPECT_EQ(parse("1/65537/0/0/0/0/0/0/0/0/257").Data2, 1);  // low 16 bits
  EXPECT_EQ(parse("1/65537/0/0/0/0/0/0/0/0/257").Data4[7], 1);
  const GUID zero{};
  for (const char* other : {"", "word", "1/2/3", "1/2/3/4/5/6/7/8/9/10/11/12",
                            "0/0/0/0/0/0/0/0/0/0/0 and more", "08/0/0/0/0/0/0/0/0/0/0"})
    EXPECT_EQ(parse(other), zero) << other;
  EXPECT_FALSE(CLguid::CreateFromString(nullptr, -1));
  CLguid item(MakeGuid(1, 2, 3, {4}));
  EXPECT_EQ(item.FromString("nonsense", -1), 1);  // replaced by zero
  EXPECT_EQ(static_cast<GUID>(item), zero);
  EXPECT_EQ(item.FromString(nullptr, -1), 0);
}

// ---- generic parse -------------------------------------------------------------

TEST(GenericParse, PicksTheFirstClassThatAccepts) {
  EXPECT_TRUE(As<CLinteger>(Parse("5")));
  EXPECT_TRUE(As<CLreal>(Parse("5.0")));
  EXPECT_STREQ(StrOf(Parse("\"5\"").get(), nullptr), "5");
  auto user = Parse("0x0000000101");
  ASSERT_TRUE(As<CLuser>(user));
  EXPECT_EQ(As<CLuser>(user)->GetBuf()[0], 0x01);
  EXPECT_TRUE(As<CItemList>(Parse("(1)")));
  const GUID zero{};
  for (const char* text : {"word", "", "   ", "\"a\\qb\"", "(1, (2"}) {
    auto item = Parse(text);
    ASSERT_TRUE(As<CLguid>(item)) << text;
    EXPECT_EQ(GuidOf(item.get(), MakeGuid(1, 1, 1, {1})), zero);
  }
  EXPECT_FALSE(Parse(nullptr));
  EXPECT_TRUE(As<CLinteger>(Parse("12345", 2)));  // the given length, not the NUL
}

// ---- typed reads ---------------------------------------------------------------

TEST(TypedReads, DefaultsForNoItemAndOtherTypes) {
  EXPECT_EQ(IntOf(LS_INVALID_ITEM, 7), 7);
  EXPECT_EQ(IntOf(nullptr, 7), 7);
  CLinteger n(3);
  CLreal r(1.5);
  CLstring s("text");
  CLguid g(MakeGuid(5, 0, 0, {}));
  EXPECT_EQ(IntOf(&n, 7), 3);
  EXPECT_EQ(RealOf(&n, 9.5), 9.5);  // no conversion between types
  EXPECT_EQ(RealOf(&r, 0), 1.5);
  EXPECT_EQ(IntOf(&r, 7), 7);
  EXPECT_EQ(StrOf(&s, nullptr), s.GetString());  // the item's own characters
  const char* def = "d";
  EXPECT_EQ(StrOf(&n, def), def);
  EXPECT_EQ(StrOf(LS_INVALID_ITEM, def), def);
  EXPECT_EQ(CStrOf(&s, "d"), "text");
  EXPECT_EQ(CStrOf(&n, "d"), "d");
  EXPECT_EQ(CStrOf(nullptr, nullptr), "");
  EXPECT_EQ(GuidOf(&g, GUID{}).Data1, 5u);
  EXPECT_EQ(GuidOf(&n, MakeGuid(8, 0, 0, {})).Data1, 8u);

  EXPECT_EQ(n.AsInt(0), 3);
  EXPECT_EQ(s.AsReal(2.0), 2.0);
  EXPECT_STREQ(s.AsStr(nullptr), "text");
  EXPECT_EQ(n.AsCStr("x"), "x");
  EXPECT_EQ(g.AsGuid(GUID{}).Data1, 5u);
  CItemList list;
  CLuser user;
  EXPECT_EQ(list.AsItemList(nullptr), &list);
  EXPECT_EQ(n.AsItemList(nullptr), nullptr);
  EXPECT_EQ(user.AsUser(nullptr), &user);
  EXPECT_EQ(n.AsUser(nullptr), nullptr);
}

// ---- assignment and equality ---------------------------------------------------

TEST(ScalarAssignment, FromAnItemPointerOnlyOfTheSameKind) {
  CLinteger n(1);
  CLinteger other(2);
  CLreal r(3.0);
  n = static_cast<CItem*>(&r);
  EXPECT_EQ(static_cast<long>(n), 1);
  n = static_cast<CItem*>(nullptr);
  n = LS_INVALID_ITEM;
  n = static_cast<CItem*>(&n);
  EXPECT_EQ(static_cast<long>(n), 1);
  n = static_cast<CItem*>(&other);
  EXPECT_EQ(static_cast<long>(n), 2);
  r = static_cast<CItem*>(&other);
  EXPECT_EQ(static_cast<double>(r), 3.0);
  CLreal r2(4.0);
  r = static_cast<CItem*>(&r2);
  EXPECT_EQ(static_cast<double>(r), 4.0);
  CLguid g, g2(MakeGuid(7, 0, 0, {}));
  g = static_cast<CItem*>(&n);
  EXPECT_EQ(static_cast<GUID>(g).Data1, 0u);
  g = static_cast<CItem*>(&g2);
  EXPECT_EQ(static_cast<GUID>(g).Data1, 7u);
}

TEST(Equality, SameClassAndValue) {
  EXPECT_TRUE(CLinteger(1) == CLinteger(1));
  EXPECT_TRUE(CLinteger(1) != CLinteger(2));
  EXPECT_TRUE(CLinteger(1) != CLstring("1"));
  EXPECT_TRUE(CLguid() == CLguid());
  EXPECT_TRUE(CLuser() == CLuser());
  EXPECT_FALSE(CLuser() == CLguid());
}

// ---- binary records ------------------------------------------------------------

TEST(BinaryRecord, LayoutOfEachType) {
  EXPECT_EQ(Record(CLinteger(-2)), (Bytes{0, 9, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(Record(CLreal(1.0)), (Bytes{1, 13, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));
  EXPECT_EQ(Record(CLstring("ab")), (Bytes{2, 8, 0, 0, 0, 'a', 'b', 0}));
  EXPECT_EQ(Record(CLuser("\x01\x02", 2)), (Bytes{3, 7, 0, 0, 0, 1, 2}));
  EXPECT_EQ(Record(CLguid(MakeGuid(0x04030201, 0x0605, 0x0807, {9, 10, 11, 12, 13, 14, 15, 16}))),
            (Bytes{6, 21, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}));
}

TEST(BinaryRecord, RoundTripThroughCreateFromBuf) {
  std::vector<std::unique_ptr<CItem>> items;
  items.emplace_back(new CLinteger(INT_MIN));
  items.emplace_back(new CLreal(0.1));
  items.emplace_back(new CLstring("\xc4\xe3 \"q\""));
  items.emplace_back(new CLstring(""));
  items.emplace_back(new CLuser());
  items.emplace_back(new CLuser("\0\1\2", 3));
  items.emplace_back(new CLguid(MakeGuid(1, 2, 3, {4, 5})));
  for (auto& item : items) {
    Bytes rec = Record(*item);
    std::unique_ptr<CItem> back(CItem::CreateFromBuf(rec.data()));
    ASSERT_TRUE(back) << item->ToString();
    EXPECT_EQ(back->GetRuntimeClass(), item->GetRuntimeClass());
    EXPECT_TRUE(*back == *item) << item->ToString();
    std::unique_ptr<CItem> bounded(CItem::CreateFromBuf(rec.data(), rec.size()));
    EXPECT_TRUE(bounded && *bounded == *item);
  }
}

TEST(BinaryRecord, BinarizeNeedsRoomAndWritesNothingOtherwise) {
  CLstring s("abc");
  Bytes out(9, 0xEE);
  unsigned char* cursor = out.data();
  int remaining = 8;
  EXPECT_EQ(s.Binarize(cursor, remaining), 0);
  EXPECT_EQ(cursor, out.data());
  EXPECT_EQ(remaining, 8);
  EXPECT_EQ(out, Bytes(9, 0xEE));
  remaining = 9;
  EXPECT_EQ(s.Binarize(cursor, remaining), 1);
  EXPECT_EQ(remaining, 0);
}

TEST(BinaryRecord, CreateFromBufRefusals) {
  EXPECT_FALSE(CItem::CreateFromBuf(nullptr));
  Bytes tag7{7, 9, 0, 0, 0, 1, 0, 0, 0};
  EXPECT_FALSE(CItem::CreateFromBuf(tag7.data()));
  Bytes shortInt{0, 8, 0, 0, 0, 1, 0, 0, 0};
  EXPECT_FALSE(CItem::CreateFromBuf(shortInt.data()));
  Bytes tooShort{2, 4, 0, 0, 0};
  EXPECT_FALSE(CItem::CreateFromBuf(tooShort.data()));
  Bytes shortGuid{6, 20, 0, 0, 0};
  shortGuid.resize(20);
  EXPECT_FALSE(CItem::CreateFromBuf(shortGuid.data()));
  // A record may say it is longer than its type's minimum.
  Bytes longInt{0, 10, 0, 0, 0, 3, 0, 0, 0, 0};
  std::unique_ptr<CItem> n(CItem::CreateFromBuf(longInt.data()));
  EXPECT_EQ(IntOf(n.get(), 0), 3);
}

TEST(BinaryRecord, LengthAwareReadsNeverPassTheBytesGiven) {
  Bytes rec = Record(CLinteger(5));
  EXPECT_FALSE(CItem::CreateFromBuf(rec.data(), rec.size() - 1));
  EXPECT_FALSE(CItem::CreateFromBuf(rec.data(), 4));
  Bytes str{2, 200, 0, 0, 0, 'a', 'b', 0};  // states 200 bytes, has 8
  EXPECT_FALSE(CItem::CreateFromBuf(str.data(), str.size()));
  CLstring s("keep");
  EXPECT_EQ(s.Unbinarize(str.data(), str.size()), 0);
  EXPECT_STREQ(s, "keep");
  // A string record without its NUL ends with the record.
  Bytes noNul{2, 7, 0, 0, 0, 'x', 'y'};
  EXPECT_EQ(s.Unbinarize(noNul.data(), noNul.size()), 1);
  EXPECT_STREQ(s, "xy");
}

TEST(BinaryRecord, UnbinarizeChecksTagAndMinimumAndKeepsTheValue) {
  CLinteger n(4);
  Bytes real = Record(CLreal(1.0));
  EXPECT_EQ(n.Unbinarize(real.data()), 0);
  EXPECT_EQ(n.Unbinarize(nullptr), 0);
  EXPECT_EQ(static_cast<long>(n), 4);
  CLuser u("\x07", 1);
  Bytes empty{3, 5, 0, 0, 0};
  EXPECT_EQ(u.Unbinarize(empty.data()), 1);
  EXPECT_EQ(u.GetLen(), 0u);
  EXPECT_EQ(u.GetBuf(), nullptr);
}

// ---- class descriptors ---------------------------------------------------------

TEST(ClassDescriptors, NamesSchemasFactoriesAndRegistry) {
  struct Expect {
    const char* name;
    const CRuntimeClass* cls;
  };
  for (Expect e :
       {Expect{"CLinteger", RUNTIME_CLASS(CLinteger)}, Expect{"CLreal", RUNTIME_CLASS(CLreal)},
        Expect{"CLstring", RUNTIME_CLASS(CLstring)}, Expect{"CLuser", RUNTIME_CLASS(CLuser)},
        Expect{"CLguid", RUNTIME_CLASS(CLguid)}, Expect{"CItemList", RUNTIME_CLASS(CItemList)}}) {
    EXPECT_STREQ(e.cls->m_lpszClassName, e.name);
    EXPECT_EQ(e.cls->m_wSchema, 1u);
    EXPECT_EQ(CRuntimeClass::FromName(e.name), e.cls);
    std::unique_ptr<CObject> made(e.cls->CreateObject());
    ASSERT_TRUE(made);
    EXPECT_EQ(made->GetRuntimeClass(), e.cls);
    EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(CItem)));
  }
  EXPECT_STREQ(RUNTIME_CLASS(CItem)->m_lpszClassName, "CItem");
  EXPECT_EQ(RUNTIME_CLASS(CItem)->m_wSchema, 0xFFFFu);
  EXPECT_EQ(RUNTIME_CLASS(CItem)->CreateObject(), nullptr);
  EXPECT_FALSE(CLinteger().IsKindOf(RUNTIME_CLASS(CItemList)));
  EXPECT_EQ(CRuntimeClass::FromName("CNoSuchClass"), nullptr);
}

TEST(ClassDescriptors, InitListDLLRegistersAgain) {
  static const CRuntimeClass impostor = {"CLinteger", 0, 1, nullptr, nullptr};
  CRuntimeClass::Register(&impostor);
  EXPECT_EQ(CRuntimeClass::FromName("CLinteger"), &impostor);
  InitListDLL();
  EXPECT_EQ(CRuntimeClass::FromName("CLinteger"), RUNTIME_CLASS(CLinteger));
}

// ---- diagnostics ---------------------------------------------------------------

TEST(DumpCItem, WritesToTheDebugChannel) {
  g_debugText.clear();
  DebugOutputSink previous = SetDebugOutputSink(CaptureDebug, nullptr);
  DumpCItem(nullptr);
  DumpCItem(LS_INVALID_ITEM);
  CLinteger n(3);
  DumpCItem(&n);
  std::unique_ptr<CItem> list(CItemList::CreateFromString("(1, (2))", -1));
  DumpCItem(list.get());
  SetDebugOutputSink(previous, nullptr);
  EXPECT_EQ(g_debugText, "CItem pointer is NULL\nCItem pointer is NULL\n3\n\n(1, \n  (2)\n)\n");
}
