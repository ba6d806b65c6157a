// Rim weighting (raking): iterative proportional fitting of case weights to
// target proportions on several categorical variables at once.
//
// Plain numbers in, plain numbers out: the builtin that reads the dataset
// and the script's arguments is builtins_weighting.cpp. First a margin is
// built from a variable's values and its targets (check_targets and
// code_cases, which find what is wrong with them), then rake() fits the
// weights to all margins.
#pragma once

#include <cmath>
#include <vector>

#include "core/cancel.h"

namespace vop::rake {

// What is wrong with a variable's values or targets, in the order found.
enum class MarginFault {
  None,
  BadTargets,     // a category value not finite or repeated, a proportion negative or not finite
  TargetSum,      // proportions not summing to 1 (within kTargetSumSlack)
  UnusableValue,  // a case's value is missing (NaN) or has no target
  EmptyCategory,  // a category with a positive target has no case
};

// How far the proportions of one variable may sum away from 1: targets
// typed from a published table with six decimals still pass.
inline constexpr double kTargetSumSlack = 1e-6;

// One variable's part in the fit.
struct Margin {
  std::vector<int> codes;       // per case: the index of its category in `targets`
  std::vector<double> targets;  // per category: proportion, scaled to sum exactly to 1
};

// Check one variable's targets: category `values[k]` with proportion
// `shares[k]`, k < count. BadTargets or TargetSum, or None.
MarginFault check_targets(const double* values, const double* shares, int count);

// Code `n` case values against targets that passed check_targets.
// UnusableValue or EmptyCategory, or None with `out` filled.
MarginFault code_cases(const double* cases, int n, const double* values, const double* shares,
                       int count, Margin* out);

// The fit's settings; NaN caps mean no cap.
struct Options {
  double tolerance = 1e-10;  // largest |weighted share - target| accepted
  int max_iterations = 1000; // full passes over the margins
  double low_cap = NAN;      // smallest weight, as a multiple of the mean weight
  double high_cap = NAN;     // largest weight, as a multiple of the mean weight
  CancelToken cancel;        // the run's Stop request, looked at before every pass
};

// The fitted weights and how the fit went.
struct Result {
  std::vector<double> weights;  // per case, summing to the sum of the base weights
  int iterations = 0;           // full passes made
  double deviation = 0;         // largest |weighted share - target| at the end
  bool converged = false;       // deviation below the tolerance
  bool stopped = false;         // the run was stopped; the weights are unfinished
  double efficiency = 0;        // (sum w)^2 / (n sum w^2) * 100; NaN when every weight is 0
  double min_weight = 0;        // smallest weight (NaN without cases)
  double max_weight = 0;        // largest weight (NaN without cases)
};

// Fit `base` (positive, one per case) to every margin in turn until the
// largest deviation is below the tolerance or the passes run out. With caps
// the weights are clipped to [low_cap, high_cap] times their mean after
// every pass.
Result rake(const std::vector<Margin>& margins, const std::vector<double>& base, const Options& opt);

}  // namespace vop::rake
