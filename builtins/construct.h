// Builtins that build matrices (zeros, ones, eye, make, diag, reshape,
// insertrow) and that ask about them (size, find, any, trace).
//
// Each kernel takes arguments that are already evaluated, raises the
// argument codes itself and returns no value on failure. The dispatcher
// counts arguments and results (80, 81, 82) before calling.
#pragma once

#include <optional>

#include "builtins/arg_checks.h"
#include "core/errors.h"
#include "core/matrix.h"

namespace vop::builtins {

// The r x c shape of zeros/ones/eye: `first` alone is n (n x n) or [r c];
// with `second`, first is r and second is c.
std::optional<Shape> shape_from_args(const Matrix& first, const Matrix* second, ErrorState& err);

// What zeros, ones and eye fill their shape with.
enum class Constant { Zeros, Ones, Identity };
std::optional<Matrix> constant_matrix(Constant kind, Shape shape, ErrorState& err);

std::optional<Matrix> zeros(const Matrix& first, const Matrix* second, ErrorState& err);
std::optional<Matrix> ones(const Matrix& first, const Matrix* second, ErrorState& err);
std::optional<Matrix> eye(const Matrix& first, const Matrix* second, ErrorState& err);

// make(n, M), make([r c], M), make(r, c, M): M tiled r times down and c
// times across. `third` is the tile when given.
std::optional<Matrix> make(const Matrix& first, const Matrix& second, const Matrix* third,
                           ErrorState& err);
// The two steps of make, for a caller that evaluates the tile only once the
// counts are known: the counts from the first argument (and the second when
// `has_third`; a two-element first with a third is 82), then the tiling.
std::optional<Shape> tile_counts(const Matrix& first, const Matrix& second, bool has_third,
                                 ErrorState& err);
std::optional<Matrix> tile(const Matrix& m, Shape times, ErrorState& err);

// A vector becomes a square diagonal matrix; a matrix gives its diagonal.
std::optional<Matrix> diag(const Matrix& x, ErrorState& err);
// 1x1 sum of the diagonal.
std::optional<Matrix> trace(const Matrix& x, ErrorState& err);

// reshape(M, [r c]) or reshape(M, r, c): the elements in linear order.
// M is consumed (its strings move into the result).
std::optional<Matrix> reshape(Matrix&& m, const Matrix& second, const Matrix* third,
                              ErrorState& err);

// M with the rows of R inserted before the rows of M named by idx.
std::optional<Matrix> insertrow(const Matrix& m, const Matrix& idx, const Matrix& r,
                                ErrorState& err);

// size(x): 1x2 [rows cols]. Two results are x.rows() and x.cols() as scalars.
Matrix size_of(const Matrix& x);
// size(x, k): rows for k = 1, columns for k = 2.
std::optional<Matrix> size_along(const Matrix& x, const Matrix& k, ErrorState& err);

// find(x): k x 1 linear indices (1-based) of the elements that are not 0
// (NaN included), in increasing order.
std::optional<Matrix> find_nonzero(const Matrix& x, ErrorState& err);
// [rows, cols] = find(x): the same elements as row and column numbers.
struct RowsCols {
  Matrix rows;  // k x 1 row numbers, 1-based
  Matrix cols;  // k x 1 column numbers, 1-based
};
std::optional<RowsCols> find_rows_cols(const Matrix& x, ErrorState& err);

// any(x): 1x1 for a vector (or empty x), else 1 x cols, of 1/0.
std::optional<Matrix> any_nonzero(const Matrix& x, ErrorState& err);

}  // namespace vop::builtins
