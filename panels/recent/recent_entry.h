// One contact of the recent-contacts list.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "host/qwdata.h"

// Texts hold at most 63 characters (they travel in 64-unit fields).
struct CRecentContactEntry {
  QWPOS pos = 0;  // where the contact lives in its data object; 0: unknown
  std::int32_t kind = 0;
  std::u16string id;
  std::u16string name;
};

// A text as the list keeps it: at most 63 characters.
inline std::u16string RecentCutText(std::u16string_view text) {
  return std::u16string(text.substr(0, 63));
}

// A 64-unit UTF-16 field of a record: stops at its terminator and never
// reads past its 64 units, whatever the bytes hold.
inline std::u16string RecentReadField(const unsigned char* at) {
  std::u16string out;
  for (std::size_t i = 0; i < 63; ++i) {
    const char16_t c = static_cast<char16_t>(at[2 * i] | (at[2 * i + 1] << 8));
    if (!c) break;
    out.push_back(c);
  }
  return out;
}
