// The HTML table fragments, the palette and cell classes, and the
// Excel-HTML workbook, compared byte for byte.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "output/excel_html.h"
#include "output/excel_templates.h"
#include "output/html_table.h"
#include "table_helpers.h"

namespace vop {
namespace {

using test::nums;
using test::Redirected;
using test::strs;

constexpr double N = NAN;
constexpr double I = INFINITY;

// A scale line for a largest value of 12,345; "~" and "|" merges in both
// headings become COLSPAN and ROWSPAN; values print divided by the scale.
TEST(HtmlTable, NumericBodyWithScaleAndMergedHeadings) {
  Matrix d = nums(3, 3, {12345, -3.5, 0.00004, 1, 2, 3, -12345.67, 0, 7});
  Matrix rl = strs(3, 2, {"North", "City", "|", "Town", "Total", "~"});
  Matrix cl = strs(2, 3, {"Gender", "~", "Age", "M", "F", "|"});
  Redirected r(true);
  ASSERT_TRUE(r.armed);
  EXPECT_EQ(r.write({&d, &rl, &cl}), R"golden(1.0e+004 *

<TABLE class='mytable'>
<TR><TH scope='row' ROWSPAN=2 COLSPAN=2>&nbsp</TH><TH scope='col' ROWSPAN=1 COLSPAN=2>Gender</TH><TH scope='col' ROWSPAN=2 COLSPAN=1>Age</TH></TR>
<TR><TH scope='col'>M</TH><TH scope='col'>F</TH></TR><TR>
<TH scope='row' ROWSPAN=2 COLSPAN=1>North</TH><TH scope='row'>City</TH><TD>   1.2345</TD><TD>  -0.0004</TD><TD>   0.0000</TD></TR><TR>
<TH scope='row'>Town</TH><TD>   0.0001</TD><TD>   0.0002</TD><TD>   0.0003</TD></TR><TR>
<TH scope='row' ROWSPAN=1 COLSPAN=2>Total</TH><TD>  -1.2346</TD><TD>   0.0000</TD><TD>   0.0007</TD></TR></TABLE>)golden");
  EXPECT_EQ(r.out.documents().counts.tables, 1);
  EXPECT_EQ(r.out.documents().excel.widest, 5);
  // The numeric form names no colours.
  EXPECT_EQ(r.out.documents().excel.palette.size(), 3);
}

TEST(HtmlTable, NanAndInfinitiesNeedNoScale) {
  Matrix d = nums(2, 2, {N, I, -I, N});
  Redirected r(true);
  EXPECT_EQ(r.write({&d}), R"golden(
<TABLE class='mytable'><TR>
<TD>NaN</TD><TD>Inf</TD></TR><TR>
<TD>-Inf</TD><TD>NaN</TD></TR></TABLE>)golden");
  Matrix all_nan = nums(1, 2, {N, N});
  Redirected r2(true);
  EXPECT_EQ(r2.write({&all_nan}), "\n<TABLE class='mytable'><TR>\n<TD>NaN</TD><TD>NaN</TD></TR></TABLE>");
}

TEST(HtmlTable, SmallValuesScaleDown) {
  Matrix d = nums(1, 2, {0.00002, -0.00001});
  Redirected r(true);
  EXPECT_EQ(r.write({&d}),
            "1.0e-005 *\n\n<TABLE class='mytable'><TR>\n<TD>   2.0000</TD><TD>  -1.0000</TD></TR></TABLE>");
}

// Classes from borders (first and last grid row and column thick, values
// elsewhere, 9 outside the codes read as thin) and palette positions of the
// colours; a merged cell takes the far borders of its span.
TEST(HtmlTable, StringBodyWithClassesSpansAndPalette) {
  Matrix d = strs(2, 3, {"1.5", "~", "|", nullptr, "2", "3"});
  Matrix rl = strs(2, 1, {"Men", "|"});
  Matrix cl = strs(2, 3, {"All", "~", "~", "a", "b", "c"});
  Matrix tc = nums(4, 4, {N, 255, N, N,  N, N, N, N,  N, N, 255, N,  N, N, N, N});
  Matrix bc = nums(4, 4, {N, N, N, N,  N, N, N, 65535,  N, N, N, N,  N, N, N, N});
  Matrix hb = nums(1, 5, {0, 3, N, 0, 1});
  Matrix vb = nums(1, 5, {3, 0, 2, 9, 0});
  Redirected r(true);
  EXPECT_EQ(r.write({&d, &rl, &cl, &tc, &bc, &hb, &vb}), R"golden(
<TABLE class='mytable'><THEAD>
<TR>
	<TD class=x577080></TD>
	<TD ROWSPAN=1 COLSPAN=3 class=x558267>All</TD></TR>

<TR>
	<TD class=x677432></TD>
	<TD class=x658616>a</TD>
	<TD class=x680568>b</TD>
	<TD class=x671328>c</TD></TR>
</THEAD>
<TBODY>
<TR><TD ROWSPAN=2 COLSPAN=1 class=x326200 style='text-align:left'>Men</TD>
	<TD ROWSPAN=1 COLSPAN=2 class=x203896>1.5</TD>
	<TD class=x219576></TD></TR>
<TR>
	<TD class=x106680></TD>
	<TD class=x128632>2</TD>
	<TD class=x119224>3</TD></TR><TR></TR></TBODY></TABLE>
)golden");
  const ExcelStyles& st = r.out.documents().excel;
  ASSERT_EQ(st.palette.size(), 5);
  EXPECT_EQ(st.palette.at(3), 255u);
  EXPECT_EQ(st.palette.at(4), 65535u);
  EXPECT_TRUE(st.classes.used(577080));  // corner: 2, 3, 2, 0; white on black text
  EXPECT_EQ(CellClass::from_number(671328).number(), 671328);
  const CellClass c = CellClass::from_number(671328);  // "c": yellow background
  EXPECT_EQ((std::array{c.top, c.bottom, c.left, c.right, c.background, c.text}),
            (std::array{3, 1, 1, 2, 4, 0}));
}

TEST(HtmlTable, WithoutBorderPartsEveryLineIsThin) {
  Matrix d = strs(1, 1, {"x"});
  Redirected r(true);
  // ((((1*4+1)*4+1)*4+1)*56+1)*56+0
  EXPECT_EQ(r.write({&d}),
            "\n<TABLE class='mytable'><THEAD></THEAD>\n<TBODY>\n<TR>\n\t<TD class=x266616>x</TD></TR>"
            "<TR></TR></TBODY></TABLE>\n");
}

TEST(HtmlTable, ZeroDataRowsWriteTheEmptyMark) {
  Matrix d = Matrix::strings(0, 2);
  Redirected r(true);
  EXPECT_EQ(r.write({&d}), "[]\n");
  EXPECT_EQ(r.out.documents().counts.tables, 0);
}

TEST(Palette, SeededAndFullAtFiftySixColours) {
  Palette p;
  EXPECT_EQ(p.lookup(kBlack), 0);
  EXPECT_EQ(p.lookup(kWhite), 1);
  EXPECT_EQ(p.lookup(11382189), 2);
  for (Colour c = 1; c <= 53; ++c) EXPECT_EQ(p.lookup(c), int(c) + 2);
  EXPECT_EQ(p.size(), 56);
  EXPECT_EQ(p.lookup(54), 0);  // the 57th colour
  EXPECT_EQ(p.lookup(53), 55);
}

TEST(ScaleLine, ExponentHasThreeDigits) {
  EXPECT_EQ(format_scale(1e4), "1.0e+004");
  EXPECT_EQ(format_scale(1e-5), "1.0e-005");
  EXPECT_EQ(format_scale(1e300), "1.0e+300");
}

std::string read_file(std::FILE* f) {
  std::rewind(f);
  std::string s;
  char buf[512];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) s.append(buf, n);
  return s;
}

std::string workbook(Redirected& r) {
  std::FILE* target = std::tmpfile();
  EXPECT_NE(target, nullptr);
  if (!target) return {};
  EXPECT_TRUE(WriteExcelHtmlDocument(target, *r.out.redirect(), r.out.documents().excel, "ID-2"));
  std::string s = read_file(target);
  std::fclose(target);
  return s;
}

// Two tables with the same cell styles: each class block once, in
// increasing number, between the fixed styles and the sheet settings.
TEST(ExcelHtml, WorkbookPiecesPaletteAndClassBlocks) {
  Redirected r(true);
  Matrix d = strs(1, 2, {"a", "b"});
  Matrix none;
  Matrix tc = nums(1, 2, {N, 255});
  r.write({&d, &none, &none, &tc});
  r.write({&d, &none, &none, &tc});
  r.out.WriteHeading("Base", 5);
  const std::string body = r.out.redirect()->contents();
  const std::string doc = workbook(r);

  // ((((1*4+1)*4+1)*4+1)*56+1)*56 + text: black (0) and red (3).
  const std::string blocks =
      ".x266616\n\t{mso-style-parent:style0;\n"
      "\tborder-top:.5pt solid #ADADAD;\n\tborder-bottom:.5pt solid #ADADAD;\n"
      "\tborder-left:.5pt solid #ADADAD;\n\tborder-right:.5pt solid #ADADAD;\n"
      "\tbackground:#FFFFFF;\n\tcolor:#000000;\n\ttext-align:center;\n\tmso-pattern:auto none;}\n"
      ".x266619\n\t{mso-style-parent:style0;\n"
      "\tborder-top:.5pt solid #ADADAD;\n\tborder-bottom:.5pt solid #ADADAD;\n"
      "\tborder-left:.5pt solid #ADADAD;\n\tborder-right:.5pt solid #ADADAD;\n"
      "\tbackground:#FFFFFF;\n\tcolor:#FF0000;\n\ttext-align:center;\n\tmso-pattern:auto none;}\n";
  const std::string colours =
      "</o:xp></o:CustomDocumentProperties><o:OfficeDocumentSettings><o:Colors>"
      "<o:Color><o:Index>0</o:Index><o:RGB>#000000</o:RGB></o:Color>\n"
      "<o:Color><o:Index>1</o:Index><o:RGB>#FFFFFF</o:RGB></o:Color>\n"
      "<o:Color><o:Index>2</o:Index><o:RGB>#ADADAD</o:RGB></o:Color>\n"
      "<o:Color><o:Index>3</o:Index><o:RGB>#FF0000</o:RGB></o:Color>\n";
  EXPECT_EQ(doc, std::string(excel_template_head()) + "ID-2" + colours +
                     std::string(excel_template_styles()) + blocks +
                     std::string(excel_template_sheet()) + body);
}

// The head declares UTF-8, and the body is well-formed UTF-8: texts stay
// as they are, a stray byte becomes its windows-1252 character.
TEST(ExcelHtml, WorkbookTextsAreUtf8) {
  Redirected r(true);
  std::string text;
  for (int k = 0; k < 100; ++k) text += "ab\xE2\x82\xAC\xF0\x9F\x98\x80\xC3\xA9";  // € U+1F600 é
  r.out.WriteText(text);
  r.out.WriteHeading("Caf\xE9 \x80", 5);
  const std::string doc = workbook(r);
  EXPECT_NE(std::string(excel_template_head()).find("charset=utf-8"), std::string::npos);
  EXPECT_TRUE(doc.ends_with(text + "<TABLE><TR><TD class=baza>Caf\xC3\xA9 \xE2\x82\xAC</TD></TR></TABLE>\n"))
      << doc.substr(doc.size() - 100);
}

TEST(ExcelHtml, TemplatePiecesUseCrLfAndCarryTheirValues) {
  for (std::string_view piece : {excel_template_head(), excel_template_styles(), excel_template_sheet()}) {
    for (size_t i = 0; i < piece.size(); ++i)
      if (piece[i] == '\n') {
        ASSERT_TRUE(i > 0 && piece[i - 1] == '\r');
      }
  }
  const std::string head(excel_template_head());
  for (const char* v : {"text/html; charset=utf-8", "Excel.Sheet", "Microsoft Excel 11",
                        "Vop_files/filelist.xml", "Vop_files/editdata.mso", "Vop_files/oledata.mso",
                        "<o:Author>Lorvan</o:Author>", "2004-12-19T02:05:34Z", "2007-07-24T07:48:54Z",
                        "<o:Company>VOP</o:Company>", "<o:Version>11.5606</o:Version>"})
    EXPECT_NE(head.find(v), std::string::npos) << v;
  EXPECT_TRUE(head.ends_with("<o:xp dt:dt=\"string\">"));
  const std::string styles(excel_template_styles());
  for (const char* v : {"</o:Colors>", "\"\\.\"", "\"\\,\"", ".h1", "#003366", "16.0pt", ".baza", "#009999"})
    EXPECT_NE(styles.find(v), std::string::npos) << v;
  const std::string sheet(excel_template_sheet());
  for (const char* v : {"VSheet1", "<x:PaperSizeIndex>9</x:PaperSizeIndex>", "<x:Zoom>85</x:Zoom>",
                        "<x:WindowHeight>9615</x:WindowHeight>", "#FFB23A", "#505E66"})
    EXPECT_NE(sheet.find(v), std::string::npos) << v;
  EXPECT_TRUE(sheet.ends_with("vlink=\"#505E66\">\r\n"));
}

TEST(ExcelHtml, ArmingStartsTheStylesAfresh) {
  OutputStream out;
  ASSERT_TRUE(out.arm_redirect(true));
  ExcelStyles& st = out.documents().excel;
  st.palette.lookup(255);
  st.classes.mark(5);
  st.widest = 9;
  ASSERT_TRUE(out.arm_redirect(true));
  EXPECT_EQ(st.palette.size(), 3);
  EXPECT_FALSE(st.classes.used(5));
  EXPECT_EQ(st.widest, 0);
}

}  // namespace
}  // namespace vop
