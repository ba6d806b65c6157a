// Written in the order of the header: sized constants, tiling, diagonal,
// reshaping and insertion, then the queries.
#include "builtins/construct.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

namespace vop::builtins {

namespace {

// Copy one element of a matrix of either type into another of the same type.
void copy_element(const Matrix& src, int64_t from, Matrix& dst, int64_t to) {
  if (src.numeric()) dst[to] = src[from];
  else dst.str()[to] = src.str()[from];
}

// A one- or two-element count argument: n gives n x n, [r c] gives r x c.
std::optional<Shape> shape_from_counts(const Matrix& a, ErrorState& err) {
  if (a.is_scalar()) {
    auto n = count_of(a[0], err);
    if (!n) return std::nullopt;
    return Shape{*n, *n};
  }
  if (a.size() != 2 || !a.is_vector()) {
    err.raise(kErrDims);
    return std::nullopt;
  }
  auto r = count_of(a[0], err);
  if (!r) return std::nullopt;
  auto c = count_of(a[1], err);
  if (!c) return std::nullopt;
  return Shape{*r, *c};
}

}  // namespace

// --- Sized constants ------------------------------------------------------

std::optional<Shape> shape_from_args(const Matrix& first, const Matrix* second, ErrorState& err) {
  if (!need_numbers(first, err)) return std::nullopt;
  if (!second) return shape_from_counts(first, err);
  if (!need_scalar(first, err)) return std::nullopt;
  if (!need_numbers(*second, err) || !need_scalar(*second, err)) return std::nullopt;
  auto r = count_of(first[0], err);
  if (!r) return std::nullopt;
  auto c = count_of((*second)[0], err);
  if (!c) return std::nullopt;
  return Shape{*r, *c};
}

std::optional<Matrix> constant_matrix(Constant kind, Shape shape, ErrorState& err) {
  const bool diagonal_only = kind == Constant::Identity;
  auto m = new_matrix(shape.rows, shape.cols, true,
                      diagonal_only ? Matrix::Fill::Zero : Matrix::Fill::None, err);
  if (!m) return std::nullopt;
  if (diagonal_only) {
    for (int i = 0, n = std::min(shape.rows, shape.cols); i < n; ++i) m->at(i, i) = 1.0;
  } else {
    std::fill(m->num(), m->num() + m->size(), kind == Constant::Ones ? 1.0 : 0.0);
  }
  return m;
}

namespace {

std::optional<Matrix> constant_from_args(Constant kind, const Matrix& first, const Matrix* second,
                                         ErrorState& err) {
  auto shape = shape_from_args(first, second, err);
  if (!shape) return std::nullopt;
  return constant_matrix(kind, *shape, err);
}

}  // namespace

std::optional<Matrix> zeros(const Matrix& first, const Matrix* second, ErrorState& err) {
  return constant_from_args(Constant::Zeros, first, second, err);
}

std::optional<Matrix> ones(const Matrix& first, const Matrix* second, ErrorState& err) {
  return constant_from_args(Constant::Ones, first, second, err);
}

std::optional<Matrix> eye(const Matrix& first, const Matrix* second, ErrorState& err) {
  return constant_from_args(Constant::Identity, first, second, err);
}

// --- Tiling ----------------------------------------------------------------

std::optional<Shape> tile_counts(const Matrix& first, const Matrix& second, bool has_third,
                                 ErrorState& err) {
  if (!need_numbers(first, err)) return std::nullopt;
  if (!first.is_scalar() || !has_third) {
    auto times = shape_from_counts(first, err);
    if (times && has_third) {
      err.raise(kErrTooManyArgs);
      return std::nullopt;
    }
    return times;
  }
  if (!need_numeric(second, err)) return std::nullopt;
  if (!second.is_scalar()) {
    err.raise(kErrDims);
    return std::nullopt;
  }
  auto r = count_of(first[0], err);
  if (!r) return std::nullopt;
  auto c = count_of(second[0], err);
  if (!c) return std::nullopt;
  return Shape{*r, *c};
}

std::optional<Matrix> tile(const Matrix& m, Shape times, ErrorState& err) {
  const int tr = m.rows(), tc = m.cols();
  const bool numeric = m.numeric();
  auto out = new_matrix(int64_t(tr) * times.rows, int64_t(tc) * times.cols, numeric,
                        numeric ? Matrix::Fill::None : Matrix::Fill::Absent, err);
  if (!out) return std::nullopt;
  const int64_t out_rows = out->rows();
  for (int j = 0; j < out->cols(); ++j) {
    const int64_t src = int64_t(j % tc) * tr;
    const int64_t dst = j * out_rows;
    for (int64_t i = 0; i < out_rows; ++i) copy_element(m, src + i % tr, *out, dst + i);
  }
  return out;
}

std::optional<Matrix> make(const Matrix& first, const Matrix& second, const Matrix* third,
                           ErrorState& err) {
  auto times = tile_counts(first, second, third != nullptr, err);
  if (!times) return std::nullopt;
  return tile(third ? *third : second, *times, err);
}

// --- Diagonal ---------------------------------------------------------------

std::optional<Matrix> diag(const Matrix& x, ErrorState& err) {
  if (!need_numbers(x, err)) return std::nullopt;
  if (x.is_vector()) {
    const int64_t n = x.size();
    auto out = new_matrix(n, n, true, Matrix::Fill::Zero, err);
    if (!out) return std::nullopt;
    for (int i = 0; i < n; ++i) out->at(i, i) = x[i];
    return out;
  }
  const int n = std::min(x.rows(), x.cols());
  Matrix out(n, 1, true, Matrix::Fill::None);
  for (int i = 0; i < n; ++i) out[i] = x.at(i, i);
  return out;
}

std::optional<Matrix> trace(const Matrix& x, ErrorState& err) {
  if (!need_numbers(x, err)) return std::nullopt;
  double sum = 0;
  for (int i = 0, n = std::min(x.rows(), x.cols()); i < n; ++i) sum += x.at(i, i);
  return Matrix::scalar(sum);
}

// --- Reshaping and insertion -------------------------------------------------

std::optional<Matrix> reshape(Matrix&& m, const Matrix& second, const Matrix* third,
                              ErrorState& err) {
  if (!need_numeric(second, err)) return std::nullopt;
  double r = 0, c = 0;
  if (!third) {
    if (second.is_scalar()) {
      err.raise(kErrMissingArgs);  // r alone needs c as a third argument
      return std::nullopt;
    }
    if (second.size() != 2) {
      err.raise(kErrDims);
      return std::nullopt;
    }
    r = second[0];
    c = second[1];
  } else {
    if (!need_scalar(second, err)) return std::nullopt;
    if (!need_numeric(*third, err) || !need_scalar(*third, err)) return std::nullopt;
    r = second[0];
    c = (*third)[0];
  }
  // The product is compared as passed, and again after truncation, so that
  // fractional counts such as 1.5 x 4 can never name more cells than exist.
  const int64_t n = m.size();
  const double tr = std::trunc(r), tc = std::trunc(c);
  if (r * c != double(n) || !(tr >= 0 && tc >= 0) || tr * tc != double(n)) {
    err.raise(kErrRange);
    return std::nullopt;
  }
  // With no elements either factor may be any size; it must still fit.
  if (tr > INT_MAX || tc > INT_MAX) {
    err.raise(kErrRange);
    return std::nullopt;
  }
  auto out = new_matrix(int64_t(tr), int64_t(tc), m.numeric(), Matrix::Fill::None, err);
  if (!out) return std::nullopt;
  if (m.numeric()) std::copy(m.num(), m.num() + n, out->num());
  else std::move(m.str(), m.str() + n, out->str());
  return out;
}

std::optional<Matrix> insertrow(const Matrix& m, const Matrix& idx, const Matrix& r,
                                ErrorState& err) {
  if (!need_nonempty(m, err) || !need_numbers(idx, err)) return std::nullopt;
  const int64_t k = idx.size();
  // Each insertion: the 0-based row of M it goes before, and the row of R.
  struct Insert {
    int before;  // row of M the new row precedes
    int from;    // row of R that is inserted
  };
  std::vector<Insert> inserts;
  inserts.reserve(size_t(k));
  for (int64_t i = 0; i < k; ++i) {
    auto p = index_of(idx[i], m.rows(), err);
    if (!p) return std::nullopt;
    inserts.push_back({*p, int(i)});
  }
  if (!need_nonempty(r, err)) return std::nullopt;
  if (r.numeric() != m.numeric()) {
    err.raise(kErrTypes);
    return std::nullopt;
  }
  if (r.cols() != m.cols() || (r.rows() != 1 && r.rows() != k)) {
    err.raise(kErrDims);
    return std::nullopt;
  }
  if (r.rows() == 1) inserts.resize(1);  // one row goes in, at idx(1)
  std::stable_sort(inserts.begin(), inserts.end(),
                   [](const Insert& a, const Insert& b) { return a.before < b.before; });

  // Source of each result row: >= 0 a row of M, < 0 row (-1 - s) of R.
  std::vector<int> source;
  source.reserve(size_t(m.rows()) + inserts.size());
  size_t next = 0;
  for (int i = 0; i < m.rows(); ++i) {
    for (; next < inserts.size() && inserts[next].before == i; ++next)
      source.push_back(-1 - inserts[next].from);
    source.push_back(i);
  }
  auto out = new_matrix(int64_t(source.size()), m.cols(), m.numeric(),
                        m.numeric() ? Matrix::Fill::None : Matrix::Fill::Absent, err);
  if (!out) return std::nullopt;
  const int64_t rows = out->rows();
  for (int j = 0; j < m.cols(); ++j) {
    for (int64_t i = 0; i < rows; ++i) {
      const int s = source[size_t(i)];
      if (s >= 0) copy_element(m, s + int64_t(m.rows()) * j, *out, i + rows * j);
      else copy_element(r, (-1 - s) + int64_t(r.rows()) * j, *out, i + rows * j);
    }
  }
  return out;
}

// --- Queries ---------------------------------------------------------------

Matrix size_of(const Matrix& x) {
  Matrix out(1, 2, true, Matrix::Fill::None);
  out[0] = x.rows();
  out[1] = x.cols();
  return out;
}

std::optional<Matrix> size_along(const Matrix& x, const Matrix& k, ErrorState& err) {
  if (!need_numeric(k, err) || !need_scalar(k, err)) return std::nullopt;
  const double which = std::trunc(k[0]);
  if (which == 1) return Matrix::scalar(x.rows());
  if (which == 2) return Matrix::scalar(x.cols());
  err.raise(kErrRange);
  return std::nullopt;
}

namespace {

// Number of elements that are not 0 (NaN != 0, so NaN counts).
int64_t count_nonzero(const Matrix& x) {
  int64_t k = 0;
  for (int64_t i = 0, n = x.size(); i < n; ++i) k += x[i] != 0;
  return k;
}

}  // namespace

std::optional<Matrix> find_nonzero(const Matrix& x, ErrorState& err) {
  if (!need_numbers(x, err)) return std::nullopt;
  auto out = new_matrix(count_nonzero(x), 1, true, Matrix::Fill::None, err);
  if (!out) return std::nullopt;
  int64_t k = 0;
  for (int64_t i = 0, n = x.size(); i < n; ++i)
    if (x[i] != 0) (*out)[k++] = double(i + 1);
  return out;
}

std::optional<RowsCols> find_rows_cols(const Matrix& x, ErrorState& err) {
  if (!need_numbers(x, err)) return std::nullopt;
  const int64_t count = count_nonzero(x);
  auto rows = new_matrix(count, 1, true, Matrix::Fill::None, err);
  if (!rows) return std::nullopt;
  auto cols = new_matrix(count, 1, true, Matrix::Fill::None, err);
  if (!cols) return std::nullopt;
  int64_t k = 0;
  for (int j = 0; j < x.cols(); ++j)
    for (int i = 0; i < x.rows(); ++i)
      if (x.at(i, j) != 0) {
        (*rows)[k] = i + 1;
        (*cols)[k] = j + 1;
        ++k;
      }
  return RowsCols{std::move(*rows), std::move(*cols)};
}

std::optional<Matrix> any_nonzero(const Matrix& x, ErrorState& err) {
  if (!need_numeric(x, err)) return std::nullopt;
  auto any_in = [](const double* p, int64_t n) {
    return std::any_of(p, p + n, [](double v) { return v != 0; });
  };
  if (x.rows() <= 1 || x.cols() == 1) return Matrix::scalar(any_in(x.num(), x.size()));
  Matrix out(1, x.cols(), true, Matrix::Fill::None);
  for (int j = 0; j < x.cols(); ++j)
    out[j] = any_in(x.num() + int64_t(j) * x.rows(), x.rows());
  return out;
}

}  // namespace vop::builtins
