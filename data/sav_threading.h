// When the system-file reader and writer take a second thread: for case
// data of at least so many decoded bytes (8 per cell); less is not worth a
// thread. Each session keeps its own, so tests can lower them to run the
// two-thread paths on small files without touching other sessions.
#pragma once

#include <cstdint>

namespace vop {

inline constexpr uint64_t kParallelSavBytes = uint64_t(32) << 20;

struct SavThreading {
  uint64_t read_bytes = kParallelSavBytes;   // reading: spread cells into columns on two threads
  uint64_t write_bytes = kParallelSavBytes;  // writing: encode cases on two threads
};

}  // namespace vop
