// Data builtins of weighting and case selection, and the range ends
// lo/lowest and hi/highest that !recode rules use.
#include <cmath>

#include "data/builtins_table.h"
#include "data/data_args.h"
#include "data/data_session.h"

namespace vop {

namespace {

Dataset& dataset(Call& c) { return data_session(c.interp()).dataset; }

// The values wgh or filter give, indexed by the call's arguments when there
// are any. They are a copy: a function's value is a temporary, which the
// script may keep or change without touching the dataset.
Value indexed(Call& c, Value whole) {
  if (c.argc() == 0 || !whole) return whole;
  Value part = c.interp().index_variable(c.node(), *whole);
  // Indexing that selects nothing refers back to the whole value.
  if (part.borrowed() && &*part == &*whole) return whole;
  return part;
}

Value b_data_weight(Call& c) {
  Dataset& ds = dataset(c);
  if (c.argc() == 0) {
    ds.clear_weight();
    return c.none();
  }
  std::string name;
  if (!data::one_text(c, 0, &name) || !ds.set_weight(name, c.err())) return {};
  return c.none();
}

Value b_wgh(Call& c) {
  const Dataset& ds = dataset(c);
  const DataVariable* w = ds.weight_name() ? ds.find(*ds.weight_name()) : nullptr;
  if (!w) return indexed(c, Matrix());
  if (!ds.filter()) return indexed(c, w->column.clone());
  const data::CaseList cases = data::selected_cases(ds);
  std::vector<data::Ref> ref{{ds.index_of(w->name()), -1, nullptr}};
  return indexed(c, data::values_of(ds, ref, cases, false, c.err()));
}

Value b_wgh_name(Call& c) {
  const auto& w = dataset(c).weight_name();
  Matrix out = Matrix::strings(1, 1);
  out.str()[0] = w;
  return out;
}

Value b_data_select(Call& c) {
  Dataset& ds = dataset(c);
  std::string name;
  if (c.argc() > 0 && !data::one_text(c, 0, &name)) return {};
  if (name.empty()) {
    ds.clear_filter();
    return c.none();
  }
  if (!ds.set_filter(name, c.err())) return {};
  return c.none();
}

Value b_filter(Call& c) {
  const DataVariable* f = dataset(c).filter();
  if (!f) return indexed(c, Matrix());
  return indexed(c, f->column.clone());
}

Value b_filter_name(Call& c) {
  const DataVariable* f = dataset(c).filter();
  Matrix out = Matrix::strings(1, 1);
  if (f) out.str()[0] = f->name();
  return out;
}

Value b_lowest(Call&) { return Matrix::scalar(-INFINITY); }
Value b_highest(Call&) { return Matrix::scalar(INFINITY); }

}  // namespace

void install_selection_builtins(BuiltinFamily& f) {
  f.add({
      {"DataWeight", 0, 1, 0, b_data_weight},
      {"wgh", 0, kAnyArgs, 1, b_wgh},
      {"wgh_name", 0, 0, 1, b_wgh_name},
      {"DataSelect", 0, 1, 0, b_data_select},
      {"filter", 0, kAnyArgs, 1, b_filter},
      {"filter_name", 0, 0, 1, b_filter_name},
      {"lo", 0, 0, 1, b_lowest},
      {"lowest", 0, 0, 1, b_lowest},
      {"hi", 0, 0, 1, b_highest},
      {"highest", 0, 0, 1, b_highest},
  });
}

}  // namespace vop
