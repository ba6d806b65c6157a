#include "core/matrix.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace vop {

Matrix::Matrix(int rows, int cols, bool numeric, Fill fill)
    : rows_(rows), cols_(cols), numeric_(numeric) {
  if (rows_ < 0) rows_ = 0;
  if (cols_ < 0) cols_ = 0;
  allocate(fill);
}

void Matrix::allocate(Fill fill) {
  heap_.reset();
  str_.reset();
  num_ = &inline_;
  const int64_t n = size();
  capacity_ = numeric_ ? std::max<int64_t>(n, 1) : n;
  if (numeric_) {
    if (n > 1) {
      heap_ = std::make_unique_for_overwrite<double[]>(size_t(n));
      num_ = heap_.get();
    }
    if (fill == Fill::Zero) fill_zero();
    else if (fill == Fill::Nan) fill_nan();
  } else if (n > 0) {
    str_ = std::make_unique<StrCell[]>(size_t(n));  // all absent
  }
}


Matrix Matrix::text(std::string s) {
  Matrix m(1, 1, false);
  m.str_[0] = std::move(s);
  return m;
}

Matrix Matrix::clone() const {
  if (numeric_ && rows_ == 1 && cols_ == 1) return scalar(inline_);
  Matrix m(rows_, cols_, numeric_, Fill::None);
  const int64_t n = size();
  if (numeric_) std::copy(num_, num_ + n, m.num_);
  else std::copy(str_.get(), str_.get() + n, m.str_.get());
  return m;
}

void Matrix::fill_zero() {
  if (numeric_) std::fill(num_, num_ + size(), 0.0);
}

void Matrix::fill_nan() {
  if (numeric_) std::fill(num_, num_ + size(), std::numeric_limits<double>::quiet_NaN());
}

void Matrix::fill_absent() {
  if (!numeric_)
    for (int64_t i = 0; i < size(); ++i) str_[i].reset();
}

void Matrix::reset(int rows, int cols, bool numeric, Fill fill) {
  rows_ = std::max(rows, 0);
  cols_ = std::max(cols, 0);
  numeric_ = numeric;
  allocate(fill);
}

void Matrix::grow(int min_rows, int min_cols) {
  if (rows_ == 0) {
    reset(min_rows, min_cols, numeric_, numeric_ ? Fill::Zero : Fill::Absent);
    return;
  }
  const int nr = std::max(rows_, min_rows);
  const int nc = std::max(cols_, min_cols);
  if (nr == rows_ && nc == cols_) return;
  if (grow_in_place(nr, nc)) return;
  Matrix g(nr, nc, numeric_, numeric_ ? Fill::Zero : Fill::Absent);
  for (int c = 0; c < cols_; ++c) {
    if (numeric_) {
      std::copy(num_ + int64_t(rows_) * c, num_ + int64_t(rows_) * (c + 1),
                g.num_ + int64_t(nr) * c);
    } else {
      std::move(str_.get() + int64_t(rows_) * c, str_.get() + int64_t(rows_) * (c + 1),
                g.str_.get() + int64_t(nr) * c);
    }
  }
  g.name_ = std::move(name_);
  *this = std::move(g);
}

// A column that grows along its length, or a matrix that gains columns, is
// contiguous before and after, so it can be extended in place; capacity
// doubles so that appending a little at a time costs amortised O(1).
bool Matrix::grow_in_place(int nr, int nc) {
  const bool column = cols_ == 1 && nc == 1;
  const bool wider = nr == rows_;
  if (!column && !wider) return false;
  const int64_t old_n = size();
  const int64_t new_n = int64_t(nr) * nc;
  if (new_n > capacity_) {
    const int64_t cap = std::max(new_n, 2 * capacity_);
    if (numeric_) {
      auto h = std::make_unique_for_overwrite<double[]>(size_t(cap));
      std::copy(num_, num_ + old_n, h.get());
      heap_ = std::move(h);
      num_ = heap_.get();
    } else {
      auto h = std::make_unique<StrCell[]>(size_t(cap));
      std::move(str_.get(), str_.get() + old_n, h.get());
      str_ = std::move(h);
    }
    capacity_ = cap;
  }
  if (numeric_) std::fill(num_ + old_n, num_ + new_n, 0.0);
  else
    for (int64_t i = old_n; i < new_n; ++i) str_[i].reset();
  rows_ = nr;
  cols_ = nc;
  return true;
}

}  // namespace vop
