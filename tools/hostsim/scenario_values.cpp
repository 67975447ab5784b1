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

bool IsPrefixForm(const std::string& form) {
  return form.rfind("int:", 0) == 0 || form.rfind("text:", 0) == 0;
}

// OFF:VALUE split; false when the text has another shape.
bool SplitOffset(const std::string& form, std::size_t& offset, std::string& value) {
  const std::size_t colon = form.find(':');
  if (colon == std::string::npos || IsPrefixForm(form)) return false;
  auto off = ScenarioNumber(form.substr(0, colon));
  if (!off || *off < 0) return false;
  offset = static_cast<std::size_t>(*off);
  value = form.substr(colon + 1);
  return true;
}

}  // namespace

bool AreaTextValid(const std::string& form) {
  std::vector<BYTE> bytes;
  if (form == "-") return true;
  std::size_t offset;
  std::string value;
  if (SplitOffset(form, offset, value)) return ValueBytes(value, bytes);
  if (form.find(':') != std::string::npos && !IsPrefixForm(form)) return false;
  return ValueBytes(form, bytes);
}

bool AreaMatches(const CHostArea& area, const std::string& form) {
  if (form == "-") return !area.present;
  if (!area.present) return false;
  std::vector<BYTE> want;
  std::size_t o;
  std::string value;
  if (SplitOffset(form, o, value)) {
    if (!ValueBytes(value, want)) return false;
    return o + want.size() <= area.bytes.size() &&
           std::equal(want.begin(), want.end(),
                      area.bytes.begin() + static_cast<std::ptrdiff_t>(o));
  }
  if (!ValueBytes(form, want)) return false;
  if (IsPrefixForm(form))
    return area.bytes.size() >= want.size() &&
           std::equal(want.begin(), want.end(), area.bytes.begin());
  return area.bytes == want;
}
