// The run-time operations of the transformation statements. They work on
// whole columns at the cases that pass the filter; while they run, names
// of data variables are read upper-cased.
#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "data/builtins_table.h"
#include "data/data_args.h"
#include "data/data_assign.h"
#include "data/data_session.h"
#include "data/name_case.h"
#include "data/transform.h"

namespace vop {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// Name of the temporary filter of !if, outside the variable list.
constexpr char kIfFilterName[] = "$$filter";

// --- !compute and !if ----------------------------------------------------------

Value b_compute(Call& c) {
  DataSession& s = data_session(c.interp());
  if (!s.dataset.require_data(c.err())) return {};
  TransformScope scope(s);
  Value value = c.arg(1);
  if (!value || c.interp().stop_requested()) return {};
  const ExprNode& target = c.arg_node(0);
  if (!data::assign_variable_values(s, upper_name(target.text), &target, std::move(value),
                                    data::MissingTarget::Create, c.err()))
    return {};
  return c.none();
}

// Makes a temporary variable the filter and puts the previous one back on
// every path; the previous one is restored only if it still exists.
class FilterSwap {
 public:
  FilterSwap(DataSession& s, const DataVariable* temp) : s_(s), old_(s.dataset.filter()) {
    if (old_) old_name_ = old_->name();
    s_.temp_filters.push_back(temp);
    s_.dataset.set_filter_variable(temp);
  }
  ~FilterSwap() {
    s_.temp_filters.pop_back();
    s_.dataset.set_filter_variable(alive() ? old_ : nullptr);
  }
  FilterSwap(const FilterSwap&) = delete;
  FilterSwap& operator=(const FilterSwap&) = delete;

 private:
  // Compares addresses only: the old filter may have been deleted.
  bool alive() const {
    if (!old_) return false;
    for (const DataVariable* t : s_.temp_filters)
      if (t == old_) return true;
    return s_.dataset.find(old_name_) == old_;
  }

  DataSession& s_;
  const DataVariable* old_;   // the filter before; not owned
  std::string old_name_;      // its name, to find out whether it still exists
};

Value b_if(Call& c) {
  DataSession& s = data_session(c.interp());
  Dataset& ds = s.dataset;
  if (!ds.require_data(c.err())) return {};
  TransformScope scope(s);
  Value condition = c.arg(0);
  if (!condition) return {};
  DataVariable temp;
  if (!ds.filter() && condition.owned() && condition->cols() == 1 &&
      condition->rows() == ds.case_count() && ds.case_count() > 1) {
    // Every case takes its own condition value: the value is the column.
    temp.column = std::move(condition).take();
    temp.column.set_name(kIfFilterName);
  } else {
    temp = make_variable(kIfFilterName, condition->numeric(), ds.case_count());
    if (!data::assign_selected(ds, temp, std::move(condition), c.err())) return {};
  }
  FilterSwap swap(s, &temp);
  Value value = c.arg(2);
  if (!value || c.interp().stop_requested()) return {};
  // Script code in the expression added or removed cases: the condition
  // no longer lines up with them.
  if (ds.case_count() != temp.column.rows()) return c.fail(kErrDims);
  const ExprNode& target = c.arg_node(1);
  if (!data::assign_variable_values(s, upper_name(target.text), &target, std::move(value),
                                    data::MissingTarget::Create, c.err()))
    return {};
  return c.none();
}

// --- !recode -----------------------------------------------------------------------

// One row of the rule table. A number is (value, NaN), a range (high,
// low), sysmis (NaN, NaN), else (NaN, 1); copy is the result +Inf.
struct RecodeRule {
  double value;   // the value matched, or the range's high end
  double low;     // the range's low end; NaN for a single value
  double result;  // the new value; an infinite result keeps the old one
};

bool matches(const RecodeRule& r, double x) {
  const bool low_set = !std::isnan(r.low);
  const bool value_set = !std::isnan(r.value);
  if (low_set) return !value_set || (r.low <= x && x <= r.value);
  if (value_set) return x == r.value;
  return std::isnan(x);
}

// A numeric 1x1 part of a rule (63, 55).
bool rule_number(Call& part, int i, double* out) {
  Value v = part.arg(i);
  if (!v) return false;
  if (!v->numeric()) return part.err().raise(kErrNumeric);
  if (!v->is_scalar()) return part.err().raise(kErrScalar);
  *out = (*v)[0];
  return true;
}

bool is_mark(const ExprNode& n, const char* word) { return n.kind == ExprKind::Colon && n.text == word; }

bool build_rules(Interpreter& in, const ExprNode& rules, std::vector<RecodeRule>* table) {
  for (const ExprNode& rule : rules.kids) {
    Call part(in, rule, 1);
    const int last = int(rule.kids.size()) - 1;
    double result = kNaN;
    if (is_mark(rule.kids[size_t(last)], kRecodeCopy)) result = INFINITY;
    else if (!is_mark(rule.kids[size_t(last)], kRecodeSysmis) && !rule_number(part, last, &result))
      return false;
    for (int k = 0; k < last; ++k) {
      const ExprNode& value = rule.kids[size_t(k)];
      RecodeRule r{kNaN, kNaN, result};
      if (is_mark(value, kRecodeElse)) {
        r.low = 1;
      } else if (value.kind == ExprKind::Range) {
        Call ends(in, value, 1);
        if (!rule_number(ends, 0, &r.low) || !rule_number(ends, 1, &r.value)) return false;
      } else if (!is_mark(value, kRecodeSysmis) && !rule_number(part, k, &r.value)) {
        return false;
      }
      table->push_back(r);
    }
  }
  return true;
}

// The target of one source: itself, or the "into" variable (created
// numeric when missing; 71 when it is a string variable).
DataVariable* recode_target(DataSession& s, DataVariable& source, const ExprNode* into,
                            ErrorState& err) {
  if (!into) return &source;
  const std::string name = upper_name(into->text);
  if (DataVariable* t = s.find_variable(name)) {
    if (!t->numeric()) return err.raise(kErrTypes), nullptr;
    return t;
  }
  return s.dataset.create_variable(name, true, err);
}

// What the rules do with one value: the first matching rule's result, the
// value itself (copy), or nothing (no rule matched).
enum class Outcome : uint8_t { None, Result, Keep };

// The rules' answers for the small whole numbers that survey codes are,
// worked out once per statement so that recoding a column is a table lookup
// per value; other values go through the rules.
class RecodeTable {
 public:
  explicit RecodeTable(const std::vector<RecodeRule>& rules) : rules_(rules) {
    for (int v = kLow; v <= kHigh; ++v) decide(double(v), &outcome_[size_t(v - kLow)], &value_[size_t(v - kLow)]);
    decide(kNaN, &nan_outcome_, &nan_value_);
  }

  // Recode src into dst (a column of `rows` values) at the listed cases, a
  // block of cases at a time between looks at `cancel`. False, with dst
  // as it was, when the run was stopped: a variable is recoded whole or
  // not at all.
  bool apply(const data::CaseList& cases, const double* src, double* dst, int rows,
             CancelToken cancel) const {
    if (cases.count <= kCasesPerPoll) {
      apply(cases, 0, cases.count, src, dst);
      return true;
    }
    std::vector<double> work(dst, dst + rows);
    for (int k = 0; k < cases.count; k += kCasesPerPoll) {
      if (cancel.stop_requested()) return false;
      apply(cases, k, std::min(cases.count, k + kCasesPerPoll), src, work.data());
    }
    std::copy(work.begin(), work.end(), dst);
    return true;
  }

 private:
  // Cases recoded between two looks at the stop request: a few milliseconds.
  static constexpr int kCasesPerPoll = 1 << 16;

  void apply(const data::CaseList& cases, int first, int end, const double* src, double* dst) const {
    for (int k = first; k < end; ++k) {
      const int row = cases.row(k);
      const double x = src[row];
      Outcome o;
      double y;
      if (x >= kLow && x <= kHigh && x == double(int(x))) {
        o = outcome_[size_t(int(x) - kLow)];
        y = value_[size_t(int(x) - kLow)];
      } else if (std::isnan(x)) {
        o = nan_outcome_;
        y = nan_value_;
      } else {
        decide(x, &o, &y);
      }
      if (o == Outcome::Result) dst[row] = y;
      else if (o == Outcome::Keep) dst[row] = x;
    }
  }

  // Whole numbers from kLow to kHigh are looked up: survey codes, counts
  // and scale points, with room for negative "not asked" codes.
  static constexpr int kLow = -256;
  static constexpr int kHigh = 1023;
  static constexpr size_t kSize = size_t(kHigh - kLow + 1);

  void decide(double x, Outcome* o, double* y) const {
    for (const RecodeRule& r : rules_) {
      if (!matches(r, x)) continue;
      *o = std::isinf(r.result) ? Outcome::Keep : Outcome::Result;
      *y = r.result;
      return;
    }
    *o = Outcome::None;
    *y = 0;
  }

  const std::vector<RecodeRule>& rules_;  // the statement's rules; not owned
  Outcome outcome_[kSize];                // per whole number kLow..kHigh
  double value_[kSize];                   // its result where outcome_ is Result
  Outcome nan_outcome_;                   // what the rules do with NaN
  double nan_value_;
};

Value b_recode(Call& c) {
  DataSession& s = data_session(c.interp());
  Dataset& ds = s.dataset;
  if (!ds.require_data(c.err())) return {};
  TransformScope scope(s);
  std::vector<RecodeRule> rules;
  if (!build_rules(c.interp(), c.arg_node(1), &rules)) return {};
  const ExprNode& sources = c.arg_node(0);
  const ExprNode& targets = c.arg_node(2);
  const data::CaseList cases = data::selected_cases(ds);
  const auto table = std::make_unique<RecodeTable>(rules);
  for (size_t k = 0; k < sources.kids.size(); ++k) {
    const std::string name = upper_name(sources.kids[k].text);
    DataVariable* source = s.find_variable(name);
    if (!source) return c.fail(kErrNoVariable, name);
    if (!source->numeric()) return c.fail(kErrNumeric);
    const ExprNode* into = targets.kids.empty() ? nullptr : &targets.kids[k];
    DataVariable* target = recode_target(s, *source, into, c.err());
    if (!target) return {};
    if (!table->apply(cases, source->column.num(), target->column.num(), ds.case_count(),
                      c.interp().cancel_token()))
      return c.fail(kErrStopped);
  }
  return c.none();
}

}  // namespace

void install_transform_builtins(BuiltinFamily& f) {
  f.add({
      {"!compute", 2, 2, 0, b_compute},
      {"!if", 3, 3, 0, b_if},
      {"!recode", 3, 3, 0, b_recode},
  });
}

}  // namespace vop
