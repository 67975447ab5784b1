// Scanning helpers for the text forms. They read a bounded range [p, end)
// and follow the standard formatted-input conversions the text forms are
// defined by ("%ld", "%lf", "%x", "%i"), without their undefined corners:
// numbers out of range wrap around modulo 2^32.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kt {

// Drops leading and trailing space, tab, line feed, carriage return and NUL.
void Trim(const char*& p, const char*& end);

// Length of text for a parse: len < 0 means up to the NUL.
size_t TextLength(const char* text, int len);

// "%ld": whitespace, sign, decimal digits. consumed counts from p.
bool ScanDecimal(const char* p, const char* end, int32_t& value, size_t& consumed);
// "%lf" restricted to decimal numbers: no hexadecimal forms, no inf or nan.
bool ScanReal(const char* p, const char* end, double& value, size_t& consumed);
// "%x" with an optional field width (0: none).
bool ScanHex(const char* p, const char* end, size_t width, uint32_t& value, size_t& consumed);
// "%i": decimal, 0x hexadecimal or 0 octal.
bool ScanAnyBase(const char* p, const char* end, uint32_t& value, size_t& consumed);

// A number that is the whole of len characters (no trimming; len < 0 fails),
// as FromString reads it.
template <typename T>
bool ScanExactly(bool (*scan)(const char*, const char*, T&, size_t&), const char* text, int len,
                 T& value) {
  size_t consumed;
  return text && len >= 0 && scan(text, text + len, value, consumed) &&
         consumed == static_cast<size_t>(len);
}

// A number that is the whole of the trimmed text, as CreateFromString reads it.
template <typename T>
bool ScanTrimmed(bool (*scan)(const char*, const char*, T&, size_t&), const char* text, int len,
                 T& value) {
  if (!text) return false;
  const char* p = text;
  const char* end = text + TextLength(text, len);
  Trim(p, end);
  size_t consumed;
  return p != end && scan(p, end, value, consumed) && consumed == static_cast<size_t>(end - p);
}

// Text assembled in one growing buffer: 4096 bytes at first, doubled until
// the text so far, the new piece and a terminating NUL fit.
class TextBuffer {
 public:
  TextBuffer();
  ~TextBuffer();
  TextBuffer(const TextBuffer&) = delete;
  TextBuffer& operator=(const TextBuffer&) = delete;
  void Append(const char* piece, size_t len);
  void Append(const char* piece);
  const char* Data() const { return m_data; }
  size_t Length() const { return m_len; }

 private:
  char* m_data;
  size_t m_len = 0;
  size_t m_capacity;
};

}  // namespace kt
