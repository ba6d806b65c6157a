// The interpreter: all run state of the language, created once by the
// program (tests make their own) and passed where it is needed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/compiler.h"
#include "core/errors.h"
#include "core/functions.h"
#include "core/output_sink.h"
#include "core/workspace.h"

namespace vop {

class Interpreter {
 public:
  explicit Interpreter(OutputSink& out) : out_(&out) {}

  Workspace& workspace() { return workspace_; }
  ErrorState& error() { return error_; }
  OutputSink& out() { return *out_; }
  void set_output(OutputSink& out) { out_ = &out; }

  // Directories searched for function files, first to last. `path` and the
  // shell put directories at the head.
  SearchPath& search_path() { return search_path_; }
  void add_search_dir(std::string dir) { search_path_.insert(search_path_.begin(), std::move(dir)); }

  // User functions, macros and file scripts of the run.
  FunctionTable& functions() { return functions_; }
  // Defining files of the user functions and scripts being run, innermost
  // last (empty for the run's text). The views point into the function
  // table's records, which live until the end of the run.
  std::vector<std::string_view>& running_files() { return running_files_; }
  std::string_view running_file() const {
    return running_files_.empty() ? std::string_view() : running_files_.back();
  }
  // The user function, macro or script `name` as the running code sees it.
  const FunctionDef* find_function(std::string_view name) const {
    return functions_.find(name, running_file());
  }

  // The compiler of !compute, !if and !recode, registered by the dataset
  // code; without one those statements fail when they run.
  void set_data_statement_compiler(DataStatementCompiler c) { data_compiler_ = std::move(c); }
  CompileEnv compile_env() { return CompileEnv{error_, functions_, &data_compiler_}; }

  // The Stop command, from any thread: the run ends before its next
  // statement with code 1000.
  void request_stop() { error_.request_stop(); }

 private:
  Workspace workspace_;     // frames, globals and ans
  ErrorState error_;        // the run's first error
  OutputSink* out_;         // where results go; not owned
  SearchPath search_path_;  // function-file directories
  FunctionTable functions_;  // definitions of the run
  std::vector<std::string_view> running_files_;  // see running_files()
  DataStatementCompiler data_compiler_;  // empty until the dataset code registers one
};

}  // namespace vop
