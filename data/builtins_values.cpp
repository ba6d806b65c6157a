// Data builtins that read case values: Data (converted, filtered), DataX
// (raw, every case) and DataGet (several references at once).
#include <climits>

#include "data/builtins_table.h"
#include "data/data_args.h"
#include "data/data_session.h"

namespace vop {

namespace {

using data::CaseList;
using data::Ref;

bool omitted_or_colon(Call& c, int i) { return c.argc() <= i || c.arg_node(i).kind == ExprKind::Colon; }

// An argument, evaluated. Every argument is evaluated before any is turned
// into cases or variables: script code in a later argument may add or
// delete cases and variables, and what is read must match the dataset as
// it is when the values are gathered.
struct Arg {
  bool colon = true;  // omitted or ":"
  Matrix value;       // our own copy: later arguments may change a variable
};

bool eval_arg(Call& c, int i, bool colon_allowed, Arg* out) {
  out->colon = colon_allowed && omitted_or_colon(c, i);
  if (out->colon) return true;
  Value v = c.arg(i);
  if (!v) return false;
  out->value = std::move(v).take();
  return true;
}

// A cases argument: ":" means the cases that pass the filter (`filtered`)
// or every case; otherwise case numbers.
bool cases_of(Call& c, const Arg& a, const Dataset& ds, bool filtered, CaseList* out) {
  if (a.colon) {
    *out = filtered ? data::selected_cases(ds) : data::all_cases(ds);
    return true;
  }
  return data::case_numbers(a.value, ds, out, c.err());
}

// A references argument: ":" means every variable.
bool refs_of(Call& c, const Arg& a, const Dataset& ds, std::vector<Ref>* out) {
  if (a.colon) {
    out->clear();
    for (int j = 0; j < ds.variable_count(); ++j) out->push_back({j, -1, nullptr});
    return true;
  }
  if (a.value.empty()) return c.err().raise(kErrNotEmpty);
  return data::resolve_refs(a.value, ds, data::SetRefs::Members, out, c.err());
}

bool has_cells(const Dataset& ds) { return ds.variable_count() > 0 && ds.case_count() > 0; }

Value read_values(Call& c, bool converted) {
  const Dataset& ds = data_session(c.interp()).dataset;
  if (!has_cells(ds)) return Matrix();
  Arg cases_arg, refs_arg;
  if (!eval_arg(c, 0, true, &cases_arg) || !eval_arg(c, 1, true, &refs_arg)) return {};
  CaseList cases;
  std::vector<Ref> refs;
  if (!cases_of(c, cases_arg, ds, converted, &cases) || !refs_of(c, refs_arg, ds, &refs)) return {};
  return data::values_of(ds, refs, cases, converted, c.err());
}

Value b_data(Call& c) { return read_values(c, true); }
Value b_data_x(Call& c) { return read_values(c, false); }

Value b_data_get(Call& c) {
  const int refs_given = c.argc() - 1;
  const int wanted = c.requested() > 1 ? c.requested() : 1;
  if (wanted > refs_given) return c.fail(kErrTooManyResults);
  const Dataset& ds = data_session(c.interp()).dataset;
  std::vector<Matrix> results;
  results.reserve(size_t(wanted));
  if (!has_cells(ds)) {
    for (int k = 0; k < wanted; ++k) results.emplace_back();
  } else {
    std::vector<Arg> args(size_t(c.argc()));
    for (int k = 0; k < c.argc(); ++k)
      if (!eval_arg(c, k, k == 0, &args[size_t(k)])) return {};
    CaseList cases;
    if (!cases_of(c, args[0], ds, true, &cases)) return {};
    std::vector<Ref> refs;
    for (int k = 0; k < refs_given; ++k) {
      const Arg& a = args[size_t(k) + 1];
      if (a.value.empty()) return c.fail(kErrNotEmpty);
      if (!data::resolve_refs(a.value, ds, data::SetRefs::Members, &refs, c.err())) return {};
      if (k >= wanted) continue;  // checked, not asked for
      Value v = data::values_of(ds, refs, cases, true, c.err());
      if (!v) return {};
      results.push_back(std::move(v).take());
    }
  }
  if (wanted == 1) return std::move(results[0]);
  return c.results(std::move(results));
}

}  // namespace

void install_value_builtins(BuiltinFamily& f) {
  f.add({
      {"Data", 0, 2, 1, b_data},
      {"DataX", 0, 2, 1, b_data_x},
      // DataGet gives one result per reference: it checks the count itself.
      {"DataGet", 2, kAnyArgs, INT_MAX, b_data_get},
  });
}

}  // namespace vop
