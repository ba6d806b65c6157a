#include "data/data_session.h"

#include "data/data_args.h"
#include "data/data_assign.h"
#include "data/name_case.h"

namespace vop {

DataSession& data_session(Interpreter& interp) {
  DataSession& s = interp.extension<DataSession>();
  s.interp = &interp;
  return s;
}

Matrix* DataSession::find_column(std::string_view name) {
  return dataset.find_data_variable(name, &interp->workspace().current());
}

DataVariable* DataSession::find_variable(std::string_view name) {
  Matrix* col = find_column(name);
  return col ? dataset.find(col->name()) : nullptr;
}

namespace {
// Inside a user function: an expression of a caller may hold lent columns.
bool nested(Interpreter& in) { return in.workspace().depth() > 1; }
}  // namespace

void DataSession::remove_variable(int i) {
  if (nested(*interp) && dataset.variable(i).lent) retired.push_back(dataset.take_variable(i));
  else dataset.remove_variable(i);
}

void DataSession::close_dataset() {
  if (nested(*interp))
    for (int i = dataset.variable_count() - 1; i >= 0; --i)
      if (dataset.variable(i).lent) retired.push_back(dataset.take_variable(i));
  dataset.close();
}

void DataSession::safe_point() {
  if (nested(*interp)) return;
  retired.clear();
  for (int i = 0; i < dataset.variable_count(); ++i) dataset.variable(i).lent = false;
}

void DataSession::warn(const std::string& file, const std::vector<std::string>& warnings) {
  for (const std::string& w : warnings) {
    const std::string line = "warning: " + file + ": " + w;
    if (warning_hook) warning_hook(line);
    else if (interp) interp->out().WriteLine(line);
  }
}

bool DataSession::has_variable(std::string_view name) { return find_column(name) != nullptr; }

Value DataSession::variable_values(std::string_view written, ErrorState& err) {
  std::string name(written);
  if (in_transform) to_upper_name(name);
  std::vector<data::Ref> refs;
  if (!name.empty() && name[0] == '$') {
    const auto& sets = dataset.multiple_variables();
    bool known = false;
    for (const MultipleVariable& m : sets) known |= m.name == name;
    if (!known) return {};
    Matrix names = Matrix::text(name);
    if (!data::resolve_refs(names, dataset, data::SetRefs::Members, &refs, err)) return {};
    if (refs.empty()) return Matrix();
  } else {
    DataVariable* v = find_variable(name);
    if (!v) return {};
    refs.push_back({dataset.index_of(v->name()), -1, nullptr});
  }
  return data::values_of(dataset, refs, data::selected_cases(dataset), true, err,
                         data::Lending::OwnColumn);
}

bool DataSession::assign_variable(std::string_view name, const ExprNode& target, Value value,
                                  Interpreter& in) {
  return data::assign_variable_values(*this, name, &target, std::move(value),
                                      data::MissingTarget::Fail, in.error());
}

bool DataSession::assign_data(const ExprNode& target, Value value, Interpreter& in) {
  return data::assign_data_cells(*this, target, std::move(value), in.error());
}

}  // namespace vop
