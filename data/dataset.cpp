#include "data/dataset.h"

#include <algorithm>
#include <unordered_set>
#include <cmath>
#include <limits>

#include "data/name_case.h"

namespace vop {

// Defaults of a newly created variable, by kind.
namespace {
struct CreationDefaults {
  int format_type;
  int decimals;
  int alignment;
  int measure;
};
constexpr CreationDefaults kNumericDefaults{kFormatF, 2, 1, 2};
constexpr CreationDefaults kStringDefaults{kFormatA, 0, 0, 0};
}  // namespace

DataVariable make_variable(std::string name, bool numeric, int rows) {
  DataVariable v;
  v.column = numeric ? Matrix(rows, 1, true, Matrix::Fill::Nan)
                     : Matrix(rows, 1, false, Matrix::Fill::Absent);
  v.column.set_name(std::move(name));
  const CreationDefaults& d = numeric ? kNumericDefaults : kStringDefaults;
  v.format_type = d.format_type;
  v.decimals = d.decimals;
  v.alignment = d.alignment;
  v.measure = d.measure;
  return v;
}

bool valid_variable_name(std::string_view name) {
  if (name.empty() || name.size() > kMaxVariableName) return false;
  const char c = name[0];
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool is_user_missing(const DataVariable& v, double x) {
  if (!std::isfinite(x)) return false;
  const auto& m = v.missing_values;
  switch (v.missing_code) {
    case 1: case 2: case 3:
      for (int i = 0; i < v.missing_code; ++i)
        if (x == m[size_t(i)]) return true;
      return false;
    case kMissingRange:
      return m[0] <= x && x <= m[1];
    case kMissingRangeAndValue:
      return (m[0] <= x && x <= m[1]) || x == m[2];
    default:
      return false;
  }
}

DataVariable* Dataset::find(std::string_view name) {
  const int i = index_of(name);
  return i < 0 ? nullptr : vars_[size_t(i)].get();
}

const DataVariable* Dataset::find(std::string_view name) const {
  const int i = index_of(name);
  return i < 0 ? nullptr : vars_[size_t(i)].get();
}

int Dataset::index_of(std::string_view name) const {
  auto it = index_.find(name);
  return it == index_.end() ? -1 : it->second;
}

Matrix* Dataset::find_data_variable(std::string_view name, const CallFrame* frame) {
  if (DataVariable* v = find(name)) return &v->column;
  if (!frame) return nullptr;
  const Alias* alias = frame->find_alias(name);
  if (!alias) return nullptr;
  DataVariable* v = find(alias->target_name);
  return v ? &v->column : nullptr;
}

DataVariable* Dataset::create_variable(std::string_view name, bool numeric, ErrorState& err) {
  std::string upper = upper_name(name);
  if (!valid_variable_name(name) || !valid_variable_name(upper)) {
    err.raise(kErrBadVarName);
    return nullptr;
  }
  if (find(upper)) {
    err.raise(kErrDuplicateVar);
    return nullptr;
  }
  append_variable(make_variable(std::move(upper), numeric, case_count_));
  return vars_.back().get();
}

bool Dataset::append_variable(DataVariable&& v) {
  if (v.column.rows() != case_count_ || v.column.cols() != 1) return false;
  if (index_.count(v.name())) return false;
  index_.emplace(v.name(), int(vars_.size()));
  vars_.push_back(std::make_unique<DataVariable>(std::move(v)));
  note_change();
  return true;
}

bool Dataset::insert_variable(int pos, DataVariable&& v) {
  if (pos < 0 || pos > variable_count()) return false;
  if (v.column.rows() != case_count_ || v.column.cols() != 1) return false;
  if (index_.count(v.name())) return false;
  vars_.insert(vars_.begin() + pos, std::make_unique<DataVariable>(std::move(v)));
  rebuild_index();
  note_change();
  return true;
}

bool Dataset::insert_variables(int pos, std::vector<DataVariable>&& vs) {
  if (pos < 0 || pos > variable_count()) return false;
  std::unordered_set<std::string_view> names;
  for (const DataVariable& v : vs) {
    if (v.column.rows() != case_count_ || v.column.cols() != 1) return false;
    if (index_.count(v.name()) || !names.insert(v.name()).second) return false;
  }
  std::vector<std::unique_ptr<DataVariable>> made;
  made.reserve(vs.size());
  for (DataVariable& v : vs) made.push_back(std::make_unique<DataVariable>(std::move(v)));
  const bool at_end = pos == variable_count();
  vars_.insert(vars_.begin() + pos, std::make_move_iterator(made.begin()), std::make_move_iterator(made.end()));
  // At the end the others keep their positions: only the new names go in.
  if (at_end)
    for (int i = pos; i < variable_count(); ++i) index_.emplace(vars_[size_t(i)]->name(), i);
  else
    rebuild_index();
  note_change();
  return true;
}

void Dataset::insert_cases(int pos, int count) {
  if (count <= 0) return;
  pos = std::clamp(pos, 0, case_count_);
  const int rows = case_count_ + count;
  if (pos == case_count_) {
    // Appending grows each column in place, with room to spare, so that
    // adding cases one at a time costs time in proportion to their number.
    constexpr double kSysmis = std::numeric_limits<double>::quiet_NaN();
    for (auto& v : vars_) v->column.append_rows(count, kSysmis);
    case_count_ = rows;
    note_change();
    return;
  }
  for (auto& v : vars_) {
    Matrix& old = v->column;
    Matrix fresh = old.numeric() ? Matrix(rows, 1, true, Matrix::Fill::None)
                                 : Matrix(rows, 1, false, Matrix::Fill::Absent);
    if (old.numeric()) {
      const double* src = old.num();
      double* dst = fresh.num();
      std::copy(src, src + pos, dst);
      std::fill(dst + pos, dst + pos + count, std::numeric_limits<double>::quiet_NaN());
      std::copy(src + pos, src + case_count_, dst + pos + count);
    } else {
      StrCell* src = old.str();
      StrCell* dst = fresh.str();
      std::move(src, src + pos, dst);
      std::move(src + pos, src + case_count_, dst + pos + count);
    }
    fresh.set_name(old.name());
    old = std::move(fresh);
  }
  case_count_ = rows;
  note_change();
}

void Dataset::delete_cases(const std::vector<uint8_t>& drop) {
  if (drop.size() != size_t(case_count_)) return;
  int kept = 0;
  for (uint8_t d : drop) kept += d == 0;
  if (kept == case_count_) return;
  for (auto& v : vars_) {
    Matrix& old = v->column;
    Matrix fresh(kept, 1, old.numeric(), old.numeric() ? Matrix::Fill::None : Matrix::Fill::Absent);
    int k = 0;
    for (int r = 0; r < case_count_; ++r) {
      if (drop[size_t(r)]) continue;
      if (old.numeric()) fresh[k++] = old[r];
      else fresh.str()[k++] = std::move(old.str()[r]);
    }
    fresh.set_name(old.name());
    old = std::move(fresh);
  }
  case_count_ = kept;
  note_change();
}

void Dataset::remove_variable(int i) { take_variable(i); }

std::unique_ptr<DataVariable> Dataset::take_variable(int i) {
  if (i < 0 || i >= variable_count()) return nullptr;
  std::unique_ptr<DataVariable> v = std::move(vars_[size_t(i)]);
  if (filter_ == v.get()) filter_ = nullptr;
  if (weight_name_ && *weight_name_ == v->name()) weight_name_.reset();
  vars_.erase(vars_.begin() + i);
  ++removals_;
  rebuild_index();
  note_change();
  return v;
}

bool Dataset::rename_variable(int i, std::string name) {
  if (i < 0 || i >= variable_count() || index_.count(name)) return false;
  DataVariable& v = *vars_[size_t(i)];
  if (weight_name_ && *weight_name_ == v.name()) weight_name_ = name;
  index_.erase(v.name());
  index_.emplace(name, i);
  v.column.set_name(std::move(name));
  note_change();
  return true;
}

void Dataset::rebuild_index() {
  index_.clear();
  for (size_t i = 0; i < vars_.size(); ++i) index_.emplace(vars_[i]->name(), int(i));
}

bool Dataset::set_weight(std::string_view name, ErrorState& err) {
  if (!find(name)) return err.raise(kErrNoVariable, name);
  weight_name_ = std::string(name);
  note_change();
  return true;
}

bool Dataset::set_filter(std::string_view name, ErrorState& err) {
  const DataVariable* v = find(name);
  if (!v) return err.raise(kErrNoVariable, name);
  filter_ = v;
  note_change();
  return true;
}

bool Dataset::is_selected(int row) const {
  if (!filter_) return true;
  // A temporary filter made before cases were added does not reach them.
  if (row >= filter_->column.rows()) return false;
  // A string filter selects a case whose value is present and not empty.
  if (!filter_->numeric()) {
    const StrCell& s = filter_->column.sat(row, 0);
    return s && !s->empty();
  }
  const double x = filter_->column[row];
  return std::isfinite(x) && x != 0;
}

bool Dataset::require_data(ErrorState& err) const {
  if (empty()) return err.raise(kErrNoData);
  return true;
}

void Dataset::close() {
  if (!vars_.empty()) ++removals_;
  vars_.clear();
  index_.clear();
  case_count_ = 0;
  multiple_.clear();
  bundles_.clear();
  weight_name_.reset();
  filter_ = nullptr;
  file_name_.reset();
  note_change();
}

}  // namespace vop
