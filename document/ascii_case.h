// Comparisons that ignore the case of ASCII letters, for file endings and
// names in documents ("REPORT.DOCX", "Sheet1").
#pragma once

#include <cctype>
#include <string_view>

namespace vop {

inline bool same_ascii_nocase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

inline bool ends_with_ascii_nocase(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && same_ascii_nocase(s.substr(s.size() - tail.size()), tail);
}

}  // namespace vop
