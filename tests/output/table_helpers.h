// Building table parts in tests: matrices written row by row, as a script
// writes them.
#pragma once

#include <initializer_list>
#include <string>

#include "core/errors.h"
#include "core/matrix.h"
#include "output/output_stream.h"
#include "output/write_table.h"

namespace vop::test {

inline Matrix nums(int rows, int cols, std::initializer_list<double> by_row) {
  Matrix m = Matrix::numbers(rows, cols);
  auto it = by_row.begin();
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) m.at(r, c) = *it++;
  return m;
}

// nullptr makes an absent element.
inline Matrix strs(int rows, int cols, std::initializer_list<const char*> by_row) {
  Matrix m = Matrix::strings(rows, cols);
  auto it = by_row.begin();
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c, ++it)
      if (*it) m.sat(r, c) = std::string(*it);
  return m;
}

// A stream armed for one redirected run of the given kind.
struct Redirected {
  explicit Redirected(bool html) { armed = out.arm_redirect(html); }
  std::string write(const TableParts& parts) {
    WriteTable(out, parts, err, {});
    return out.redirect()->contents();
  }
  OutputStream out;
  ErrorState err;
  bool armed = false;
};

}  // namespace vop::test
