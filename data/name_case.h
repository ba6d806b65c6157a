// Upper case for variable names: every place that upper-cases a name goes
// through here, so a name read from a file, made by DataAddVar or written in
// a transformation statement comes out the same.
#pragma once

#include <string>
#include <string_view>

namespace vop {

// `name` (UTF-8) with each letter replaced by its capital: ASCII, Latin-1,
// Latin Extended-A and -B, Latin Extended Additional, Greek and Cyrillic.
// The mapping is fixed (not the process locale's), letters without a
// single capital (German sharp s) and other characters stay, and bytes that
// are not valid UTF-8 pass through unchanged.
std::string upper_name(std::string_view name);
void to_upper_name(std::string& name);

}  // namespace vop
