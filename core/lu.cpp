#include "core/lu.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>


namespace vop {

namespace {

// A pivot smaller than this is numerically indistinguishable from zero for
// data of the magnitudes a survey produces: the matrix is probably singular.
constexpr double kTinyPivot = 1e-15;

}  // namespace

void lu_decompose(double* a, int n, int* perm, int& sign, ErrorState& err) {
  const int64_t ld = n;
  auto at = [a, ld](int i, int j) -> double& { return a[i + ld * j]; };

  // Implicit pivoting: each row is judged relative to its largest element.
  std::vector<double> scale(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    double big = 0;
    for (int j = 0; j < n; ++j) big = std::max(big, std::fabs(at(i, j)));
    if (big == 0) err.raise(kErrSingular);
    scale[size_t(i)] = big == 0 ? 0 : 1 / big;
  }
  sign = 1;

  for (int j = 0; j < n; ++j) {
    for (int i = 0; i < j; ++i) {
      double sum = at(i, j);
      for (int k = 0; k < i; ++k) sum -= at(i, k) * at(k, j);
      at(i, j) = sum;
    }
    // Ties go to the last row; starting below every candidate keeps the
    // pivot defined even when the column holds only NaN.
    double big = -1;
    int p = j;
    for (int i = j; i < n; ++i) {
      double sum = at(i, j);
      for (int k = 0; k < j; ++k) sum -= at(i, k) * at(k, j);
      at(i, j) = sum;
      const double merit = scale[size_t(i)] * std::fabs(sum);
      if (merit >= big) {
        big = merit;
        p = i;
      }
    }
    if (p != j) {
      for (int k = 0; k < n; ++k) std::swap(at(p, k), at(j, k));
      sign = -sign;
      scale[size_t(p)] = scale[size_t(j)];
    }
    perm[j] = p;
    const double pivot = at(j, j);
    if (std::fabs(pivot) < kTinyPivot) err.raise(pivot == 0 ? kErrSingular : kErrNearlySingular);
    if (j < n - 1 && pivot != 0)
      for (int i = j + 1; i < n; ++i) at(i, j) /= pivot;
  }
}

void lu_solve(const double* a, int n, const int* perm, double* b) {
  const int64_t ld = n;
  auto at = [a, ld](int i, int j) { return a[i + ld * j]; };
  int first = -1;  // first non-zero entry of b; the leading zeros add nothing
  for (int i = 0; i < n; ++i) {
    const int p = perm[i];
    double sum = b[p];
    b[p] = b[i];
    if (first >= 0) {
      for (int j = first; j < i; ++j) sum -= at(i, j) * b[j];
    } else if (sum != 0) {
      first = i;
    }
    b[i] = sum;
  }
  for (int i = n - 1; i >= 0; --i) {
    double sum = b[i];
    for (int j = i + 1; j < n; ++j) sum -= at(i, j) * b[j];
    b[i] = sum / at(i, i);
  }
}

}  // namespace vop
