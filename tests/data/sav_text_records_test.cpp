#include "data/sav_text_records.h"

#include <gtest/gtest.h>

namespace vop::sav {
namespace {

TEST(SavTextRecords, MultipleResponseSets) {
  std::vector<std::string> w;
  const auto sets = parse_mrsets(
      "$A=D1 1 5 Label V1 V2\n$b=C 0  x y z\n$BAD=Q 1 2\n$C=D8 11       0  P Q\n", w);
  ASSERT_EQ(sets.size(), 3u);
  EXPECT_EQ(sets[0].name, "$A");
  EXPECT_EQ(sets[0].kind, MultipleKind::Dichotomy);
  EXPECT_EQ(sets[0].counted_values, std::vector<double>{1});
  EXPECT_EQ(sets[0].label, "Label");
  EXPECT_EQ(sets[0].members, (std::vector<std::string>{"V1", "V2"}));
  // Names stay as written: the reader upper-cases them once they are UTF-8.
  EXPECT_EQ(sets[1].name, "$b");
  EXPECT_EQ(sets[1].kind, MultipleKind::Category);
  EXPECT_FALSE(sets[1].label);
  EXPECT_EQ(sets[1].members, (std::vector<std::string>{"x", "y", "z"}));
  EXPECT_EQ(sets[2].counted_values, std::vector<double>{11});  // padded "D8" value
  EXPECT_EQ(w.size(), 1u);  // the malformed line
}

TEST(SavTextRecords, MalformedSetLinesCostOnlyThemselves) {
  std::vector<std::string> w;
  // A label length beyond the line, and a text counted value.
  const auto sets = parse_mrsets("$A=C 99 short V1\n$B=D3 yes 0  V1\n$C=C 1 L V1\n", w);
  ASSERT_EQ(sets.size(), 1u);
  EXPECT_EQ(sets[0].name, "$C");
  EXPECT_EQ(w.size(), 2u);
}

TEST(SavTextRecords, LongNames) {
  std::vector<std::string> w;
  const auto pairs = parse_long_names("V1=Income\tV2=Region\tjunk\tV3=", w);
  ASSERT_EQ(pairs.size(), 2u);
  EXPECT_EQ(pairs[0], (std::pair<std::string, std::string>{"V1", "Income"}));
  EXPECT_EQ(pairs[1], (std::pair<std::string, std::string>{"V2", "Region"}));
  EXPECT_EQ(w.size(), 2u);
}

TEST(SavTextRecords, VeryLongStrings) {
  std::vector<std::string> w;
  const std::string text = std::string("LONG=300\0\tB=1000\0\tC=x\0\t", 24) + std::string("\0\tD=400", 7);
  const auto e = parse_very_long_strings(text, w);
  ASSERT_EQ(e.size(), 2u);  // the empty entry ends the record
  EXPECT_EQ(e[0], (std::pair<std::string, int>{"LONG", 300}));
  EXPECT_EQ(e[1], (std::pair<std::string, int>{"B", 1000}));
  EXPECT_EQ(w.size(), 1u);
}

}  // namespace
}  // namespace vop::sav
