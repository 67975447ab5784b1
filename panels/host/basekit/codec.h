// basekit: text conversion, digests and the two reversible encodings that
// the logon panel uses to keep remembered accounts in the registry.
#pragma once

#include "platform/windef.h"

#include <cstddef>
#include <string>
#include <string_view>

class CCodec {
 public:
  // New zero-terminated UTF-8 copy of a UTF-16 text; release with CCodec::free.
  // A null text gives null.
  static char* unicodeToUtf8(LPCWSTR text);
  // New zero-terminated UTF-16 copy of a UTF-8 text; release with CCodec::free.
  static char16_t* utf8ToUnicode(const char* text);
  static void free(void* p);
};

class CMD5Checksum {
 public:
  // Lower-case hexadecimal MD5 digest of `length` bytes: 32 characters.
  static std::string GetMD5(const BYTE* bytes, UINT length);
  // The same into `out`, which must hold 33 bytes (digest and terminator).
  static void GetMD5(const BYTE* bytes, UINT length, char* out);
};

class CCrypt {
 public:
  // Scrambles `length` bytes in place. Applying it twice gives the buffer
  // back. A zero byte stays zero and no other byte becomes zero, so a
  // scrambled zero-terminated text keeps its length and its terminator.
  static void SimpleEncrypt(char* buffer, int length);
  static void SimpleEncrypt(BYTE* buffer, int length) {
    SimpleEncrypt(reinterpret_cast<char*>(buffer), length);
  }
};

// Reversible keyed encoding with printable output (letters, digits, "+",
// "/" and "="). `mode` 0 encodes, 1 decodes; `expiry` is accepted for the
// callers' sake and must be 0. Returns a new zero-terminated text that the
// caller releases with `delete[]` (or authcode_free); decoding a text that
// was not produced with the same key gives an empty text. Null arguments
// give an empty text.
char* authcode(const char* text, int mode, const char* key, int expiry);
void authcode_free(char* text);

// Binary-safe form of the same encoding: any bytes in, the same bytes back.
std::string authcode_bytes(std::string_view data, int mode, std::string_view key);

// Length of the encoded form of `length` input bytes (terminator excluded).
// An encoded field of N bytes with its terminator holds at most
// authcode_max_input(N) input bytes.
std::size_t authcode_encoded_length(std::size_t length);
std::size_t authcode_max_input(std::size_t fieldSize);
