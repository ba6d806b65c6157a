// What the data builtins keep per interpreter: the open dataset and the
// state of the transformation statements. It is also the interpreter's
// DatasetHooks: leaf names, assignments to data variables and Data(i, j).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/interpreter.h"
#include "data/dataset.h"

namespace vop {

class DataSession : public InterpreterExtension, public DatasetHooks {
 public:
  Dataset dataset;              // the one open dataset
  Interpreter* interp = nullptr;  // the interpreter this belongs to; not owned
  bool in_transform = false;    // a transformation statement is running: names read upper-cased
  bool report_saves = false;    // DataSave() reports what it saved (Save Dataset command)
  std::vector<const DataVariable*> temp_filters;  // filters of running !if statements, innermost last; not owned
  // Variables removed by a function while an expression that called it may
  // still hold their lent columns (A + f(), where f deletes A): kept alive
  // until the next safe point.
  std::vector<std::unique_ptr<DataVariable>> retired;

  // Remove variables, or close the dataset, keeping lent columns alive when
  // the removal happens inside a function.
  void remove_variable(int i);
  void close_dataset();
  // Called by the builtins that remove variables, before and after their
  // work: at the script level such a builtin (it gives no value) stands
  // alone or ends the expression it is in, so no lent column is still held
  // and the retired variables can go.
  void safe_point();

  // The column a data variable name denotes: the variable itself or the
  // one a by-reference parameter of the current frame stands for.
  Matrix* find_column(std::string_view name);
  DataVariable* find_variable(std::string_view name);

  // --- DatasetHooks --------------------------------------------------------
  bool has_variable(std::string_view name) override;
  Value variable_values(std::string_view name, ErrorState& err) override;
  bool assign_variable(std::string_view name, const ExprNode& target, Value value,
                       Interpreter& interp) override;
  bool assign_data(const ExprNode& target, Value value, Interpreter& interp) override;
};

DataSession& data_session(Interpreter& interp);

// Turns the transformation mode on for a scope and off again on every path.
class TransformScope {
 public:
  explicit TransformScope(DataSession& s) : s_(s), old_(s.in_transform) { s.in_transform = true; }
  ~TransformScope() { s_.in_transform = old_; }
  TransformScope(const TransformScope&) = delete;
  TransformScope& operator=(const TransformScope&) = delete;

 private:
  DataSession& s_;
  bool old_;
};

}  // namespace vop
