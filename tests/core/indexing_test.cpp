#include "core/indexing.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vop {
namespace {

Matrix seq(int rows, int cols) {
  Matrix m(rows, cols, true);
  for (int64_t k = 0; k < m.size(); ++k) m[k] = double(k + 1);
  return m;
}

Index list(std::initializer_list<double> v, int64_t dim, bool growing = false) {
  Matrix m(1, int(v.size()), true);
  int k = 0;
  for (double x : v) m[k++] = x;
  Index ix = Index::all();
  ErrorState err;
  EXPECT_TRUE(Index::from_value(m, dim, growing, &ix, err)) << err.code();
  return ix;
}

TEST(Indexing, ReadShapes) {
  ErrorState err;
  Matrix v = seq(1, 5);
  Value a = index_read(v, list({2, 4}, 5), nullptr, err);
  EXPECT_EQ(a->rows(), 1);  // a row stays a row
  EXPECT_EQ((*a)[1], 4.0);
  Matrix m = seq(2, 3);  // [1 3 5; 2 4 6]
  Value b = index_read(m, list({6, 1}, 6), nullptr, err);
  EXPECT_EQ(b->cols(), 1);
  EXPECT_EQ((*b)[0], 6.0);
  Index all = Index::all();
  Index c2 = list({2, 2}, 3);
  Value c = index_read(m, all, &c2, err);
  EXPECT_EQ(c->rows(), 2);
  EXPECT_EQ(c->cols(), 2);
  EXPECT_EQ(c->at(1, 1), 4.0);
  Value s = index_read(Matrix::scalar(7), list({1}, 1), nullptr, err);
  EXPECT_EQ(s->rows(), 1);
  EXPECT_TRUE(index_read(Matrix(), all, nullptr, err)->empty());
}

TEST(Indexing, RangesAndTheirErrors) {
  ErrorState err;
  Index r = Index::all();
  ASSERT_TRUE(Index::from_range(2, INFINITY, 1, 5, false, &r, err));
  Value v = index_read(seq(5, 1), r, nullptr, err);
  EXPECT_EQ(v->rows(), 4);
  EXPECT_EQ((*v)[3], 5.0);

  ErrorState backwards;
  EXPECT_FALSE(Index::from_range(3, 1, 1, 5, false, &r, backwards));
  EXPECT_EQ(backwards.code(), 89);
  ErrorState zero;
  EXPECT_FALSE(Index::from_range(0, 2, 1, 5, false, &r, zero));
  EXPECT_EQ(zero.code(), kErrRange);
  ErrorState past;
  EXPECT_FALSE(Index::from_range(1, 6, 1, 5, false, &r, past));
  EXPECT_EQ(past.code(), kErrRange);
  ErrorState grow;
  EXPECT_TRUE(Index::from_range(1, 6, 1, 5, true, &r, grow));
}

TEST(Indexing, ValueIndexErrors) {
  Index ix = Index::all();
  ErrorState a;
  EXPECT_FALSE(Index::from_value(Matrix::scalar(0), 3, false, &ix, a));
  EXPECT_EQ(a.code(), kErrRange);
  ErrorState b;
  EXPECT_FALSE(Index::from_value(seq(2, 2), 9, false, &ix, b));
  EXPECT_EQ(b.code(), kErrVector);
  ErrorState c;
  EXPECT_FALSE(Index::from_value(Matrix::text("a"), 9, false, &ix, c));
  EXPECT_EQ(c.code(), kErrNumeric);
  ErrorState d;
  EXPECT_FALSE(Index::from_value(Matrix::scalar(NAN), 9, true, &ix, d));
  EXPECT_EQ(d.code(), kErrRange);
  ErrorState e;
  EXPECT_TRUE(Index::from_value(Matrix::scalar(2.9), 3, false, &ix, e));
  EXPECT_EQ(ix.at(0), 1);  // truncated
}

TEST(Indexing, AssignGrowsByShape) {
  ErrorState err;
  Matrix col;  // new variable: a column
  ASSERT_TRUE(index_assign(col, list({3}, 0, true), nullptr, Matrix::scalar(9), err));
  EXPECT_EQ(col.rows(), 3);
  EXPECT_EQ(col.cols(), 1);
  EXPECT_EQ(col[2], 9.0);
  Matrix row = seq(1, 2);
  ASSERT_TRUE(index_assign(row, list({4}, 2, true), nullptr, Matrix::scalar(1), err));
  EXPECT_EQ(row.rows(), 1);
  EXPECT_EQ(row.cols(), 4);
  EXPECT_EQ(row[2], 0.0);
  Matrix one = Matrix::scalar(5);
  ASSERT_TRUE(index_assign(one, list({2}, 1, true), nullptr, Matrix::scalar(6), err));
  EXPECT_EQ(one.rows(), 2);
  Matrix full = seq(2, 2);
  ErrorState big;
  EXPECT_FALSE(index_assign(full, list({5}, 4, true), nullptr, Matrix::scalar(1), big));
  EXPECT_EQ(big.code(), kErrRange);

  Matrix m = seq(2, 2);
  Index r3 = list({3}, 2, true);
  Index c1 = list({1, 2}, 2, true);
  ASSERT_TRUE(index_assign(m, r3, &c1, seq(1, 2), err));
  EXPECT_EQ(m.rows(), 3);
  EXPECT_EQ(m.at(2, 1), 2.0);
  EXPECT_EQ(m.at(0, 1), 3.0);
  ErrorState count;
  EXPECT_FALSE(index_assign(m, r3, &c1, seq(1, 3), count));
  EXPECT_EQ(count.code(), kErrDims);
}

TEST(Indexing, AssignKinds) {
  ErrorState err;
  Matrix empty;
  ASSERT_TRUE(index_assign(empty, list({2}, 0, true), nullptr, Matrix::text("b"), err));
  EXPECT_FALSE(empty.numeric());
  EXPECT_FALSE(empty.sat(0, 0).has_value());
  EXPECT_EQ(*empty.sat(1, 0), "b");
  Matrix num = seq(1, 2);
  ErrorState kind;
  EXPECT_FALSE(index_assign(num, list({1}, 2), nullptr, Matrix::text("a"), kind));
  EXPECT_EQ(kind.code(), kErrTypes);
}

TEST(Indexing, Deletion) {
  ErrorState err;
  Matrix m = seq(3, 2);  // [1 4; 2 5; 3 6]
  Index all = Index::all();
  ASSERT_TRUE(index_delete(m, list({2}, 3), &all, err));
  EXPECT_EQ(m.rows(), 2);
  EXPECT_EQ(m.at(1, 1), 6.0);
  Index c1 = list({1}, 2);
  ASSERT_TRUE(index_delete(m, all, &c1, err));
  EXPECT_EQ(m.cols(), 1);
  EXPECT_EQ(m[0], 4.0);

  Matrix v = seq(1, 4);
  v.set_name("v");
  ASSERT_TRUE(index_delete(v, list({1, 3}, 4), nullptr, err));
  EXPECT_EQ(v.cols(), 2);
  EXPECT_EQ(v[1], 4.0);
  EXPECT_EQ(v.name(), "v");

  Matrix full = seq(2, 2);
  ErrorState e72;
  EXPECT_FALSE(index_delete(full, list({1}, 4), nullptr, e72));
  EXPECT_EQ(e72.code(), 72);
  ErrorState e73;
  Index r1 = list({1}, 2);
  EXPECT_FALSE(index_delete(full, r1, &r1, e73));
  EXPECT_EQ(e73.code(), 73);
}

}  // namespace
}  // namespace vop
