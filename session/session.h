// A ready interpreter session: the output stream, the interpreter with the
// general, the data and the script GUI builtins (these without a GuiHost
// until a desktop program gives one, set_gui_host), the program folder as
// its base and on its search path, the open dataset. Every program that
// runs scripts (the headless runner, the desktop program, tests) makes its
// session here, so that they all run scripts in the same surroundings.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "builtins/gui_host.h"
#include "core/interpreter.h"
#include "data/data_session.h"
#include "data/dataset.h"
#include "output/output_stream.h"

namespace vop {

struct SessionOptions {
  // The program's folder: the base folder of `path` and the last place
  // function files are looked for. Empty: neither is set.
  std::string program_dir;
  // Searched before the program folder, first first.
  std::vector<std::string> search_dirs;
  // Where the output's events go (nullptr: nowhere until
  // output().set_consumer).
  OutputConsumer* consumer = nullptr;
  // Run Syntax/start.s (relative to the working directory) when it exists.
  bool run_startup = false;
  // Receives each warning of a data-file reader as a line; unset, the
  // warnings are written to the output like other results.
  std::function<void(std::string_view line)> warning_hook;
};

class Session {
 public:
  explicit Session(const SessionOptions& options);
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  Interpreter& interpreter() { return interp_; }
  OutputStream& output() { return out_; }
  DataSession& data() { return data_session(interp_); }
  Dataset& dataset() { return data().dataset; }

  // One run of `text`, holding the dataset for its duration; the error code.
  int run_text(std::string_view text);
  // One run of a program kept by a script window's control or a "&Do"
  // menu item, holding the dataset as run_text does; the error code.
  int run_program(const GuiProgram& program);
  // The start-up script, when Syntax/start.s exists in the working
  // directory; the error code (0 when there is none).
  int run_startup();
  // The code the start-up script ended with when the options ran it.
  int startup_code() const { return startup_code_; }
  // Open a dataset file as DataOpen does (load report included), outside
  // a run: the native format when `native`, else a system file.
  bool open_data(const std::string& path, bool native);

  // For a window that shows the dataset between runs: whether a run holds
  // it now (read nothing while it does), and a number that changes with
  // every change of its shape or dictionary (compare after a run).
  bool dataset_busy() { return data().busy(); }
  uint64_t dataset_generation() { return dataset().generation(); }

 private:
  OutputStream out_;  // before the interpreter, which writes into it
  Interpreter interp_;
  int startup_code_ = 0;
};

// The session a program runs scripts in, ready to run.
std::unique_ptr<Session> make_session(const SessionOptions& options);

// The folder of the running executable; empty when it cannot be found.
std::string program_directory();

}  // namespace vop
