// The RTF table fragment and the RTF document, compared byte for byte.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "output/rtf_document.h"
#include "output/run_counts.h"
#include "table_helpers.h"

namespace vop {
namespace {

using test::nums;
using test::Redirected;
using test::strs;

constexpr double N = NAN;

const char* const kRowOpen =
    "{\\trowd\\trqc\\trftsWidth1\\trautofit1\\trpaddl108\\trpaddr108\\trpaddfl3\\trpaddft3"
    "\\trpaddfb3\\trpaddfr3\n\n";

// One heading level, numeric body, default borders: the heading row is the
// last one (height, left-aligned vertical text) and the first (bold).
TEST(RtfTable, OneHeadingLevelWithDefaultBorders) {
  Matrix d = nums(1, 2, {3.14159, -2.5});
  Matrix rl = strs(1, 1, {"Men"});
  Matrix cl = strs(1, 2, {"Yes", "No"});
  Redirected r(false);
  ASSERT_TRUE(r.armed);
  const std::string thick_t = "\\clbrdrt\\brdrs\\brdrw15\\brdrcf2\n";
  const std::string thin_t = "\\clbrdrt\\brdrs\\brdrw10\\brdrcf3\n";
  const std::string thick_b = "\\clbrdrb\\brdrs\\brdrw15\\brdrcf2\n";
  const std::string thin_b = "\\clbrdrb\\brdrs\\brdrw10\\brdrcf3\n";
  const std::string thick_l = "\\clbrdrl\\brdrs\\brdrw15\\brdrcf2\n";
  const std::string thin_l = "\\clbrdrl\\brdrs\\brdrw10\\brdrcf3\n";
  const std::string thick_r = "\\clbrdrr\\brdrs\\brdrw15\\brdrcf2\n";
  const std::string thin_r = "\\clbrdrr\\brdrs\\brdrw10\\brdrcf3\n";
  const std::string expected =
      kRowOpen + std::string("\\trrh1000\\trpaddb108\n") +
      "\\clvertalc\n" + thick_t + thin_b + thick_l + thin_r + "\\cltxlrtb\\clftsWidth3\\cellx500\n\n" +
      "\\clvertalc\n" + thick_t + thin_b + thin_l + thin_r + "\\cltxbtlr\\clftsWidth3\\cellx1000\n\n" +
      "\\clvertalc\n" + thick_t + thin_b + thin_l + thick_r + "\\cltxbtlr\\clftsWidth3\\cellx1500\n\n" +
      "\\intbl{\\s0\\f0\\fs16\\ql\\b\n{\\cell Yes\\cell No\\cell}}\\row}\n\n" +
      kRowOpen +
      "\\clvertalc\n" + thin_t + thick_b + thick_l + thin_r + "\\cltxlrtb\\clftsWidth3\\cellx500\n\n" +
      "\\clvertalc\n" + thin_t + thick_b + thin_l + thin_r + "\\cltxlrtb\\clftsWidth3\\cellx1000\n\n" +
      "\\clvertalc\n" + thin_t + thick_b + thin_l + thick_r + "\\cltxlrtb\\clftsWidth3\\cellx1500\n\n" +
      "\\intbl{\\s0\\qc\\f0\\fs16\n{\\ql Men\\cell}{3.14\\cell}{-2.50\\cell}}\\row}\n\n";
  EXPECT_EQ(r.write({&d, &rl, &cl}), expected);
  EXPECT_EQ(r.err.code(), 0);
  // A table without colours leaves white, grey and light grey, in order.
  EXPECT_EQ(r.out.documents().rtf_colours.colours(),
            (std::vector<Colour>{16777215, 8421504, 12632256}));
  EXPECT_EQ(r.out.documents().counts.tables, 1);
}

// Two heading levels with "~" and "|" in both headings, text and
// background colours, borders by code (0 none, 3 double, 7 nothing, NaN
// default), "#" marks, and "|", "~" and absent cells in a string body.
TEST(RtfTable, TwoLevelsMergesColoursBordersAndMarks) {
  Matrix d = strs(3, 3, {"##5", "12", "|", "7", "~", "#x", nullptr, "1", "2"});
  Matrix rl = strs(3, 2, {"North", "City", "|", "Town", "Total", "~"});
  Matrix cl = strs(2, 3, {"Gender", "~", "Age", "M", "F", "|"});
  Matrix tc = nums(5, 5, {N, N, 255, N, N,  N, N, N, N, N,  65280, N, 16711680, N, N,
                          N, N, N, N, N,  N, N, N, N, N});
  Matrix bc = nums(5, 5, {N, N, N, N, N,  N, N, N, 65535, N,  N, N, 13421772, N, N,
                          N, N, N, N, N,  N, N, N, N, N});
  Matrix hb = nums(1, 6, {N, 3, 0, 1, 2, 7});  // a row ...
  Matrix vb = nums(6, 1, {0, 2, N, 1, 1, 3});  // ... and a column: only the count matters
  Redirected r(false);
  EXPECT_EQ(r.write({&d, &rl, &cl, &tc, &bc, &hb, &vb}), R"golden({\trowd\trqc\trftsWidth1\trautofit1\trpaddl108\trpaddr108\trpaddfl3\trpaddft3\trpaddfb3\trpaddfr3

\clvertalc
\clbrdrt\brdrs\brdrw15\brdrcf2
\clbrdrb\brdrdb\brdrw10\brdrcf3

\clbrdrr\brdrs\brdrw15\brdrcf2
\cltxlrtb\clftsWidth3\cellx500

\clvertalc
\clbrdrt\brdrs\brdrw15\brdrcf2
\clbrdrb\brdrdb\brdrw10\brdrcf3
\clbrdrl\brdrs\brdrw15\brdrcf2
\clbrdrr\brdrs\brdrw10\brdrcf3
\cltxlrtb\clftsWidth3\cellx1000

\clvertalc
\clbrdrt\brdrs\brdrw15\brdrcf2
\clbrdrb\brdrdb\brdrw10\brdrcf3
\clbrdrl\brdrs\brdrw10\brdrcf3
\clbrdrr\brdrs\brdrw10\brdrcf3
\cltxlrtb\clftsWidth3\cellx2000

\clvertalc
\clbrdrt\brdrs\brdrw15\brdrcf2
\clbrdrb\brdrdb\brdrw10\brdrcf3
\clbrdrl\brdrs\brdrw10\brdrcf3
\clbrdrr\brdrdb\brdrw10\brdrcf3
\cltxlrtb\clvmgf\clftsWidth3\cellx2500

\intbl{\s0\f0\fs16\qc\b
{\cell\cell{\cf4 Gender\cell} Age\cell}}\row}

{\trowd\trqc\trftsWidth1\trautofit1\trpaddl108\trpaddr108\trpaddfl3\trpaddft3\trpaddfb3\trpaddfr3

\trrh1000\trpaddb108
\clvertalc
\clbrdrt\brdrdb\brdrw10\brdrcf3


\clbrdrr\brdrs\brdrw15\brdrcf2
\cltxlrtb\clftsWidth3\cellx500

\clvertalc
\clbrdrt\brdrdb\brdrw10\brdrcf3

\clbrdrl\brdrs\brdrw15\brdrcf2
\clbrdrr\brdrs\brdrw10\brdrcf3
\cltxlrtb\clftsWidth3\cellx1000

\clvertalc
\clbrdrt\brdrdb\brdrw10\brdrcf3

\clbrdrl\brdrs\brdrw10\brdrcf3
\clbrdrr\brdrs\brdrw10\brdrcf3
\cltxbtlr\clftsWidth3\cellx1500

\clvertalc
\clbrdrt\brdrdb\brdrw10\brdrcf3

\clbrdrl\brdrs\brdrw10\brdrcf3
\clbrdrr\brdrs\brdrw10\brdrcf3
\cltxbtlr\clcbpat5\clcbpatraw5\clftsWidth3\cellx2000

\clvertalc
\clbrdrt\brdrdb\brdrw10\brdrcf3

\clbrdrl\brdrs\brdrw10\brdrcf3
\clbrdrr\brdrdb\brdrw10\brdrcf3
\cltxbtlr\clvmrg\clftsWidth3\cellx2500

\intbl{\s0\f0\fs16\ql
{\cell\cell M\cell F\cell\cell}}\row}

{\trowd\trqc\trftsWidth1\trautofit1\trpaddl108\trpaddr108\trpaddfl3\trpaddft3\trpaddfb3\trpaddfr3

\clvertalc

\clbrdrb\brdrs\brdrw10\brdrcf3

\clbrdrr\brdrs\brdrw15\brdrcf2
\cltxlrtb\clvmgf\clftsWidth3\cellx500

\clvertalc

\clbrdrb\brdrs\brdrw10\brdrcf3
\clbrdrl\brdrs\brdrw15\brdrcf2
\clbrdrr\brdrs\brdrw10\brdrcf3
\cltxlrtb\clftsWidth3\cellx1000

\clvertalc

\clbrdrb\brdrs\brdrw10\brdrcf3
\clbrdrl\brdrs\brdrw10\brdrcf3
\clbrdrr\brdrs\brdrw10\brdrcf3
\cltxlrtb\clftsWidth3\clcbpat6\clcbpatraw6\cellx1500

\clvertalc

\clbrdrb\brdrs\brdrw10\brdrcf3
\clbrdrl\brdrs\brdrw10\brdrcf3
\clbrdrr\brdrs\brdrw10\brdrcf3
\cltxlrtb\clftsWidth3\cellx2000

\clvertalc

\clbrdrb\brdrs\brdrw10\brdrcf3
\clbrdrl\brdrs\brdrw10\brdrcf3
\clbrdrr\brdrdb\brdrw10\brdrcf3
\cltxlrtb\clftsWidth3\cellx2500

\intbl{\s0\qc\f0\fs16
{\ql\cf7 North\cell}{\ql City\cell}{\cf6 00}{\cf8 5\cell}{12\cell}\cell}\row}

{\trowd\trqc\trftsWidth1\trautofit1\trpaddl108\trpaddr108\trpaddfl3\trpaddft3\trpaddfb3\trpaddfr3

\clvertalc
\clbrdrt\brdrs\brdrw10\brdrcf3
\clbrdrb\brdrs\brdrw15\brdrcf2

\clbrdrr\brdrs\brdrw15\brdrcf2
\cltxlrtb\clvmrg\clftsWidth3\cellx500

\clvertalc
\clbrdrt\brdrs\brdrw10\brdrcf3
\clbrdrb\brdrs\brdrw15\brdrcf2
\clbrdrl\brdrs\brdrw15\brdrcf2
\clbrdrr\brdrs\brdrw10\brdrcf3
\cltxlrtb\clftsWidth3\cellx1000

\clvertalc
\clbrdrt\brdrs\brdrw10\brdrcf3
\clbrdrb\brdrs\brdrw15\brdrcf2
\clbrdrl\brdrs\brdrw10\brdrcf3
\clbrdrr\brdrs\brdrw10\brdrcf3
\cltxlrtb\clftsWidth3\cellx1500

\clvertalc
\clbrdrt\brdrs\brdrw10\brdrcf3
\clbrdrb\brdrs\brdrw15\brdrcf2
\clbrdrl\brdrs\brdrw10\brdrcf3
\clbrdrr\brdrs\brdrw10\brdrcf3
\cltxlrtb\clftsWidth3\cellx2000

\clvertalc
\clbrdrt\brdrs\brdrw10\brdrcf3
\clbrdrb\brdrs\brdrw15\brdrcf2
\clbrdrl\brdrs\brdrw10\brdrcf3
\clbrdrr\brdrdb\brdrw10\brdrcf3
\cltxlrtb\clftsWidth3\cellx2500

\intbl{\s0\qc\f0\fs16
{\ql |\cell}{\ql Town\cell}{7\cell}\cell{\cf1 0}{x\cell}}\row}

{\trowd\trqc\trftsWidth1\trautofit1\trpaddl108\trpaddr108\trpaddfl3\trpaddft3\trpaddfb3\trpaddfr3

\clvertalc
\clbrdrt\brdrs\brdrw15\brdrcf2

\clbrdrr\brdrs\brdrw10\brdrcf3
\cltxlrtb\clftsWidth3\cellx1000

\clvertalc
\clbrdrt\brdrs\brdrw15\brdrcf2
\clbrdrl\brdrs\brdrw10\brdrcf3
\clbrdrr\brdrs\brdrw10\brdrcf3
\cltxlrtb\clftsWidth3\cellx1500

\clvertalc
\clbrdrt\brdrs\brdrw15\brdrcf2
\clbrdrl\brdrs\brdrw10\brdrcf3
\clbrdrr\brdrs\brdrw10\brdrcf3
\cltxlrtb\clftsWidth3\cellx2000

\clvertalc
\clbrdrt\brdrs\brdrw15\brdrcf2
\clbrdrl\brdrs\brdrw10\brdrcf3
\clbrdrr\brdrdb\brdrw10\brdrcf3
\cltxlrtb\clftsWidth3\cellx2500

\intbl{\s0\qc\f0\fs16
{\ql Total\cell}{\cell}{1\cell}{2\cell}}\row}

)golden");
  // Colour numbers follow first use; the marks of "#x" use white.
  EXPECT_EQ(r.out.documents().rtf_colours.colours(),
            (std::vector<Colour>{16777215, 8421504, 12632256, 255, 65535, 13421772, 65280,
                                 16711680}));
}

TEST(RtfTable, ZeroDataRowsPrintTheEmptyMarkAndDoNotCount) {
  Matrix d = Matrix::numbers(0, 3);
  Matrix none;
  Matrix cl = strs(1, 3, {"a", "b", "c"});
  Redirected r(false);
  EXPECT_EQ(r.write({&d, &none, &cl}), "{\\s0\\ql\\f0\\fs16 []\n\\par}\n");
  EXPECT_EQ(r.out.documents().counts.tables, 0);
  EXPECT_EQ(r.out.documents().rtf_colours.colours().size(), 3u);  // border colours named
}

TEST(RtfTable, HeadingMergedByTildeIsOneWiderCell) {
  Matrix d = nums(1, 3, {1, 2, 3});
  Matrix none;
  Matrix cl = strs(1, 3, {"A", "~", "B"});
  Redirected r(false);
  const std::string s = r.write({&d, &none, &cl});
  EXPECT_NE(s.find("\\cltxbtlr\\clftsWidth3\\cellx1000\n\n"), std::string::npos);
  EXPECT_EQ(s.find("\\cellx500\n\n\\intbl"), std::string::npos);  // no cell for "~"
  EXPECT_NE(s.find("\n{ A\\cell B\\cell}}"), std::string::npos);
}

std::string read_file(std::FILE* f) {
  std::rewind(f);
  std::string s;
  char buf[512];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) s.append(buf, n);
  return s;
}

TEST(RtfDocument, HeadColourTableStylesIdentifierPageBodyAndTail) {
  Redirected r(false);
  Matrix d = nums(1, 1, {1});
  Matrix tc = nums(1, 1, {255});
  Matrix none;  // empty headings: given, but no heading rows or columns
  r.write({&d, &none, &none, &tc});
  r.out.WriteText("after");
  const std::string body = r.out.redirect()->contents();
  ASSERT_GT(body.size(), 290u);  // more than one copy block

  std::FILE* target = std::tmpfile();
  ASSERT_NE(target, nullptr);
  RtfColourTable& colours = r.out.documents().rtf_colours;
  ASSERT_TRUE(WriteRtfDocument(target, *r.out.redirect(), colours, "ID-1"));
  const std::string doc = read_file(target);
  std::fclose(target);

  const std::string head =
      "{\\rtf1\\ansi\\ansicpg1252\n\n"
      "{\\fonttbl\n{\\f0\\fswiss\\fcharset238\\fprq2 Arial CE;}\n"
      "{\\f1\\fswiss\\fcharset0\\fprq2 BankGothic Md BT;}}\n\n"
      "{\\colortbl;\n\\red255\\green255\\blue255;\n\\red128\\green128\\blue128;\n"
      "\\red192\\green192\\blue192;\n\\red255\\green0\\blue0;\n}\n\n"
      "{\\stylesheet\n{\\s0\\ql\\f0\\fs16 Normal;}\n"
      "{\\s1\\qc\\keepn\\b\\f0\\fs36\\scaps heading 1;}\n"
      "{\\s2\\ql\\keepn\\b\\f0\\fs30 heading 2;}\n"
      "{\\s3\\qc\\sa180\\keepn\\pagebb\\b\\scaps\\f0\\fs26 heading 3;}\n"
      "{\\s4\\qc\\sa180\\keepn\\pagebb\\b\\scaps\\f0\\fs26 heading 4;}\n"
      "{\\s5\\qc\\f0\\fs20\\ Baza;}\n}\n\n"
      "{\\info {\\*\\company VOP}}\n"
      "{\\*\\userprops{\\propname xp}\\proptype30{\\staticval ID-1}}"
      "\\paperw16840\\paperh11907\\margl680\\margr680\\margt680\\margb680\n\n";
  EXPECT_EQ(doc, head + body + "\n}");
  EXPECT_TRUE(colours.colours().empty());  // consumed by the head
  // The body file stays usable: the run's file is closed by the caller.
  EXPECT_EQ(r.out.redirect()->contents(), body);
}

// The body's texts are UTF-8; the document carries every other character
// as a Unicode control word, also where a character is cut by the blocks
// the body is copied in, and a stray byte as its windows-1252 character.
TEST(RtfDocument, TextsThatAreNotAsciiBecomeUnicodeControlWords) {
  Redirected r(false);
  std::string text;
  for (int k = 0; k < 100; ++k) text += "ab\xE2\x82\xAC\xF0\x9F\x98\x80\xC3\xA9";  // € U+1F600 é
  r.out.WriteText(text + "\xE2\x82");
  r.out.WriteHeading("Caf\xE9", 5);
  const std::string body = r.out.redirect()->contents();

  std::FILE* target = std::tmpfile();
  ASSERT_NE(target, nullptr);
  ASSERT_TRUE(WriteRtfDocument(target, *r.out.redirect(), r.out.documents().rtf_colours, "ID-1"));
  const std::string doc = read_file(target);
  std::fclose(target);

  std::string want = "{\\s0\\ql\\f0\\fs16 ";
  for (int k = 0; k < 100; ++k) want += "ab\\u8364?\\u-10179?\\u-8704?\\u233?";
  want += "\\u226?\\u8218?\\par}\n{\\s5\\qc\\f0\\fs20 Caf\\u233?\\par}\n\n}";
  EXPECT_TRUE(doc.ends_with("\\margb680\n\n" + want)) << doc.substr(doc.find("\\margb680"));
  for (unsigned char c : doc) ASSERT_LT(c, 0x80);
}

TEST(RtfDocument, ColourTableOfAFreshRedirectHoldsWhite) {
  RtfColourTable t;
  EXPECT_EQ(t.lookup(kWhite), 1);
  EXPECT_EQ(t.lookup(255), 2);
  EXPECT_EQ(t.lookup(255), 2);
  EXPECT_EQ(t.take_group(), "{\\colortbl;\n\\red255\\green255\\blue255;\n\\red255\\green0\\blue0;\n}\n\n");
  EXPECT_EQ(t.take_group(), "{\\colortbl;\n}\n\n");
}

TEST(RunCounts, IdentifierIsShortAndStable) {
  const std::string& id = installation_id();
  EXPECT_FALSE(id.empty());
  EXPECT_LT(id.size(), 40u);
  EXPECT_EQ(&id, &installation_id());
}

}  // namespace
}  // namespace vop
