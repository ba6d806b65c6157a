// Every statistic reduces a "run" of elements: the elements of one column,
// one row, or all of them. A run is described by strides so that no value is
// copied, and each statistic reads its run once (twice for the central
// moments, which need the mean first).
#include "builtins/stats.h"

#include <cmath>
#include <limits>

#include "builtins/arg_checks.h"

namespace vop::builtins {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The elements one value of a statistic is computed from: `segments` equal
// segments, each of `count` elements `step` apart, whose k-th element has
// weight w[k].
struct Run {
  const double* x = nullptr;  // first element of the first segment
  int64_t count = 0;          // elements in a segment
  int64_t step = 1;           // distance between elements of a segment
  int64_t segments = 1;       // number of segments
  int64_t seg_step = 0;       // distance between segment starts
  const double* w = nullptr;  // weights per position in a segment, or null

  int64_t elements() const { return count * segments; }
};

// Call f(x, w) for every element of the run, weight 1 when unweighted. The
// four loops are spelled out so that the common contiguous ones compile to
// tight code.
template <class F>
void visit(const Run& r, F&& f) {
  for (int64_t s = 0; s < r.segments; ++s) {
    const double* x = r.x + s * r.seg_step;
    if (r.step == 1) {
      if (r.w)
        for (int64_t k = 0; k < r.count; ++k) f(x[k], r.w[k]);
      else
        for (int64_t k = 0; k < r.count; ++k) f(x[k], 1.0);
    } else {
      if (r.w)
        for (int64_t k = 0; k < r.count; ++k) f(x[k * r.step], r.w[k]);
      else
        for (int64_t k = 0; k < r.count; ++k) f(x[k * r.step], 1.0);
    }
  }
}

// --- The statistics of one run ------------------------------------------

double sum_of(const Run& r) {
  double s = 0;
  visit(r, [&](double x, double w) { s += w * x; });
  return s;
}

double prod_of(const Run& r) {
  double p = 1;
  if (r.w) visit(r, [&](double x, double w) { p *= std::pow(x, w); });
  else visit(r, [&](double x, double) { p *= x; });
  return p;
}

double mean_of(const Run& r) {
  double s = 0, ws = 0;
  visit(r, [&](double x, double w) {
    s += w * x;
    ws += w;
  });
  return s / ws;
}

// min and max skip NaN; all-NaN gives NaN.
template <bool Larger>
double extreme_of(const Run& r) {
  double best = kNaN;
  visit(r, [&](double x, double) {
    if (std::isnan(best) || (Larger ? x > best : x < best)) best = x;
  });
  return best;
}

// range starts from the first value and lets later values replace the
// extremes only when strictly beyond them, so NaN is never skipped on
// purpose: a NaN first value stays, a later NaN compares false.
double range_of(const Run& r) {
  double lo = 0, hi = 0;
  bool first = true;
  visit(r, [&](double x, double) {
    if (first) {
      lo = hi = x;
      first = false;
    } else if (x > hi) {
      hi = x;
    } else if (x < lo) {
      lo = x;
    }
  });
  return first ? kNaN : hi - lo;
}

double range_skipping_nan(const Run& r) {
  return extreme_of<true>(r) - extreme_of<false>(r);
}

// Central moments about the weighted mean. Order 2 gives the variance, 3
// and 4 add the sums that skewness and kurtosis need.
struct Moments {
  double wsum = 0;  // W, the sum of weights
  double var = 0;   // population variance
  double s3 = 0;    // sum of w d^3
  double s4 = 0;    // sum of w d^4
};

template <int Order>
Moments moments_of(const Run& r) {
  Moments m;
  double sx = 0;
  visit(r, [&](double x, double w) {
    sx += w * x;
    m.wsum += w;
  });
  const double mean = sx / m.wsum;
  double s1 = 0, s2 = 0, s3 = 0, s4 = 0;
  visit(r, [&](double x, double w) {
    const double d = x - mean;
    const double wd = w * d;
    s1 += wd;
    s2 += wd * d;
    if constexpr (Order >= 3) s3 += wd * d * d;
    if constexpr (Order >= 4) s4 += wd * d * d * d;
  });
  // The correction term removes the rounding error of the mean. A single
  // value has no spread at all, whatever the rounding of its mean.
  m.var = r.elements() == 1 ? 0.0 : (s2 - s1 * s1 / m.wsum) / m.wsum;
  m.s3 = s3;
  m.s4 = s4;
  return m;
}

double var_of(const Run& r) { return moments_of<2>(r).var; }
double sd_of(const Run& r) { return std::sqrt(var_of(r)); }

double skw_of(const Run& r) {
  const Moments m = moments_of<3>(r);
  if (m.var == 0) return 0;
  return m.s3 / (m.wsum * m.var * std::sqrt(m.var));
}

double kur_of(const Run& r) {
  const Moments m = moments_of<4>(r);
  if (m.var == 0) return 0;
  return m.s4 / (m.wsum * m.var * m.var) - 3;
}

using RunStatistic = double (*)(const Run&);

// One row per statistic, in the order of the Stat enumeration.
struct StatEntry {
  std::string_view stem;      // name without the family prefix
  RunStatistic compute;       // the statistic of one run
  RunStatistic compute_rows;  // the row family's variant
};

constexpr StatEntry kStats[] = {
    {"sum", sum_of, sum_of},
    {"prod", prod_of, prod_of},
    {"min", extreme_of<false>, extreme_of<false>},
    {"max", extreme_of<true>, extreme_of<true>},
    {"mean", mean_of, mean_of},
    {"range", range_of, range_skipping_nan},  // only rrange skips NaN
    {"sd", sd_of, sd_of},
    {"var", var_of, var_of},
    {"skw", skw_of, skw_of},
    {"kur", kur_of, kur_of},
};

struct FamilyEntry {
  char prefix;    // first letter of the name; 0 for the plain family
  Reduce reduce;  // the family
};

constexpr FamilyEntry kFamilies[] = {
    {0, Reduce::Plain}, {'c', Reduce::Columns}, {'r', Reduce::Rows}, {'m', Reduce::All}};

}  // namespace

std::optional<StatBuiltin> find_statistic(std::string_view name) {
  for (const auto& fam : kFamilies) {
    std::string_view stem = name;
    if (fam.prefix) {
      if (stem.empty() || stem[0] != fam.prefix) continue;
      stem.remove_prefix(1);
    }
    for (size_t s = 0; s < std::size(kStats); ++s)
      if (kStats[s].stem == stem) return StatBuiltin{Stat(s), fam.reduce};
  }
  return std::nullopt;
}

std::optional<Matrix> statistic(StatBuiltin which, const Matrix& x, const Matrix* w,
                                ErrorState& err) {
  if (!need_numbers(x, err)) return std::nullopt;
  if (which.reduce == Reduce::Rows && w) {
    err.raise(kErrTooManyArgs);  // the row family takes no weights
    return std::nullopt;
  }
  bool ok = true;
  const double* weights = weights_of(w, x.rows(), ok, err);
  if (!ok) return std::nullopt;

  const StatEntry& entry = kStats[size_t(which.stat)];
  const int64_t rows = x.rows(), cols = x.cols();
  Reduce reduce = which.reduce;
  if (reduce == Reduce::Plain) reduce = x.is_vector() ? Reduce::All : Reduce::Columns;

  switch (reduce) {
    case Reduce::All: {
      Run r{x.num(), rows, 1, cols, rows, weights};
      return Matrix::scalar(entry.compute(r));
    }
    case Reduce::Columns: {
      Matrix out(1, int(cols), true, Matrix::Fill::None);
      for (int64_t j = 0; j < cols; ++j) {
        Run r{x.num() + j * rows, rows, 1, 1, 0, weights};
        out[j] = entry.compute(r);
      }
      return out;
    }
    case Reduce::Rows: {
      Matrix out(int(rows), 1, true, Matrix::Fill::None);
      for (int64_t i = 0; i < rows; ++i) {
        Run r{x.num() + i, cols, rows, 1, 0, nullptr};
        out[i] = entry.compute_rows(r);
      }
      return out;
    }
    case Reduce::Plain:
      break;
  }
  return std::nullopt;  // not reached: Plain was resolved above
}

}  // namespace vop::builtins
