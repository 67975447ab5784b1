#include "textscan.h"

#include <locale.h>
#include <stdlib.h>
#include <clocale>
#include <cstdlib>
#include <cstring>

namespace kt {
namespace {

bool IsTrimmed(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\0'; }

// The white space the formatted-input conversions skip before a number.
bool IsScanSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

locale_t CLocale() {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return c;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

const char* SkipSpace(const char* p, const char* end) {
  while (p < end && IsScanSpace(*p)) ++p;
  return p;
}

// Optional sign; returns true for "-".
bool ReadSign(const char*& p, const char* end) {
  if (p < end && (*p == '+' || *p == '-')) return *p++ == '-';
  return false;
}

}  // namespace

void Trim(const char*& p, const char*& end) {
  while (p < end && IsTrimmed(*p)) ++p;
  while (end > p && IsTrimmed(end[-1])) --end;
}

size_t TextLength(const char* text, int len) {
  return len < 0 ? std::strlen(text) : static_cast<size_t>(len);
}

bool ScanDecimal(const char* start, const char* end, int32_t& value, size_t& consumed) {
  const char* p = SkipSpace(start, end);
  bool negative = ReadSign(p, end);
  const char* digits = p;
  uint32_t v = 0;
  while (p < end && IsDigit(*p)) v = v * 10u + static_cast<uint32_t>(*p++ - '0');
  if (p == digits) return false;
  value = static_cast<int32_t>(negative ? 0u - v : v);
  consumed = static_cast<size_t>(p - start);
  return true;
}

bool ScanReal(const char* start, const char* end, double& value, size_t& consumed) {
  const char* p = SkipSpace(start, end);
  const char* number = p;
  ReadSign(p, end);
  size_t digits = 0;
  while (p < end && IsDigit(*p)) ++p, ++digits;
  if (p < end && *p == '.') {
    ++p;
    while (p < end && IsDigit(*p)) ++p, ++digits;
  }
  if (digits == 0) return false;
  if (p < end && (*p == 'e' || *p == 'E')) {
    ++p;
    ReadSign(p, end);
    const char* exponent = p;
    while (p < end && IsDigit(*p)) ++p;
    // "1e" is the beginning of a number that never completes: a matching failure.
    if (p == exponent) return false;
  }
  // Read in the C locale: a client's locale may want a decimal comma.
  std::string text(number, static_cast<size_t>(p - number));
  value = strtod_l(text.c_str(), nullptr, CLocale());
  consumed = static_cast<size_t>(p - start);
  return true;
}

bool ScanHex(const char* start, const char* end, size_t width, uint32_t& value, size_t& consumed) {
  const char* p = SkipSpace(start, end);
  // The field width counts from the first character after the white space.
  const char* limit = (width && static_cast<size_t>(end - p) > width) ? p + width : end;
  bool negative = ReadSign(p, limit);
  if (limit - p >= 3 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && HexValue(p[2]) >= 0) p += 2;
  const char* digits = p;
  uint32_t v = 0;
  for (int d; p < limit && (d = HexValue(*p)) >= 0; ++p) v = v * 16u + static_cast<uint32_t>(d);
  if (p == digits) return false;
  value = negative ? 0u - v : v;
  consumed = static_cast<size_t>(p - start);
  return true;
}

bool ScanAnyBase(const char* start, const char* end, uint32_t& value, size_t& consumed) {
  const char* p = SkipSpace(start, end);
  bool negative = ReadSign(p, end);
  uint32_t base = 10;
  if (p < end && *p == '0') {
    if (end - p >= 3 && (p[1] == 'x' || p[1] == 'X') && HexValue(p[2]) >= 0) {
      base = 16;
      p += 2;
    } else {
      base = 8;
    }
  }
  const char* digits = p;
  uint32_t v = 0;
  for (int d; p < end && (d = HexValue(*p)) >= 0 && static_cast<uint32_t>(d) < base; ++p)
    v = v * base + static_cast<uint32_t>(d);
  if (p == digits) return false;
  value = negative ? 0u - v : v;
  consumed = static_cast<size_t>(p - start);
  return true;
}

TextBuffer::TextBuffer() : m_data(static_cast<char*>(std::malloc(4096))), m_capacity(4096) {
  if (!m_data) throw std::bad_alloc();
  m_data[0] = '\0';
}

TextBuffer::~TextBuffer() { std::free(m_data); }

void TextBuffer::Append(const char* piece, size_t len) {
  size_t needed = m_len + len + 1;
  if (needed > m_capacity) {
    size_t capacity = m_capacity;
    while (capacity < needed) capacity *= 2;
    char* grown = static_cast<char*>(std::realloc(m_data, capacity));
    if (!grown) throw std::bad_alloc();
    m_data = grown;
    m_capacity = capacity;
  }
  std::memcpy(m_data + m_len, piece, len);
  m_len += len;
  m_data[m_len] = '\0';
}

void TextBuffer::Append(const char* piece) { Append(piece, std::strlen(piece)); }

}  // namespace kt
