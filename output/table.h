// The survey table model: the seven parts a script gives, the checks that
// turn them into a `Table`, and the label conventions every writer shares.
//
// A table is a grid of (h + R) rows and (v + C) columns: h column-heading
// rows on top, v row-heading columns on the left, the R x C body below and
// right of them, and the empty h x v corner. Colour parts are indexed by
// grid position; border parts list the grid lines from top (or left) edge
// to bottom (or right) edge.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "core/matrix.h"
#include "output/colour.h"

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

// The labels that continue a neighbouring heading instead of starting one.
inline constexpr std::string_view kMergeUp = "|";    // joins the cell above
inline constexpr std::string_view kMergeLeft = "~";  // joins the cell to the left

// Lines of the grid that have a default border code.
inline constexpr int kBorderNone = 0;
inline constexpr int kBorderThin = 1;    // inside lines by default
inline constexpr int kBorderThick = 2;   // outer edges by default
inline constexpr int kBorderDouble = 3;
inline constexpr int kBorderCodes = 4;   // codes 0..3 are the model

// A checked table: the parts agree in size and type. Absent and empty
// optional parts are nullptr here. Holds pointers into the caller's parts.
class Table {
 public:
  int rows() const { return rows_; }            // R: data rows
  int cols() const { return cols_; }            // C: data columns
  int head_rows() const { return head_rows_; }  // h: column-heading levels
  int head_cols() const { return head_cols_; }  // v: row-heading levels
  int grid_rows() const { return head_rows_ + rows_; }
  int grid_cols() const { return head_cols_ + cols_; }

  const Matrix& data() const { return *parts_.data; }
  bool numeric() const { return parts_.data->numeric(); }
  // Text of a string data cell ("" for an absent element).
  std::string_view cell_text(int i, int c) const;
  // Row heading of data row i at level j, column heading of level k over
  // data column c ("" when there are no headings or the element is absent).
  std::string_view row_label(int i, int j) const;
  std::string_view col_label(int k, int c) const;
  const Matrix* row_labels() const { return parts_.row_labels; }
  const Matrix* col_labels() const { return parts_.col_labels; }

  // Colours of grid cell (r, c); none when not given, NaN or infinite.
  std::optional<Colour> text_colour(int r, int c) const;
  std::optional<Colour> back_colour(int r, int c) const;
  // The code the parts give for horizontal grid line `line` (0 = top edge)
  // and vertical line (0 = left edge): none when the part is absent or the
  // value is NaN or infinite. Huge values are clamped, not cast blindly.
  std::optional<int> h_border(int line) const;
  std::optional<int> v_border(int line) const;
  bool has_h_borders() const { return parts_.h_borders != nullptr; }
  bool has_v_borders() const { return parts_.v_borders != nullptr; }

 private:
  friend std::optional<Table> CheckTable(const TableParts&, ErrorState&);
  TableParts parts_;   // checked parts; empty optional ones made nullptr
  int rows_ = 0;       // R
  int cols_ = 0;       // C
  int head_rows_ = 0;  // h
  int head_cols_ = 0;  // v
};

// Checks the parts in the fixed order and returns the table, or raises the
// first failure's code (70 wrong size, 64 headings not strings, 63 colours
// or borders not numbers; 81 when there is no data) and returns nothing.
std::optional<Table> CheckTable(const TableParts& parts, ErrorState& err);

// How a block of labels merges, for writers that can span cells. A label
// that starts a heading spans the "~" run to its right and the "|" run
// below it; the cells under that span are covered. A mark that continues
// nothing stands alone and prints as an empty cell.
struct LabelSpan {
  int row_span = 1;      // cells down, this one included
  int col_span = 1;      // cells across, this one included
  bool covered = false;  // hidden under another cell's span
  bool orphan = false;   // a mark with nothing to continue: an empty cell
};

// Layout of a rows x cols block whose label at (r, c) is label(r, c);
// element r + c * rows. `across_only` disables "|" (data cells merge only
// to the right).
template <class LabelFn>
std::vector<LabelSpan> layout_labels(int rows, int cols, LabelFn label, bool across_only = false) {
  std::vector<LabelSpan> out(size_t(rows) * size_t(cols));
  auto at = [&](int r, int c) -> LabelSpan& { return out[size_t(r) + size_t(c) * size_t(rows)]; };
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < cols; ++c) {
      LabelSpan& s = at(r, c);
      if (s.covered) continue;
      const std::string_view l = label(r, c);
      if (l == kMergeLeft || (l == kMergeUp && !across_only)) {
        s.orphan = true;
        continue;
      }
      while (c + s.col_span < cols && !at(r, c + s.col_span).covered &&
             label(r, c + s.col_span) == kMergeLeft)
        ++s.col_span;
      while (!across_only && r + s.row_span < rows && label(r + s.row_span, c) == kMergeUp)
        ++s.row_span;
      for (int dr = 0; dr < s.row_span; ++dr)
        for (int dc = 0; dc < s.col_span; ++dc)
          if (dr || dc) at(r + dr, c + dc).covered = true;
    }
  }
  return out;
}

}  // namespace vop
