// The ten descriptive statistics in their four families.
//
// Rows are cases and columns variables; an optional weight column holds one
// weight per row (case weights). Moments are population moments (divided by
// the sum of weights) and kurtosis is excess kurtosis.
#pragma once

#include <optional>
#include <string_view>

#include "core/errors.h"
#include "core/matrix.h"

namespace vop::builtins {

enum class Stat { Sum, Prod, Min, Max, Mean, Range, Sd, Var, Skw, Kur };

// Direction of reduction, by name prefix.
enum class Reduce {
  Plain,    // sum: a vector gives 1x1, a matrix one value per column
  Columns,  // csum: 1 x cols, also for a vector
  Rows,     // rsum: rows x 1, never weighted
  All,      // msum: 1x1 over every element
};

struct StatBuiltin {
  Stat stat;      // what is computed
  Reduce reduce;  // over which elements
};

// "cvar" -> {Var, Columns}; no value for other names.
std::optional<StatBuiltin> find_statistic(std::string_view name);

// The statistic of X, weighted by w when w is given and not empty. Weight i
// belongs to row i of X, for every element of that row: for a column that is
// element i, for a one-row X every element takes the single weight.
std::optional<Matrix> statistic(StatBuiltin which, const Matrix& x, const Matrix* w,
                                ErrorState& err);

}  // namespace vop::builtins
