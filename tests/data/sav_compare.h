// Comparing a dataset with what a system file written from it reads back
// as, in everything the system-file writer keeps.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "data/dataset.h"

namespace vop::testing {

// s cut to n bytes at a UTF-8 character boundary, as the writer cuts labels.
inline std::string cut_utf8(const std::string& s, size_t n) {
  if (s.size() <= n) return s;
  while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
  return s.substr(0, n);
}

inline void expect_same_values(const DataVariable& a, const DataVariable& b, int cases) {
  ASSERT_EQ(a.numeric(), b.numeric());
  for (int r = 0; r < cases; ++r) {
    if (a.numeric()) {
      const double x = a.column[r], y = b.column[r];
      if (std::isnan(x)) EXPECT_TRUE(std::isnan(y)) << a.name() << " case " << r + 1;
      else EXPECT_EQ(x, y) << a.name() << " case " << r + 1;
    } else {
      // Trailing spaces are not kept by the file; absent reads back empty.
      std::string x = a.column.sat(r, 0).value_or("");
      x.erase(x.find_last_not_of(' ') + 1);
      EXPECT_EQ(x, b.column.sat(r, 0).value_or("")) << a.name() << " case " << r + 1;
    }
  }
}

inline void expect_same_dataset(const Dataset& a, const Dataset& b) {
  ASSERT_EQ(a.variable_count(), b.variable_count());
  ASSERT_EQ(a.case_count(), b.case_count());
  EXPECT_EQ(a.weight_name(), b.weight_name());
  for (int i = 0; i < a.variable_count(); ++i) {
    const DataVariable& x = a.variable(i);
    const DataVariable& y = b.variable(i);
    SCOPED_TRACE(x.name());
    EXPECT_EQ(x.name(), y.name());
    ASSERT_EQ(x.numeric(), y.numeric());
    EXPECT_EQ(x.label.has_value(), y.label.has_value());
    if (x.label && y.label) {
      EXPECT_EQ(cut_utf8(*x.label, 255), *y.label);
    }
    // The reader turns an unset measure of a string into "nominal".
    EXPECT_EQ(x.measure == 0 && !x.numeric() ? 1 : x.measure, y.measure);
    EXPECT_EQ(x.alignment, y.alignment);
    EXPECT_EQ(x.display_width, y.display_width);
    if (x.numeric()) {
      EXPECT_EQ(x.format_type, y.format_type);
      EXPECT_EQ(x.format_width, y.format_width);
      EXPECT_EQ(x.decimals, y.decimals);
      EXPECT_EQ(x.missing_code, y.missing_code);
      for (int k = 0; k < std::abs(x.missing_code) && k < 3; ++k)
        EXPECT_EQ(x.missing_values[size_t(k)], y.missing_values[size_t(k)]);
      ASSERT_EQ(x.value_labels.size(), y.value_labels.size());
      for (size_t k = 0; k < x.value_labels.size(); ++k) {
        EXPECT_EQ(x.value_labels[k].value, y.value_labels[k].value);
        EXPECT_EQ(cut_utf8(x.value_labels[k].text, 60), y.value_labels[k].text);
      }
    } else {
      EXPECT_EQ(std::max(x.string_width, 1), y.string_width);
    }
    expect_same_values(x, y, a.case_count());
  }
  // The writer keeps the list's order and the reader puts each set it reads
  // at the head: b's sets are a's in reverse.
  const size_t sets = a.multiple_variables().size();
  ASSERT_EQ(sets, b.multiple_variables().size());
  for (size_t k = 0; k < sets; ++k) {
    const MultipleVariable& m = a.multiple_variables()[k];
    const MultipleVariable& n = b.multiple_variables()[sets - 1 - k];
    EXPECT_EQ(m.name, n.name);
    EXPECT_EQ(m.label, n.label);
    EXPECT_EQ(m.kind, n.kind);
    EXPECT_EQ(m.counted_values, n.counted_values);
    EXPECT_EQ(m.members, n.members);
  }
}

}  // namespace vop::testing
