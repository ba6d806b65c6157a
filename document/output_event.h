// The stream of blocks that the output stream hands to an output window or
// a document: text runs with their format, tables, chart requests and
// updates of the run's counts, in the order the run wrote them.
//
// A consumer may live on another thread (see OutputQueue): every event owns
// its data. Text is the hot path: `OutputConsumer::text` takes a view so
// that a consumer can append it to what it holds without an allocation per
// line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "document/chart.h"
#include "document/doc_table.h"

namespace vop {

// The format of a text run. In the output window text appended to an empty
// control first gives the whole control the Plain format; the window puts
// the caret at the start of a heading and of an error caption after
// formatting them, and at the end of the text after a note.
enum class TextFormat : std::uint8_t {
  Plain,            // the control's default text
  Heading1,         // headings by level; a heading run is followed by a Plain "\n"
  Heading2,
  Heading3,
  Heading4,
  Heading5,         // the base line of a table (and any level outside 1..5)
  ErrorCaption,     // the first 8 characters of an error line ("ERROR : ")
  NotWeightedNote,  // "Data is not weighted." and its line end
};

// The run format of a heading level; levels outside 1..5 are level 5.
constexpr TextFormat heading_text_format(int level) {
  return level >= 1 && level <= 5 ? TextFormat(int(TextFormat::Heading1) + level - 1)
                                  : TextFormat::Heading5;
}
// The level of a heading format, 0 for the others.
constexpr int heading_level(TextFormat f) {
  return f >= TextFormat::Heading1 && f <= TextFormat::Heading5
             ? int(f) - int(TextFormat::Heading1) + 1
             : 0;
}

struct TextRun {
  TextFormat format = TextFormat::Plain;  // how the run is shown
  std::string text;                       // the characters, line ends included
  bool operator==(const TextRun&) const = default;
};

struct TableBlock {
  DocTable table;          // the whole table, for renderers that draw tables
  std::string plain_text;  // the table as the window's text display shows it
  bool operator==(const TableBlock&) const = default;
};

struct ChartBlock {
  ChartRequest chart;  // what to draw, with the run's chart count
  bool operator==(const ChartBlock&) const = default;
};

// The run's counts changed (the counts dialog shows them); -1 means no
// redirected run, and both at -1 ends the counting.
struct CountsUpdate {
  int tables = -1;  // tables written to the run's document
  int charts = -1;  // charts placed in the run's document
  bool operator==(const CountsUpdate&) const = default;
};

using OutputEvent = std::variant<TextRun, TableBlock, ChartBlock, CountsUpdate>;

// Receives the stream. Calls come from one writer at a time, in order.
class OutputConsumer {
 public:
  virtual ~OutputConsumer() = default;
  // A run of text in one format; the view lives only for the call. Empty
  // runs are not sent.
  virtual void text(TextFormat format, std::string_view run) {
    consume(TextRun{format, std::string(run)});
  }
  // Any event (tables, charts and counts come only this way).
  virtual void consume(OutputEvent&& event) = 0;
};

// Keeps every event as it came, for tests and for a document built from a
// whole run. `shown` is the text a plain window would hold: the text runs
// and the tables' text, in order.
class RecordingConsumer : public OutputConsumer {
 public:
  void consume(OutputEvent&& event) override;

  std::vector<OutputEvent> events;  // in arrival order, not merged
  std::string shown;                // text runs and table texts, concatenated
};

}  // namespace vop
