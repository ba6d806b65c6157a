#include "core/matrix.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/value.h"

namespace vop {
namespace {

TEST(Matrix, EmptinessIsZeroRows) {
  Matrix a;
  EXPECT_TRUE(a.empty());
  Matrix b(0, 5, true);
  EXPECT_TRUE(b.empty());
  EXPECT_EQ(b.cols(), 5);
  Matrix c(1, 0, true);
  EXPECT_FALSE(c.empty());
}

TEST(Matrix, ColumnMajorLayoutAndFills) {
  Matrix m(2, 3, true);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(m[i], 0.0);
  m.at(1, 2) = 7;
  EXPECT_EQ(m[1 + 2 * 2], 7.0);
  m.fill_nan();
  EXPECT_TRUE(std::isnan(m.at(0, 0)));
  Matrix s = Matrix::strings(2, 2);
  EXPECT_FALSE(s.sat(1, 1).has_value());
  s.sat(1, 1) = "";
  EXPECT_TRUE(s.sat(1, 1).has_value());  // empty string is not absent
  s.fill_absent();
  EXPECT_FALSE(s.sat(1, 1).has_value());
}

TEST(Matrix, GrowKeepsStringsAndLeavesAbsentCells) {
  Matrix m = Matrix::strings(2, 2);
  m.set_name("s");
  m.sat(0, 0) = "a";
  m.sat(1, 0) = "b";
  m.sat(0, 1) = "c";
  m.sat(1, 1) = "";
  m.grow(3, 3);
  ASSERT_EQ(m.rows(), 3);
  ASSERT_EQ(m.cols(), 3);
  EXPECT_EQ(m.name(), "s");
  EXPECT_EQ(*m.sat(0, 0), "a");
  EXPECT_EQ(*m.sat(1, 0), "b");
  EXPECT_EQ(*m.sat(0, 1), "c");
  EXPECT_EQ(*m.sat(1, 1), "");
  int absent = 0;
  for (int i = 0; i < 9; ++i) absent += !m.str()[i].has_value();
  EXPECT_EQ(absent, 5);
}

TEST(Matrix, GrowNumericPaths) {
  Matrix m = Matrix::scalar(5);
  m.grow(1, 1);  // large enough: unchanged
  EXPECT_EQ(m.size(), 1);
  m.grow(3, 1);  // column grows in place
  EXPECT_EQ(m[0], 5.0);
  EXPECT_EQ(m[1], 0.0);
  EXPECT_EQ(m[2], 0.0);
  for (int r = 4; r <= 1000; ++r) {
    m.grow(r, 1);
    m[r - 1] = r;
  }
  EXPECT_EQ(m.rows(), 1000);
  EXPECT_EQ(m[999], 1000.0);
  EXPECT_EQ(m[0], 5.0);
  m.grow(1000, 2);  // now two columns: moved
  EXPECT_EQ(m.at(999, 0), 1000.0);
  EXPECT_EQ(m.at(999, 1), 0.0);

  Matrix row(1, 2, true);
  row[0] = 1;
  row[1] = 2;
  row.grow(1, 4);
  EXPECT_EQ(row[1], 2.0);
  EXPECT_EQ(row[3], 0.0);

  Matrix empty(0, 0, false);
  empty.grow(2, 2);
  EXPECT_EQ(empty.size(), 4);
  EXPECT_FALSE(empty.numeric());

  Matrix rs(1, 0, false);  // a string row with no cells grows safely
  rs.grow(1, 2);
  EXPECT_FALSE(rs.sat(0, 1).has_value());
}

TEST(Matrix, MoveAndCloneKeepInlineScalar) {
  Matrix a = Matrix::scalar(3.5);
  Matrix b = std::move(a);
  EXPECT_EQ(b[0], 3.5);
  EXPECT_EQ(b.num(), &b.at(0, 0));
  Matrix c = b.clone();
  c[0] = 1;
  EXPECT_EQ(b[0], 3.5);
  EXPECT_FALSE(c.has_name());
}

TEST(Value, BorrowedVariablesAreCopiedOnTake) {
  Matrix var = Matrix::scalar(2);
  var.set_name("x");
  Value v = Value::borrow(var);
  EXPECT_TRUE(v.borrowed());
  Matrix t = std::move(v).take();
  t[0] = 9;
  EXPECT_EQ(var[0], 2.0);
  EXPECT_FALSE(t.has_name());

  Value o(Matrix::scalar(4));
  EXPECT_TRUE(o.owned());
  o.mut()[0] = 5;
  EXPECT_EQ((*o)[0], 5.0);
  EXPECT_FALSE(Value());
}

}  // namespace
}  // namespace vop
