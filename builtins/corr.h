// The Pearson correlation matrix, optionally between two sets of variables
// and weighted by case.
#pragma once

#include <optional>

#include "core/errors.h"
#include "core/matrix.h"

namespace vop::builtins {

// corr(X): c x c correlations of the columns of X. corr(X, Y): c x c' of
// each column of X with each column of Y. An empty Y means none; w, when
// given and not empty, holds one weight per row. A constant column fails
// with "Variable variance is equal to zero".
std::optional<Matrix> corr(const Matrix& x, const Matrix* y, const Matrix* w, ErrorState& err);

}  // namespace vop::builtins
