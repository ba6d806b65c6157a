// The interpreter: all run state of the language, created once by the
// program (tests make their own) and passed where it is needed.
//
// Its operations live in three files: evaluator.cpp (expressions, names,
// calls, assignment), runner.cpp (statements, runs, clean-up) and
// builtin.cpp (the calling convention of builtins).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <typeindex>
#include <unordered_map>
#include <vector>

#include "core/ast.h"
#include "core/builtin.h"
#include "core/cancel.h"
#include "core/compiler.h"
#include "core/errors.h"
#include "core/functions.h"
#include "core/output_sink.h"
#include "core/stack_guard.h"
#include "core/workspace.h"

namespace vop {

class Index;

// Nested user calls and evals allowed before a run is stopped with 802, so
// that runaway recursion ends in an error instead of exhausting the stack.
// One plain level of recursion takes about 3.5 KiB of stack in an
// optimised build (the whole limit 1.4 MiB) and 12 KiB in the sanitizer
// build (5 MiB): a worker thread is given 8 MiB. A level whose statement
// nests expressions as deep as the parser allows takes about 180 KiB
// (640 KiB with sanitizers). The stack floor (stack_guard.h) stops those,
// and every level on threads with smaller stacks, before the count does.
inline constexpr int kMaxCallDepth = 400;

// What the language asks of the open dataset; the data library implements
// it. Without hooks, names never resolve to dataset variables.
class DatasetHooks {
 public:
  virtual ~DatasetHooks() = default;
  // Whether the dataset has a variable of this name (the name as written).
  virtual bool has_variable(std::string_view name) = 0;
  // The values of a dataset variable for a script-level name; an empty
  // Value and no error when there is no such variable.
  virtual Value variable_values(std::string_view name, ErrorState& err) = 0;
  // name = value, name(i) = value or name(i, j) = value on a dataset
  // variable (j may be null; i null for a plain assignment). An empty
  // value (deletion) raises 94.
  virtual bool assign_variable(std::string_view name, const ExprNode& target, Value value,
                               Interpreter& interp) = 0;
  // Data(i, j) = value.
  virtual bool assign_data(const ExprNode& target, Value value, Interpreter& interp) = 0;
};

// Shows a displayed statement's value: name empty for a value without a
// header (the builtins library supplies the matrix display).
using DisplayFn = void (*)(const Matrix& value, std::string_view header, OutputSink& out);

// The builtin families, tried in this order.
enum class Family { General, Data, Gui, Count };

// State that a library keeps per interpreter (the random generator, the
// dataset, ...), made on first use.
struct InterpreterExtension {
  virtual ~InterpreterExtension() = default;
};

class Interpreter {
 public:
  explicit Interpreter(OutputSink& out);
  ~Interpreter();
  Interpreter(const Interpreter&) = delete;
  Interpreter& operator=(const Interpreter&) = delete;

  // --- State --------------------------------------------------------------
  Workspace& workspace() { return workspace_; }
  ErrorState& error() { return error_; }
  OutputSink& out() { return *out_; }
  void set_output(OutputSink& out) { out_ = &out; }
  FunctionTable& functions() { return functions_; }

  // Directories searched for function files, first to last. `path` and the
  // shell put directories at the head.
  SearchPath& search_path() { return search_path_; }
  void add_search_dir(std::string dir) { search_path_.insert(search_path_.begin(), std::move(dir)); }
  // The program's base folder (for `path`); the working directory by default.
  const std::string& base_dir() const { return base_dir_; }
  void set_base_dir(std::string dir) { base_dir_ = std::move(dir); }

  // --- Stopping a run ------------------------------------------------------
  // The shell announces a run before its worker starts it, so that a Stop
  // pressed in between stops that run (see RunControl). Runs nobody
  // announced are numbered when they begin.
  uint64_t queue_run() { return run_control_.queue_run(); }
  // The Stop command, from any thread (a signal handler too): the run that
  // is queued or running ends with code 1000 before its next statement, or
  // sooner inside an operation that polls its CancelToken. Nothing while
  // idle.
  void request_stop() { run_control_.request_stop(); }
  // What long operations of the current run poll.
  CancelToken cancel_token() const { return run_control_.token(); }
  // The line of the statement running now (of its text or function file),
  // for a progress display on another thread; 0 before the first.
  int running_line() const { return running_line_.load(std::memory_order_relaxed); }
  // Whether the current run was asked to stop; raises 1000 when it was.
  bool stop_requested() {
    if (!run_control_.stop_requested(run_id_)) return false;
    error_.raise(kErrStopped);
    return true;
  }

  // --- Libraries plug in here -------------------------------------------------
  BuiltinFamily& family(Family f) { return families_[int(f)]; }
  void set_dataset_hooks(DatasetHooks* hooks) { dataset_ = hooks; }
  DatasetHooks* dataset_hooks() const { return dataset_; }
  void set_display(DisplayFn fn) { display_ = fn; }
  void set_data_compiler(DataStatementCompiler c) { data_compiler_ = std::move(c); }
  // Told at the end of every run whether it failed (the windows that run
  // made then close); answers whether script-made windows are still open
  // (definitions then outlive the run).
  void set_windows_hook(std::function<bool(bool failed)> f) { windows_hook_ = std::move(f); }

  template <class T>
  T& extension() {
    auto& slot = extensions_[std::type_index(typeid(T))];
    if (!slot) slot = std::make_unique<T>();
    return static_cast<T&>(*slot);
  }

  // --- Runs -----------------------------------------------------------------------
  // Compile and run a text; report the first error. Returns the error code.
  int run_text(std::string_view text);
  // The start-up script: `Syntax\start` found through the function-file
  // search, run at the script level.
  int run_startup();
  // Execute a compiled program in the current frame.
  int run_statements(const Program& program);
  // One run of a program compiled earlier from `text` (a script window's
  // control, a "&Do" menu item): as run_text without the compiling.
  int run_program(std::string_view text, const Program& program);
  void reset_run();
  void end_run();
  // Compile and run text as if it stood at this point (eval, GUI programs).
  bool run_nested_text(std::string_view text);
  // Compile a text without running it (GUI builtins keep programs).
  std::unique_ptr<Program> compile(std::string_view text);

  // --- Evaluation -----------------------------------------------------------------
  // The value of an expression; empty after an error, or when the node gave
  // several results (result_list) or none.
  Value evaluate(const ExprNode& node);
  int requested() const { return requested_; }
  void set_requested(int n) { requested_ = n; }
  std::vector<Matrix>& result_list() { return result_list_; }
  bool condition_mode() const { return condition_mode_; }
  void set_condition_mode(bool on) { condition_mode_ = on; }
  // The defining file of the innermost running function ("" for run text).
  std::string_view running_file() const {
    return running_files_.empty() ? std::string_view() : running_files_.back();
  }
  const std::string& run_text_source() const { return run_text_; }

  // A variable read as `node` writes it: itself, or indexed by the node's
  // arguments (the `ans` builtin indexes `ans` this way).
  Value index_variable(const ExprNode& node, const Matrix& var) { return eval_variable(node, var); }
  // The number an expression of numbers, numeric 1x1 variables and
  // operators gives, computed without making matrices (`condition`: as a
  // condition's top operator sees it). False, with nothing evaluated and
  // nothing raised, for any other expression.
  bool scalar(const ExprNode& node, bool condition, double* out) {
    return requested_ <= 1 && scalar_value(node, condition, out);
  }
  // Turn an index argument node into an Index for a dimension of size dim.
  bool make_index(const ExprNode& arg, int64_t dim, bool growing, Index* out);
  // A name written `prefix#e`, or a plain name: the name it denotes.
  bool built_name(const ExprNode& node, std::string* name);

 private:
  friend class Call;
  struct LoopState;

  // Evaluator pieces (evaluator.cpp).
  Value eval_operator(const ExprNode& node);
  bool scalar_value(const ExprNode& node, bool condition, double* out);
  Value eval_name(const ExprNode& node, const NameKey& name);
  Value eval_callable(const ExprNode& node, const NameKey& name);
  Value eval_variable(const ExprNode& node, const Matrix& var);
  Value eval_matrix(const ExprNode& node);
  Value eval_assign(const ExprNode& node);
  Value eval_macro_call(const ExprNode& node);
  Value call_builtins(const ExprNode& node, const NameKey& name, bool* handled);
  Value call_user(const FunctionDef& def, const ExprNode& call, bool keyword_args);
  const FunctionDef* find_function(const NameKey& name);
  bool load_function_file(std::string_view name);
  bool assign_indexed(const ExprNode& target, Matrix& var, Value value);
  enum class Append { None, Rows, Cols };
  static Append append_shape(const ExprNode& target, const ExprNode& rhs);
  bool append_in_place(const ExprNode& target, const ExprNode& rhs, Append axis, Value* result);
  // Whether one more level of nesting would leave too little of the
  // thread's stack; raises 802 when it would.
  bool stack_exhausted() {
    if (VOP_STACK_POSITION() >= stack_floor_) return false;
    error_.raise(kErrTooDeep);
    return true;
  }

  Workspace workspace_;     // frames, globals and ans
  ErrorState error_;        // the run's first error
  OutputSink* out_;         // where results go; not owned
  SearchPath search_path_;  // function-file directories
  std::string base_dir_;    // program folder, for `path`
  FunctionTable functions_; // definitions of this run

  BuiltinFamily families_[int(Family::Count)];  // general, data, GUI
  DatasetHooks* dataset_ = nullptr;              // the open dataset; not owned
  DisplayFn display_ = nullptr;                  // matrix display of "d" statements
  DataStatementCompiler data_compiler_;          // !compute, !if, !recode
  std::function<bool(bool)> windows_hook_;       // script windows: run ended, still open?
  std::unordered_map<std::type_index, std::unique_ptr<InterpreterExtension>> extensions_;

  int requested_ = 0;                   // results the current call site asks for
  std::vector<Matrix> result_list_;     // several results, the first first
  bool condition_mode_ = false;         // evaluating a condition's &, |, ~
  std::vector<std::string_view> running_files_;  // defining files of running code (the
                                                 // definitions' own strings, alive for the run)
  std::string run_text_;                // the text of the current run
  int call_depth_ = 0;                  // nested calls and evals, against runaway recursion
  uintptr_t stack_floor_ = 0;           // lowest stack position nesting may reach (this thread's)
  RunControl run_control_;              // Stop requests, per run
  uint64_t run_id_ = 0;                 // number of the current run (RunControl)
  std::atomic<int> running_line_{0};    // the statement running now, for progress displays
};

}  // namespace vop
