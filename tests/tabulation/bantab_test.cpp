// The table library of Syntax/: significance letters against hand-worked
// examples, and banner tables as the window shows them (tab-separated
// lines: row headings, then the cells).
#include <gtest/gtest.h>

#include <sstream>

#include "../data/script_fixture.h"

namespace vop::testing_data {
namespace {

class BantabTest : public ScriptTest {
 protected:
  BantabTest() { interp_.add_search_dir(std::string(VOP_SOURCE_DIR) + "/Syntax"); }

  // The window lines of a run, each split at its tabs.
  std::vector<std::vector<std::string>> table(const std::string& script) {
    clear_out();
    ok(script);
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(out());
    std::string line;
    while (std::getline(in, line)) {
      rows.emplace_back();
      std::string cell;
      std::istringstream cells(line);
      while (std::getline(cells, cell, '\t')) rows.back().push_back(cell);
    }
    return rows;
  }

  // The row whose first cells are `labels`.
  std::vector<std::string> row(const std::vector<std::vector<std::string>>& t,
                               std::vector<std::string> labels) {
    for (const auto& r : t)
      if (r.size() >= labels.size() && std::equal(labels.begin(), labels.end(), r.begin()))
        return std::vector<std::string>(r.begin() + long(labels.size()), r.end());
    ADD_FAILURE() << "no row " << labels[0] << "\n" << out();
    return {};
  }

  // Two groups of 100 cases. Group 1: Y = 1 for 60 of them, half of each
  // answer weighing 1 and half 5; group 2: Y = 1 for 45, all weighing 1.
  void two_groups() {
    ok("DataAddVar([\"G\" \"Y\" \"W\"]); DataAddCase(200);"
       "i = 1:200;"
       "Data(:, \"G\") = 1 + (i > 100);"
       "y = 2 * ones(200, 1); y(1:60) = 1; y(101:145) = 1;"
       "Data(:, \"Y\") = y;"
       "w = ones(200, 1); w(31:60) = 5; w(81:100) = 5;"
       "Data(:, \"W\") = w;"
       "SetVarLabel(\"G\", \"Group\"); SetNumLabel(\"G\", [1 2], [\"First\" \"Second\"]);"
       "SetVarLabel(\"Y\", \"Answer\"); SetNumLabel(\"Y\", [1 2], [\"Yes\" \"No\"]);");
  }
};

// Worked by hand. Proportions .6 and .4 on effective bases of 50: the
// pooled proportion is .5, the standard error sqrt(.25 * (1/50 + 1/50)) =
// .1, z = 2.0: significant at 95% (1.960), not at 99% (2.576). On bases
// of 40, z = .2 / .1118 = 1.789: not significant.
TEST_F(BantabTest, ProportionLettersFollowTheHandWorkedTest) {
  ok("a = sigprop([.6 .4], [50 50], [1 1], [\"A\" \"B\"], 0.95);"
     "b = sigprop([.6 .4], [50 50], [1 1], [\"A\" \"B\"], 0.99);"
     "c = sigprop([.6 .4], [40 40], [1 1], [\"A\" \"B\"], 0.95);"
     "d = sigprop([.6 .4], [50 50], [1 2], [\"A\" \"B\"], 0.95);"
     "e = sigprop([.6 .4 .6 .4], [50 50 50 1], [1 1 1 1], [\"A\" \"B\" \"C\" \"D\"], 0.95);");
  EXPECT_EQ(texts("a"), (std::vector<std::string>{"B", ""}));
  EXPECT_EQ(texts("b"), (std::vector<std::string>{"", ""}));
  EXPECT_EQ(texts("c"), (std::vector<std::string>{"", ""}));
  // Columns of different banner variables are not compared.
  EXPECT_EQ(texts("d"), (std::vector<std::string>{"", ""}));
  // Several letters in a cell; a column on a base below 2 takes no part.
  EXPECT_EQ(texts("e"), (std::vector<std::string>{"B", "", "B", ""}));
}

// Worked by hand. Means 1.4 and 1.6 with standard deviations
// sqrt(.24 * 100/99) on effective bases of 100: the pooled variance is
// .2424, the standard error sqrt(.2424 * .02) = .06963, t = 2.872 on 198
// degrees of freedom: above 1.972 (95%) and 2.601 (99%). With bases of
// 25, t = 1.436: not significant.
TEST_F(BantabTest, MeanLettersFollowTheHandWorkedTest) {
  ok("s = sqrt(.24 * 100 / 99);"
     "a = sigmean([1.4 1.6], [s s], [100 100], [1 1], [\"A\" \"B\"], 0.95);"
     "b = sigmean([1.4 1.6], [s s], [100 100], [1 1], [\"A\" \"B\"], 0.99);"
     "c = sigmean([1.4 1.6], [s s], [25 25], [1 1], [\"A\" \"B\"], 0.95);");
  EXPECT_EQ(texts("a"), (std::vector<std::string>{"", "A"}));
  EXPECT_EQ(texts("b"), (std::vector<std::string>{"", "A"}));
  EXPECT_EQ(texts("c"), (std::vector<std::string>{"", ""}));
}

// Unweighted, 60% against 45% on 100 cases each is significant (z =
// 2.124). Weighted, group 1 still has 60% but its effective base is
// 300^2 / 1300 = 69.2: z = 1.919, not significant. (Had the weighted base
// of 300 been used, z would be 2.619.)
TEST_F(BantabTest, LettersUseTheEffectiveBaseUnderWeights) {
  two_groups();
  auto t = table("bantab(\"Y\", \"G\");");
  EXPECT_EQ(row(t, {"Base (unweighted)"}), (std::vector<std::string>{"200", "100", "100"}));
  EXPECT_EQ(row(t, {"Yes"}), (std::vector<std::string>{"52.5%", "60.0% B", "45.0%"}));
  EXPECT_EQ(row(t, {"No"}), (std::vector<std::string>{"47.5%", "40.0%", "55.0% A"}));

  t = table("DataWeight(\"W\"); bantab(\"Y\", \"G\");");
  EXPECT_EQ(row(t, {"Base (unweighted)"}), (std::vector<std::string>{"200", "100", "100"}));
  EXPECT_EQ(row(t, {"Base (weighted)"}), (std::vector<std::string>{"400", "300", "100"}));
  EXPECT_EQ(row(t, {"Yes"}), (std::vector<std::string>{"56.2%", "60.0%", "45.0%"}));
}

TEST_F(BantabTest, CountsNetsAndMeans) {
  two_groups();
  auto t = table("bantab(\"Y\", \"G\", \"counts pct mean\", [1 2], \"Any\");");
  EXPECT_EQ(row(t, {"Yes", "Count"}), (std::vector<std::string>{"105", "60", "45"}));
  EXPECT_EQ(row(t, {"|", "Col %"}), (std::vector<std::string>{"52.5%", "60.0%", "45.0%"}));
  EXPECT_EQ(row(t, {"Any", "Count"}), (std::vector<std::string>{"200", "100", "100"}));
  EXPECT_EQ(row(t, {"Mean", "~"}), (std::vector<std::string>{"1.48", "1.40", "1.55"}));
  // Scores: code 2 counts 10, code 1 is left out of the mean.
  t = table("bantab(\"Y\", \"G\", \"pct mean\", [], \"\", [2; 10]);");
  EXPECT_EQ(row(t, {"Mean"}), (std::vector<std::string>{"10.00", "10.00", "10.00"}));
  EXPECT_EQ(row(t, {"Std. deviation"}), (std::vector<std::string>{"0.00", "0.00", "0.00"}));
}

TEST_F(BantabTest, MultipleResponseRowsAndBadNets) {
  two_groups();
  ok("DataAddVar([\"M1\" \"M2\"]); Data(:, \"M1\") = Data(:, \"Y\"); Data(1:10, \"M2\") = 2;"
     "DataAddMVar(\"$M\", [\"M1\" \"M2\"]);");
  auto t = table("bantab(\"$M\", \"G\", \"counts\");");
  EXPECT_EQ(row(t, {"1"}), (std::vector<std::string>{"105", "60", "45"}));
  EXPECT_EQ(row(t, {"2"}), (std::vector<std::string>{"105", "50", "55"}));
  EXPECT_EQ(code("bantab(\"$M\", \"G\", \"pct\", [1 2], \"Any\");"), 255);
  EXPECT_NE(out().find("Nets need a single-answer variable: $M"), std::string::npos) << out();
}

TEST_F(BantabTest, TotalAloneAndAVariableWithoutAnswers) {
  two_groups();
  auto t = table("bantab(\"Y\", []);");
  EXPECT_EQ(row(t, {"Yes"}), (std::vector<std::string>{"52.5%"}));
  EXPECT_EQ(out().find("Letters"), std::string::npos);
  t = table("DataAddVar(\"NONE\"); bantab(\"NONE\", \"G\");");
  EXPECT_NE(out().find("No cases with an answer."), std::string::npos) << out();
}

}  // namespace
}  // namespace vop::testing_data
