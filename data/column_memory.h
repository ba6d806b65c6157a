// Advice to the kernel about the memory of the columns of a large file.
//
// The kernel clears every page of fresh memory on its first touch; for a
// file of a million cases that costs more than decoding the file. Huge
// pages make the faults 512 times fewer, and faulting pages in ahead of the
// writes lets a second thread do that clearing while the first decodes.
// All of it is only advice: without it the writes fault the pages in anyway.
#pragma once

#include <cstddef>
#include <vector>

namespace vop {

// Ask for transparent huge pages (or, with huge = false, for small pages
// again) on the whole 2 MiB pages of [data, data + bytes).
void advise_huge_pages(void* data, size_t bytes, bool huge = true);

// Fault in the pages of [data, data + bytes) for writing without writing
// them. False when the kernel cannot (then nothing more should be asked).
bool populate_for_write(void* data, size_t bytes);

// Faults in fresh numeric columns a step of rows at a time, a little ahead
// of the rows being written into them; a second thread calls step() while
// the first writes. Huge pages are asked for as long as the kernel serves
// them faster than small pages: on some virtual machines a fresh huge page
// must first be backed by the host, which makes it slower, and then the
// rest of the columns go back to small pages.
class ColumnFaulter {
 public:
  // `columns` of `rows` rows each; none means there is nothing to do.
  ColumnFaulter(std::vector<double*> columns, int rows);

  // Fault in the next step of rows when it begins close enough to the
  // `written` rows. False when there is nothing to do now, or ever.
  bool step(int written);

 private:
  bool populate(size_t first, size_t last, int from, int to);

  std::vector<double*> columns_;
  int rows_;
  int faulted_ = 0;      // rows faulted in so far
  bool huge_;            // huge pages are asked for
  bool probed_ = false;  // the first step has been taken
};

}  // namespace vop
