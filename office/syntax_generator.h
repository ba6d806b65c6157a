// The Excel syntax generator: a workbook that lists the numeric variables
// of the open dataset, one a row from row 13, so that syntax can be put
// together beside them in a spreadsheet program.
//
// Rows 1 to 12 are the header: by default a title and a few lines on how
// the sheet is laid out, ending with the column titles on row 12. A header
// file replaces them: plain text, one line a row (12 at most), a tab
// between the cells of a row; its first row is shown as the title and its
// twelfth as the column titles.
//
// Each variable's row holds, in column A, its position in the dataset
// (from 1), with a comment of one line "VALUE - LABEL" for each value label
// when it has any; in column B its label; in column C its name.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace vop {

struct GeneratorVariable {
  int position = 0;   // in the dataset, from 1
  std::string label;  // the variable label, "" when none
  std::string name;
  std::vector<std::pair<double, std::string>> value_labels;  // value, label; in order
};

// Rows of the generator sheet.
inline constexpr int kGeneratorHeaderRows = 12;
inline constexpr int kGeneratorFirstRow = 13;  // the first variable's row (from 1)

// The comment of a variable's position cell: "%d - %s\n" per value label,
// the value truncated to a whole number ("%g" when it has no whole-number
// form). "" without value labels.
std::string value_label_comment(const std::vector<std::pair<double, std::string>>& labels);

// Writes the generator workbook for `vars` (in dataset order) to `path`
// through save_file. `header_path` names a header file; "" takes the
// default header. False with a message in `error` (when given) when the
// header file cannot be read or has more than 12 lines, or the workbook
// cannot be written; an existing file at `path` is then unchanged.
bool write_syntax_generator(const std::string& path, const std::vector<GeneratorVariable>& vars,
                            const std::string& header_path, std::string* error);

}  // namespace vop
