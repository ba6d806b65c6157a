#include "output/output_stream.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vop {
namespace {

class Redirected : public ::testing::TestWithParam<bool> {};

std::string run_ops(bool html) {
  OutputStream out;
  RecordingWindow window;
  out.set_window(&window);
  EXPECT_TRUE(out.open_redirect(html));
  out.WriteText("a\nb");
  out.WriteLine("line");
  for (int level : {1, 2, 3, 4, 5, 7}) out.WriteHeading("H", level);
  out.WriteErrorLine("ERROR : x");
  std::string s = out.redirect()->contents();
  EXPECT_EQ(window.text, "");  // nothing reaches the window while redirected
  return s;
}

TEST(OutputStream, RtfFragments) {
  EXPECT_EQ(run_ops(false),
            "{\\s0\\ql\\f0\\fs16 a\nb\\par}\n"
            "{\\s0\\ql\\f0\\fs16 line\n\\par}\n"
            "{\\s1\\qc\\keepn\\b\\f0\\fs36\\scaps H\\par}\n"
            "{\\s2\\ql\\keepn\\b\\f0\\fs30 H\\par}\n"
            "{\\s3\\qc\\sa180\\keepn\\pagebb\\b\\scaps\\f0\\fs26 H\\par}\n"
            "{\\s4\\qc\\sa180\\keepn\\pagebb\\b\\scaps\\f0\\fs26 H\\par}\n"
            "{\\s5\\qc\\f0\\fs20 H\\par}\n"
            "{\\s5\\qc\\f0\\fs20 H\\par}\n"
            "{\\s0\\ql\\f0\\fs16 ERROR : x\n\\par}\n");
}

TEST(OutputStream, HtmlFragments) {
  EXPECT_EQ(run_ops(true),
            "a\nb"
            "line\n"
            "<TABLE><TR><TD class=h1>H</TD></TR></TABLE>\n"
            "<TABLE><TR><TD class=h2>H</TD></TR></TABLE>\n"
            "<TABLE><TR><TD class=h3>H</TD></TR></TABLE>\n"
            "<TABLE><TR><TD class=h4>H</TD></TR></TABLE>\n"
            "<TABLE><TR><TD class=baza>H</TD></TR></TABLE>\n"
            "<TABLE><TR><TD>H</TD></TR></TABLE>\n"
            "ERROR : x\n");
}

TEST(OutputStream, RedirectFileIsATemporaryWithThePrefixAndGoesAway) {
  OutputStream out;
  ASSERT_TRUE(out.open_redirect(false));
  std::string path = out.redirect()->path();
  EXPECT_EQ(std::filesystem::path(path).filename().string().substr(0, 3), "vop");
  EXPECT_TRUE(std::filesystem::exists(path));
  out.close_redirect().reset();
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(OutputStream, WindowDefaultFormatOnlyWhenEmpty) {
  OutputStream out;
  RecordingWindow w;
  out.set_window(&w);
  out.WriteText("x");
  out.WriteLine("y");
  ASSERT_EQ(w.formats.size(), 1u);
  EXPECT_EQ(w.formats[0].start, -1);
  EXPECT_EQ(w.formats[0].chars, OutputStream::default_format());
  EXPECT_EQ(w.formats[0].chars.font, "Courier New");
  EXPECT_EQ(w.formats[0].chars.size_twips, 160);
  EXPECT_EQ(w.text, "xy\n");
}

TEST(OutputStream, WindowHeadingsErrorsAndNote) {
  OutputStream out;
  RecordingWindow w;
  out.set_window(&w);
  out.WriteText("ab");
  out.WriteHeading("Title", 2);
  ASSERT_EQ(w.formats.size(), 2u);
  const auto& h = w.formats[1];
  EXPECT_EQ(h.start, 2);
  EXPECT_EQ(h.end, 7);  // the heading without its paragraph mark
  EXPECT_EQ(h.chars.font, "Arial");
  EXPECT_EQ(h.chars.size_twips, 340);
  EXPECT_EQ(h.chars.weight, 800);
  ASSERT_TRUE(h.para);
  EXPECT_EQ(*h.para, (ParaFormat{100, 360, 120}));
  EXPECT_EQ(w.caret, 2);
  EXPECT_EQ(OutputStream::heading_format(5).weight, 300);
  EXPECT_EQ(OutputStream::heading_format(1).size_twips, 400);
  EXPECT_EQ(OutputStream::heading_paragraph(7), (ParaFormat{100, 40, 60}));

  const long before = long(w.text.size());
  out.WriteErrorLine("ERROR : Illegal Lvalue");
  const auto& e = w.formats.back();
  EXPECT_EQ(e.start, before);
  EXPECT_EQ(e.end, before + 8);
  EXPECT_EQ(e.chars, OutputStream::error_caption_format());
  EXPECT_EQ(e.chars.colour, (Rgb{193, 0, 0}));

  const long note = long(w.text.size());
  out.WriteNotWeightedNote();
  EXPECT_EQ(w.text.substr(size_t(note)), "Data is not weighted.\n\n");
  EXPECT_EQ(w.formats.back().end - w.formats.back().start, 22);
  EXPECT_EQ(w.formats.back().chars.weight, 800);
}

TEST(OutputStream, PasteToSyntaxCreatesAWindowWhenNoneIsDesignated) {
  OutputStream headless;
  headless.PasteToSyntax("a = 1;\n");
  EXPECT_EQ(headless.syntax_buffer().text, "a = 1;\n");

  OutputStream out;
  SyntaxBuffer made;
  int created = 0;
  out.set_syntax_factory([&]() -> SyntaxTarget* {
    ++created;
    return &made;
  });
  out.PasteToSyntax("x");
  out.PasteToSyntax("y");
  EXPECT_EQ(created, 1);
  EXPECT_EQ(made.text, "xy");
}

class FakeWord : public WordTarget {
 public:
  void write_text(std::string_view t) override { text += t; }
  bool write_heading(std::string_view, int) override { return false; }
  std::string text;
};

TEST(OutputStream, PrecedenceRedirectThenWordThenWindow) {
  OutputStream out;
  RecordingWindow w;
  FakeWord word;
  std::string problem;
  out.set_window(&w);
  out.attach_word(&word);
  out.set_problem_reporter([&](std::string_view p) { problem = p; });
  out.WriteText("to word");
  out.WriteNotWeightedNote();
  out.WriteHeading("h", 1);
  EXPECT_EQ(word.text, "to wordData is not weighted.");
  EXPECT_EQ(problem, "Vop is faceing problems, please restart program.");
  ASSERT_TRUE(out.open_redirect(true));
  out.WriteText("to file");
  EXPECT_EQ(out.redirect()->contents(), "to file");
  EXPECT_EQ(w.text, "");
}

}  // namespace
}  // namespace vop
