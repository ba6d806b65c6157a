// ConsoleOutput: the output window of the headless runner, a terminal.
// Text runs are written as they come, without their formats; a table shows
// as the window's text display shows it; the run's counts go to a progress
// line when that stream is a terminal.
#pragma once

#include <cstdio>
#include <string_view>

#include "document/output_event.h"

namespace vop {

class ConsoleOutput final : public OutputConsumer {
 public:
  // `progress` receives the counts line (nullptr: never shown).
  explicit ConsoleOutput(std::FILE* out, std::FILE* progress = nullptr)
      : out_(out), progress_(progress) {}

  void text(TextFormat format, std::string_view run) override;
  void consume(OutputEvent&& event) override;

 private:
  void show_counts(const CountsUpdate& counts);

  std::FILE* out_;       // the results; not owned
  std::FILE* progress_;  // the counts line; not owned, may be null
  CountsUpdate shown_;   // the counts the progress line shows now
};

}  // namespace vop
