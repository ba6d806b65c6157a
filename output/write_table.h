// WriteTable: a script's survey table, checked and then written for the
// current target: the RTF or HTML table for a redirect file, a table block
// for the Word document or the window (with the matrix text display's text
// of it, which is what a plain window shows).
#pragma once

#include <functional>

#include "output/table.h"

namespace vop {

class ErrorState;
class OutputSink;

// The matrix text displays that show a table in the window. They live with
// the built-in library, which passes them to every call; an unset one shows
// nothing.
struct WindowTableDisplay {
  // Data with row and column labels (either may be nullptr), tab-separated.
  std::function<void(const Matrix& m, const Matrix* row_labels, const Matrix* col_labels,
                     OutputSink& out)> tabbed;
  // Data alone, as the console shows a value.
  std::function<void(const Matrix& m, bool with_header, OutputSink& out)> plain;
};

// Checks the parts (CheckTable) and writes the table: into the redirect
// file when `out` is an OutputStream with one open (RTF or HTML by its
// kind; the line "[]" for a table without data rows; every table written
// counts; an attached Word document gets the table block too), otherwise
// as a table block (OutputStream::WriteTableBlock) whose
// text is what `window` shows. Any other sink gets that text. On a failed
// check the error is raised and nothing is written.
void WriteTable(OutputSink& out, const TableParts& parts, ErrorState& err,
                const WindowTableDisplay& window);

}  // namespace vop
