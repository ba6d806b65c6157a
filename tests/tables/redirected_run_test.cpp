// Runs redirected to an RTF or HTML file, as the redirect commands arm
// them: the exact fragments of headings, text and tables, outputType, the
// table count, and the documents written after the run.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "output/save_document.h"
#include "script_run.h"
#include "file_text.h"

namespace vop {
namespace {

using test::slurp;

using test::ScriptRun;

// One heading level over one data column, one level of row headings, and
// a red data value: a 2 x 2 grid with the default borders (grey outer
// edges, light grey inside).
constexpr const char* kSmallTable = "print(3.14159, [\"a\"], [\"x\"], [NaN NaN; NaN 255])";

// Row opening of every table row.
const std::string kRow =
    "{\\trowd\\trqc\\trftsWidth1\\trautofit1\\trpaddl108\\trpaddr108"
    "\\trpaddfl3\\trpaddft3\\trpaddfb3\\trpaddfr3\n\n";
// Borders by side: code 2 (grey, colour 2) and code 1 (light grey, 3).
const std::string kTop2 = "\\clbrdrt\\brdrs\\brdrw15\\brdrcf2\n";
const std::string kTop1 = "\\clbrdrt\\brdrs\\brdrw10\\brdrcf3\n";
const std::string kBottom2 = "\\clbrdrb\\brdrs\\brdrw15\\brdrcf2\n";
const std::string kBottom1 = "\\clbrdrb\\brdrs\\brdrw10\\brdrcf3\n";
const std::string kLeft2 = "\\clbrdrl\\brdrs\\brdrw15\\brdrcf2\n";
const std::string kLeft1 = "\\clbrdrl\\brdrs\\brdrw10\\brdrcf3\n";
const std::string kRight2 = "\\clbrdrr\\brdrs\\brdrw15\\brdrcf2\n";
const std::string kRight1 = "\\clbrdrr\\brdrs\\brdrw10\\brdrcf3\n";

const std::string kSmallTableRtf =
    // The heading row: the last (and first) heading row is tall, bold,
    // left-aligned, with text running bottom to top.
    kRow + "\\trrh1000\\trpaddb108\n" +
    "\\clvertalc\n" + kTop2 + kBottom1 + kLeft2 + kRight1 +
    "\\cltxlrtb\\clftsWidth3\\cellx500\n\n" +
    "\\clvertalc\n" + kTop2 + kBottom1 + kLeft1 + kRight2 +
    "\\cltxbtlr\\clftsWidth3\\cellx1000\n\n" +
    "\\intbl{\\s0\\f0\\fs16\\ql\\b\n{\\cell x\\cell}}\\row}\n\n" +
    // The data row; red is the fourth colour, after white and the greys.
    kRow +
    "\\clvertalc\n" + kTop1 + kBottom2 + kLeft2 + kRight1 +
    "\\cltxlrtb\\clftsWidth3\\cellx500\n\n" +
    "\\clvertalc\n" + kTop1 + kBottom2 + kLeft1 + kRight2 +
    "\\cltxlrtb\\clftsWidth3\\cellx1000\n\n" +
    "\\intbl{\\s0\\qc\\f0\\fs16\n{\\ql a\\cell}{\\cf4 3.14\\cell}}\\row}\n\n";

const std::string kSmallTableHtml =
    "\n<TABLE class='mytable'>"
    "\n<TR><TH scope='row' ROWSPAN=1 COLSPAN=1>&nbsp</TH><TH scope='col'>x</TH></TR>"
    "<TR>\n<TH scope='row'>a</TH><TD>   3.1416</TD></TR>"
    "</TABLE>";

TEST(RedirectedRun, RtfFileGetsHeadingsTextAndTablesAsFragments) {
  ScriptRun s;
  ASSERT_TRUE(s.redirect(false));
  ASSERT_EQ(s.run(std::string("heading(1, \"Survey\"); printf(\"n = %d\\n\", 12); ") +
                  kSmallTable + "; heading(5, \"Base: all\")"),
            0);
  EXPECT_EQ(s.file(), "{\\s1\\qc\\keepn\\b\\f0\\fs36\\scaps Survey\\par}\n"
                      "{\\s0\\ql\\f0\\fs16 n = 12\n\\par}\n" +
                          kSmallTableRtf + "{\\s5\\qc\\f0\\fs20 Base: all\\par}\n");
  EXPECT_EQ(s.window.shown, "") << "nothing reaches the window";
  const std::vector<Colour> order{16777215, 8421504, 12632256, 255};
  EXPECT_EQ(s.out.documents().rtf_colours.colours(), order);
}

TEST(RedirectedRun, HtmlFileGetsHeadingsTextAndTablesAsFragments) {
  ScriptRun s;
  ASSERT_TRUE(s.redirect(true));
  ASSERT_EQ(s.run(std::string("heading(3, \"Survey\"); echo(\"n = 12\"); line(); ") + kSmallTable +
                  "; heading(5, \"Base: all\"); heading(2, \"Next\")"),
            0);
  EXPECT_EQ(s.file(), "<TABLE><TR><TD class=h3>Survey</TD></TR></TABLE>\n"
                      "n = 12\n" +
                          kSmallTableHtml +
                          "<TABLE><TR><TD class=baza>Base: all</TD></TR></TABLE>\n"
                          "<TABLE><TR><TD class=h2>Next</TD></TR></TABLE>\n");
  EXPECT_EQ(s.window.shown, "");
}

TEST(RedirectedRun, NumericHtmlTablesAreScaledAndShowNaNAndInf) {
  ScriptRun s;
  ASSERT_TRUE(s.redirect(true));
  ASSERT_EQ(s.run("print([12345 -2; NaN 1], []); print([NaN -Inf Inf], [], [])"), 0);
  EXPECT_EQ(s.file(), "1.0e+004 *\n\n<TABLE class='mytable'>"
                      "<TR>\n<TD>   1.2345</TD><TD>  -0.0002</TD></TR>"
                      "<TR>\n<TD>NaN</TD><TD>   0.0001</TD></TR></TABLE>"
                      "\n<TABLE class='mytable'>"
                      "<TR>\n<TD>NaN</TD><TD>-Inf</TD><TD>Inf</TD></TR></TABLE>");
}

TEST(RedirectedRun, PrintOfTheDataAloneIsTheMatrixDisplay) {
  // print(x) shows x as the window would, one line at a time; it is no table.
  ScriptRun window;
  ASSERT_EQ(window.run("print([1.5 -2; 3 4]); print(zeros(0, 3))"), 0);
  ASSERT_TRUE(window.window.shown.ends_with("\n[]\n")) << window.window.shown;
  for (bool html : {false, true}) {
    ScriptRun s;
    ASSERT_TRUE(s.redirect(html));
    ASSERT_EQ(s.run("print([1.5 -2; 3 4]); print(zeros(0, 3))"), 0);
    std::string expected;
    for (size_t at = 0, end; at < window.window.shown.size(); at = end + 1) {
      end = window.window.shown.find('\n', at);
      const std::string line = window.window.shown.substr(at, end + 1 - at);
      expected += html ? line : "{\\s0\\ql\\f0\\fs16 " + line + "\\par}\n";
    }
    EXPECT_EQ(s.file(), expected) << html;
    EXPECT_EQ(s.out.documents().counts.tables, 0) << html;
  }
}

TEST(RedirectedRun, OutputTypeNamesTheTarget) {
  ScriptRun window;
  EXPECT_EQ(window.number("outputType()"), 0);

  ScriptRun rtf;
  ASSERT_TRUE(rtf.redirect(false));
  EXPECT_EQ(rtf.number("outputType()"), 1);
  rtf.interp.extension<SessionSettings>().word_with_charts = true;
  EXPECT_EQ(rtf.number("outputType()"), 2);

  ScriptRun html;
  ASSERT_TRUE(html.redirect(true));
  EXPECT_EQ(html.number("outputType()"), 3);
  // After the save the output is the window's again.
  ASSERT_TRUE(SaveRedirectDocument(html.out, ::testing::TempDir() + "vop_output_type.xls"));
  EXPECT_EQ(html.number("outputType()"), 0);
  std::remove((::testing::TempDir() + "vop_output_type.xls").c_str());

  EXPECT_EQ(window.run("x = outputType(1)"), 82);
}

TEST(RedirectedRun, ScriptsChooseTheirFormatByOutputType) {
  // What a report script does: text tables in the window, real ones in files.
  const char* script =
      "if outputType() == 0\n  printf(\"plain\\n\")\nelse\n  print(1, [\"a\"], [\"x\"])\nend";
  ScriptRun s;
  ASSERT_EQ(s.run(script), 0);
  EXPECT_EQ(s.window.shown, "plain\n");
  ASSERT_TRUE(s.redirect(true));
  ASSERT_EQ(s.run(script), 0);
  EXPECT_EQ(s.out.documents().counts.tables, 1);
}

TEST(RedirectedRun, EveryTableWrittenCountsAndIsShown) {
  ScriptRun s;
  EXPECT_EQ(s.out.documents().counts.tables, -1) << "no redirected run";
  ASSERT_EQ(s.run(kSmallTable), 0);
  EXPECT_EQ(s.out.documents().counts.tables, -1) << "window tables do not count";

  s.window.events.clear();
  ASSERT_TRUE(s.redirect(false));
  EXPECT_EQ(s.out.documents().counts.tables, 0);
  ASSERT_EQ(s.run(std::string("for i = 1:3\n  ") + kSmallTable + "\nend\nprint(zeros(0, 1))"), 0);
  EXPECT_EQ(s.run(std::string(kSmallTable) + "; print(1, [\"a\"; \"b\"])"), 70);
  EXPECT_EQ(s.out.documents().counts.tables, 4);

  ASSERT_TRUE(SaveRedirectDocument(s.out, ::testing::TempDir() + "vop_counts.rtf"));
  EXPECT_EQ(s.out.documents().counts.tables, -1);
  // The window hears of every change: armed, four tables, saved.
  std::vector<CountsUpdate> shown;
  for (const OutputEvent& e : s.window.events)
    if (const auto* c = std::get_if<CountsUpdate>(&e)) shown.push_back(*c);
  EXPECT_EQ(shown, (std::vector<CountsUpdate>{{0, -1}, {1, -1}, {2, -1}, {3, -1}, {4, -1}, {-1, -1}}));
  std::remove((::testing::TempDir() + "vop_counts.rtf").c_str());
}

TEST(RedirectedRun, AnErrorReportGoesIntoTheFile) {
  for (bool html : {false, true}) {
    ScriptRun s;
    ASSERT_TRUE(s.redirect(html));
    EXPECT_EQ(s.run("heading(2, \"T\"); print(1, [1])"), 64);
    const std::string file = s.file();
    const size_t at = file.find("ERROR : ");
    ASSERT_NE(at, std::string::npos) << file;
    EXPECT_EQ(file.substr(0, html ? 3 : 1), html ? "<TA" : "{");
    if (!html) {
      EXPECT_EQ(file.substr(at - 16, 16), "{\\s0\\ql\\f0\\fs16 ");
    }
    EXPECT_EQ(s.window.shown, "");
  }
}

size_t count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(RedirectedRun, TheRtfDocumentWrapsTheRunsFragments) {
  ScriptRun s;
  ASSERT_TRUE(s.redirect(false));
  ASSERT_EQ(s.run(std::string("heading(1, \"Survey\"); ") + kSmallTable), 0);
  const std::string body = s.file();
  const std::string path = ::testing::TempDir() + "vop_run_doc.rtf";
  ASSERT_TRUE(SaveRedirectDocument(s.out, path));
  const std::string doc = slurp(path);
  std::remove(path.c_str());

  EXPECT_TRUE(doc.starts_with("{\\rtf1\\ansi\\ansicpg1252\n\n{\\fonttbl\n"));
  EXPECT_NE(doc.find("{\\colortbl;\n\\red255\\green255\\blue255;\n\\red128\\green128\\blue128;\n"
                     "\\red192\\green192\\blue192;\n\\red255\\green0\\blue0;\n}\n\n"),
            std::string::npos);
  EXPECT_NE(doc.find("{\\*\\userprops{\\propname xp}\\proptype30{\\staticval " + installation_id() +
                     "}}"),
            std::string::npos);
  EXPECT_TRUE(doc.ends_with("\\paperw16840\\paperh11907\\margl680\\margr680\\margt680\\margb680\n\n" +
                            body + "\n}"));
  EXPECT_TRUE(s.out.documents().rtf_colours.colours().empty()) << "emptied as written";
}

TEST(RedirectedRun, TheWorkbookDefinesEachClassOnce) {
  ScriptRun s;
  ASSERT_TRUE(s.redirect(true));
  // Two string tables with the same look, and a third of a new colour.
  const std::string table =
      "print([\"10%\" \"#5%\"], [\"all\"], [\"yes\" \"no\"], [], [255 255 255; 255 255 255])";
  ASSERT_EQ(s.run(table + "; " + table +
                  "; print([\"1\"], [\"a\"], [\"x\"], [], [65280 65280; 65280 65280])"),
            0);
  const std::string body = s.file();
  const std::string path = ::testing::TempDir() + "vop_run_book.xls";
  ASSERT_TRUE(SaveRedirectDocument(s.out, path));
  const std::string book = slurp(path);
  std::remove(path.c_str());

  EXPECT_TRUE(book.ends_with(body));
  EXPECT_NE(book.find("<o:Index>3</o:Index><o:RGB>#FF0000</o:RGB>"), std::string::npos);
  EXPECT_NE(book.find("<o:Index>4</o:Index><o:RGB>#00FF00</o:RGB>"), std::string::npos);
  // Every class a cell names is defined once, in increasing order.
  std::vector<long> classes;
  for (size_t at = body.find("class=x"); at != std::string::npos; at = body.find("class=x", at + 1))
    classes.push_back(std::stol(body.substr(at + 7)));
  ASSERT_FALSE(classes.empty());
  long previous = -1;
  for (size_t at = book.find("\n.x"); at != std::string::npos; at = book.find("\n.x", at + 1)) {
    const long x = std::stol(book.substr(at + 3));
    EXPECT_GT(x, previous);
    previous = x;
  }
  for (long x : classes) EXPECT_EQ(count(book, "\n.x" + std::to_string(x) + "\n"), 1u) << x;
}

}  // namespace
}  // namespace vop
