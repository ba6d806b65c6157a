// What the data builtins keep per interpreter: the open dataset and the
// state of the transformation statements. It is also the interpreter's
// DatasetHooks: leaf names, assignments to data variables and Data(i, j).
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/interpreter.h"
#include "data/dataset.h"
#include "data/sav_threading.h"

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
  SavThreading sav_threading;   // when reading and writing system files take a second thread
  // Receives each warning of a file reader as one line ("warning: FILE:
  // TEXT"); unset, the lines go to the interpreter's output.
  std::function<void(std::string_view line)> warning_hook;

  // Deliver what a reader of `file` warned about.
  void warn(const std::string& file, const std::vector<std::string>& warnings);

  // Whether a run holds the dataset (see DatasetGuard). Another thread (the
  // window that shows the dataset between runs) reads nothing of it while
  // this is true; once it reads false it sees everything the run did.
  bool busy() const { return busy_.load(std::memory_order_acquire); }

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

 private:
  friend class DatasetGuard;
  std::atomic<bool> busy_{false};
};

// Marks the dataset as held by a run for the guard's lifetime. The thread
// that starts runs sets it before handing the run over, so that no read of
// its own can slip in between; nested guards keep it set until the
// outermost ends.
class DatasetGuard {
 public:
  explicit DatasetGuard(DataSession& s) : s_(s), outer_(!s.busy_.exchange(true, std::memory_order_acq_rel)) {}
  ~DatasetGuard() {
    if (outer_) s_.busy_.store(false, std::memory_order_release);
  }
  DatasetGuard(const DatasetGuard&) = delete;
  DatasetGuard& operator=(const DatasetGuard&) = delete;

 private:
  DataSession& s_;
  bool outer_;  // this guard set the flag
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
