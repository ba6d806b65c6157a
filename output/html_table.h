// The HTML fragment of a survey table, in two forms: a numeric body gets a
// plain table under a common scale line; a string body (already formatted
// by the script) gets cells with classes for borders and colours.
#pragma once

#include <string>

namespace vop {

struct DocTable;
struct ExcelStyles;

// The fragment for t (a table with at least one data row): the numeric form
// looks up no colours; the string form looks colours up in the palette and
// marks every class it uses. The caller updates the widest table.
std::string HtmlTableFragment(const DocTable& t, ExcelStyles& styles);

// "%2.1e" of x with at least three exponent digits ("1.0e+004"), as every
// number printed with an exponent shows it.
std::string format_scale(double x);

}  // namespace vop
