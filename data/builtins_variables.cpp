// Data builtins that add, delete, name and count variables and cases.
#include <algorithm>
#include <cmath>
#include <unordered_set>

#include "data/builtins_table.h"
#include "data/data_args.h"
#include "data/data_session.h"
#include "data/name_case.h"

namespace vop {

namespace {

using data::cell_text;
using data::Ref;

// Largest dataset DataAddCase may grow to, in cells: beyond it the columns
// could not be allocated (2^31 cells is 16 GiB of numbers).
constexpr int64_t kMaxCells = int64_t(1) << 31;

Dataset& dataset(Call& c) { return data_session(c.interp()).dataset; }

// A numeric 1x1 argument (63, 55), truncated toward zero.
bool one_number(Call& c, int i, double* out) {
  Value v = c.arg(i);
  if (!v) return false;
  if (v->empty()) return c.err().raise(kErrNotEmpty);
  if (!v->numeric()) return c.err().raise(kErrNumeric);
  if (!v->is_scalar()) return c.err().raise(kErrScalar);
  *out = std::trunc((*v)[0]);
  return true;
}

// --- Adding and deleting variables ---------------------------------------------

// The position argument of DataAddVar: a variable number or an existing
// variable's name; the 0-based place to insert before.
bool insert_position(Call& c, int i, const Dataset& ds, int* pos) {
  Value v = c.arg(i);
  if (!v) return false;
  if (v->empty()) return c.err().raise(kErrNotEmpty);
  if (!v->is_scalar()) return c.err().raise(kErrScalar);
  if (v->numeric()) {
    const double x = std::trunc((*v)[0]);
    if (!(x >= 1 && x <= ds.variable_count())) return c.err().raise(kErrRange);
    *pos = int(x) - 1;
    return true;
  }
  const int at = ds.index_of(cell_text(v->str()[0]));
  if (at < 0) return c.err().raise(kErrNoReference);
  *pos = at;
  return true;
}

Value add_variables(Call& c, bool numeric) {
  Dataset& ds = dataset(c);
  Value names = c.arg(0);
  if (!names || !data::text_matrix(*names, c.err())) return {};
  int pos = ds.variable_count();
  if (c.argc() > 1 && !insert_position(c, 1, ds, &pos)) return {};
  // The names before a bad one are added, as one insertion.
  std::vector<DataVariable> made;
  std::unordered_set<std::string> given;
  int failure = 0;
  for (int64_t k = 0; k < names->size() && !failure; ++k) {
    const StrCell& cell = names->str()[k];
    std::string name = cell ? upper_name(*cell) : std::string();
    if (!cell || !valid_variable_name(*cell) || !valid_variable_name(name))  // capitals may take more bytes
      failure = kErrBadVarName;
    else if (ds.find(name) || !given.insert(name).second)
      failure = kErrDuplicateVar;
    else
      made.push_back(make_variable(std::move(name), numeric, ds.case_count()));
  }
  ds.insert_variables(pos, std::move(made));
  return failure ? c.fail(failure) : c.none();
}

Value b_add_var(Call& c) { return add_variables(c, true); }
Value b_add_cvar(Call& c) { return add_variables(c, false); }

// Removes deleted variables from the member lists; a set left with fewer
// than two members goes.
void prune_multiple(Dataset& ds) {
  auto& sets = ds.multiple_variables();
  for (MultipleVariable& m : sets)
    std::erase_if(m.members, [&](const std::string& name) { return !ds.find(name); });
  std::erase_if(sets, [](const MultipleVariable& m) { return m.member_count() < 2; });
}

Value b_del_var(Call& c) {
  Dataset& ds = dataset(c);
  if (!ds.require_data(c.err())) return {};
  Value v = c.arg(0);
  if (!v) return {};
  if (v->empty()) return c.fail(kErrNotEmpty);
  std::vector<Ref> refs;
  if (!data::resolve_refs(*v, ds, data::SetRefs::Itself, &refs, c.err())) return {};
  v = Value();  // the names may be a column about to go
  std::vector<std::string> sets;
  std::vector<int> vars;
  for (const Ref& r : refs) {
    if (r.set >= 0) sets.push_back(ds.multiple_variables()[size_t(r.set)].name);
    else vars.push_back(r.var);
  }
  std::sort(vars.begin(), vars.end());
  vars.erase(std::unique(vars.begin(), vars.end()), vars.end());
  DataSession& s = data_session(c.interp());
  s.safe_point();
  for (auto it = vars.rbegin(); it != vars.rend(); ++it) s.remove_variable(*it);
  std::erase_if(ds.multiple_variables(), [&](const MultipleVariable& m) {
    return std::find(sets.begin(), sets.end(), m.name) != sets.end();
  });
  if (!vars.empty()) prune_multiple(ds);
  s.safe_point();
  return c.none();
}

// --- Cases -------------------------------------------------------------------

Value b_add_case(Call& c) {
  Dataset& ds = dataset(c);
  if (!ds.require_data(c.err())) return {};
  double count = 1;
  if (c.argc() > 0 && !one_number(c, 0, &count)) return {};
  if (!(count > 0)) count = 0;  // negative (and NaN) add nothing
  int pos = ds.case_count();
  if (c.argc() > 1) {
    double p = 0;
    if (!one_number(c, 1, &p)) return {};
    if (!(p >= 1 && p <= ds.case_count())) return c.fail(kErrRange);
    pos = int(p) - 1;
  }
  if ((ds.case_count() + count) * std::max(ds.variable_count(), 1) > double(kMaxCells))
    return c.fail(kErrRange);
  ds.insert_cases(pos, int(count));
  return c.none();
}

Value b_del_case(Call& c) {
  Dataset& ds = dataset(c);
  if (!ds.require_data(c.err())) return {};
  Value v = c.arg(0);
  if (!v || !data::numeric_vector(*v, c.err())) return {};
  std::vector<uint8_t> drop(size_t(ds.case_count()), 0);
  for (int64_t k = 0; k < v->size(); ++k) {
    const double x = std::trunc((*v)[k]);
    if (!(x >= 1 && x <= ds.case_count())) return c.fail(kErrRange);
    drop[size_t(x) - 1] = 1;
  }
  v = Value();  // the numbers may be a column that is about to change
  ds.delete_cases(drop);
  return c.none();
}

// --- Names and positions -----------------------------------------------------------

Value b_get_var_name(Call& c) {
  const Dataset& ds = dataset(c);
  if (!ds.require_data(c.err())) return {};
  Value v = c.arg(0);
  if (!v) return {};
  if (v->empty()) return c.fail(kErrNotEmpty);
  std::vector<Ref> refs;
  if (!data::resolve_refs(*v, ds, data::SetRefs::Members, &refs, c.err())) return {};
  const bool positions = v->numeric();
  Matrix out = positions ? Matrix::strings(v->rows(), v->cols()) : Matrix::strings(int(refs.size()), 1);
  for (size_t k = 0; k < refs.size(); ++k) out.str()[k] = ds.variable(refs[k].var).name();
  return out;
}

// Renames one multiple variable (109, 110).
bool rename_set(Dataset& ds, int set, const std::string& name, ErrorState& err) {
  auto& sets = ds.multiple_variables();
  if (name.empty() || name[0] != '$') return err.raise(kErrSetName, name);
  const std::string old = sets[size_t(set)].name;
  if (name == old) return true;
  for (const MultipleVariable& m : sets)
    if (m.name == name) return err.raise(kErrSetExists, name);
  sets[size_t(set)].name = name;
  for (Matrix& bundle : ds.bundles())
    for (int r = 0; r < bundle.rows(); ++r)
      if (bundle.str()[r] == old) bundle.str()[r] = name;
  return true;
}

// Renames one variable (98, 99); member lists follow.
bool rename_var(Dataset& ds, int var, std::string name, ErrorState& err) {
  if (!valid_variable_name(name)) return err.raise(kErrBadVarName);
  to_upper_name(name);
  if (!valid_variable_name(name)) return err.raise(kErrBadVarName);
  const std::string old = ds.variable(var).name();
  if (name == old) return true;
  if (ds.find(name)) return err.raise(kErrDuplicateVar);
  for (MultipleVariable& m : ds.multiple_variables())
    std::replace(m.members.begin(), m.members.end(), old, name);
  ds.rename_variable(var, std::move(name));
  return true;
}

Value b_set_var_name(Call& c) {
  Dataset& ds = dataset(c);
  if (!ds.require_data(c.err())) return {};
  Value old = c.arg(0);
  if (!old) return {};
  Value fresh = c.arg(1);
  if (!fresh) return {};
  if (old->empty() || fresh->empty()) return c.fail(kErrNotEmpty);
  if (fresh->numeric()) return c.fail(kErrString);
  if (old->rows() != fresh->rows() || old->cols() != fresh->cols()) return c.fail(kErrDims);
  std::vector<Ref> refs;
  if (!data::resolve_refs(*old, ds, data::SetRefs::Itself, &refs, c.err())) return {};
  std::vector<StrCell> names(fresh->str(), fresh->str() + fresh->size());
  old = Value();
  fresh = Value();
  for (size_t k = 0; k < refs.size(); ++k) {
    if (!names[k]) return c.fail(kErrBadVarName);
    const bool ok = refs[k].set >= 0 ? rename_set(ds, refs[k].set, *names[k], c.err())
                                     : rename_var(ds, refs[k].var, *names[k], c.err());
    if (!ok) return {};
  }
  return c.none();
}

Value b_get_var_pos(Call& c) {
  const Dataset& ds = dataset(c);
  if (!ds.require_data(c.err())) return {};
  Value v = c.arg(0);
  if (!v || !data::text_matrix(*v, c.err())) return {};
  Matrix out(v->rows(), v->cols(), true);
  const auto& sets = ds.multiple_variables();
  for (int64_t k = 0; k < v->size(); ++k) {
    const StrCell& s = v->str()[k];
    if (!s) continue;
    if (!s->empty() && (*s)[0] == '$') {
      for (size_t j = 0; j < sets.size(); ++j)
        if (sets[j].name == *s) {
          out[k] = -double(j + 1);
          break;
        }
    } else {
      out[k] = ds.index_of(*s) + 1;
    }
  }
  return out;
}

Value b_ncase(Call& c) { return Matrix::scalar(dataset(c).case_count()); }
Value b_nvar(Call& c) { return Matrix::scalar(dataset(c).variable_count()); }

}  // namespace

void install_variable_builtins(BuiltinFamily& f) {
  f.add({
      {"DataAddVar", 1, 2, 0, b_add_var},
      {"DataAddCVar", 1, 2, 0, b_add_cvar},
      {"DataDelVar", 1, 1, 0, b_del_var},
      {"DataAddCase", 0, 2, 0, b_add_case},
      {"DataDelCase", 1, 1, 0, b_del_case},
      {"GetVarName", 1, 1, 1, b_get_var_name},
      {"SetVarName", 2, 2, 0, b_set_var_name},
      {"GetVarPos", 1, 1, 1, b_get_var_pos},
      {"ncase", 0, 0, 1, b_ncase},
      {"nvar", 0, 0, 1, b_nvar},
  });
}

}  // namespace vop
