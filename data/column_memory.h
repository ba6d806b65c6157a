// Advice to the kernel about the memory of the columns of a large file.
//
// The kernel clears every page of fresh memory on its first touch; for a
// file of a million cases that costs more than decoding the file. Huge
// pages make the faults 512 times fewer, and faulting pages in ahead of the
// writes lets a second thread do that clearing while the first decodes.
// All of it is only advice: without it the writes fault the pages in anyway.
#pragma once

#include <cstddef>

namespace vop {

// Ask for transparent huge pages (or, with huge = false, for small pages
// again) on the whole 2 MiB pages of [data, data + bytes).
void advise_huge_pages(void* data, size_t bytes, bool huge = true);

// Fault in the pages of [data, data + bytes) for writing without writing
// them. False when the kernel cannot (then nothing more should be asked).
bool populate_for_write(void* data, size_t bytes);

}  // namespace vop
