#include "data/column_memory.h"

#include <sys/mman.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>

namespace vop {

namespace {

constexpr uintptr_t kPage = 4096;
constexpr uintptr_t kHugePage = uintptr_t(2) << 20;
// Rows faulted in per step, and how far ahead of the written rows.
constexpr int kFaultStep = 1 << 16;
constexpr int kFaultLead = 4 * kFaultStep;
// Bytes per second at which small pages are faulted in, about: huge pages
// that come slower than this are not worth asking for.
constexpr double kSmallPageFaultRate = 1.2e9;
// Columns faulted in first, to see how fast huge pages come.
constexpr size_t kProbeColumns = 4;

// The end of the huge page that holds p.
uintptr_t huge_page_end(const void* p) {
  return (reinterpret_cast<uintptr_t>(p) + kHugePage - 1) & ~(kHugePage - 1);
}

}  // namespace

void advise_huge_pages(void* data, size_t bytes, bool huge) {
#ifdef MADV_HUGEPAGE
  const uintptr_t at = reinterpret_cast<uintptr_t>(data);
  const uintptr_t from = (at + kHugePage - 1) & ~(kHugePage - 1);
  const uintptr_t to = (at + bytes) & ~(kHugePage - 1);
  if (to > from) madvise(reinterpret_cast<void*>(from), to - from, huge ? MADV_HUGEPAGE : MADV_NOHUGEPAGE);
#else
  (void)data;
  (void)bytes;
  (void)huge;
#endif
}

bool populate_for_write(void* data, size_t bytes) {
#ifdef MADV_POPULATE_WRITE
  // madvise wants a page-aligned start; the page holding the start may be a
  // neighbour's too, and faulting it in is harmless.
  const uintptr_t at = reinterpret_cast<uintptr_t>(data);
  const uintptr_t from = at & ~(kPage - 1);
  if (bytes == 0) return true;
  return madvise(reinterpret_cast<void*>(from), at + bytes - from, MADV_POPULATE_WRITE) == 0 ||
         errno != EINVAL;
#else
  (void)data;
  (void)bytes;
  return false;
#endif
}

ColumnFaulter::ColumnFaulter(std::vector<double*> columns, int rows)
    : columns_(std::move(columns)), rows_(columns_.empty() ? 0 : rows), huge_(rows_ > 0) {
  for (double* column : columns_) advise_huge_pages(column, size_t(rows_) * sizeof(double));
}

bool ColumnFaulter::populate(size_t first, size_t last, int from, int to) {
  const auto start = std::chrono::steady_clock::now();
  double bytes = 0;  // fresh memory faulted in
  for (size_t i = first; i < last; ++i) {
    double* column = columns_[i];
    if (!populate_for_write(column + from, size_t(to - from) * sizeof(double))) return false;
    // A huge page is faulted in whole when its first row is.
    bytes += double(huge_page_end(column + to) - huge_page_end(column + from));
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (huge_ && seconds * kSmallPageFaultRate > bytes) {
    huge_ = false;
    for (double* column : columns_) advise_huge_pages(column, size_t(rows_) * sizeof(double), false);
  }
  return true;
}

bool ColumnFaulter::step(int written) {
  if (faulted_ >= rows_ || faulted_ >= written + kFaultLead) return false;
  const int to = std::min(rows_, faulted_ + kFaultStep);
  // A few columns first, so that slow huge pages cost little before the
  // rest go back to small pages.
  const size_t probe = probed_ ? 0 : std::min(kProbeColumns, columns_.size());
  probed_ = true;
  if (!populate(0, probe, faulted_, to) || !populate(probe, columns_.size(), faulted_, to)) {
    faulted_ = rows_;  // a kernel that cannot
    return false;
  }
  faulted_ = to;
  return true;
}

}  // namespace vop
