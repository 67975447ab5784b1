// MD5, the byte scrambler, authcode and UTF-8 conversion.
#include "host/basekit/codec.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <random>
#include <string>

namespace {

std::string Md5(const std::string& s) {
  return CMD5Checksum::GetMD5(reinterpret_cast<const BYTE*>(s.data()), static_cast<UINT>(s.size()));
}

TEST(MD5Checksum, KnownVectors) {
  EXPECT_EQ(Md5(""), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(Md5("a"), "0cc175b9c0f1b6a831c399e269772661");
  EXPECT_EQ(Md5("abc"), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(Md5("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
  EXPECT_EQ(Md5("12345678901234567890123456789012345678901234567890123456789012345678901234567890"),
            "57edf4a22be3c955ac49da2e2107b67a");
}

TEST(MD5Checksum, OutBufferIsTerminatedAndCoversOnlyTheGivenLength) {
  char out[40];
  std::memset(out, 'x', sizeof out);
  const char* pw = "abcdef";
  CMD5Checksum::GetMD5(reinterpret_cast<const BYTE*>(pw), 3, out);
  EXPECT_STREQ(out, "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(out[33], 'x');
}

TEST(SimpleEncrypt, TwiceGivesTheBufferBack) {
  std::mt19937 rng(7);
  std::string data(1000, '\0');
  for (auto& c : data) c = static_cast<char>(rng());
  std::string copy = data;
  CCrypt::SimpleEncrypt(copy.data(), static_cast<int>(copy.size()));
  EXPECT_NE(copy, data);
  CCrypt::SimpleEncrypt(copy.data(), static_cast<int>(copy.size()));
  EXPECT_EQ(copy, data);
}

TEST(SimpleEncrypt, KeepsZeroesAndMakesNoNewOnes) {
  char name[32] = "zhangsan@example";
  std::size_t len = std::strlen(name);
  for (int i = 0; i < 256; ++i) {
    std::string all(1, static_cast<char>(i));
    CCrypt::SimpleEncrypt(all.data(), 1);
    EXPECT_EQ(all[0] == 0, i == 0) << i;
  }
  CCrypt::SimpleEncrypt(name, static_cast<int>(sizeof name));
  EXPECT_EQ(std::strlen(name), len);
  CCrypt::SimpleEncrypt(name, 0);                         // nothing to do
  CCrypt::SimpleEncrypt(static_cast<char*>(nullptr), 5);  // ignored
}

TEST(Authcode, TextRoundTripIsPrintable) {
  const char* key = "k3y-0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVW";
  char* enc = authcode("zhangsan@example.com", 0, key, 0);
  ASSERT_NE(enc, nullptr);
  std::string e(enc);
  EXPECT_EQ(e.size(), authcode_encoded_length(20));
  for (char c : e)
    EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '/' || c == '=');
  char* dec = authcode(enc, 1, key, 0);
  EXPECT_STREQ(dec, "zhangsan@example.com");
  authcode_free(enc);
  delete[] dec;
}

TEST(Authcode, WrongKeyOrDamagedTextDecodesToEmpty) {
  char* enc = authcode("secret", 0, "key-one", 0);
  char* wrong = authcode(enc, 1, "key-two", 0);
  EXPECT_STREQ(wrong, "");
  std::string damaged(enc);
  damaged[2] = damaged[2] == 'A' ? 'B' : 'A';
  char* bad = authcode(damaged.c_str(), 1, "key-one", 0);
  EXPECT_STREQ(bad, "");
  char* junk = authcode("not base64 at all!", 1, "key-one", 0);
  EXPECT_STREQ(junk, "");
  char* null = authcode(nullptr, 0, "key-one", 0);
  EXPECT_STREQ(null, "");
  for (char* p : {enc, wrong, bad, junk, null}) authcode_free(p);
}

TEST(Authcode, BinaryLogonRecordRoundTrip) {
  std::string record(1000, '\0');
  std::mt19937 rng(3);
  for (auto& c : record) c = static_cast<char>(rng() & 0xff);
  record[0] = 0;  // zero bytes inside survive the binary form
  std::string enc = authcode_bytes(record, 0, "deployment key");
  EXPECT_EQ(enc.size(), authcode_encoded_length(1000));
  EXPECT_EQ(enc.find('\0'), std::string::npos);
  EXPECT_EQ(authcode_bytes(enc, 1, "deployment key"), record);
}

TEST(Authcode, FieldCapacity) {
  // The account field of the logon record holds 320 bytes with its terminator.
  std::size_t max = authcode_max_input(320);
  EXPECT_LE(authcode_encoded_length(max) + 1, 320u);
  EXPECT_GT(authcode_encoded_length(max + 3) + 1, 320u);
  // A 32-character digest always fits its 664-byte field.
  EXPECT_LE(authcode_encoded_length(32) + 1, 664u);
  EXPECT_EQ(authcode_max_input(0), 0u);
}

TEST(Codec, Utf8BothWays) {
  char* utf8 = CCodec::unicodeToUtf8(u"聊天好友 ok");
  EXPECT_STREQ(utf8, "\xE8\x81\x8A\xE5\xA4\xA9\xE5\xA5\xBD\xE5\x8F\x8B ok");
  char16_t* back = CCodec::utf8ToUnicode(utf8);
  EXPECT_EQ(std::u16string(back), u"聊天好友 ok");
  CCodec::free(utf8);
  CCodec::free(back);
  EXPECT_EQ(CCodec::unicodeToUtf8(nullptr), nullptr);
}

}  // namespace
