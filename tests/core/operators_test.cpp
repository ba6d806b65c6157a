#include "core/operators.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

namespace vop {
namespace {

// A numeric matrix from rows written as in a script.
Matrix M(std::initializer_list<std::initializer_list<double>> rows) {
  const int r = int(rows.size());
  const int c = r ? int(rows.begin()->size()) : 0;
  Matrix m(r, c, true);
  int i = 0;
  for (auto& row : rows) {
    int j = 0;
    for (double x : row) m.at(i, j++) = x;
    ++i;
  }
  return m;
}

void expect_eq(const Value& v, const Matrix& want) {
  ASSERT_TRUE(v);
  ASSERT_EQ(v->rows(), want.rows());
  ASSERT_EQ(v->cols(), want.cols());
  for (int64_t i = 0; i < want.size(); ++i) {
    if (std::isnan(want[i])) EXPECT_TRUE(std::isnan((*v)[i])) << i;
    else EXPECT_EQ((*v)[i], want[i]) << "element " << i;
  }
}

int fails_with(BinaryOp op, Matrix a, Matrix b) {
  ErrorState err;
  Value v = binary_op(op, std::move(a), std::move(b), err);
  EXPECT_FALSE(v);
  return err.code();
}

TEST(Operators, BroadcastingShapes) {
  ErrorState err;
  expect_eq(binary_op(BinaryOp::Sub, M({{1, 2, 3}}), Matrix::scalar(1), err), M({{0, 1, 2}}));
  expect_eq(binary_op(BinaryOp::Sub, M({{1, 2, 3}, {4, 5, 6}}), M({{1, 2, 3}}), err),
            M({{0, 0, 0}, {3, 3, 3}}));
  expect_eq(binary_op(BinaryOp::Add, M({{1}, {2}}), M({{1, 2, 3}, {4, 5, 6}}), err),
            M({{2, 3, 4}, {6, 7, 8}}));
  EXPECT_EQ(err.code(), 0);
  EXPECT_EQ(fails_with(BinaryOp::Sub, M({{1, 2, 3}}), M({{1}, {2}})), kErrDims);
}

TEST(Operators, EmptyOperands) {
  EXPECT_EQ(fails_with(BinaryOp::Sub, Matrix::scalar(1), Matrix()), kErrNotEmpty);
  EXPECT_EQ(fails_with(BinaryOp::Lt, Matrix(), Matrix::scalar(1)), kErrNotEmpty);
  ErrorState err;
  expect_eq(binary_op(BinaryOp::Eq, Matrix(), Matrix(), err), M({{1}}));
  expect_eq(binary_op(BinaryOp::Eq, Matrix::scalar(5), Matrix(), err), M({{0}}));
  expect_eq(binary_op(BinaryOp::Ne, Matrix::scalar(5), Matrix(), err), M({{1}}));
}

TEST(Operators, NaNEqualityAndLogic) {
  ErrorState err;
  const double nan = std::nan("");
  expect_eq(binary_op(BinaryOp::Eq, Matrix::scalar(nan), Matrix::scalar(nan), err), M({{1}}));
  expect_eq(binary_op(BinaryOp::Ne, Matrix::scalar(nan), Matrix::scalar(nan), err), M({{0}}));
  expect_eq(binary_op(BinaryOp::Eq, Matrix::scalar(nan), Matrix::scalar(1), err), M({{0}}));
  expect_eq(binary_op(BinaryOp::Lt, Matrix::scalar(nan), Matrix::scalar(1), err), M({{0}}));
  expect_eq(binary_op(BinaryOp::Xor, M({{1, 0, 1}}), M({{1, 1, 0}}), err), M({{0, 1, 1}}));
  expect_eq(binary_op(BinaryOp::And, M({{nan, 0}}), Matrix::scalar(1), err), M({{1, 0}}));
}

TEST(Operators, StringsConcatenateAndCompare) {
  ErrorState err;
  Value v = binary_op(BinaryOp::Add, Matrix::text("ab"), Matrix::text("cd"), err);
  ASSERT_TRUE(v);
  EXPECT_EQ(*v->sat(0, 0), "abcd");
  Matrix absent = Matrix::strings(1, 2);
  absent.sat(0, 1) = "x";
  Value w = binary_op(BinaryOp::Add, std::move(absent), Matrix::text("!"), err);
  EXPECT_EQ(*w->sat(0, 0), "!");
  EXPECT_EQ(*w->sat(0, 1), "x!");
  Matrix a = Matrix::strings(1, 2), b = Matrix::strings(1, 2);
  a.sat(0, 1) = "";
  expect_eq(binary_op(BinaryOp::Eq, std::move(a), std::move(b), err), M({{1, 0}}));
  EXPECT_EQ(fails_with(BinaryOp::Add, Matrix::text("ab"), Matrix::scalar(1)), kErrTypes);
  EXPECT_EQ(fails_with(BinaryOp::Sub, Matrix::text("ab"), Matrix::text("a")), kErrNumeric);
}

TEST(Operators, ProductQuotientPower) {
  ErrorState err;
  expect_eq(binary_op(BinaryOp::Mul, M({{1, 2}, {3, 4}}), M({{5}, {6}}), err), M({{17}, {39}}));
  expect_eq(binary_op(BinaryOp::Mul, Matrix::scalar(2), M({{1, 2}}), err), M({{2, 4}}));
  EXPECT_EQ(fails_with(BinaryOp::Mul, M({{1, 2}}), M({{1, 2}})), kErrDims);
  expect_eq(binary_op(BinaryOp::Div, M({{2, 4}}), Matrix::scalar(2), err), M({{1, 2}}));
  EXPECT_EQ(fails_with(BinaryOp::Div, M({{2, 4}}), M({{1, 2}})), kErrDims);
  expect_eq(binary_op(BinaryOp::Pow, Matrix::scalar(2), M({{1, 3}}), err), M({{2, 8}}));
  EXPECT_EQ(fails_with(BinaryOp::Pow, M({{1, 3}}), Matrix::scalar(2)), kErrScalar);
}

TEST(Operators, TemporariesAreReusedAndVariablesUntouched) {
  ErrorState err;
  Matrix var = M({{1, 2, 3}});
  var.set_name("v");
  Matrix tmp = M({{10, 20, 30}});
  const double* storage = tmp.num();
  Value r = binary_op(BinaryOp::Add, Value::borrow(var), std::move(tmp), err);
  EXPECT_EQ(r->num(), storage);
  expect_eq(r, M({{11, 22, 33}}));
  expect_eq(Value::borrow(var), M({{1, 2, 3}}));
}

TEST(Operators, Unary) {
  ErrorState err;
  expect_eq(unary_op(UnaryOp::Transpose, M({{1, 2, 3}}), err), M({{1}, {2}, {3}}));
  expect_eq(unary_op(UnaryOp::Not, M({{0, 2}}), err), M({{1, 0}}));
  Value e = unary_op(UnaryOp::Not, Matrix(), err);
  EXPECT_TRUE(e && e->empty());
  expect_eq(unary_op(UnaryOp::Neg, M({{1, -2}}), err), M({{-1, 2}}));
  EXPECT_FALSE(unary_op(UnaryOp::Neg, Matrix::text("a"), err));
  EXPECT_EQ(err.code(), kErrNumeric);
}

TEST(Operators, Membership) {
  ErrorState err;
  expect_eq(membership(MemberOp::In, M({{1, 2}, {3, 4}}), M({{1, 2, 5}, {4, 3, 0}}), err),
            M({{1}, {1}}));
  expect_eq(membership(MemberOp::Anyin, M({{1, 9}}), M({{1, 2}}), err), M({{1}}));
  expect_eq(membership(MemberOp::In, M({{1, 9}}), M({{1, 2}}), err), M({{0}}));
  expect_eq(membership(MemberOp::In, Matrix(), M({{1}}), err), M({{1}}));
  expect_eq(membership(MemberOp::In, M({{1}, {2}}), Matrix(), err), M({{0}, {0}}));
  expect_eq(membership(MemberOp::Anyin, M({{1}, {2}}), Matrix(), err), M({{0}}));
  // m != p: m x p, or p x m for the r-forms when m < p.
  expect_eq(membership(MemberOp::In, M({{1}}), M({{1}, {2}}), err), M({{1, 0}}));
  expect_eq(membership(MemberOp::Rin, M({{1}}), M({{1}, {2}}), err), M({{1}, {0}}));
  const double nan = std::nan("");
  expect_eq(membership(MemberOp::In, M({{nan}}), M({{nan}}), err), M({{0}}));
}

TEST(Operators, Ranges) {
  ErrorState err;
  expect_eq(make_range(Matrix::scalar(1), Matrix::scalar(3), nullptr, err), M({{1}, {2}, {3}}));
  Matrix step = Matrix::scalar(-3);
  expect_eq(make_range(Matrix::scalar(10), Matrix::scalar(1), &step, err),
            M({{10}, {7}, {4}, {1}}));
  EXPECT_TRUE(make_range(Matrix::scalar(3), Matrix::scalar(1), nullptr, err)->empty());
  EXPECT_TRUE(make_range(Matrix::scalar(1), Matrix::scalar(0), nullptr, err)->empty());
  EXPECT_EQ(err.code(), 0);
  Matrix zero = Matrix::scalar(0);
  EXPECT_FALSE(make_range(Matrix::scalar(1), Matrix::scalar(2), &zero, err));
  EXPECT_EQ(err.code(), kErrRange);
  ErrorState inf;
  EXPECT_FALSE(make_range(Matrix::scalar(1), Matrix::scalar(INFINITY), nullptr, inf));
  EXPECT_EQ(inf.code(), kErrRange);
  ErrorState huge;
  EXPECT_FALSE(make_range(Matrix::scalar(1), Matrix::scalar(1e12), nullptr, huge));
  EXPECT_EQ(huge.code(), kErrRange);
}

TEST(Operators, Literals) {
  ErrorState err;
  std::vector<std::vector<Value>> rows;
  rows.emplace_back();
  rows.back().emplace_back(Matrix::scalar(1));
  rows.back().emplace_back(M({{2, 3}}));
  rows.emplace_back();
  rows.back().emplace_back(Matrix());
  rows.back().emplace_back(M({{4, 5, 6}}));
  expect_eq(make_literal(std::move(rows), err), M({{1, 2, 3}, {4, 5, 6}}));

  std::vector<std::vector<Value>> bad;
  bad.emplace_back();
  bad.back().emplace_back(Matrix::scalar(1));
  bad.back().emplace_back(Matrix::text("a"));
  EXPECT_FALSE(make_literal(std::move(bad), err));
  EXPECT_EQ(err.code(), kErrTypes);

  ErrorState err2;
  std::vector<std::vector<Value>> ragged;
  ragged.emplace_back();
  ragged.back().emplace_back(M({{1, 2}}));
  ragged.emplace_back();
  ragged.back().emplace_back(M({{1, 2, 3}}));
  EXPECT_FALSE(make_literal(std::move(ragged), err2));
  EXPECT_EQ(err2.code(), kErrDims);
  EXPECT_TRUE(make_literal({}, err2.failed() ? err : err2)->empty());
}

TEST(Operators, InverseByLu) {
  ErrorState err;
  Value inv = inverse(M({{4, 7}, {2, 6}}), err);
  ASSERT_TRUE(inv);
  EXPECT_NEAR(inv->at(0, 0), 0.6, 1e-12);
  EXPECT_NEAR(inv->at(0, 1), -0.7, 1e-12);
  EXPECT_NEAR(inv->at(1, 0), -0.2, 1e-12);
  EXPECT_NEAR(inv->at(1, 1), 0.4, 1e-12);
  ErrorState sing;
  EXPECT_FALSE(inverse(M({{1, 2}, {2, 4}}), sing));
  EXPECT_TRUE(sing.code() == 85 || sing.code() == 90);
  ErrorState sq;
  EXPECT_FALSE(inverse(M({{1, 2}}), sq));
  EXPECT_EQ(sq.code(), 83);
}

}  // namespace
}  // namespace vop
