// Cumulative sums: cum, ccum, rcum, mcum.
#pragma once

#include <optional>
#include <string_view>

#include "core/errors.h"
#include "core/matrix.h"

namespace vop::builtins {

enum class CumRuns {
  Plain,    // cum: a vector is one run, a matrix runs down each column
  Columns,  // ccum: down each column
  Rows,     // rcum: along each row
  All,      // mcum: all elements in linear order
};

// "rcum" -> Rows; no value for other names.
std::optional<CumRuns> find_cumulative(std::string_view name);

// Element k of a run is the sum of its elements 1..k; same size as X.
std::optional<Matrix> cumulative(CumRuns runs, const Matrix& x, ErrorState& err);
// The same, overwriting a temporary X.
std::optional<Matrix> cumulative(CumRuns runs, Matrix&& x, ErrorState& err);

}  // namespace vop::builtins
