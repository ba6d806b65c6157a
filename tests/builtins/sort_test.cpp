#include "builtins/sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <numeric>
#include <vector>

#include "builtins/freq.h"
#include "tests/builtins/num_test_util.h"

namespace vop::builtins {
namespace {

using namespace testing;

SortResult sorted(const Matrix& x, SortOrder order, const Matrix* k = nullptr) {
  ErrorState err;
  auto r = sort_rows(x, k, order, err);
  EXPECT_TRUE(r) << err.code();
  return r ? std::move(*r) : SortResult{};
}

TEST(Sort, RowsFollowTheKeyWithPermutation) {
  auto r = sorted(col({3, 1, 2}), SortOrder::Ascending);
  EXPECT_TRUE(Same(r.sorted, col({1, 2, 3})));
  EXPECT_TRUE(Same(r.perm, col({2, 3, 1})));
  EXPECT_TRUE(Same(sorted(row({1, 3, 2}), SortOrder::Descending).sorted, row({3, 2, 1})));
  const Matrix two = Matrix::scalar(2);
  EXPECT_TRUE(Same(sorted(M({{2, 9}, {1, 8}}), SortOrder::Ascending, &two).sorted,
                   M({{1, 8}, {2, 9}})));
  EXPECT_TRUE(Same(sorted(M({{2, 7}, {1, 8}, {3, 6}}), SortOrder::Descending).sorted,
                   M({{3, 6}, {2, 7}, {1, 8}})));
}

TEST(Sort, TiesKeepOrderAscendingAndReverseDescending) {
  const Matrix x = M({{2, 1}, {1, 2}, {2, 3}, {1, 4}});
  auto up = sorted(x, SortOrder::Ascending);
  EXPECT_TRUE(Same(up.perm, col({2, 4, 1, 3})));
  EXPECT_TRUE(Same(up.sorted, M({{1, 2}, {1, 4}, {2, 1}, {2, 3}})));
  EXPECT_TRUE(Same(sorted(x, SortOrder::Descending).perm, col({3, 1, 4, 2})));
  // -0 and 0 are equal keys.
  EXPECT_TRUE(Same(sorted(col({0.0, -0.0, 0.0}), SortOrder::Ascending).perm, col({1, 2, 3})));
}

TEST(Sort, NanAfterEveryNumber) {
  auto r = sorted(col({kNaN, 1, -kInf, kNaN, kInf}), SortOrder::Ascending);
  EXPECT_TRUE(Same(r.sorted, col({-kInf, 1, kInf, kNaN, kNaN})));
  EXPECT_TRUE(Same(r.perm, col({3, 2, 5, 1, 4})));
  // Descending is ascending reversed, so NaN leads.
  EXPECT_TRUE(Same(sorted(col({kNaN, 1, 2}), SortOrder::Descending).sorted, col({kNaN, 2, 1})));
}

TEST(Sort, StringsBytewiseWithNullFirst) {
  const Matrix x = scol({"b", std::nullopt, "", "B", "a", "\xff", "ab"});
  auto r = sorted(x, SortOrder::Ascending);
  EXPECT_TRUE(Same(r.sorted, scol({std::nullopt, "", "B", "a", "ab", "b", "\xff"})));
  EXPECT_TRUE(Same(r.perm, col({2, 3, 4, 5, 7, 1, 6})));

  Matrix v = named(scol({"z", "y", std::nullopt}));
  ErrorState err;
  auto perm = sort_rows_in_place(v, nullptr, SortOrder::Ascending, err);
  EXPECT_TRUE(Same(v, scol({std::nullopt, "y", "z"})));
  EXPECT_EQ(v.name(), "x");
  EXPECT_TRUE(Same(perm, col({3, 2, 1})));
}

TEST(Sort, InPlaceMatchesCopyOnALargeTiedKey) {
  // 100,000 rows with ten key values: many ties, checked against a stable sort.
  const int n = 100000;
  Matrix x(n, 2, true);
  for (int i = 0; i < n; ++i) {
    x.at(i, 0) = (i * 7919) % 10;
    x.at(i, 1) = i;
  }
  std::vector<int> expect(n);
  std::iota(expect.begin(), expect.end(), 0);
  std::stable_sort(expect.begin(), expect.end(),
                   [&](int a, int b) { return x.at(a, 0) < x.at(b, 0); });
  auto copy = sorted(x, SortOrder::Ascending);
  ErrorState err;
  auto perm = sort_rows_in_place(x, nullptr, SortOrder::Ascending, err);
  ASSERT_TRUE(perm);
  EXPECT_TRUE(Same(copy.sorted, x));
  for (int i = 0; i < n; ++i) {
    ASSERT_EQ((*perm)[i], expect[size_t(i)] + 1) << i;
    ASSERT_EQ(x.at(i, 1), expect[size_t(i)]) << i;
  }
}

// Long keys take the radix path: it must order exactly as a stable
// comparison sort does, with every kind of double, signs and both zeros.
TEST(Sort, LongKeysMatchAStableComparisonSort) {
  const double specials[] = {kNaN, kInf, -kInf, 0.0, -0.0, 1e-310, -1e-310, 1e308, -1e308, 0.5};
  for (const int n : {5000, 70000}) {
    std::vector<double> keys(static_cast<size_t>(n));
    unsigned long long s = 12345;
    for (double& k : keys) {
      s = s * 6364136223846793005ULL + 1442695040888963407ULL;
      const unsigned pick = unsigned(s >> 33) % 16;
      k = pick < std::size(specials) ? specials[pick]
                                     : double(int64_t(s >> 20) % 2001 - 1000) / 8;
    }
    std::vector<int32_t> expect(static_cast<size_t>(n));
    std::iota(expect.begin(), expect.end(), 0);
    auto before = [&](int32_t a, int32_t b) {
      const double x = keys[size_t(a)], y = keys[size_t(b)];
      return !std::isnan(x) && (std::isnan(y) || x < y);
    };
    std::stable_sort(expect.begin(), expect.end(), before);
    EXPECT_EQ(ascending_order(keys.data(), n), expect) << n;
  }
}

TEST(Sort, KeyChecksAndEmpty) {
  const Matrix x = M({{1, 2}}), three = Matrix::scalar(3), text = Matrix::text("1"),
               pair = row({1, 2});
  EXPECT_EQ(code_of([&](auto& e) { return sort_rows(x, &three, SortOrder::Ascending, e); }),
            kErrRange);
  EXPECT_EQ(code_of([&](auto& e) { return sort_rows(x, &text, SortOrder::Ascending, e); }),
            kErrNumeric);
  EXPECT_EQ(code_of([&](auto& e) { return sort_rows(x, &pair, SortOrder::Ascending, e); }),
            kErrScalar);
  auto r = sorted(Matrix(), SortOrder::Ascending);
  EXPECT_TRUE(r.sorted.empty());
  EXPECT_TRUE(r.perm.empty());
}

TEST(Freq, DistinctValuesAndCounts) {
  ErrorState err;
  auto f = freq(row({2, 1, 2, 2}), nullptr, err);
  ASSERT_TRUE(f);
  EXPECT_TRUE(Same(f->values, col({1, 2})));
  EXPECT_TRUE(Same(f->counts, col({1, 3})));

  auto s = freq(scol({"b", "a", "b", std::nullopt}), nullptr, err);
  ASSERT_TRUE(s);
  EXPECT_TRUE(Same(s->values, scol({std::nullopt, "a", "b"})));
  EXPECT_TRUE(Same(s->counts, col({1, 1, 2})));

  const Matrix w = col({0.5, 2, 1.5});
  auto fw = freq(col({1, 2, 1}), &w, err);
  EXPECT_TRUE(Same(fw->counts, col({2, 2})));
  // Each weight counts for every element of its row.
  const Matrix w2 = col({1, 10});
  auto fm = freq(M({{1, 2}, {2, 3}}), &w2, err);
  EXPECT_TRUE(Same(fm->values, col({1, 2, 3})));
  EXPECT_TRUE(Same(fm->counts, col({1, 11, 10})));
  // NaN values form one group after the numbers.
  auto fn = freq(col({kNaN, 1, kNaN}), nullptr, err);
  EXPECT_TRUE(Same(fn->values, col({1, kNaN})));
  EXPECT_TRUE(Same(fn->counts, col({1, 2})));
  // A long column (the radix path) counts the same way.
  Matrix codes(30000, 1, true);
  for (int i = 0; i < codes.rows(); ++i) codes[i] = i % 3 == 0 ? kNaN : (i * 7) % 5 - 2.0;
  auto fl = freq(codes, nullptr, err);
  EXPECT_TRUE(Same(fl->values, col({-2, -1, 0, 1, 2, kNaN})));
  EXPECT_TRUE(Same(fl->counts, col({4000, 4000, 4000, 4000, 4000, 10000})));
  EXPECT_FALSE(err.failed());

  const Matrix bad = col({1, 2, 3});
  EXPECT_EQ(code_of([&](auto& e) { return freq(col({1, 2}), &bad, e); }), kErrDims);
  auto empty = freq(Matrix(0, 2, false), nullptr, err);
  EXPECT_TRUE(Same(empty->values, Matrix(0, 2, false)));
}

}  // namespace
}  // namespace vop::builtins
