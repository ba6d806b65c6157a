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

// The cases argument i: omitted or ":" means the cases that pass the
// filter (`filtered`) or every case; otherwise case numbers.
bool cases_arg(Call& c, int i, const Dataset& ds, bool filtered, CaseList* out) {
  if (omitted_or_colon(c, i)) {
    *out = filtered ? data::selected_cases(ds) : data::all_cases(ds);
    return true;
  }
  Value v = c.arg(i);
  return v && data::case_numbers(*v, ds, out, c.err());
}

// A references argument i: omitted or ":" means every variable.
bool refs_arg(Call& c, int i, const Dataset& ds, std::vector<Ref>* out) {
  if (omitted_or_colon(c, i)) {
    out->clear();
    for (int j = 0; j < ds.variable_count(); ++j) out->push_back({j, -1, nullptr});
    return true;
  }
  Value v = c.arg(i);
  if (!v) return false;
  if (v->empty()) return c.err().raise(kErrNotEmpty);
  return data::resolve_refs(*v, ds, data::SetRefs::Members, out, c.err());
}

bool has_cells(const Dataset& ds) { return ds.variable_count() > 0 && ds.case_count() > 0; }

Value read_values(Call& c, bool converted) {
  const Dataset& ds = data_session(c.interp()).dataset;
  if (!has_cells(ds)) return Matrix();
  CaseList cases;
  std::vector<Ref> refs;
  if (!cases_arg(c, 0, ds, converted, &cases) || !refs_arg(c, 1, ds, &refs)) return {};
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
    CaseList cases;
    if (!cases_arg(c, 0, ds, true, &cases)) return {};
    std::vector<Ref> refs;
    Value first;  // a single result may be a lent column
    const uint64_t removals = ds.removals();
    for (int k = 0; k < refs_given; ++k) {
      Value r = c.arg(k + 1);
      if (!r) return {};
      if (r->empty()) return c.fail(kErrNotEmpty);
      if (!data::resolve_refs(*r, ds, data::SetRefs::Members, &refs, c.err())) return {};
      if (k >= wanted) continue;  // checked, not asked for
      Value v = data::values_of(ds, refs, cases, true, c.err());
      if (!v) return {};
      if (wanted == 1) first = std::move(v);
      else results.push_back(std::move(v).take());
    }
    // Script code in a later argument deleted variables: the lent column
    // may be gone.
    if (first.borrowed() && ds.removals() != removals) return c.fail(data::kErrNoReference);
    if (wanted == 1) return first;
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
