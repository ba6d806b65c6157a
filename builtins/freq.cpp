// Frequencies by sorting a copy of the values (paired with their weights)
// and counting runs of equal values: O(n log n) whatever the number of
// distinct values, with one pass to count.
#include "builtins/freq.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "builtins/arg_checks.h"
#include "builtins/sort.h"

namespace vop::builtins {

namespace {

// A value and the weight it carries (1 when unweighted).
template <class V>
using Weighted = std::pair<V, double>;

FreqResult numeric_freq(const Matrix& x, const double* w) {
  const int64_t rows = x.rows(), n = x.size();
  std::vector<Weighted<double>> items;
  items.reserve(size_t(n));
  double nan_count = 0;
  bool any_nan = false;
  for (int64_t k = 0; k < n; k += rows) {
    for (int64_t i = 0; i < rows; ++i) {
      const double wi = w ? w[i] : 1.0;
      const double v = x[k + i];
      if (std::isnan(v)) {
        nan_count += wi;
        any_nan = true;
      } else {
        items.emplace_back(v, wi);
      }
    }
  }
  std::sort(items.begin(), items.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<Weighted<double>> groups;
  for (const auto& it : items) {
    if (!groups.empty() && groups.back().first == it.first) groups.back().second += it.second;
    else groups.push_back(it);
  }
  if (any_nan) groups.emplace_back(std::nan(""), nan_count);
  const int k = int(groups.size());
  FreqResult r{Matrix(k, 1, true, Matrix::Fill::None), Matrix(k, 1, true, Matrix::Fill::None)};
  for (int i = 0; i < k; ++i) {
    r.values[i] = groups[size_t(i)].first;
    r.counts[i] = groups[size_t(i)].second;
  }
  return r;
}

FreqResult string_freq(const Matrix& x, const double* w) {
  const int64_t rows = x.rows(), n = x.size();
  std::vector<Weighted<const StrCell*>> items;
  items.reserve(size_t(n));
  for (int64_t k = 0; k < n; k += rows)
    for (int64_t i = 0; i < rows; ++i) items.emplace_back(x.str() + k + i, w ? w[i] : 1.0);
  std::sort(items.begin(), items.end(), [](const auto& a, const auto& b) {
    return compare_cells(*a.first, *b.first) < 0;
  });
  std::vector<Weighted<const StrCell*>> groups;
  for (const auto& it : items) {
    if (!groups.empty() && compare_cells(*groups.back().first, *it.first) == 0)
      groups.back().second += it.second;
    else groups.push_back(it);
  }
  const int k = int(groups.size());
  FreqResult r{Matrix::strings(k, 1), Matrix(k, 1, true, Matrix::Fill::None)};
  for (int i = 0; i < k; ++i) {
    r.values.str()[i] = *groups[size_t(i)].first;
    r.counts[i] = groups[size_t(i)].second;
  }
  return r;
}

}  // namespace

std::optional<FreqResult> freq(const Matrix& x, const Matrix* w, ErrorState& err) {
  if (x.size() == 0) return FreqResult{x.clone(), x.clone()};
  bool ok = true;
  const double* weights = weights_of(w, x.rows(), ok, err);
  if (!ok) return std::nullopt;
  return x.numeric() ? numeric_freq(x, weights) : string_freq(x, weights);
}

}  // namespace vop::builtins
