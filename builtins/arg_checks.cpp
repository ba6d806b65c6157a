#include "builtins/arg_checks.h"

#include <climits>
#include <cmath>
#include <new>

#include "core/builtin.h"

namespace vop::builtins {

bool text_arg(Call& c, int i, std::string* out) {
  Value v = c.arg(i);
  if (!v) return false;
  if (v->numeric()) return c.err().raise(kErrString);
  if (!v->is_scalar()) return c.err().raise(kErrScalar);
  *out = v->sat(0, 0).value_or(std::string());
  return true;
}

bool number_arg(Call& c, int i, double* out) {
  Value v = c.arg(i);
  if (!v) return false;
  if (!v->numeric()) return c.err().raise(kErrNumeric);
  if (!v->is_scalar()) return c.err().raise(kErrScalar);
  *out = (*v)[0];
  return true;
}

std::optional<int> count_of(double v, ErrorState& err) {
  const double t = std::trunc(v);
  if (!(t >= 0 && t <= double(INT_MAX))) {  // also catches NaN
    err.raise(kErrRange);
    return std::nullopt;
  }
  return int(t);
}

std::optional<int> index_of(double v, int limit, ErrorState& err) {
  const double t = std::trunc(v);
  if (!(t >= 1 && t <= double(limit))) {
    err.raise(kErrRange);
    return std::nullopt;
  }
  return int(t) - 1;
}

std::optional<Matrix> new_matrix(int64_t rows, int64_t cols, bool numeric,
                                 Matrix::Fill fill, ErrorState& err) {
  if (rows < 0 || cols < 0 || rows > INT_MAX || cols > INT_MAX ||
      (cols != 0 && rows > kMaxElements / cols)) {
    err.raise(kErrRange);
    return std::nullopt;
  }
  try {
    return Matrix(int(rows), int(cols), numeric, fill);
  } catch (const std::bad_alloc&) {
    err.raise(kErrRange);
    return std::nullopt;
  }
}

const double* weights_of(const Matrix* w, int rows, bool& ok, ErrorState& err) {
  ok = true;
  if (!w) return nullptr;
  if (!need_numeric(*w, err)) {
    ok = false;
    return nullptr;
  }
  // A 1x0 weight has a row but no numbers: it counts as no weights.
  if (w->empty() || w->size() == 0) return nullptr;
  if (w->cols() != 1 || w->rows() != rows) {
    ok = err.raise(kErrDims);
    return nullptr;
  }
  return w->num();
}

}  // namespace vop::builtins
