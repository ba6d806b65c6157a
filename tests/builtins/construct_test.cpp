#include "builtins/construct.h"

#include <gtest/gtest.h>

#include "tests/builtins/num_test_util.h"

namespace vop::builtins {
namespace {

using namespace testing;

TEST(SizedConstants, ShapesFromOneOrTwoArguments) {
  ErrorState err;
  EXPECT_TRUE(Same(zeros(Matrix::scalar(2.9), nullptr, err), M({{0, 0}, {0, 0}})));
  EXPECT_TRUE(Same(ones(row({2, 1}), nullptr, err), M({{1}, {1}})));
  EXPECT_TRUE(Same(ones(col({1, 2}), nullptr, err), M({{1, 1}})));
  Matrix three = Matrix::scalar(3);
  EXPECT_TRUE(Same(eye(Matrix::scalar(2), &three, err), M({{1, 0, 0}, {0, 1, 0}})));
  auto empty = ones(Matrix::scalar(0), &three, err);
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->rows(), 0);
  EXPECT_EQ(empty->cols(), 3);
  EXPECT_FALSE(err.failed());
}

TEST(SizedConstants, BadSizesFailCleanly) {
  EXPECT_EQ(code_of([](auto& e) { return eye(Matrix::scalar(-1), nullptr, e); }), kErrRange);
  EXPECT_EQ(code_of([](auto& e) { return zeros(row({1, 2, 3}), nullptr, e); }), kErrDims);
  EXPECT_EQ(code_of([](auto& e) { return zeros(Matrix(), nullptr, e); }), kErrNotEmpty);
  EXPECT_EQ(code_of([](auto& e) { return zeros(Matrix::text("a"), nullptr, e); }), kErrNumeric);
  EXPECT_EQ(code_of([](auto& e) { return zeros(Matrix::scalar(kNaN), nullptr, e); }), kErrRange);
  Matrix two = row({1, 2});
  EXPECT_EQ(code_of([&](auto& e) { return zeros(Matrix::scalar(1), &two, e); }), kErrScalar);
  EXPECT_EQ(code_of([&](auto& e) { return zeros(two, &two, e); }), kErrScalar);
  // Sizes no machine holds: a dimension beyond int, and a product too large.
  Matrix huge = Matrix::scalar(1e10);
  EXPECT_EQ(code_of([&](auto& e) { return zeros(huge, &huge, e); }), kErrRange);
  Matrix big = Matrix::scalar(1e5);
  EXPECT_EQ(code_of([&](auto& e) { return ones(big, &big, e); }), kErrRange);
}

TEST(Make, TilesEitherType) {
  ErrorState err;
  EXPECT_TRUE(Same(make(Matrix::scalar(2), row({1, 2}), nullptr, err),
                   M({{1, 2, 1, 2}, {1, 2, 1, 2}})));
  EXPECT_TRUE(Same(make(row({2, 1}), col({1, 2}), nullptr, err), col({1, 2, 1, 2})));
  Matrix a = Matrix::text("a");
  auto s = make(Matrix::scalar(1), Matrix::scalar(3), &a, err);
  ASSERT_TRUE(s);
  EXPECT_FALSE(s->numeric());
  EXPECT_EQ(s->cols(), 3);
  EXPECT_EQ(s->sat(0, 2), "a");
  Matrix m = col({5});
  EXPECT_EQ(code_of([&](auto& e) { return make(row({1, 2}), m, &m, e); }), kErrTooManyArgs);
  EXPECT_EQ(code_of([&](auto& e) { return make(Matrix::scalar(1), row({1, 2}), &m, e); }),
            kErrDims);
  EXPECT_EQ(code_of([&](auto& e) { return make(Matrix::scalar(-2), m, nullptr, e); }), kErrRange);
}

TEST(Diagonal, VectorToMatrixAndBack) {
  ErrorState err;
  EXPECT_TRUE(Same(diag(row({1, 2, 3}), err), M({{1, 0, 0}, {0, 2, 0}, {0, 0, 3}})));
  EXPECT_TRUE(Same(diag(M({{1, 2}, {3, 4}}), err), col({1, 4})));
  EXPECT_TRUE(Same(diag(M({{1, 2, 3}, {4, 5, 6}}), err), col({1, 5})));
  EXPECT_TRUE(Same(trace(M({{1, 2, 3}, {4, 5, 6}}), err), Matrix::scalar(6)));
  EXPECT_EQ(code_of([](auto& e) { return trace(Matrix(), e); }), kErrNotEmpty);
}

TEST(Reshape, KeepsLinearOrderAndChecksCount) {
  ErrorState err;
  Matrix three = Matrix::scalar(3), two = Matrix::scalar(2);
  EXPECT_TRUE(Same(reshape(row({1, 2, 3, 4, 5, 6}), three, &two, err),
                   M({{1, 4}, {2, 5}, {3, 6}})));
  auto s = reshape(scol({"a", std::nullopt}), row({1, 2}), nullptr, err);
  ASSERT_TRUE(s);
  EXPECT_EQ(s->sat(0, 0), "a");
  EXPECT_FALSE(s->sat(0, 1).has_value());
  EXPECT_EQ(code_of([](auto& e) { return reshape(row({1, 2, 3, 4, 5, 6}), row({4, 2}), nullptr, e); }),
            kErrRange);
  // 1.5 x 4 is 6 as passed, but truncates to 1 x 4: never more cells than exist.
  Matrix four = Matrix::scalar(4);
  EXPECT_EQ(code_of([&](auto& e) { return reshape(row({1, 2, 3, 4, 5, 6}), Matrix::scalar(1.5), &four, e); }),
            kErrRange);
  EXPECT_EQ(code_of([](auto& e) { return reshape(row({1, 2}), row({1, 2, 3}), nullptr, e); }),
            kErrDims);
  EXPECT_EQ(code_of([&](auto& e) { return reshape(row({1, 2}), row({1, 2}), &four, e); }),
            kErrScalar);
}

TEST(InsertRow, PlacesRowsBeforeNamedRows) {
  ErrorState err;
  EXPECT_TRUE(Same(insertrow(col({1, 2, 3}), Matrix::scalar(2), col({9}), err),
                   col({1, 9, 2, 3})));
  // Positions are sorted, each keeping its own row of R.
  EXPECT_TRUE(Same(insertrow(col({1, 2, 3}), col({3, 1}), col({7, 8}), err),
                   col({8, 1, 2, 7, 3})));
  // One row of R goes in once, at the first position.
  EXPECT_TRUE(Same(insertrow(M({{1, 1}, {2, 2}}), col({2, 1}), M({{9, 9}}), err),
                   M({{1, 1}, {9, 9}, {2, 2}})));
  EXPECT_FALSE(err.failed());
  EXPECT_EQ(code_of([](auto& e) { return insertrow(col({1, 2, 3}), Matrix::scalar(4), col({9}), e); }),
            kErrRange);
  EXPECT_EQ(code_of([](auto& e) { return insertrow(col({1, 2}), Matrix::scalar(0), col({9}), e); }),
            kErrRange);
  EXPECT_EQ(code_of([](auto& e) { return insertrow(col({1, 2}), Matrix::scalar(1), scol({"a"}), e); }),
            kErrTypes);
  EXPECT_EQ(code_of([](auto& e) { return insertrow(col({1, 2}), Matrix::scalar(1), row({1, 2}), e); }),
            kErrDims);
  EXPECT_EQ(code_of([](auto& e) { return insertrow(col({1, 2}), col({1, 2}), col({1, 2, 3}), e); }),
            kErrDims);
}

TEST(Queries, SizeFindAny) {
  ErrorState err;
  EXPECT_TRUE(Same(size_of(Matrix(0, 3, true)), row({0, 3})));
  EXPECT_TRUE(Same(size_along(M({{1, 2, 3}}), Matrix::scalar(2), err), Matrix::scalar(3)));
  EXPECT_EQ(code_of([](auto& e) { return size_along(Matrix(), Matrix::scalar(3), e); }), kErrRange);

  EXPECT_TRUE(Same(find_nonzero(row({0, kNaN, 2}), err), col({2, 3})));
  auto none = find_nonzero(M({{0, 0}, {0, 0}}), err);
  ASSERT_TRUE(none);
  EXPECT_EQ(none->rows(), 0);
  EXPECT_EQ(none->cols(), 1);
  auto rc = find_rows_cols(M({{0, 5}, {7, 0}}), err);
  ASSERT_TRUE(rc);
  EXPECT_TRUE(Same(rc->rows, col({2, 1})));
  EXPECT_TRUE(Same(rc->cols, col({1, 2})));

  EXPECT_TRUE(Same(any_nonzero(Matrix(), err), Matrix::scalar(0)));
  EXPECT_TRUE(Same(any_nonzero(M({{0, 1}, {0, 0}}), err), row({0, 1})));
  EXPECT_TRUE(Same(any_nonzero(col({0, kNaN}), err), Matrix::scalar(1)));
  EXPECT_FALSE(err.failed());
}

}  // namespace
}  // namespace vop::builtins
