// Stopping a run from another thread.
//
// A Stop belongs to one run. Runs are numbered; the Stop command records
// the number of the run that is queued or running, and a run (or a long
// operation inside it, through its CancelToken) is stopped when the number
// recorded is its own. The shell announces a run with queue_run() before its
// worker starts, so a Stop pressed in between is not lost; a Stop pressed
// while idle, or one aimed at a run that has ended, never reaches the next.
//
// Everything here is lock-free atomics: the Stop command may come from the
// UI thread or from a signal handler while the worker polls.
#pragma once

#include <atomic>
#include <cstdint>

namespace vop {

// What a long operation polls to learn that its run was stopped: a copy is
// cheap, readable from any thread, and one relaxed load per poll. A default
// token never stops. It must not outlive the RunControl it came from.
class CancelToken {
 public:
  CancelToken() = default;
  bool stop_requested() const {
    return stopped_ && stopped_->load(std::memory_order_relaxed) == run_;
  }

 private:
  friend class RunControl;
  CancelToken(const std::atomic<uint64_t>* stopped, uint64_t run) : stopped_(stopped), run_(run) {}

  const std::atomic<uint64_t>* stopped_ = nullptr;  // the run a Stop was asked for; not owned
  uint64_t run_ = 0;                                // this token's run (never 0 when stopped_ is set)
};

class RunControl {
 public:
  // A run is about to start (the shell, before it starts the worker).
  // Returns the run's number; the run that begins next takes it.
  uint64_t queue_run() {
    const uint64_t run = last_.fetch_add(1, std::memory_order_relaxed) + 1;
    active_.store(run, std::memory_order_relaxed);
    return run;
  }
  // The Stop command, from any thread (also a signal handler): stops the
  // run that is queued or running; nothing while idle.
  void request_stop() {
    const uint64_t run = active_.load(std::memory_order_relaxed);
    if (run != 0) stopped_.store(run, std::memory_order_relaxed);
  }
  // The runner: a run begins, under the number queue_run gave it or, when
  // nobody queued it, a new one. Returns the number.
  uint64_t begin_run() {
    const uint64_t run = active_.load(std::memory_order_relaxed);
    return run != 0 ? run : queue_run();
  }
  // The runner: the run has ended; a Stop from now on is for no run.
  void end_run() { active_.store(0, std::memory_order_relaxed); }

  // The token of the run that is queued or running (a token that never
  // stops while idle).
  CancelToken token() const {
    const uint64_t run = active_.load(std::memory_order_relaxed);
    return run != 0 ? CancelToken(&stopped_, run) : CancelToken();
  }
  bool stop_requested(uint64_t run) const {
    return stopped_.load(std::memory_order_relaxed) == run;
  }

 private:
  std::atomic<uint64_t> last_{0};     // the number given to the latest run
  std::atomic<uint64_t> active_{0};   // the run queued or running; 0 while idle
  std::atomic<uint64_t> stopped_{0};  // the run a Stop was asked for; 0 for none
};

}  // namespace vop
