// Quantiles of the normal and Student's t distributions, element by
// element, for critical values of significance tests.
#pragma once

#include <optional>

#include "core/errors.h"
#include "core/matrix.h"

namespace vop::builtins {

// The standard normal quantile of every element of p (63 for text). A p
// outside [0, 1] gives NaN.
std::optional<Matrix> normal_quantile(const Matrix& p, ErrorState& err);

// The t quantile of every element of p with `df` degrees of freedom: p
// and df of one shape, or either one value for all (70 otherwise). df <= 0 gives NaN;
// an infinite df the normal quantile.
std::optional<Matrix> t_quantile(const Matrix& p, const Matrix& df, ErrorState& err);

}  // namespace vop::builtins
