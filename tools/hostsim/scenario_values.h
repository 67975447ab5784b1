// Byte values written in scenarios: hex, int:N, text:"..." (UTF-16), and the
// area expectations and answer patches made of them.
#pragma once

#include <string>
#include <vector>

#include "hostsim/host_requests.h"

// "hex bytes", "int:N" (32-bit little-endian) or "text:..." (UTF-16 with its
// terminator) as bytes; false when malformed.
bool ValueBytes(const std::string& value, std::vector<BYTE>& out);
// "area1@OFF=VALUE": which area, offset and bytes.
bool ParsePatch(const std::string& word, int& area, std::size_t& offset, std::vector<BYTE>& bytes);
// Whether an area expectation is well formed: "-", whole hex, int:, text:
// or OFF:VALUE.
bool AreaTextValid(const std::string& form);
// An area expectation: "-" (not requested), the whole area in hex, an
// int:/text: prefix of the area, or OFF:VALUE for bytes at an offset.
bool AreaMatches(const CHostArea& area, const std::string& form);
