// Data builtins of the dictionary: variable labels, value labels and
// missing-value rules.
#include <algorithm>
#include <cmath>
#include <limits>

#include "data/builtins_table.h"
#include "data/data_args.h"
#include "data/data_session.h"

namespace vop {

namespace {

using data::Ref;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// Values of a missing-value rule.
constexpr int kMissingSlots = 3;

Dataset& dataset(Call& c) { return data_session(c.interp()).dataset; }

// Argument i as references (77 when empty).
bool refs_arg(Call& c, int i, const Dataset& ds, data::SetRefs sets, std::vector<Ref>* refs,
              int* rows = nullptr, int* cols = nullptr) {
  Value v = c.arg(i);
  if (!v) return false;
  if (v->empty()) return c.err().raise(kErrNotEmpty);
  if (rows) *rows = v->rows();
  if (cols) *cols = v->cols();
  return data::resolve_refs(*v, ds, sets, refs, c.err());
}

// The shape of a result with one element per reference: the references'
// own shape when each stood for one element, else a column.
Matrix shaped(int rows, int cols, size_t count, bool numeric) {
  if (int64_t(rows) * cols != int64_t(count)) {
    rows = int(count);
    cols = 1;
  }
  return numeric ? Matrix(rows, cols, true) : Matrix::strings(rows, cols);
}

// --- Variable labels -----------------------------------------------------------

Value b_get_var_label(Call& c) {
  Dataset& ds = dataset(c);
  if (!ds.require_data(c.err())) return {};
  std::vector<Ref> refs;
  int rows = 0, cols = 0;
  if (!refs_arg(c, 0, ds, data::SetRefs::Itself, &refs, &rows, &cols)) return {};
  Matrix out = shaped(rows, cols, refs.size(), false);
  for (size_t k = 0; k < refs.size(); ++k)
    out.str()[k] = refs[k].set >= 0 ? ds.multiple_variables()[size_t(refs[k].set)].label
                                    : ds.variable(refs[k].var).label;
  return out;
}

Value b_set_var_label(Call& c) {
  Dataset& ds = dataset(c);
  if (!ds.require_data(c.err())) return {};
  ds.note_change();  // the dictionary changes in place
  std::vector<Ref> refs;
  if (!refs_arg(c, 0, ds, data::SetRefs::Itself, &refs)) return {};
  Value labels = c.arg(1);
  if (!labels || !data::text_matrix(*labels, c.err())) return {};
  if (!labels->is_scalar() && size_t(labels->size()) != refs.size()) return c.fail(kErrDims);
  for (size_t k = 0; k < refs.size(); ++k) {
    const StrCell& label = labels->str()[labels->is_scalar() ? 0 : k];
    if (label && label->size() > data::kMaxVariableLabel) return c.fail(kErrLabelLength, *label);
    if (refs[k].set >= 0) ds.multiple_variables()[size_t(refs[k].set)].label = label;
    else ds.variable(refs[k].var).label = label;
  }
  return c.none();
}

// --- Value labels --------------------------------------------------------------

// The one variable a value-label builtin works on: the first referenced
// (a multiple variable's first member); string variables raise 101.
bool labelled_variables(Call& c, Dataset& ds, std::vector<Ref>* refs) {
  if (!refs_arg(c, 0, ds, data::SetRefs::Members, refs)) return false;
  if (refs->empty()) return c.err().raise(kErrNoReference);
  for (const Ref& r : *refs)
    if (!ds.variable(r.var).numeric()) return c.err().raise(kErrStringLabel);
  return true;
}

const ValueLabel* find_label(const DataVariable& v, double x) {
  for (const ValueLabel& l : v.value_labels)
    if (l.value == x) return &l;
  return nullptr;
}

Value b_get_num_label(Call& c) {
  Dataset& ds = dataset(c);
  if (!ds.require_data(c.err())) return {};
  std::vector<Ref> refs;
  if (!labelled_variables(c, ds, &refs)) return {};
  const DataVariable& v = ds.variable(refs[0].var);
  if (c.argc() > 1) {
    if (c.requested() > 1) return c.fail(kErrTooManyResults);
    Value values = c.arg(1);
    if (!values) return {};
    if (values->empty()) return c.fail(kErrNotEmpty);
    if (!values->numeric()) return c.fail(kErrNumeric);
    Matrix out = Matrix::strings(values->rows(), values->cols());
    for (int64_t k = 0; k < values->size(); ++k)
      if (const ValueLabel* l = find_label(v, (*values)[k])) out.str()[k] = l->text;
    return out;
  }
  const int n = v.label_count();
  Matrix texts = Matrix::strings(n, 1);
  Matrix values(n, 1, true);
  for (int k = 0; k < n; ++k) {
    texts.str()[k] = v.value_labels[size_t(k)].text;
    values[k] = v.value_labels[size_t(k)].value;
  }
  if (c.requested() < 2) return texts;
  std::vector<Matrix> both;
  both.push_back(std::move(texts));
  both.push_back(std::move(values));
  return c.results(std::move(both));
}

// Sets, replaces or (label absent) removes the label of x; new values go
// before the first larger labelled value.
void put_label(DataVariable& v, double x, const StrCell& label) {
  auto& labels = v.value_labels;
  auto it = std::find_if(labels.begin(), labels.end(), [&](const ValueLabel& l) { return l.value == x; });
  if (it != labels.end()) {
    if (label) it->text = *label;
    else labels.erase(it);
    return;
  }
  if (!label) return;
  auto at = std::find_if(labels.begin(), labels.end(), [&](const ValueLabel& l) { return l.value > x; });
  labels.insert(at, ValueLabel{x, *label});
}

Value b_set_num_label(Call& c) {
  Dataset& ds = dataset(c);
  if (!ds.require_data(c.err())) return {};
  ds.note_change();  // the dictionary changes in place
  std::vector<Ref> refs;
  if (!labelled_variables(c, ds, &refs)) return {};
  Value values = c.arg(1);
  if (!values || !data::numeric_vector(*values, c.err())) return {};
  Value labels = c.arg(2);
  if (!labels || !data::text_matrix(*labels, c.err())) return {};
  if (!labels->is_vector()) return c.fail(kErrVector);
  if (labels->size() != values->size()) return c.fail(kErrDims);
  for (int64_t k = 0; k < values->size(); ++k) {
    const double x = (*values)[k];
    const StrCell& label = labels->str()[k];
    if (!std::isfinite(x)) return c.fail(kErrLabelValue);
    if (label && label->size() > data::kMaxValueLabel) return c.fail(kErrBadVarName);
    for (const Ref& r : refs) put_label(ds.variable(r.var), x, label);
  }
  return c.none();
}

// --- Missing values ------------------------------------------------------------

// How many of the three values a missing-value code uses.
int values_used(int code) {
  switch (code) {
    case 1: return 1;
    case 2: case kMissingRange: return 2;
    case 3: case kMissingRangeAndValue: return 3;
    default: return 0;
  }
}

bool valid_code(double code) {
  return code == 0 || code == 1 || code == 2 || code == 3 || code == kMissingRange ||
         code == kMissingRangeAndValue;
}

Value b_get_miss_val(Call& c) {
  Dataset& ds = dataset(c);
  if (!ds.require_data(c.err())) return {};
  std::vector<Ref> refs;
  int rows = 0, cols = 0;
  if (!refs_arg(c, 0, ds, data::SetRefs::Members, &refs, &rows, &cols)) return {};
  Matrix codes = shaped(rows, cols, refs.size(), true);
  Matrix values(int(refs.size()), kMissingSlots, true, Matrix::Fill::Nan);
  for (size_t k = 0; k < refs.size(); ++k) {
    const DataVariable& v = ds.variable(refs[k].var);
    codes[int64_t(k)] = v.missing_code;
    for (int j = 0; j < values_used(v.missing_code); ++j)
      values.at(int(k), j) = v.missing_values[size_t(j)];
  }
  if (c.requested() < 2) return codes;
  std::vector<Matrix> both;
  both.push_back(std::move(codes));
  both.push_back(std::move(values));
  return c.results(std::move(both));
}

// Checks one missing-value rule (112, 113, 114) and stores it.
bool set_missing(DataVariable& v, double code, const double* x, ErrorState& err) {
  if (!valid_code(code)) return err.raise(kErrMissingCode);
  const int c = int(code);
  const int used = values_used(c);
  for (int j = 0; j < used; ++j)
    if (!std::isfinite(x[j])) return err.raise(kErrMissingValue);
  if ((c == kMissingRange || c == kMissingRangeAndValue) && !(x[1] > x[0]))
    return err.raise(kErrMissingOrder);
  if ((c == 2 || c == 3) && x[0] == x[1]) return err.raise(kErrMissingOrder);
  if (c == 3 && (x[2] == x[0] || x[2] == x[1])) return err.raise(kErrMissingOrder);
  v.missing_code = c;
  for (int j = 0; j < kMissingSlots; ++j) v.missing_values[size_t(j)] = j < used ? x[j] : 0;
  return true;
}

Value b_set_miss_val(Call& c) {
  Dataset& ds = dataset(c);
  if (!ds.require_data(c.err())) return {};
  ds.note_change();  // the dictionary changes in place
  std::vector<Ref> refs;
  if (!refs_arg(c, 0, ds, data::SetRefs::Members, &refs)) return {};
  Value codes = c.arg(1);
  if (!codes) return {};
  if (codes->empty()) return c.fail(kErrNotEmpty);
  if (!codes->numeric()) return c.fail(kErrNumeric);
  Value values = c.arg(2);
  if (!values) return {};
  if (!values->numeric()) return c.fail(kErrNumeric);
  const int64_t n = int64_t(refs.size());
  // One code and one row of values may serve every reference.
  const bool one_code = codes->size() == 1;
  const bool one_row = values->rows() == 1;
  if (!one_code && codes->size() != n) return c.fail(kErrDims);
  if (values->cols() != kMissingSlots || (!one_row && values->rows() != n)) {
    // A code that uses no values (0 clears) needs none.
    const bool clearing = one_code && (*codes)[0] == 0 && values->empty();
    if (!clearing) return c.fail(kErrDims);
  }
  for (int64_t k = 0; k < n; ++k) {
    double x[kMissingSlots] = {0, 0, 0};
    if (!values->empty())
      for (int j = 0; j < kMissingSlots; ++j) x[j] = values->at(one_row ? 0 : int(k), j);
    const double code = std::trunc((*codes)[one_code ? 0 : k]);
    if (!set_missing(ds.variable(refs[size_t(k)].var), code, x, c.err())) return {};
  }
  return c.none();
}

}  // namespace

void install_dictionary_builtins(BuiltinFamily& f) {
  f.add({
      {"GetVarLabel", 1, 1, 1, b_get_var_label},
      {"SetVarLabel", 2, 2, 0, b_set_var_label},
      {"GetNumLabel", 1, 2, 2, b_get_num_label},
      {"SetNumLabel", 3, 3, 0, b_set_num_label},
      {"GetMissVal", 1, 1, 2, b_get_miss_val},
      {"SetMissVal", 3, 3, 0, b_set_miss_val},
  });
}

}  // namespace vop
