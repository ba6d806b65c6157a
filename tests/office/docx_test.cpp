// Word documents read back by python-docx (tests/office/docx_facts.py): the
// package's parts and relationships, paragraph styles and texts, tables
// with their merges, colours and widths, the custom property, native
// charts with their workbooks; and vop-run's --docx and --docx-charts.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "document/output_event.h"
#include "file_text.h"
#include "office/docx_writer.h"
#include "docx_facts.h"
#include "xlsx_facts.h"

namespace vop {
namespace {

namespace fs = std::filesystem;
using test::DocxFacts;
using test::read_docx;
using test::shell;
using test::slurp;

std::vector<int> numbers(const std::string& list) {
  std::vector<int> out;
  std::istringstream in(list);
  for (std::string n; std::getline(in, n, ',');) out.push_back(std::stoi(n));
  return out;
}

class Docx : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::have_python_docx())
      GTEST_SKIP() << "python3-docx missing (scripts/setup installs it)";
    // Per test and process: other checkouts may run these tests at the same time.
    dir_ = ::testing::TempDir() + "vop_docx_test_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" +
           std::to_string(::getpid()) + "/";
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    // A copy of the template: the writer puts its ".tmp" copy beside it.
    fs::copy_file(std::string(VOP_SOURCE_DIR) + "/Syntax/VopEN.xml", dir_ + "VopEN.xml");
    options_.template_path = dir_ + "VopEN.xml";
    options_.installation_id = "ID-42&<x>";
  }
  void TearDown() override {
    if (!dir_.empty()) fs::remove_all(dir_);
  }
  DocxFacts write(const std::vector<OutputEvent>& events) {
    const std::string path = dir_ + "out.docx";
    std::string error;
    EXPECT_TRUE(write_docx(path, events, options_, &error)) << error;
    DocxFacts f = read_docx(path);
    EXPECT_TRUE(f.problems.empty()) << f.problems.front();
    return f;
  }
  std::string dir_;
  DocxOptions options_;
};

TextRun run(TextFormat f, std::string s) { return TextRun{f, std::move(s)}; }
TextRun plain(std::string s) { return run(TextFormat::Plain, std::move(s)); }

// Two heading levels over two row-heading levels, with merges both ways,
// colours and a "#" indentation:
//
//                | Total  Gender ~      |
//                | |      Male   Female |
//   Region North | 42.0%  3.99   -2     |
//   |      South | ##7    wide   ~      |
DocTable survey_table() {
  DocTable t;
  t.shape = {2, 3, 2, 2};
  for (const char* text : {"42.0%", "3.99", "-2", "##7", "wide", "~"}) t.cells.emplace_back(std::string(text));
  t.col_labels = {"Total", "Gender", "~", "|", "Male", "Female"};
  t.row_labels = {"Region", "North", "|", "South"};
  const int g = 4 * 5;
  t.text_colours.assign(g, std::nullopt);
  t.back_colours.assign(g, std::nullopt);
  t.text_colours[0 * 5 + 3] = 255;                            // "Gender": red text
  t.back_colours[2 * 5 + 2] = 226 + 239 * 256 + 218 * 65536;  // "42.0%": green
  t.h_borders = {std::nullopt, 0, 3, 1, std::nullopt};
  t.v_borders = {std::nullopt, 0, 3, 1, 9, std::nullopt};
  return t;
}

ChartRequest chart(ChartKind kind, ChartPlacement where, std::vector<std::string> values) {
  ChartRequest c;
  c.kind = kind;
  c.placement = where;
  c.table.shape = {int(values.size()), 1, 0, 1};
  for (std::string& v : values) {
    c.table.row_labels.push_back("row " + v);
    c.table.cells.emplace_back(std::move(v));
  }
  return c;
}

TEST_F(Docx, TextAndTablesReadBackInTheirStyles) {
  const DocxFacts f = write({
      run(TextFormat::Heading1, "Report"), plain("\n"),
      run(TextFormat::Heading2, "Q1"), plain("\n"),
      run(TextFormat::ErrorCaption, "ERROR : "), plain("Unknown variable\non the line 'x'\n"),
      plain("a\tb\t\tc\n"),
      run(TextFormat::NotWeightedNote, "Data is not weighted.\n"),
      TableBlock{survey_table(), ""},
      run(TextFormat::Heading5, "Base: all"), plain("\n"),
      plain("no line end"),
  });
  EXPECT_EQ(f["p.0"], "Heading 1|Report");
  EXPECT_EQ(f["p.1"], "Heading 2|Q1");
  EXPECT_EQ(f["p.2"], "Normal|ERROR : Unknown variable");
  EXPECT_EQ(f["p.3"], "Normal|on the line 'x'");
  EXPECT_EQ(f["p.4"], "Normal|a\\tb\\t\\tc");
  EXPECT_EQ(f["p.5"], "Normal|Data is not weighted.");
  EXPECT_EQ(f["p.6"], "Baza|Base: all");
  EXPECT_EQ(f["p.7"], "Normal|no line end");
  EXPECT_FALSE(f.has("p.8"));

  EXPECT_EQ(f["tables"], "1");
  EXPECT_EQ(f["t.0.size"], "4x5");
  EXPECT_EQ(f["t.0.0.2"], "Total");
  EXPECT_EQ(f["t.0.span.0.2"], "2x1");  // "|" below continues it
  EXPECT_EQ(f["t.0.1.2"], "Total");
  EXPECT_EQ(f["t.0.0.3"], "Gender");
  EXPECT_EQ(f["t.0.span.0.3"], "1x2");  // "~" widens it
  EXPECT_EQ(f["t.0.colour.0.3"], "FF0000");
  EXPECT_EQ(f["t.0.1.3"], "Male");
  EXPECT_EQ(f["t.0.1.4"], "Female");
  EXPECT_EQ(f["t.0.2.0"], "Region");
  EXPECT_EQ(f["t.0.span.2.0"], "2x1");
  EXPECT_EQ(f["t.0.2.1"], "North");
  EXPECT_EQ(f["t.0.2.2"], "42.0%");
  EXPECT_EQ(f["t.0.fill.2.2"], "E2EFDA");
  EXPECT_EQ(f["t.0.3.1"], "South");
  EXPECT_EQ(f["t.0.3.2"], "007");  // the "#"s as zeros in the background colour
  EXPECT_EQ(f["t.0.span.3.3"], "1x2");  // the body merges to the right only
  EXPECT_EQ(f["t.0.3.3"], "wide");

  EXPECT_EQ(f["custom.xp"], "ID-42&<x>");
}

TEST_F(Docx, NumbersShowWithTwoDecimals) {
  DocTable t;
  t.shape = {1, 3, 1, 1};
  t.numeric_body = true;
  t.cells = {DocCell(3.14159), DocCell(-2.0), DocCell(1234.5)};
  t.row_labels = {"Mean"};
  t.col_labels = {"a", "b", "c"};
  const DocxFacts f = write({TableBlock{t, ""}, TableBlock{t, ""}});
  EXPECT_EQ(f["t.0.1.1"], "3.14");
  EXPECT_EQ(f["t.0.1.2"], "-2.00");
  EXPECT_EQ(f["t.0.1.3"], "1234.50");
  // Two tables in a row stay two tables.
  EXPECT_EQ(f["tables"], "2");
}

TEST_F(Docx, ColumnsAreAsWideAsTheirTextsWithinThePage) {
  DocTable t;
  t.shape = {1, 2, 1, 1};
  t.cells = {DocCell(std::string("1")), DocCell(std::string("a rather long text in this column"))};
  t.row_labels = {"r"};
  t.col_labels = {"x", "y"};
  DocTable wide;
  wide.shape = {1, 40, 1, 1};
  wide.row_labels = {"a row label of some length"};
  for (int c = 0; c < 40; ++c) {
    wide.cells.emplace_back(std::string("a cell text that needs room ") + std::to_string(c));
    wide.col_labels.push_back("heading " + std::to_string(c));
  }
  const DocxFacts f = write({TableBlock{t, ""}, plain("\n"), TableBlock{wide, ""}});
  const std::vector<int> w = numbers(f["t.0.widths"]);
  ASSERT_EQ(w.size(), 3u);
  EXPECT_GT(w[2], 2 * w[1]);
  EXPECT_LE(std::stoi(f["t.1.width"]), 15480);
  EXPECT_GE(std::stoi(f["t.1.width"]), 15000);
}

TEST_F(Docx, ChartsAreNativeChartsWithTheirWorkbooks) {
  const DocxFacts f = write({
      plain("before\n"),
      ChartBlock{chart(ChartKind::Bar, ChartPlacement::Single, {"12", "30"})},
      ChartBlock{chart(ChartKind::Pie, ChartPlacement::PairLeft, {"60", "40"})},
      plain("between\n"),
      ChartBlock{chart(ChartKind::Pie, ChartPlacement::PairRight, {"25", "75"})},
      ChartBlock{chart(ChartKind::Bar, ChartPlacement::PairLeft, {"5"})},  // its pair never comes
  });
  EXPECT_EQ(f["chart.1"], "barChart");
  EXPECT_EQ(f["chart.1.values"], "12,30");
  EXPECT_EQ(f["chart.2"], "pieChart");
  EXPECT_EQ(f["chart.2.values"], "60,40");
  EXPECT_EQ(f["chart.3.values"], "25,75");
  EXPECT_EQ(f["chart.4.values"], "5");
  for (const char* n : {"1", "2", "3", "4"})
    EXPECT_EQ(f["chart." + std::string(n) + ".workbook"],
              "word/embeddings/Microsoft_Excel_Worksheet" + std::string(n) + ".xlsx");
  // Each pair is one borderless row of two half-page cells; the text
  // written between the halves follows the pair.
  EXPECT_EQ(f["tables"], "2");
  EXPECT_EQ(f["t.0.size"], "1x2");
  EXPECT_EQ(f["t.0.widths"], "7740,7740");
  EXPECT_EQ(f["t.1.widths"], "7740,7740");
  EXPECT_EQ(f["p.0"], "Normal|before");
  bool between = false;
  for (int i = 1; f.has("p." + std::to_string(i)); ++i) between = between || f["p." + std::to_string(i)] == "Normal|between";
  EXPECT_TRUE(between);
}

TEST_F(Docx, ProgressCountsEachTableAndChartAsItIsLaidOut) {
  DocTable t = survey_table();
  std::vector<std::pair<int, int>> seen;
  options_.progress = [&](int tables, int charts) { seen.emplace_back(tables, charts); };
  write({TableBlock{t, ""}, plain("x\n"), ChartBlock{chart(ChartKind::Bar, ChartPlacement::Single, {"1"})},
         TableBlock{t, ""}});
  EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{1, 0}, {1, 1}, {2, 1}}));
}

TEST_F(Docx, TheBaseLineDoesNotPullTheNextBlockAlong) {
  // A heading keeps with what follows; the base line belongs to the table
  // above it and must not drag the next heading and chart onto a new page.
  const DocxFacts f = write({plain("x\n")});
  EXPECT_EQ(f["style.Heading1.keep"], "1");
  EXPECT_EQ(f["style.Baza.keep"], "0");
  EXPECT_EQ(f["style.Normal.keep"], "0");
}

TEST_F(Docx, ATableStaysOnOnePageWhenItFits) {
  const DocxFacts f = write({TableBlock{survey_table(), ""}});
  // Every row keeps with the next but the last, which lets the page break
  // after the table; no row breaks inside.
  const std::string keep = f["t.0.keep"];
  ASSERT_GE(keep.size(), 4u);
  EXPECT_TRUE(keep.ends_with(",s")) << keep;
  EXPECT_EQ(keep.find("-"), std::string::npos) << keep;
  EXPECT_EQ(keep.substr(0, keep.size() - 2).find_first_not_of("ks,"), std::string::npos) << keep;
  EXPECT_EQ(keep.rfind(",s,"), std::string::npos) << keep;
}

TEST_F(Docx, EveryLanguageTemplateHasTheStylesAndThePlaceholder) {
  for (int language = 1; language <= 3; ++language) {
    const std::string name = docx_template_name(language);
    const std::string text = slurp(std::string(VOP_SOURCE_DIR) + "/Syntax/" + name);
    const size_t at = text.find(kTemplateIdMarker);
    ASSERT_NE(at, std::string::npos) << name;
    EXPECT_EQ(text.substr(at + kTemplateIdMarker.size() + kTemplateIdPlaceholder, 2), "</") << name;
    for (const char* style : {"\"Normal\"", "\"Heading1\"", "\"Heading5\"", "\"Baza\"", "\"TableText\""})
      EXPECT_NE(text.find(std::string("w:styleId=") + style), std::string::npos) << name << style;
    const char* lang = language == 1 ? "en-US" : language == 2 ? "sr-Latn-RS" : "mk-MK";
    EXPECT_NE(text.find(std::string("w:lang w:val=\"") + lang), std::string::npos) << name;
    // And a document made with it carries its styles and the identifier.
    fs::copy_file(std::string(VOP_SOURCE_DIR) + "/Syntax/" + name, dir_ + name, fs::copy_options::overwrite_existing);
    options_.template_path = dir_ + name;
    options_.language = language;
    const DocxFacts f = write({run(TextFormat::Heading1, "Naslov"), plain("\n"),
                               ChartBlock{chart(ChartKind::Bar, ChartPlacement::Single, {"3"})}});
    EXPECT_EQ(f["p.0"], "Heading 1|Naslov") << name;
    EXPECT_EQ(f["custom.xp"], "ID-42&<x>") << name;
    EXPECT_EQ(f["chart.1.values"], "3") << name;
  }
  EXPECT_STREQ(docx_template_name(0), "VopEN.xml");
}

TEST_F(Docx, TheTemplateCopyCarriesTheInstallationId) {
  EXPECT_EQ(template_with_id("a<o>name=\"xp\"><vt:lpwstr>XXXXX</vt:lpwstr>", "id&1"),
            "a<o>name=\"xp\"><vt:lpwstr>id&amp;1</vt:lpwstr>");
  EXPECT_EQ(template_with_id("no marker XXXXX", "id"), "no marker XXXXX");
  std::string text, error;
  ASSERT_TRUE(copy_template(options_.template_path, "abc", &text, &error)) << error;
  EXPECT_EQ(slurp(options_.template_path + ".tmp"), text);
  EXPECT_NE(text.find("name=\"xp\"><vt:lpwstr>abc</vt:lpwstr>"), std::string::npos);
  // The template itself keeps its placeholder.
  EXPECT_NE(slurp(options_.template_path).find("<vt:lpwstr>XXXXX</vt:lpwstr>"), std::string::npos);
}

TEST_F(Docx, AFailedSaveKeepsTheOldFile) {
  const std::string path = dir_ + "old.docx";
  std::ofstream(path) << "old";
  std::string error;
  DocxOptions missing = options_;
  missing.template_path = dir_ + "none.xml";
  EXPECT_FALSE(write_docx(path, {plain("x\n")}, missing, &error));
  EXPECT_NE(error.find("none.xml"), std::string::npos) << error;
  EXPECT_EQ(slurp(path), "old");

  std::ofstream(dir_ + "bad.xml") << "<pkg:package><unclosed>";
  missing.template_path = dir_ + "bad.xml";
  error.clear();
  EXPECT_FALSE(write_docx(path, {plain("x\n")}, missing, &error));
  EXPECT_NE(error.find("bad.xml"), std::string::npos) << error;
  EXPECT_EQ(slurp(path), "old");

  error.clear();
  EXPECT_FALSE(write_docx(dir_ + "no/such/folder/x.docx", {plain("x\n")}, options_, &error));
  EXPECT_NE(error.find("no/such/folder/x.docx"), std::string::npos) << error;
  EXPECT_FALSE(fs::exists(dir_ + "no"));
}

// --- vop-run ------------------------------------------------------------------

constexpr const char* kChartScript =
    "heading(1, \"Charts\")\n"
    "chartBar([\"42\" \"40\"; \"31\" \"33\"], [\"Very\"; \"Quite\"], [\"Male\" \"Female\"])\n"
    "lchartPie([\"60\"; \"40\"], [\"Yes\"; \"No\"], [\"Share\"], [], [], [], [200 330], [\"%\"])\n"
    "rchartPie([\"25\"; \"75\"], [\"Yes\"; \"No\"], [\"Share\"])\n"
    "printf(\"done\\n\")\n";

class VopRunDocx : public Docx {
 protected:
  int run_vop(const std::string& args) {
    const std::string out = dir_ + "stdout";
    const int rc = shell(std::string("cd '") + VOP_SOURCE_DIR + "' && '" + VOP_RUN + "' --no-startup " + args +
                         " > '" + out + "' 2> '" + dir_ + "stderr'");
    out_ = slurp(out);
    err_ = slurp(dir_ + "stderr");
    return rc;
  }
  std::string script() {
    const std::string s = dir_ + "charts.s";
    std::ofstream(s) << kChartScript;
    return s;
  }
  std::string out_, err_;
};

TEST_F(VopRunDocx, DocxChartsPutsTheChartsIntoTheDocument) {
  const std::string path = dir_ + "charts.docx";
  ASSERT_EQ(run_vop("--docx-charts '" + path + "' '" + script() + "'"), 0) << err_;
  EXPECT_EQ(out_, path + "\n");
  const DocxFacts f = read_docx(path);
  EXPECT_TRUE(f.problems.empty()) << f.problems.front();
  EXPECT_EQ(f["chart.1"], "barChart");
  EXPECT_EQ(f["chart.1.values"], "42,31;40,33");
  EXPECT_EQ(f["chart.2"], "pieChart");
  EXPECT_EQ(f["chart.2.values"], "60,40");
  EXPECT_EQ(f["chart.3.values"], "25,75");
  EXPECT_FALSE(f.has("chart.4"));
  EXPECT_EQ(f["p.0"], "Heading 1|Charts");
  EXPECT_EQ(f["t.0.widths"], "7740,7740");
  EXPECT_FALSE(f["custom.xp"].empty());
  EXPECT_NE(f["custom.xp"], "XXXXX");
}

TEST_F(VopRunDocx, DocxWithoutChartsAndAFailedRun) {
  const std::string path = dir_ + "plain.docx";
  ASSERT_EQ(run_vop("--docx '" + path + "' '" + script() + "'"), 0) << err_;
  DocxFacts f = read_docx(path);
  EXPECT_FALSE(f.has("chart.1"));  // the chart builtins do nothing without charts
  EXPECT_EQ(f["p.0"], "Heading 1|Charts");
  EXPECT_EQ(f["p.1"], "Normal|done");

  // A run that fails still writes its document, with the error report.
  ASSERT_EQ(run_vop("--docx '" + path + "' -e 'printf(\"hi\\n\")' -e 'x = nope + 1'"), 1) << err_;
  f = read_docx(path);
  EXPECT_EQ(f["p.0"], "Normal|hi");
  EXPECT_TRUE(f["p.1"].starts_with("Normal|ERROR : ")) << f["p.1"];

  EXPECT_EQ(run_vop("--docx '" + path + "' --xlsx x.xlsx -e 1"), 2);
  EXPECT_EQ(run_vop("--docx-charts"), 2);
  EXPECT_EQ(run_vop("--language XX -e 1"), 2);
  EXPECT_NE(err_.find("--language takes EN, SR or MK"), std::string::npos) << err_;
  EXPECT_EQ(run_vop("--language mk --docx '" + path + "' -e 'printf(\"mk\\n\")'"), 0) << err_;
  EXPECT_EQ(read_docx(path)["p.0"], "Normal|mk");
}

}  // namespace
}  // namespace vop
