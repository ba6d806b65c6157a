// The cross-products are sums over cases of centred values, which is a
// matrix product Z_x' (w .* Z_y). The cases are taken in blocks of
// kBlockRows: each block is centred into a small buffer and handed to BLAS,
// so the work runs at matrix-multiply speed without a centred copy of the
// whole data.
#include "builtins/corr.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "builtins/fortran.h"
#include "builtins/arg_checks.h"

namespace vop::builtins {

namespace {

// Rows per block: two buffers of 256 x cols doubles stay in the L2 cache
// for up to a few hundred variables.
constexpr int kBlockRows = 256;

std::vector<double> column_means(const Matrix& m, const double* w) {
  const int64_t rows = m.rows();
  std::vector<double> means(static_cast<size_t>(m.cols()));
  for (int64_t j = 0; j < m.cols(); ++j) {
    const double* x = m.num() + j * rows;
    double s = 0, ws = 0;
    for (int64_t i = 0; i < rows; ++i) {
      const double wi = w ? w[i] : 1.0;
      s += wi * x[i];
      ws += wi;
    }
    means[size_t(j)] = s / ws;
  }
  return means;
}

// Copy rows [from, from + n) of m, centred, into buf (n x cols, column by
// column), and add the weighted squares of each column to sq.
void centre_block(const Matrix& m, const std::vector<double>& means, const double* w,
                  int64_t from, int n, double* buf, std::vector<double>& sq) {
  const int64_t rows = m.rows();
  for (int64_t j = 0; j < m.cols(); ++j) {
    const double* x = m.num() + j * rows + from;
    double* b = buf + j * n;
    const double mean = means[size_t(j)];
    double s = 0;
    for (int i = 0; i < n; ++i) {
      const double d = x[i] - mean;
      s += (w ? w[from + i] : 1.0) * d * d;
      b[i] = d;
    }
    sq[size_t(j)] += s;
  }
}

// dst = w .* src for a block of n rows and `cols` columns.
void weigh_block(const double* src, const double* w, int64_t from, int n, int cols, double* dst) {
  for (int64_t j = 0; j < cols; ++j)
    for (int i = 0; i < n; ++i) dst[j * n + i] = w[from + i] * src[j * n + i];
}

// Standard deviations (unnormalised) from sums of squares; 88 for a zero.
bool spreads(std::vector<double>& sq, ErrorState& err) {
  for (double& s : sq) {
    s = std::sqrt(s);
    if (s == 0) return err.raise(kErrZeroVariance);
  }
  return true;
}

}  // namespace

std::optional<Matrix> corr(const Matrix& x, const Matrix* y, const Matrix* w, ErrorState& err) {
  if (!need_numbers(x, err)) return std::nullopt;
  if (y) {
    if (!need_numeric(*y, err)) return std::nullopt;
    if (!y->empty() && y->rows() != x.rows()) {
      err.raise(kErrDims);
      return std::nullopt;
    }
    if (y->empty()) y = nullptr;
  }
  bool ok = true;
  const double* weights = weights_of(w, x.rows(), ok, err);
  if (!ok) return std::nullopt;
  if (!y && x.rows() < 2) {
    err.raise(kErrNotEmpty);
    return std::nullopt;
  }

  const int cx = x.cols(), cy = y ? y->cols() : cx;
  const int64_t rows = x.rows();
  const std::vector<double> mx = column_means(x, weights);
  const std::vector<double> my = y ? column_means(*y, weights) : std::vector<double>{};
  // Left operand: the centred block of X. Right operand: the centred block
  // of Y (or X again), multiplied by the weights when there are any.
  std::vector<double> bx(size_t(kBlockRows) * size_t(cx));
  std::vector<double> by(y || weights ? size_t(kBlockRows) * size_t(cy) : 0);
  std::vector<double> sqx(static_cast<size_t>(cx)), sqy(static_cast<size_t>(cy));
  std::vector<double> cross(size_t(cx) * size_t(cy), 0.0);

  for (int64_t from = 0; from < rows; from += kBlockRows) {
    const int n = int(std::min<int64_t>(kBlockRows, rows - from));
    centre_block(x, mx, weights, from, n, bx.data(), sqx);
    const double* right = bx.data();
    if (y) {
      centre_block(*y, my, weights, from, n, by.data(), sqy);
      if (weights) weigh_block(by.data(), weights, from, n, cy, by.data());
      right = by.data();
    } else if (weights) {
      weigh_block(bx.data(), weights, from, n, cx, by.data());
      right = by.data();
    }
    const double one = 1.0;
    if (cx == 0 || cy == 0) continue;  // no variables: BLAS rejects the empty product
    dgemm_("T", "N", &cx, &cy, &n, &one, bx.data(), &n, right, &n, &one, cross.data(), &cx, 1,
           1);
  }

  if (!y) {
    for (int a = 0; a < cx; ++a) sqx[size_t(a)] = cross[size_t(a) + size_t(a) * cx];
    if (!spreads(sqx, err)) return std::nullopt;
    Matrix out(cx, cx, true, Matrix::Fill::None);
    for (int b = 0; b < cx; ++b) {
      for (int a = 0; a < b; ++a) {
        const double r = cross[size_t(a) + size_t(b) * cx] / (sqx[size_t(a)] * sqx[size_t(b)]);
        out.at(a, b) = out.at(b, a) = r;
      }
      out.at(b, b) = 1.0;
    }
    return out;
  }
  if (!spreads(sqx, err) || !spreads(sqy, err)) return std::nullopt;
  Matrix out(cx, cy, true, Matrix::Fill::None);
  for (int b = 0; b < cy; ++b)
    for (int a = 0; a < cx; ++a)
      out.at(a, b) = cross[size_t(a) + size_t(b) * cx] / (sqx[size_t(a)] * sqy[size_t(b)]);
  return out;
}

}  // namespace vop::builtins
