// CheckTable's conversion of a script's parts into the DocTable that every
// renderer reads: merges, colours, borders and cells as the parts give them.
#include <gtest/gtest.h>

#include <cmath>

#include "table_helpers.h"

namespace vop {
namespace {

using test::nums;
using test::strs;

constexpr double N = NAN;

TEST(DocTableConversion, KeepsMergesColoursBordersAndCells) {
  Matrix d = strs(2, 2, {"##5", nullptr, "~", "x"});
  Matrix rl = strs(2, 1, {"North", "|"});
  Matrix cl = strs(2, 2, {"Gender", "~", "M", "F"});
  // A 4 x 3 grid; colours are read row by row here, stored by column in
  // the matrix.
  Matrix tc = nums(4, 3, {N, N, 255,  N, N, N,  65280, N, N,  N, N, INFINITY});
  Matrix bc = nums(4, 3, {N, N, N,  N, N, 16777216 + 7,  N, N, N,  N, -1, N});
  Matrix hb = nums(1, 5, {N, 3, 0, 1e20, 2.9});
  Matrix vb = nums(4, 1, {0, 2, N, 1});
  ErrorState err;
  const std::optional<DocTable> t = CheckTable({&d, &rl, &cl, &tc, &bc, &hb, &vb}, err);
  ASSERT_TRUE(t);
  EXPECT_EQ(t->shape, (TableShape{2, 2, 2, 1}));
  EXPECT_FALSE(t->numeric());
  EXPECT_EQ(t->cell_text(0, 0), "##5");
  EXPECT_EQ(t->cell(0, 1), DocCell()) << "an absent element stays absent";
  EXPECT_EQ(t->cell_text(1, 0), "~");
  EXPECT_EQ(t->row_label(1, 0), "|");
  EXPECT_EQ(t->col_label(0, 1), "~");
  EXPECT_EQ(t->col_label_spans()[0], (LabelSpan{1, 2, false, false}));
  EXPECT_EQ(t->row_label_spans()[0], (LabelSpan{2, 1, false, false}));
  EXPECT_TRUE(t->body_spans()[1].orphan) << "a \"~\" with nothing to its left stands alone";

  EXPECT_EQ(t->text_colour(0, 2), Colour(255));
  EXPECT_EQ(t->text_colour(2, 0), Colour(65280));
  EXPECT_FALSE(t->text_colour(3, 2)) << "infinite is no colour";
  EXPECT_EQ(t->back_colour(1, 2), Colour(7)) << "only the three low bytes count";
  EXPECT_EQ(t->back_colour(3, 1), Colour(16777215));
  EXPECT_FALSE(t->back_colour(0, 0));

  EXPECT_FALSE(t->h_border(0)) << "NaN is the default line";
  EXPECT_EQ(t->h_border(1), 3);
  EXPECT_EQ(t->h_border(2), 0);
  EXPECT_EQ(t->h_border(3), 1000000) << "huge values are clamped";
  EXPECT_EQ(t->h_border(4), 2);
  EXPECT_EQ(t->v_border(1), 2);
  EXPECT_FALSE(t->v_border(2));
}

TEST(DocTableConversion, NumbersStayNumbersAndAbsentPartsStayEmpty) {
  Matrix d = nums(2, 3, {1, 2.5, N, -4, 1e300, 0});
  Matrix empty;
  ErrorState err;
  const std::optional<DocTable> t = CheckTable({&d, &empty, nullptr}, err);
  ASSERT_TRUE(t);
  EXPECT_TRUE(t->numeric());
  EXPECT_EQ(t->shape, (TableShape{2, 3, 0, 0}));
  EXPECT_EQ(t->number(0, 1), 2.5);
  EXPECT_TRUE(std::isnan(t->number(0, 2)));
  EXPECT_EQ(t->number(1, 1), 1e300);
  EXPECT_TRUE(t->row_labels.empty());
  EXPECT_TRUE(t->text_colours.empty());
  EXPECT_FALSE(t->has_h_borders());
  EXPECT_FALSE(t->has_v_borders());
}

}  // namespace
}  // namespace vop
