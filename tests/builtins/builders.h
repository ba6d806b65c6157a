// Small constructors for test matrices.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "core/matrix.h"

namespace vop::test {

inline constexpr std::nullopt_t kNull = std::nullopt;

// A numeric matrix from rows written as in a script: nums(2, 2, {1, 2, 3, 4})
// is [1 2; 3 4].
inline Matrix nums(int rows, int cols, std::initializer_list<double> row_major) {
  Matrix m = Matrix::numbers(rows, cols);
  auto it = row_major.begin();
  for (int i = 0; i < rows; ++i)
    for (int j = 0; j < cols; ++j) m.at(i, j) = *it++;
  return m;
}

// A string matrix from rows, kNull for an absent element.
inline Matrix strs(int rows, int cols, std::initializer_list<StrCell> row_major) {
  Matrix m = Matrix::strings(rows, cols);
  auto it = row_major.begin();
  for (int i = 0; i < rows; ++i)
    for (int j = 0; j < cols; ++j) m.sat(i, j) = *it++;
  return m;
}

// The elements of a string matrix in row-major order, absent as "<null>".
inline std::vector<std::string> cells(const Matrix& m) {
  std::vector<std::string> out;
  for (int i = 0; i < m.rows(); ++i)
    for (int j = 0; j < m.cols(); ++j) out.push_back(m.sat(i, j).value_or("<null>"));
  return out;
}

}  // namespace vop::test
