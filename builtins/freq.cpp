// Frequencies by ordering the values (the index sort of sorta, linear for
// numbers) and counting runs of equal values: one pass to count, whatever
// the number of distinct values.
#include "builtins/freq.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "builtins/arg_checks.h"
#include "builtins/sort.h"

namespace vop::builtins {

namespace {

// A value and the weight it carries (1 when unweighted).
template <class V>
using Weighted = std::pair<V, double>;

bool same_value(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

FreqResult numeric_freq(const Matrix& x, const double* w) {
  const int64_t rows = x.rows();
  const std::vector<int32_t> order = ascending_order(x.num(), x.size());
  std::vector<double> values, counts;
  for (const int32_t pos : order) {
    const double v = x[pos];
    const double weight = !w ? 1.0 : w[x.cols() == 1 ? pos : pos % rows];
    if (!values.empty() && same_value(values.back(), v)) {
      counts.back() += weight;
    } else {
      values.push_back(v);
      counts.push_back(weight);
    }
  }
  const int k = int(values.size());
  FreqResult r{Matrix(k, 1, true, Matrix::Fill::None), Matrix(k, 1, true, Matrix::Fill::None)};
  std::copy(values.begin(), values.end(), r.values.num());
  std::copy(counts.begin(), counts.end(), r.counts.num());
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
  // Positions are 32-bit, as in the sort; no matrix that fits in memory
  // has more elements.
  if (x.size() > std::numeric_limits<int32_t>::max()) {
    err.raise(kErrRange);
    return std::nullopt;
  }
  return x.numeric() ? numeric_freq(x, weights) : string_freq(x, weights);
}

}  // namespace vop::builtins
