// The three pieces of the Excel-HTML workbook that are fixed text: the head
// up to the installation identifier (146), the style sheet's fixed classes
// (148) and the workbook settings up to the body (147). Numbered as the
// resources of the desktop program; CR LF line ends.
#pragma once

#include <string_view>

namespace vop {

std::string_view excel_template_head();    // piece 146
std::string_view excel_template_styles();  // piece 148
std::string_view excel_template_sheet();   // piece 147

}  // namespace vop
