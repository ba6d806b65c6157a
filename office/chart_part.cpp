// The chart is written as Word writes its own charts, with every value
// cached in the XML: LibreOffice and Word draw from the caches, and only
// "Edit Data" opens the embedded workbook, which holds the same cells the
// formulas name. Elements follow the schema's sequence order (Word refuses
// a chart whose children are out of order; LibreOffice forgives).
#include "office/chart_part.h"
#include "office/xml_nodes.h"

#include <unistd.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <pugixml.hpp>
#include <sstream>

#include "office/chart_text.h"

namespace vop {

namespace {

// The 56 colours of the Office chart palette (Excel 97 order), 0xRRGGBB.
constexpr uint32_t kPalette[kChartPaletteSize] = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,  // 1-8
    0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080,  // 9-16
    0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF,  // 17-24
    0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF,  // 25-32
    0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,  // 33-40
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696,  // 41-48
    0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333,  // 49-56
};

// Fills of series (and pie slices) that get no colour of their own: the
// palette's chart fills, 17 to 24, then its line colours, 25 to 32.
constexpr int kDefaultFills[] = {17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32};

// Excel's limits: a chart draws at most 255 series; a sheet has 1,048,576
// rows.
constexpr int kMaxSeries = 255;
constexpr int kMaxSheetRows = 1048576;

constexpr const char* kSheet = "Sheet1";
constexpr const char* kCatAxisId = "504431368";
constexpr const char* kValAxisId = "504432352";

// The table laid out as the workbook holds it: the heading rows on top
// (at least one, for the series names), the row labels in column A, the
// shown data columns from column B.
struct Layout {
  int head_rows = 1;
  int rows = 0;                                  // categories
  std::vector<int> columns;                      // shown body columns, 0-based
  std::vector<std::string> categories;           // converted row labels
  std::vector<std::vector<std::string>> heads;   // per series, per heading row (converted)
  std::vector<std::string> names;                // per series: its headings joined
  std::vector<std::vector<std::optional<double>>> values;  // per series, per row
  std::vector<std::vector<std::string>> texts;   // per series, per row: converted cell text
};

// The number a value text begins with (after blanks, an optional '+');
// none when it begins with no finite number.
std::optional<double> value_of(std::string_view t) {
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
  if (!t.empty() && t.front() == '+') t.remove_prefix(1);
  double v = 0;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (ec != std::errc() || end == t.data() || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::string number_text(double v) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

// Column letters of 0-based column c (0 = A).
std::string column_letters(int c) {
  std::string s;
  for (++c; c > 0; c = (c - 1) / 26) s.insert(s.begin(), char('A' + (c - 1) % 26));
  return s;
}

// "Sheet1!$B$2:$B$5" (a single cell when the range is one cell).
std::string range_ref(int col, int first_row, int last_row) {
  const std::string c = "$" + column_letters(col) + "$";
  std::string s = std::string(kSheet) + "!" + c + std::to_string(first_row + 1);
  if (last_row != first_row) s += ":" + c + std::to_string(last_row + 1);
  return s;
}

// Whether the table's parts have the sizes its shape promises (a table
// that does not is drawn as an empty chart rather than read past its end).
bool well_formed(const DocTable& t) {
  const TableShape& s = t.shape;
  if (s.rows < 0 || s.cols < 0 || s.head_rows < 0 || s.head_cols < 0) return false;
  const auto size = [](int a, int b) { return size_t(a) * size_t(b); };
  return t.cells.size() == size(s.rows, s.cols) &&
         (t.row_labels.empty() || t.row_labels.size() == size(s.rows, s.head_cols)) &&
         (t.col_labels.empty() || t.col_labels.size() == size(s.head_rows, s.cols));
}

Layout lay_out(const ChartRequest& chart, int language) {
  static const DocTable kEmpty;
  const DocTable& t = well_formed(chart.table) ? chart.table : kEmpty;
  Layout l;
  l.head_rows = std::max(1, t.head_rows());
  l.rows = std::min(t.rows(), kMaxSheetRows - l.head_rows);
  if (chart.data_columns.empty()) {
    for (int c = 0; c < t.cols(); ++c) l.columns.push_back(c);
  } else {
    for (int c : chart.data_columns)
      if (c >= 1 && c <= t.cols()) l.columns.push_back(c - 1);
  }
  if (chart.kind == ChartKind::Pie && l.columns.size() > 1) l.columns.resize(1);
  if (l.columns.size() > size_t(kMaxSeries)) l.columns.resize(size_t(kMaxSeries));

  for (int i = 0; i < l.rows; ++i) {
    std::string label;
    for (int j = 0; j < t.head_cols(); ++j) {
      const std::string_view part = t.row_label(i, j);
      if (part.empty()) continue;
      if (!label.empty()) label += ' ';
      label += part;
    }
    // Rows without labels are numbered, as the chart's own data sheet does.
    l.categories.push_back(t.has_row_labels() ? chart_text(label, language) : std::to_string(i + 1));
  }
  for (size_t k = 0; k < l.columns.size(); ++k) {
    const int c = l.columns[k];
    std::vector<std::string> heads;
    std::string name;
    for (int h = 0; h < t.head_rows(); ++h) {
      heads.push_back(chart_text(t.col_label(h, c), language));
      if (heads.back().empty()) continue;
      if (!name.empty()) name += ' ';
      name += heads.back();
    }
    if (!t.has_col_labels()) {
      name = "Series " + std::to_string(k + 1);
      heads.push_back(name);
    }
    l.heads.push_back(std::move(heads));
    l.names.push_back(std::move(name));
    std::vector<std::optional<double>> values;
    std::vector<std::string> texts;
    for (int i = 0; i < l.rows; ++i) {
      const std::string_view text = t.cell_text(i, c);
      values.push_back(t.numeric() ? std::optional<double>(t.number(i, c)) : value_of(text));
      if (values.back() && !std::isfinite(*values.back())) values.back().reset();
      texts.push_back(chart_text(text, language));
    }
    l.values.push_back(std::move(values));
    l.texts.push_back(std::move(texts));
  }
  return l;
}

// --- The embedded workbook ----------------------------------------------------

std::vector<uint8_t> read_all(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// The workbook with the layout's cells; empty when it cannot be written.
std::vector<uint8_t> write_workbook(const Layout& l, const std::string& number_format) {
  const char* dir = std::getenv("TMPDIR");
  std::string path = std::string(dir && *dir ? dir : "/tmp") + "/vopXXXXXX.xlsx";
  const int fd = mkstemps(path.data(), 5);
  if (fd < 0) return {};
  close(fd);

  std::vector<uint8_t> bytes;
  if (lxw_workbook* wb = workbook_new(path.c_str())) {
    lxw_worksheet* ws = workbook_add_worksheet(wb, kSheet);
    lxw_format* fmt = workbook_add_format(wb);
    format_set_num_format(fmt, number_format.c_str());
    for (size_t k = 0; k < l.heads.size(); ++k) {
      const lxw_col_t col = lxw_col_t(k + 1);
      for (size_t h = 0; h < l.heads[k].size(); ++h)
        if (!l.heads[k][h].empty())
          worksheet_write_string(ws, lxw_row_t(h), col, l.heads[k][h].c_str(), nullptr);
      for (int i = 0; i < l.rows; ++i) {
        const lxw_row_t row = lxw_row_t(l.head_rows + i);
        if (l.values[k][size_t(i)]) worksheet_write_number(ws, row, col, *l.values[k][size_t(i)], fmt);
        else if (!l.texts[k][size_t(i)].empty())
          worksheet_write_string(ws, row, col, l.texts[k][size_t(i)].c_str(), nullptr);
      }
    }
    for (int i = 0; i < l.rows; ++i)
      if (!l.categories[size_t(i)].empty())
        worksheet_write_string(ws, lxw_row_t(l.head_rows + i), 0, l.categories[size_t(i)].c_str(), nullptr);
    if (workbook_close(wb) == LXW_NO_ERROR) bytes = read_all(path);
  }
  std::remove(path.c_str());
  return bytes;
}

// --- The chart XML -----------------------------------------------------------------

pugi::xml_node child(pugi::xml_node parent, const char* name) { return parent.append_child(name); }

pugi::xml_node with_val(pugi::xml_node parent, const char* name, const std::string& v) {
  pugi::xml_node n = parent.append_child(name);
  n.append_attribute("val") = v.c_str();
  return n;
}

void solid_fill(pugi::xml_node sp_pr, const std::string& rgb) {
  with_val(child(sp_pr, "a:solidFill"), "a:srgbClr", rgb);
}

void no_fill_no_line(pugi::xml_node sp_pr) {
  child(sp_pr, "a:noFill");
  child(child(sp_pr, "a:ln"), "a:noFill");
}

// c:strRef with its cache.
void str_ref(pugi::xml_node parent, const std::string& formula, const std::vector<std::string>& texts) {
  pugi::xml_node ref = child(parent, "c:strRef");
  child(ref, "c:f").text() = formula.c_str();
  pugi::xml_node cache = child(ref, "c:strCache");
  with_val(cache, "c:ptCount", std::to_string(texts.size()));
  for (size_t i = 0; i < texts.size(); ++i) {
    pugi::xml_node pt = child(cache, "c:pt");
    pt.append_attribute("idx") = std::to_string(i).c_str();
    child(pt, "c:v").text() = texts[i].c_str();
  }
}

// c:numRef with its cache; gaps have no point.
void num_ref(pugi::xml_node parent, const std::string& formula,
             const std::vector<std::optional<double>>& values, const std::string& format) {
  pugi::xml_node ref = child(parent, "c:numRef");
  child(ref, "c:f").text() = formula.c_str();
  pugi::xml_node cache = child(ref, "c:numCache");
  child(cache, "c:formatCode").text() = format.c_str();
  with_val(cache, "c:ptCount", std::to_string(values.size()));
  for (size_t i = 0; i < values.size(); ++i) {
    if (!values[i]) continue;
    pugi::xml_node pt = child(cache, "c:pt");
    pt.append_attribute("idx") = std::to_string(i).c_str();
    child(pt, "c:v").text() = number_text(*values[i]).c_str();
  }
}

void data_labels(pugi::xml_node parent, const std::string& format, bool pie) {
  pugi::xml_node d = child(parent, "c:dLbls");
  pugi::xml_node nf = child(d, "c:numFmt");
  nf.append_attribute("formatCode") = format.c_str();
  nf.append_attribute("sourceLinked") = "0";
  no_fill_no_line(child(d, "c:spPr"));
  with_val(d, "c:dLblPos", "outEnd");
  with_val(d, "c:showLegendKey", "0");
  with_val(d, "c:showVal", "1");
  // A pie has no legend: its slices are named beside their values.
  with_val(d, "c:showCatName", pie ? "1" : "0");
  with_val(d, "c:showSerName", "0");
  with_val(d, "c:showPercent", "0");
  with_val(d, "c:showBubbleSize", "0");
  if (pie) {
    child(d, "c:separator").text() = "\n";
    with_val(d, "c:showLeaderLines", "1");
  }
}

std::string default_fill(size_t k) {
  return chart_palette_rgb(kDefaultFills[k % std::size(kDefaultFills)]);
}

void series(pugi::xml_node chart_node, const ChartRequest& chart, const Layout& l, size_t k,
            const std::string& format) {
  const bool pie = chart.kind == ChartKind::Pie;
  const int col = int(k) + 1;
  pugi::xml_node ser = child(chart_node, "c:ser");
  with_val(ser, "c:idx", std::to_string(k));
  with_val(ser, "c:order", std::to_string(k));
  str_ref(child(ser, "c:tx"), range_ref(col, 0, l.head_rows - 1), {l.names[k]});
  const std::string series_fill = default_fill(k);
  pugi::xml_node sp = child(ser, "c:spPr");
  solid_fill(sp, series_fill);
  if (!pie) with_val(ser, "c:invertIfNegative", "0");
  // Every point has its fill spelt out: the row's colour when the script
  // gave one, else the series' (bars) or the next default (pie slices).
  for (int i = 0; i < l.rows; ++i) {
    std::string fill = pie ? default_fill(size_t(i)) : series_fill;
    if (!chart.row_colours.empty() && size_t(i) < chart.row_colours.size())
      fill = chart_palette_rgb(chart.row_colours[size_t(i)]);
    pugi::xml_node pt = child(ser, "c:dPt");
    with_val(pt, "c:idx", std::to_string(i));
    if (!pie) with_val(pt, "c:invertIfNegative", "0");
    with_val(pt, "c:bubble3D", "0");
    pugi::xml_node pt_sp = child(pt, "c:spPr");
    solid_fill(pt_sp, fill);
    if (pie) solid_fill(child(pt_sp, "a:ln"), "FFFFFF");  // white edges between slices
  }
  data_labels(ser, format, pie);
  if (l.rows > 0) {
    str_ref(child(ser, "c:cat"), range_ref(0, l.head_rows, l.head_rows + l.rows - 1), l.categories);
    num_ref(child(ser, "c:val"), range_ref(col, l.head_rows, l.head_rows + l.rows - 1), l.values[k],
            "General");
  }
}

// A thin grey line of an axis or a gridline (LibreOffice draws none
// unless told).
void grey_line(pugi::xml_node parent, const char* rgb) {
  pugi::xml_node ln = child(child(parent, "c:spPr"), "a:ln");
  ln.append_attribute("w") = "3175";
  solid_fill(ln, rgb);
}

void axes(pugi::xml_node plot, const std::string& format) {
  // Categories top to bottom in the table's row order; the value axis
  // then crosses at the last category, at the bottom.
  pugi::xml_node cat = child(plot, "c:catAx");
  with_val(cat, "c:axId", kCatAxisId);
  with_val(child(cat, "c:scaling"), "c:orientation", "maxMin");
  with_val(cat, "c:delete", "0");
  with_val(cat, "c:axPos", "l");
  pugi::xml_node cat_nf = child(cat, "c:numFmt");
  cat_nf.append_attribute("formatCode") = "General";
  cat_nf.append_attribute("sourceLinked") = "0";
  with_val(cat, "c:majorTickMark", "out");
  with_val(cat, "c:minorTickMark", "none");
  with_val(cat, "c:tickLblPos", "nextTo");
  grey_line(cat, "808080");
  with_val(cat, "c:crossAx", kValAxisId);
  with_val(cat, "c:crosses", "autoZero");
  with_val(cat, "c:auto", "1");
  with_val(cat, "c:lblAlgn", "ctr");
  with_val(cat, "c:lblOffset", "100");
  with_val(cat, "c:noMultiLvlLbl", "0");

  pugi::xml_node val = child(plot, "c:valAx");
  with_val(val, "c:axId", kValAxisId);
  with_val(child(val, "c:scaling"), "c:orientation", "minMax");
  with_val(val, "c:delete", "0");
  with_val(val, "c:axPos", "b");
  grey_line(child(val, "c:majorGridlines"), "D9D9D9");
  pugi::xml_node val_nf = child(val, "c:numFmt");
  val_nf.append_attribute("formatCode") = format.c_str();
  val_nf.append_attribute("sourceLinked") = "0";
  with_val(val, "c:majorTickMark", "out");
  with_val(val, "c:minorTickMark", "none");
  with_val(val, "c:tickLblPos", "nextTo");
  grey_line(val, "808080");
  with_val(val, "c:crossAx", kCatAxisId);
  with_val(val, "c:crosses", "max");
  with_val(val, "c:crossBetween", "between");
}

// The plot area of a pie in a chart of width x height: a square of half
// the smaller side, in the middle, as fractions of the chart (x, y, w, h).
std::array<double, 4> pie_fractions(double width, double height) {
  const double side = std::min(height, width) / 2;
  const double w = side / width, h = side / height;
  return {(1 - w) / 2, (1 - h) / 2, w, h};
}

void pie_layout(pugi::xml_node plot, const ChartRequest& chart) {
  const double height = chart.height > 0 ? chart.height : kChartHeight;
  const double width = chart.width > 0 ? chart.width : kChartWidth;
  const auto [x, y, w, h] = pie_fractions(width, height);
  pugi::xml_node m = child(child(plot, "c:layout"), "c:manualLayout");
  with_val(m, "c:layoutTarget", "inner");
  with_val(m, "c:xMode", "edge");
  with_val(m, "c:yMode", "edge");
  with_val(m, "c:x", number_text(x));
  with_val(m, "c:y", number_text(y));
  with_val(m, "c:w", number_text(w));
  with_val(m, "c:h", number_text(h));
}

}  // namespace

std::string fit_pie_to_frame(const std::string& chart_xml, double width, double height) {
  if (!(width > 0) || !(height > 0)) return chart_xml;
  pugi::xml_document doc;
  if (!doc.load_buffer(chart_xml.data(), chart_xml.size(), pugi::parse_default | pugi::parse_ws_pcdata))
    return chart_xml;
  const pugi::xml_node plot = doc.child("c:chartSpace").child("c:chart").child("c:plotArea");
  const pugi::xml_node m = plot.child("c:layout").child("c:manualLayout");
  if (!plot.child("c:pieChart") || !m) return chart_xml;
  const auto [x, y, w, h] = pie_fractions(width, height);
  const std::pair<const char*, double> values[] = {{"c:x", x}, {"c:y", y}, {"c:w", w}, {"c:h", h}};
  for (const auto& [name, v] : values) {
    pugi::xml_node n = m.child(name);
    if (!n) return chart_xml;  // a layout of another kind: left as it is
    n.attribute("val").set_value(number_text(v).c_str());
  }
  return xml_text(doc);
}

namespace {

const char* language_tag(int language) {
  switch (language) {
    case kChartSerbian: return "sr-Latn-RS";
    case kChartMacedonian: return "mk-MK";
    default: return "en-US";
  }
}

std::string chart_xml(const ChartRequest& chart, const Layout& l, int language, bool external,
                      const std::string& rel_id) {
  const bool pie = chart.kind == ChartKind::Pie;
  const std::string format = chart_number_format(chart.unit);
  pugi::xml_document doc;
  pugi::xml_node decl = doc.append_child(pugi::node_declaration);
  decl.append_attribute("version") = "1.0";
  decl.append_attribute("encoding") = "UTF-8";
  decl.append_attribute("standalone") = "yes";
  pugi::xml_node space = child(doc, "c:chartSpace");
  space.append_attribute("xmlns:c") = "http://schemas.openxmlformats.org/drawingml/2006/chart";
  space.append_attribute("xmlns:a") = "http://schemas.openxmlformats.org/drawingml/2006/main";
  space.append_attribute("xmlns:r") =
      "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
  with_val(space, "c:date1904", "0");
  with_val(space, "c:lang", language_tag(language));
  with_val(space, "c:roundedCorners", "0");

  pugi::xml_node c = child(space, "c:chart");
  with_val(c, "c:autoTitleDeleted", "1");
  pugi::xml_node plot = child(c, "c:plotArea");
  if (pie) pie_layout(plot, chart);
  else child(plot, "c:layout");
  if (pie) {
    pugi::xml_node p = child(plot, "c:pieChart");
    with_val(p, "c:varyColors", "1");
    for (size_t k = 0; k < l.columns.size(); ++k) series(p, chart, l, k, format);
    with_val(p, "c:firstSliceAng", "0");
  } else {
    pugi::xml_node b = child(plot, "c:barChart");
    with_val(b, "c:barDir", "bar");
    with_val(b, "c:grouping", "clustered");
    with_val(b, "c:varyColors", "0");
    for (size_t k = 0; k < l.columns.size(); ++k) series(b, chart, l, k, format);
    with_val(b, "c:gapWidth", "150");
    with_val(b, "c:axId", kCatAxisId);
    with_val(b, "c:axId", kValAxisId);
    axes(plot, format);
  }
  no_fill_no_line(child(plot, "c:spPr"));
  if (!pie) {
    pugi::xml_node legend = child(c, "c:legend");
    with_val(legend, "c:legendPos", "r");
    with_val(legend, "c:overlay", "0");
  }
  with_val(c, "c:plotVisOnly", "1");
  with_val(c, "c:dispBlanksAs", "gap");

  pugi::xml_node sp = child(space, "c:spPr");
  solid_fill(sp, "FFFFFF");
  child(child(sp, "a:ln"), "a:noFill");
  pugi::xml_node tx = child(space, "c:txPr");
  child(tx, "a:bodyPr");
  child(tx, "a:lstStyle");
  pugi::xml_node para = child(tx, "a:p");
  child(child(para, "a:pPr"), "a:defRPr").append_attribute("sz") = "800";
  child(para, "a:endParaRPr").append_attribute("lang") = language_tag(language);
  if (external) {
    pugi::xml_node ext = child(space, "c:externalData");
    ext.append_attribute("r:id") = rel_id.c_str();
    with_val(ext, "c:autoUpdate", "0");
  }

  std::ostringstream out;
  doc.save(out, "", pugi::format_raw, pugi::encoding_utf8);
  return out.str();
}

}  // namespace

std::string chart_palette_rgb(int index) {
  const uint32_t c = index >= 1 && index <= kChartPaletteSize ? kPalette[index - 1] : 0;
  char buf[8];
  std::snprintf(buf, sizeof buf, "%06X", unsigned(c));
  return buf;
}

std::string chart_number_format(char unit) {
  if (unit == '"') return "0\\\"";
  // A lone byte beyond ASCII reads as its windows-1252 character.
  const std::string ch = chart_text(std::string_view(&unit, 1), kChartEnglish);
  return ch.empty() ? "0" : "0\"" + ch + "\"";
}

ChartPart render_chart(const ChartRequest& chart, int language) {
  const Layout l = lay_out(chart, language);
  ChartPart part;
  part.workbook = write_workbook(l, chart_number_format(chart.unit));
  part.chart_xml = chart_xml(chart, l, language, !part.workbook.empty(), part.workbook_rel_id);
  return part;
}

}  // namespace vop
