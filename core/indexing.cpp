#include "core/indexing.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vop {

namespace {

// Positions are kept within what a matrix dimension can hold.
constexpr double kMaxPosition = double(std::numeric_limits<int>::max());

bool position_ok(double x, int64_t dim, bool growing) {
  if (!std::isfinite(x)) return false;
  const double t = std::trunc(x);
  if (t < 1 || t > kMaxPosition) return false;
  return growing || int64_t(t) <= dim;
}

// Copy element `from` of src into element `to` of dst (same kind).
inline void copy_cell(const Matrix& src, int64_t from, Matrix& dst, int64_t to) {
  if (src.numeric()) dst[to] = src[from];
  else dst.str()[to] = src.str()[from];
}

}  // namespace

// --- Index -----------------------------------------------------------------------

bool Index::from_range(double start, double end, double step, int64_t dim, bool growing,
                       Index* out, ErrorState& err) {
  if (std::isinf(end) && end > 0) end = double(dim);
  if (!std::isfinite(start) || !std::isfinite(end) || !std::isfinite(step) || step == 0)
    return err.raise(kErrRange);
  start = std::trunc(start);
  end = std::trunc(end);
  step = std::trunc(step);
  if (step == 0 || start < 1 || end < 1) return err.raise(kErrRange);
  if ((step > 0 && start > end) || (step < 0 && start < end)) return err.raise(kErrIndexValue);
  const double last = start + std::floor((end - start) / step) * step;
  if (!position_ok(std::max(start, last), dim, growing)) return err.raise(kErrRange);
  Index ix(Kind::Range);
  ix.first_ = int64_t(start) - 1;
  ix.step_ = int64_t(step);
  ix.range_count_ = int64_t(std::floor((end - start) / step)) + 1;
  *out = std::move(ix);
  return true;
}

bool Index::from_value(const Matrix& v, int64_t dim, bool growing, Index* out,
                       ErrorState& err) {
  if (!v.numeric()) return err.raise(kErrNumeric);
  if (v.rows() > 1 && v.cols() > 1) return err.raise(kErrVector);
  Index ix(Kind::List);
  ix.list_.reserve(size_t(v.size()));
  for (int64_t k = 0; k < v.size(); ++k) {
    if (!position_ok(v[k], dim, growing)) return err.raise(kErrRange);
    ix.list_.push_back(int64_t(std::trunc(v[k])) - 1);
  }
  *out = std::move(ix);
  return true;
}

int64_t Index::extent(int64_t dim) const {
  switch (kind_) {
    case Kind::All: return dim;
    case Kind::Range:
      return range_count_ == 0 ? 0 : std::max(first_, first_ + (range_count_ - 1) * step_) + 1;
    case Kind::List: {
      int64_t m = -1;
      for (int64_t p : list_) m = std::max(m, p);
      return m + 1;
    }
  }
  return 0;
}

// --- Reading ---------------------------------------------------------------------

Value index_read(const Matrix& v, const Index& i, const Index* j, ErrorState& err) {
  (void)err;
  if (v.empty()) return Matrix();
  if (!j) {
    const int64_t n = i.count(v.size());
    if (n == 0) return Matrix();
    const bool row = v.rows() == 1;
    Matrix out(row ? 1 : int(n), row ? int(n) : 1, v.numeric(), Matrix::Fill::None);
    for (int64_t k = 0; k < n; ++k) copy_cell(v, i.at(k), out, k);
    return out;
  }
  const int64_t nr = i.count(v.rows()), nc = j->count(v.cols());
  if (nr == 0 || nc == 0) return Matrix();
  Matrix out(int(nr), int(nc), v.numeric(), Matrix::Fill::None);
  const int64_t rows = v.rows();
  for (int64_t c = 0; c < nc; ++c) {
    const int64_t base = j->at(c) * rows;
    for (int64_t r = 0; r < nr; ++r) copy_cell(v, base + i.at(r), out, r + nr * c);
  }
  return out;
}

// --- Assignment --------------------------------------------------------------------

bool index_assign(Matrix& target, const Index& i, const Index* j, const Matrix& value,
                  ErrorState& err) {
  if (value.numeric() != target.numeric()) {
    if (!target.empty()) return err.raise(kErrTypes);
    target.reset(0, 0, value.numeric());
  }
  const bool fill = value.is_scalar();

  if (!j) {
    // One index: decide the direction of growth first.
    const bool is_row = target.rows() == 1 && target.cols() > 1;
    const bool grows = target.empty() || target.cols() == 1 || is_row;
    const int64_t dim = target.size();
    const int64_t n = i.count(dim);
    if (!fill && value.size() != n) return err.raise(kErrDims);
    const int64_t need = i.extent(dim);
    if (need > dim) {
      if (!grows) return err.raise(kErrRange);
      if (need > std::numeric_limits<int>::max()) return err.raise(kErrRange);
      if (is_row) target.grow(1, int(need));
      else target.grow(int(need), std::max(target.cols(), 1));
    }
    for (int64_t k = 0; k < n; ++k) copy_cell(value, fill ? 0 : k, target, i.at(k));
    return true;
  }

  // Two indexes. ":" on a dimension that is still 0 takes the value's size.
  int64_t rows_all = target.rows(), cols_all = target.cols();
  if (target.empty()) {
    rows_all = fill ? 1 : value.rows();
    cols_all = fill ? 1 : value.cols();
  }
  const int64_t nr = i.count(rows_all), nc = j->count(cols_all);
  if (!fill && value.size() != nr * nc) return err.raise(kErrDims);
  const int64_t need_r = i.extent(rows_all), need_c = j->extent(cols_all);
  if (need_r > std::numeric_limits<int>::max() || need_c > std::numeric_limits<int>::max())
    return err.raise(kErrRange);
  target.grow(int(need_r), int(need_c));
  const int64_t rows = target.rows();
  for (int64_t c = 0; c < nc; ++c)
    for (int64_t r = 0; r < nr; ++r)
      copy_cell(value, fill ? 0 : r + nr * c, target, i.at(r) + rows * j->at(c));
  return true;
}

// --- Deletion ------------------------------------------------------------------------

namespace {

// Marks of the positions to delete in a dimension of size n.
std::vector<char> marks(const Index& ix, int64_t n) {
  std::vector<char> del(size_t(n), 0);
  for (int64_t k = 0; k < ix.count(n); ++k) del[size_t(ix.at(k))] = 1;
  return del;
}

}  // namespace

bool index_delete(Matrix& target, const Index& i, const Index* j, ErrorState& err) {
  if (!j) {
    if (target.rows() > 1 && target.cols() > 1) return err.raise(kErrNoColumn);
    const std::vector<char> del = marks(i, target.size());
    const int64_t kept = std::count(del.begin(), del.end(), 0);
    const bool row = target.rows() == 1;
    Matrix out(row ? 1 : int(kept), row ? int(kept) : 1, target.numeric(), Matrix::Fill::None);
    int64_t k = 0;
    for (int64_t p = 0; p < target.size(); ++p)
      if (!del[size_t(p)]) {
        if (target.numeric()) out[k++] = target[p];
        else out.str()[k++] = std::move(target.str()[p]);
      }
    if (kept == 0) out = Matrix(0, 0, target.numeric());
    std::string name = target.name();
    target = std::move(out);
    target.set_name(std::move(name));
    return true;
  }
  if (!i.is_all() && !j->is_all()) return err.raise(kErrRowAndColumn);
  const bool rows_go = !i.is_all() || j->is_all();
  const std::vector<char> del_r = rows_go ? marks(i, target.rows()) : std::vector<char>(size_t(target.rows()), 0);
  const std::vector<char> del_c = rows_go ? std::vector<char>(size_t(target.cols()), 0) : marks(*j, target.cols());
  const int64_t kr = std::count(del_r.begin(), del_r.end(), 0);
  const int64_t kc = std::count(del_c.begin(), del_c.end(), 0);
  Matrix out(int(kr), int(kc), target.numeric(), Matrix::Fill::None);
  if (kr == 0 || kc == 0) out = Matrix(0, 0, target.numeric());
  else {
    int64_t to = 0;
    for (int64_t c = 0; c < target.cols(); ++c) {
      if (del_c[size_t(c)]) continue;
      for (int64_t r = 0; r < target.rows(); ++r) {
        if (del_r[size_t(r)]) continue;
        const int64_t from = r + int64_t(target.rows()) * c;
        if (target.numeric()) out[to++] = target[from];
        else out.str()[to++] = std::move(target.str()[from]);
      }
    }
  }
  std::string name = target.name();
  target = std::move(out);
  target.set_name(std::move(name));
  return true;
}

}  // namespace vop
