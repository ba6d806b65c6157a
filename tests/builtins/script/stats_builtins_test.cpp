// Statistics, cumulative sums, correlation, sorting and frequencies, run as
// scripts.
#include "script_fixture.h"

namespace vop::script_test {
namespace {

constexpr int kErrZeroVariance = 88;
constexpr double kTol = 1e-12;

using StatsBuiltins = ScriptTest;

TEST_F(StatsBuiltins, FamiliesReduceInTheirDirection) {
  check_values({
      {"mean([1 2; 3 4])", "[2 3]"},
      {"mean([1 2 3])", "2"},
      {"mean([1; 2; 3])", "2"},
      {"cmean([1 2 3])", "[1 2 3]"},
      {"rmean([1 2; 3 4])", "[1.5; 3.5]"},
      {"mmean([1 2; 3 4])", "2.5"},
      {"sum([1 2; 3 4])", "[4 6]"},
      {"rsum([1 2; 3 4])", "[3; 7]"},
      {"msum([1 2; 3 4])", "10"},
      {"csum([1; 2])", "3"},
      {"prod([2 3 4])", "24"},
      {"rprod([1 2; 3 4])", "[2; 12]"},
  });
}

TEST_F(StatsBuiltins, PopulationMoments) {
  check_values({
      {"var([1 2 3 4])", "1.25"},
      {"sd([1 2 3 4])", "sqrt(1.25)"},
      {"var(5)", "0"},
      {"skw([1 1 1])", "0"},
      {"kur([5 5])", "0"},
      {"skw([1 2 3])", "0"},
      {"kur([1 2 3 4])", "(2 * 2.25^2 + 2 * 0.25^2) / 4 / 1.25^2 - 3"},
      {"skw([0 0 3])", "(2 * (-1)^3 + 2^3) / 3 / 2^1.5"},
      {"cvar([1 2; 3 4; 5 9])", "[8/3 26/3]"},
      {"rvar([1 2 3; 4 4 4])", "[2/3; 0]"},
  }, kTol);
}

TEST_F(StatsBuiltins, Weights) {
  check_values({
      {"mean([1; 3], [1; 3])", "2.5"},
      {"sum([1; 2], [2; 2])", "6"},
      {"prod([2; 3], [2; 1])", "12"},
      // Weights are case weights: var([1;3],[1;3]) is var([1;3;3;3]).
      {"var([1; 3], [1; 3])", "var([1; 3; 3; 3])"},
      {"kur([1; 2; 5], [2; 1; 1])", "kur([1; 1; 2; 5])"},
      {"skw([1; 2; 5], [2; 1; 1])", "skw([1; 1; 2; 5])"},
      // Weight i belongs to row i of every column.
      {"cmean([1 10; 3 30], [1; 3])", "[2.5 25]"},
      {"mean([1 10; 3 30], [1; 3])", "[2.5 25]"},
      {"mmean([1; 3], [1; 3])", "2.5"},
      {"mean([1; 3], [])", "2"},  // empty weights: unweighted
      // min, max and range ignore weights.
      {"min([4; 2], [0; 0])", "2"},
      {"range([4; 2], [5; 1])", "2"},
  }, kTol);
  check_errors({
      {"mean([1; 2], [1 1]);", kErrDims},
      {"mean([1; 2], [1; 1; 1]);", kErrDims},
      {"mean([1; 2], [\"a\"; \"b\"]);", kErrNumeric},
      {"mean([], [1]);", kErrNotEmpty},
      {"mean([\"a\"]);", kErrNumeric},
      {"msum([1; 2], [1 1; 1 1]);", kErrDims},
  });
}

TEST_F(StatsBuiltins, MissingValuesInExtremesAndRanges) {
  check_values({
      {"min([NaN 2 1])", "1"},
      {"max([NaN NaN])", "NaN"},
      {"max([1 NaN 3])", "3"},
      {"range([NaN 1 2])", "NaN"},
      {"range([1 NaN 3])", "2"},
      {"crange([NaN; 1])", "NaN"},
      {"mrange([1 NaN; 5 2])", "4"},
      {"rrange([NaN 1 2])", "1"},
      {"rrange([NaN NaN; 1 4])", "[NaN; 3]"},
      {"rmin([NaN 5; 3 NaN])", "[5; 3]"},
      {"cmax([NaN 1; 2 NaN])", "[2 1]"},
      {"mean([1 NaN])", "NaN"},
      {"sum([1 Inf])", "Inf"},
  });
}

TEST_F(StatsBuiltins, CumulativeSums) {
  check_values({
      {"cum([1 2; 3 4])", "[1 2; 4 6]"},
      {"cum([1 2 3])", "[1 3 6]"},
      {"ccum([1 2 3])", "[1 2 3]"},
      {"rcum([1 2; 3 4])", "[1 3; 3 7]"},
      {"mcum([1 2; 3 4])", "[1 6; 4 10]"},  // 1, 3, 2, 4 summed in linear order
      {"cum([1; NaN; 2])", "[1; NaN; NaN]"},
  });
  check_errors({{"cum([]);", kErrNotEmpty}, {"rcum(\"a\");", kErrNumeric}});
  ASSERT_EQ(run("x = [1 2]; y = cum(x);"), 0);
  EXPECT_TRUE(gives("x", "[1 2]"));
}

TEST_F(StatsBuiltins, Correlation) {
  check_values({
      {"corr([1 2; 2 4; 3 6])", "[1 1; 1 1]"},
      {"corr([1 3; 2 1; 3 2])", "[1 -0.5; -0.5 1]"},
      {"corr([1; 2; 3], [3; 1; 2])", "-0.5"},
      {"corr([1; 2; 3], [])", "1"},
      {"size(corr(zeros(3, 0)))", "[0 0]"},  // no variables, no correlations
      {"size(corr([1; 2; 3], zeros(3, 0)))", "[1 0]"},
      {"corr([1 3; 2 1; 3 2], [], [1; 1; 1])", "[1 -0.5; -0.5 1]"},
      // Case weights: a weight of 2 counts the case twice.
      {"corr([1 3; 2 1; 3 2], [], [2; 1; 1])", "corr([1 3; 1 3; 2 1; 3 2])"},
      {"corr([1; 2; 3], [3; 1; 2], [1; 2; 1])", "corr([1; 2; 2; 3], [3; 1; 1; 2])"},
  }, kTol);
  check_errors({
      {"corr([1 5; 2 5]);", kErrZeroVariance},
      {"corr([1 2]);", kErrNotEmpty},
      {"corr([]);", kErrNotEmpty},
      {"corr([\"a\"; \"b\"]);", kErrNumeric},
      {"corr([1; 2], [\"a\"; \"b\"]);", kErrNumeric},
      {"corr([1; 2], [1; 2; 3]);", kErrDims},
      {"corr([1; 2], [], [1; 2; 3]);", kErrDims},
      {"corr([1; 2], [], [1 1; 1 1]);", kErrDims},
      {"corr([1; 2], [5; 5]);", kErrZeroVariance},
  });
}

TEST_F(StatsBuiltins, SortRowsByAKey) {
  check_values({
      {"sorta([3; 1; 2])", "[1; 2; 3]"},
      {"sortd([1 3 2])", "[3 2 1]"},
      {"sorta([2 9; 1 8], 2)", "[1 8; 2 9]"},
      {"sorta([2 9; 1 8; 3 7], 2.9)", "[3 7; 1 8; 2 9]"},
      {"sorta([NaN; 2; -Inf; 1])", "[-Inf; 1; 2; NaN]"},
      {"sortd([NaN; 2; 1])", "[NaN; 2; 1]"},
      {"sorta([3 1; 1 2; 2 3])", "[1 2; 2 3; 3 1]"},
      {"sorta([\"b\"; \"a\"; \"B\"; \"ab\"])", "[\"B\"; \"a\"; \"ab\"; \"b\"]"},
      {"sorta([])", "[]"},
  });
  check_errors({
      {"sorta([1 2; 3 4], 3);", kErrRange},
      {"sorta([1 2; 3 4], 0);", kErrRange},
      {"sorta([1 2; 3 4], \"a\");", kErrNumeric},
      {"sorta([1 2; 3 4], [1 2]);", kErrScalar},
  });
  ASSERT_EQ(run("[s, p] = sorta([3; 1; 2]);"), 0);
  EXPECT_TRUE(gives("s", "[1; 2; 3]"));
  EXPECT_TRUE(gives("p", "[2; 3; 1]"));
  ASSERT_EQ(run("[s, p] = sortd([10 1; 30 2; 20 3]);"), 0);
  EXPECT_TRUE(gives("s", "[30 2; 20 3; 10 1]"));
  EXPECT_TRUE(gives("p", "[2; 3; 1]"));
}

TEST_F(StatsBuiltins, SortStringsPutsNullFirst) {
  // x(3) = "c" grows x with a null element in the middle.
  ASSERT_EQ(run("x = [\"b\"]; x(3) = \"a\"; [s, p] = sorta(x');"), 0);
  EXPECT_TRUE(gives("p", "[2; 3; 1]"));
  EXPECT_FALSE(var("s").str()[0].has_value());
}

TEST_F(StatsBuiltins, SortStatementSortsTheVariableItself) {
  ASSERT_EQ(run("X = [3 30; 1 10; 2 20]; sorta(X);"), 0);
  EXPECT_TRUE(gives("X", "[1 10; 2 20; 3 30]"));
  ASSERT_EQ(run("X = [3 30; 1 10; 2 20]; sortd(X, 2)"), 0);
  EXPECT_TRUE(gives("X", "[3 30; 2 20; 1 10]"));
  ASSERT_EQ(run("X = [\"b\" \"a\"]; sorta(X);"), 0);
  EXPECT_TRUE(gives("X", "[\"a\" \"b\"]"));
  // With a result asked for, X stays as it was.
  ASSERT_EQ(run("X = [3; 1; 2]; Y = sorta(X);"), 0);
  EXPECT_TRUE(gives("X", "[3; 1; 2]"));
  EXPECT_TRUE(gives("Y", "[1; 2; 3]"));
}

TEST_F(StatsBuiltins, Frequencies) {
  check_values({
      {"freq([2 1 2 2])", "[1; 3]"},
      {"freq([2; 1; 2], [1; 5; 2])", "[5; 3]"},
      {"freq([])", "[]"},
  });
  ASSERT_EQ(run("[v, c] = freq([\"b\" \"a\" \"b\"]);"), 0);
  EXPECT_TRUE(gives("v", "[\"a\"; \"b\"]"));
  EXPECT_TRUE(gives("c", "[1; 2]"));
  ASSERT_EQ(run("[v, c] = freq([3 1; 3 2]);"), 0);
  EXPECT_TRUE(gives("v", "[1; 2; 3]"));
  EXPECT_TRUE(gives("c", "[1; 1; 2]"));
  ASSERT_EQ(run("[v, c] = freq([1; 2; 1], [0.5; 2; 0.25]);"), 0);
  EXPECT_TRUE(gives("v", "[1; 2]"));
  EXPECT_TRUE(gives("c", "[0.75; 2]"));
  check_errors({
      {"freq([1; 2], [1 1]);", kErrDims},
      {"freq([1; 2], [\"a\"; \"b\"]);", kErrNumeric},
  });
}

}  // namespace
}  // namespace vop::script_test
