// A run's output as a native workbook (.xlsx): one sheet laid out as the
// Excel-HTML workbook of the same run opens in a spreadsheet program.
//
// - Each line of text is a row of its own, its text in column A; a blank
//   line is an empty row. Headings are rows in the workbook's heading
//   styles (levels 1 to 4 dark blue and bold at 16, 14, 11 and 11 pt, the
//   base line of a table teal); everything is Arial, 10 pt unless said.
// - Tables start in column A on the row after what came before. A table
//   with a numeric body has bold centred headings and its values scaled
//   and rounded to four decimals, shown with four; when the values are
//   scaled, the scale line ("1.0e+004 *") is the row above the table. A
//   table with a text body has a grey border on every cell (none, thin,
//   medium or double by the table's border codes), its background and text
//   colours (white and black unless given), centred cells with left-aligned
//   row headings, and an empty row after it. A body text that shows a plain
//   decimal number or a percentage ("3.99", "-2", "42.0%") is stored as that
//   number with a format that shows as many decimals; other texts stay text.
// - Merged headings and body cells are merged ranges.
// - When the widest table has more than one grid column, the columns from B
//   to that table's last one are 5.86 wide.
//
// Texts are UTF-8; bytes that are no UTF-8 read as windows-1252.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "document/output_event.h"

namespace vop {

// Writes the workbook of `events` (charts and counts are left out) to
// `path` through save_file: an existing file is replaced only by a complete
// workbook. A non-empty `installation_id` is stored as the custom property
// "xp", as in every document the program saves. False with a message in
// `error` (when given) otherwise, for instance when the output does not fit
// on one sheet.
bool write_xlsx(const std::string& path, const std::vector<OutputEvent>& events,
                std::string* error, std::string_view installation_id = {});

}  // namespace vop
