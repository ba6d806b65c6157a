#include "data/sav_prefault.h"

#include <sys/mman.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <system_error>

namespace vop::sav {

namespace {

// Below this much memory a thread costs more than it saves.
constexpr size_t kMinBytes = size_t(64) << 20;
// 2 MiB of each column (262,144 rows) per step: far enough ahead of the
// reader that it rarely catches up, small enough to start at once.
constexpr size_t kStepBytes = size_t(2) << 20;
constexpr uintptr_t kPageSize = 4096;

}  // namespace

ColumnPrefaulter::ColumnPrefaulter(std::vector<Range> columns) {
#ifdef MADV_POPULATE_WRITE
  size_t total = 0;
  for (const Range& r : columns) total += r.bytes;
  if (total < kMinBytes) return;
  try {
    helper_ = std::jthread(run, std::move(columns));
  } catch (const std::system_error&) {
    // No thread: the reader faults the pages in itself.
  }
#else
  (void)columns;
#endif
}

ColumnPrefaulter::~ColumnPrefaulter() {
  if (helper_.joinable()) helper_.request_stop();
}

void ColumnPrefaulter::run(std::stop_token stop, std::vector<Range> columns) {
#ifdef MADV_POPULATE_WRITE
  size_t longest = 0;
  for (const Range& r : columns) longest = std::max(longest, r.bytes);
  for (size_t at = 0; at < longest; at += kStepBytes) {
    for (const Range& r : columns) {
      if (stop.stop_requested()) return;
      if (at >= r.bytes) continue;
      // madvise wants a page-aligned start; the page holding the start is
      // the column's own or its neighbour's, and faulting it in is harmless.
      const uintptr_t from = (reinterpret_cast<uintptr_t>(r.data) + at) & ~(kPageSize - 1);
      const uintptr_t to = reinterpret_cast<uintptr_t>(r.data) + std::min(r.bytes, at + kStepBytes);
      if (madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE) != 0 &&
          errno == EINVAL)
        return;  // a kernel without it
    }
  }
#else
  (void)stop;
  (void)columns;
#endif
}

}  // namespace vop::sav
