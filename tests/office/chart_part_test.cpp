// The DrawingML chart: its series, categories, values, caches and fills as
// the table gives them, the number format of the unit, the pie's plot area,
// the order of elements that Word insists on, and the embedded workbook
// holding the cells that the chart's formulas name.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>

#include "chart_xml.h"
#include "file_text.h"
#include "office/chart_text.h"

namespace vop {
namespace {

using test::cache_points;
using test::val_of;

using Texts = std::vector<std::string>;

// Three answers to two questions, as a script formats them.
ChartRequest survey(ChartKind kind = ChartKind::Bar) {
  ChartRequest c;
  c.kind = kind;
  DocTable& t = c.table;
  t.shape = {3, 2, 1, 1};
  t.cells = {DocCell("12"),  DocCell("40.5"),  // row by row
             DocCell("30%"), DocCell("n/a"),
             DocCell(" 58"), DocCell("-3")};
  t.row_labels = {"yes", "no", "maybe"};
  t.col_labels = {"2019", "2020"};
  return c;
}

struct Parsed {
  explicit Parsed(const ChartPart& part) : part(part) {
    ok = doc.load_string(part.chart_xml.c_str());
  }
  pugi::xml_node space() const { return doc.child("c:chartSpace"); }
  pugi::xml_node chart() const { return space().child("c:chart"); }
  pugi::xml_node plot() const { return chart().child("c:plotArea"); }
  std::vector<pugi::xml_node> series(const char* chart_type) const {
    std::vector<pugi::xml_node> out;
    for (pugi::xml_node s : plot().child(chart_type).children("c:ser")) out.push_back(s);
    return out;
  }
  const ChartPart& part;
  pugi::xml_document doc;
  pugi::xml_parse_result ok;
};

std::string fill_of(pugi::xml_node with_sp_pr) {
  return val_of(with_sp_pr.child("c:spPr").child("a:solidFill").child("a:srgbClr"));
}

TEST(ChartPart, BarsShowOneSeriesPerColumnOverTheRowLabels) {
  const ChartPart part = render_chart(survey(), kChartEnglish);
  const Parsed p(part);
  ASSERT_TRUE(p.ok) << p.ok.description();
  const pugi::xml_node bar = p.plot().child("c:barChart");
  ASSERT_TRUE(bar);
  EXPECT_EQ(val_of(bar.child("c:barDir")), "bar");
  EXPECT_EQ(val_of(bar.child("c:grouping")), "clustered");
  EXPECT_TRUE(p.chart().child("c:legend")) << "bars have a legend";
  EXPECT_EQ(val_of(p.chart().child("c:autoTitleDeleted")), "1");
  EXPECT_EQ(p.space().child("c:externalData").attribute("r:id").value(), part.workbook_rel_id);
  EXPECT_FALSE(part.workbook.empty());

  const auto ser = p.series("c:barChart");
  ASSERT_EQ(ser.size(), 2u);
  const Texts names[] = {{"2019"}, {"2020"}};
  const Texts values[] = {{"12", "30", "58"}, {"40.5", "-", "-3"}};  // "n/a" is a gap
  for (size_t k = 0; k < 2; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(val_of(ser[k].child("c:idx")), std::to_string(k));
    EXPECT_EQ(cache_points(ser[k].child("c:tx").child("c:strRef").child("c:strCache")), names[k]);
    EXPECT_EQ(cache_points(ser[k].child("c:cat").child("c:strRef").child("c:strCache")),
              (Texts{"yes", "no", "maybe"}));
    EXPECT_EQ(cache_points(ser[k].child("c:val").child("c:numRef").child("c:numCache")), values[k]);
    EXPECT_EQ(ser[k].child("c:cat").child("c:strRef").child_value("c:f"), std::string("Sheet1!$A$2:$A$4"));
    EXPECT_EQ(ser[k].child("c:val").child("c:numRef").child_value("c:f"),
              std::string(k == 0 ? "Sheet1!$B$2:$B$4" : "Sheet1!$C$2:$C$4"));
    // Every series and every point has its fill spelt out.
    const std::string fill = fill_of(ser[k]);
    EXPECT_EQ(fill.size(), 6u);
    int points = 0;
    for (pugi::xml_node pt : ser[k].children("c:dPt")) {
      EXPECT_EQ(val_of(pt.child("c:idx")), std::to_string(points++));
      EXPECT_EQ(fill_of(pt), fill);
    }
    EXPECT_EQ(points, 3);
    EXPECT_EQ(ser[k].child("c:dLbls").child("c:numFmt").attribute("formatCode").value(), std::string("0"));
    EXPECT_EQ(val_of(ser[k].child("c:dLbls").child("c:showVal")), "1");
  }
  EXPECT_NE(fill_of(ser[0]), fill_of(ser[1])) << "series tell apart";
}

TEST(ChartPart, RowColoursFillTheirPointsFromThePalette) {
  ChartRequest c = survey();
  c.row_colours = {3, 1, 56};
  const Parsed p(render_chart(c, kChartEnglish));
  for (pugi::xml_node ser : p.series("c:barChart")) {
    Texts fills;
    for (pugi::xml_node pt : ser.children("c:dPt")) fills.push_back(fill_of(pt));
    EXPECT_EQ(fills, (Texts{"FF0000", "000000", "333333"}));
  }
  EXPECT_EQ(chart_palette_rgb(1), "000000");
  EXPECT_EQ(chart_palette_rgb(2), "FFFFFF");
  EXPECT_EQ(chart_palette_rgb(17), "9999FF");
  EXPECT_EQ(chart_palette_rgb(56), "333333");
  EXPECT_EQ(chart_palette_rgb(0), "000000");
  EXPECT_EQ(chart_palette_rgb(57), "000000");
}

TEST(ChartPart, ChosenColumnsInTheirOrderAndHeadingLevelsJoined) {
  ChartRequest c = survey();
  c.table.shape.head_rows = 2;
  c.table.col_labels = {"Year", "", "2019", "2020"};  // "~" arrives as ""
  c.data_columns = {2, 1};
  const Parsed p(render_chart(c, kChartEnglish));
  const auto ser = p.series("c:barChart");
  ASSERT_EQ(ser.size(), 2u);
  EXPECT_EQ(cache_points(ser[0].child("c:tx").child("c:strRef").child("c:strCache")), (Texts{"2020"}));
  EXPECT_EQ(cache_points(ser[1].child("c:tx").child("c:strRef").child("c:strCache")), (Texts{"Year 2019"}));
  EXPECT_EQ(ser[0].child("c:tx").child("c:strRef").child_value("c:f"), std::string("Sheet1!$B$1:$B$2"));
  EXPECT_EQ(ser[0].child("c:val").child("c:numRef").child_value("c:f"), std::string("Sheet1!$B$3:$B$5"));
  EXPECT_EQ(cache_points(ser[0].child("c:val").child("c:numRef").child("c:numCache")),
            (Texts{"40.5", "-", "-3"}));
}

TEST(ChartPart, WithoutLabelsRowsAreNumberedAndSeriesNamed) {
  ChartRequest c = survey();
  c.table.shape = {3, 2, 0, 0};
  c.table.row_labels.clear();
  c.table.col_labels.clear();
  const Parsed p(render_chart(c, kChartEnglish));
  const auto ser = p.series("c:barChart");
  ASSERT_EQ(ser.size(), 2u);
  EXPECT_EQ(cache_points(ser[1].child("c:tx").child("c:strRef").child("c:strCache")), (Texts{"Series 2"}));
  EXPECT_EQ(cache_points(ser[1].child("c:cat").child("c:strRef").child("c:strCache")),
            (Texts{"1", "2", "3"}));
}

TEST(ChartPart, PiesShowTheFirstColumnInAHalfSizedCentredPlot) {
  const Parsed p(render_chart(survey(ChartKind::Pie), kChartEnglish));
  ASSERT_TRUE(p.ok);
  EXPECT_FALSE(p.plot().child("c:barChart"));
  EXPECT_FALSE(p.chart().child("c:legend")) << "pies have no legend";
  EXPECT_FALSE(p.plot().child("c:catAx"));
  const auto ser = p.series("c:pieChart");
  ASSERT_EQ(ser.size(), 1u);
  EXPECT_EQ(cache_points(ser[0].child("c:val").child("c:numRef").child("c:numCache")),
            (Texts{"12", "30", "58"}));
  std::set<std::string> fills;
  for (pugi::xml_node pt : ser[0].children("c:dPt")) fills.insert(fill_of(pt));
  EXPECT_EQ(fills.size(), 3u) << "each slice its own colour";

  // 215 x 350 points: a square of 107.5 points in the middle.
  const pugi::xml_node m = p.plot().child("c:layout").child("c:manualLayout");
  EXPECT_NEAR(std::stod(val_of(m.child("c:w"))), 107.5 / 350, 1e-9);
  EXPECT_NEAR(std::stod(val_of(m.child("c:h"))), 0.5, 1e-9);
  EXPECT_NEAR(std::stod(val_of(m.child("c:x"))), (1 - 107.5 / 350) / 2, 1e-9);
  EXPECT_NEAR(std::stod(val_of(m.child("c:y"))), 0.25, 1e-9);

  ChartRequest tall = survey(ChartKind::Pie);
  tall.height = 400;
  tall.width = 200;
  const Parsed q(render_chart(tall, kChartEnglish));
  const pugi::xml_node n = q.plot().child("c:layout").child("c:manualLayout");
  EXPECT_NEAR(std::stod(val_of(n.child("c:w"))), 0.5, 1e-9);
  EXPECT_NEAR(std::stod(val_of(n.child("c:h"))), 0.25, 1e-9);
}

TEST(ChartPart, APieMovedIntoAnotherFrameIsLaidOutForIt) {
  const ChartPart pie = render_chart(survey(ChartKind::Pie), kChartEnglish);  // 215 x 350
  ChartPart square = pie;
  square.chart_xml = fit_pie_to_frame(pie.chart_xml, 335, 335);
  const Parsed p(square);
  ASSERT_TRUE(p.ok);
  const pugi::xml_node m = p.plot().child("c:layout").child("c:manualLayout");
  for (const char* side : {"c:w", "c:h"}) EXPECT_NEAR(std::stod(val_of(m.child(side))), 0.5, 1e-9) << side;
  for (const char* edge : {"c:x", "c:y"}) EXPECT_NEAR(std::stod(val_of(m.child(edge))), 0.25, 1e-9) << edge;
  EXPECT_EQ(p.series("c:pieChart").size(), 1u);  // the rest is kept
  // Bars, and text that is no chart, come back as they were.
  const ChartPart bars = render_chart(survey(), kChartEnglish);
  EXPECT_EQ(fit_pie_to_frame(bars.chart_xml, 335, 335), bars.chart_xml);
  EXPECT_EQ(fit_pie_to_frame("not xml <", 335, 335), "not xml <");
  EXPECT_EQ(fit_pie_to_frame(pie.chart_xml, 0, 335), pie.chart_xml);
}

TEST(ChartPart, TheUnitFollowsTheValues) {
  EXPECT_EQ(chart_number_format(0), "0");
  EXPECT_EQ(chart_number_format('%'), "0\"%\"");
  EXPECT_EQ(chart_number_format('$'), "0\"$\"");
  EXPECT_EQ(chart_number_format('"'), "0\\\"");
  EXPECT_EQ(chart_number_format('\x80'), "0\"€\"");
  EXPECT_EQ(chart_number_format('\x01'), "0");
  ChartRequest c = survey();
  c.unit = '%';
  const Parsed p(render_chart(c, kChartEnglish));
  EXPECT_EQ(p.series("c:barChart")[0].child("c:dLbls").child("c:numFmt").attribute("formatCode").value(),
            std::string("0\"%\""));
}

TEST(ChartPart, LabelsAreInTheLanguageOfTheReport) {
  ChartRequest c = survey();
  c.table.row_labels = {"Skopje", "Ohrid", "Bitola"};
  c.table.col_labels = {"Lj", "DZz"};
  const Parsed mk(render_chart(c, kChartMacedonian));
  auto ser = mk.series("c:barChart");
  EXPECT_EQ(cache_points(ser[0].child("c:cat").child("c:strRef").child("c:strCache")),
            (Texts{"Скопје", "Охрид", "Битола"}));
  EXPECT_EQ(cache_points(ser[1].child("c:tx").child("c:strRef").child("c:strCache")), (Texts{"Џ"}));
  const Parsed en(render_chart(c, kChartEnglish));
  ser = en.series("c:barChart");
  EXPECT_EQ(cache_points(ser[1].child("c:tx").child("c:strRef").child("c:strCache")), (Texts{"DZz"}));
}

TEST(ChartPart, AnEmptyOrMisshapenTableMakesAnEmptyChart) {
  ChartRequest empty;
  ChartRequest short_cells = survey();
  short_cells.table.cells.pop_back();
  ChartRequest short_labels = survey();
  short_labels.table.shape.head_cols = 2;
  for (const ChartRequest* c : {&empty, &short_cells, &short_labels}) {
    for (ChartKind kind : {ChartKind::Bar, ChartKind::Pie}) {
      ChartRequest r = *c;
      r.kind = kind;
      const Parsed p(render_chart(r, kChartEnglish));
      EXPECT_TRUE(p.ok);
      EXPECT_TRUE(p.plot());
      EXPECT_FALSE(p.plot().find_node([](pugi::xml_node n) { return std::string(n.name()) == "c:ser"; }));
    }
  }
}

// --- Schema order ---------------------------------------------------------------

// The children each element may have, in the order of its sequence
// (ECMA-376 Part 1, dml-chart.xsd and dml-main.xsd); choices share a slot.
const std::map<std::string, std::vector<std::string>>& schema() {
  static const std::map<std::string, std::vector<std::string>> s = {
      {"c:chartSpace", {"c:date1904", "c:lang", "c:roundedCorners", "mc:AlternateContent", "c:style",
                        "c:clrMapOvr", "c:pivotSource", "c:protection", "c:chart", "c:spPr", "c:txPr",
                        "c:externalData", "c:printSettings", "c:userShapes", "c:extLst"}},
      {"c:chart", {"c:title", "c:autoTitleDeleted", "c:pivotFmts", "c:view3D", "c:floor", "c:sideWall",
                   "c:backWall", "c:plotArea", "c:legend", "c:plotVisOnly", "c:dispBlanksAs",
                   "c:showDLblsOverMax", "c:extLst"}},
      {"c:plotArea", {"c:layout", "c:barChart|c:pieChart", "c:catAx|c:valAx", "c:dTable", "c:spPr",
                      "c:extLst"}},
      {"c:barChart", {"c:barDir", "c:grouping", "c:varyColors", "c:ser", "c:dLbls", "c:gapWidth",
                      "c:overlap", "c:serLines", "c:axId", "c:extLst"}},
      {"c:pieChart", {"c:varyColors", "c:ser", "c:dLbls", "c:firstSliceAng", "c:extLst"}},
      // c:ser of a bar chart, and of a pie (explosion, no invertIfNegative).
      {"c:barChart/c:ser", {"c:idx", "c:order", "c:tx", "c:spPr", "c:invertIfNegative",
                            "c:pictureOptions", "c:dPt", "c:dLbls", "c:trendline", "c:errBars", "c:cat",
                            "c:val", "c:shape", "c:extLst"}},
      {"c:pieChart/c:ser", {"c:idx", "c:order", "c:tx", "c:spPr", "c:explosion", "c:dPt", "c:dLbls",
                            "c:cat", "c:val", "c:extLst"}},
      {"c:dPt", {"c:idx", "c:invertIfNegative", "c:marker", "c:bubble3D", "c:explosion", "c:spPr",
                 "c:pictureOptions", "c:extLst"}},
      {"c:dLbls", {"c:dLbl", "c:delete", "c:numFmt", "c:spPr", "c:txPr", "c:dLblPos", "c:showLegendKey",
                   "c:showVal", "c:showCatName", "c:showSerName", "c:showPercent", "c:showBubbleSize",
                   "c:separator", "c:showLeaderLines", "c:leaderLines", "c:extLst"}},
      {"c:catAx", {"c:axId", "c:scaling", "c:delete", "c:axPos", "c:majorGridlines", "c:minorGridlines",
                   "c:title", "c:numFmt", "c:majorTickMark", "c:minorTickMark", "c:tickLblPos", "c:spPr",
                   "c:txPr", "c:crossAx", "c:crosses|c:crossesAt", "c:auto", "c:lblAlgn", "c:lblOffset",
                   "c:tickLblSkip", "c:tickMarkSkip", "c:noMultiLvlLbl", "c:extLst"}},
      {"c:valAx", {"c:axId", "c:scaling", "c:delete", "c:axPos", "c:majorGridlines", "c:minorGridlines",
                   "c:title", "c:numFmt", "c:majorTickMark", "c:minorTickMark", "c:tickLblPos", "c:spPr",
                   "c:txPr", "c:crossAx", "c:crosses|c:crossesAt", "c:crossBetween", "c:majorUnit",
                   "c:minorUnit", "c:dispUnits", "c:extLst"}},
      {"c:majorGridlines", {"c:spPr", "c:extLst"}},
      {"c:scaling", {"c:logBase", "c:orientation", "c:max", "c:min", "c:extLst"}},
      {"c:legend", {"c:legendPos", "c:legendEntry", "c:layout", "c:overlay", "c:spPr", "c:txPr", "c:extLst"}},
      {"c:layout", {"c:manualLayout", "c:extLst"}},
      {"c:manualLayout", {"c:layoutTarget", "c:xMode", "c:yMode", "c:wMode", "c:hMode", "c:x", "c:y", "c:w",
                          "c:h", "c:extLst"}},
      {"c:tx", {"c:strRef|c:v"}},
      {"c:cat", {"c:multiLvlStrRef|c:numRef|c:numLit|c:strRef|c:strLit"}},
      {"c:val", {"c:numRef|c:numLit"}},
      {"c:strRef", {"c:f", "c:strCache", "c:extLst"}},
      {"c:numRef", {"c:f", "c:numCache", "c:extLst"}},
      {"c:strCache", {"c:ptCount", "c:pt", "c:extLst"}},
      {"c:numCache", {"c:formatCode", "c:ptCount", "c:pt", "c:extLst"}},
      {"c:externalData", {"c:autoUpdate"}},
      {"c:spPr", {"a:xfrm", "a:custGeom|a:prstGeom", "a:noFill|a:solidFill|a:gradFill|a:blipFill|a:pattFill",
                  "a:ln", "a:effectLst|a:effectDag", "a:scene3d", "a:sp3d", "a:extLst"}},
      {"a:ln", {"a:noFill|a:solidFill|a:gradFill|a:pattFill", "a:prstDash|a:custDash",
                "a:round|a:bevel|a:miter", "a:headEnd", "a:tailEnd", "a:extLst"}},
      {"c:txPr", {"a:bodyPr", "a:lstStyle", "a:p"}},
  };
  return s;
}

// Whether each element of the table has only children of its sequence, in
// its order; the faults found, one a line.
void check_order(pugi::xml_node n, std::string& faults, std::set<std::string>& seen) {
  std::string key = n.name();
  if (key == "c:ser") key = std::string(n.parent().name()) + "/c:ser";
  const auto it = schema().find(key);
  if (it != schema().end()) {
    seen.insert(key);
    size_t slot = 0;
    std::string previous = "(start)";
    for (pugi::xml_node k : n.children()) {
      if (k.type() != pugi::node_element) continue;
      size_t at = 0;
      for (; at < it->second.size(); ++at) {
        const std::string& s = "|" + it->second[at] + "|";
        if (s.find("|" + std::string(k.name()) + "|") != std::string::npos) break;
      }
      if (at == it->second.size()) faults += key + ": unexpected " + k.name() + "\n";
      else if (at < slot) faults += key + ": " + k.name() + " after " + previous + "\n";
      else slot = at;
      previous = k.name();
    }
  }
  for (pugi::xml_node k : n.children())
    if (k.type() == pugi::node_element) check_order(k, faults, seen);
}

TEST(ChartPart, ElementsFollowTheSchemaOrder) {
  std::set<std::string> seen;
  for (ChartKind kind : {ChartKind::Bar, ChartKind::Pie}) {
    ChartRequest c = survey(kind);
    c.row_colours = {1, 2, 3};
    c.unit = '%';
    const Parsed p(render_chart(c, kChartEnglish));
    ASSERT_TRUE(p.ok);
    std::string faults;
    check_order(p.space(), faults, seen);
    EXPECT_EQ(faults, "") << p.part.chart_xml;
  }
  // The check looked at every element the charts use.
  for (const auto& [key, order] : schema()) EXPECT_TRUE(seen.count(key)) << key << " not checked";
}

// --- The embedded workbook -------------------------------------------------------

int shell(const std::string& cmd) {
  const int raw = std::system(cmd.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

TEST(ChartPart, TheWorkbookHoldsWhatTheFormulasName) {
  if (shell("/usr/bin/python3 -c 'import openpyxl' >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "python3-openpyxl missing (scripts/setup installs it)";
  // A folder of this process's own: other checkouts may run the suite too.
  const std::string dir = ::testing::TempDir() + "vop_chart_workbook_" + std::to_string(getpid()) + "/";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  ChartRequest c = survey();
  c.table.shape.head_rows = 2;
  c.table.col_labels = {"Year", "", "2019", "2020"};
  c.table.row_labels = {"Skopje", "Ohrid", "Bitola"};
  c.unit = '%';
  for (ChartKind kind : {ChartKind::Bar, ChartKind::Pie}) {
    c.kind = kind;
    const ChartPart part = render_chart(c, kChartMacedonian);
    ASSERT_TRUE(test::write_bytes(dir + "data.xlsx", part.workbook));
    ASSERT_TRUE(test::write_bytes(dir + "chart.xml",
                                  std::vector<uint8_t>(part.chart_xml.begin(), part.chart_xml.end())));
    const std::string report = dir + "report.txt";
    const int rc = shell("/usr/bin/python3 '" VOP_TEST_DIR "/office/chart_workbook_check.py' '" + dir +
                         "chart.xml' '" + dir + "data.xlsx' > '" + report + "' 2>&1");
    EXPECT_EQ(rc, 0) << test::slurp(report);
    // What the check compared: the values and the converted labels.
    const std::string text = test::slurp(report);
    EXPECT_NE(text.find("Sheet1!$A$3:$A$5 = Скопје|Охрид|Битола"), std::string::npos) << text;
    EXPECT_NE(text.find("Sheet1!$B$3:$B$5 = 12|30|58"), std::string::npos) << text;
    EXPECT_NE(text.find("format 0\"%\""), std::string::npos) << text;
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace vop
