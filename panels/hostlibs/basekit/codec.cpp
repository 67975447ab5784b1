// UTF-8 conversion, MD5 digests, the byte scrambler and authcode.
#include "host/basekit/codec.h"

#include "platform/text.h"

#include <md5.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <vector>

char* CCodec::unicodeToUtf8(LPCWSTR text) {
  if (!text) return nullptr;
  std::string utf8 = ToUtf8(text);
  char* out = static_cast<char*>(std::malloc(utf8.size() + 1));
  if (!out) return nullptr;
  std::memcpy(out, utf8.c_str(), utf8.size() + 1);
  return out;
}

char16_t* CCodec::utf8ToUnicode(const char* text) {
  if (!text) return nullptr;
  std::u16string wide = FromUtf8(text);
  auto* out = static_cast<char16_t*>(std::malloc((wide.size() + 1) * sizeof(char16_t)));
  if (!out) return nullptr;
  std::memcpy(out, wide.c_str(), (wide.size() + 1) * sizeof(char16_t));
  return out;
}

void CCodec::free(void* p) { std::free(p); }

std::string CMD5Checksum::GetMD5(const BYTE* bytes, UINT length) {
  char hex[MD5_DIGEST_STRING_LENGTH];
  static const BYTE empty = 0;
  MD5Data(bytes ? bytes : &empty, bytes ? length : 0, hex);
  return std::string(hex, 32);
}

void CMD5Checksum::GetMD5(const BYTE* bytes, UINT length, char* out) {
  if (!out) return;
  std::string hex = GetMD5(bytes, length);
  std::memcpy(out, hex.c_str(), 33);
}

// The non-zero byte values 1..255 are mapped by x -> (k - x) mod 255 on
// x = value - 1, which is its own inverse for any k; zero is left alone.
void CCrypt::SimpleEncrypt(char* buffer, int length) {
  if (!buffer || length <= 0) return;
  for (int i = 0; i < length; ++i) {
    auto b = static_cast<unsigned char>(buffer[i]);
    if (b == 0) continue;
    int k = (i * 131 + 0x5A) % 255;
    int x = b - 1;
    int y = ((k - x) % 255 + 255) % 255;
    buffer[i] = static_cast<char>(y + 1);
  }
}

namespace {

constexpr char kB64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::size_t kCheckLen = 4;

std::string Base64Encode(const std::string& in) {
  std::string out;
  out.reserve((in.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < in.size(); i += 3) {
    std::uint32_t v = static_cast<unsigned char>(in[i]) << 16;
    if (i + 1 < in.size()) v |= static_cast<unsigned char>(in[i + 1]) << 8;
    if (i + 2 < in.size()) v |= static_cast<unsigned char>(in[i + 2]);
    out += kB64[(v >> 18) & 63];
    out += kB64[(v >> 12) & 63];
    out += i + 1 < in.size() ? kB64[(v >> 6) & 63] : '=';
    out += i + 2 < in.size() ? kB64[v & 63] : '=';
  }
  return out;
}

bool Base64Decode(std::string_view in, std::string& out) {
  if (in.size() % 4 != 0) return false;
  auto val = [](char c) -> int {
    const char* p = std::strchr(kB64, c);
    return (c && p) ? static_cast<int>(p - kB64) : -1;
  };
  for (std::size_t i = 0; i < in.size(); i += 4) {
    int a = val(in[i]), b = val(in[i + 1]);
    if (a < 0 || b < 0) return false;
    bool last = i + 4 == in.size();
    int c = in[i + 2] == '=' && last ? -2 : val(in[i + 2]);
    int d = in[i + 3] == '=' && last ? -2 : val(in[i + 3]);
    if (c == -1 || d == -1 || (c == -2 && d != -2)) return false;
    std::uint32_t v = (a << 18) | (b << 12) | ((c < 0 ? 0 : c) << 6) | (d < 0 ? 0 : d);
    out += static_cast<char>(v >> 16);
    if (c >= 0) out += static_cast<char>((v >> 8) & 0xff);
    if (d >= 0) out += static_cast<char>(v & 0xff);
  }
  return true;
}

// RC4 keystream seeded with the MD5 of the key: the same key gives the same
// stream, so encoding and decoding are the same XOR.
void Crypt(std::string& data, std::string_view key) {
  std::array<unsigned char, 16> digest{};
  MD5_CTX ctx;
  MD5Init(&ctx);
  MD5Update(&ctx, reinterpret_cast<const unsigned char*>(key.data()), key.size());
  MD5Final(digest.data(), &ctx);
  std::array<unsigned char, 256> box;
  for (int i = 0; i < 256; ++i) box[i] = static_cast<unsigned char>(i);
  for (int i = 0, j = 0; i < 256; ++i) {
    j = (j + box[i] + digest[i % 16]) & 255;
    std::swap(box[i], box[j]);
  }
  for (std::size_t n = 0, i = 0, j = 0; n < data.size(); ++n) {
    i = (i + 1) & 255;
    j = (j + box[i]) & 255;
    std::swap(box[i], box[j]);
    data[n] = static_cast<char>(data[n] ^ box[(box[i] + box[j]) & 255]);
  }
}

std::string Check(std::string_view data, std::string_view key) {
  MD5_CTX ctx;
  unsigned char digest[16];
  MD5Init(&ctx);
  MD5Update(&ctx, reinterpret_cast<const unsigned char*>(data.data()), data.size());
  MD5Update(&ctx, reinterpret_cast<const unsigned char*>(key.data()), key.size());
  MD5Final(digest, &ctx);
  return std::string(reinterpret_cast<char*>(digest), kCheckLen);
}

}  // namespace

std::string authcode_bytes(std::string_view data, int mode, std::string_view key) {
  if (mode == 0) {
    std::string plain = Check(data, key);
    plain.append(data);
    Crypt(plain, key);
    return Base64Encode(plain);
  }
  std::string raw;
  if (!Base64Decode(data, raw) || raw.size() < kCheckLen) return {};
  Crypt(raw, key);
  std::string body = raw.substr(kCheckLen);
  if (raw.compare(0, kCheckLen, Check(body, key)) != 0) return {};
  return body;
}

char* authcode(const char* text, int mode, const char* key, int /*expiry*/) {
  std::string result;
  if (text && key) result = authcode_bytes(text, mode, key);
  // A decoded text is cut at an embedded zero: it was a zero-terminated text.
  std::size_t n = std::strlen(result.c_str());
  char* out = new char[n + 1];
  std::memcpy(out, result.c_str(), n + 1);
  return out;
}

void authcode_free(char* text) { delete[] text; }

std::size_t authcode_encoded_length(std::size_t length) { return (length + kCheckLen + 2) / 3 * 4; }

std::size_t authcode_max_input(std::size_t fieldSize) {
  if (fieldSize == 0) return 0;
  std::size_t groups = (fieldSize - 1) / 4;
  return groups * 3 > kCheckLen ? groups * 3 - kCheckLen : 0;
}
