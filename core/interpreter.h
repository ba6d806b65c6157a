// The interpreter: all run state of the language, created once by the
// program (tests make their own) and passed where it is needed.
#pragma once

#include <string>

#include "core/errors.h"
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

  // The Stop command, from any thread: the run ends before its next
  // statement with code 1000.
  void request_stop() { error_.request_stop(); }

 private:
  Workspace workspace_;     // frames, globals and ans
  ErrorState error_;        // the run's first error
  OutputSink* out_;         // where results go; not owned
  SearchPath search_path_;  // function-file directories
};

}  // namespace vop
