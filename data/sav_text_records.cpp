#include "data/sav_text_records.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace vop::sav {

namespace {

// A cursor over one line of a multiple-response record.
struct LineCursor {
  std::string_view s;  // the rest of the line; points into the record
  size_t i = 0;        // next byte

  bool at_end() const { return i >= s.size(); }
  bool take(char c) {
    if (at_end() || s[i] != c) return false;
    ++i;
    return true;
  }
  // A run of decimal digits as a non-negative number; false when none.
  bool number(size_t& out) {
    const size_t start = i;
    out = 0;
    while (!at_end() && s[i] >= '0' && s[i] <= '9') {
      out = out * 10 + size_t(s[i] - '0');
      if (out > s.size()) return false;  // longer than the line: nonsense
      ++i;
    }
    return i > start;
  }
  // The next n bytes; false when fewer remain.
  bool bytes(size_t n, std::string_view& out) {
    if (s.size() - i < n) return false;
    out = s.substr(i, n);
    i += n;
    return true;
  }
};

// One line "$NAME=C|Dn value LEN LABEL MEMBER...". False when malformed.
bool parse_mrset_line(std::string_view line, MultipleVariable& set) {
  const size_t eq = line.find('=');
  if (eq == std::string_view::npos || eq < 2) return false;
  set.name = std::string(line.substr(0, eq));
  LineCursor c{line.substr(eq + 1)};
  if (c.take('C')) {
    set.kind = MultipleKind::Category;
    if (!c.take(' ')) return false;
  } else if (c.take('D')) {
    set.kind = MultipleKind::Dichotomy;
    size_t len;
    std::string_view value;
    if (!c.number(len) || !c.take(' ') || !c.bytes(len, value) || !c.take(' ')) return false;
    // Counted values of numeric sets are numbers; a text value cannot count
    // in a numeric variable, so the set is unusable.
    // Writers pad the value with spaces ("D8 1       ").
    while (!value.empty() && value.back() == ' ') value.remove_suffix(1);
    while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
    std::string v(value);
    char* end = nullptr;
    const double x = std::strtod(v.c_str(), &end);
    if (v.empty() || *end != '\0' || !std::isfinite(x)) return false;
    set.counted_values.push_back(x);
  } else {
    return false;  // an extended (E) set or damage
  }
  size_t label_len;
  std::string_view label;
  if (!c.number(label_len) || !c.take(' ') || !c.bytes(label_len, label)) return false;
  if (label_len > 0) set.label = std::string(label);
  // Members: space-separated names to the end of the line.
  std::string_view rest = c.s.substr(c.i);
  size_t p = 0;
  while (p < rest.size()) {
    while (p < rest.size() && rest[p] == ' ') ++p;
    size_t q = p;
    while (q < rest.size() && rest[q] != ' ') ++q;
    if (q > p) set.members.emplace_back(rest.substr(p, q - p));
    p = q;
  }
  return !set.members.empty();
}

}  // namespace

std::vector<MultipleVariable> parse_mrsets(std::string_view text,
                                           std::vector<std::string>& warnings) {
  std::vector<MultipleVariable> sets;
  size_t at = 0;
  while (at < text.size()) {
    const size_t dollar = text.find('$', at);
    if (dollar == std::string_view::npos) break;
    size_t nl = text.find('\n', dollar);
    if (nl == std::string_view::npos) nl = text.size();
    const std::string_view line = text.substr(dollar, nl - dollar);
    MultipleVariable set;
    if (parse_mrset_line(line, set)) sets.push_back(std::move(set));
    else warnings.push_back("malformed multiple-response set dropped: " + std::string(line));
    at = nl + 1;
  }
  return sets;
}

std::vector<std::pair<std::string, std::string>> parse_long_names(
    std::string_view text, std::vector<std::string>& warnings) {
  std::vector<std::pair<std::string, std::string>> pairs;
  size_t at = 0;
  while (at < text.size()) {
    size_t tab = text.find('\t', at);
    if (tab == std::string_view::npos) tab = text.size();
    const std::string_view item = text.substr(at, tab - at);
    at = tab + 1;
    if (item.empty()) continue;
    const size_t eq = item.find('=');
    if (eq == 0 || eq == std::string_view::npos || eq + 1 == item.size()) {
      warnings.push_back("malformed long variable name entry ignored: " + std::string(item));
      continue;
    }
    pairs.emplace_back(std::string(item.substr(0, eq)), std::string(item.substr(eq + 1)));
  }
  return pairs;
}

std::vector<std::pair<std::string, int>> parse_very_long_strings(
    std::string_view text, std::vector<std::string>& warnings) {
  std::vector<std::pair<std::string, int>> entries;
  size_t at = 0;
  while (at < text.size()) {
    size_t nul = text.find('\0', at);
    if (nul == std::string_view::npos) nul = text.size();
    std::string_view item = text.substr(at, nul - at);
    at = nul + 1;
    while (!item.empty() && item.front() == '\t') item.remove_prefix(1);
    if (item.empty()) break;  // an empty entry ends the record
    const size_t eq = item.find('=');
    int width = 0;
    const char* first = item.data() + (eq == std::string_view::npos ? 0 : eq + 1);
    const auto res = std::from_chars(first, item.data() + item.size(), width);
    if (eq == 0 || eq == std::string_view::npos || res.ec != std::errc() ||
        res.ptr != item.data() + item.size() || width <= 0) {
      warnings.push_back("malformed very long string entry ignored: " + std::string(item));
      continue;
    }
    entries.emplace_back(std::string(item.substr(0, eq)), width);
  }
  return entries;
}

}  // namespace vop::sav
