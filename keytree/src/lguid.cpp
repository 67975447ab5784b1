#include <cstdio>
#include <cstring>

#include "keytree/scalars.h"
#include "record.h"
#include "textscan.h"

IMPLEMENT_SERIAL(CLguid, CItem, 1)

namespace {

constexpr uint32_t kGuidRecord = LS_RECORD_HEADER + 16;
constexpr char kZeroText[] = "0/0/0/0/0/0/0/0/0/0/0";

// Eleven numbers separated by "/", each decimal, 0x-hex or 0-octal; anything
// else is the all-zero GUID.
GUID ParseGuid(const char* text, int len) {
  GUID g{};
  const char* p = text;
  const char* end = text + kt::TextLength(text, len);
  kt::Trim(p, end);
  size_t zeroLen = sizeof kZeroText - 1;
  if (static_cast<size_t>(end - p) >= zeroLen && std::memcmp(p, kZeroText, zeroLen) == 0) return g;
  uint32_t n[11];
  for (int i = 0; i < 11; ++i) {
    if (i > 0) {
      if (p == end || *p != '/') return GUID{};
      ++p;
    }
    size_t consumed;
    if (!kt::ScanAnyBase(p, end, n[i], consumed)) return GUID{};
    p += consumed;
  }
  if (p != end) return GUID{};
  g.Data1 = n[0];
  g.Data2 = static_cast<uint16_t>(n[1]);
  g.Data3 = static_cast<uint16_t>(n[2]);
  for (int i = 0; i < 8; ++i) g.Data4[i] = static_cast<uint8_t>(n[3 + i]);
  return g;
}

}  // namespace

CLguid::CLguid() : m_value{} {}
CLguid::CLguid(const GUID& value) : m_value(value) {}
CLguid::CLguid(const CLguid& other) : CItem(other), m_value(other.m_value) {}
CLguid::~CLguid() = default;

CLguid& CLguid::operator=(const CLguid& other) {
  m_value = other.m_value;
  return *this;
}

CLguid& CLguid::operator=(CItem* other) {
  if (IsItem(other) && other != this && other->IsKindOf(RUNTIME_CLASS(CLguid)))
    m_value = static_cast<CLguid*>(other)->m_value;
  return *this;
}

CItem* CLguid::Duplicate() const { return new (std::nothrow) CLguid(m_value); }

CString CLguid::ToString() const {
  const GUID& g = m_value;
  char text[96];
  std::snprintf(text, sizeof text, "%d/%d/%d/%d/%d/%d/%d/%d/%d/%d/%d",
                static_cast<int32_t>(g.Data1), g.Data2, g.Data3, static_cast<int8_t>(g.Data4[0]),
                static_cast<int8_t>(g.Data4[1]), static_cast<int8_t>(g.Data4[2]),
                static_cast<int8_t>(g.Data4[3]), static_cast<int8_t>(g.Data4[4]),
                static_cast<int8_t>(g.Data4[5]), static_cast<int8_t>(g.Data4[6]),
                static_cast<int8_t>(g.Data4[7]));
  return CString(text);
}

int CLguid::FromString(const char* text, int len) {
  if (!text) return 0;
  m_value = ParseGuid(text, len);
  return 1;
}

CItem* CLguid::CreateFromString(const char* text, int len) {
  if (!text) return nullptr;
  return new (std::nothrow) CLguid(ParseGuid(text, len));
}

unsigned int CLguid::GetBinarizeSize() const { return kGuidRecord; }

int CLguid::Binarize(unsigned char*& cursor, int& remaining) const {
  if (!kt::BeginRecord(cursor, remaining, LS_TYPE_GUID, kGuidRecord)) return 0;
  unsigned char* p = cursor + LS_RECORD_HEADER;
  kt::PutU32(p, m_value.Data1);
  kt::PutU32(p + 4, m_value.Data2 | static_cast<uint32_t>(m_value.Data3) << 16);
  std::memcpy(p + 8, m_value.Data4, 8);
  return kt::EndRecord(cursor, remaining, kGuidRecord);
}

int CLguid::Unbinarize(const unsigned char* record, size_t available) {
  uint32_t total;
  if (!kt::CheckHeader(record, available, LS_TYPE_GUID, kGuidRecord, total)) return 0;
  const unsigned char* p = record + LS_RECORD_HEADER;
  m_value.Data1 = kt::GetU32(p);
  uint32_t d23 = kt::GetU32(p + 4);
  m_value.Data2 = static_cast<uint16_t>(d23);
  m_value.Data3 = static_cast<uint16_t>(d23 >> 16);
  std::memcpy(m_value.Data4, p + 8, 8);
  return 1;
}

int CLguid::IsEqual(const CItem& other) const {
  return other.GetRuntimeClass() == RUNTIME_CLASS(CLguid) &&
         static_cast<const CLguid&>(other).m_value == m_value;
}
