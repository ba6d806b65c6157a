// Indexing of matrices: reading v(i) and v(i, j), indexed assignment with
// growth, and deletion of rows, columns or vector elements.
//
// The evaluator turns each written index (":", a range, or an expression's
// value) into an Index bound to one dimension; the operations below then
// work on resolved, 0-based positions.
#pragma once

#include <cstdint>
#include <vector>

#include "core/errors.h"
#include "core/value.h"

namespace vop {

// One index of a reference, as 0-based positions.
class Index {
 public:
  enum class Kind {
    All,    // ":" : the whole dimension
    Range,  // first, first + step, ... (count positions)
    List,   // the listed positions
  };

  static Index all() { return Index(Kind::All); }

  // A range written start:end or start:step:end. An end of Inf means the
  // dimension's size; start and end must be 1 or more (68), the step not 0
  // (68); a start beyond the end for the step's direction raises 89. With
  // `growing`, positions past the dimension are allowed (assignment).
  static bool from_range(double start, double end, double step, int64_t dim, bool growing,
                         Index* out, ErrorState& err);
  // An expression's value: a numeric (63) scalar or vector (67); values
  // truncated, below 1 or not finite raise 68, and so do values past the
  // dimension unless `growing`. An empty value selects nothing.
  static bool from_value(const Matrix& v, int64_t dim, bool growing, Index* out,
                         ErrorState& err);

  Kind kind() const { return kind_; }
  bool is_all() const { return kind_ == Kind::All; }
  // Number of positions selected in a dimension of size dim.
  int64_t count(int64_t dim) const {
    return kind_ == Kind::All ? dim : kind_ == Kind::Range ? range_count_ : int64_t(list_.size());
  }
  // The k-th selected position.
  int64_t at(int64_t k) const {
    return kind_ == Kind::All ? k : kind_ == Kind::Range ? first_ + k * step_ : list_[size_t(k)];
  }
  // One past the largest position selected (0 for none); All gives dim.
  int64_t extent(int64_t dim) const;

 private:
  explicit Index(Kind k) : kind_(k) {}
  Kind kind_;
  int64_t first_ = 0, step_ = 1, range_count_ = 0;  // Range
  std::vector<int64_t> list_;                       // List
};

// v(i) or, with j, v(i, j). An empty matrix gives an empty 0x0 matrix. One
// index selects in column-major order and gives a column, or a row when v
// has one row.
Value index_read(const Matrix& v, const Index& i, const Index* j, ErrorState& err);

// target(i) = value or target(i, j) = value: grows the target so that every
// position fits; a 1x1 value fills every selected place, any other value
// must have as many elements as the selection (70); a value of the other
// kind raises 71 unless the target is empty. With one index a row grows
// along its row, a column, a 1x1 or an empty matrix as a column, and a
// matrix of several rows and columns does not grow (68).
bool index_assign(Matrix& target, const Index& i, const Index* j, const Matrix& value,
                  ErrorState& err);

// target(i, :) = [], target(:, j) = [], or v(i) = [] on a vector.
bool index_delete(Matrix& target, const Index& i, const Index* j, ErrorState& err);

}  // namespace vop
