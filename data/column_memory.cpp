#include "data/column_memory.h"

#include <sys/mman.h>

#include <cerrno>
#include <cstdint>

namespace vop {

namespace {

constexpr uintptr_t kPage = 4096;
constexpr uintptr_t kHugePage = uintptr_t(2) << 20;

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

}  // namespace vop
