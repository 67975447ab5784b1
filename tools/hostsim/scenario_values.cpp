#include "hostsim/scenario_values.h"

#include <algorithm>
#include <cstdint>

#include "hostsim/scenario.h"
#include "platform/text.h"

bool ValueBytes(const std::string& value, std::vector<BYTE>& out) {
  out.clear();
  if (value.rfind("int:", 0) == 0) {
    auto n = ScenarioNumber(value.substr(4));
    if (!n) return false;
    for (int i = 0; i < 4; ++i)
      out.push_back(static_cast<BYTE>(static_cast<std::uint32_t>(*n) >> (8 * i)));
    return true;
  }
  if (value.rfind("text:", 0) == 0) {
    for (char16_t c : FromUtf8(value.substr(5))) {
      out.push_back(static_cast<BYTE>(c & 0xff));
      out.push_back(static_cast<BYTE>(c >> 8));
    }
    out.push_back(0);
    out.push_back(0);
    return true;
  }
  return ParseHex(value, out);
}

bool ParsePatch(const std::string& word, int& area, std::size_t& offset, std::vector<BYTE>& bytes) {
  if (word.rfind("area1@", 0) == 0) area = 1;
  else if (word.rfind("area2@", 0) == 0) area = 2;
  else return false;
  const std::size_t eq = word.find('=');
  if (eq == std::string::npos) return false;
  auto off = ScenarioNumber(word.substr(6, eq - 6));
  if (!off || *off < 0) return false;
  offset = static_cast<std::size_t>(*off);
  return ValueBytes(word.substr(eq + 1), bytes);
}

namespace {

bool IsPrefixForm(const std::string& spec) {
  return spec.rfind("int:", 0) == 0 || spec.rfind("text:", 0) == 0;
}

// OFF:VALUE split; false when the spec is not of that form.
bool SplitOffset(const std::string& spec, std::size_t& offset, std::string& value) {
  const std::size_t colon = spec.find(':');
  if (colon == std::string::npos || IsPrefixForm(spec)) return false;
  auto off = ScenarioNumber(spec.substr(0, colon));
  if (!off || *off < 0) return false;
  offset = static_cast<std::size_t>(*off);
  value = spec.substr(colon + 1);
  return true;
}

}  // namespace

bool AreaSpecValid(const std::string& spec) {
  std::vector<BYTE> bytes;
  if (spec == "-") return true;
  std::size_t offset;
  std::string value;
  if (SplitOffset(spec, offset, value)) return ValueBytes(value, bytes);
  if (spec.find(':') != std::string::npos && !IsPrefixForm(spec)) return false;
  return ValueBytes(spec, bytes);
}

bool AreaMatches(const CHostArea& area, const std::string& spec) {
  if (spec == "-") return !area.present;
  if (!area.present) return false;
  std::vector<BYTE> want;
  std::size_t o;
  std::string value;
  if (SplitOffset(spec, o, value)) {
    if (!ValueBytes(value, want)) return false;
    return o + want.size() <= area.bytes.size() &&
           std::equal(want.begin(), want.end(),
                      area.bytes.begin() + static_cast<std::ptrdiff_t>(o));
  }
  if (!ValueBytes(spec, want)) return false;
  if (IsPrefixForm(spec))
    return area.bytes.size() >= want.size() &&
           std::equal(want.begin(), want.end(), area.bytes.begin());
  return area.bytes == want;
}
