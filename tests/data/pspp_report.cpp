#include "pspp_report.h"

#include <clocale>
#include <cwchar>
#include <sstream>

namespace vop::testing {

namespace {

// A line split into display columns: a wide character fills two (the
// second empty), a combining mark joins the character before it.
std::vector<std::string> chars_of(const std::string& line) {
  static const bool utf8_locale = std::setlocale(LC_CTYPE, "C.UTF-8") != nullptr;
  (void)utf8_locale;
  std::vector<std::string> out;
  std::mbstate_t st{};
  for (size_t i = 0; i < line.size();) {
    wchar_t wc = 0;
    size_t n = std::mbrtowc(&wc, line.data() + i, line.size() - i, &st);
    if (n == 0 || n > 4) {
      n = 1;
      wc = L'?';
      st = std::mbstate_t{};
    }
    const int w = wcwidth(wc);
    if (w == 0 && !out.empty()) out.back() += line.substr(i, n);
    else out.push_back(line.substr(i, n));
    if (w == 2) out.push_back("");
    i += n;
  }
  return out;
}

std::string trim(const std::string& s) {
  const size_t a = s.find_first_not_of(' ');
  if (a == std::string::npos) return "";
  const size_t b = s.find_last_not_of(' ');
  return s.substr(a, b - a + 1);
}

bool is_rule(const std::string& line) { return !line.empty() && line[0] == '+'; }

std::vector<std::string> split_at(const std::string& line, const std::vector<size_t>& cuts) {
  const std::vector<std::string> ch = chars_of(line);
  std::vector<std::string> cells;
  for (size_t k = 0; k + 1 < cuts.size(); ++k) {
    std::string cell;
    for (size_t i = cuts[k] + 1; i < cuts[k + 1] && i < ch.size(); ++i) cell += ch[i];
    cells.push_back(trim(cell));
  }
  return cells;
}

}  // namespace

std::vector<PsppTable> parse_pspp_tables(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  std::vector<PsppTable> tables;
  for (size_t i = 1; i + 2 < lines.size(); ++i) {
    if (!is_rule(lines[i]) || is_rule(lines[i - 1]) || lines[i - 1].empty() ||
        lines[i - 1][0] == '|')
      continue;
    PsppTable t;
    t.title = trim(lines[i - 1]);
    std::vector<size_t> cuts;
    const std::vector<std::string> rule = chars_of(lines[i]);
    for (size_t k = 0; k < rule.size(); ++k)
      if (rule[k] == "+") cuts.push_back(k);
    // The header may take several lines; a column's title is their join.
    size_t j = i + 1;
    for (; j < lines.size() && lines[j].starts_with("|"); ++j) {
      const std::vector<std::string> part = split_at(lines[j], cuts);
      t.header.resize(part.size());
      for (size_t c = 0; c < part.size(); ++c)
        if (!part[c].empty()) t.header[c] += (t.header[c].empty() ? "" : " ") + part[c];
    }
    if (j < lines.size() && is_rule(lines[j])) ++j;
    bool rule_before = false;
    for (; j < lines.size() && (lines[j].starts_with("|") || is_rule(lines[j])); ++j) {
      if (is_rule(lines[j])) {
        rule_before = true;
        continue;
      }
      t.rows.push_back(split_at(lines[j], cuts));
      t.group_start.push_back(rule_before);
      rule_before = false;
    }
    tables.push_back(std::move(t));
    i = j;
  }
  return tables;
}

const PsppTable* find_table(const std::vector<PsppTable>& tables, const std::string& title) {
  for (const PsppTable& t : tables)
    if (t.title == title) return &t;
  return nullptr;
}

int column_of(const PsppTable& t, const std::string& title) {
  for (size_t i = 0; i < t.header.size(); ++i)
    if (t.header[i] == title) return int(i);
  return -1;
}

}  // namespace vop::testing
