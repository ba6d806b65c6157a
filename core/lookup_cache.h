// What a compiled name remembers of its last successful variable lookup, so
// that a loop does not search the frame's table on every pass.
#pragma once

#include <cstdint>

namespace vop {

class Matrix;

// Valid while the same call frame is current and no variable, alias or
// global declaration has been added or removed anywhere in the workspace
// (its shape count is unchanged): variables never move while they exist.
struct LookupCache {
  uint64_t frame = 0;     // id of the frame the lookup ran in; 0 = nothing remembered
  uint64_t shape = 0;     // the workspace's shape count at the time
  Matrix* var = nullptr;  // what the name denoted
};

}  // namespace vop
