// Small builders and checks for the numeric builtin tests: matrices are
// written row by row, as a script writes them.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "core/errors.h"
#include "core/matrix.h"

namespace vop::builtins::testing {

inline Matrix M(std::initializer_list<std::initializer_list<double>> rows) {
  const int r = int(rows.size());
  const int c = r ? int(rows.begin()->size()) : 0;
  Matrix m(r, c, true);
  int i = 0;
  for (const auto& row : rows) {
    int j = 0;
    for (double v : row) m.at(i, j++) = v;
    ++i;
  }
  return m;
}

inline Matrix col(std::initializer_list<double> v) {
  Matrix m(int(v.size()), 1, true);
  int i = 0;
  for (double x : v) m[i++] = x;
  return m;
}

inline Matrix row(std::initializer_list<double> v) {
  Matrix m(1, int(v.size()), true);
  int i = 0;
  for (double x : v) m[i++] = x;
  return m;
}

// A string column; std::nullopt is an absent ("null") string.
inline Matrix scol(std::initializer_list<StrCell> v) {
  Matrix m = Matrix::strings(int(v.size()), 1);
  int i = 0;
  for (const auto& s : v) m.str()[i++] = s;
  return m;
}

inline Matrix named(Matrix m, const char* name = "x") {
  m.set_name(name);
  return m;
}

inline const double kNaN = std::nan("");
inline const double kInf = INFINITY;

// Same shape and type, and every element equal (NaN equals NaN) or within tol.
inline ::testing::AssertionResult Same(const Matrix& a, const Matrix& b, double tol = 0) {
  if (a.rows() != b.rows() || a.cols() != b.cols() || a.numeric() != b.numeric())
    return ::testing::AssertionFailure() << "shape " << a.rows() << "x" << a.cols()
                                         << (a.numeric() ? " numeric" : " string") << " vs "
                                         << b.rows() << "x" << b.cols()
                                         << (b.numeric() ? " numeric" : " string");
  for (int64_t k = 0; k < a.size(); ++k) {
    if (a.numeric()) {
      const double x = a[k], y = b[k];
      const bool eq = (std::isnan(x) && std::isnan(y)) || x == y || std::fabs(x - y) <= tol;
      if (!eq) return ::testing::AssertionFailure() << "element " << k << ": " << x << " vs " << y;
    } else if (a.str()[k] != b.str()[k]) {
      return ::testing::AssertionFailure() << "string element " << k << " differs";
    }
  }
  return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult Same(const std::optional<Matrix>& a, const Matrix& b,
                                       double tol = 0) {
  if (!a) return ::testing::AssertionFailure() << "no value";
  return Same(*a, b, tol);
}

// Runs a kernel that must fail, and returns the code it raised.
template <class F>
int code_of(F&& f) {
  ErrorState err;
  auto r = f(err);
  EXPECT_FALSE(bool(r)) << "expected a failure";
  return err.code();
}

// A matrix product, for reconstruction checks.
inline Matrix mul(const Matrix& a, const Matrix& b) {
  Matrix c(a.rows(), b.cols(), true);
  for (int i = 0; i < a.rows(); ++i)
    for (int j = 0; j < b.cols(); ++j) {
      double s = 0;
      for (int k = 0; k < a.cols(); ++k) s += a.at(i, k) * b.at(k, j);
      c.at(i, j) = s;
    }
  return c;
}

inline Matrix transpose(const Matrix& a) {
  Matrix t(a.cols(), a.rows(), true);
  for (int i = 0; i < a.rows(); ++i)
    for (int j = 0; j < a.cols(); ++j) t.at(j, i) = a.at(i, j);
  return t;
}

}  // namespace vop::builtins::testing
