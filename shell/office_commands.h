// The commands that send a run's results to Word or Excel, and the Excel
// syntax generator. Each is one function, the one place the Office layer
// is wired in; until then they say that the export comes later.
#pragma once

namespace vop::shell {

class Frame;

// The text shown by a command of the Office export that is not there yet.
extern const char* const kOfficeLater;

void tables_in_excel(Frame& frame);         // redirect the next run to an Excel-HTML workbook
void word_without_charts(Frame& frame);     // redirect the next run to a Word document
void word_with_charts(Frame& frame);        // ... with the charts of the chart template
void excel_syntax_generator(Frame& frame);  // open the Excel syntax generator workbook

}  // namespace vop::shell
