#include "office/syntax_generator.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string_view>

#include "office/xlsx_file.h"

namespace vop {

namespace {

using HeaderRows = std::vector<std::vector<std::string>>;

// The header when no header file is given.
const HeaderRows& default_header() {
  static const HeaderRows rows = {
      {"Vop syntax generator"},
      {},
      {"The numeric variables of the dataset, one a row from row 13, in dataset order."},
      {"Column A: the variable's position in the dataset; its comment lists the value labels."},
      {"Column B: the variable's label."},
      {"Column C: the variable's name."},
      {"Build syntax in the columns from D on, with formulas that take the names from column C,"},
      {"then copy the cells into a syntax window."},
      {},
      {},
      {},
      {"Position", "Label", "Name"},
  };
  return rows;
}

bool read_header(const std::string& path, HeaderRows* rows, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (error) *error = "cannot read the syntax generator header " + path;
    return false;
  }
  rows->clear();
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (int(rows->size()) == kGeneratorHeaderRows) {
      if (error)
        *error = "the syntax generator header " + path + " has more than " +
                 std::to_string(kGeneratorHeaderRows) + " lines";
      return false;
    }
    std::vector<std::string> cells;
    std::istringstream fields(line);
    for (std::string cell; std::getline(fields, cell, '\t');) cells.push_back(cell);
    rows->push_back(std::move(cells));
  }
  if (in.bad()) {
    if (error) *error = "cannot read the syntax generator header " + path;
    return false;
  }
  return true;
}

// A comment box tall enough for its lines (within reason).
lxw_comment_options comment_box(size_t lines) {
  lxw_comment_options o{};
  o.width = 300;
  o.height = std::uint16_t(std::clamp<size_t>(16 * lines + 10, 74, 600));
  return o;
}

}  // namespace

std::string value_label_comment(const std::vector<std::pair<double, std::string>>& labels) {
  std::string s;
  char buf[64];
  for (const auto& [value, label] : labels) {
    const double t = std::trunc(value);
    if (std::isfinite(t) && t >= INT_MIN && t <= INT_MAX) std::snprintf(buf, sizeof buf, "%d", int(t));
    else std::snprintf(buf, sizeof buf, "%g", value);
    s += buf;
    s += " - ";
    s += label;
    s += '\n';
  }
  return s;
}

bool write_syntax_generator(const std::string& path, const std::vector<GeneratorVariable>& vars,
                            const std::string& header_path, std::string* error) {
  HeaderRows header;
  if (!header_path.empty() && !read_header(header_path, &header, error)) return false;
  const HeaderRows& rows = header_path.empty() ? default_header() : header;
  if (size_t(kGeneratorFirstRow - 1) + vars.size() > size_t(LXW_ROW_MAX)) {
    if (error) *error = "too many variables for one sheet";
    return false;
  }

  XlsxFile file;
  if (lxw_workbook* wb = file.workbook()) {
    lxw_worksheet* ws = workbook_add_worksheet(wb, nullptr);
    lxw_format* plain = workbook_add_format(wb);
    format_set_font_name(plain, "Arial");
    format_set_font_size(plain, 10);
    lxw_format* title = workbook_add_format(wb);
    format_set_font_name(title, "Arial");
    format_set_font_size(title, 14);
    format_set_bold(title);
    format_set_font_color(title, 0x003366);
    lxw_format* titles = workbook_add_format(wb);
    format_set_font_name(titles, "Arial");
    format_set_font_size(titles, 10);
    format_set_bold(titles);
    format_set_bottom(titles, LXW_BORDER_THIN);
    for (size_t r = 0; r < rows.size(); ++r) {
      lxw_format* f = r == 0 ? title : int(r) == kGeneratorHeaderRows - 1 ? titles : plain;
      for (size_t c = 0; c < rows[r].size() && c < size_t(LXW_COL_MAX); ++c)
        if (!rows[r][c].empty())
          worksheet_write_string(ws, lxw_row_t(r), lxw_col_t(c), xlsx_text(rows[r][c]).c_str(), f);
    }
    worksheet_set_column(ws, 0, 0, 9, nullptr);
    worksheet_set_column(ws, 1, 1, 48, nullptr);
    worksheet_set_column(ws, 2, 2, 14, nullptr);
    worksheet_freeze_panes(ws, kGeneratorHeaderRows, 0);

    lxw_row_t row = kGeneratorFirstRow - 1;
    for (const GeneratorVariable& v : vars) {
      worksheet_write_number(ws, row, 0, v.position, plain);
      if (!v.value_labels.empty()) {
        lxw_comment_options box = comment_box(v.value_labels.size());
        worksheet_write_comment_opt(ws, row, 0, xlsx_text(value_label_comment(v.value_labels)).c_str(),
                                    &box);
      }
      if (!v.label.empty()) worksheet_write_string(ws, row, 1, xlsx_text(v.label).c_str(), plain);
      worksheet_write_string(ws, row, 2, xlsx_text(v.name).c_str(), plain);
      ++row;
    }
  }
  return file.save(path, error);
}

}  // namespace vop
