#include "builtins/elementwise.h"

#include <gtest/gtest.h>

#include "tests/builtins/num_test_util.h"

namespace vop::builtins {
namespace {

using namespace testing;

Matrix apply_named(const char* name, Matrix x) {
  ErrorState err;
  auto f = find_elementwise(name);
  EXPECT_NE(f, nullptr) << name;
  auto r = apply_elementwise(f, std::move(x), err);
  EXPECT_TRUE(r) << name;
  return r ? std::move(*r) : Matrix();
}

TEST(Elementwise, RoundingRules) {
  EXPECT_TRUE(Same(apply_named("round", row({2.5, -2.5, -0.5, 1.4, -1.6, kNaN})),
                   row({3, -2, -0.0, 1, -2, kNaN})));
  EXPECT_TRUE(std::signbit(apply_named("round", Matrix::scalar(-0.5))[0]));
  EXPECT_TRUE(Same(apply_named("fix", row({-2.7, 2.7, 0})), row({-2, 2, 0})));
  EXPECT_TRUE(Same(apply_named("sgn", row({-3, 0, 4, kNaN})), row({-1, 0, 1, 0})));
}

TEST(Elementwise, DomainsGiveIeeeResultsNotErrors) {
  EXPECT_TRUE(Same(apply_named("sqrt", row({-1, 4})), row({kNaN, 2})));
  EXPECT_TRUE(Same(apply_named("log", row({-1, 0, 1})), row({kNaN, -kInf, 0})));
  EXPECT_TRUE(Same(apply_named("log10", Matrix::scalar(1000)), Matrix::scalar(3), 1e-15));
  EXPECT_TRUE(Same(apply_named("abs", row({-2, 3})), row({2, 3})));
}

TEST(Elementwise, NamedArgumentIsLeftAloneTemporaryIsReused) {
  ErrorState err;
  const Matrix x = named(row({1, 4, 9}));
  auto r = apply_elementwise(find_elementwise("sqrt"), x, err);
  EXPECT_TRUE(Same(r, row({1, 2, 3})));
  EXPECT_TRUE(Same(x, row({1, 4, 9})));
  EXPECT_FALSE(r->has_name());

  Matrix t = row({1, 4, 9});
  const double* storage = t.num();
  auto s = apply_elementwise(find_elementwise("sqrt"), std::move(t), err);
  EXPECT_EQ(s->num(), storage);
}

TEST(Elementwise, ChecksAndNames) {
  EXPECT_EQ(find_elementwise("sum"), nullptr);
  auto f = find_elementwise("sin");
  EXPECT_EQ(code_of([&](auto& e) { return apply_elementwise(f, Matrix(), e); }), kErrNotEmpty);
  EXPECT_EQ(code_of([&](auto& e) { return apply_elementwise(f, Matrix::text("a"), e); }),
            kErrNumeric);
}

}  // namespace
}  // namespace vop::builtins
