// sorta and sortd: rows sorted by one key column, with the permutation.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/cancel.h"
#include "core/errors.h"
#include "core/matrix.h"

namespace vop::builtins {

enum class SortOrder { Ascending, Descending };

struct SortResult {
  Matrix sorted;  // the rows of X in their new order
  Matrix perm;    // n x 1: the 1-based place each row had in X
};

// Order of string cells: absent first, then byte by byte as strcmp does.
// Negative, zero or positive like strcmp.
int compare_cells(const StrCell& a, const StrCell& b);

// The ascending order of n keys as 0-based positions: numbers numerically
// with NaN after every number, equal keys in their original order.
// O(n log n) in the worst case.
std::vector<int32_t> ascending_order(const double* keys, int64_t n);
std::vector<int32_t> ascending_order(const StrCell* keys, int64_t n);

// The rows of X sorted by column k (1-based; by default column 1), numeric
// or string. A one-row X without k has its elements sorted among
// themselves, and the permutation then numbers columns. Descending order is
// the ascending one reversed, so equal keys come out in reverse. A stop
// through `cancel`, seen once the order is known and between columns,
// raises 1000.
std::optional<SortResult> sort_rows(const Matrix& x, const Matrix* k, SortOrder order,
                                    ErrorState& err, CancelToken cancel = {});

// The same, rearranging X itself: for a statement `sorta(X)` on a variable,
// or on a temporary. Returns the permutation. A stop is seen only before X
// starts to change, so X is sorted whole or left as it was.
std::optional<Matrix> sort_rows_in_place(Matrix& x, const Matrix* k, SortOrder order,
                                         ErrorState& err, CancelToken cancel = {});

}  // namespace vop::builtins
