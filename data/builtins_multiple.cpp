// Data builtins of multiple-response sets ("multiple variables", named
// "$...") and of bundles, groups of sets with equal member counts.
#include <algorithm>
#include <cmath>

#include "data/builtins_table.h"
#include "data/data_args.h"
#include "data/data_session.h"

namespace vop {

namespace {

using data::cell_text;
using data::Ref;

// Kind numbers GetMVar reports.
constexpr double kCategoryKind = 1;
constexpr double kDichotomyKind = 2;

Dataset& dataset(Call& c) { return data_session(c.interp()).dataset; }

bool is_set_name(std::string_view name) { return !name.empty() && name[0] == '$'; }

const MultipleVariable* find_set(const Dataset& ds, std::string_view name) {
  for (const MultipleVariable& m : ds.multiple_variables())
    if (m.name == name) return &m;
  return nullptr;
}

// --- Multiple variables --------------------------------------------------------

Value b_add_mvar(Call& c) {
  Dataset& ds = dataset(c);
  if (!ds.require_data(c.err())) return {};
  ds.note_change();  // the dictionary changes in place
  std::string name;
  if (!data::one_text(c, 0, &name)) return {};
  if (!is_set_name(name)) return c.fail(kErrSetName, name);
  Value refs_v = c.arg(1);
  if (!refs_v) return {};
  if (refs_v->empty()) return c.fail(kErrNotEmpty);
  std::vector<Ref> refs;
  if (!data::resolve_refs(*refs_v, ds, data::SetRefs::Members, &refs, c.err())) return {};
  MultipleVariable m;
  m.name = name;
  for (const Ref& r : refs) m.members.push_back(ds.variable(r.var).name());
  if (c.argc() > 2) {
    Value counted = c.arg(2);
    if (!counted) return {};
    if (!counted->numeric()) return c.fail(kErrNumeric);
    for (int64_t k = 0; k < counted->size(); ++k) {
      const double x = (*counted)[k];
      if (!std::isfinite(x)) return c.fail(kErrCountedValue);
      if (std::find(m.counted_values.begin(), m.counted_values.end(), x) == m.counted_values.end())
        m.counted_values.push_back(x);
    }
  }
  m.kind = m.counted_values.empty() ? MultipleKind::Category : MultipleKind::Dichotomy;
  auto& sets = ds.multiple_variables();
  std::erase_if(sets, [&](const MultipleVariable& s) { return s.name == name; });
  sets.insert(sets.begin(), std::move(m));
  return c.none();
}

Value b_get_mul_val(Call& c) {
  const Dataset& ds = dataset(c);
  if (!ds.require_data(c.err())) return {};
  std::string name;
  if (!data::one_text(c, 0, &name)) return {};
  if (!is_set_name(name)) return c.fail(kErrSetName, name);
  const MultipleVariable* m = find_set(ds, name);
  if (!m) return c.fail(kErrUnknownSet, name);
  Matrix out(m->counted_count(), 1, true);
  for (int k = 0; k < m->counted_count(); ++k) out[k] = m->counted_values[size_t(k)];
  return out;
}

Value b_get_mvar(Call& c) {
  const Dataset& ds = dataset(c);
  if (!ds.require_data(c.err())) return {};
  std::string name;
  if (c.argc() > 0 && !data::one_text(c, 0, &name)) return {};
  std::vector<const MultipleVariable*> found;
  for (const MultipleVariable& m : ds.multiple_variables()) {
    const bool take = name.empty() || m.name == name ||
                      (!is_set_name(name) &&
                       std::find(m.members.begin(), m.members.end(), name) != m.members.end());
    if (take) found.push_back(&m);
  }
  const int n = int(found.size());
  Matrix names = Matrix::strings(n, 1);
  Matrix kinds(n, 1, true);
  Matrix labels = Matrix::strings(n, 1);
  for (int k = 0; k < n; ++k) {
    names.str()[k] = found[size_t(k)]->name;
    kinds[k] = found[size_t(k)]->kind == MultipleKind::Dichotomy ? kDichotomyKind : kCategoryKind;
    labels.str()[k] = found[size_t(k)]->label;
  }
  if (c.requested() < 2) return names;
  std::vector<Matrix> out;
  out.push_back(std::move(names));
  out.push_back(std::move(kinds));
  if (c.requested() > 2) out.push_back(std::move(labels));
  return c.results(std::move(out));
}

Value b_nmvar(Call& c) { return Matrix::scalar(double(dataset(c).multiple_variables().size())); }

// --- Bundles -------------------------------------------------------------------

Value b_add_bmvar(Call& c) {
  Dataset& ds = dataset(c);
  if (!ds.require_data(c.err())) return {};
  ds.note_change();  // the dictionary changes in place
  Value names = c.arg(0);
  if (!names || !data::text_matrix(*names, c.err())) return {};
  std::vector<const MultipleVariable*> sets;
  for (int64_t k = 0; k < names->size(); ++k) {
    const std::string name = cell_text(names->str()[k]);
    if (!is_set_name(name)) return c.fail(kErrSetName, name);
    const MultipleVariable* m = find_set(ds, name);
    if (!m) return c.fail(kErrUnknownSet, name);
    sets.push_back(m);
  }
  std::vector<const MultipleVariable*> distinct = sets;
  std::sort(distinct.begin(), distinct.end());
  distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
  if (distinct.size() < 2) return c.fail(kErrBundleSize);
  for (const MultipleVariable* m : sets)
    if (m->member_count() != sets[0]->member_count()) return c.fail(kErrBundleMembers, m->name);
  Matrix bundle = Matrix::strings(int(sets.size()), 1);
  for (size_t k = 0; k < sets.size(); ++k) bundle.str()[k] = sets[k]->name;
  ds.bundles().push_back(std::move(bundle));
  return c.none();
}

Value b_get_bmvar(Call& c) {
  const Dataset& ds = dataset(c);
  if (!ds.require_data(c.err())) return {};
  const auto& bundles = ds.bundles();
  if (c.argc() == 0) {
    if (bundles.empty()) return Matrix(0, 0, false);
    int width = 0;
    for (const Matrix& b : bundles) width = std::max(width, b.rows());
    Matrix out = Matrix::strings(int(bundles.size()), width);
    for (size_t i = 0; i < bundles.size(); ++i)
      for (int j = 0; j < bundles[i].rows(); ++j) out.sat(int(i), j) = bundles[i].str()[j];
    return out;
  }
  Value names = c.arg(0);
  if (!names || !data::text_matrix(*names, c.err())) return {};
  Matrix out(names->rows(), names->cols(), true);
  for (int64_t k = 0; k < names->size(); ++k) {
    const StrCell& name = names->str()[k];
    for (size_t i = 0; name && i < bundles.size() && out[k] == 0; ++i)
      for (int j = 0; j < bundles[i].rows(); ++j)
        if (bundles[i].str()[j] == name) {
          out[k] = double(i + 1);
          break;
        }
  }
  return out;
}

Value b_del_bmvar(Call& c) {
  Dataset& ds = dataset(c);
  if (!ds.require_data(c.err())) return {};
  ds.note_change();  // the dictionary changes in place
  auto& bundles = ds.bundles();
  if (c.argc() == 0) {
    bundles.clear();
    return c.none();
  }
  Value v = c.arg(0);
  if (!v) return {};
  if (!v->numeric()) return c.fail(kErrNumeric);
  std::vector<int> doomed;
  for (int64_t k = 0; k < v->size(); ++k) {
    const double x = std::trunc((*v)[k]);
    if (!(x >= 1 && x <= double(bundles.size()))) return c.fail(kErrRange);
    doomed.push_back(int(x) - 1);
  }
  std::sort(doomed.begin(), doomed.end());
  doomed.erase(std::unique(doomed.begin(), doomed.end()), doomed.end());
  for (auto it = doomed.rbegin(); it != doomed.rend(); ++it) bundles.erase(bundles.begin() + *it);
  return c.none();
}

}  // namespace

void install_multiple_builtins(BuiltinFamily& f) {
  f.add({
      {"DataAddMVar", 2, 3, 0, b_add_mvar},
      {"GetMulVal", 1, 1, 1, b_get_mul_val},
      {"GetMVar", 0, 1, 3, b_get_mvar},
      {"nmvar", 0, 0, 1, b_nmvar},
      {"DataAddBMVar", 1, 1, 0, b_add_bmvar},
      {"DataGetBMVar", 0, 1, 1, b_get_bmvar},
      {"DataDelBMVar", 0, 1, 0, b_del_bmvar},
  });
}

}  // namespace vop
