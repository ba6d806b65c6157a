// Every assignment first evaluates what the target's indexes need, then
// looks the variables up: index expressions may run script code that
// changes the dataset, so nothing found before them is trusted after.
#include "data/data_assign.h"

#include <algorithm>

#include "core/indexing.h"
#include "data/data_args.h"

namespace vop::data {

namespace {

// The cases a target's index lists; `any` false when it lists none (no
// index, or ":").
struct CaseIndex {
  bool any = false;        // an index restricts the assignment
  std::vector<int> rows;   // the indexed cases, 0-based, in the order written
};

bool evaluate_case_index(Interpreter& in, const ExprNode* target, int cases, CaseIndex* out,
                         ErrorState& err) {
  if (!target || target->kind != ExprKind::Name || !target->has_args || target->kids.empty())
    return true;
  const std::vector<ExprNode>& kids = target->kids;
  if (kids.size() > 2) return err.raise(kErrIndexCount);
  Index i = Index::all();
  if (!in.make_index(kids[0], cases, false, &i)) return false;
  if (kids.size() == 2) {
    Index j = Index::all();  // only ":" or 1: the variable's one column
    if (!in.make_index(kids[1], 1, false, &j)) return false;
  }
  if (i.is_all()) return true;
  out->any = true;
  const int64_t n = i.count(cases);
  out->rows.reserve(size_t(n));
  for (int64_t k = 0; k < n; ++k) out->rows.push_back(int(i.at(k)));
  return true;
}

// Calls put(row, element) for every case that receives a value and the
// element of `value` it receives; false (70) when the shape does not fit.
template <class Put>
bool for_each_target(const Dataset& ds, const CaseList& sel, const CaseIndex& idx,
                     const Matrix& value, ErrorState& err, Put&& put) {
  if (value.is_scalar()) {
    if (!idx.any)
      for (int k = 0; k < sel.count; ++k) put(sel.row(k), 0);
    else
      for (int r : idx.rows)
        if (ds.is_selected(r)) put(r, 0);
    return true;
  }
  if (value.cols() != 1) return err.raise(kErrDims);
  if (value.rows() == sel.count) {
    if (!idx.any) {
      for (int k = 0; k < sel.count; ++k) put(sel.row(k), k);
      return true;
    }
    std::vector<uint8_t> indexed(size_t(ds.case_count()), 0);
    for (int r : idx.rows) indexed[size_t(r)] = 1;
    for (int k = 0; k < sel.count; ++k)
      if (indexed[size_t(sel.row(k))]) put(sel.row(k), k);
    return true;
  }
  if (idx.any && size_t(value.rows()) == idx.rows.size()) {
    for (size_t t = 0; t < idx.rows.size(); ++t)
      if (ds.is_selected(idx.rows[t])) put(idx.rows[t], int(t));
    return true;
  }
  return err.raise(kErrDims);
}

bool write_values(Dataset& ds, DataVariable& v, const CaseIndex& idx, Value value,
                  ErrorState& err) {
  if (value->numeric() != v.numeric()) return err.raise(kErrTypes);
  const CaseList sel = selected_cases(ds);
  Matrix& col = v.column;
  // A whole new column that the assignment owns replaces the old one.
  if (value.owned() && sel.all && !idx.any && value->cols() == 1 &&
      value->rows() == ds.case_count() && value->rows() > 1) {
    Matrix m = std::move(value).take();
    size_t longest = 0;
    if (!m.numeric())
      for (int r = 0; r < m.rows(); ++r) longest = std::max(longest, cell_text(m.str()[r]).size());
    m.set_name(col.name());
    col = std::move(m);
    if (v.string_width > 0 && longest > size_t(v.string_width)) v.string_width = int(longest);
    return true;
  }
  if (value.borrowed() && &*value == &col) value = col.clone();  // X = X(...)
  const Matrix& src = *value;
  if (src.numeric()) {
    double* dst = col.num();
    const double* in = src.num();
    return for_each_target(ds, sel, idx, src, err, [&](int r, int k) { dst[r] = in[k]; });
  }
  size_t longest = 0;
  const bool ok = for_each_target(ds, sel, idx, src, err, [&](int r, int k) {
    const StrCell& s = src.str()[k];
    col.str()[r] = s;
    if (s) longest = std::max(longest, s->size());
  });
  if (v.string_width > 0 && longest > size_t(v.string_width)) v.string_width = int(longest);
  return ok;
}

}  // namespace

bool assign_selected(Dataset& ds, DataVariable& v, Value value, ErrorState& err) {
  if (!value || value->empty()) return err.raise(kErrDeleteData);
  return write_values(ds, v, CaseIndex(), std::move(value), err);
}

bool assign_variable_values(DataSession& s, std::string_view name, const ExprNode* target,
                            Value value, MissingTarget missing, ErrorState& err) {
  if (!value || value->empty()) return err.raise(kErrDeleteData);
  Dataset& ds = s.dataset;
  const uint64_t removals = ds.removals();
  const int cases = ds.case_count();
  CaseIndex idx;
  if (!evaluate_case_index(*s.interp, target, cases, &idx, err)) return false;
  // Script code in the index deleted variables or changed the cases: the
  // value or the target may be gone.
  if (ds.removals() != removals || ds.case_count() != cases) return err.raise(kErrNoReference);

  DataVariable* v = s.find_variable(name);
  if (!v) {
    if (missing == MissingTarget::Fail) return err.raise(kErrNoReference);
    v = ds.create_variable(name, value->numeric(), err);
    if (!v) return false;
  }
  return write_values(ds, *v, idx, std::move(value), err);
}

bool assign_data_cells(DataSession& s, const ExprNode& target, Value value, ErrorState& err) {
  if (!value || value->empty()) return err.raise(kErrDeleteData);
  Dataset& ds = s.dataset;
  if (!ds.require_data(err)) return false;
  const std::vector<ExprNode>& kids = target.kids;
  if (kids.size() > 2) return err.raise(kErrIndexCount);
  if (kids.size() < 2) return err.raise(kErrMissingArgs);
  const uint64_t removals = ds.removals();
  const int cases = ds.case_count();

  Interpreter& in = *s.interp;
  CaseList rows;
  if (kids[0].kind == ExprKind::Colon) {
    rows = selected_cases(ds);
  } else {
    Index i = Index::all();
    if (!in.make_index(kids[0], cases, false, &i)) return false;
    rows.all = false;
    rows.count = int(i.count(cases));
    for (int k = 0; k < rows.count; ++k) rows.rows.push_back(int(i.at(k)));
  }
  std::vector<Ref> refs;
  if (kids[1].kind == ExprKind::Colon) {
    for (int j = 0; j < ds.variable_count(); ++j) refs.push_back({j, -1, nullptr});
  } else {
    Call call(in, target, 1);
    Value r = call.arg(1);
    if (!r) return false;
    if (r->empty()) return err.raise(kErrNotEmpty);
    if (ds.removals() != removals || ds.case_count() != cases) return err.raise(kErrNoReference);
    if (!resolve_refs(*r, ds, SetRefs::Members, &refs, err)) return false;
  }
  if (ds.removals() != removals || ds.case_count() != cases) return err.raise(kErrNoReference);

  const Matrix& src = *value;
  for (const Ref& r : refs)
    if (ds.variable(r.var).numeric() != src.numeric()) return err.raise(kErrTypes);
  if (!src.is_scalar() && (src.rows() != rows.count || src.cols() != int(refs.size())))
    return err.raise(kErrDims);
  // A value lent by one of the columns written could change under the copy.
  Matrix own;
  const Matrix* from = &src;
  for (const Ref& r : refs)
    if (&ds.variable(r.var).column == &src) {
      own = src.clone();
      from = &own;
      break;
    }
  for (size_t j = 0; j < refs.size(); ++j) {
    DataVariable& v = ds.variable(refs[j].var);
    const int64_t base = from->is_scalar() ? 0 : int64_t(j) * rows.count;
    const int64_t step = from->is_scalar() ? 0 : 1;
    size_t longest = 0;
    for (int k = 0; k < rows.count; ++k) {
      const int r = rows.row(k);
      if (from->numeric()) {
        v.column[r] = (*from)[base + step * k];
      } else {
        const StrCell& cell = from->str()[base + step * k];
        v.column.str()[r] = cell;
        if (cell) longest = std::max(longest, cell->size());
      }
    }
    if (v.string_width > 0 && longest > size_t(v.string_width)) v.string_width = int(longest);
  }
  return true;
}

}  // namespace vop::data
