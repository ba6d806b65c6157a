#include "data/dataset.h"

#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <limits>
#include <vector>

namespace vop {
namespace {

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(Dataset, CreateVariableAppliesDefaultsAndUpperCase) {
  Dataset ds;
  ErrorState err;
  ds.set_case_count(3);
  DataVariable* n = ds.create_variable("income", true, err);
  DataVariable* s = ds.create_variable("city", false, err);
  ASSERT_TRUE(n && s);
  EXPECT_EQ(n->name(), "INCOME");
  EXPECT_EQ(n->column.rows(), 3);
  EXPECT_EQ(n->column.name(), "INCOME");
  EXPECT_EQ(n->format_type, 5);
  EXPECT_EQ(n->decimals, 2);
  EXPECT_EQ(n->alignment, 1);
  EXPECT_EQ(n->measure, 2);
  EXPECT_EQ(s->format_type, 1);
  EXPECT_EQ(s->decimals, 0);
  EXPECT_EQ(s->alignment, 0);
  EXPECT_EQ(s->measure, 0);
  for (DataVariable* v : {n, s}) {
    EXPECT_EQ(v->format_width, 8);
    EXPECT_EQ(v->display_width, 7);
    EXPECT_EQ(v->missing_code, 0);
    EXPECT_FALSE(v->label);
  }
  EXPECT_FALSE(s->column.numeric());
  EXPECT_EQ(ds.variable_count(), 2);
}

TEST(Dataset, BadAndDuplicateNamesAreRejected) {
  Dataset ds;
  for (const char* bad : {"1abc", "_x", "$set", ""}) {
    ErrorState err;
    EXPECT_EQ(ds.create_variable(bad, true, err), nullptr) << bad;
    EXPECT_EQ(err.code(), kErrBadVarName);
  }
  ErrorState err;
  EXPECT_EQ(ds.create_variable(std::string(65, 'a'), true, err), nullptr);
  EXPECT_EQ(err.code(), kErrBadVarName);
  ErrorState ok;
  EXPECT_NE(ds.create_variable(std::string(64, 'a'), true, ok), nullptr);
  EXPECT_NE(ds.create_variable("x", true, ok), nullptr);
  ErrorState dup;
  EXPECT_EQ(ds.create_variable("X", true, dup), nullptr);
  EXPECT_EQ(dup.code(), kErrDuplicateVar);
  EXPECT_EQ(ds.variable_count(), 2);
}

TEST(Dataset, UserMissingFollowsEachCode) {
  DataVariable v = make_variable("V", true, 0);
  v.missing_code = kMissingRangeAndValue;
  v.missing_values = {1, 3, 9};
  EXPECT_TRUE(is_user_missing(v, 2));
  EXPECT_TRUE(is_user_missing(v, 9));
  EXPECT_FALSE(is_user_missing(v, 4));
  EXPECT_FALSE(is_user_missing(v, kNan));
  v.missing_code = kMissingRange;
  EXPECT_TRUE(is_user_missing(v, 1));
  EXPECT_FALSE(is_user_missing(v, 9));
  v.missing_code = 2;
  v.missing_values = {-1, 99, 5};
  EXPECT_TRUE(is_user_missing(v, 99));
  EXPECT_FALSE(is_user_missing(v, 5));  // only the first two count
  v.missing_code = 0;
  EXPECT_FALSE(is_user_missing(v, -1));
  v.missing_code = 1;
  v.missing_values = {kInf, 0, 0};
  EXPECT_FALSE(is_user_missing(v, kInf));
}

TEST(Dataset, FilterSelectsFiniteNonZero) {
  Dataset ds;
  ErrorState err;
  ds.set_case_count(5);
  DataVariable* f = ds.create_variable("F", true, err);
  const double values[] = {kNan, kInf, 0, -0.5, 2};
  for (int i = 0; i < 5; ++i) f->column[i] = values[i];
  EXPECT_TRUE(ds.is_selected(0));  // no filter yet
  ASSERT_TRUE(ds.set_filter("F", err));
  EXPECT_FALSE(ds.is_selected(0));
  EXPECT_FALSE(ds.is_selected(1));
  EXPECT_FALSE(ds.is_selected(2));
  EXPECT_TRUE(ds.is_selected(3));
  EXPECT_TRUE(ds.is_selected(4));
}

TEST(Dataset, WeightAndFilterMustExistAndDieWithTheirVariable) {
  Dataset ds;
  ErrorState err;
  EXPECT_FALSE(ds.require_data(err));
  EXPECT_EQ(err.code(), kErrNoData);
  ErrorState e78;
  EXPECT_FALSE(ds.set_weight("W", e78));
  EXPECT_EQ(e78.code(), kErrNoVariable);
  EXPECT_EQ(e78.name(), "W");
  ErrorState ok;
  ds.create_variable("W", true, ok);
  ds.create_variable("A", true, ok);
  ASSERT_TRUE(ds.set_weight("W", ok));
  ASSERT_TRUE(ds.set_filter("W", ok));
  ds.remove_variable(0);
  EXPECT_FALSE(ds.weight_name());
  EXPECT_EQ(ds.filter(), nullptr);
  EXPECT_NE(ds.find("A"), nullptr);
  EXPECT_EQ(ds.index_of("A"), 0);
}

TEST(Dataset, FindDataVariableFollowsAnAlias) {
  Dataset ds;
  ErrorState err;
  ds.create_variable("AGE", true, err);
  CallFrame frame;
  frame.add_alias("x", Alias{"AGE", nullptr});
  EXPECT_EQ(ds.find_data_variable("AGE"), &ds.find("AGE")->column);
  EXPECT_EQ(ds.find_data_variable("x", &frame), &ds.find("AGE")->column);
  EXPECT_EQ(ds.find_data_variable("x"), nullptr);
  EXPECT_EQ(ds.find_data_variable("y", &frame), nullptr);
}

TEST(Dataset, CloseEmptiesEverything) {
  Dataset ds;
  ErrorState err;
  ds.set_case_count(2);
  ds.create_variable("A", true, err);
  ds.set_weight("A", err);
  ds.set_filter("A", err);
  ds.set_file_name("x.sav");
  ds.multiple_variables().push_back(MultipleVariable{"$S", {}, MultipleKind::Category, {}, {"A"}});
  ds.close();
  EXPECT_TRUE(ds.empty());
  EXPECT_EQ(ds.case_count(), 0);
  EXPECT_FALSE(ds.weight_name());
  EXPECT_EQ(ds.filter(), nullptr);
  EXPECT_FALSE(ds.file_name());
  EXPECT_TRUE(ds.multiple_variables().empty());
  EXPECT_EQ(ds.find("A"), nullptr);
}

}  // namespace
}  // namespace vop

namespace vop {
namespace {

TEST(DatasetGrowth, AppendingCasesOneAtATimeReallocatesRarely) {
  Dataset ds;
  ErrorState err;
  ASSERT_NE(ds.create_variable("n", true, err), nullptr);
  ASSERT_NE(ds.create_variable("s", false, err), nullptr);
  int moves = 0;
  const double* before = nullptr;
  constexpr int kCases = 100000;
  for (int i = 0; i < kCases; ++i) {
    ds.insert_cases(ds.case_count(), 1);
    ds.variable(0).column[i] = i;
    if (ds.variable(0).column.num() != before) ++moves;
    before = ds.variable(0).column.num();
  }
  // Room doubles: about log2(n) moves, not one per case.
  EXPECT_LE(moves, 20);
  EXPECT_EQ(ds.case_count(), kCases);
  EXPECT_EQ(ds.variable(0).column.rows(), kCases);
  EXPECT_EQ(ds.variable(0).column[kCases - 1], kCases - 1);
  EXPECT_EQ(ds.variable(0).column[12345], 12345);
  EXPECT_FALSE(ds.variable(1).column.str()[kCases - 1].has_value());  // new string cells are absent
  // Cases added at the end have missing numbers, whether the column had room or grew.
  for (int added : {1, 3, 200000}) {
    const int at = ds.case_count();
    ds.insert_cases(at, added);
    EXPECT_TRUE(std::isnan(ds.variable(0).column[at])) << added;
    EXPECT_TRUE(std::isnan(ds.variable(0).column[at + added - 1])) << added;
    EXPECT_FALSE(ds.variable(1).column.str()[at + added - 1].has_value()) << added;
  }
  EXPECT_EQ(ds.variable(0).column[kCases - 1], kCases - 1);
  std::vector<uint8_t> drop(size_t(ds.case_count()), 0);
  std::fill(drop.begin() + kCases, drop.end(), 1);
  ds.delete_cases(drop);
  ASSERT_EQ(ds.case_count(), kCases);
  // Cases put in the middle still shift the rest, new cells NaN.
  ds.insert_cases(1, 2);
  EXPECT_EQ(ds.variable(0).column[0], 0);
  EXPECT_TRUE(std::isnan(ds.variable(0).column[1]));
  EXPECT_TRUE(std::isnan(ds.variable(0).column[2]));
  EXPECT_EQ(ds.variable(0).column[3], 1);
}

TEST(DatasetGrowth, VariablesGoInTogetherAtTheirPlace) {
  Dataset ds;
  ErrorState err;
  for (const char* n : {"A", "B"}) ASSERT_NE(ds.create_variable(n, true, err), nullptr);
  std::vector<DataVariable> vs;
  vs.push_back(make_variable("X", true, 0));
  vs.push_back(make_variable("Y", false, 0));
  ASSERT_TRUE(ds.insert_variables(1, std::move(vs)));
  ASSERT_EQ(ds.variable_count(), 4);
  const char* order[] = {"A", "X", "Y", "B"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(ds.variable(i).name(), order[i]);
    EXPECT_EQ(ds.index_of(order[i]), i);
  }
  std::vector<DataVariable> end;
  end.push_back(make_variable("Z", true, 0));
  ASSERT_TRUE(ds.insert_variables(4, std::move(end)));
  EXPECT_EQ(ds.index_of("Z"), 4);
  // A taken or repeated name, or a column of the wrong length: nothing.
  std::vector<DataVariable> bad;
  bad.push_back(make_variable("Q", true, 0));
  bad.push_back(make_variable("Q", true, 0));
  EXPECT_FALSE(ds.insert_variables(0, std::move(bad)));
  std::vector<DataVariable> taken;
  taken.push_back(make_variable("A", true, 0));
  EXPECT_FALSE(ds.insert_variables(0, std::move(taken)));
  std::vector<DataVariable> tall;
  tall.push_back(make_variable("T", true, 3));
  EXPECT_FALSE(ds.insert_variables(0, std::move(tall)));
  EXPECT_EQ(ds.variable_count(), 5);
  EXPECT_EQ(ds.index_of("Q"), -1);
}

}  // namespace
}  // namespace vop
