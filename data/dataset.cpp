#include "data/dataset.h"

#include <cmath>

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

void to_upper_ascii(std::string& s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
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
  if (!valid_variable_name(name)) {
    err.raise(kErrBadVarName);
    return nullptr;
  }
  std::string upper(name);
  to_upper_ascii(upper);
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
  return true;
}

void Dataset::remove_variable(int i) {
  if (i < 0 || i >= variable_count()) return;
  DataVariable* v = vars_[size_t(i)].get();
  if (filter_ == v) filter_ = nullptr;
  if (weight_name_ && *weight_name_ == v->name()) weight_name_.reset();
  vars_.erase(vars_.begin() + i);
  rebuild_index();
}

bool Dataset::rename_variable(int i, std::string name) {
  if (i < 0 || i >= variable_count() || index_.count(name)) return false;
  DataVariable& v = *vars_[size_t(i)];
  if (weight_name_ && *weight_name_ == v.name()) weight_name_ = name;
  index_.erase(v.name());
  index_.emplace(name, i);
  v.column.set_name(std::move(name));
  return true;
}

void Dataset::rebuild_index() {
  index_.clear();
  for (size_t i = 0; i < vars_.size(); ++i) index_.emplace(vars_[i]->name(), int(i));
}

bool Dataset::set_weight(std::string_view name, ErrorState& err) {
  if (!find(name)) return err.raise(kErrNoVariable, name);
  weight_name_ = std::string(name);
  return true;
}

bool Dataset::set_filter(std::string_view name, ErrorState& err) {
  const DataVariable* v = find(name);
  if (!v) return err.raise(kErrNoVariable, name);
  filter_ = v;
  return true;
}

bool Dataset::is_selected(int row) const {
  if (!filter_) return true;
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
  vars_.clear();
  index_.clear();
  case_count_ = 0;
  multiple_.clear();
  bundles_.clear();
  weight_name_.reset();
  filter_ = nullptr;
  file_name_.reset();
}

}  // namespace vop
