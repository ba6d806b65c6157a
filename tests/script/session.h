// A script session for golden tests: an interpreter with the general
// builtins whose output goes through the output stream into a recording
// window, as the headless runner's does.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <string_view>

#include "builtins/library.h"
#include "core/interpreter.h"
#include "document/output_event.h"
#include "output/output_stream.h"

namespace vop::test {

class Session {
 public:
  Session() {
    out_.set_consumer(&window_);
    install_builtins(interp_);
  }

  // Run one text; the output it wrote (the window's new text).
  std::string run(std::string_view text) {
    const size_t before = window_.shown.size();
    code_ = interp_.run_text(text);
    return window_.shown.substr(before);
  }
  // The error code of the last run.
  int code() const { return code_; }
  Interpreter& interp() { return interp_; }

 private:
  RecordingConsumer window_;  // receives the plain text
  OutputStream out_;        // the program's sink, rendering for the window
  Interpreter interp_{out_};
  int code_ = 0;            // of the last run
};

// One golden case: a run text, what it writes, and the code it ends with.
struct Case {
  const char* script;  // the run text
  const char* output;  // everything written, error report included
  int code = 0;        // the run's error code (0 = none)
};

// Each case in a fresh session.
inline void check(std::initializer_list<Case> cases) {
  for (const Case& c : cases) {
    Session s;
    EXPECT_EQ(s.run(c.script), c.output) << "script:\n" << c.script;
    EXPECT_EQ(s.code(), c.code) << "script:\n" << c.script;
  }
}

// A scratch folder for function files, removed afterwards.
class TempDir {
 public:
  TempDir() {
    path_ = std::filesystem::temp_directory_path() /
            ("vop-script-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string path() const { return path_.string(); }
  // Write `text` to the file `name` (folders made as needed).
  void write(const std::string& name, std::string_view text) const {
    const auto p = path_ / name;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
  }

 private:
  std::filesystem::path path_;
};

// Changes the working directory for one test.
class InDir {
 public:
  explicit InDir(const std::string& dir) : old_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
  }
  ~InDir() { std::filesystem::current_path(old_); }
  InDir(const InDir&) = delete;
  InDir& operator=(const InDir&) = delete;

 private:
  std::filesystem::path old_;
};

}  // namespace vop::test
