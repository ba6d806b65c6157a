// A spinner on standard error while vop-run works on something that takes
// more than a second: a run (with the line of the statement running) or a
// data file being read. Shown only when standard error is a terminal and
// standard output is not (results going to a file or a pipe), so that it
// never mixes with the results on the screen.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace vop {

class Interpreter;

class Progress {
 public:
  // `enabled` false: begin and end do nothing and no thread is started.
  Progress(const Interpreter& interp, bool enabled);
  ~Progress();
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  // Work begins: `what` ("main.s", "reading survey.sav"); `lines`: show
  // the running statement's line.
  void begin(std::string what, bool lines);
  // The work ended: the spinner's line is cleared.
  void end();

  // Whether the terminals are such that progress should show.
  static bool wanted();

 private:
  void loop();

  const Interpreter& interp_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::string what_;            // the work going on; empty: none
  bool lines_ = false;
  bool shown_ = false;          // the spinner's line is on the terminal
  bool quit_ = false;
  std::chrono::steady_clock::time_point since_;
  std::thread thread_;
};

}  // namespace vop
