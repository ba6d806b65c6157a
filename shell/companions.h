// Starting the companion programs, which live beside the executable.
#pragma once

#include <QString>

namespace vop::shell {

class Frame;

inline constexpr const char* kTesvinName = "Tesvin";    // Word document to slides
inline constexpr const char* kPyramidName = "Pyramid";  // pyramid charts from Excel

// Start `name` from the program's folder, detached, with the single
// argument " "; false (and a status-bar note) when it is missing or does
// not start.
bool start_companion(Frame& frame, const char* name);

}  // namespace vop::shell
