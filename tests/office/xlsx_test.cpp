// Native workbooks read back by openpyxl: the run's layout, the cells'
// numbers and formats, merges, fills, fonts, borders and column widths; the
// syntax generator; and vop-run's --xlsx and --syntax-generator.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "document/output_event.h"
#include "office/syntax_generator.h"
#include "office/xlsx_writer.h"
#include "xlsx_facts.h"

namespace vop {
namespace {

namespace fs = std::filesystem;
using test::read_facts;
using test::shell;
using test::slurp;

// Excel keeps a column width of 5.86 characters as 6.5703125 in the file
// (the default font's padding added); openpyxl reads the stored width.
constexpr const char* kStoredWidth = "6.570312";

class Xlsx : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::have_openpyxl()) GTEST_SKIP() << "python3-openpyxl missing (scripts/setup installs it)";
    // Per test and process: other checkouts may run these tests at the same time.
    dir_ = ::testing::TempDir() + "vop_xlsx_test_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" +
           std::to_string(::getpid()) + "/";
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    if (!dir_.empty()) fs::remove_all(dir_);
  }
  std::string dir_;
};

TextRun plain(std::string s) { return TextRun{TextFormat::Plain, std::move(s)}; }

// A text table with two heading levels, two row-heading levels, merges,
// colours and borders:
//
//            | Total  Gender ~      |
//            | |      Male   Female |
//   Region North | 42.0%  3.99  -2  |
//   |      South | 007    wide  ~   |
DocTable survey_table() {
  DocTable t;
  t.shape = {2, 3, 2, 2};
  for (const char* text : {"42.0%", "3.99", "-2", "007", "wide", "~"}) t.cells.emplace_back(std::string(text));
  t.col_labels = {"Total", "Gender", "~", "|", "Male", "Female"};
  t.row_labels = {"Region", "North", "|", "South"};
  const int g = 4 * 5;  // grid cells
  t.text_colours.assign(g, std::nullopt);
  t.back_colours.assign(g, std::nullopt);
  t.text_colours[0 * 5 + 3] = 255;             // "Gender": red text
  t.back_colours[2 * 5 + 2] = 226 + 239 * 256 + 218 * 65536;  // "42.0%": green
  // Lines from the top: edge, none between the heading rows, a double line
  // under the headings, a plain thin one, edge.
  t.h_borders = {std::nullopt, 0, 3, 1, std::nullopt};
  // From the left: edge, none between the row headings, double after them,
  // two thin ones (one a code outside the model), edge.
  t.v_borders = {std::nullopt, 0, 3, 1, 9, std::nullopt};
  return t;
}

DocTable numeric_table(int cols, std::vector<double> values) {
  DocTable t;
  t.shape = {1, cols, 1, 1};
  t.numeric_body = true;
  t.cells.assign(values.begin(), values.end());
  t.row_labels = {"Mean"};
  for (int c = 0; c < cols; ++c) t.col_labels.push_back("c" + std::to_string(c + 1));
  return t;
}

TEST_F(Xlsx, TheRunIsLaidOutAsTheExcelHtmlWorkbookShowsIt) {
  std::vector<OutputEvent> events = {
      plain("first line\nsecond"),
      plain(" line\n\n"),
      TextRun{TextFormat::Heading1, "Survey"},
      plain("\n"),
      TextRun{TextFormat::Heading5, "Base: all"},
      plain("\n"),
      TableBlock{survey_table(), "shown"},
      ChartBlock{},
      CountsUpdate{1, 0},
      TableBlock{numeric_table(3, {12345, NAN, -2}), "shown"},
      plain("unfinished"),
      TextRun{TextFormat::Heading2, "Q2"},
      plain("\nend\n"),
  };
  const std::string path = dir_ + "run.xlsx";
  std::string error;
  ASSERT_TRUE(write_xlsx(path, events, &error)) << error;
  const auto f = read_facts(path);
  EXPECT_EQ(f["sheets"], "1");
  EXPECT_EQ(f["title"], "VSheet1");

  // Text: one line a row, a blank line an empty row; headings in their
  // styles, their own line end taking no row.
  EXPECT_EQ(f["A1.value"], "s:first line");
  EXPECT_EQ(f["A2.value"], "s:second line");
  EXPECT_FALSE(f.has("A3.value"));
  EXPECT_EQ(f["A1.font"], "Arial,10,-,-");
  EXPECT_EQ(f["A4.value"], "s:Survey");
  EXPECT_EQ(f["A4.font"], "Arial,16,b,003366");
  EXPECT_EQ(f["A5.value"], "s:Base: all");
  EXPECT_EQ(f["A5.font"], "Arial,10,-,009999");

  // The text table, rows 6 to 9, and the empty row after it.
  EXPECT_EQ(f.merges, (std::set<std::string>{"C6:C7", "D6:E6", "A8:A9", "D9:E9"}));
  EXPECT_EQ(f["C6.value"], "s:Total");
  EXPECT_EQ(f["D6.value"], "s:Gender");
  EXPECT_EQ(f["D7.value"], "s:Male");
  EXPECT_EQ(f["A8.value"], "s:Region");
  EXPECT_EQ(f["B9.value"], "s:South");
  // Numbers as numbers, shown with their decimals; codes and words as text.
  EXPECT_EQ(f["C8.value"], "n:0.42");
  EXPECT_EQ(f["C8.format"], "0.0%");
  EXPECT_EQ(f["D8.value"], "n:3.99");
  EXPECT_EQ(f["D8.format"], "0.00");
  EXPECT_EQ(f["E8.value"], "n:-2");
  EXPECT_EQ(f["E8.format"], "0");
  EXPECT_EQ(f["C9.value"], "s:007");
  EXPECT_EQ(f["D9.value"], "s:wide");
  // Fills: white unless given; text colours black unless given.
  EXPECT_EQ(f["C8.fill"], "E2EFDA");
  EXPECT_EQ(f["D8.fill"], "FFFFFF");
  EXPECT_EQ(f["A6.fill"], "FFFFFF");
  EXPECT_EQ(f["D6.font"], "Arial,10,-,FF0000");
  EXPECT_EQ(f["D8.font"], "Arial,10,-,-");
  // Alignment: centred, row headings left.
  EXPECT_EQ(f["D8.align"], "center");
  EXPECT_EQ(f["B8.align"], "left");
  // Borders (top, bottom, left, right), grey: the outer edges medium, the
  // given codes inside (0 none, 3 double, a code outside the model thin).
  EXPECT_EQ(f["A6.border"], "medium,-,medium,-");
  EXPECT_EQ(f["C6.border"], "medium,double,double,thin");  // merged down two rows
  EXPECT_EQ(f["D8.border"], "double,thin,thin,thin");
  EXPECT_EQ(f["D9.border"], "thin,medium,thin,medium");  // merged across to the edge
  EXPECT_EQ(f["C8.bordercolour"], "ADADAD");
  EXPECT_FALSE(f.has("A10.value"));

  // The numeric table: its scale line above it, bold headings, the values
  // scaled with four decimals.
  EXPECT_EQ(f["A11.value"], "s:1.0e+004 *");
  EXPECT_EQ(f["B12.value"], "s:c1");
  EXPECT_EQ(f["B12.font"], "Arial,10,b,-");
  EXPECT_EQ(f["B12.align"], "center");
  EXPECT_EQ(f["A13.value"], "s:Mean");
  EXPECT_EQ(f["B13.value"], "n:1.2345");
  EXPECT_EQ(f["B13.format"], "0.0000");
  EXPECT_EQ(f["C13.value"], "s:NaN");
  EXPECT_EQ(f["D13.value"], "n:-0.0002");
  EXPECT_EQ(f["B13.border"], "-,-,-,-");

  // A line left open ends before the heading.
  EXPECT_EQ(f["A14.value"], "s:unfinished");
  EXPECT_EQ(f["A15.value"], "s:Q2");
  EXPECT_EQ(f["A15.font"], "Arial,14,b,003366");
  EXPECT_EQ(f["A16.value"], "s:end");

  // Widths: B to the widest table's last column (five grid columns).
  for (const char* c : {"B", "C", "D", "E"}) EXPECT_EQ(f[std::string("width.") + c], kStoredWidth) << c;
  EXPECT_FALSE(f.has("width.A"));
  EXPECT_FALSE(f.has("width.F"));
}

TEST_F(Xlsx, TheWidestTableSetsTheColumnWidths) {
  const std::string path = dir_ + "wide.xlsx";
  std::vector<double> values(29, 1.5);
  // An infinite value scales nothing and shows as "Inf".
  std::vector<OutputEvent> events = {TableBlock{numeric_table(2, {1, -INFINITY}), ""},
                                     TableBlock{numeric_table(29, values), ""}};
  ASSERT_TRUE(write_xlsx(path, events, nullptr));
  auto f = read_facts(path);
  EXPECT_EQ(f["width.B"], kStoredWidth);
  EXPECT_EQ(f["width.AD"], kStoredWidth);
  EXPECT_FALSE(f.has("width.AE"));
  EXPECT_EQ(f["B2.value"], "n:1");
  EXPECT_EQ(f["C2.value"], "s:-Inf");
  EXPECT_EQ(f["AD4.value"], "n:1.5");

  // A table of one column sets no widths.
  DocTable one;
  one.shape = {1, 1, 0, 0};
  one.cells.emplace_back(std::string("x"));
  ASSERT_TRUE(write_xlsx(path, {TableBlock{one, ""}}, nullptr));
  f = read_facts(path);
  EXPECT_FALSE(f.has("width.B"));
  EXPECT_EQ(f["A1.value"], "s:x");
}

// Texts of any bytes make a workbook that opens: bytes that are no UTF-8
// read as windows-1252, control characters show as the replacement
// character, and an overlong text is cut to what a cell holds.
TEST_F(Xlsx, AnyTextMakesAWorkbookThatOpens) {
  const std::string path = dir_ + "texts.xlsx";
  std::vector<OutputEvent> events = {plain("Caf\xE9 \x80 \x01 \xC5\xBD\n"), plain(std::string(40000, 'x') + "\n")};
  ASSERT_TRUE(write_xlsx(path, events, nullptr));
  const auto f = read_facts(path);
  EXPECT_EQ(f["A1.value"], "s:Caf\xC3\xA9 \xE2\x82\xAC \xEF\xBF\xBD \xC5\xBD");
  EXPECT_EQ(f["A2.value"], "s:" + std::string(32767, 'x'));
}

// A failed save loses nothing: the old file stays as it was.
TEST_F(Xlsx, AFailedSaveKeepsTheOldFile) {
  const std::string path = dir_ + "old.xlsx";
  std::ofstream(path) << "old";
  DocTable huge;
  huge.shape = {1, 16384, 0, 1};  // one grid column more than a sheet has
  huge.numeric_body = true;
  huge.cells.assign(16384, DocCell(1.0));
  huge.row_labels = {"r"};
  std::string error;
  EXPECT_FALSE(write_xlsx(path, {TableBlock{huge, ""}}, &error));
  EXPECT_NE(error.find("16385 columns"), std::string::npos) << error;
  EXPECT_EQ(slurp(path), "old");

  error.clear();
  EXPECT_FALSE(write_xlsx(dir_ + "no/such/folder/x.xlsx", {plain("x\n")}, &error));
  EXPECT_NE(error.find("no/such/folder/x.xlsx"), std::string::npos) << error;
  EXPECT_FALSE(fs::exists(dir_ + "no"));
}

// --- The syntax generator -----------------------------------------------------

std::vector<GeneratorVariable> generator_vars() {
  return {
      {2, "Gender of respondent", "GENDER", {{1, "Male"}, {2, "Female"}}},
      {3, "", "AGE", {}},
      {7, "Region", "REGION", {{-1.5, "Unknown"}, {1e300, "Huge"}}},
  };
}

TEST_F(Xlsx, TheSyntaxGeneratorListsTheVariablesFromRow13) {
  const std::string path = dir_ + "generator.xlsx";
  std::string error;
  ASSERT_TRUE(write_syntax_generator(path, generator_vars(), "", &error)) << error;
  const auto f = read_facts(path);
  EXPECT_EQ(f["A1.value"], "s:Vop syntax generator");
  EXPECT_EQ(f["A12.value"], "s:Position");
  EXPECT_EQ(f["C12.value"], "s:Name");
  EXPECT_EQ(f["A13.value"], "n:2");
  EXPECT_EQ(f["B13.value"], "s:Gender of respondent");
  EXPECT_EQ(f["C13.value"], "s:GENDER");
  EXPECT_EQ(f["A13.comment"], "1 - Male\\n2 - Female\\n");
  EXPECT_EQ(f["A14.value"], "n:3");
  EXPECT_FALSE(f.has("B14.value"));
  EXPECT_EQ(f["C14.value"], "s:AGE");
  EXPECT_FALSE(f.has("A14.comment"));
  EXPECT_EQ(f["A15.value"], "n:7");
  EXPECT_EQ(f["A15.comment"], "-1 - Unknown\\n1e+300 - Huge\\n");
  EXPECT_FALSE(f.has("A16.value"));
}

TEST_F(Xlsx, AHeaderFileReplacesTheGeneratorHeader) {
  const std::string header = dir_ + "header.txt";
  std::ofstream(header) << "Our generator\tv2\r\n\nthird\n";
  const std::string path = dir_ + "generator.xlsx";
  std::string error;
  ASSERT_TRUE(write_syntax_generator(path, generator_vars(), header, &error)) << error;
  const auto f = read_facts(path);
  EXPECT_EQ(f["A1.value"], "s:Our generator");
  EXPECT_EQ(f["B1.value"], "s:v2");
  EXPECT_EQ(f["A3.value"], "s:third");
  EXPECT_FALSE(f.has("A12.value"));
  EXPECT_EQ(f["C13.value"], "s:GENDER");

  // A header of 13 lines, or none at all, writes nothing.
  std::ofstream(path) << "old";
  std::ofstream(header) << std::string(13, '\n');
  EXPECT_FALSE(write_syntax_generator(path, generator_vars(), header, &error));
  EXPECT_NE(error.find("more than 12 lines"), std::string::npos) << error;
  EXPECT_FALSE(write_syntax_generator(path, generator_vars(), dir_ + "missing.txt", &error));
  EXPECT_NE(error.find("missing.txt"), std::string::npos) << error;
  EXPECT_EQ(slurp(path), "old");
}

// --- vop-run ------------------------------------------------------------------

class VopRunXlsx : public Xlsx {
 protected:
  // vop-run's exit status; its standard output in `out_`.
  int run(const std::string& args) {
    const std::string out = dir_ + "stdout";
    const int rc = shell(std::string("cd '") + VOP_SOURCE_DIR + "' && '" + VOP_RUN + "' --no-startup " + args +
                         " > '" + out + "' 2> '" + dir_ + "stderr'");
    out_ = slurp(out);
    err_ = slurp(dir_ + "stderr");
    return rc;
  }
  std::string out_, err_;
};

TEST_F(VopRunXlsx, XlsxWritesTheRunAsAWorkbook) {
  const std::string path = dir_ + "tables.xlsx";
  ASSERT_EQ(run("--xlsx '" + path + "' examples/tables.s"), 0) << err_;
  EXPECT_EQ(out_, path + "\n");
  const auto f = read_facts(path);
  EXPECT_EQ(f["A1.value"], "s:Customer satisfaction survey");
  EXPECT_EQ(f["A2.value"], "s:Q1. How satisfied are you with our service?");
  EXPECT_EQ(f["C3.value"], "s:Total");
  EXPECT_EQ(f["C5.value"], "n:0.42");
  EXPECT_EQ(f["C5.format"], "0.0%");
  EXPECT_EQ(f["C5.fill"], "E2EFDA");
  EXPECT_TRUE(f.merges.count("F3:H3"));
  EXPECT_TRUE(f.merges.count("A5:A9"));
  EXPECT_EQ(f["A5.valign"], "center");
  EXPECT_EQ(f["A11.value"], "s:Base: all respondents, n = 1000");
  EXPECT_EQ(f["B14.value"], "n:3.99");
  EXPECT_EQ(f["B14.format"], "0.0000");
  EXPECT_EQ(f["width.H"], kStoredWidth);
  EXPECT_FALSE(f.has("width.I"));
  EXPECT_TRUE(f.has("custom.xp"));  // the installation identifier, as every saved document

  // A run that fails still writes its workbook, with the error report.
  ASSERT_EQ(run("--xlsx '" + path + "' -e 'printf(\"hi\\n\")' -e 'x = nope + 1'"), 1) << err_;
  const auto g = read_facts(path);
  EXPECT_EQ(g["A1.value"], "s:hi");
  EXPECT_TRUE(g["A2.value"].starts_with("s:ERROR : ")) << g["A2.value"];
}

TEST_F(VopRunXlsx, XlsxToAnXlsOrHtmlNameKeepsTheExcelHtmlWorkbook) {
  for (const char* name : {"tables.xls", "tables.html"}) {
    const std::string path = dir_ + name;
    ASSERT_EQ(run("--xlsx '" + path + "' examples/tables.s"), 0) << err_;
    EXPECT_EQ(out_, path + "\n");
    EXPECT_TRUE(slurp(path).starts_with("<html")) << name;
  }
  EXPECT_EQ(run("--xlsx a.xlsx --excel-html b.xls -e 'x=1'"), 2);
}

TEST_F(VopRunXlsx, SyntaxGeneratorListsTheOpenDataset) {
  const std::string path = dir_ + "gen.xlsx";
  ASSERT_EQ(run(std::string("--data '") + VOP_SAV_DIR + "/pyreadstat/sample.sav' --syntax-generator '" + path +
                "'"),
            0)
      << err_;
  EXPECT_TRUE(out_.ends_with("\n" + path + "\n")) << out_;
  const auto f = read_facts(path);
  // The string variable at position 1 is left out.
  EXPECT_EQ(f["A13.value"], "n:2");
  EXPECT_EQ(f["B13.value"], "s:numeric");
  EXPECT_EQ(f["C13.value"], "s:MYNUM");
  EXPECT_EQ(f["A16.value"], "n:5");
  EXPECT_EQ(f["C16.value"], "s:MYLABL");
  EXPECT_EQ(f["A16.comment"], "1 - Male\\n2 - Female\\n");
  EXPECT_EQ(f["A18.value"], "n:7");
  EXPECT_FALSE(f.has("A19.value"));

  EXPECT_EQ(run("--syntax-generator '" + path + "' -e 'x=1'"), 2);
  EXPECT_NE(err_.find("--syntax-generator needs --data"), std::string::npos);
}

}  // namespace
}  // namespace vop
