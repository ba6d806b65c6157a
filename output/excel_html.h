// The Excel-HTML workbook: a run's HTML fragments wrapped into one Office
// HTML file that a spreadsheet program opens as a workbook.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace vop {

class RedirectFile;
struct ExcelStyles;

// The ".x%d" style block of one class number.
std::string excel_class_block(int class_number, const ExcelStyles& styles);

// Writes the workbook: the head (template 146), the installation
// identifier, the palette, the fixed styles (148), a block for every class
// the tables used in increasing number, the sheet settings (147), then the
// body file from its beginning as well-formed UTF-8, which the head
// declares. False when the target could not be written
// in full. The caller closes both files.
bool WriteExcelHtmlDocument(std::FILE* target, RedirectFile& body, const ExcelStyles& styles,
                            std::string_view installation_id);

}  // namespace vop
