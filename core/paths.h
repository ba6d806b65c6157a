// File names as scripts write them, and the function-file search path.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace vop {

// Limit of a function-file path (code 787 beyond it).
inline constexpr size_t kMaxPathBytes = 255;

// A script's path with each backslash turned into this platform's separator.
std::string native_path(std::string_view script_path);

// Open `file` (a name with its ending, as a script wrote it) for reading:
// first as written, then inside each directory of `search_path` in turn.
// Returns the open stream and sets *opened_path, or nullptr when none opens.
std::FILE* open_on_search_path(std::string_view file,
                               const std::vector<std::string>& search_path,
                               std::string* opened_path = nullptr);

}  // namespace vop
