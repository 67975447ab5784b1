#include <charconv>
#include <cstring>

#include "keytree/scalars.h"
#include "record.h"
#include "textscan.h"

IMPLEMENT_SERIAL(CLreal, CItem, 1)

namespace {
constexpr uint32_t kRealRecord = LS_RECORD_HEADER + 8;
}

CLreal::CLreal(double value) : m_value(value) {}
CLreal::CLreal(const CLreal& other) : CItem(other), m_value(other.m_value) {}
CLreal::~CLreal() = default;

CLreal& CLreal::operator=(const CLreal& other) {
  m_value = other.m_value;
  return *this;
}

CLreal& CLreal::operator=(CItem* other) {
  if (IsItem(other) && other != this && other->IsKindOf(RUNTIME_CLASS(CLreal)))
    m_value = static_cast<CLreal*>(other)->m_value;
  return *this;
}

CLreal CLreal::operator+(const CLreal& b) const { return CLreal(m_value + b.m_value); }
CLreal CLreal::operator-(const CLreal& b) const { return CLreal(m_value - b.m_value); }
CLreal CLreal::operator*(const CLreal& b) const { return CLreal(m_value * b.m_value); }
CLreal CLreal::operator/(const CLreal& b) const { return CLreal(m_value / b.m_value); }
CLreal& CLreal::operator+=(const CLreal& b) {
  m_value += b.m_value;
  return *this;
}
CLreal& CLreal::operator-=(const CLreal& b) {
  m_value -= b.m_value;
  return *this;
}
CLreal& CLreal::operator*=(const CLreal& b) {
  m_value *= b.m_value;
  return *this;
}
CLreal& CLreal::operator/=(const CLreal& b) {
  m_value /= b.m_value;
  return *this;
}
CLreal CLreal::operator-() const { return CLreal(-m_value); }

CLreal CLreal::operator++() {
  m_value += 1.0;
  return *this;
}

CLreal CLreal::operator--() {
  m_value -= 1.0;
  return *this;
}

CItem* CLreal::Duplicate() const { return new (std::nothrow) CLreal(m_value); }

CString CLreal::ToString() const {
  // Fixed notation: the largest doubles take over 300 digits before the point.
  // The digits of "%.15f" in the C locale, whatever locale the process set.
  char text[400];
  auto done = std::to_chars(text, text + sizeof text, m_value, std::chars_format::fixed, 15);
  return CString(text, static_cast<int>(done.ptr - text));
}

int CLreal::FromString(const char* text, int len) {
  // No trimming here: the whole of len characters must be the number.
  double value;
  if (!kt::ScanExactly(kt::ScanReal, text, len, value)) return 0;
  m_value = value;
  return 1;
}

CItem* CLreal::CreateFromString(const char* text, int len) {
  double value;
  if (!kt::ScanTrimmed(kt::ScanReal, text, len, value)) return nullptr;
  return new (std::nothrow) CLreal(value);
}

unsigned int CLreal::GetBinarizeSize() const { return kRealRecord; }

int CLreal::Binarize(unsigned char*& cursor, int& remaining) const {
  if (!kt::BeginRecord(cursor, remaining, LS_TYPE_REAL, kRealRecord)) return 0;
  uint64_t bits;
  std::memcpy(&bits, &m_value, sizeof bits);
  kt::PutU32(cursor + LS_RECORD_HEADER, static_cast<uint32_t>(bits));
  kt::PutU32(cursor + LS_RECORD_HEADER + 4, static_cast<uint32_t>(bits >> 32));
  return kt::EndRecord(cursor, remaining, kRealRecord);
}

int CLreal::Unbinarize(const unsigned char* record, size_t available) {
  uint32_t total;
  if (!kt::CheckHeader(record, available, LS_TYPE_REAL, kRealRecord, total)) return 0;
  uint64_t bits = kt::GetU32(record + LS_RECORD_HEADER) |
                  static_cast<uint64_t>(kt::GetU32(record + LS_RECORD_HEADER + 4)) << 32;
  std::memcpy(&m_value, &bits, sizeof bits);
  return 1;
}

int CLreal::IsEqual(const CItem& other) const {
  if (other.GetRuntimeClass() != RUNTIME_CLASS(CLreal)) return 0;
  double b = static_cast<const CLreal&>(other).m_value;
  return !(m_value < b) && !(m_value > b);
}
