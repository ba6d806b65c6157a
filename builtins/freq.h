// freq: the distinct values of a matrix and how often each occurs.
#pragma once

#include <optional>

#include "core/errors.h"
#include "core/matrix.h"

namespace vop::builtins {

struct FreqResult {
  Matrix values;  // k x 1 distinct values ascending, of x's type
  Matrix counts;  // k x 1 counts, or sums of weights
};

// Elements of x (numbers, or strings byte-wise with absent first) sorted and
// merged. Weight i belongs to every element of row i. All NaN elements form
// one group after the numbers. An empty x comes back unchanged as both
// results.
std::optional<FreqResult> freq(const Matrix& x, const Matrix* w, ErrorState& err);

}  // namespace vop::builtins
