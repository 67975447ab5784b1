#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "keytree/scalars.h"
#include "record.h"
#include "textscan.h"

IMPLEMENT_SERIAL(CLuser, CItem, 1)

namespace {

// The data part is written in lowercase hexadecimal; other characters are
// refused rather than given an arbitrary value.
int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// "0x", the byte count as 8 hex digits, then two digits per byte.
bool ParseBlock(const char* text, int len, std::string& out) {
  if (!text) return false;
  const char* p = text;
  const char* end = text + kt::TextLength(text, len);
  kt::Trim(p, end);
  size_t n = static_cast<size_t>(end - p);
  if (n < 2 || p[0] != '0' || p[1] != 'x') return false;
  uint32_t count;
  size_t consumed;
  if (!kt::ScanHex(p + 2, end, 8, count, consumed) || consumed != 8) return false;
  if (n - 10 != 2 * static_cast<uint64_t>(count)) return false;
  try {
    out.resize(count);
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (size_t i = 0; i < count; ++i) {
    int high = DigitValue(p[10 + 2 * i]);
    int low = DigitValue(p[11 + 2 * i]);
    if (high < 0 || low < 0) return false;
    out[i] = static_cast<char>(high * 16 + low);
  }
  return true;
}

}  // namespace

CLuser::CLuser() = default;

CLuser::CLuser(const void* data, int len) {
  Assign(static_cast<const unsigned char*>(data), len > 0 ? static_cast<unsigned int>(len) : 0);
}

CLuser::CLuser(const CLuser& other) : CItem(other) { Assign(other.m_pBuf, other.m_nLen); }

CLuser::~CLuser() { delete[] m_pBuf; }

CLuser& CLuser::operator=(const CLuser& other) {
  if (&other != this) Assign(other.m_pBuf, other.m_nLen);
  return *this;
}

// Replaces the block by len bytes of data (zeros when data is null). When
// memory runs out the block is left as it was.
bool CLuser::Assign(const unsigned char* data, unsigned int len) {
  unsigned char* buf = nullptr;
  if (len > 0) {
    buf = new (std::nothrow) unsigned char[len];
    if (!buf) return false;
    if (data) std::memcpy(buf, data, len);
    else std::memset(buf, 0, len);
  }
  delete[] m_pBuf;
  m_pBuf = buf;
  m_nLen = len;
  return true;
}

CItem* CLuser::Duplicate() const {
  auto* copy = new (std::nothrow) CLuser(*this);
  if (copy && copy->m_nLen != m_nLen) {  // no room for the bytes
    delete copy;
    return nullptr;
  }
  return copy;
}

CString CLuser::ToString() const {
  static const char kDigits[] = "0123456789abcdef";
  char head[16];
  std::snprintf(head, sizeof head, "0x%08x", m_nLen);
  std::string out = head;
  out.reserve(out.size() + 2 * static_cast<size_t>(m_nLen));
  for (unsigned int i = 0; i < m_nLen; ++i) {
    out += kDigits[m_pBuf[i] >> 4];
    out += kDigits[m_pBuf[i] & 15];
  }
  return CString(out.data(), static_cast<int>(out.size()));
}

int CLuser::FromString(const char* text, int len) {
  std::string bytes;
  if (!ParseBlock(text, len, bytes)) return 0;
  return Assign(reinterpret_cast<const unsigned char*>(bytes.data()),
                static_cast<unsigned int>(bytes.size()))
             ? 1
             : 0;
}

CItem* CLuser::CreateFromString(const char* text, int len) {
  std::string bytes;
  if (!ParseBlock(text, len, bytes)) return nullptr;
  auto* item = new (std::nothrow) CLuser(bytes.data(), static_cast<int>(bytes.size()));
  if (item && item->m_nLen != bytes.size()) {  // no room for the bytes
    delete item;
    return nullptr;
  }
  return item;
}

unsigned int CLuser::GetBinarizeSize() const { return m_nLen + LS_RECORD_HEADER; }

int CLuser::Binarize(unsigned char*& cursor, int& remaining) const {
  uint32_t total = GetBinarizeSize();
  if (!kt::BeginRecord(cursor, remaining, LS_TYPE_USER, total)) return 0;
  if (m_nLen) std::memcpy(cursor + LS_RECORD_HEADER, m_pBuf, m_nLen);
  return kt::EndRecord(cursor, remaining, total);
}

int CLuser::Unbinarize(const unsigned char* record, size_t available) {
  uint32_t total;
  if (!kt::CheckHeader(record, available, LS_TYPE_USER, LS_RECORD_HEADER, total)) return 0;
  return Assign(record + LS_RECORD_HEADER, total - LS_RECORD_HEADER) ? 1 : 0;
}

int CLuser::IsEqual(const CItem& other) const {
  if (other.GetRuntimeClass() != RUNTIME_CLASS(CLuser)) return 0;
  const CLuser& b = static_cast<const CLuser&>(other);
  return m_nLen == b.m_nLen && (m_nLen == 0 || std::memcmp(m_pBuf, b.m_pBuf, m_nLen) == 0);
}
