#include "data/data_args.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vop::data {

// --- Argument shapes ---------------------------------------------------------

bool one_text_of(const Matrix& v, ErrorState& err, std::string* out) {
  if (v.empty()) return err.raise(kErrNotEmpty);
  if (v.numeric()) return err.raise(kErrString);
  if (!v.is_scalar()) return err.raise(kErrScalar);
  *out = cell_text(v.str()[0]);
  return true;
}

bool one_text(Call& c, int i, std::string* out) {
  Value v = c.arg(i);
  return v && one_text_of(*v, c.err(), out);
}

bool numeric_vector(const Matrix& v, ErrorState& err) {
  if (v.empty()) return err.raise(kErrNotEmpty);
  if (!v.numeric()) return err.raise(kErrNumeric);
  if (!v.is_vector()) return err.raise(kErrVector);
  return true;
}

bool text_matrix(const Matrix& v, ErrorState& err) {
  if (v.empty()) return err.raise(kErrNotEmpty);
  if (v.numeric()) return err.raise(kErrString);
  return true;
}

// --- Variable references -----------------------------------------------------

namespace {

bool resolve_name(const std::string& name, const Dataset& ds, SetRefs sets, std::vector<Ref>* out,
                  ErrorState& err) {
  if (!name.empty() && name[0] == '$') {
    const auto& list = ds.multiple_variables();
    auto it = std::find_if(list.begin(), list.end(),
                           [&](const MultipleVariable& m) { return m.name == name; });
    if (it == list.end()) return err.raise(kErrUnknownSet, name);
    if (sets == SetRefs::Itself) {
      out->push_back({-1, int(it - list.begin()), &*it});
      return true;
    }
    for (const std::string& member : it->members) {
      const int i = ds.index_of(member);
      if (i < 0) return err.raise(kErrNoReference);
      out->push_back({i, -1, &*it});
    }
    return true;
  }
  const int i = ds.index_of(name);
  if (i < 0) return err.raise(kErrNoReference);
  out->push_back({i, -1, nullptr});
  return true;
}

}  // namespace

bool resolve_refs(const Matrix& refs, const Dataset& ds, SetRefs sets, std::vector<Ref>* out,
                  ErrorState& err) {
  out->clear();
  const int64_t n = refs.size();
  out->reserve(size_t(n));
  if (refs.numeric()) {
    for (int64_t k = 0; k < n; ++k) {
      const double x = std::trunc(refs[k]);
      if (!(x >= 1 && x <= ds.variable_count())) return err.raise(kErrRange);
      out->push_back({int(x) - 1, -1, nullptr});
    }
    return true;
  }
  for (int64_t k = 0; k < n; ++k) {
    const StrCell& s = refs.str()[k];
    if (!s) return err.raise(kErrBadVarName);
    if (!resolve_name(*s, ds, sets, out, err)) return false;
  }
  return true;
}

// --- Cases -------------------------------------------------------------------

CaseList all_cases(const Dataset& ds) {
  CaseList c;
  c.count = ds.case_count();
  return c;
}

CaseList selected_cases(const Dataset& ds) {
  if (!ds.filter()) return all_cases(ds);
  CaseList c;
  c.all = false;
  const int n = ds.case_count();
  c.rows.resize(size_t(n));
  int count = 0;
  const Matrix& f = ds.filter()->column;
  if (f.numeric() && f.rows() >= n) {
    // Written without a branch on the value: filters are often random.
    const double* x = f.num();
    for (int r = 0; r < n; ++r) {
      c.rows[size_t(count)] = r;
      count += std::isfinite(x[r]) & (x[r] != 0);
    }
  } else {
    for (int r = 0; r < n; ++r)
      if (ds.is_selected(r)) c.rows[size_t(count++)] = r;
  }
  c.rows.resize(size_t(count));
  c.count = count;
  return c;
}

bool case_numbers(const Matrix& v, const Dataset& ds, CaseList* out, ErrorState& err) {
  out->all = false;
  out->rows.clear();
  out->count = 0;
  if (v.empty()) return true;
  if (!v.numeric()) return err.raise(kErrNumeric);
  if (!v.is_vector()) return err.raise(kErrVector);
  const int64_t n = v.size();
  out->rows.reserve(size_t(n));
  for (int64_t k = 0; k < n; ++k) {
    const double x = std::trunc(v[k]);
    if (!(x >= 1 && x <= ds.case_count())) return err.raise(kErrRange);
    out->rows.push_back(int(x) - 1);
  }
  out->count = int(n);
  return true;
}

// --- Values ------------------------------------------------------------------

bool reads_raw(const DataVariable& v, const MultipleVariable* via) {
  return v.missing_code == kMissingNone && !via;
}

void gather_numbers(const DataVariable& v, const MultipleVariable* via, const CaseList& cases,
                    bool convert, double* out) {
  const double* src = v.column.num();
  const int n = cases.count;
  const bool dichotomy = convert && via && via->kind == MultipleKind::Dichotomy;
  const bool missing = convert && v.missing_code != kMissingNone;
  if (!dichotomy && !missing) {
    if (cases.all) std::copy(src, src + n, out);
    else
      for (int k = 0; k < n; ++k) out[k] = src[cases.rows[size_t(k)]];
    return;
  }
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<double>* counted = dichotomy ? &via->counted_values : nullptr;
  for (int k = 0; k < n; ++k) {
    const double x = src[cases.row(k)];
    if (missing && is_user_missing(v, x)) {
      out[k] = nan;
    } else if (counted) {
      if (!std::isfinite(x)) out[k] = v.missing_code != kMissingNone ? nan : x;
      else out[k] = std::find(counted->begin(), counted->end(), x) != counted->end() ? 1 : 0;
    } else {
      out[k] = x;
    }
  }
}

void gather_texts(const DataVariable& v, const CaseList& cases, StrCell* out) {
  const StrCell* src = v.column.str();
  for (int k = 0; k < cases.count; ++k) out[k] = src[cases.row(k)];
}

Value values_of(const Dataset& ds, const std::vector<Ref>& refs, const CaseList& cases,
                bool convert, ErrorState& err, Lending lending) {
  if (refs.empty() || cases.count == 0) return Matrix();
  const bool numeric = ds.variable(refs[0].var).numeric();
  for (const Ref& r : refs)
    if (ds.variable(r.var).numeric() != numeric) return err.raise(kErrTypes), Value();
  if (lending == Lending::OwnColumn && refs.size() == 1 && cases.all) {
    const DataVariable& v = ds.variable(refs[0].var);
    if (!convert || reads_raw(v, refs[0].via)) {
      v.lent = true;
      return Value::borrow(v.column);
    }
  }
  Matrix out(cases.count, int(refs.size()), numeric, numeric ? Matrix::Fill::None : Matrix::Fill::Absent);
  for (size_t j = 0; j < refs.size(); ++j) {
    const DataVariable& v = ds.variable(refs[j].var);
    const int64_t offset = int64_t(j) * cases.count;
    if (numeric) gather_numbers(v, refs[j].via, cases, convert, out.num() + offset);
    else gather_texts(v, cases, out.str() + offset);
  }
  return out;
}

}  // namespace vop::data
