// A million-line print through the output stream into the queue that
// carries it to the window's thread, drained by a second thread as the
// desktop program drains it: lines per second, and how many batches (and
// so wake-ups and allocations of the event list) the reader saw.
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "output/output_queue.h"
#include "output/output_stream.h"

int main() {
  using Clock = std::chrono::steady_clock;
  constexpr int kLines = 1000000;
  vop::OutputQueue queue;
  vop::OutputStream out;
  out.set_consumer(&queue);

  size_t bytes = 0, batches = 0;
  std::thread reader([&] {
    for (std::vector<vop::OutputEvent> b; !(b = queue.wait_and_drain()).empty();) {
      ++batches;
      for (const vop::OutputEvent& e : b)
        if (const auto* run = std::get_if<vop::TextRun>(&e)) bytes += run->text.size();
    }
  });
  const auto start = Clock::now();
  char line[64];
  for (int i = 0; i < kLines; ++i) {
    std::snprintf(line, sizeof line, "row %7d   %10.3f", i, i * 0.5);
    out.WriteLine(line);
  }
  queue.close();
  reader.join();
  const double s = std::chrono::duration<double>(Clock::now() - start).count();
  std::printf("output_queue: %d lines, %zu bytes in %zu batches: %.3f s (%.0f lines/s)\n", kLines,
              bytes, batches, s, kLines / s);
  return 0;
}
