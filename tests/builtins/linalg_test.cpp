#include "builtins/linalg.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/lu.h"
#include "builtins/arg_checks.h"
#include "tests/builtins/num_test_util.h"

namespace vop::builtins {
namespace {

using namespace testing;

// A symmetric positive definite matrix with distinct eigenvalues.
Matrix spd4() {
  return M({{4, 1, 0.5, 0}, {1, 3, 0.2, 0.1}, {0.5, 0.2, 2, 0.3}, {0, 0.1, 0.3, 1}});
}

double scalar_of(std::optional<Matrix> m) { return m && m->is_scalar() ? (*m)[0] : -999; }

TEST(LuDecompose, PivotingSignAndCodes) {
  ErrorState err;
  EXPECT_EQ(scalar_of(det(M({{0, 1}, {1, 0}}), err)), -1);
  EXPECT_EQ(scalar_of(det(M({{0, 1, 0}, {0, 0, 1}, {1, 0, 0}}), err)), 1);
  EXPECT_NEAR(scalar_of(det(M({{2, -1, 0}, {-1, 2, -1}, {0, -1, 2}}), err)), 4, 1e-14);
  EXPECT_NEAR(scalar_of(det(M({{1, 2}, {3, 4}}), err)), -2, 1e-14);
  EXPECT_FALSE(err.failed());

  // The codes lu_decompose leaves for the evaluator's own use.
  auto code = [](Matrix a) {
    ErrorState e;
    std::vector<int> perm(size_t(a.rows()));
    int sign = 0;
    lu_decompose(a.num(), a.rows(), perm.data(), sign, e);
    return e.code();
  };
  EXPECT_EQ(code(M({{1, 2}, {3, 4}})), 0);
  EXPECT_EQ(code(M({{1, 2}, {0, 0}})), kErrSingular);             // a zero row
  EXPECT_EQ(code(M({{1, 2}, {2, 4}})), kErrSingular);             // an exactly zero pivot
  EXPECT_EQ(code(M({{1, 1}, {1, 1 + 4e-16}})), kErrNearlySingular);  // a tiny one
}

TEST(LuDecompose, SolveRecoversTheRightHandSide) {
  Matrix a = spd4();
  a.at(0, 3) = 2;  // not symmetric: pivoting must matter less than correctness
  const Matrix original = a.clone();
  const std::vector<double> x = {1, -2, 0.5, 3};
  std::vector<double> b(4, 0.0);
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) b[size_t(i)] += original.at(i, j) * x[size_t(j)];
  ErrorState err;
  std::vector<int> perm(4);
  int sign = 0;
  lu_decompose(a.num(), 4, perm.data(), sign, err);
  lu_solve(a.num(), 4, perm.data(), b.data());
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(b[size_t(i)], x[size_t(i)], 1e-13);
}

TEST(LuBuiltins, FactorsReassemble) {
  ErrorState err;
  auto f = lu_factors(M({{0, 1}, {1, 0}}), true, err);
  ASSERT_TRUE(f);
  EXPECT_TRUE(Same(f->p, M({{0, 1}, {1, 0}})));
  EXPECT_TRUE(Same(f->l, M({{1, 0}, {0, 1}})));
  EXPECT_TRUE(Same(f->u, M({{1, 0}, {0, 1}})));

  const Matrix a = M({{1, 2, 3}, {4, 5, 6}, {7, 8, 10}});
  auto lup = lu_factors(a.clone(), true, err);
  EXPECT_TRUE(Same(mul(lup->p, a), mul(lup->l, lup->u), 1e-13));
  auto lu2 = lu_factors(a.clone(), false, err);
  EXPECT_TRUE(Same(mul(lu2->l, lu2->u), a, 1e-13));
  EXPECT_TRUE(lu2->p.empty());
  // The packed form holds both factors.
  auto packed = lu_packed(a.clone(), err);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      EXPECT_EQ(packed->at(i, j), i > j ? lup->l.at(i, j) : lup->u.at(i, j));
  // A singular matrix still gives factors, and no error.
  EXPECT_TRUE(lu_packed(M({{1, 2}, {2, 4}}), err));
  EXPECT_FALSE(err.failed());
}

TEST(LuBuiltins, InverseAndSingularity) {
  ErrorState err;
  EXPECT_TRUE(Same(inv(M({{4, 7}, {2, 6}}), err), M({{0.6, -0.7}, {-0.2, 0.4}}), 1e-15));
  auto singular = inv(M({{1, 2}, {2, 4}}), err);
  ASSERT_TRUE(singular);
  EXPECT_TRUE(singular->empty());
  EXPECT_EQ(scalar_of(det(M({{1, 2}, {2, 4}}), err)), 0);
  EXPECT_FALSE(err.failed());
  const Matrix a = spd4();
  auto ai = inv(a.clone(), err);
  EXPECT_TRUE(Same(mul(a, *ai), M({{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}), 1e-14));
}

TEST(LuBuiltins, Checks) {
  EXPECT_EQ(code_of([](auto& e) { return det(Matrix(), e); }), kErrNotEmpty);
  EXPECT_EQ(code_of([](auto& e) { return det(M({{1, 2}}), e); }), kErrSquare);
  EXPECT_EQ(code_of([](auto& e) { return inv(Matrix::text("a"), e); }), kErrNumeric);
}

TEST(Eig, SymmetricValuesAndVectors) {
  ErrorState err;
  EXPECT_TRUE(Same(eig_values(M({{2, 0}, {0, 1}}), nullptr, err), col({1, 2}), 1e-15));
  // Only the lower triangle is read.
  EXPECT_TRUE(Same(eig_values(M({{1, 5}, {0, 1}}), nullptr, err), col({1, 1}), 1e-15));
  auto id = eig_vectors(M({{1, 0}, {0, 1}}), nullptr, err);
  ASSERT_TRUE(id);
  EXPECT_TRUE(Same(id->d, M({{1, 0}, {0, 1}})));

  const Matrix a = spd4();
  auto e = eig_vectors(a.clone(), nullptr, err);
  ASSERT_TRUE(e);
  EXPECT_TRUE(Same(mul(a, e->v), mul(e->v, e->d), 1e-13));
  EXPECT_TRUE(Same(mul(transpose(e->v), e->v), mul(e->v, transpose(e->v)), 1e-13));
  for (int i = 1; i < 4; ++i) EXPECT_LT(e->d.at(i - 1, i - 1), e->d.at(i, i));
  EXPECT_FALSE(err.failed());
}

TEST(Eig, GeneralizedProblem) {
  ErrorState err;
  const Matrix a = M({{2, 1, 0}, {1, 3, 1}, {0, 1, 4}});
  const Matrix b = M({{2, 0.5, 0}, {0.5, 1, 0}, {0, 0, 1}});
  Matrix bw = b.clone();
  auto e = eig_vectors(a.clone(), &bw, err);
  ASSERT_TRUE(e);
  EXPECT_TRUE(Same(mul(a, e->v), mul(mul(b, e->v), e->d), 1e-13));
  // Eigenvectors are B-normalized: V' B V = I.
  EXPECT_TRUE(Same(mul(transpose(e->v), mul(b, e->v)), M({{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}),
                   1e-13));
  Matrix bv = b.clone();
  auto values = eig_values(a.clone(), &bv, err);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR((*values)[i], e->d.at(i, i), 1e-13);
}

TEST(Eig, Failures) {
  Matrix indefinite = M({{-1, 0}, {0, 1}});
  EXPECT_EQ(code_of([&](auto& e) { return eig_values(M({{1, 0}, {0, 1}}), &indefinite, e); }),
            kErrLapack);
  Matrix small = M({{1}});
  EXPECT_EQ(code_of([&](auto& e) { return eig_values(M({{1, 0}, {0, 1}}), &small, e); }),
            kErrDims);
  EXPECT_EQ(code_of([](auto& e) { return eig_values(M({{1, 0}}), nullptr, e); }), kErrSquare);
  EXPECT_EQ(code_of([](auto& e) { return eig_vectors(Matrix(), nullptr, e); }), kErrNotEmpty);
}

TEST(Svd, ValuesAndReconstruction) {
  ErrorState err;
  EXPECT_TRUE(Same(svd_values(M({{3, 0}, {0, -4}}), err), col({4, 3}), 1e-14));
  const Matrix a = M({{1, 2, 0}, {0, 1, 1}, {2, 0, 1}, {1, 1, 1}, {0, 3, 2}});
  auto r = svd_full(a.clone(), err);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->u.rows(), 5);
  EXPECT_EQ(r->u.cols(), 3);
  EXPECT_TRUE(Same(mul(mul(r->u, r->s), transpose(r->v)), a, 1e-13));
  EXPECT_TRUE(Same(mul(transpose(r->v), r->v), M({{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}), 1e-13));
  auto s = svd_values(a.clone(), err);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR((*s)[i], r->s.at(i, i), 1e-13);
  EXPECT_GE((*s)[0], (*s)[1]);
  EXPECT_FALSE(err.failed());
  EXPECT_EQ(code_of([](auto& e) { return svd_values(M({{1, 2, 3}}), e); }), kErrWide);
  EXPECT_EQ(code_of([](auto& e) { return svd_full(Matrix(), e); }), kErrNotEmpty);
}

}  // namespace
}  // namespace vop::builtins
