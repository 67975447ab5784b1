// String functions and case mapping of wide text.
#include "platform/text.h"

namespace {

const char16_t kEmpty[] = u"";
LPCWSTR orEmpty(LPCWSTR s) { return s ? s : kEmpty; }

// Sort class of a character after case folding, so that, as on the original
// platform, punctuation sorts before digits and digits before letters.
int sortClass(char16_t c) {
  if (c >= u'0' && c <= u'9') return 1;
  if (c >= u'A' && c <= u'Z') return 2;
  if (c < 0x80) return 0;
  return 3;
}

int compareFolded(LPCWSTR a, LPCWSTR b, bool caseTieBreak) {
  a = orEmpty(a);
  b = orEmpty(b);
  int tie = 0;
  for (;; ++a, ++b) {
    char16_t ca = CharUpperChar(*a), cb = CharUpperChar(*b);
    if (ca != cb) {
      if (!ca) return -1;
      if (!cb) return 1;
      int ka = sortClass(ca), kb = sortClass(cb);
      if (ka != kb) return ka < kb ? -1 : 1;
      return ca < cb ? -1 : 1;
    }
    if (!ca) break;
    // Same letter in different case: lower case sorts first, but only if
    // nothing else differs.
    if (caseTieBreak && !tie && *a != *b) tie = (*a == CharLowerChar(*a)) ? -1 : 1;
  }
  return tie;
}

}  // namespace

int lstrlenW(LPCWSTR s) {
  if (!s) return 0;
  int n = 0;
  while (s[n]) ++n;
  return n;
}

LPWSTR lstrcpynW(LPWSTR dst, LPCWSTR src, int max) {
  if (!dst || max <= 0) return dst;
  src = orEmpty(src);
  int i = 0;
  for (; i < max - 1 && src[i]; ++i) dst[i] = src[i];
  dst[i] = 0;
  return dst;
}

LPWSTR lstrcpyW(LPWSTR dst, LPCWSTR src) {
  if (!dst) return dst;
  src = orEmpty(src);
  int i = 0;
  for (; src[i]; ++i) dst[i] = src[i];
  dst[i] = 0;
  return dst;
}

LPWSTR lstrcatW(LPWSTR dst, LPCWSTR src) {
  if (!dst) return dst;
  lstrcpyW(dst + lstrlenW(dst), src);
  return dst;
}

int lstrcmpW(LPCWSTR a, LPCWSTR b) { return compareFolded(a, b, true); }
int lstrcmpiW(LPCWSTR a, LPCWSTR b) { return compareFolded(a, b, false); }

char16_t CharUpperChar(char16_t c) {
  if (c < 0x80) return (c >= u'a' && c <= u'z') ? c - 0x20 : c;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
  if (c == 0xFF) return 0x178;
  if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return (c & 1) ? c - 1 : c;
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c : c - 1;
  if (c >= 0x3B1 && c <= 0x3C9) return c == 0x3C2 ? 0x3A3 : c - 0x20;
  if (c >= 0x430 && c <= 0x44F) return c - 0x20;
  if (c >= 0x450 && c <= 0x45F) return c - 0x50;
  if (c >= 0xFF41 && c <= 0xFF5A) return c - 0x20;  // full-width Latin letters
  return c;
}

char16_t CharLowerChar(char16_t c) {
  if (c < 0x80) return (c >= u'A' && c <= u'Z') ? c + 0x20 : c;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
  if (c == 0x178) return 0xFF;
  if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return (c & 1) ? c : c + 1;
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c + 1 : c;
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 0x20;
  if (c >= 0x410 && c <= 0x42F) return c + 0x20;
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;
  if (c >= 0xFF21 && c <= 0xFF3A) return c + 0x20;
  return c;
}

LPWSTR CharUpperW(LPWSTR s) {
  for (LPWSTR p = s; p && *p; ++p) *p = CharUpperChar(*p);
  return s;
}

LPWSTR CharLowerW(LPWSTR s) {
  for (LPWSTR p = s; p && *p; ++p) *p = CharLowerChar(*p);
  return s;
}

std::u16string ToUpperW(std::u16string_view s) {
  std::u16string r(s);
  for (auto& c : r) c = CharUpperChar(c);
  return r;
}

std::u16string ToLowerW(std::u16string_view s) {
  std::u16string r(s);
  for (auto& c : r) c = CharLowerChar(c);
  return r;
}
