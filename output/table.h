// The survey table as a script gives it: the seven parts, and the checks
// that turn them into a DocTable (document/doc_table.h), the value every
// renderer reads.
//
// A table is a grid of (h + R) rows and (v + C) columns: h column-heading
// rows on top, v row-heading columns on the left, the R x C body below and
// right of them, and the empty h x v corner. Colour parts are indexed by
// grid position; border parts list the grid lines from top (or left) edge
// to bottom (or right) edge.
#pragma once

#include <optional>

#include "core/matrix.h"
#include "document/doc_table.h"

namespace vop {

class ErrorState;

// The parts as the caller evaluated them; nullptr = not given. The first
// absent part ends the list: the parts after it are not looked at.
struct TableParts {
  const Matrix* data = nullptr;          // R x C body, numbers or strings
  const Matrix* row_labels = nullptr;    // R x v strings; column k = level k
  const Matrix* col_labels = nullptr;    // h x C strings; row k = level k
  const Matrix* text_colours = nullptr;  // (h+R) x (v+C) colour numbers
  const Matrix* back_colours = nullptr;  // (h+R) x (v+C) colour numbers
  const Matrix* h_borders = nullptr;     // h+R+1 border codes, any shape
  const Matrix* v_borders = nullptr;     // v+C+1 border codes, any shape
};

// Checks the parts in the fixed order and returns the table, or raises the
// first failure's code (70 wrong size, 64 headings not strings, 63 colours
// or borders not numbers; 81 when there is no data) and returns nothing.
// In the table, colours that are NaN or infinite are no colour and border
// values that are NaN or infinite are the default; empty optional parts
// are absent.
std::optional<DocTable> CheckTable(const TableParts& parts, ErrorState& err);

}  // namespace vop
