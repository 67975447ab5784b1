#include "keytree/variant.h"

#include <utility>

COleVariant::COleVariant(const void* data, size_t count)
    : vt(VT_ARRAY | VT_UI1),
      m_bytes(static_cast<const uint8_t*>(data),
              static_cast<const uint8_t*>(data) + (data ? count : 0)) {
  m_bytes.resize(count);
}

COleVariant::COleVariant(COleVariant&& other) noexcept
    : vt(other.vt), m_bytes(std::move(other.m_bytes)) {
  other.Clear();
}

COleVariant& COleVariant::operator=(COleVariant&& other) noexcept {
  if (this != &other) {
    vt = other.vt;
    m_bytes = std::move(other.m_bytes);
    other.Clear();
  }
  return *this;
}

void COleVariant::Clear() {
  vt = VT_EMPTY;
  std::vector<uint8_t>().swap(m_bytes);
}

const uint8_t* COleVariant::GetArrayData() const {
  return vt == (VT_ARRAY | VT_UI1) ? m_bytes.data() : nullptr;
}

uint8_t* COleVariant::GetArrayData() {
  return vt == (VT_ARRAY | VT_UI1) ? m_bytes.data() : nullptr;
}

size_t COleVariant::GetArrayCount() const { return vt == (VT_ARRAY | VT_UI1) ? m_bytes.size() : 0; }
