// The quantiles come from R's mathematics library (libRmath), built for
// use outside R.
#include "builtins/distributions.h"

#define MATHLIB_STANDALONE
#include <Rmath.h>

#include <cmath>

namespace vop::builtins {

namespace {

double t_q(double p, double df) {
  if (std::isnan(p) || std::isnan(df) || df <= 0 || p < 0 || p > 1) return NAN;
  if (std::isinf(df)) return qnorm(p, 0.0, 1.0, 1, 0);
  return qt(p, df, 1, 0);
}

}  // namespace

std::optional<Matrix> normal_quantile(const Matrix& p, ErrorState& err) {
  if (!p.numeric()) return err.raise(kErrNumeric), std::nullopt;
  Matrix out = Matrix::numbers(p.rows(), p.cols());
  const int64_t n = int64_t(p.rows()) * p.cols();
  for (int64_t k = 0; k < n; ++k) {
    const double x = p.num()[k];
    out.num()[k] = std::isnan(x) || x < 0 || x > 1 ? NAN : qnorm(x, 0.0, 1.0, 1, 0);
  }
  return out;
}

std::optional<Matrix> t_quantile(const Matrix& p, const Matrix& df, ErrorState& err) {
  if (!p.numeric() || !df.numeric()) return err.raise(kErrNumeric), std::nullopt;
  const bool one_p = p.rows() == 1 && p.cols() == 1;
  const bool one_df = df.rows() == 1 && df.cols() == 1;
  if (!one_p && !one_df && (df.rows() != p.rows() || df.cols() != p.cols()))
    return err.raise(kErrDims), std::nullopt;
  const Matrix& shape = one_p ? df : p;
  Matrix out = Matrix::numbers(shape.rows(), shape.cols());
  const int64_t n = int64_t(shape.rows()) * shape.cols();
  for (int64_t k = 0; k < n; ++k)
    out.num()[k] = t_q(p.num()[one_p ? 0 : k], df.num()[one_df ? 0 : k]);
  return out;
}

}  // namespace vop::builtins
