#pragma once
// The string functions scripts use. Case changes touch ASCII letters only, so
// multi-byte (Chinese) text passes through unchanged.

#include <string>
#include <string_view>

namespace picklist::runtime {

inline std::string upper(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

// Leading and trailing blanks.
inline std::string trim(std::string_view s) {
  auto b = s.find_first_not_of(' ');
  if (b == std::string_view::npos) return {};
  auto e = s.find_last_not_of(' ');
  return std::string(s.substr(b, e - b + 1));
}

inline bool iequals(std::string_view a, std::string_view b) {
  return a.size() == b.size() && upper(a) == upper(b);
}

}  // namespace picklist::runtime
