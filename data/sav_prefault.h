// Faulting in the pages of freshly allocated columns on a second thread.
//
// A large file's columns are mostly new memory, and the kernel clears every
// page on its first touch; with a second core that clearing can happen while
// the reader decodes. The helper only asks the kernel to map pages
// (MADV_POPULATE_WRITE) and never writes data, so it cannot race with the
// reader: whatever it has not reached yet, the reader's own writes fault in.
#pragma once

#include <cstddef>
#include <thread>
#include <vector>

namespace vop::sav {

class ColumnPrefaulter {
 public:
  struct Range {
    void* data;    // start of a column's memory
    size_t bytes;  // its size
  };

  // Start faulting in `columns`, a slice of rows of every column at a time,
  // in the order the reader fills them. Does nothing when they are small or
  // the thread cannot start.
  explicit ColumnPrefaulter(std::vector<Range> columns);
  // Stops the helper (it may not have finished) and waits for it.
  ~ColumnPrefaulter();
  ColumnPrefaulter(const ColumnPrefaulter&) = delete;
  ColumnPrefaulter& operator=(const ColumnPrefaulter&) = delete;

 private:
  static void run(std::stop_token stop, std::vector<Range> columns);

  std::jthread helper_;  // the faulting thread; not started for small data
};

}  // namespace vop::sav
