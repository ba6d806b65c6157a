// OutputQueue: hands the output stream's blocks from the thread that runs a
// script to the thread that owns the output window.
//
// The worker writes into the queue as into any consumer; the UI thread
// takes everything pending in one batch with drain(). Nothing polls: when
// the queue goes from empty to not empty the wake-up callback runs (on the
// worker's thread), and the desktop program uses it to post one event to
// its UI thread, which then drains. Consecutive plain text merges into one
// run while it waits, so a script that prints 100,000 lines costs appends
// to one growing string, not an allocation per line.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string_view>
#include <vector>

#include "document/output_event.h"

namespace vop {

class OutputQueue final : public OutputConsumer {
 public:
  // `wake` may be empty (a drainer that blocks in wait_and_drain needs none).
  explicit OutputQueue(std::function<void()> wake = {}) : wake_(std::move(wake)) {}

  // --- Writer side ----------------------------------------------------------
  void text(TextFormat format, std::string_view run) override;
  void consume(OutputEvent&& event) override;
  // No more events will come: a blocked wait_and_drain returns.
  void close();

  // --- Reader side ----------------------------------------------------------
  // Everything pending, in order; empty when nothing is (a wake-up may find
  // the queue already drained).
  std::vector<OutputEvent> drain();
  // As drain, but blocks while the queue is empty and open; empty only when
  // the queue is closed and drained.
  std::vector<OutputEvent> wait_and_drain();

 private:
  // Runs the wake-up when `was_empty`; called after the lock is released.
  void woke(bool was_empty);

  std::function<void()> wake_;        // posts "drain me" to the reader; set before writing starts
  std::mutex mutex_;                  // guards pending_ and closed_
  std::condition_variable ready_;     // signalled when pending_ fills or the queue closes
  std::vector<OutputEvent> pending_;  // written, not yet drained; plain text merged
  bool closed_ = false;               // the writer is done
};

}  // namespace vop
