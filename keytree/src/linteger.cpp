#include <climits>
#include <cstdio>

#include "keytree/scalars.h"
#include "record.h"
#include "textscan.h"

IMPLEMENT_SERIAL(CLinteger, CItem, 1)

namespace {

constexpr uint32_t kIntegerRecord = LS_RECORD_HEADER + 4;

// Arithmetic wraps around at 32 bits, as the original's integers did.
int32_t Wrap(uint32_t v) { return static_cast<int32_t>(v); }
uint32_t U(int32_t v) { return static_cast<uint32_t>(v); }

// Division and remainder never trap: by zero they give 0 and the dividend,
// and the one quotient that does not fit wraps to itself.
int32_t Divide(int32_t a, int32_t b) {
  if (b == 0) return 0;
  if (b == -1) return Wrap(0u - U(a));
  return a / b;
}
int32_t Remainder(int32_t a, int32_t b) {
  if (b == 0) return a;
  if (b == -1) return 0;
  return a % b;
}

}  // namespace

CLinteger::CLinteger(long value) : m_value(static_cast<int32_t>(value)) {}
CLinteger::CLinteger(const CLinteger& other) : CItem(other), m_value(other.m_value) {}
CLinteger::~CLinteger() = default;

CLinteger& CLinteger::operator=(const CLinteger& other) {
  m_value = other.m_value;
  return *this;
}

CLinteger& CLinteger::operator=(CItem* other) {
  if (IsItem(other) && other != this && other->IsKindOf(RUNTIME_CLASS(CLinteger)))
    m_value = static_cast<CLinteger*>(other)->m_value;
  return *this;
}

CLinteger CLinteger::operator+(const CLinteger& b) const {
  return CLinteger(Wrap(U(m_value) + U(b.m_value)));
}
CLinteger CLinteger::operator-(const CLinteger& b) const {
  return CLinteger(Wrap(U(m_value) - U(b.m_value)));
}
CLinteger CLinteger::operator*(const CLinteger& b) const {
  return CLinteger(Wrap(U(m_value) * U(b.m_value)));
}
CLinteger CLinteger::operator/(const CLinteger& b) const {
  return CLinteger(Divide(m_value, b.m_value));
}
CLinteger CLinteger::operator%(const CLinteger& b) const {
  return CLinteger(Remainder(m_value, b.m_value));
}
CLinteger& CLinteger::operator+=(const CLinteger& b) {
  m_value = Wrap(U(m_value) + U(b.m_value));
  return *this;
}
CLinteger& CLinteger::operator-=(const CLinteger& b) {
  m_value = Wrap(U(m_value) - U(b.m_value));
  return *this;
}
CLinteger& CLinteger::operator*=(const CLinteger& b) {
  m_value = Wrap(U(m_value) * U(b.m_value));
  return *this;
}
CLinteger& CLinteger::operator/=(const CLinteger& b) {
  m_value = Divide(m_value, b.m_value);
  return *this;
}
CLinteger& CLinteger::operator%=(const CLinteger& b) {
  m_value = Remainder(m_value, b.m_value);
  return *this;
}
CLinteger CLinteger::operator-() const { return CLinteger(Wrap(0u - U(m_value))); }

CLinteger CLinteger::operator++() {
  m_value = Wrap(U(m_value) + 1u);
  return *this;
}

CLinteger CLinteger::operator--() {
  m_value = Wrap(U(m_value) - 1u);
  return *this;
}

CItem* CLinteger::Duplicate() const { return new (std::nothrow) CLinteger(m_value); }

CString CLinteger::ToString() const {
  char text[16];
  std::snprintf(text, sizeof text, "%d", m_value);
  return CString(text);
}

int CLinteger::FromString(const char* text, int len) {
  // No trimming here: the whole of len characters must be the number.
  int32_t value;
  if (!kt::ScanExactly(kt::ScanDecimal, text, len, value)) return 0;
  m_value = value;
  return 1;
}

CItem* CLinteger::CreateFromString(const char* text, int len) {
  int32_t value;
  if (!kt::ScanTrimmed(kt::ScanDecimal, text, len, value)) return nullptr;
  return new (std::nothrow) CLinteger(value);
}

unsigned int CLinteger::GetBinarizeSize() const { return kIntegerRecord; }

int CLinteger::Binarize(unsigned char*& cursor, int& remaining) const {
  if (!kt::BeginRecord(cursor, remaining, LS_TYPE_INTEGER, kIntegerRecord)) return 0;
  kt::PutU32(cursor + LS_RECORD_HEADER, U(m_value));
  return kt::EndRecord(cursor, remaining, kIntegerRecord);
}

int CLinteger::Unbinarize(const unsigned char* record, size_t available) {
  uint32_t total;
  if (!kt::CheckHeader(record, available, LS_TYPE_INTEGER, kIntegerRecord, total)) return 0;
  m_value = Wrap(kt::GetU32(record + LS_RECORD_HEADER));
  return 1;
}

int CLinteger::IsEqual(const CItem& other) const {
  return other.GetRuntimeClass() == RUNTIME_CLASS(CLinteger) &&
         static_cast<const CLinteger&>(other).m_value == m_value;
}
