// LU factorization (Crout's method with implicit partial pivoting) and its
// solver, shared by the language's matrix inverse and the lu/det/inv
// builtins.
#pragma once

#include <vector>

#include "core/errors.h"
#include "core/matrix.h"

namespace vop {

// Factorize the n x n numeric matrix `a` in place: U on and above the
// diagonal, the multipliers of the unit lower factor below it, for the
// row-permuted matrix. perm[j] is the row swapped with row j; *d is +1 or -1
// by the parity of the swaps. Problems (85: a zero row or zero pivot, 90: a
// pivot below 1e-15) are raised without stopping the factorization.
void lu_decompose(Matrix& a, std::vector<int>& perm, double* d, ErrorState& err);

// Solve with the factors for one right-hand side, in place (b has n
// elements).
void lu_solve(const Matrix& a, const std::vector<int>& perm, double* b);

}  // namespace vop
