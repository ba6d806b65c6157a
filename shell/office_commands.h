// The commands that send a run's results to Word or Excel, and the Excel
// syntax generator.
//
// A redirect command arms the application's RunExport for the next run
// (between runs only: the run owns the output stream). When that run ends,
// before the program is idle again, save_redirected_output asks where the
// document goes, until the user names a file that can be written (the
// output must be saved somewhere), writes it in the format the name asks
// for (session/office_export.h), counting the tables and charts down in
// the counts dialog, and opens it.
#pragma once

namespace vop::shell {

class Frame;
class VopApp;

// The messages of the redirect commands and of their saves.
extern const char* const kExcelArmed;        // "Next output is redirected into Excel file."
extern const char* const kWordArmed;         // "Next output is redirected into file."
extern const char* const kWordChartsArmed;   // "Next output (with charts) is redirected into file."
extern const char* const kNoTempFile;        // no temporary file could be made
extern const char* const kFileLocked;        // the chosen file cannot be written
extern const char* const kWordMissing;       // "Error starting Word.": no language template

void tables_in_excel(Frame& frame);         // redirect the next run to an Excel workbook
void word_without_charts(Frame& frame);     // redirect the next run to a Word document
void word_with_charts(Frame& frame);        // ... with the charts the run draws
void excel_syntax_generator(Frame& frame);  // write and open the Excel syntax generator workbook

// The save of a redirected run, on the UI thread once its worker ended.
void save_redirected_output(VopApp& app);

}  // namespace vop::shell
