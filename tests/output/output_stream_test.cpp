#include "output/output_stream.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vop {
namespace {

class Redirected : public ::testing::TestWithParam<bool> {};

std::string run_ops(bool html) {
  OutputStream out;
  RecordingConsumer window;
  out.set_consumer(&window);
  EXPECT_TRUE(out.open_redirect(html));
  out.WriteText("a\nb");
  out.WriteLine("line");
  for (int level : {1, 2, 3, 4, 5, 7}) out.WriteHeading("H", level);
  out.WriteErrorLine("ERROR : x");
  std::string s = out.redirect()->contents();
  EXPECT_EQ(window.shown, "");  // nothing reaches the window while redirected
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

// The rich-text control of an output window as the desktop program drives
// it from the stream: text runs are appended and formatted by their kind.
// It records what the control is asked to do.
struct RichTextWindow : OutputConsumer {
  struct Format {
    long start = -1, end = -1;  // -1, -1: the default format of the whole control
    CharFormat chars;            // the character format applied
    std::optional<ParaFormat> para;  // the paragraph format, for headings
  };
  void consume(OutputEvent&& e) override {
    const auto* run = std::get_if<TextRun>(&e);
    if (!run) return;
    if (text.empty()) formats.push_back({-1, -1, OutputStream::default_format(), {}});
    const long start = long(text.size());
    text += run->text;
    if (run->format == TextFormat::Plain) return;
    formats.push_back({start, long(text.size()), OutputStream::char_format(run->format),
                       OutputStream::paragraph_format(run->format)});
    caret = run->format == TextFormat::NotWeightedNote ? -1 : start;  // -1: the end
  }
  std::string text;             // the control's text
  std::vector<Format> formats;  // every format request, in order
  long caret = -1;              // after the last formatted run; -1 = at the end
};

TEST(OutputStream, WindowDefaultFormatOnlyWhenEmpty) {
  OutputStream out;
  RichTextWindow w;
  out.set_consumer(&w);
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
  RichTextWindow w;
  out.set_consumer(&w);
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
  EXPECT_EQ(w.text, "abTitle\n");
  EXPECT_EQ(OutputStream::heading_format(5).weight, 300);
  EXPECT_EQ(OutputStream::heading_format(1).size_twips, 400);
  EXPECT_EQ(OutputStream::heading_paragraph(7), (ParaFormat{100, 40, 60}));
  // Levels outside 1..5 are shown as level 5.
  out.WriteHeading("Odd", 7);
  EXPECT_EQ(w.formats.back().chars, OutputStream::heading_format(5));
  EXPECT_EQ(*w.formats.back().para, OutputStream::heading_paragraph(5));

  const long before = long(w.text.size());
  out.WriteErrorLine("ERROR : Illegal Lvalue");
  const auto& e = w.formats.back();
  EXPECT_EQ(e.start, before);
  EXPECT_EQ(e.end, before + 8);
  EXPECT_EQ(e.chars, OutputStream::error_caption_format());
  EXPECT_EQ(e.chars.colour, (Rgb{193, 0, 0}));
  EXPECT_EQ(w.caret, before);
  EXPECT_EQ(w.text.substr(size_t(before)), "ERROR : Illegal Lvalue\n");

  const long note = long(w.text.size());
  out.WriteNotWeightedNote();
  EXPECT_EQ(w.text.substr(size_t(note)), "Data is not weighted.\n\n");
  EXPECT_EQ(w.formats.back().end - w.formats.back().start, 22);
  EXPECT_EQ(w.formats.back().chars, OutputStream::note_format());
  EXPECT_EQ(w.caret, -1);

  // A caption longer than the error line covers the line.
  out.WriteErrorLine("ERR");
  EXPECT_EQ(w.formats.back().end - w.formats.back().start, 4);
}

TEST(OutputStream, TheWindowGetsRunsInOrderWithTheirFormats) {
  OutputStream out;
  RecordingConsumer w;
  out.set_consumer(&w);
  out.WriteText("");  // nothing to send
  out.WriteHeading("T", 3);
  out.WriteLine("a");
  out.WriteErrorLine("ERROR : x");
  out.WriteNotWeightedNote();
  const std::vector<OutputEvent> expected = {
      TextRun{TextFormat::Heading3, "T"},
      TextRun{TextFormat::Plain, "\n"},
      TextRun{TextFormat::Plain, "a\n"},
      TextRun{TextFormat::ErrorCaption, "ERROR : "},
      TextRun{TextFormat::Plain, "x\n"},
      TextRun{TextFormat::NotWeightedNote, "Data is not weighted.\n"},
      TextRun{TextFormat::Plain, "\n"},
  };
  EXPECT_EQ(w.events, expected);
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

// A document attached during a redirected run sees the run's text and
// headings too (a native Office file is built from them); the window does not.
TEST(OutputStream, PrecedenceRedirectThenWordThenWindow) {
  OutputStream out;
  RecordingConsumer w;
  RecordingConsumer word;
  out.set_consumer(&w);
  out.WriteText("to window");
  out.attach_word(&word);
  out.WriteText("to word");
  out.WriteHeading("h", 1);
  EXPECT_EQ(word.shown, "to wordh\n");
  EXPECT_EQ(w.shown, "to window");
  ASSERT_TRUE(out.open_redirect(true));
  out.WriteText("to file");
  out.WriteHeading("k", 2);
  EXPECT_EQ(out.redirect()->contents(), "to file<TABLE><TR><TD class=h2>k</TD></TR></TABLE>\n");
  EXPECT_EQ(word.shown, "to wordh\nto filek\n");
  EXPECT_EQ(w.shown, "to window");
  out.attach_word(nullptr);
  out.WriteText("file only");
  EXPECT_EQ(word.shown, "to wordh\nto filek\n");
}

TEST(OutputStream, TheWordDocumentCountsTablesAndChartsAndTheWindowShowsTheCounts) {
  OutputStream out;
  RecordingConsumer window;
  RecordingConsumer word;
  out.set_consumer(&window);
  DocTable t;
  t.shape = {1, 1, 0, 0};
  t.numeric_body = true;
  t.cells = {DocCell(2.5)};
  out.WriteTableBlock(TableBlock{t, "2.5\n"});
  EXPECT_EQ(out.documents().counts.tables, -1) << "window tables do not count";

  out.attach_word(&word);
  out.WriteTableBlock(TableBlock{t, "2.5\n"});
  DocTable empty;
  empty.shape = {0, 2, 0, 0};
  out.WriteTableBlock(TableBlock{empty, "[]\n"});  // no table: the line "[]"
  ChartRequest chart;
  chart.kind = ChartKind::Pie;
  chart.table = t;
  out.WriteChart(chart);
  out.WriteChart(chart);
  out.finish_counts();

  ASSERT_EQ(word.events.size(), 4u);
  EXPECT_EQ(std::get<TableBlock>(word.events[0]).table, t);
  EXPECT_EQ(std::get<TextRun>(word.events[1]).text, "[]\n");
  EXPECT_EQ(std::get<ChartBlock>(word.events[2]).chart.number, 1);
  EXPECT_EQ(std::get<ChartBlock>(word.events[3]).chart.number, 2);
  EXPECT_EQ(std::get<ChartBlock>(word.events[3]).chart.kind, ChartKind::Pie);
  EXPECT_EQ(std::get<ChartBlock>(word.events[3]).chart.table, t);

  std::vector<OutputEvent> expected = {TableBlock{t, "2.5\n"}, CountsUpdate{0, 0},
                                       CountsUpdate{1, 0},    CountsUpdate{1, 1},
                                       CountsUpdate{1, 2},    CountsUpdate{-1, -1}};
  EXPECT_EQ(window.events, expected);
}

}  // namespace
}  // namespace vop
