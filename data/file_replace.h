// Saving a file so that a failed save loses nothing: the content goes to a
// temporary file beside the target, which replaces the target only after
// everything was written and closed.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

namespace vop {

// Write `path` through `write`, which returns false when it could not write
// everything. True when the target now holds the complete new content; on
// failure the old file (if any) is untouched and no temporary remains.
bool replace_file(const std::string& path, const std::function<bool(std::FILE*)>& write);

}  // namespace vop
