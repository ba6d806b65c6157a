// CrossTab: counts of row variables against a banner of column variables,
// as matrices a script turns into tables.
//
//   [n, base, un, ubase, ebase, rowkeys, colkeys, w2] = CrossTab(rows [, cols])
//
// n, un, w2: weighted counts, case counts and sums of squared weights, one
// row per category of every row variable, one column for Total and one per
// category of every column variable. base, ubase, ebase: per row variable
// (one row each), the weighted base, the case count and the effective base
// (sum w)^2 / sum w^2 of every column. rowkeys: [row variable number,
// category value]; colkeys: [column variable number (0 for Total),
// category value]. A dichotomy set's categories are its member numbers.
#include <cmath>
#include <utility>

#include "data/builtins_table.h"
#include "data/crosstab.h"
#include "data/data_args.h"
#include "data/data_session.h"

namespace vop {

namespace {

// The sources named by one argument: variables and "$" sets.
bool sources_of(Call& c, const Matrix& refs, const Dataset& ds, std::vector<tab::Source>* out) {
  if (refs.empty()) return true;
  std::vector<data::Ref> resolved;
  if (!data::resolve_refs(refs, ds, data::SetRefs::Itself, &resolved, c.err())) return false;
  for (const data::Ref& r : resolved) {
    tab::Source s;
    if (r.set >= 0) {
      const MultipleVariable& mv = ds.multiple_variables()[size_t(r.set)];
      s.name = mv.name;
      s.dichotomy = mv.kind == MultipleKind::Dichotomy;
      s.counted = mv.counted_values;
      for (const std::string& m : mv.members) {
        const DataVariable* v = ds.find(m);
        if (!v) return c.err().raise(kErrNoReference);
        if (!v->numeric()) return c.err().raise(kErrTabString, m);
        s.members.push_back(v);
      }
    } else {
      const DataVariable& v = ds.variable(r.var);
      if (!v.numeric()) return c.err().raise(kErrTabString, v.name());
      s.name = v.name();
      s.members.push_back(&v);
    }
    out->push_back(std::move(s));
  }
  return true;
}

Matrix sums(const std::vector<tab::Cell>& cells, int rows, int cols, double tab::Cell::*field) {
  Matrix m = Matrix::numbers(rows, cols);
  for (size_t k = 0; k < cells.size(); ++k) m.num()[k] = cells[k].*field;
  return m;
}

Matrix effective(const std::vector<tab::Cell>& cells, int rows, int cols) {
  Matrix m = Matrix::numbers(rows, cols);
  for (size_t k = 0; k < cells.size(); ++k)
    m.num()[k] = cells[k].w2 > 0 ? cells[k].w * cells[k].w / cells[k].w2 : 0.0;
  return m;
}

Matrix keys(const std::vector<int>& source, const std::vector<double>& value) {
  const int n = int(source.size());
  Matrix m = Matrix::numbers(n, 2);
  for (int k = 0; k < n; ++k) {
    m.num()[k] = source[size_t(k)];
    m.num()[k + n] = value[size_t(k)];
  }
  return m;
}

Value b_crosstab(Call& c) {
  const int wanted = c.requested() > 1 ? c.requested() : 1;
  Matrix args[2];
  for (int i = 0; i < c.argc(); ++i) {
    Value v = c.arg(i);
    if (!v) return {};
    args[i] = std::move(v).take();
  }
  if (args[0].empty()) return c.fail(kErrNotEmpty);
  const Dataset& ds = data_session(c.interp()).dataset;
  if (!ds.require_data(c.err())) return {};
  std::vector<tab::Source> rows, cols;
  if (!sources_of(c, args[0], ds, &rows) || !sources_of(c, args[1], ds, &cols)) return {};

  const data::CaseList cases = data::selected_cases(ds);
  std::vector<tab::Source*> all;
  for (auto* side : {&rows, &cols})
    for (tab::Source& s : *side) all.push_back(&s);
  if (const int bad = tab::find_categories(all, cases); bad >= 0)
    return c.fail(kErrTabCategories, all[size_t(bad)]->name);
  const double* weights = nullptr;
  if (ds.weight_name())
    if (const DataVariable* w = ds.find(*ds.weight_name()); w && w->numeric())
      weights = w->column.num();

  const tab::Tables t = tab::crosstab(rows, cols, cases, weights);
  const int K = int(rows.size());
  std::vector<Matrix> out;
  out.push_back(sums(t.cells, t.rows, t.cols, &tab::Cell::w));
  out.push_back(sums(t.bases, K, t.cols, &tab::Cell::w));
  out.push_back(sums(t.cells, t.rows, t.cols, &tab::Cell::u));
  out.push_back(sums(t.bases, K, t.cols, &tab::Cell::u));
  out.push_back(effective(t.bases, K, t.cols));
  out.push_back(keys(t.row_source, t.row_value));
  out.push_back(keys(t.col_source, t.col_value));
  out.push_back(sums(t.cells, t.rows, t.cols, &tab::Cell::w2));
  out.resize(size_t(wanted));
  if (wanted == 1) return std::move(out[0]);
  return c.results(std::move(out));
}

}  // namespace

void install_tabulation_builtins(BuiltinFamily& f) {
  f.add({
      {"CrossTab", 1, 2, 8, b_crosstab},
  });
}

}  // namespace vop
