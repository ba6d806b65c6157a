// The table a pyramid drawing is made from, as the user selected it in a
// spreadsheet: rows of cells that are texts, numbers or neither (empty
// cells, booleans, errors). Read from the clipboard's text or a
// tab-separated or CSV file (what Calc and Excel copy or save), or from a
// range of a sheet of an .xlsx workbook.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vop::pyramid {

struct Cell {
  enum class Kind { None, Text, Number };
  Kind kind = Kind::None;
  std::string text;
  double number = 0;

  static Cell of_text(std::string t) { return {Kind::Text, std::move(t), 0}; }
  static Cell of_number(double v) { return {Kind::Number, {}, v}; }
  bool is_text() const { return kind == Kind::Text; }
  bool is_number() const { return kind == Kind::Number; }
};

// Rows top to bottom, every row as long as the longest (padded with empty
// cells).
using Table = std::vector<std::vector<Cell>>;

inline int row_count(const Table& t) { return int(t.size()); }
inline int column_count(const Table& t) { return t.empty() ? 0 : int(t[0].size()); }

// A cell's text as a spreadsheet copies it: a finite number in the C
// locale's form, or with a decimal comma when it has no point ("12,5"),
// is a number; an empty or blank cell is nothing; anything else is text
// as it stands.
Cell cell_from_text(std::string_view text);

// Delimited text: rows end at a line feed (a carriage return before it is
// dropped), cells at `delimiter`; a cell that starts with a double quote
// runs to the closing quote, with "" for a quote inside, and may hold
// delimiters and line feeds. A line feed at the very end does not start a
// row.
Table parse_delimited(std::string_view text, char delimiter);

// The delimiter of a CSV file: ';' when its first line has semicolons and
// no commas outside quotes (a CSV saved in a decimal-comma locale), else ','.
char csv_delimiter(std::string_view text);

// `input` is an .xlsx range when it is written "book.xlsx:Sheet1!B2:F9"
// (or one cell, "book.xlsx:Sheet1!B2"); the parts are returned.
struct XlsxRange {
  std::string path, sheet, range;
};
bool split_xlsx_range(const std::string& input, XlsxRange* out);

// The cells of a range of a sheet of a workbook: shared and inline
// strings and formula results that are strings are texts; numbers are
// numbers; booleans, errors and absent cells are nothing. False with a
// message when the workbook, the sheet or the range cannot be read.
bool read_xlsx_range(const XlsxRange& range, Table* out, std::string* error);

// Reads --input: an .xlsx range, a .csv file, else a tab-separated file.
bool read_table_file(const std::string& input, Table* out, std::string* error);

}  // namespace vop::pyramid
