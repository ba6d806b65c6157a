// The per-argument checks that every builtin makes, each with its fixed
// code, and the conversions and allocations the kernels share.
//
// Every check raises its code on the ErrorState and returns false (or no
// value), so a kernel reads as a list of `if (!need_x(...)) return {};` in
// the order the language fixes for that builtin.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/errors.h"
#include "core/matrix.h"

namespace vop {
class Call;
}

namespace vop::builtins {

// The largest matrix a builtin will build: 2^31 elements, 16 GiB of
// numbers, more than the machines we target can hold. Refusing it up front
// turns `zeros(1e5, 1e5)` into a clean error instead of an allocator abort;
// the error is kErrRange, the size being "out of range" in the language's
// terms.
inline constexpr int64_t kMaxElements = int64_t(1) << 31;

// A 1x1 string argument (64, 55): its text; an absent element reads as empty.
bool text_arg(Call& c, int i, std::string* out);
// A numeric 1x1 argument (63, 55).
bool number_arg(Call& c, int i, double* out);

// The rows x cols dimensions of a result.
struct Shape {
  int rows = 0;  // rows of the result
  int cols = 0;  // columns of the result
};

inline bool need_numeric(const Matrix& m, ErrorState& err) {
  return m.numeric() || err.raise(kErrNumeric);
}
inline bool need_string(const Matrix& m, ErrorState& err) {
  return !m.numeric() || err.raise(kErrString);
}
inline bool need_nonempty(const Matrix& m, ErrorState& err) {
  return !m.empty() || err.raise(kErrNotEmpty);
}
inline bool need_scalar(const Matrix& m, ErrorState& err) {
  return m.is_scalar() || err.raise(kErrScalar);
}
// Non-empty (77) then numeric (63): the common pair.
inline bool need_numbers(const Matrix& m, ErrorState& err) {
  return need_nonempty(m, err) && need_numeric(m, err);
}
// The same rows and columns as `a` (70 otherwise).
inline bool need_same_shape(const Matrix& a, const Matrix& b, ErrorState& err) {
  return (a.rows() == b.rows() && a.cols() == b.cols()) || err.raise(kErrDims);
}

// The text of a string element; an absent string reads as empty.
inline std::string_view text_of(const StrCell& cell) {
  return cell ? std::string_view(*cell) : std::string_view();
}

// A number used as a count: truncated toward zero; negative, NaN or beyond
// the int range is 68.
std::optional<int> count_of(double v, ErrorState& err);

// A number used as a 1-based index into 1..limit, truncated toward zero;
// returns the 0-based position, or 68 when outside.
std::optional<int> index_of(double v, int limit, ErrorState& err);

// A new matrix of rows x cols (either may be given as a product that
// overflowed int); beyond kMaxElements or out of memory is kErrRange.
std::optional<Matrix> new_matrix(int64_t rows, int64_t cols, bool numeric,
                                 Matrix::Fill fill, ErrorState& err);

// Weights for the statistics: numeric (63); empty, or one column with
// `rows` rows (70 otherwise). Returns the weights to use, null for none.
// `ok` is false when a check failed.
const double* weights_of(const Matrix* w, int rows, bool& ok, ErrorState& err);

}  // namespace vop::builtins
