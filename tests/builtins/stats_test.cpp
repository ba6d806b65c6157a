#include "builtins/stats.h"

#include <gtest/gtest.h>

#include <cmath>

#include "builtins/corr.h"
#include "builtins/cumulative.h"
#include "builtins/arg_checks.h"
#include "tests/builtins/num_test_util.h"

namespace vop::builtins {
namespace {

using namespace testing;

std::optional<Matrix> stat(const char* name, const Matrix& x, const Matrix* w = nullptr) {
  ErrorState err;
  auto which = find_statistic(name);
  EXPECT_TRUE(which) << name;
  auto r = statistic(*which, x, w, err);
  EXPECT_FALSE(err.failed()) << name << " code " << err.code();
  return r;
}

double stat1(const char* name, const Matrix& x, const Matrix* w = nullptr) {
  auto r = stat(name, x, w);
  return r && r->is_scalar() ? (*r)[0] : -12345.0;
}

TEST(Statistics, NamesMapToFamilies) {
  EXPECT_EQ(find_statistic("mean")->reduce, Reduce::Plain);
  EXPECT_EQ(find_statistic("mmax")->stat, Stat::Max);
  EXPECT_EQ(find_statistic("mmax")->reduce, Reduce::All);
  EXPECT_EQ(find_statistic("rrange")->reduce, Reduce::Rows);
  EXPECT_EQ(find_statistic("csd")->stat, Stat::Sd);
  EXPECT_FALSE(find_statistic("cum"));
  EXPECT_FALSE(find_statistic("xsum"));
}

TEST(Statistics, PopulationMomentsUnweighted) {
  EXPECT_DOUBLE_EQ(stat1("var", row({1, 2, 3, 4})), 1.25);
  EXPECT_DOUBLE_EQ(stat1("sd", row({1, 2, 3, 4})), std::sqrt(1.25));
  EXPECT_EQ(stat1("skw", row({1, 1, 1})), 0);
  EXPECT_EQ(stat1("kur", row({5, 5})), 0);
  EXPECT_EQ(stat1("var", Matrix::scalar(0.1)), 0);
  // [1 2 2 4]: mean 2.25, var 4.75/4, third and fourth sums 3.375 and 11.828125.
  const Matrix x = col({1, 2, 2, 4});
  EXPECT_DOUBLE_EQ(stat1("skw", x), 3.375 / (4 * 1.1875 * std::sqrt(1.1875)));
  EXPECT_DOUBLE_EQ(stat1("kur", x), 11.828125 / (4 * 1.1875 * 1.1875) - 3);
}

TEST(Statistics, WeightsActAsCaseCounts) {
  const Matrix x = col({1, 2, 4}), w = col({1, 2, 1});
  const Matrix replicated = col({1, 2, 2, 4});
  for (const char* name : {"sum", "mean", "var", "sd", "skw", "kur"})
    EXPECT_NEAR(stat1(name, x, &w), stat1(name, replicated), 1e-12) << name;
  EXPECT_DOUBLE_EQ(stat1("mean", x, &w), 2.25);
  EXPECT_DOUBLE_EQ(stat1("var", x, &w), 1.1875);
  const Matrix w13 = col({1, 3});
  EXPECT_EQ(stat1("mean", col({1, 3}), &w13), 2.5);
  const Matrix w2 = col({2, 2}), w21 = col({2, 1});
  EXPECT_EQ(stat1("sum", col({1, 2}), &w2), 6);
  EXPECT_EQ(stat1("prod", col({2, 3}), &w21), 12);
  // Fractional weights: W = 0.5 + 1.5 = 2, mean (0.5 + 4.5) / 2.
  const Matrix wf = col({0.5, 1.5});
  EXPECT_DOUBLE_EQ(stat1("mean", col({1, 3}), &wf), 2.5);
  EXPECT_DOUBLE_EQ(stat1("var", col({1, 3}), &wf), (0.5 * 2.25 + 1.5 * 0.25) / 2);
  // min, max and range ignore weights.
  EXPECT_EQ(stat1("max", col({1, 3}), &wf), 3);
}

TEST(Statistics, WeightBelongsToRowInEveryColumn) {
  const Matrix x = M({{1, 10}, {3, 30}}), w = col({3, 1});
  EXPECT_TRUE(Same(stat("mean", x, &w), row({1.5, 15})));
  EXPECT_TRUE(Same(stat("csum", x, &w), row({6, 60})));
  // All elements: 3*1 + 1*3 + 3*10 + 1*30 over W = 8.
  EXPECT_DOUBLE_EQ(stat1("mmean", x, &w), 66.0 / 8);
  // A one-row matrix: its single weight applies to each element.
  const Matrix one = Matrix::scalar(2);
  EXPECT_EQ(stat1("sum", row({1, 2, 3}), &one), 12);
  // An empty weight is no weight.
  const Matrix none;
  EXPECT_EQ(stat1("mean", col({1, 3}), &none), 2);
}

TEST(Statistics, FamiliesReduceInTheirDirection) {
  const Matrix x = M({{1, 2}, {3, 4}});
  EXPECT_TRUE(Same(stat("mean", x), row({2, 3})));
  EXPECT_EQ(stat1("mean", row({1, 2, 3})), 2);
  EXPECT_TRUE(Same(stat("cmean", row({1, 2, 3})), row({1, 2, 3})));
  EXPECT_TRUE(Same(stat("rmean", x), col({1.5, 3.5})));
  EXPECT_EQ(stat1("mmean", x), 2.5);
  EXPECT_TRUE(Same(stat("rvar", M({{1, 3}, {2, 2}})), col({1, 0})));
}

TEST(Statistics, NanRulesOfMinMaxAndRange) {
  EXPECT_EQ(stat1("min", row({kNaN, 2, 1})), 1);
  EXPECT_TRUE(std::isnan(stat1("max", row({kNaN, kNaN}))));
  EXPECT_TRUE(std::isnan(stat1("range", row({kNaN, 1, 2}))));
  EXPECT_EQ(stat1("range", row({1, kNaN, 3})), 2);
  EXPECT_TRUE(Same(stat("rrange", M({{kNaN, 1, 2}, {kNaN, kNaN, kNaN}})), col({1, kNaN})));
  EXPECT_TRUE(Same(stat("cmin", M({{kNaN, 5}, {2, kNaN}})), row({2, 5})));
  EXPECT_TRUE(std::isnan(stat1("mean", row({1, kNaN}))));
  EXPECT_EQ(stat1("max", row({-kInf, 1, kInf})), kInf);
}

TEST(Statistics, ArgumentChecks) {
  const auto sum = *find_statistic("sum");
  const auto rsum = *find_statistic("rsum");
  const Matrix wrong = col({1, 2, 3}), two_cols = M({{1, 2}, {3, 4}}), text = Matrix::text("a");
  EXPECT_EQ(code_of([&](auto& e) { return statistic(sum, Matrix(), nullptr, e); }), kErrNotEmpty);
  EXPECT_EQ(code_of([&](auto& e) { return statistic(sum, text, nullptr, e); }), kErrNumeric);
  EXPECT_EQ(code_of([&](auto& e) { return statistic(sum, col({1, 2}), &wrong, e); }), kErrDims);
  EXPECT_EQ(code_of([&](auto& e) { return statistic(sum, col({1, 2}), &two_cols, e); }), kErrDims);
  EXPECT_EQ(code_of([&](auto& e) { return statistic(sum, col({1}), &text, e); }), kErrNumeric);
  EXPECT_EQ(code_of([&](auto& e) { return statistic(rsum, col({1}), &wrong, e); }), kErrTooManyArgs);
}

TEST(Cumulative, RunsByFamily) {
  ErrorState err;
  const Matrix x = M({{1, 2}, {3, 4}});
  EXPECT_TRUE(Same(cumulative(CumRuns::Plain, x, err), M({{1, 2}, {4, 6}})));
  EXPECT_TRUE(Same(cumulative(CumRuns::Plain, row({1, 2, 3}), err), row({1, 3, 6})));
  EXPECT_TRUE(Same(cumulative(CumRuns::Columns, row({1, 2, 3}), err), row({1, 2, 3})));
  EXPECT_TRUE(Same(cumulative(CumRuns::Rows, x, err), M({{1, 3}, {3, 7}})));
  EXPECT_TRUE(Same(cumulative(*find_cumulative("mcum"), x, err), M({{1, 6}, {4, 10}})));
  // In place on a temporary gives the same answers.
  EXPECT_TRUE(Same(cumulative(CumRuns::Rows, M({{1, 2}, {3, 4}}), err), M({{1, 3}, {3, 7}})));
  EXPECT_FALSE(err.failed());
  EXPECT_EQ(code_of([](auto& e) { return cumulative(CumRuns::All, Matrix(), e); }), kErrNotEmpty);
}

TEST(Correlation, HandComputedAndWeighted) {
  ErrorState err;
  EXPECT_TRUE(Same(corr(M({{1, 2}, {2, 4}, {3, 6}}), nullptr, nullptr, err), M({{1, 1}, {1, 1}}),
                   1e-15));
  const Matrix x = M({{1, 2}, {2, 1}, {3, 3}});
  EXPECT_TRUE(Same(corr(x, nullptr, nullptr, err), M({{1, 0.5}, {0.5, 1}}), 1e-15));
  // Weight 2 on the last case: C12 = 1.75, C11 = C22 = 2.75.
  const Matrix w = col({1, 1, 2});
  const double r = 1.75 / 2.75;
  EXPECT_TRUE(Same(corr(x, nullptr, &w, err), M({{1, r}, {r, 1}}), 1e-15));
  // Against Y: one column each.
  const Matrix x1 = col({1, 2, 3}), y1 = col({2, 1, 3});
  EXPECT_TRUE(Same(corr(x1, &y1, nullptr, err), Matrix::scalar(0.5), 1e-15));
  EXPECT_TRUE(Same(corr(x1, &y1, &w, err), Matrix::scalar(r), 1e-15));
  EXPECT_FALSE(err.failed());
}

TEST(Correlation, ManyCasesMatchDirectSums) {
  // More cases than one block, with weights, X against Y.
  const int n = 1000;
  Matrix x(n, 2, true), y(n, 1, true), w(n, 1, true);
  for (int i = 0; i < n; ++i) {
    x.at(i, 0) = std::sin(i * 0.37);
    x.at(i, 1) = std::cos(i * 0.11) + 0.001 * i;
    y[i] = (i % 7) - 0.5 * std::sin(i * 0.37);
    w[i] = 0.5 + (i % 3);
  }
  auto direct = [&](const double* a, const double* b) {
    double W = 0, ma = 0, mb = 0;
    for (int i = 0; i < n; ++i) W += w[i], ma += w[i] * a[i], mb += w[i] * b[i];
    ma /= W, mb /= W;
    double sab = 0, saa = 0, sbb = 0;
    for (int i = 0; i < n; ++i) {
      sab += w[i] * (a[i] - ma) * (b[i] - mb);
      saa += w[i] * (a[i] - ma) * (a[i] - ma);
      sbb += w[i] * (b[i] - mb) * (b[i] - mb);
    }
    return sab / std::sqrt(saa * sbb);
  };
  ErrorState err;
  auto r = corr(x, &y, &w, err);
  ASSERT_TRUE(r);
  EXPECT_NEAR(r->at(0, 0), direct(x.num(), y.num()), 1e-12);
  EXPECT_NEAR(r->at(1, 0), direct(x.num() + n, y.num()), 1e-12);
  auto rx = corr(x, nullptr, &w, err);
  ASSERT_TRUE(rx);
  EXPECT_NEAR(rx->at(0, 1), direct(x.num(), x.num() + n), 1e-12);
  EXPECT_EQ(rx->at(1, 0), rx->at(0, 1));
}

TEST(Correlation, Failures) {
  const Matrix constant = M({{1, 5}, {2, 5}}), w3 = col({1, 2, 3}), y3 = col({1, 2, 3});
  EXPECT_EQ(code_of([&](auto& e) { return corr(constant, nullptr, nullptr, e); }),
            kErrZeroVariance);
  EXPECT_EQ(code_of([](auto& e) { return corr(row({1, 2}), nullptr, nullptr, e); }), kErrNotEmpty);
  EXPECT_EQ(code_of([&](auto& e) { return corr(col({1, 2}), &y3, nullptr, e); }), kErrDims);
  EXPECT_EQ(code_of([&](auto& e) { return corr(col({1, 2}), nullptr, &w3, e); }), kErrDims);
  EXPECT_EQ(code_of([](auto& e) { return corr(Matrix::text("a"), nullptr, nullptr, e); }),
            kErrNumeric);
}

}  // namespace
}  // namespace vop::builtins
