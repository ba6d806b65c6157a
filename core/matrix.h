// The one value type of the script language: a two-dimensional matrix whose
// elements are all numbers or all strings, stored column by column.
//
// A numeric 1x1 matrix keeps its element inline, so scalars never touch the
// heap for their data. A string element may be absent (a cell made by
// growth that nothing has been stored in yet), which is not the same as an
// empty string.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace vop {

// One string element: absent (std::nullopt) or an owned byte string.
using StrCell = std::optional<std::string>;

class Matrix {
 public:
  // How new elements are initialised by the constructors.
  enum class Fill { Zero, Nan, Absent, None };

  Matrix() = default;  // 0x0 numeric, unnamed
  Matrix(int rows, int cols, bool numeric, Fill fill = Fill::Zero);
  ~Matrix() = default;

  // Values move at every step of an evaluation: these are inline.
  Matrix(Matrix&& other) noexcept;
  Matrix& operator=(Matrix&& other) noexcept;
  Matrix(const Matrix&) = delete;
  Matrix& operator=(const Matrix&) = delete;

  static Matrix scalar(double v) {
    Matrix m;
    m.rows_ = m.cols_ = 1;
    m.inline_ = v;
    return m;
  }
  static Matrix text(std::string s);
  static Matrix numbers(int rows, int cols) { return Matrix(rows, cols, true, Fill::Zero); }
  static Matrix strings(int rows, int cols) { return Matrix(rows, cols, false, Fill::Absent); }

  // A deep copy; the copy has no name.
  Matrix clone() const;

  // --- Name: set while the value is a variable of a frame --------------
  bool has_name() const { return !name_.empty(); }
  const std::string& name() const { return name_; }
  void set_name(std::string name) { name_ = std::move(name); }
  void clear_name() { name_.clear(); }
  // Take over the contents of `value`, keeping this variable's own name
  // (assignment to an existing variable); `value` is left empty and keeps
  // its name.
  inline void replace_contents(Matrix&& value) noexcept;
  // Become the numeric 1x1 matrix v, keeping the name.
  void set_scalar(double v) {
    heap_.reset();
    str_.reset();
    rows_ = cols_ = 1;
    numeric_ = true;
    inline_ = v;
    capacity_ = 1;
    num_ = &inline_;
  }

  // --- Shape ------------------------------------------------------------
  int rows() const { return rows_; }
  int cols() const { return cols_; }
  bool numeric() const { return numeric_; }
  bool empty() const { return rows_ == 0; }  // 0xN is empty, as 0x0 is
  bool is_scalar() const { return rows_ == 1 && cols_ == 1; }
  bool is_vector() const { return rows_ == 1 || cols_ == 1; }
  int64_t size() const { return int64_t(rows_) * cols_; }

  // --- Elements ---------------------------------------------------------
  double* num() { return num_; }
  const double* num() const { return num_; }
  double& at(int r, int c) { return num_[r + int64_t(rows_) * c]; }
  double at(int r, int c) const { return num_[r + int64_t(rows_) * c]; }
  double& operator[](int64_t i) { return num_[i]; }
  double operator[](int64_t i) const { return num_[i]; }

  StrCell* str() { return str_.get(); }
  const StrCell* str() const { return str_.get(); }
  StrCell& sat(int r, int c) { return str_[r + int64_t(rows_) * c]; }
  const StrCell& sat(int r, int c) const { return str_[r + int64_t(rows_) * c]; }

  void fill_zero();
  void fill_nan();
  void fill_absent();

  // Enlarge to at least min_rows x min_cols, keeping every element at its
  // (row, column). New numeric cells are 0, new string cells absent. An
  // empty matrix becomes exactly the requested size. The name stays.
  void grow(int min_rows, int min_cols);
  // Add `count` rows to a column (or an empty matrix): new numbers are
  // `fill`, new strings absent. In place while the storage has room; it
  // doubles when it has none, so that rows added one at a time cost
  // amortised O(1) each.
  void append_rows(int count, double fill) {
    const int old = rows_;
    if (cols_ == 1 && rows_ > 0 && int64_t(rows_) + count <= capacity_) rows_ += count;
    else grow(rows_ + count, 1);
    if (numeric_) std::fill(num_ + old, num_ + rows_, fill);
    else
      for (int i = old; i < rows_; ++i) str_[i].reset();
  }
  // Elements the storage holds before growth has to reallocate.
  int64_t capacity() const { return capacity_; }

  // Replace shape and contents by a fresh matrix of the given kind, keeping
  // the name.
  void reset(int rows, int cols, bool numeric, Fill fill = Fill::Zero);

 private:
  void allocate(Fill fill);
  bool grow_in_place(int nr, int nc);

  std::string name_;                  // variable name; empty for a temporary
  int rows_ = 0;                      // 0 means empty
  int cols_ = 0;
  bool numeric_ = true;               // doubles, or string cells
  double inline_ = 0;                 // storage of a 1x1 numeric matrix
  std::unique_ptr<double[]> heap_;    // storage of larger numeric matrices
  int64_t capacity_ = 1;              // elements heap_ (or str_) can hold
  double* num_ = &inline_;            // -> inline_ or heap_; numeric only
  std::unique_ptr<StrCell[]> str_;    // string cells; string matrices only
};

inline Matrix::Matrix(Matrix&& o) noexcept
    : name_(std::move(o.name_)),
      rows_(o.rows_),
      cols_(o.cols_),
      numeric_(o.numeric_),
      inline_(o.inline_),
      heap_(std::move(o.heap_)),
      capacity_(o.capacity_),
      str_(std::move(o.str_)) {
  num_ = heap_ ? heap_.get() : &inline_;
  o.rows_ = o.cols_ = 0;
  o.numeric_ = true;
  o.num_ = &o.inline_;
  o.capacity_ = 1;
}

inline Matrix& Matrix::operator=(Matrix&& o) noexcept {
  if (this == &o) return *this;
  name_ = std::move(o.name_);
  replace_contents(std::move(o));
  return *this;
}

inline void Matrix::replace_contents(Matrix&& o) noexcept {
  if (this == &o) return;
  rows_ = o.rows_;
  cols_ = o.cols_;
  numeric_ = o.numeric_;
  inline_ = o.inline_;
  capacity_ = o.capacity_;
  heap_ = std::move(o.heap_);
  str_ = std::move(o.str_);
  num_ = heap_ ? heap_.get() : &inline_;
  o.rows_ = o.cols_ = 0;
  o.numeric_ = true;
  o.num_ = &o.inline_;
  o.capacity_ = 1;
}

}  // namespace vop
