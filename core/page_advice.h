// Advice to the kernel about large fresh memory (matrices of millions of
// values, the columns of a large data file).
//
// The kernel clears every page of fresh memory on its first touch; for a
// million-case file that costs more than decoding the file. Huge pages make
// the faults 512 times fewer, and faulting pages in ahead of the writes
// lets a second thread do that clearing while the first computes. Both are
// only advice: without them the writes fault the pages in anyway.
#pragma once

#include <cstddef>

namespace vop {

// Allocations at least this large are worth huge pages.
inline constexpr size_t kHugePageWorthy = size_t(4) << 20;

// Ask for transparent huge pages on the whole 2 MiB pages of [data, data +
// bytes); smaller ranges are left alone.
void advise_huge_pages(void* data, size_t bytes);

// Fault in the pages of [data, data + bytes) for writing without writing
// them. False when the kernel cannot (then nothing more should be asked).
bool populate_for_write(void* data, size_t bytes);

}  // namespace vop
