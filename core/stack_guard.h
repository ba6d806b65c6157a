// How deep the running thread's stack may still grow.
//
// Runaway nesting (recursion through functions, macros, function files and
// eval, with deep expressions at every level) is stopped by counting calls,
// but how much stack one level takes depends on the build (sanitizer builds
// have frames several times larger) and the thread's stack on who made the
// thread. So the evaluator also compares the stack position with a floor
// taken from the thread's real stack, and stops with an error well before it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vop {

// Stack left below the floor for what runs under the last check: a
// builtin, a compile of deeply nested text, the error report.
inline constexpr size_t kMinStackReserve = size_t(256) << 10;

// The current stack position (the stack grows down on every platform the
// program runs on).
#if defined(__GNUC__) || defined(__clang__)
#define VOP_STACK_POSITION() reinterpret_cast<uintptr_t>(__builtin_frame_address(0))
#else
#include <intrin.h>
#define VOP_STACK_POSITION() reinterpret_cast<uintptr_t>(_AddressOfReturnAddress())
#endif

// The lowest position the calling thread's stack may reach before nesting
// is refused: its stack's low end plus a reserve of an eighth of its size
// (at least kMinStackReserve). When the thread's stack cannot be asked
// for, 1 MiB below the current position is assumed to be there.
uintptr_t stack_floor();

}  // namespace vop
