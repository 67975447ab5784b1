// The automation variant, reduced to what travels here: empty, or a
// one-dimensional array of bytes (type VT_ARRAY | VT_UI1, 0x2011).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "keytree_api.h"

typedef unsigned short VARTYPE;
enum : VARTYPE { VT_EMPTY = 0, VT_UI1 = 17, VT_ARRAY = 0x2000 };

class KEYTREE_API COleVariant {
 public:
  COleVariant() = default;
  // A byte array holding a copy of count bytes, lower bound 0.
  COleVariant(const void* data, size_t count);
  COleVariant(const COleVariant&) = default;
  COleVariant& operator=(const COleVariant&) = default;
  COleVariant(COleVariant&& other) noexcept;
  COleVariant& operator=(COleVariant&& other) noexcept;

  void Clear();  // back to VT_EMPTY, the array freed

  // The array's bytes; null and 0 unless vt is VT_ARRAY | VT_UI1.
  const uint8_t* GetArrayData() const;
  uint8_t* GetArrayData();
  size_t GetArrayCount() const;
  long GetArrayLowerBound() const { return 0; }

  VARTYPE vt = VT_EMPTY;

 private:
  std::vector<uint8_t> m_bytes;
};
