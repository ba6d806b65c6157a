#include "core/stack_guard.h"

#include <algorithm>

#if defined(_WIN32)
#include <windows.h>
#elif defined(__APPLE__)
#include <pthread.h>
#elif defined(__linux__)
#include <pthread.h>
#endif

namespace vop {

namespace {

constexpr size_t kAssumedStack = size_t(1) << 20;

// The calling thread's stack as [low, low + size); false when unknown.
bool thread_stack(uintptr_t* low, size_t* size) {
#if defined(_WIN32)
  ULONG_PTR lo = 0, hi = 0;
  GetCurrentThreadStackLimits(&lo, &hi);
  *low = uintptr_t(lo);
  *size = size_t(hi - lo);
  return hi > lo;
#elif defined(__APPLE__)
  pthread_t self = pthread_self();
  const uintptr_t high = reinterpret_cast<uintptr_t>(pthread_get_stackaddr_np(self));
  *size = pthread_get_stacksize_np(self);
  *low = high - *size;
  return *size > 0;
#elif defined(__linux__)
  pthread_attr_t attr;
  if (pthread_getattr_np(pthread_self(), &attr) != 0) return false;
  void* addr = nullptr;
  size_t bytes = 0;
  const bool ok = pthread_attr_getstack(&attr, &addr, &bytes) == 0 && bytes > 0;
  pthread_attr_destroy(&attr);
  *low = reinterpret_cast<uintptr_t>(addr);
  *size = bytes;
  return ok;
#else
  (void)low;
  (void)size;
  return false;
#endif
}

}  // namespace

uintptr_t stack_floor() {
  // Asking can read /proc on Linux: once per thread is enough.
  thread_local uintptr_t floor = 0;
  if (floor != 0) return floor;
  uintptr_t low = 0;
  size_t size = 0;
  const uintptr_t here = VOP_STACK_POSITION();
  if (thread_stack(&low, &size) && here > low && here - low <= size) {
    floor = low + std::max(kMinStackReserve, size / 8);
  } else {
    floor = here > kAssumedStack ? here - kAssumedStack + kMinStackReserve : 1;
  }
  return floor;
}

}  // namespace vop
