// The one road by which a running script, the error reporter and the data
// commands put results in front of the user.
//
// The language core only sees this interface; output/ renders it for the
// current target (the window, an RTF or HTML redirect file, a Word document).
#pragma once

#include <string>
#include <string_view>

namespace vop {

class OutputSink {
 public:
  virtual ~OutputSink() = default;

  // Append text without adding a line end; callers pass their own "\n".
  virtual void WriteText(std::string_view text) = 0;
  // Write one formatted line: `line` followed by a newline, as one unit
  // (one paragraph in an RTF file).
  virtual void WriteLine(std::string_view line) = 0;
  // As WriteLine; in the window the first 8 characters ("ERROR : ") are
  // shown as the error caption.
  virtual void WriteErrorLine(std::string_view line) = 0;
  // A heading of level 1..5; level 5 is the base line of a table.
  virtual void WriteHeading(std::string_view text, int level) = 0;
  // "Data is not weighted." with its own format.
  virtual void WriteNotWeightedNote() = 0;
  // Insert generated syntax into the designated syntax window.
  virtual void PasteToSyntax(std::string_view text) = 0;
};

// A sink that keeps only the text, for tests and for callers that want to
// capture what an operation writes.
class StringSink : public OutputSink {
 public:
  void WriteText(std::string_view t) override { text += t; }
  void WriteLine(std::string_view l) override {
    text += l;
    text += '\n';
  }
  void WriteErrorLine(std::string_view l) override { WriteLine(l); }
  void WriteHeading(std::string_view t, int) override {
    text += t;
    text += '\n';
  }
  void WriteNotWeightedNote() override { text += "Data is not weighted.\n\n"; }
  void PasteToSyntax(std::string_view t) override { syntax += t; }

  std::string text;    // everything written, as plain text
  std::string syntax;  // everything pasted to syntax
};

}  // namespace vop
