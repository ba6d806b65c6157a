#include "core/lu.h"

#include <cmath>

namespace vop {

namespace {
constexpr double kTinyPivot = 1e-15;  // below this a pivot is "probably singular"
}

void lu_decompose(Matrix& a, std::vector<int>& perm, double* d, ErrorState& err) {
  const int n = a.rows();
  perm.assign(size_t(n), 0);
  std::vector<double> scale(static_cast<size_t>(n));
  *d = 1;
  for (int i = 0; i < n; ++i) {
    double big = 0;
    for (int j = 0; j < n; ++j) big = std::max(big, std::fabs(a.at(i, j)));
    if (big == 0) err.raise(85);
    scale[size_t(i)] = big == 0 ? 0 : 1 / big;
  }
  for (int j = 0; j < n; ++j) {
    for (int i = 0; i < j; ++i) {
      double sum = a.at(i, j);
      for (int k = 0; k < i; ++k) sum -= a.at(i, k) * a.at(k, j);
      a.at(i, j) = sum;
    }
    double big = -1;
    int p = j;
    for (int i = j; i < n; ++i) {
      double sum = a.at(i, j);
      for (int k = 0; k < j; ++k) sum -= a.at(i, k) * a.at(k, j);
      a.at(i, j) = sum;
      const double merit = scale[size_t(i)] * std::fabs(sum);
      if (merit >= big) {  // the last row wins ties
        big = merit;
        p = i;
      }
    }
    if (p != j) {
      for (int k = 0; k < n; ++k) std::swap(a.at(p, k), a.at(j, k));
      *d = -*d;
      scale[size_t(p)] = scale[size_t(j)];
    }
    perm[size_t(j)] = p;
    const double pivot = a.at(j, j);
    if (pivot == 0) err.raise(85);
    else if (std::fabs(pivot) < kTinyPivot) err.raise(90);
    if (j < n - 1 && pivot != 0)
      for (int i = j + 1; i < n; ++i) a.at(i, j) /= pivot;
  }
}

void lu_solve(const Matrix& a, const std::vector<int>& perm, double* b) {
  const int n = a.rows();
  int first = -1;  // first non-zero entry of b: leading zeros are skipped
  for (int i = 0; i < n; ++i) {
    const int p = perm[size_t(i)];
    double sum = b[p];
    b[p] = b[i];
    if (first >= 0) {
      for (int k = first; k < i; ++k) sum -= a.at(i, k) * b[k];
    } else if (sum != 0) {
      first = i;
    }
    b[i] = sum;
  }
  for (int i = n - 1; i >= 0; --i) {
    double sum = b[i];
    for (int k = i + 1; k < n; ++k) sum -= a.at(i, k) * b[k];
    b[i] = sum / a.at(i, i);
  }
}

}  // namespace vop
