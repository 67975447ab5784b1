// Wide text (UTF-16 in char16_t), its formatting, and conversions between
// UTF-16, the system code page and UTF-8.
#pragma once

#include "platform/windef.h"

#include <cstdarg>
#include <cstdint>
#include <string>
#include <string_view>

// ---- string functions (null pointers count as empty strings) ---------------

int lstrlenW(LPCWSTR s);
// Copies at most max-1 characters and always terminates (max > 0).
LPWSTR lstrcpynW(LPWSTR dst, LPCWSTR src, int max);
LPWSTR lstrcpyW(LPWSTR dst, LPCWSTR src);
LPWSTR lstrcatW(LPWSTR dst, LPCWSTR src);
// Negative, zero or positive as a sorts before, equal to or after b.
int lstrcmpW(LPCWSTR a, LPCWSTR b);
// Case-insensitive: ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic
// letters compare equal to their other case.
int lstrcmpiW(LPCWSTR a, LPCWSTR b);

// Case mapping over the same letters as lstrcmpiW.
char16_t CharUpperChar(char16_t c);
char16_t CharLowerChar(char16_t c);
LPWSTR CharUpperW(LPWSTR s);  // in place; returns s
LPWSTR CharLowerW(LPWSTR s);
std::u16string ToUpperW(std::u16string_view s);
std::u16string ToLowerW(std::u16string_view s);

// ---- formatting --------------------------------------------------------------
//
// Conversions: %s wide text (char16_t*), %S and %hs 8-bit text in the system
// code page (char*), %ls/%ws wide text, %c wide character, %C 8-bit character,
// %d %i %u %x %X %o, %p, %f %e %g, %%. Flags "-", "0", "+", " ", "#"; width
// and precision, also given as "*". Size prefixes: h, l (32 bits, as on the
// original platform), ll and I64 (64 bits), I32, I (pointer-sized), z.
// A null %s prints "(null)".

// Writes at most 1023 characters plus the terminator (a 1024-character
// buffer), like the original;
// returns the number of characters written.
int wsprintfW(LPWSTR buf, LPCWSTR fmt, ...);
int wvsprintfW(LPWSTR buf, LPCWSTR fmt, va_list args);
// Writes at most count-1 characters and terminates; returns the number written.
int FormatToBufferW(LPWSTR buf, size_t count, LPCWSTR fmt, ...);
std::u16string VFormatW(LPCWSTR fmt, va_list args);

// Type-safe formatting: each argument carries its type, so a mismatch or a
// missing argument prints a neutral value instead of reading garbage.
// std::u16string and std::string arguments are accepted for %s and %S.
struct FormatArg {
  enum class Kind { Signed, Unsigned, Real, Wide, Narrow, Pointer };
  Kind kind;
  std::int64_t i = 0;
  std::uint64_t u = 0;
  double d = 0;
  const char16_t* ws = nullptr;
  const char* s = nullptr;
  const void* p = nullptr;

  FormatArg(char16_t c) : kind(Kind::Unsigned), u(c) {}
  FormatArg(char c) : kind(Kind::Signed), i(c) {}
  FormatArg(signed char v) : kind(Kind::Signed), i(v) {}
  FormatArg(unsigned char v) : kind(Kind::Unsigned), u(v) {}
  FormatArg(short v) : kind(Kind::Signed), i(v) {}
  FormatArg(unsigned short v) : kind(Kind::Unsigned), u(v) {}
  FormatArg(int v) : kind(Kind::Signed), i(v) {}
  FormatArg(unsigned v) : kind(Kind::Unsigned), u(v) {}
  FormatArg(long v) : kind(Kind::Signed), i(v) {}
  FormatArg(unsigned long v) : kind(Kind::Unsigned), u(v) {}
  FormatArg(long long v) : kind(Kind::Signed), i(v) {}
  FormatArg(unsigned long long v) : kind(Kind::Unsigned), u(v) {}
  FormatArg(bool v) : kind(Kind::Signed), i(v) {}
  FormatArg(double v) : kind(Kind::Real), d(v) {}
  FormatArg(float v) : kind(Kind::Real), d(v) {}
  FormatArg(const char16_t* v) : kind(Kind::Wide), ws(v) {}
  FormatArg(char16_t* v) : kind(Kind::Wide), ws(v) {}
  FormatArg(const std::u16string& v) : kind(Kind::Wide), ws(v.c_str()) {}
  FormatArg(const char* v) : kind(Kind::Narrow), s(v) {}
  FormatArg(char* v) : kind(Kind::Narrow), s(v) {}
  FormatArg(const std::string& v) : kind(Kind::Narrow), s(v.c_str()) {}
  FormatArg(const void* v) : kind(Kind::Pointer), p(v) {}
  FormatArg(void* v) : kind(Kind::Pointer), p(v) {}
  FormatArg(std::nullptr_t) : kind(Kind::Pointer), p(nullptr) {}
};

std::u16string FormatArgsW(std::u16string_view fmt, const FormatArg* args, size_t count);

template <class... A>
std::u16string FormatW(std::u16string_view fmt, const A&... args) {
  if constexpr (sizeof...(A) == 0) {
    return FormatArgsW(fmt, nullptr, 0);
  } else {
    const FormatArg list[] = {FormatArg(args)...};
    return FormatArgsW(fmt, list, sizeof...(A));
  }
}

// ---- code pages ------------------------------------------------------------

constexpr UINT CP_ACP = 0;
constexpr UINT CP_OEMCP = 1;
constexpr UINT CP_THREAD_ACP = 3;
constexpr UINT CP_UTF8 = 65001;

constexpr DWORD MB_PRECOMPOSED = 0x1;
constexpr DWORD MB_ERR_INVALID_CHARS = 0x8;
constexpr DWORD WC_NO_BEST_FIT_CHARS = 0x400;
constexpr DWORD WC_ERR_INVALID_CHARS = 0x80;

// The system code page: 936 (GBK) unless set otherwise. Returns false and keeps
// the old one when the code page is unknown to iconv.
UINT GetACP();
bool SetSystemCodePage(UINT codePage);
// The iconv name used for a code page ("GBK" for 936, "UTF-8" for 65001, ...).
std::string CodePageCharset(UINT codePage);

// With srcLen -1 the source is zero-terminated and the terminator is converted
// too. With dstLen 0 the result is the size needed (in characters / bytes).
// A destination that is too small gives 0 and ERROR_INSUFFICIENT_BUFFER.
// Invalid input bytes become U+FFFD unless MB_ERR_INVALID_CHARS asks for
// failure (0, ERROR_NO_UNICODE_TRANSLATION).
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR src, int srcLen, LPWSTR dst, int dstLen);
// Characters that the code page cannot show become defaultChar (default "?")
// and set *usedDefaultChar; for UTF-8, unpaired surrogates become U+FFFD.
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR src, int srcLen, LPSTR dst, int dstLen,
                        LPCSTR defaultChar, BOOL* usedDefaultChar);

std::string ToUtf8(std::u16string_view s);
std::u16string FromUtf8(std::string_view s);
std::string ToAnsi(std::u16string_view s);    // to the system code page
std::u16string FromAnsi(std::string_view s);  // from the system code page
// Conversion between an iconv character set and UTF-8 (for files that
// declare their own encoding); false when iconv does not know the set.
bool ConvertCharsetToUtf8(const std::string& charset, std::string_view in, std::string& out);
