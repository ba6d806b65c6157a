// OutputQueue: the hand-over of the output stream from the worker to the
// window's thread.
#include "output/output_queue.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace vop {
namespace {

TEST(OutputQueue, ABatchKeepsOrderAndFormatsAndMergesOnlyPlainText) {
  int wakes = 0;
  OutputQueue q([&] { ++wakes; });
  q.text(TextFormat::Plain, "a\n");
  q.text(TextFormat::Plain, "");  // nothing
  q.text(TextFormat::Plain, "b\n");
  q.text(TextFormat::Heading2, "T");
  q.text(TextFormat::Plain, "\n");
  q.text(TextFormat::ErrorCaption, "ERR\n");
  q.text(TextFormat::ErrorCaption, "ERR\n");  // each caption keeps its start
  q.consume(CountsUpdate{1, -1});
  q.consume(TextRun{TextFormat::Plain, "c"});
  q.text(TextFormat::Plain, "d");
  EXPECT_EQ(wakes, 1) << "one wake-up for the whole batch";
  const std::vector<OutputEvent> expected = {
      TextRun{TextFormat::Plain, "a\nb\n"},  TextRun{TextFormat::Heading2, "T"},
      TextRun{TextFormat::Plain, "\n"},      TextRun{TextFormat::ErrorCaption, "ERR\n"},
      TextRun{TextFormat::ErrorCaption, "ERR\n"}, CountsUpdate{1, -1},
      TextRun{TextFormat::Plain, "cd"},
  };
  EXPECT_EQ(q.drain(), expected);
  EXPECT_TRUE(q.drain().empty());
  // Emptied, the next event wakes the reader again.
  q.text(TextFormat::Plain, "e");
  EXPECT_EQ(wakes, 2);
  EXPECT_EQ(q.drain(), (std::vector<OutputEvent>{TextRun{TextFormat::Plain, "e"}}));
}

TEST(OutputQueue, ManyLinesFromAnotherThreadArriveWholeAndInOrder) {
  OutputQueue q;
  constexpr int kLines = 100000;
  std::thread writer([&] {
    std::string line;
    for (int i = 0; i < kLines; ++i) {
      line = std::to_string(i) + "\n";
      q.text(TextFormat::Plain, line);
      if (i % 10000 == 0) q.consume(CountsUpdate{i, -1});
    }
    q.close();
  });
  std::string text;
  std::vector<int> counts;
  size_t batches = 0;
  for (;;) {
    std::vector<OutputEvent> batch = q.wait_and_drain();
    if (batch.empty()) break;
    ++batches;
    for (OutputEvent& e : batch) {
      if (auto* run = std::get_if<TextRun>(&e)) text += run->text;
      else counts.push_back(std::get<CountsUpdate>(e).tables);
      // A count comes right after the line written before it.
      if (auto* c = std::get_if<CountsUpdate>(&e)) {
        EXPECT_TRUE(text.ends_with("\n" + std::to_string(c->tables) + "\n") ||
                    (c->tables == 0 && text == "0\n"));
      }
    }
  }
  writer.join();
  std::string expected;
  for (int i = 0; i < kLines; ++i) expected += std::to_string(i) + "\n";
  EXPECT_EQ(text, expected);
  EXPECT_EQ(counts.size(), size_t(kLines / 10000));
  EXPECT_GE(batches, 1u);
}

TEST(OutputQueue, AClosedEmptyQueueDoesNotBlock) {
  OutputQueue q;
  q.consume(CountsUpdate{-1, -1});
  q.close();
  EXPECT_EQ(q.wait_and_drain().size(), 1u);
  EXPECT_TRUE(q.wait_and_drain().empty());
}

}  // namespace
}  // namespace vop
