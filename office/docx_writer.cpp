// The document part is built as one string, top-down in event order; the
// tables are measured first so that each gets a grid that fits the page.
#include "office/docx_writer.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "core/save_file.h"
#include "document/text_encoding.h"
#include "office/chart_part.h"
#include "office/package.h"

namespace vop {

namespace {

// A4 landscape less its 680-twip margins, as the RTF document has it.
constexpr int kPageWidth = 16840, kPageHeight = 11907, kMargin = 680;
constexpr int kTextWidth = kPageWidth - 2 * kMargin;  // 15480
constexpr int kPairCellWidth = kTextWidth / 2;      // 7740: each chart of a pair
constexpr int kFixedColumnWidth = 500;              // the grid of a table left unfitted
constexpr int kMinColumnWidth = 300;
constexpr int kCellPadding = 2 * 108 + 40;          // cell margins and a little air
constexpr int kVerticalColumnWidth = 160 + kCellPadding;  // one 8-pt line turned upright
constexpr int kLastHeadingRowHeight = 1000;         // at least: room for upright text
constexpr double kEmuPerPoint = 12700;

// Arial's advance widths in 1/1000 em for ' ' .. '~'; other characters
// count as a digit.
constexpr unsigned short kArialWidths[95] = {
    278, 278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333, 278, 278,  // ' ' .. '/'
    556, 556, 556, 556, 556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556,  // '0' .. '?'
    1015, 667, 667, 722, 722, 667, 611, 778, 722, 278, 500, 667, 556, 833, 722, 778, // '@' .. 'O'
    667, 778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 278, 278, 278, 469, 556,  // 'P' .. '_'
    333, 556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222, 833, 556, 556,  // '`' .. 'o'
    556, 556, 333, 500, 278, 556, 500, 722, 500, 500, 500, 334, 260, 334, 584};      // 'p' .. '~'

// Width in twips of `utf8` in the 8-pt table font (1/1000 em is 0.16 twips).
int text_twips(std::string_view utf8, bool bold) {
  long units = 0;
  for (const char ch : utf8) {
    const unsigned char b = static_cast<unsigned char>(ch);
    if (b >= 0x80 && b < 0xC0) continue;  // inside a character
    units += b >= 32 && b <= 126 ? kArialWidths[b - 32] : 556;
  }
  return int(std::lround(double(units) * 0.16 * (bold ? 1.1 : 1.0)));
}

std::string hex_colour(Colour c) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02X%02X%02X", colour_red(c), colour_green(c), colour_blue(c));
  return buf;
}

// A run of text: tabs as w:tab, the rest in w:t.
void append_run(std::string& out, std::string_view text, std::string_view rpr) {
  if (text.empty()) return;
  out += "<w:r>";
  if (!rpr.empty()) {
    out += "<w:rPr>";
    out += rpr;
    out += "</w:rPr>";
  }
  size_t at = 0;
  while (at < text.size()) {
    const size_t tab = text.find('\t', at);
    const std::string_view piece = text.substr(at, tab == std::string_view::npos ? std::string_view::npos : tab - at);
    if (!piece.empty()) {
      out += "<w:t xml:space=\"preserve\">";
      out += xml_escape(piece);
      out += "</w:t>";
    }
    if (tab == std::string_view::npos) break;
    out += "<w:tab/>";
    at = tab + 1;
  }
  out += "</w:r>";
}

const char* paragraph_style(TextFormat f) {
  switch (f) {
    case TextFormat::Heading1: return "Heading1";
    case TextFormat::Heading2: return "Heading2";
    case TextFormat::Heading3: return "Heading3";
    case TextFormat::Heading4: return "Heading4";
    case TextFormat::Heading5: return "Baza";
    default: return nullptr;
  }
}

// A chart's side in points: the default for nothing sensible, and never
// larger than the page.
double chart_side(double points, double fallback, double most) {
  if (!std::isfinite(points) || points <= 0) return fallback;
  return std::min(points, most);
}

// --- Tables ------------------------------------------------------------------

// One block of labels or body cells with where each covered cell's
// covering cell is.
struct Block {
  int rows = 0, cols = 0;
  std::vector<LabelSpan> spans;  // r + c * rows
  std::vector<int> origin;       // index of the covering cell; itself when not covered
  void build(int r, int c, std::vector<LabelSpan> s) {
    rows = r;
    cols = c;
    spans = std::move(s);
    origin.resize(spans.size());
    for (size_t i = 0; i < origin.size(); ++i) origin[i] = int(i);
    for (int cc = 0; cc < cols; ++cc)
      for (int rr = 0; rr < rows; ++rr) {
        const LabelSpan& sp = at(rr, cc);
        if (sp.covered) continue;
        for (int dr = 0; dr < sp.row_span; ++dr)
          for (int dc = 0; dc < sp.col_span; ++dc)
            if ((dr || dc) && rr + dr < rows && cc + dc < cols)
              origin[size_t(rr + dr) + size_t(cc + dc) * size_t(rows)] = rr + cc * rows;
      }
  }
  const LabelSpan& at(int r, int c) const { return spans[size_t(r) + size_t(c) * size_t(rows)]; }
};

// A grid cell as the table shows it.
struct GridCell {
  enum Kind { Skip, Start, Continue } kind = Start;  // Continue: under a vertical merge
  int col_span = 1;
  int row_span = 1;
  std::string text;       // as shown (UTF-8)
  std::string zeros;      // leading indentation in the background colour
  bool left = false;      // left-aligned (row headings, the last heading row)
  bool bold = false;      // the first heading row
  bool upright = false;   // text bottom to top (the last heading row)
};

class TableWriter {
 public:
  TableWriter(const DocTable& t) : t_(t) {
    h_ = t.head_rows();
    v_ = t.head_cols();
    R_ = t.rows();
    C_ = t.cols();
    heads_.build(h_, C_, t.col_label_spans());
    labels_.build(R_, v_, t.row_label_spans());
    body_.build(R_, C_, t.body_spans());
  }

  void write(std::string& out) {
    const int rows = t_.grid_rows(), cols = t_.grid_cols();
    if (R_ == 0 || cols == 0) return;
    std::vector<std::vector<GridCell>> grid(static_cast<size_t>(rows));
    for (int r = 0; r < rows; ++r) {
      grid[size_t(r)].resize(size_t(cols));
      for (int c = 0; c < cols; ++c) grid[size_t(r)][size_t(c)] = cell(r, c);
    }
    const std::vector<int> widths = fit(grid);
    int upright_height = kLastHeadingRowHeight;
    if (h_ > 0)
      for (const GridCell& g : grid[size_t(h_ - 1)])
        if (g.upright && g.kind == GridCell::Start)
          upright_height = std::max(upright_height, text_twips(g.text, g.bold) + kCellPadding);

    int total = 0;
    for (int w : widths) total += w;
    out += "<w:tbl><w:tblPr><w:tblStyle w:val=\"VopTable\"/><w:tblW w:w=\"";
    out += std::to_string(total);
    out += "\" w:type=\"dxa\"/><w:jc w:val=\"center\"/><w:tblLayout w:type=\"fixed\"/>"
           "<w:tblCellMar><w:top w:w=\"3\" w:type=\"dxa\"/><w:left w:w=\"108\" w:type=\"dxa\"/>"
           "<w:bottom w:w=\"3\" w:type=\"dxa\"/><w:right w:w=\"108\" w:type=\"dxa\"/></w:tblCellMar>"
           "<w:tblLook w:val=\"0000\"/></w:tblPr><w:tblGrid>";
    for (int w : widths) out += "<w:gridCol w:w=\"" + std::to_string(w) + "\"/>";
    out += "</w:tblGrid>";
    for (int r = 0; r < rows; ++r) {
      // A table stays on one page when it fits: no row breaks, and every
      // row keeps with the next.
      out += "<w:tr><w:trPr><w:cantSplit/>";
      if (r < h_) out += "<w:tblHeader/>";
      if (r == h_ - 1) out += "<w:trHeight w:val=\"" + std::to_string(upright_height) + "\" w:hRule=\"atLeast\"/>";
      out += "<w:jc w:val=\"center\"/></w:trPr>";
      for (int c = 0; c < cols;) {
        const GridCell& g = grid[size_t(r)][size_t(c)];
        if (g.kind == GridCell::Skip) {
          ++c;
          continue;
        }
        int width = 0;
        for (int k = 0; k < g.col_span && c + k < cols; ++k) width += widths[size_t(c + k)];
        write_cell(out, r, c, g, width, r + 1 < rows);
        c += std::max(1, g.col_span);
      }
      out += "</w:tr>";
    }
    out += "</w:tbl>";
  }

 private:
  static void border(std::string& out, const char* side, int code) {
    out += "<w:";
    out += side;
    switch (code) {
      case kBorderThin: out += " w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"C0C0C0\"/>"; break;
      case kBorderThick: out += " w:val=\"single\" w:sz=\"6\" w:space=\"0\" w:color=\"808080\"/>"; break;
      case kBorderDouble: out += " w:val=\"double\" w:sz=\"4\" w:space=\"0\" w:color=\"C0C0C0\"/>"; break;
      default: out += " w:val=\"nil\"/>"; break;
    }
  }

  // The cell at grid (r, c) from the block it belongs to.
  GridCell from_block(const Block& b, int r, int c) const {
    GridCell g;
    const LabelSpan& s = b.at(r, c);
    const int o = b.origin[size_t(r) + size_t(c) * size_t(b.rows)];
    if (s.covered) {
      const int orow = o % b.rows, ocol = o / b.rows;
      if (ocol == c && orow < r) {
        g.kind = GridCell::Continue;
        g.col_span = b.at(orow, ocol).col_span;
      } else {
        g.kind = GridCell::Skip;
      }
      return g;
    }
    g.col_span = s.col_span;
    g.row_span = s.row_span;
    return g;
  }

  static bool mark(std::string_view s) { return s == kMergeUp || s == kMergeLeft; }

  GridCell cell(int r, int c) const {
    if (r < h_ && c < v_) return GridCell{};  // the corner
    if (r < h_) {
      GridCell g = from_block(heads_, r, c - v_);
      const std::string_view l = t_.col_label(r, c - v_);
      if (g.kind == GridCell::Start && !mark(l)) g.text = clean_text(l);
      g.left = r == h_ - 1;
      g.upright = r == h_ - 1;
      g.bold = r == 0;
      return g;
    }
    const int i = r - h_;
    if (c < v_) {
      GridCell g = from_block(labels_, i, c);
      const std::string_view l = t_.row_label(i, c);
      if (g.kind == GridCell::Start && !mark(l)) g.text = clean_text(l);
      g.left = true;
      return g;
    }
    GridCell g = from_block(body_, i, c - v_);
    if (g.kind != GridCell::Start) return g;
    if (t_.numeric()) {
      char buf[64];
      std::snprintf(buf, sizeof buf, "%0.2f", t_.number(i, c - v_));
      g.text = buf;
    } else {
      const std::string_view s = t_.cell_text(i, c - v_);
      if (!mark(s)) {
        const size_t first = s.find_first_not_of('#');
        const size_t marks = first == std::string_view::npos ? s.size() : first;
        g.zeros.assign(marks, '0');
        g.text = clean_text(s.substr(marks));
      }
    }
    return g;
  }
  static std::string clean_text(std::string_view s) { return clean_utf8(s); }

  // Column widths: each column as wide as its widest single cell, spanning
  // cells widening the columns under them, the whole scaled into the page.
  std::vector<int> fit(const std::vector<std::vector<GridCell>>& grid) const {
    const int cols = t_.grid_cols();
    std::vector<int> w(size_t(cols), kMinColumnWidth);
    auto need = [](const GridCell& g) {
      if (g.upright) return kVerticalColumnWidth;
      return text_twips(g.zeros + g.text, g.bold) + kCellPadding;
    };
    for (const auto& row : grid)
      for (int c = 0; c < cols; ++c) {
        const GridCell& g = row[size_t(c)];
        if (g.kind == GridCell::Start && g.col_span == 1) w[size_t(c)] = std::max(w[size_t(c)], need(g));
      }
    for (const auto& row : grid)
      for (int c = 0; c < cols; ++c) {
        const GridCell& g = row[size_t(c)];
        if (g.kind != GridCell::Start || g.col_span < 2) continue;
        const int span = std::min(g.col_span, cols - c);
        int have = 0;
        for (int k = 0; k < span; ++k) have += w[size_t(c + k)];
        const int more = need(g) - have;
        if (more > 0)
          for (int k = 0; k < span; ++k) w[size_t(c + k)] += (more + span - 1) / span;
      }
    long total = 0;
    for (int x : w) total += x;
    if (total > kTextWidth) {
      // Narrow columns keep their width; the wide ones give up the rest.
      const double scale = double(kTextWidth) / double(total);
      for (int& x : w) x = std::max(kMinColumnWidth, int(double(x) * scale));
    }
    return w;
  }

  void write_cell(std::string& out, int r, int c, const GridCell& g, int width, bool keep_next) {
    out += "<w:tc><w:tcPr><w:tcW w:w=\"" + std::to_string(width) + "\" w:type=\"dxa\"/>";
    if (g.col_span > 1) out += "<w:gridSpan w:val=\"" + std::to_string(g.col_span) + "\"/>";
    if (g.kind == GridCell::Continue) out += "<w:vMerge/>";
    else if (g.row_span > 1) out += "<w:vMerge w:val=\"restart\"/>";
    out += "<w:tcBorders>";
    border(out, "top", t_.h_border_code(r));
    border(out, "left", t_.v_border_code(c));
    border(out, "bottom", t_.h_border_code(r + (g.kind == GridCell::Continue ? 1 : g.row_span)));
    border(out, "right", t_.v_border_code(c + g.col_span));
    out += "</w:tcBorders>";
    const std::optional<Colour> back = t_.back_colour(r, c);
    if (back) out += "<w:shd w:val=\"clear\" w:color=\"auto\" w:fill=\"" + hex_colour(*back) + "\"/>";
    if (g.upright) out += "<w:textDirection w:val=\"btLr\"/>";
    out += "<w:vAlign w:val=\"center\"/></w:tcPr><w:p><w:pPr><w:pStyle w:val=\"TableText\"/>";
    if (keep_next) out += "<w:keepNext/>";
    out += g.left ? "<w:jc w:val=\"left\"/>" : "<w:jc w:val=\"center\"/>";
    out += "</w:pPr>";
    if (g.kind == GridCell::Start) {
      std::string rpr = g.bold ? "<w:b/>" : "";
      if (const std::optional<Colour> fg = t_.text_colour(r, c)) rpr += "<w:color w:val=\"" + hex_colour(*fg) + "\"/>";
      if (!g.zeros.empty())
        append_run(out, g.zeros, (g.bold ? "<w:b/>" : "") + std::string("<w:color w:val=\"") +
                                     hex_colour(back.value_or(kWhite)) + "\"/>");
      append_run(out, g.text, rpr);
    }
    out += "</w:p></w:tc>";
  }

  const DocTable& t_;
  int h_ = 0, v_ = 0, R_ = 0, C_ = 0;
  Block heads_, labels_, body_;
};

// --- The document ------------------------------------------------------------

class DocumentBuilder {
 public:
  DocumentBuilder(OpcPackage& package, int language) : package_(package), language_(language) {}

  void add(const OutputEvent& e) {
    if (const auto* t = std::get_if<TextRun>(&e)) return text(*t);
    if (const auto* t = std::get_if<TableBlock>(&e)) {
      flush_pending();
      before_table();
      TableWriter(t->table).write(body_);
      last_table_ = true;
      return;
    }
    if (const auto* c = std::get_if<ChartBlock>(&e)) return chart(c->chart);
  }

  std::string finish() {
    flush_pending();
    close_pair();
    if (last_table_ || body_.empty()) body_ += "<w:p/>";
    std::string doc =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\""
        " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\""
        " xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\""
        " xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\""
        " xmlns:c=\"http://schemas.openxmlformats.org/drawingml/2006/chart\"><w:body>";
    doc += body_;
    doc += "<w:sectPr><w:pgSz w:w=\"" + std::to_string(kPageWidth) + "\" w:h=\"" + std::to_string(kPageHeight) +
           "\" w:orient=\"landscape\"/><w:pgMar w:top=\"680\" w:right=\"680\" w:bottom=\"680\" w:left=\"680\""
           " w:header=\"709\" w:footer=\"709\" w:gutter=\"0\"/></w:sectPr></w:body></w:document>";
    return doc;
  }

 private:
  void text(const TextRun& t) {
    std::string_view rest = t.text;
    while (!rest.empty()) {
      const size_t nl = rest.find('\n');
      std::string_view piece = rest.substr(0, nl);
      if (!piece.empty() && piece.back() == '\r') piece.remove_suffix(1);
      if (!piece.empty()) {
        if (const char* style = paragraph_style(t.format)) {
          if (!style_) style_ = style;
          append_run(runs_, piece, "");
        } else if (t.format == TextFormat::ErrorCaption) {
          append_run(runs_, piece, "<w:rStyle w:val=\"ErrorCaption\"/>");
        } else if (t.format == TextFormat::NotWeightedNote) {
          append_run(runs_, piece, "<w:rStyle w:val=\"NotWeightedNote\"/>");
        } else {
          append_run(runs_, piece, "");
        }
        open_ = true;
      }
      if (nl == std::string_view::npos) break;
      end_paragraph();
      rest.remove_prefix(nl + 1);
    }
  }

  void end_paragraph() {
    body_ += "<w:p>";
    if (style_) {
      body_ += "<w:pPr><w:pStyle w:val=\"";
      body_ += style_;
      body_ += "\"/></w:pPr>";
    }
    body_ += runs_;
    body_ += "</w:p>";
    runs_.clear();
    style_ = nullptr;
    open_ = false;
    last_table_ = false;
  }
  void flush_pending() {
    if (open_) end_paragraph();
  }
  // Word joins two tables that touch: a paragraph keeps them apart.
  void before_table() {
    if (last_table_) body_ += "<w:p/>";
  }

  // Adds the chart's parts; the run that shows it.
  std::string drawing(const ChartRequest& chart) {
    const int n = ++charts_;
    const std::string name = "word/charts/chart" + std::to_string(n) + ".xml";
    ChartPart part = render_chart(chart, language_);
    if (!part.workbook.empty()) {
      const std::string book = "Microsoft_Excel_Worksheet" + std::to_string(n) + ".xlsx";
      package_.add_part("word/embeddings/" + book, std::move(part.workbook));
      package_.add_relationship(name, kRelPackage, "../embeddings/" + book, part.workbook_rel_id);
    }
    package_.add_part(name, std::move(part.chart_xml),
                      "application/vnd.openxmlformats-officedocument.drawingml.chart+xml");
    const std::string rid = package_.add_relationship("word/document.xml", kRelChart, "charts/chart" + std::to_string(n) + ".xml");
    const double most_w = (chart.placement == ChartPlacement::Single ? kTextWidth : kPairCellWidth - 216) / 20.0;
    const long long cx = std::llround(chart_side(chart.width, kChartWidth, most_w) * kEmuPerPoint);
    const long long cy = std::llround(chart_side(chart.height, kChartHeight, (kPageHeight - 2 * kMargin) / 20.0) * kEmuPerPoint);
    std::string s = "<w:r><w:drawing><wp:inline distT=\"0\" distB=\"0\" distL=\"0\" distR=\"0\"><wp:extent cx=\"";
    s += std::to_string(cx) + "\" cy=\"" + std::to_string(cy) + "\"/><wp:effectExtent l=\"0\" t=\"0\" r=\"0\" b=\"0\"/>";
    s += "<wp:docPr id=\"" + std::to_string(n) + "\" name=\"Chart " + std::to_string(n) + "\"/><wp:cNvGraphicFramePr/>";
    s += "<a:graphic><a:graphicData uri=\"http://schemas.openxmlformats.org/drawingml/2006/chart\">"
         "<c:chart r:id=\"" + rid + "\"/></a:graphicData></a:graphic></wp:inline></w:drawing></w:r>";
    return s;
  }
  static std::string centred(const std::string& run) {
    return "<w:p><w:pPr><w:jc w:val=\"center\"/></w:pPr>" + run + "</w:p>";
  }
  static std::string pair_cell(const std::string& content) {
    return "<w:tc><w:tcPr><w:tcW w:w=\"" + std::to_string(kPairCellWidth) +
           "\" w:type=\"dxa\"/><w:vAlign w:val=\"center\"/></w:tcPr>" + content;
  }

  void chart(const ChartRequest& chart) {
    flush_pending();
    switch (chart.placement) {
      case ChartPlacement::Single:
        close_pair();
        body_ += centred(drawing(chart));
        body_ += "<w:p/>";
        last_table_ = false;
        break;
      case ChartPlacement::PairLeft:
        close_pair();
        open_pair();
        body_ += pair_cell(centred(drawing(chart))) + "</w:tc>";
        body_ += pair_cell("");
        pair_slot_ = body_.size();
        body_ += "</w:tc></w:tr></w:tbl><w:p/>";
        break;
      case ChartPlacement::PairRight:
        if (pair_slot_ != std::string::npos) {
          body_.insert(pair_slot_, centred(drawing(chart)));
          pair_slot_ = std::string::npos;
          break;
        }
        // No left half open: the pair gets an empty left cell.
        open_pair();
        body_ += pair_cell("<w:p/>") + "</w:tc>" + pair_cell(centred(drawing(chart)));
        body_ += "</w:tc></w:tr></w:tbl><w:p/>";
        break;
    }
  }
  // The borderless one-row table of a pair, up to its first cell.
  void open_pair() {
    before_table();
    const std::string w = std::to_string(kPairCellWidth);
    body_ += "<w:tbl><w:tblPr><w:tblW w:w=\"" + std::to_string(2 * kPairCellWidth) +
             "\" w:type=\"dxa\"/><w:jc w:val=\"center\"/><w:tblBorders><w:top w:val=\"nil\"/>"
             "<w:left w:val=\"nil\"/><w:bottom w:val=\"nil\"/><w:right w:val=\"nil\"/>"
             "<w:insideH w:val=\"nil\"/><w:insideV w:val=\"nil\"/></w:tblBorders>"
             "<w:tblLayout w:type=\"fixed\"/><w:tblLook w:val=\"0000\"/></w:tblPr><w:tblGrid><w:gridCol w:w=\"" +
             w + "\"/><w:gridCol w:w=\"" + w + "\"/></w:tblGrid><w:tr>";
    last_table_ = false;
  }
  // A pair whose right half never came: its cell gets the paragraph a
  // table cell needs.
  void close_pair() {
    if (pair_slot_ == std::string::npos) return;
    body_.insert(pair_slot_, "<w:p/>");
    pair_slot_ = std::string::npos;
  }

  OpcPackage& package_;
  const int language_;
  std::string body_;          // the body's paragraphs and tables so far
  std::string runs_;          // of the open paragraph
  const char* style_ = nullptr;  // its paragraph style; null: Normal
  bool open_ = false;         // a paragraph has runs
  bool last_table_ = false;   // the body ends with a table
  size_t pair_slot_ = std::string::npos;  // where the open pair's right chart goes
  int charts_ = 0;
};

// The XML of the element inside the template part `name`'s pkg:xmlData.
std::string template_part(const pugi::xml_document& doc, std::string_view name) {
  for (pugi::xml_node part : doc.document_element().children()) {
    if (std::string_view(part.attribute("pkg:name").value()) != name) continue;
    const pugi::xml_node root = part.child("pkg:xmlData").first_child();
    if (!root) return {};
    std::ostringstream s;
    s << "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
    root.print(s, "", pugi::format_raw);
    return s.str();
  }
  return {};
}

bool read_text(const std::string& path, std::string* text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  *text = s.str();
  return !in.bad();
}

}  // namespace

const char* docx_template_name(int language) {
  switch (language) {
    case 2: return "VopSR.xml";
    case 3: return "VopMK.xml";
    default: return "VopEN.xml";
  }
}

std::string template_with_id(std::string_view text, std::string_view installation_id) {
  std::string out(text);
  const size_t at = out.find(kTemplateIdMarker);
  if (at == std::string::npos) return out;
  const size_t from = at + kTemplateIdMarker.size();
  out.replace(from, std::min(kTemplateIdPlaceholder, out.size() - from), xml_escape(installation_id));
  return out;
}

bool copy_template(const std::string& template_path, std::string_view installation_id, std::string* text,
                   std::string* error) {
  std::string original;
  if (!read_text(template_path, &original)) {
    if (error) *error = "cannot read the Word template " + template_path;
    return false;
  }
  *text = template_with_id(original, installation_id);
  save_file(template_path + ".tmp", [&](std::FILE* f) {
    return std::fwrite(text->data(), 1, text->size(), f) == text->size();
  });
  return true;
}

bool write_docx(const std::string& path, const std::vector<OutputEvent>& events, const DocxOptions& options,
                std::string* error) {
  std::string text;
  if (!copy_template(options.template_path, options.installation_id, &text, error)) return false;
  pugi::xml_document tmpl;
  if (!tmpl.load_buffer(text.data(), text.size())) {
    if (error) *error = "the Word template " + options.template_path + " is no XML document";
    return false;
  }
  const std::string styles = template_part(tmpl, "/word/styles.xml");
  if (styles.empty()) {
    if (error) *error = "the Word template " + options.template_path + " has no styles";
    return false;
  }
  std::string custom = template_part(tmpl, "/docProps/custom.xml");
  if (custom.empty())
    custom =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/custom-properties\""
        " xmlns:vt=\"http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes\">"
        "<property fmtid=\"{D5CDD505-2E9C-101B-9397-08002B2CF9AE}\" pid=\"2\" name=\"xp\"><vt:lpwstr>" +
        xml_escape(options.installation_id) + "</vt:lpwstr></property></Properties>";

  OpcPackage package;
  package.add_default("xlsx", "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet");
  DocumentBuilder builder(package, options.language);
  int tables = 0, charts = 0;
  for (const OutputEvent& e : events) {
    builder.add(e);
    if (!options.progress) continue;
    if (std::holds_alternative<TableBlock>(e)) options.progress(++tables, charts);
    else if (std::holds_alternative<ChartBlock>(e)) options.progress(tables, ++charts);
  }
  package.add_part("word/document.xml", builder.finish(),
                   "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml");
  package.add_part("word/styles.xml", styles, "application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml");
  package.add_relationship("word/document.xml", kRelStyles, "styles.xml");
  package.add_part("docProps/custom.xml", custom, "application/vnd.openxmlformats-officedocument.custom-properties+xml");
  package.add_part("docProps/core.xml",
                   "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                   "<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\""
                   " xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:creator>Vop</dc:creator></cp:coreProperties>",
                   "application/vnd.openxmlformats-package.core-properties+xml");
  package.add_relationship("", kRelOfficeDocument, "word/document.xml");
  package.add_relationship("", kRelCoreProperties, "docProps/core.xml");
  package.add_relationship("", kRelCustomProperties, "docProps/custom.xml");
  return package.save(path, error);
}

}  // namespace vop
