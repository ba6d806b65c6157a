// The text display of a matrix: the console form that shows a statement's
// value, and the tab-separated form that tables use for plain text.
#pragma once

#include "core/matrix.h"

namespace vop {

class OutputSink;

// Writes m line by line with WriteLine. With `with_header` the first line
// is "ans =" for an unnamed value, else "<name> =". Numbers go in fields of
// 10 characters, at most 8 columns per block ("Kolone 1 do 8" before each
// block of a wider matrix), under a common "1.0e+005 *" scale line when the
// largest finite magnitude has an exponent of 5 or more in size; strings
// are left-justified to the longest element (at most 78 characters).
void display_matrix(const Matrix& m, bool with_header, OutputSink& out);

// Writes m as tab-separated lines with WriteText. `row_labels` (one row per
// row of m) and `column_labels` (one column per column of m) are string
// matrices or nullptr; a numeric label matrix counts as absent and a label
// outside a label matrix's extent as empty. Numbers share a "%2.1e *" scale
// line when the largest magnitude has an exponent of 3 or more in size and
// are truncated to 3 decimals.
void display_matrix_tabbed(const Matrix& m, const Matrix* row_labels,
                           const Matrix* column_labels, OutputSink& out);

}  // namespace vop
