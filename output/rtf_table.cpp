// Written top-down: the fragment walks the grid row by row; each row is
// its cell definitions (borders, shading, merges, right edges) followed by
// its texts.
#include "output/rtf_table.h"

#include <cstdarg>
#include <cstdio>

#include "output/rtf_document.h"
#include "document/doc_table.h"

namespace vop {

namespace {

constexpr int kColumnTwips = 500;  // every grid column has this width

constexpr const char* kRowOpen =
    "{\\trowd\\trqc\\trftsWidth1\\trautofit1\\trpaddl108\\trpaddr108"
    "\\trpaddfl3\\trpaddft3\\trpaddfb3\\trpaddfr3\n\n";
// The last heading row is at least 1000 twips high: room for vertical text.
constexpr const char* kLastHeadingRowHeight = "\\trrh1000\\trpaddb108\n";

// Per border code: the rule's control words; the colour number follows.
struct BorderStyle {
  const char* rule;  // after "\clbrdr<side>"
  bool grey;         // grey (thick) rather than light grey
};
constexpr BorderStyle kBorderStyles[kBorderCodes] = {
    {nullptr, false},               // 0: no border, an empty line
    {"\\brdrs\\brdrw10", false},    // 1: single
    {"\\brdrs\\brdrw15", true},     // 2: single, thick
    {"\\brdrdb\\brdrw10", false},   // 3: double
};

void appendf(std::string& s, const char* fmt, ...) __attribute__((format(printf, 2, 3)));
void appendf(std::string& s, const char* fmt, ...) {
  char small[128];
  va_list ap;
  va_start(ap, fmt);
  va_list again;
  va_copy(again, ap);
  const int n = std::vsnprintf(small, sizeof small, fmt, ap);
  va_end(ap);
  if (n < 0) {
    va_end(again);
    return;
  }
  if (size_t(n) < sizeof small) {
    s.append(small, size_t(n));
  } else {
    const size_t at = s.size();
    s.resize(at + size_t(n) + 1);
    std::vsnprintf(s.data() + at, size_t(n) + 1, fmt, again);
    s.resize(at + size_t(n));
  }
  va_end(again);
}

class RtfTableWriter {
 public:
  RtfTableWriter(const DocTable& t, RtfColourTable& colours)
      : t_(t), colours_(colours),
        grey_(colours.lookup(kRtfGrey)),
        light_grey_(colours.lookup(kRtfLightGrey)) {}

  std::string write() {
    if (t_.rows() == 0) return {};
    for (int k = 0; k < t_.head_rows(); ++k) heading_row(k);
    for (int i = 0; i < t_.rows(); ++i) data_row(i);
    return std::move(out_);
  }

 private:
  // --- Borders ---------------------------------------------------------------
  void border(char side, int code) {
    if (code < 0 || code >= kBorderCodes) return;  // no code of the model: nothing
    const BorderStyle& b = kBorderStyles[code];
    if (!b.rule) {
      out_ += '\n';
      return;
    }
    appendf(out_, "\\clbrdr%c%s\\brdrcf%d\n", side, b.rule, b.grey ? grey_ : light_grey_);
  }
  // "\clvertalc" and the four borders of the cell at grid row r spanning
  // grid columns c .. last.
  void cell_borders(int r, int c, int last) {
    out_ += "\\clvertalc\n";
    border('t', t_.h_border_code(r));
    border('b', t_.h_border_code(r + 1));
    border('l', t_.v_border_code(c));
    border('r', t_.v_border_code(last + 1));
  }
  void shading(int r, int c) {
    if (auto bg = t_.back_colour(r, c)) {
      const int n = colours_.lookup(*bg);
      appendf(out_, "\\clcbpat%d\\clcbpatraw%d", n, n);
    }
  }
  static int right_edge(int last_col) { return (last_col + 1) * kColumnTwips; }

  // A cell without merges: the corner, and data cells.
  void plain_cell(int r, int c) {
    cell_borders(r, c, c);
    out_ += "\\cltxlrtb\\clftsWidth3";
    shading(r, c);
    appendf(out_, "\\cellx%d\n\n", right_edge(c));
  }
  // A heading cell spanning grid columns c .. last; `starts_merge` when the
  // label below continues it.
  void heading_cell(int r, int c, int last, std::string_view label, bool starts_merge,
                    bool vertical_text) {
    cell_borders(r, c, last);
    out_ += vertical_text ? "\\cltxbtlr" : "\\cltxlrtb";
    shading(r, c);
    if (label == kMergeUp) out_ += "\\clvmrg";
    else if (starts_merge) out_ += "\\clvmgf";
    appendf(out_, "\\clftsWidth3\\cellx%d\n\n", right_edge(last));
  }
  // The last column of the run of "~" labels that widens the heading at
  // index `first` (of `count`).
  template <class LabelFn>
  static int merged_run_end(int first, int count, LabelFn label) {
    int last = first;
    while (last + 1 < count && label(last + 1) == kMergeLeft) ++last;
    return last;
  }

  // --- Texts ---------------------------------------------------------------
  void text_cell(int r, int c, std::string_view text) {
    if (auto fg = t_.text_colour(r, c)) {
      appendf(out_, "{\\cf%d ", colours_.lookup(*fg));
      out_ += text;
      out_ += "\\cell}";
    } else {
      out_ += '{';
      out_ += text;
      out_ += "\\cell}";
    }
  }
  void number_cell(int r, int c, double v) {
    if (auto fg = t_.text_colour(r, c)) appendf(out_, "{\\cf%d %0.2f\\cell}", colours_.lookup(*fg), v);
    else appendf(out_, "{%0.2f\\cell}", v);
  }
  // Leading "#" marks become zeros in the background colour: invisible
  // indentation by digit widths.
  void string_cell(int r, int c, std::string_view text) {
    if (text == kMergeUp || text == kMergeLeft) {
      out_ += "\\cell";
      return;
    }
    const size_t marks = text.find_first_not_of('#') == std::string_view::npos
                             ? text.size()
                             : text.find_first_not_of('#');
    if (marks > 0) {
      appendf(out_, "{\\cf%d ", colours_.lookup(t_.back_colour(r, c).value_or(kWhite)));
      out_.append(marks, '0');
      out_ += '}';
    }
    text_cell(r, c, text.substr(marks));
  }

  // --- Rows ----------------------------------------------------------------
  void heading_row(int k) {
    const int v = t_.head_cols(), C = t_.cols(), h = t_.head_rows();
    const bool last_row = k == h - 1;
    auto label = [&](int c) { return t_.col_label(k, c); };

    out_ += kRowOpen;
    if (last_row) out_ += kLastHeadingRowHeight;
    for (int j = 0; j < v; ++j) plain_cell(k, j);
    for (int c = 0; c < C;) {
      const int last = merged_run_end(c, C, label);
      const bool starts_merge = k + 1 < h && t_.col_label(k + 1, c) == kMergeUp;
      heading_cell(k, v + c, v + last, label(c), starts_merge, last_row);
      c = last + 1;
    }

    out_ += "\\intbl{\\s0\\f0\\fs16";
    out_ += last_row ? "\\ql" : "\\qc";
    if (k == 0) out_ += "\\b";
    out_ += "\n{";
    for (int j = 0; j < v; ++j) out_ += "\\cell";
    for (int c = 0; c < C;) {
      const int last = merged_run_end(c, C, label);
      const std::string_view l = label(c);
      if (l.empty() || l == kMergeUp || l == kMergeLeft) {
        out_ += "\\cell";
      } else if (auto fg = t_.text_colour(k, v + c)) {
        appendf(out_, "{\\cf%d ", colours_.lookup(*fg));
        out_ += l;
        out_ += "\\cell}";
      } else {
        out_ += ' ';
        out_ += l;
        out_ += "\\cell";
      }
      c = last + 1;
    }
    out_ += "}}\\row}\n\n";
  }

  void data_row(int i) {
    const int v = t_.head_cols(), C = t_.cols();
    const int r = t_.head_rows() + i;
    auto label = [&](int j) { return t_.row_label(i, j); };

    out_ += kRowOpen;
    for (int j = 0; j < v;) {
      const int last = merged_run_end(j, v, label);
      const bool starts_merge = i + 1 < t_.rows() && t_.row_label(i + 1, j) == kMergeUp;
      heading_cell(r, j, last, label(j), starts_merge, false);
      j = last + 1;
    }
    for (int c = 0; c < C; ++c) plain_cell(r, v + c);

    out_ += "\\intbl{\\s0\\qc\\f0\\fs16\n";
    for (int j = 0; j < v;) {
      const int last = merged_run_end(j, v, label);
      if (auto fg = t_.text_colour(r, j)) appendf(out_, "{\\ql\\cf%d ", colours_.lookup(*fg));
      else out_ += "{\\ql ";
      out_ += label(j);
      out_ += "\\cell}";
      j = last + 1;
    }
    for (int c = 0; c < C; ++c) {
      if (t_.numeric()) number_cell(r, v + c, t_.number(i, c));
      else string_cell(r, v + c, t_.cell_text(i, c));
    }
    out_ += "}\\row}\n\n";
  }

  const DocTable& t_;
  RtfColourTable& colours_;
  const int grey_;        // RTF number of the thick border colour
  const int light_grey_;  // RTF number of the other border colours
  std::string out_;       // the fragment so far
};

}  // namespace

std::string RtfTableFragment(const DocTable& t, RtfColourTable& colours) {
  return RtfTableWriter(t, colours).write();
}

}  // namespace vop
