// What a compiled name remembers of its last successful variable lookup, so
// that a loop does not search the frame's table on every pass; and, for a
// name in a function's body, the slot of the function's frame it has.
#pragma once

#include <cstdint>

namespace vop {

class Matrix;
class FrameLayout;

// Valid while the same call frame is current and no variable, alias or
// global declaration has been added or removed anywhere in the workspace
// (its shape count is unchanged): variables never move while they exist.
struct LookupCache {
  uint64_t frame = 0;     // id of the frame the lookup ran in; 0 = nothing remembered
  uint64_t shape = 0;     // the workspace's shape count at the time
  Matrix* var = nullptr;  // what the name denoted
  // Set when the function is compiled: in a frame laid out by `layout`
  // the name's local lives in slot `slot`.
  const FrameLayout* layout = nullptr;
  int slot = -1;
};

}  // namespace vop
