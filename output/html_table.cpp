// Written in two halves, one per body form; both lay merged headings out
// with the table's spans and write each merged cell once, at its top-left.
#include "output/html_table.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include "output/excel_styles.h"
#include "document/doc_table.h"

namespace vop {

namespace {

// A numeric body whose largest value has an exponent this big or bigger
// (in size) is shown scaled, under a scale line.
constexpr int kScaleExponent = 3;
// Values print with four decimals.
constexpr double kDecimals = 1e4;

void append_span(std::string& s, const char* before, const LabelSpan& span, const char* after) {
  char buf[96];
  std::snprintf(buf, sizeof buf, "%sROWSPAN=%d COLSPAN=%d%s", before, span.row_span, span.col_span,
                after);
  s += buf;
}

bool merged(const LabelSpan& s) { return s.row_span > 1 || s.col_span > 1; }

// Label shown for a cell: marks that merge nothing show as empty cells.
std::string_view shown(std::string_view label, const LabelSpan& s) {
  return s.orphan ? std::string_view() : label;
}

// --- Numeric form ---------------------------------------------------------

void number_cell(std::string& s, double x, double scale) {
  if (std::isnan(x)) {
    s += "<TD>NaN</TD>";
    return;
  }
  if (std::isinf(x)) {
    s += x > 0 ? "<TD>Inf</TD>" : "<TD>-Inf</TD>";
    return;
  }
  // Rounded to four decimals half away from zero; adding 0.0 turns a
  // negative zero into "0.0000".
  double y = x / scale;
  const double r = std::round(y * kDecimals) / kDecimals;
  if (std::isfinite(r)) y = r + 0.0;
  char buf[400];  // %f of the largest double needs 309 digits before the point
  std::snprintf(buf, sizeof buf, "<TD>%9.4f</TD>", y);
  s += buf;
}

std::string numeric_table(const DocTable& t) {
  std::string s;
  double scale = 1;
  if (auto e = t.largest_exponent(); e && std::abs(*e) >= kScaleExponent) {
    scale = std::pow(10.0, *e);
    s += format_scale(scale);
    s += " *\n";
  }
  const int h = t.head_rows(), v = t.head_cols(), C = t.cols(), R = t.rows();
  const auto heads = t.col_label_spans();
  const auto rows = t.row_label_spans();

  s += "\n<TABLE class='mytable'>";
  for (int k = 0; k < h; ++k) {
    s += "\n<TR>";
    if (k == 0 && v > 0) append_span(s, "<TH scope='row' ", LabelSpan{h, v}, ">&nbsp</TH>");
    for (int c = 0; c < C; ++c) {
      const LabelSpan& span = heads[size_t(k) + size_t(c) * size_t(h)];
      if (span.covered) continue;
      if (merged(span)) append_span(s, "<TH scope='col' ", span, ">");
      else s += "<TH scope='col'>";
      s += shown(t.col_label(k, c), span);
      s += "</TH>";
    }
    s += "</TR>";
  }
  for (int i = 0; i < R; ++i) {
    s += "<TR>\n";
    for (int j = 0; j < v; ++j) {
      const LabelSpan& span = rows[size_t(i) + size_t(j) * size_t(R)];
      if (span.covered) continue;
      if (merged(span)) append_span(s, "<TH scope='row' ", span, ">");
      else s += "<TH scope='row'>";
      s += shown(t.row_label(i, j), span);
      s += "</TH>";
    }
    for (int c = 0; c < C; ++c) number_cell(s, t.number(i, c), scale);
    s += "</TR>";
  }
  s += "</TABLE>";
  return s;
}

// --- String form ----------------------------------------------------------

class StringTableWriter {
 public:
  StringTableWriter(const DocTable& t, ExcelStyles& styles) : t_(t), styles_(styles) {}

  std::string write() {
    const int h = t_.head_rows(), v = t_.head_cols(), C = t_.cols(), R = t_.rows();
    const auto heads = t_.col_label_spans();
    const auto rows = t_.row_label_spans();
    const auto cells = t_.body_spans();

    s_ += "\n<TABLE class='mytable'><THEAD>";
    for (int k = 0; k < h; ++k) {
      s_ += "\n<TR>";
      for (int j = 0; j < v; ++j) {
        s_ += "\n\t<TD ";
        cell_class(k, j, LabelSpan{});
        s_ += "></TD>";
      }
      for (int c = 0; c < C; ++c) {
        const LabelSpan& span = heads[size_t(k) + size_t(c) * size_t(h)];
        if (!span.covered) spanned_cell(k, v + c, span, shown(t_.col_label(k, c), span));
      }
      s_ += "</TR>\n";
    }
    s_ += "</THEAD>\n<TBODY>";
    for (int i = 0; i < R; ++i) {
      const int r = h + i;
      s_ += "\n<TR>";
      for (int j = 0; j < v; ++j) {
        const LabelSpan& span = rows[size_t(i) + size_t(j) * size_t(R)];
        if (span.covered) continue;
        append_span(s_, "<TD ", span, " ");
        cell_class(r, j, span);
        s_ += " style='text-align:left'>";
        s_ += shown(t_.row_label(i, j), span);
        s_ += "</TD>";
      }
      for (int c = 0; c < C; ++c) {
        const LabelSpan& span = cells[size_t(i) + size_t(c) * size_t(R)];
        if (span.covered) continue;
        const std::string_view text = t_.cell_text(i, c);
        spanned_cell(r, v + c, span, span.orphan || text == kMergeUp ? std::string_view() : text);
      }
      s_ += "</TR>";
    }
    s_ += "<TR></TR></TBODY></TABLE>\n";
    return std::move(s_);
  }

 private:
  void spanned_cell(int r, int c, const LabelSpan& span, std::string_view text) {
    if (merged(span)) append_span(s_, "\n\t<TD ", span, " ");
    else s_ += "\n\t<TD ";
    cell_class(r, c, span);
    s_ += '>';
    s_ += text;
    s_ += "</TD>";
  }

  // Border code of a line: the outer edges are thick when the part is
  // given; without the part every line is thin; a missing value, or one
  // outside the model's codes, is thin.
  static int line_code(std::optional<int> value, bool given, bool edge) {
    if (!given) return kBorderThin;
    if (edge) return kBorderThick;
    return value && *value >= 0 && *value < kBorderCodes ? *value : kBorderThin;
  }

  // " class=x%d" for the cell at grid (r, c) spanning `span`, whose far
  // borders are those of the span's last row and column.
  void cell_class(int r, int c, const LabelSpan& span) {
    const int last_r = r + span.row_span - 1, last_c = c + span.col_span - 1;
    const bool hb = t_.has_h_borders(), vb = t_.has_v_borders();
    CellClass k{};
    k.top = line_code(t_.h_border(r), hb, r == 0);
    k.bottom = line_code(t_.h_border(last_r + 1), hb, last_r == t_.grid_rows() - 1);
    k.left = line_code(t_.v_border(c), vb, c == 0);
    k.right = line_code(t_.v_border(last_c + 1), vb, last_c == t_.grid_cols() - 1);
    const auto bg = t_.back_colour(r, c);
    const auto fg = t_.text_colour(r, c);
    k.background = bg ? styles_.palette.lookup(*bg) : kDefaultBackground;
    k.text = fg ? styles_.palette.lookup(*fg) : kDefaultText;
    const int n = k.number();
    styles_.classes.mark(n);
    char buf[32];
    std::snprintf(buf, sizeof buf, "class=x%d", n);
    s_ += buf;
  }

  const DocTable& t_;
  ExcelStyles& styles_;
  std::string s_;  // the fragment so far
};

}  // namespace

std::string format_scale(double x) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%2.1e", x);
  std::string s = buf;
  const size_t e = s.find_first_of("eE");
  if (e == std::string::npos || e + 2 > s.size()) return s;  // inf, nan
  const size_t digits = s.size() - (e + 2);  // after the sign
  if (digits < 3) s.insert(e + 2, 3 - digits, '0');
  return s;
}

std::string HtmlTableFragment(const DocTable& t, ExcelStyles& styles) {
  if (t.numeric()) return numeric_table(t);
  return StringTableWriter(t, styles).write();
}

}  // namespace vop
