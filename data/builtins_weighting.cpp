// The rim-weighting builtin Rake: it reads the rake variables, their
// targets and the options from the call, the selected cases and their
// starting weights from the dataset, and hands plain numbers to rake.cpp.
// It changes nothing in the dataset: the weights are its result.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "data/builtins_table.h"
#include "data/data_args.h"
#include "data/data_session.h"
#include "data/rake.h"

namespace vop {

namespace {

Dataset& dataset(Call& c) { return data_session(c.interp()).dataset; }

// Most passes a script may ask for: enough for any fit that converges at
// all, few enough that a mistyped limit cannot hang the run for hours.
constexpr double kMaxIterations = 1e6;

// One rake variable as the call gives it.
struct RakeVariable {
  std::string name;            // as written (a variable or a one-member "$" set)
  std::vector<double> values;  // category values: row 1 of the targets
  std::vector<double> shares;  // proportions: row 2 of the targets
};

// The variable a rake name stands for: one numeric variable (106 unknown,
// 108 unknown set, 55 a set of several, 593 a string variable).
bool rake_ref(const std::string& name, const Dataset& ds, data::Ref* out, ErrorState& err) {
  std::vector<data::Ref> refs;
  if (!data::resolve_refs(Matrix::text(name), ds, data::SetRefs::Members, &refs, err)) return false;
  if (refs.size() != 1) return err.raise(kErrScalar);
  const DataVariable& v = ds.variable(refs[0].var);
  if (!v.numeric()) return err.raise(kErrRakeString, v.name());
  *out = refs[0];
  return true;
}

// Arguments i and i+1: a variable and its 2-row targets.
bool rake_pair(Call& c, int i, const Dataset& ds, RakeVariable* out) {
  data::Ref ref;
  if (!data::one_text(c, i, &out->name) || !rake_ref(out->name, ds, &ref, c.err())) return false;
  const std::string& name = ds.variable(ref.var).name();
  Value t = c.arg(i + 1);
  if (!t) return false;
  if (t->empty()) return c.err().raise(kErrNotEmpty);
  if (!t->numeric()) return c.err().raise(kErrNumeric);
  if (t->rows() != 2) return c.err().raise(kErrRakeBadTargets, name);
  const int count = t->cols();
  out->values.resize(size_t(count));
  out->shares.resize(size_t(count));
  for (int k = 0; k < count; ++k) {
    out->values[size_t(k)] = (*t)[2 * int64_t(k)];
    out->shares[size_t(k)] = (*t)[2 * int64_t(k) + 1];
  }
  switch (rake::check_targets(out->values.data(), out->shares.data(), count)) {
    case rake::MarginFault::BadTargets: return c.err().raise(kErrRakeBadTargets, name);
    case rake::MarginFault::TargetSum: return c.err().raise(kErrRakeTargetSum, name);
    default: return true;
  }
}

// The options vector, element by element: the values it accepts (NaN, or
// an element left off, keeps the default).
struct OptionRange {
  double low, high;  // inclusive
};
constexpr OptionRange kOptionRanges[] = {
    {std::numeric_limits<double>::min(), std::numeric_limits<double>::infinity()},  // tolerance
    {1, kMaxIterations},                                   // passes
    {0, 1},                                                // low cap: at most the mean
    {1, std::numeric_limits<double>::infinity()},          // high cap: at least the mean
};
constexpr int kOptionCount = int(sizeof kOptionRanges / sizeof kOptionRanges[0]);

// The last argument when the count is odd: a numeric vector (77, 63, 67) of
// at most kOptionCount elements (70), each NaN or in its range (68).
bool rake_options(Call& c, int i, rake::Options* opt) {
  Value v = c.arg(i);
  if (!v || !data::numeric_vector(*v, c.err())) return false;
  if (v->size() > kOptionCount) return c.err().raise(kErrDims);
  double given[kOptionCount];
  for (int k = 0; k < kOptionCount; ++k) {
    given[k] = k < v->size() ? (*v)[k] : NAN;
    const OptionRange& r = kOptionRanges[k];
    if (!std::isnan(given[k]) && !(given[k] >= r.low && given[k] <= r.high))
      return c.err().raise(kErrRange);
  }
  if (!std::isnan(given[0])) opt->tolerance = given[0];
  if (!std::isnan(given[1])) opt->max_iterations = int(given[1]);
  opt->low_cap = given[2];
  opt->high_cap = given[3];
  return true;
}

// The dataset's weights at the selected cases, or 1 each when unweighted;
// a weight must be a positive number (592 quoting the weight variable).
bool starting_weights(const Dataset& ds, const data::CaseList& cases, std::vector<double>* out,
                      ErrorState& err) {
  out->assign(size_t(cases.count), 1.0);
  const DataVariable* w = ds.weight_name() ? ds.find(*ds.weight_name()) : nullptr;
  if (!w) return true;
  if (!w->numeric()) return err.raise(kErrRakeString, w->name());
  data::gather_numbers(*w, nullptr, cases, true, out->data());
  for (double x : *out)
    if (!(x > 0 && std::isfinite(x))) return err.raise(kErrRakeUnusableValue, w->name());
  return true;
}

// A variable's margin at the selected cases (592 unusable value, 591 empty
// category). The name is resolved again: a later argument may have
// changed the dictionary.
bool rake_margin(const RakeVariable& rv, const Dataset& ds, const data::CaseList& cases,
                 rake::Margin* out, ErrorState& err) {
  data::Ref ref;
  if (!rake_ref(rv.name, ds, &ref, err)) return false;
  const DataVariable& v = ds.variable(ref.var);
  std::vector<double> values(static_cast<size_t>(cases.count));
  data::gather_numbers(v, ref.via, cases, true, values.data());
  switch (rake::code_cases(values.data(), cases.count, rv.values.data(), rv.shares.data(),
                           int(rv.values.size()), out)) {
    case rake::MarginFault::UnusableValue: return err.raise(kErrRakeUnusableValue, v.name());
    case rake::MarginFault::EmptyCategory: return err.raise(kErrRakeEmptyCategory, v.name());
    default: return true;
  }
}

std::string convergence_warning(const rake::Result& r) {
  char line[160];
  std::snprintf(line, sizeof line,
                "Warning: rim weighting did not converge in %d iterations (largest deviation %.2g).",
                r.iterations, r.deviation);
  return line;
}

// [w, report] = Rake(var1, targets1, var2, targets2, ... [, options])
Value b_rake(Call& c) {
  Dataset& ds = dataset(c);
  if (!ds.require_data(c.err())) return {};
  std::vector<RakeVariable> vars(size_t(c.argc() / 2));
  for (size_t p = 0; p < vars.size(); ++p)
    if (!rake_pair(c, int(2 * p), ds, &vars[p])) return {};
  rake::Options opt;
  opt.cancel = c.interp().cancel_token();
  if (c.argc() % 2 == 1 && !rake_options(c, c.argc() - 1, &opt)) return {};

  const data::CaseList cases = data::selected_cases(ds);
  std::vector<double> base;
  if (!starting_weights(ds, cases, &base, c.err())) return {};
  std::vector<rake::Margin> margins(vars.size());
  for (size_t p = 0; p < vars.size(); ++p)
    if (!rake_margin(vars[p], ds, cases, &margins[p], c.err())) return {};

  const rake::Result r = rake::rake(margins, base, opt);
  if (r.stopped) return c.fail(kErrStopped);
  if (!r.converged) c.interp().out().WriteLine(convergence_warning(r));
  Matrix w(cases.count, 1, true);
  std::copy(r.weights.begin(), r.weights.end(), w.num());
  if (c.requested() < 2) return w;
  Matrix report(1, 5, true);
  const double row[5] = {double(r.iterations), r.deviation, r.efficiency, r.min_weight, r.max_weight};
  std::copy(row, row + 5, report.num());
  std::vector<Matrix> both;
  both.push_back(std::move(w));
  both.push_back(std::move(report));
  return c.results(std::move(both));
}

}  // namespace

void install_weighting_builtins(BuiltinFamily& f) {
  f.add({
      {"Rake", 2, kAnyArgs, 2, b_rake},
  });
}

}  // namespace vop
