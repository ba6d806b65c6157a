#include "office/xlsx_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string_view>

#include "office/xlsx_file.h"

namespace vop {

namespace {

// --- What the Excel-HTML workbook shows ----------------------------------

constexpr const char* kFont = "Arial";
constexpr double kFontSize = 10;
constexpr lxw_color_t kHeadingColour = 0x003366;
constexpr lxw_color_t kBaseColour = 0x009999;
constexpr lxw_color_t kBorderColour = 0xADADAD;
constexpr double kColumnWidth = 5.86;  // columns B .. the widest table's last
constexpr int kScaleExponent = 3;      // numeric bodies this large or small are scaled
constexpr double kDecimals = 1e4;      // numeric bodies show four decimals
constexpr const char* kNumericFormat = "0.0000";
constexpr int kMostDigits = 15;        // a longer number text stays text (a code, an id)

// An Excel colour (0xRRGGBB) of a table colour (R + 256 G + 65536 B).
lxw_color_t rgb(Colour c) {
  return lxw_color_t(colour_red(c)) << 16 | lxw_color_t(colour_green(c)) << 8 |
         lxw_color_t(colour_blue(c));
}

// The spreadsheet border of a border code.
std::uint8_t border_style(int code) {
  switch (code) {
    case kBorderNone: return LXW_BORDER_NONE;
    case kBorderThick: return LXW_BORDER_MEDIUM;  // the workbook's 1pt line
    case kBorderDouble: return LXW_BORDER_DOUBLE;
    default: return LXW_BORDER_THIN;
  }
}

// How a cell looks; the workbook gets one format per distinct look.
struct Look {
  int heading = 0;   // 1..5: the heading styles; 6: a numeric table's heading
  int align = 0;     // LXW_ALIGN_*
  int top = -1, bottom = -1, left = -1, right = -1;  // border codes; -1: none at all
  long long back = -1;  // fill colour, -1: none
  long long text = -1;  // font colour, -1: automatic
  std::string number;   // number format, "" for General
  auto operator<=>(const Look&) const = default;
};

constexpr int kTableHeading = 6;

Look heading_look(int heading, int align = 0) {
  Look k;
  k.heading = heading;
  k.align = align;
  return k;
}
Look number_look(std::string format) {
  Look k;
  k.number = std::move(format);
  return k;
}

// A body text that shows a plain decimal number or a percentage, as the
// number it shows and a format with as many decimals.
struct ShownNumber {
  double value;
  std::string format;
};

std::optional<ShownNumber> shown_number(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  const bool percent = !s.empty() && s.back() == '%';
  if (percent) s.remove_suffix(1);
  std::string_view digits = s;
  if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) digits.remove_prefix(1);
  const size_t point = digits.find('.');
  const std::string_view whole = digits.substr(0, point);
  const std::string_view frac = point == std::string_view::npos ? std::string_view() : digits.substr(point + 1);
  auto all_digits = [](std::string_view d) {
    return std::all_of(d.begin(), d.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  if (whole.empty() || !all_digits(whole) || !all_digits(frac)) return std::nullopt;
  if (point != std::string_view::npos && frac.empty()) return std::nullopt;  // "3."
  if (whole.size() > 1 && whole.front() == '0') return std::nullopt;       // "007": a code
  if (whole.size() + frac.size() > size_t(kMostDigits)) return std::nullopt;
  ShownNumber n;
  n.value = std::strtod(std::string(s).c_str(), nullptr);
  if (percent) n.value /= 100;
  n.format = "0";
  if (!frac.empty()) n.format += "." + std::string(frac.size(), '0');
  if (percent) n.format += '%';
  return n;
}

// "%2.1e" with at least three exponent digits, as every scale line shows it.
std::string scale_text(double x) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%2.1e", x);
  std::string s = buf;
  const size_t e = s.find_first_of("eE");
  if (e == std::string::npos || e + 2 > s.size()) return s;
  const size_t digits = s.size() - (e + 2);
  if (digits < 3) s.insert(e + 2, 3 - digits, '0');
  return s;
}

// --- The sheet ------------------------------------------------------------

class SheetWriter {
 public:
  explicit SheetWriter(lxw_workbook* wb) : wb_(wb) {
    ws_ = workbook_add_worksheet(wb, "VSheet1");
    worksheet_set_zoom(ws_, 85);
    worksheet_set_paper(ws_, 9);  // A4
    worksheet_set_margins(ws_, 0.75, 0.75, 1.0, 1.0);
  }

  void add(const OutputEvent& e) {
    if (const auto* run = std::get_if<TextRun>(&e)) text(run->format, run->text);
    else if (const auto* block = std::get_if<TableBlock>(&e)) table(block->table);
  }

  // Ends the last line and sets the column widths. False with `error` set
  // when the output did not fit on the sheet.
  bool finish(std::string* error) {
    end_partial_line();
    if (widest_ > 1 && ok_)
      worksheet_set_column(ws_, 1, lxw_col_t(std::min(widest_, LXW_COL_MAX) - 1), kColumnWidth, nullptr);
    if (!ok_ && error) *error = failure_;
    return ok_;
  }

 private:
  // --- Text ----------------------------------------------------------------

  void text(TextFormat f, std::string_view run) {
    if (const int level = heading_level(f)) {
      end_partial_line();
      put_text(row_, 0, run, heading_look(level));
      next_row(1);
      // The heading's own line end follows as a plain run.
      newline_pending_ = true;
      return;
    }
    if (newline_pending_ && run.starts_with('\n')) run.remove_prefix(1);
    newline_pending_ = false;
    for (size_t end; (end = run.find('\n')) != std::string_view::npos; run.remove_prefix(end + 1)) {
      line_.append(run.substr(0, end));
      if (!line_.empty()) put_text(row_, 0, line_, Look{});
      line_.clear();
      next_row(1);
    }
    line_.append(run);
  }

  // Text not ended by a line end goes on its own row before a heading or a
  // table (the workbook starts those on a new row).
  void end_partial_line() {
    newline_pending_ = false;
    if (line_.empty()) return;
    put_text(row_, 0, line_, Look{});
    line_.clear();
    next_row(1);
  }

  // --- Tables ----------------------------------------------------------------

  void table(const DocTable& t) {
    end_partial_line();
    if (t.rows() == 0 || t.grid_cols() == 0) return;
    if (t.grid_cols() > LXW_COL_MAX) {
      fail("a table of " + std::to_string(t.grid_cols()) + " columns does not fit on a sheet (" +
           std::to_string(LXW_COL_MAX) + " at most)");
      return;
    }
    widest_ = std::max(widest_, t.grid_cols());
    if (t.numeric()) numeric_table(t);
    else string_table(t);
  }

  void numeric_table(const DocTable& t) {
    double scale = 1;
    if (auto e = t.largest_exponent(); e && std::abs(*e) >= kScaleExponent) {
      scale = std::pow(10.0, *e);
      put_text(row_, 0, scale_text(scale) + " *", Look{});
      next_row(1);
    }
    const int h = t.head_rows(), v = t.head_cols(), C = t.cols(), R = t.rows();
    const auto heads = t.col_label_spans();
    const auto rows = t.row_label_spans();
    const Look head = heading_look(kTableHeading, LXW_ALIGN_CENTER);
    if (h > 0 && v > 0) put_text(row_, 0, "", head, LabelSpan{h, v});
    for (int k = 0; k < h; ++k)
      for (int c = 0; c < C; ++c) {
        const LabelSpan& span = heads[size_t(k) + size_t(c) * size_t(h)];
        if (!span.covered) put_text(row_ + k, v + c, label(t.col_label(k, c), span), head, span);
      }
    const Look value = number_look(kNumericFormat);
    for (int i = 0; i < R; ++i) {
      const long long r = row_ + h + i;
      for (int j = 0; j < v; ++j) {
        const LabelSpan& span = rows[size_t(i) + size_t(j) * size_t(R)];
        if (!span.covered) put_text(r, j, label(t.row_label(i, j), span), head, span);
      }
      for (int c = 0; c < C; ++c) {
        const double x = t.number(i, c);
        if (std::isnan(x)) put_text(r, v + c, "NaN", Look{});
        else if (std::isinf(x)) put_text(r, v + c, x > 0 ? "Inf" : "-Inf", Look{});
        else put_number(r, v + c, rounded(x / scale), value);
      }
    }
    next_row(h + R);
  }

  static double rounded(double y) {
    const double r = std::round(y * kDecimals) / kDecimals;
    return std::isfinite(r) ? r + 0.0 : y;
  }

  void string_table(const DocTable& t) {
    const int h = t.head_rows(), v = t.head_cols(), C = t.cols(), R = t.rows();
    const auto heads = t.col_label_spans();
    const auto rows = t.row_label_spans();
    const auto cells = t.body_spans();
    for (int k = 0; k < h; ++k) {
      for (int j = 0; j < v; ++j) put_text(row_ + k, j, "", cell_look(t, k, j, LabelSpan{}));
      for (int c = 0; c < C; ++c) {
        const LabelSpan& span = heads[size_t(k) + size_t(c) * size_t(h)];
        if (!span.covered)
          put_text(row_ + k, v + c, label(t.col_label(k, c), span), cell_look(t, k, v + c, span), span);
      }
    }
    for (int i = 0; i < R; ++i) {
      const int g = h + i;  // grid row
      for (int j = 0; j < v; ++j) {
        const LabelSpan& span = rows[size_t(i) + size_t(j) * size_t(R)];
        if (span.covered) continue;
        Look look = cell_look(t, g, j, span);
        look.align = LXW_ALIGN_LEFT;
        put_text(row_ + g, j, label(t.row_label(i, j), span), look, span);
      }
      for (int c = 0; c < C; ++c) {
        const LabelSpan& span = cells[size_t(i) + size_t(c) * size_t(R)];
        if (span.covered) continue;
        const std::string_view text = t.cell_text(i, c);
        Look look = cell_look(t, g, v + c, span);
        if (span.orphan || text == kMergeUp) {
          put_text(row_ + g, v + c, "", look, span);
        } else if (auto n = shown_number(text)) {
          look.number = n->format;
          put_number(row_ + g, v + c, n->value, look, span);
        } else {
          put_text(row_ + g, v + c, text, look, span);
        }
      }
    }
    next_row(h + R + 1);  // the workbook's table ends with an empty row
  }

  static std::string_view label(std::string_view l, const LabelSpan& span) {
    return span.orphan ? std::string_view() : l;
  }

  // Border code of a grid line, as the workbook's cell classes give it: the
  // outer edges are thick when the part is given; without the part every
  // line is thin; a value outside the model's codes is thin.
  static int line_code(std::optional<int> value, bool given, bool edge) {
    if (!given) return kBorderThin;
    if (edge) return kBorderThick;
    return value && *value >= 0 && *value < kBorderCodes ? *value : kBorderThin;
  }

  // The look of the cell of a string table at grid (r, c) spanning `span`,
  // whose far borders are those of the span's last row and column.
  static Look cell_look(const DocTable& t, int r, int c, const LabelSpan& span) {
    const int last_r = r + span.row_span - 1, last_c = c + span.col_span - 1;
    const bool hb = t.has_h_borders(), vb = t.has_v_borders();
    Look k;
    k.align = LXW_ALIGN_CENTER;
    k.top = line_code(t.h_border(r), hb, r == 0);
    k.bottom = line_code(t.h_border(last_r + 1), hb, last_r == t.grid_rows() - 1);
    k.left = line_code(t.v_border(c), vb, c == 0);
    k.right = line_code(t.v_border(last_c + 1), vb, last_c == t.grid_cols() - 1);
    k.back = rgb(t.back_colour(r, c).value_or(kWhite));
    k.text = rgb(t.text_colour(r, c).value_or(kBlack));
    return k;
  }

  // --- Cells -------------------------------------------------------------------

  lxw_format* format(const Look& look) {
    auto [it, added] = formats_.try_emplace(look, nullptr);
    if (!added) return it->second;
    lxw_format* f = workbook_add_format(wb_);
    format_set_font_name(f, kFont);
    format_set_font_size(f, kFontSize);
    switch (look.heading) {
      case 1: format_set_font_size(f, 16); break;
      case 2: format_set_font_size(f, 14); break;
      case 3:
      case 4: format_set_font_size(f, 11); break;
      default: break;
    }
    if (look.heading >= 1 && look.heading <= 4) format_set_font_color(f, kHeadingColour);
    if (look.heading == 5) format_set_font_color(f, kBaseColour);
    if ((look.heading >= 1 && look.heading <= 4) || look.heading == kTableHeading) format_set_bold(f);
    if (look.align) {
      format_set_align(f, std::uint8_t(look.align));
      // A heading merged over several rows stands in their middle, as in
      // the Excel-HTML workbook.
      format_set_align(f, LXW_ALIGN_VERTICAL_CENTER);
    }
    const struct {
      int code;
      void (*style)(lxw_format*, std::uint8_t);
      void (*colour)(lxw_format*, lxw_color_t);
    } sides[] = {{look.top, format_set_top, format_set_top_color},
                 {look.bottom, format_set_bottom, format_set_bottom_color},
                 {look.left, format_set_left, format_set_left_color},
                 {look.right, format_set_right, format_set_right_color}};
    for (const auto& side : sides) {
      if (side.code < 0 || side.code == kBorderNone) continue;
      side.style(f, border_style(side.code));
      side.colour(f, kBorderColour);
    }
    if (look.back >= 0) {
      format_set_pattern(f, LXW_PATTERN_SOLID);
      format_set_bg_color(f, lxw_color_t(look.back));
    }
    // libxlsxwriter takes black (0) to mean "automatic": a table's black
    // text is the automatic colour, which is black.
    if (look.text > 0) format_set_font_color(f, lxw_color_t(look.text));
    if (!look.number.empty()) format_set_num_format(f, look.number.c_str());
    it->second = f;
    return f;
  }

  // Whether (r, c) .. (r + rows - 1, c + cols - 1) is on the sheet.
  bool fits(long long r, int c, const LabelSpan& span) {
    if (!ok_) return false;
    if (r + span.row_span > LXW_ROW_MAX) {
      fail("the output needs more rows than a sheet has (" + std::to_string(LXW_ROW_MAX) + ")");
      return false;
    }
    return c + span.col_span <= LXW_COL_MAX;
  }

  bool merge(long long r, int c, const LabelSpan& span, lxw_format* f) {
    if (span.row_span <= 1 && span.col_span <= 1) return true;
    return check(worksheet_merge_range(ws_, lxw_row_t(r), lxw_col_t(c), lxw_row_t(r + span.row_span - 1),
                                       lxw_col_t(c + span.col_span - 1), "", f));
  }

  void put_text(long long r, int c, std::string_view text, const Look& look, LabelSpan span = {}) {
    if (!fits(r, c, span)) return;
    lxw_format* f = format(look);
    if (!merge(r, c, span, f)) return;
    if (text.empty()) {
      // A plain empty cell needs no entry; a styled one keeps its look.
      if (look != Look{} && span.row_span == 1 && span.col_span == 1)
        check(worksheet_write_blank(ws_, lxw_row_t(r), lxw_col_t(c), f));
      return;
    }
    check(worksheet_write_string(ws_, lxw_row_t(r), lxw_col_t(c), xlsx_text(text).c_str(), f));
  }

  void put_number(long long r, int c, double x, const Look& look, LabelSpan span = {}) {
    if (!fits(r, c, span)) return;
    lxw_format* f = format(look);
    if (merge(r, c, span, f)) check(worksheet_write_number(ws_, lxw_row_t(r), lxw_col_t(c), x, f));
  }

  bool check(lxw_error e) {
    if (e == LXW_NO_ERROR) return true;
    fail(std::string("cannot write a cell: ") + lxw_strerror(e));
    return false;
  }

  void next_row(int n) { row_ += n; }

  void fail(std::string why) {
    if (!ok_) return;
    ok_ = false;
    failure_ = std::move(why);
  }

  lxw_workbook* wb_;
  lxw_worksheet* ws_ = nullptr;
  std::map<Look, lxw_format*> formats_;  // one format per look
  long long row_ = 0;                    // the next free row
  std::string line_;                     // text of the line not ended yet
  bool newline_pending_ = false;         // a heading's line end is still to come
  int widest_ = 0;                       // most grid columns of any table
  bool ok_ = true;
  std::string failure_;                  // why the output did not fit
};

}  // namespace

bool write_xlsx(const std::string& path, const std::vector<OutputEvent>& events, std::string* error,
                std::string_view installation_id) {
  XlsxFile file;
  if (lxw_workbook* wb = file.workbook()) {
    if (!installation_id.empty())
      workbook_set_custom_property_string(wb, "xp", xlsx_text(installation_id).c_str());
    SheetWriter sheet(wb);
    for (const OutputEvent& e : events) sheet.add(e);
    if (!sheet.finish(error)) return false;
  }
  return file.save(path, error);
}

}  // namespace vop
