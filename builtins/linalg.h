// Matrix decompositions: eig and svd through LAPACK, and lu, det and inv on
// the system's own LU factorization.
//
// Each kernel takes its matrix as an owned value and works in it: the
// caller passes a temporary as it is and a variable as a copy.
#pragma once

#include <optional>

#include "core/errors.h"
#include "core/matrix.h"

namespace vop::builtins {

// --- eig: symmetric (and generalized symmetric) eigenproblems -------------
// Only the lower triangles of A and B are read. B, when given, must be
// symmetric positive definite; it is overwritten. LAPACK failure is 200.

// n x 1 eigenvalues, ascending.
std::optional<Matrix> eig_values(Matrix&& a, Matrix* b, ErrorState& err);

struct EigResult {
  Matrix d;  // n x n, eigenvalues ascending on the diagonal
  Matrix v;  // n x n, eigenvectors in the columns (B-normalized with B)
};
std::optional<EigResult> eig_vectors(Matrix&& a, Matrix* b, ErrorState& err);

// --- svd: A with at least as many rows as columns ---------------------------

// min(m, n) x 1 singular values, descending.
std::optional<Matrix> svd_values(Matrix&& a, ErrorState& err);

struct SvdResult {
  Matrix u;  // m x n left singular vectors
  Matrix s;  // n x n, singular values on the diagonal
  Matrix v;  // n x n right singular vectors; A = U S V'
};
std::optional<SvdResult> svd_full(Matrix&& a, ErrorState& err);

// --- LU and what is built on it ----------------------------------------------
// A singular A is not an error here: lu gives its factors, det 0, inv [].

// The packed factors of the row-permuted A.
std::optional<Matrix> lu_packed(Matrix&& a, ErrorState& err);

struct LuResult {
  Matrix l;  // unit lower triangle; with P: P A = L U, without: A = L U
  Matrix u;  // upper triangle
  Matrix p;  // row permutation matrix (empty when not asked for)
};
// [L, U, P] with `with_p`; otherwise [L, U] with L row-permuted so L U = A.
std::optional<LuResult> lu_factors(Matrix&& a, bool with_p, ErrorState& err);

std::optional<Matrix> det(Matrix&& a, ErrorState& err);
std::optional<Matrix> inv(Matrix&& a, ErrorState& err);

}  // namespace vop::builtins
