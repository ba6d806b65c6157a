// DocTable: a survey table as a plain value that every renderer reads (the
// RTF and HTML writers, the output window, the Office files).
//
// A table is a grid of (h + R) rows and (v + C) columns: h column-heading
// rows on top, v row-heading columns on the left, the R x C body below and
// right of them, and the empty h x v corner. Colours are given per grid
// cell, border codes per grid line (top or left edge first). Headings keep
// the merge marks "|" and "~" as the script wrote them; the span functions
// turn them into row and column spans for renderers that can merge cells.
//
// The numbers of the body stay doubles: each renderer formats them its own
// way ("%0.2f" in RTF, a common scale and four decimals in HTML, the text
// display in the window).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "document/colour.h"

namespace vop {

// The labels that continue a neighbouring heading instead of starting one.
inline constexpr std::string_view kMergeUp = "|";    // joins the cell above
inline constexpr std::string_view kMergeLeft = "~";  // joins the cell to the left

// Border codes of grid lines.
inline constexpr int kBorderNone = 0;
inline constexpr int kBorderThin = 1;    // inside lines by default
inline constexpr int kBorderThick = 2;   // outer edges by default
inline constexpr int kBorderDouble = 3;
inline constexpr int kBorderCodes = 4;   // codes 0..3 are the model

// A body cell: absent, a number, or a text.
using DocCell = std::variant<std::monostate, double, std::string>;

// How a block of labels merges, for renderers that can span cells. A label
// that starts a heading spans the "~" run to its right and the "|" run
// below it; the cells under that span are covered. A mark that continues
// nothing stands alone and shows as an empty cell.
struct LabelSpan {
  int row_span = 1;      // cells down, this one included
  int col_span = 1;      // cells across, this one included
  bool covered = false;  // hidden under another cell's span
  bool orphan = false;   // a mark with nothing to continue: an empty cell
  bool operator==(const LabelSpan&) const = default;
};

// Layout of a rows x cols block whose label at (r, c) is label(r, c);
// element r + c * rows. `across_only` disables "|" (body cells merge only
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

// The four sizes of a table.
struct TableShape {
  int rows = 0;       // R: data rows
  int cols = 0;       // C: data columns
  int head_rows = 0;  // h: column-heading levels
  int head_cols = 0;  // v: row-heading levels
  bool operator==(const TableShape&) const = default;
};

struct DocTable {
  TableShape shape;                  // R, C, h, v
  bool numeric_body = false;         // the body holds numbers (renderers pick their number form)
  std::vector<DocCell> cells;        // R x C body, row by row
  std::vector<std::string> row_labels;  // R x v row headings, row by row; "" when absent
  std::vector<std::string> col_labels;  // h x C column headings, row by row; "" when absent
  std::vector<std::optional<Colour>> text_colours;  // grid cells row by row; empty: none given
  std::vector<std::optional<Colour>> back_colours;  // grid cells row by row; empty: none given
  std::vector<std::optional<int>> h_borders;  // h+R+1 lines from the top; none: default; empty: not given
  std::vector<std::optional<int>> v_borders;  // v+C+1 lines from the left; none: default; empty: not given

  int rows() const { return shape.rows; }
  int cols() const { return shape.cols; }
  int head_rows() const { return shape.head_rows; }
  int head_cols() const { return shape.head_cols; }
  int grid_rows() const { return shape.head_rows + shape.rows; }
  int grid_cols() const { return shape.head_cols + shape.cols; }
  bool numeric() const { return numeric_body; }

  // Body cell i, c; its number (NaN unless it is one) and its text ("" unless
  // it is one).
  const DocCell& cell(int i, int c) const { return cells[size_t(i) * size_t(shape.cols) + size_t(c)]; }
  double number(int i, int c) const;
  std::string_view cell_text(int i, int c) const;
  // Row heading of data row i at level j, column heading of level k over
  // data column c.
  std::string_view row_label(int i, int j) const {
    return row_labels.empty() ? std::string_view() : row_labels[size_t(i) * size_t(shape.head_cols) + size_t(j)];
  }
  std::string_view col_label(int k, int c) const {
    return col_labels.empty() ? std::string_view() : col_labels[size_t(k) * size_t(shape.cols) + size_t(c)];
  }
  bool has_row_labels() const { return shape.head_cols > 0; }
  bool has_col_labels() const { return shape.head_rows > 0; }

  // Colours of grid cell (r, c); none when the cell has no colour of its own.
  std::optional<Colour> text_colour(int r, int c) const { return grid_colour(text_colours, r, c); }
  std::optional<Colour> back_colour(int r, int c) const { return grid_colour(back_colours, r, c); }
  // The code given for horizontal grid line `line` (0 = top edge) and
  // vertical line (0 = left edge); none means the renderer's default.
  std::optional<int> h_border(int line) const {
    return h_borders.empty() ? std::nullopt : h_borders[size_t(line)];
  }
  std::optional<int> v_border(int line) const {
    return v_borders.empty() ? std::nullopt : v_borders[size_t(line)];
  }
  // The code a renderer draws for a grid line: the one given, else thick
  // on the table's outer edges and thin inside.
  int h_border_code(int line) const {
    return h_border(line).value_or(line == 0 || line == grid_rows() ? kBorderThick : kBorderThin);
  }
  int v_border_code(int line) const {
    return v_border(line).value_or(line == 0 || line == grid_cols() ? kBorderThick : kBorderThin);
  }
  bool has_h_borders() const { return !h_borders.empty(); }
  bool has_v_borders() const { return !v_borders.empty(); }

  // The decimal exponent of the largest body number that is not NaN (what
  // a renderer scales a numeric body by): 0 when it is infinite, none when
  // every number is NaN.
  std::optional<int> largest_exponent() const;

  // Merges of the column headings (h x C), the row headings (R x v) and the
  // body (R x C, "~" only), element r + c * rows as layout_labels gives them.
  std::vector<LabelSpan> col_label_spans() const;
  std::vector<LabelSpan> row_label_spans() const;
  std::vector<LabelSpan> body_spans() const;

  bool operator==(const DocTable&) const = default;

 private:
  std::optional<Colour> grid_colour(const std::vector<std::optional<Colour>>& part, int r,
                                    int c) const {
    return part.empty() ? std::nullopt : part[size_t(r) * size_t(grid_cols()) + size_t(c)];
  }
};

}  // namespace vop
