// A script run on a worker thread while another thread shows its output,
// as the desktop program runs scripts: everything arrives, in order, with
// its formats, through the queue.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "output/output_queue.h"
#include "script_run.h"

namespace vop {
namespace {

using test::ScriptRun;

// Text, headings, a labelled table, a matrix display, and an error report
// at the end; long enough that the reader drains while it runs.
constexpr const char* kWindowRun =
    "heading(1, \"Survey\")\n"
    "for i = 1:2000\n  printf(\"line %d\\n\", i)\nend\n"
    "print([1 2; 3 4], [\"a\"; \"b\"], [\"x\" \"y\"])\n"
    "heading(5, \"Base: all\")\n"
    "print([5 6])\n"
    "x = undefined_name + 1";

// The runs of the session on `s`: one in the window, then one exported to
// a Word document (counted), then the end of counting.
void run_session(ScriptRun& s, RecordingConsumer& word) {
  s.run(kWindowRun);
  s.out.attach_word(&word);
  s.run("print([7 8], [\"r\"], [\"p\" \"q\"])");
  s.out.attach_word(nullptr);
  s.out.finish_counts();
}

// Consecutive plain runs merged, as the queue merges them.
std::vector<OutputEvent> merged(const std::vector<OutputEvent>& events) {
  std::vector<OutputEvent> out;
  for (const OutputEvent& e : events) {
    const auto* run = std::get_if<TextRun>(&e);
    TextRun* last = out.empty() ? nullptr : std::get_if<TextRun>(&out.back());
    if (run && last && run->format == TextFormat::Plain && last->format == TextFormat::Plain)
      last->text += run->text;
    else
      out.push_back(e);
  }
  return out;
}

TEST(ThreadedRun, TheWindowThreadGetsWhatTheRunWroteInOrder) {
  // The same session written straight into a recorder is the reference.
  ScriptRun direct;
  RecordingConsumer direct_word;
  run_session(direct, direct_word);

  ScriptRun s;
  OutputQueue queue;
  s.out.set_consumer(&queue);
  RecordingConsumer word;
  std::thread worker([&] {
    run_session(s, word);
    queue.close();
  });
  std::vector<OutputEvent> got;
  for (std::vector<OutputEvent> batch; !(batch = queue.wait_and_drain()).empty();)
    for (OutputEvent& e : batch) got.push_back(std::move(e));
  worker.join();

  const std::vector<OutputEvent> window = merged(got);
  EXPECT_EQ(window, merged(direct.window.events));
  EXPECT_EQ(word.events, direct_word.events);

  // What the window was told, by kind, in order.
  std::vector<std::string> kinds;
  for (const OutputEvent& e : window) {
    if (const auto* run = std::get_if<TextRun>(&e)) {
      switch (run->format) {
        case TextFormat::Plain: kinds.push_back("text"); break;
        case TextFormat::Heading1: kinds.push_back("heading 1 " + run->text); break;
        case TextFormat::Heading5: kinds.push_back("heading 5 " + run->text); break;
        case TextFormat::ErrorCaption: kinds.push_back("caption " + run->text); break;
        default: kinds.push_back("other"); break;
      }
    } else if (const auto* t = std::get_if<TableBlock>(&e)) {
      kinds.push_back("table " + std::to_string(t->table.rows()) + "x" + std::to_string(t->table.cols()));
    } else if (const auto* c = std::get_if<CountsUpdate>(&e)) {
      kinds.push_back("counts " + std::to_string(c->tables) + " " + std::to_string(c->charts));
    }
  }
  EXPECT_EQ(kinds, (std::vector<std::string>{"heading 1 Survey", "text", "table 2x2",
                                             "heading 5 Base: all", "text", "caption ERROR : ",
                                             "text", "counts 0 0", "counts 1 0",
                                             "counts -1 -1"}));
  const auto& lines = std::get<TextRun>(window[1]).text;
  EXPECT_TRUE(lines.starts_with("\nline 1\nline 2\n")) << lines.substr(0, 40);
  EXPECT_TRUE(lines.ends_with("line 2000\n"));
  const auto& table = std::get<TableBlock>(window[2]);
  EXPECT_EQ(table.plain_text, "\tx\ty\na\t1.000\t2.000\nb\t3.000\t4.000\n");
  EXPECT_EQ(table.table.col_label(0, 1), "y");
  // The Word document got the counted table as a block.
  ASSERT_EQ(word.events.size(), 1u);
  EXPECT_EQ(std::get<TableBlock>(word.events[0]).table.row_label(0, 0), "r");
}

}  // namespace
}  // namespace vop
