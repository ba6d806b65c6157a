// The element-wise functions (sin ... sgn): one scalar function applied to
// every element of a numeric matrix.
#pragma once

#include <optional>
#include <string_view>

#include "core/errors.h"
#include "core/matrix.h"

namespace vop::builtins {

using ElementFunction = double (*)(double);

// The function of a builtin name ("sqrt", "round", ...), or null when the
// name is not an element-wise builtin.
ElementFunction find_elementwise(std::string_view name);

// A named argument: a new result of the same size.
std::optional<Matrix> apply_elementwise(ElementFunction f, const Matrix& x, ErrorState& err);
// A temporary argument: overwritten in place and returned.
std::optional<Matrix> apply_elementwise(ElementFunction f, Matrix&& x, ErrorState& err);

// The rounding rules of the language, exposed for the formatter and tests.
double round_half_up(double x);  // halves toward +infinity
double fix_toward_zero(double x);
double sign_of(double x);        // 0 for NaN

}  // namespace vop::builtins
