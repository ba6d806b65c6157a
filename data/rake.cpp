// Rim weighting, written top-down as it runs: a variable's targets are
// checked, its cases coded into categories, then the weights are fitted
// margin by margin, pass after pass.
#include "data/rake.h"

#include <algorithm>
#include <limits>

namespace vop::rake {

namespace {

// A category value with its position in the targets; sorted by value, the
// list finds a case's category by binary search.
struct Category {
  double value;  // the category value (finite)
  int index;     // its position in the targets
};

std::vector<Category> sorted_categories(const double* values, int count) {
  std::vector<Category> list(static_cast<size_t>(count));
  for (int k = 0; k < count; ++k) list[size_t(k)] = {values[k], k};
  std::sort(list.begin(), list.end(), [](const Category& a, const Category& b) { return a.value < b.value; });
  return list;
}

// The category of value x, or -1 (NaN never matches).
int category_of(const std::vector<Category>& list, double x) {
  auto it = std::lower_bound(list.begin(), list.end(), x,
                             [](const Category& c, double v) { return c.value < v; });
  return it != list.end() && it->value == x ? it->index : -1;
}

double sum_of(const std::vector<double>& v) {
  double s = 0;
  for (double x : v) s += x;
  return s;
}

// The weight of each category of `m` into `sums`.
void category_sums(const Margin& m, const std::vector<double>& w, std::vector<double>& sums) {
  sums.assign(m.targets.size(), 0.0);
  for (size_t i = 0; i < w.size(); ++i) sums[size_t(m.codes[i])] += w[i];
}

// The largest |weighted share - target| over every category of every margin.
double largest_deviation(const std::vector<Margin>& margins, const std::vector<double>& w,
                         std::vector<double>& sums) {
  const double total = sum_of(w);
  double deviation = 0;
  for (const Margin& m : margins) {
    category_sums(m, w, sums);
    for (size_t k = 0; k < sums.size(); ++k) {
      const double share = total > 0 ? sums[k] / total : 0;
      deviation = std::max(deviation, std::fabs(share - m.targets[k]));
    }
  }
  return deviation;
}

// One step of the fit: every category of `m` takes its target share of the
// total. A category whose cases all weigh 0 (after a zero target of another
// margin) cannot move and is left as it is.
void fit_margin(const Margin& m, std::vector<double>& w, std::vector<double>& sums,
                std::vector<double>& factors) {
  category_sums(m, w, sums);
  const double total = sum_of(sums);
  factors.resize(sums.size());
  for (size_t k = 0; k < sums.size(); ++k)
    factors[k] = sums[k] > 0 ? m.targets[k] * total / sums[k] : 1.0;
  for (size_t i = 0; i < w.size(); ++i) w[i] *= factors[size_t(m.codes[i])];
}

// Rounds of the search for the mean the caps are taken from; the clipped
// and unclipped sets settle in two or three rounds in practice.
constexpr int kClipRounds = 50;

// The caps: weights clipped to [low, high] times the mean they have after
// clipping, so that the caps hold for the weights returned. That mean m
// solves n m = low m |L| + high m |H| + (sum of the others), L and H being
// the weights clipped at each end; the sets are found by going from the
// mean before clipping until they no longer change.
void clip(std::vector<double>& w, const Options& opt) {
  if (w.empty() || (std::isnan(opt.low_cap) && std::isnan(opt.high_cap))) return;
  const double low = std::isnan(opt.low_cap) ? 0.0 : opt.low_cap;
  const double high = std::isnan(opt.high_cap) ? std::numeric_limits<double>::infinity() : opt.high_cap;
  double mean = sum_of(w) / double(w.size());
  if (!(mean > 0)) return;
  for (int round = 0; round < kClipRounds; ++round) {
    double at_ends = 0, others = 0;  // multiples of m clipped at the ends; the sum of the rest
    for (double x : w) {
      if (x < low * mean) at_ends += low;
      else if (x > high * mean) at_ends += high;
      else others += x;
    }
    const double room = double(w.size()) - at_ends;
    if (!(room > 0)) break;
    const double next = others / room;
    if (next == mean) break;
    mean = next;
  }
  for (double& x : w) x = std::clamp(x, low * mean, high * mean);
}

}  // namespace

// --- Margins -----------------------------------------------------------------

MarginFault check_targets(const double* values, const double* shares, int count) {
  double sum = 0;
  for (int k = 0; k < count; ++k) {
    if (!std::isfinite(values[k]) || !std::isfinite(shares[k]) || shares[k] < 0)
      return MarginFault::BadTargets;
    sum += shares[k];
  }
  const std::vector<Category> list = sorted_categories(values, count);
  for (size_t k = 1; k < list.size(); ++k)
    if (list[k].value == list[k - 1].value) return MarginFault::BadTargets;
  if (!(std::fabs(sum - 1) <= kTargetSumSlack)) return MarginFault::TargetSum;
  return MarginFault::None;
}

MarginFault code_cases(const double* cases, int n, const double* values, const double* shares,
                       int count, Margin* out) {
  const std::vector<Category> list = sorted_categories(values, count);
  std::vector<int> codes(static_cast<size_t>(n));
  std::vector<int> used(static_cast<size_t>(count), 0);
  for (int i = 0; i < n; ++i) {
    const int k = category_of(list, cases[i]);
    if (k < 0) return MarginFault::UnusableValue;
    codes[size_t(i)] = k;
    ++used[size_t(k)];
  }
  double sum = 0;
  for (int k = 0; k < count; ++k) {
    if (shares[k] > 0 && used[size_t(k)] == 0) return MarginFault::EmptyCategory;
    sum += shares[k];
  }
  // The proportions are taken relative to their sum, so that one that sums
  // to 1 only within the slack can still be fitted to the tolerance.
  out->codes = std::move(codes);
  out->targets.assign(shares, shares + count);
  for (double& t : out->targets) t /= sum;
  return MarginFault::None;
}

// --- The fit -----------------------------------------------------------------

Result rake(const std::vector<Margin>& margins, const std::vector<double>& base, const Options& opt) {
  Result r;
  r.weights = base;
  std::vector<double> sums, factors;
  r.deviation = largest_deviation(margins, r.weights, sums);
  while (!(r.deviation < opt.tolerance) && r.iterations < opt.max_iterations) {
    if (opt.cancel.stop_requested()) {
      r.stopped = true;
      return r;
    }
    for (const Margin& m : margins) fit_margin(m, r.weights, sums, factors);
    clip(r.weights, opt);
    ++r.iterations;
    r.deviation = largest_deviation(margins, r.weights, sums);
  }
  r.converged = r.deviation < opt.tolerance;

  // Back to the base's total: an unweighted base keeps the sample size.
  const double total = sum_of(r.weights);
  if (total > 0) {
    const double scale = sum_of(base) / total;
    for (double& x : r.weights) x *= scale;
  }
  r.min_weight = r.max_weight = std::numeric_limits<double>::quiet_NaN();
  if (!r.weights.empty()) {
    const auto [low, high] = std::minmax_element(r.weights.begin(), r.weights.end());
    r.min_weight = *low;
    r.max_weight = *high;
  }
  double squares = 0;
  for (double x : r.weights) squares += x * x;
  const double sum = sum_of(r.weights);
  r.efficiency = squares > 0 ? sum * sum / (double(r.weights.size()) * squares) * 100
                             : std::numeric_limits<double>::quiet_NaN();
  return r;
}

}  // namespace vop::rake
