#include "pspp_compare.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <sstream>

#include "data/name_case.h"

namespace vop::testing {

namespace {

std::string upper(const std::string& s) { return upper_name(s); }

// "99", "LOWEST THRU -100; 152", "1 THRU 3", "1; 2; 3" as a missing-value rule.
bool parse_missing(const std::string& text, int& code, std::array<double, 3>& v) {
  code = 0;
  if (text.empty()) return true;
  auto num = [](std::string t, double& x) {
    while (!t.empty() && t.front() == ' ') t.erase(0, 1);
    while (!t.empty() && t.back() == ' ') t.pop_back();
    if (t == "LOWEST") return x = -HUGE_VAL, true;
    if (t == "HIGHEST") return x = HUGE_VAL, true;
    char* end = nullptr;
    x = std::strtod(t.c_str(), &end);
    return !t.empty() && *end == '\0';
  };
  std::vector<std::string> parts;
  std::stringstream ss(text);
  for (std::string p; std::getline(ss, p, ';');) parts.push_back(p);
  std::vector<double> discrete;
  bool range = false;
  for (const std::string& p : parts) {
    const size_t thru = p.find(" THRU ");
    if (thru != std::string::npos) {
      if (!num(p.substr(0, thru), v[0]) || !num(p.substr(thru + 6), v[1])) return false;
      range = true;
    } else {
      double x;
      if (!num(p, x)) return false;
      discrete.push_back(x);
    }
  }
  if (range) {
    code = discrete.empty() ? kMissingRange : kMissingRangeAndValue;
    if (!discrete.empty()) v[2] = discrete[0];
  } else {
    code = int(discrete.size());
    for (size_t i = 0; i < discrete.size() && i < 3; ++i) v[i] = discrete[i];
  }
  return true;
}

// PSPP shows LOWEST/HIGHEST for the extreme doubles of a range.
double unbounded(double x) {
  if (x <= -1e308) return -HUGE_VAL;
  if (x >= 1e308) return HUGE_VAL;
  return x;
}
}  // namespace

void compare_file_info(const Dataset& ds, const std::vector<PsppTable>& tables) {
  const PsppTable* info = testing::find_table(tables, "File Information");
  ASSERT_NE(info, nullptr);
  for (const auto& row : info->rows) {
    if (row.size() < 2) continue;
    if (row[0] == "Variables") {
      EXPECT_EQ(std::to_string(ds.variable_count()), row[1]);
    }
    if (row[0] == "Cases") {
      EXPECT_EQ(std::to_string(ds.case_count()), row[1]);
    }
    if (row[0] == "Weight") {
      if (row[1] == "Not weighted") {
        EXPECT_FALSE(ds.weight_name());
      } else {
        ASSERT_TRUE(ds.weight_name());
        const DataVariable* w = ds.find(*ds.weight_name());
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(upper(row[1]) == w->name() || (w->label && *w->label == row[1]));
      }
    }
  }
}

void compare_variables(const Dataset& ds, const std::vector<PsppTable>& tables) {
  const PsppTable* t = testing::find_table(tables, "Variables");
  ASSERT_NE(t, nullptr);
  const int name = testing::column_of(*t, "Name");
  const int label = testing::column_of(*t, "Label");
  const int format = testing::column_of(*t, "Print Format");
  const int missing = testing::column_of(*t, "Missing Values");
  const int position = testing::column_of(*t, "Position");
  ASSERT_GE(name, 0);
  ASSERT_GE(format, 0);
  ASSERT_GE(position, 0);
  // Long cells wrap onto lines with no position; join them to their row.
  std::vector<std::vector<std::string>> rows;
  for (const auto& row : t->rows) {
    if (!rows.empty() && row[size_t(position)].empty()) {
      for (size_t c = 0; c < row.size(); ++c)
        if (!row[c].empty()) rows.back()[c] += (rows.back()[c].empty() ? "" : " ") + row[c];
    } else {
      rows.push_back(row);
    }
  }
  ASSERT_EQ(int(rows.size()), ds.variable_count());
  for (int i = 0; i < ds.variable_count(); ++i) {
    const DataVariable& v = ds.variable(i);
    const auto& row = rows[size_t(i)];
    SCOPED_TRACE(v.name());
    // PSPP renames a variable whose long name it cannot match (a short name
    // cut inside a UTF-8 character); we keep the long name.
    const bool pspp_renamed = row[size_t(name)].starts_with("VAR") && uint8_t(v.name()[0]) >= 0x80;
    if (!pspp_renamed) {
      EXPECT_EQ(upper(row[size_t(name)]), v.name());
    }
    if (label >= 0) {
      // PSPP does not show a label's trailing spaces.
      std::string ours = v.label.value_or("");
      ours.erase(ours.find_last_not_of(' ') + 1);
      ours.erase(0, std::min(ours.size(), ours.find_first_not_of(' ')));
      EXPECT_EQ(row[size_t(label)], ours);
    }
    const std::string& fmt = row[size_t(format)];
    ASSERT_GE(fmt.size(), 2u);
    if (fmt[0] == 'A' && std::isdigit(static_cast<unsigned char>(fmt[1]))) {
      EXPECT_FALSE(v.numeric());
      EXPECT_EQ(std::stoi(fmt.substr(1)), v.string_width);
    } else {
      EXPECT_TRUE(v.numeric());
      // PSPP shows F8.2 in place of a format it finds invalid.
      if (fmt[0] == 'F' && std::isdigit(static_cast<unsigned char>(fmt[1])) && fmt != "F8.2") {
        EXPECT_EQ(fmt, "F" + std::to_string(v.format_width) + "." + std::to_string(v.decimals));
      }
    }
    if (missing >= 0 && v.numeric()) {
      int code;
      std::array<double, 3> mv{};
      ASSERT_TRUE(parse_missing(row[size_t(missing)], code, mv)) << row[size_t(missing)];
      EXPECT_EQ(code, v.missing_code);
      for (int k = 0; k < std::abs(code); ++k)
        EXPECT_EQ(mv[size_t(k)], unbounded(v.missing_values[size_t(k)])) << k;
    }
  }
}

void compare_value_labels(const Dataset& ds, const std::vector<PsppTable>& tables) {
  const PsppTable* t = testing::find_table(tables, "Value Labels");
  // Groups of labels, each under its variable's label or name.
  std::vector<std::pair<std::string, std::vector<ValueLabel>>> pspp;
  if (t) {
    std::string owner;
    for (size_t r = 0; r < t->rows.size(); ++r) {
      const std::string& cell = t->rows[r][0];
      if (cell.empty()) {  // a long label wrapped onto the next line
        if (!pspp.empty() && !pspp.back().second.empty())
          pspp.back().second.back().text += " " + t->rows[r].back();
        continue;
      }
      // The value is the cell's last word; the first line of a group also
      // names the variable, whose label may wrap onto the next lines.
      const size_t sp = cell.find_last_of(' ');
      std::string value = sp == std::string::npos ? cell : cell.substr(sp + 1);
      if (t->group_start[r] || r == 0) {
        owner = sp == std::string::npos ? "" : cell.substr(0, sp);
        while (!owner.empty() && owner.back() == ' ') owner.pop_back();
      }
      if (value.ends_with("]")) value = value.substr(0, value.find('['));
      char* end = nullptr;
      const double x = std::strtod(value.c_str(), &end);
      if (value.empty() || *end != '\0') continue;  // a text or date value
      if (t->group_start[r] || r == 0 || pspp.empty()) pspp.emplace_back(owner, std::vector<ValueLabel>{});
      pspp.back().second.push_back(ValueLabel{x, t->rows[r].back()});
    }
  }
  for (int i = 0; i < ds.variable_count(); ++i) {
    const DataVariable& v = ds.variable(i);
    if (!v.numeric() || v.value_labels.empty() || v.format_type != 5) continue;
    SCOPED_TRACE(v.name());
    // A group is headed by the variable's label, or its name as PSPP spells it.
    std::string label = v.label.value_or("");
    label.erase(label.find_last_not_of(' ') + 1);
    label.erase(0, std::min(label.size(), label.find_first_not_of(' ')));
    // PSPP wraps long labels at spaces or after punctuation, so texts are
    // compared without their spaces.
    auto squeeze = [](std::string s) {
      s.erase(std::remove(s.begin(), s.end(), ' '), s.end());
      return s;
    };
    // PSPP lists the labels in order of value; a file keeps them as given.
    auto by_value = [](std::vector<ValueLabel> labels) {
      std::stable_sort(labels.begin(), labels.end(),
                       [](const ValueLabel& a, const ValueLabel& b) { return a.value < b.value; });
      return labels;
    };
    const std::vector<ValueLabel> ours = by_value(v.value_labels);
    auto same = [&](const std::vector<ValueLabel>& listed) {
      const std::vector<ValueLabel> theirs = by_value(listed);
      if (theirs.size() != ours.size()) return false;
      for (size_t k = 0; k < theirs.size(); ++k) {
        std::string text = ours[k].text;
        text.erase(text.find_last_not_of(' ') + 1);
        if (std::fabs(theirs[k].value - ours[k].value) >
                0.5 * std::pow(10.0, -v.decimals) + 1e-9 ||
            squeeze(theirs[k].text) != squeeze(text))
          return false;
      }
      return true;
    };
    bool found = false;
    for (const auto& [owner, labels] : pspp)
      // A long variable label wraps, so its first line is a prefix.
      if ((v.label ? !owner.empty() && label.starts_with(owner) : upper(owner) == v.name()) &&
          same(labels))
        found = true;
    EXPECT_TRUE(found) << "no matching value labels in PSPP's report";
  }
}

void compare_mrsets(const Dataset& ds, const std::vector<PsppTable>& tables) {
  if (ds.multiple_variables().empty()) return;
  const PsppTable* t = testing::find_table(tables, "Multiple Response Sets");
  ASSERT_NE(t, nullptr);
  for (const MultipleVariable& m : ds.multiple_variables()) {
    SCOPED_TRACE(m.name);
    size_t r = 0;
    while (r < t->rows.size() && upper(t->rows[r][0]) != m.name) ++r;
    ASSERT_LT(r, t->rows.size());
    const auto& row = t->rows[r];
    EXPECT_EQ(row[1], m.label.value_or(""));
    EXPECT_EQ(row[2], m.kind == MultipleKind::Dichotomy ? "Dichotomies" : "Categories");
    if (m.kind == MultipleKind::Dichotomy) {
      EXPECT_EQ(std::stod(row[3]), m.counted_values.at(0));
    }
    std::vector<std::string> members;
    for (size_t k = r; k < t->rows.size() && (k == r || t->rows[k][0].empty()); ++k)
      members.push_back(upper(t->rows[k][4]));
    EXPECT_EQ(members, m.members);
  }
}

void compare_cases(const Dataset& ds, const std::vector<PsppTable>& tables) {
  const PsppTable* t = testing::find_table(tables, "Data List");
  if (!t) return;
  // Cells that wrapped onto more lines cannot be matched to cases.
  const size_t shown = size_t(std::min(ds.case_count(), 5));
  if (t->rows.size() != shown) return;
  for (size_t c = 0; c < t->header.size(); ++c) {
    const DataVariable* v = ds.find(upper(t->header[c]));
    if (!v) continue;
    SCOPED_TRACE(v->name());
    for (size_t r = 0; r < shown; ++r) {
      const std::string& cell = t->rows[r][c];
      if (!v->numeric()) {
        const StrCell& s = v->column.sat(int(r), 0);
        std::string ours = s.value_or("");
        const size_t a = ours.find_first_not_of(' ');
        ours = a == std::string::npos ? "" : ours.substr(a);
        if (ours.size() <= cell.size() + 1) {
      EXPECT_EQ(ours, cell) << "case " << r + 1;
    }
        continue;
      }
      if (v->format_type != 5) continue;  // dates and other displays
      const double x = v->column[int(r)];
      if (cell == ".") {
        EXPECT_TRUE(std::isnan(x)) << "case " << r + 1;
        continue;
      }
      char* end = nullptr;
      const double p = std::strtod(cell.c_str(), &end);
      if (cell.empty() || *end != '\0') continue;  // shown in another notation
      EXPECT_NEAR(p, x, 0.5 * std::pow(10.0, -v->decimals) + 1e-9 * std::fabs(x)) << "case " << r + 1;
    }
  }
}
}  // namespace vop::testing
