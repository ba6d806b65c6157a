// The system's own LU factorization: Crout's method with implicit partial
// pivoting, in place on a square matrix stored column by column. `det`,
// `inv` and `lu` use it, and so does the evaluator for the inverse operator.
#pragma once

#include "core/errors.h"

namespace vop {

// Factorizes the n x n matrix a in place: U on and above the diagonal, the
// multipliers of the unit lower factor below it, for the row-permuted
// matrix. perm[j] receives the row interchanged with row j at step j, sign
// the parity of the interchanges (+1 or -1). Problems are reported without
// stopping: a zero row or a zero pivot raises 85 "Non-singular matrix is
// needed", a pivot below 1e-15 raises 90 "Matrix is probably singular".
void lu_decompose(double* a, int n, int* perm, int& sign, ErrorState& err);

// Solves (factored a) x = b for one right-hand side, b replaced by x.
void lu_solve(const double* a, int n, const int* perm, double* b);

}  // namespace vop
