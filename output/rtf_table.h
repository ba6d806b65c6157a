// The RTF fragment of a survey table: one RTF table row per grid row, with
// 500-twip columns, borders by code and colours through the colour table.
#pragma once

#include <string>

namespace vop {

struct DocTable;
class RtfColourTable;

// Border colours: grey for the thick outer code, light grey for the others.
inline constexpr unsigned kRtfGrey = 8421504;        // 128, 128, 128
inline constexpr unsigned kRtfLightGrey = 12632256;  // 192, 192, 192

// The fragment for t, looking colours up in first-use order (the two border
// colours first, even for a table without rows). A table without data rows
// gives the empty string: the caller writes the line "[]" instead.
std::string RtfTableFragment(const DocTable& t, RtfColourTable& colours);

}  // namespace vop
