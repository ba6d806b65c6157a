#include "output/console_output.h"

#include <unistd.h>

namespace vop {

void ConsoleOutput::text(TextFormat, std::string_view run) {
  std::fwrite(run.data(), 1, run.size(), out_);
  // Flushed at once: output shows while a long run goes on, and in order
  // with what goes to the other streams.
  std::fflush(out_);
}

void ConsoleOutput::consume(OutputEvent&& event) {
  if (const auto* run = std::get_if<TextRun>(&event)) text(run->format, run->text);
  else if (const auto* table = std::get_if<TableBlock>(&event)) text(TextFormat::Plain, table->plain_text);
  else if (const auto* counts = std::get_if<CountsUpdate>(&event)) show_counts(*counts);
  // A terminal draws no charts.
}

void ConsoleOutput::show_counts(const CountsUpdate& counts) {
  const CountsUpdate before = shown_;
  shown_ = counts;
  if (!progress_ || !::isatty(::fileno(progress_))) return;
  if (counts.tables > 0 && counts.tables != before.tables)
    std::fprintf(progress_, "\rtables written: %d ", counts.tables);
  if (counts.charts > 0 && counts.charts != before.charts)
    std::fprintf(progress_, "\rcharts written: %d ", counts.charts);
  std::fflush(progress_);
}

}  // namespace vop
