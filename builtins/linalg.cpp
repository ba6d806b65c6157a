// Written in the order of the header: LAPACK-backed eig and svd first, then
// the kernels over lu_decompose.
#include "builtins/linalg.h"

#include <algorithm>
#include <climits>
#include <numeric>
#include <vector>

#include "builtins/fortran.h"
#include "core/lu.h"
#include "builtins/arg_checks.h"

namespace vop::builtins {

namespace {

// Numeric (63), square (83), non-empty (77), in that order.
bool need_square(const Matrix& a, ErrorState& err) {
  if (!need_numeric(a, err)) return false;
  if (a.rows() != a.cols()) return err.raise(kErrSquare);
  return need_nonempty(a, err);
}

Matrix diagonal_matrix(const double* values, int n) {
  Matrix d(n, n, true, Matrix::Fill::Zero);
  for (int i = 0; i < n; ++i) d.at(i, i) = values[i];
  return d;
}

// The generalized problem's B: numeric, square, A's size, non-empty.
bool need_partner(const Matrix& a, const Matrix& b, ErrorState& err) {
  if (!need_numeric(b, err)) return false;
  if (b.rows() != b.cols()) return err.raise(kErrSquare);
  if (b.rows() != a.rows()) return err.raise(kErrDims);
  return need_nonempty(b, err);
}

// Runs DSYEV or DSYGV on a (and b) with JOBZ `jobz`; the eigenvalues go to w.
bool symmetric_eigen(Matrix& a, Matrix* b, const char* jobz, std::vector<double>& w,
                     ErrorState& err) {
  if (!need_square(a, err)) return false;
  if (b && !need_partner(a, *b, err)) return false;
  const int n = a.rows();
  const int lwork = 3 * n;  // n is at most sqrt(kMaxElements), so this fits
  std::vector<double> work(static_cast<size_t>(lwork));
  w.assign(size_t(n), 0.0);
  int info = 0;
  if (b) {
    const int itype = 1;  // A x = lambda B x
    dsygv_(&itype, jobz, "L", &n, a.num(), &n, b->num(), &n, w.data(), work.data(), &lwork,
           &info, 1, 1);
  } else {
    dsyev_(jobz, "L", &n, a.num(), &n, w.data(), work.data(), &lwork, &info, 1, 1);
  }
  return info == 0 || err.raise(kErrLapack);
}

// Checks for svd and the workspace DGESVD is given.
std::optional<int> svd_workspace(const Matrix& a, ErrorState& err) {
  if (!need_numeric(a, err)) return std::nullopt;
  if (a.rows() < a.cols()) {
    err.raise(kErrWide);
    return std::nullopt;
  }
  // An m x 0 matrix has rows but no values: LAPACK rejects its zero-sized
  // right factor, so it is refused as empty.
  if (!need_nonempty(a, err)) return std::nullopt;
  if (a.size() == 0) {
    err.raise(kErrNotEmpty);
    return std::nullopt;
  }
  const int64_t lo = std::min(a.rows(), a.cols()), hi = std::max(a.rows(), a.cols());
  const int64_t lwork = 2 * std::max(3 * lo + hi, 5 * lo);
  if (lwork > INT_MAX) {
    err.raise(kErrRange);
    return std::nullopt;
  }
  return int(lwork);
}

// The factors of a, or an error state that says why there are none.
struct Factored {
  std::vector<int> perm;  // interchanges, one per row
  int sign = 1;           // parity of the interchanges
  bool singular = false;  // lu_decompose reported a problem
};

Factored factor(Matrix& a) {
  Factored f;
  f.perm.resize(size_t(a.rows()));
  ErrorState local;  // a singular matrix is an answer here, not a failure
  lu_decompose(a.num(), a.rows(), f.perm.data(), f.sign, local);
  f.singular = local.failed();
  return f;
}

}  // namespace

// --- eig ---------------------------------------------------------------------

std::optional<Matrix> eig_values(Matrix&& a, Matrix* b, ErrorState& err) {
  std::vector<double> w;
  if (!symmetric_eigen(a, b, "N", w, err)) return std::nullopt;
  Matrix out(int(w.size()), 1, true, Matrix::Fill::None);
  std::copy(w.begin(), w.end(), out.num());
  return out;
}

std::optional<EigResult> eig_vectors(Matrix&& a, Matrix* b, ErrorState& err) {
  std::vector<double> w;
  if (!symmetric_eigen(a, b, "V", w, err)) return std::nullopt;
  a.clear_name();
  return EigResult{diagonal_matrix(w.data(), int(w.size())), std::move(a)};
}

// --- svd ---------------------------------------------------------------------

std::optional<Matrix> svd_values(Matrix&& a, ErrorState& err) {
  auto lwork = svd_workspace(a, err);
  if (!lwork) return std::nullopt;
  const int m = a.rows(), n = a.cols(), one = 1;
  Matrix s(std::min(m, n), 1, true, Matrix::Fill::Zero);
  std::vector<double> work(static_cast<size_t>(*lwork));
  double unused = 0;  // U and VT are not referenced with JOBU = JOBVT = "N"
  int info = 0;
  dgesvd_("N", "N", &m, &n, a.num(), &m, s.num(), &unused, &one, &unused, &one, work.data(),
          &*lwork, &info, 1, 1);
  return s;
}

std::optional<SvdResult> svd_full(Matrix&& a, ErrorState& err) {
  auto lwork = svd_workspace(a, err);
  if (!lwork) return std::nullopt;
  const int m = a.rows(), n = a.cols(), one = 1;
  std::vector<double> s(static_cast<size_t>(n)), work(static_cast<size_t>(*lwork));
  Matrix vt(n, n, true, Matrix::Fill::Zero);
  double unused = 0;  // with JOBU = "O" the left vectors overwrite A
  int info = 0;
  dgesvd_("O", "S", &m, &n, a.num(), &m, s.data(), &unused, &one, vt.num(), &n, work.data(),
          &*lwork, &info, 1, 1);
  Matrix v(n, n, true, Matrix::Fill::None);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) v.at(i, j) = vt.at(j, i);
  a.clear_name();
  return SvdResult{std::move(a), diagonal_matrix(s.data(), n), std::move(v)};
}

// --- LU, det, inv ----------------------------------------------------------------

std::optional<Matrix> lu_packed(Matrix&& a, ErrorState& err) {
  if (!need_square(a, err)) return std::nullopt;
  factor(a);
  a.clear_name();
  return std::move(a);
}

std::optional<LuResult> lu_factors(Matrix&& a, bool with_p, ErrorState& err) {
  if (!need_square(a, err)) return std::nullopt;
  const int n = a.rows();
  const Factored f = factor(a);
  // Row i of P A is row from[i] of A.
  std::vector<int> from(static_cast<size_t>(n));
  std::iota(from.begin(), from.end(), 0);
  for (int j = 0; j < n; ++j) std::swap(from[size_t(j)], from[size_t(f.perm[size_t(j)])]);

  LuResult r{Matrix(n, n, true, Matrix::Fill::Zero), Matrix(n, n, true, Matrix::Fill::Zero),
             Matrix()};
  for (int j = 0; j < n; ++j) {
    for (int i = 0; i < n; ++i) {
      // Without P, row i of L moves to row from[i] so that L U = A.
      const int li = with_p ? i : from[size_t(i)];
      if (i > j) r.l.at(li, j) = a.at(i, j);
      else r.u.at(i, j) = a.at(i, j);
    }
    r.l.at(with_p ? j : from[size_t(j)], j) = 1.0;
  }
  if (with_p) {
    r.p = Matrix(n, n, true, Matrix::Fill::Zero);
    for (int i = 0; i < n; ++i) r.p.at(i, from[size_t(i)]) = 1.0;
  }
  return r;
}

std::optional<Matrix> det(Matrix&& a, ErrorState& err) {
  if (!need_square(a, err)) return std::nullopt;
  const Factored f = factor(a);
  if (f.singular) return Matrix::scalar(0.0);
  double d = f.sign;
  for (int i = 0; i < a.rows(); ++i) d *= a.at(i, i);
  return Matrix::scalar(d);
}

std::optional<Matrix> inv(Matrix&& a, ErrorState& err) {
  if (!need_square(a, err)) return std::nullopt;
  const Factored f = factor(a);
  if (f.singular) return Matrix();
  const int n = a.rows();
  Matrix out(n, n, true, Matrix::Fill::Zero);
  for (int k = 0; k < n; ++k) {
    double* col = out.num() + int64_t(k) * n;
    col[k] = 1.0;
    lu_solve(a.num(), n, f.perm.data(), col);
  }
  return out;
}

}  // namespace vop::builtins
