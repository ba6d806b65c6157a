// OutputStream: the program's OutputSink. Each operation renders itself for
// the current target, in fixed precedence: an open redirect file (RTF or
// HTML fragments) wins; otherwise an attached Word document; otherwise the
// designated output window. A document attached while a redirect file is
// open receives the run's text, headings and tables as well, so that a
// native Office file can be built from the same run. The Word document and the window are consumers
// of blocks (document/output_event.h): text runs with their format, tables,
// chart requests, and the run's counts, which always go to the window.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/output_sink.h"
#include "document/output_event.h"
#include "output/document_state.h"
#include "output/targets.h"

namespace vop {

class OutputStream : public OutputSink {
 public:
  // --- Targets ----------------------------------------------------------
  // The designated output window (an OutputQueue when the window lives on
  // another thread); nullptr: window output goes nowhere.
  void set_consumer(OutputConsumer* c) { consumer_ = c; }
  OutputConsumer* consumer() const { return consumer_; }
  void set_syntax(SyntaxTarget* s) { syntax_ = s; }
  // Makes a syntax window when text is pasted while none is designated;
  // headless, pasted text goes to the in-memory syntax buffer instead.
  void set_syntax_factory(std::function<SyntaxTarget*()> f) { make_syntax_ = std::move(f); }
  const SyntaxBuffer& syntax_buffer() const { return syntax_buffer_; }

  // Open a redirect file for one run; false when no temporary file can be
  // made (output then stays with the other targets).
  bool open_redirect(bool html);
  RedirectFile* redirect() { return redirect_.get(); }
  // What a redirect command does: open the file and start the document
  // state afresh for its kind (the Excel palette, classes and widest table,
  // or the RTF colour table) with the table count at 0.
  bool arm_redirect(bool html);
  // Hand the file to the save step that follows the run.
  std::unique_ptr<RedirectFile> close_redirect() { return std::move(redirect_); }

  // The Word document of a run exported with charts: it receives the blocks
  // that would go to the window, and the run counts its tables and charts
  // from 0. nullptr detaches it.
  void attach_word(OutputConsumer* w);
  OutputConsumer* word() const { return word_; }

  // Colour tables, classes and counts of the redirected run.
  DocumentState& documents() { return documents_; }
  // One more table written to the run's document, one more chart placed;
  // the end of counting (both -1). Each change is announced to the window.
  void count_table();
  void count_chart();
  void finish_counts();

  // --- OutputSink -------------------------------------------------------
  void WriteText(std::string_view text) override;
  void WriteLine(std::string_view line) override;
  void WriteErrorLine(std::string_view line) override;
  void WriteHeading(std::string_view text, int level) override;
  void WriteNotWeightedNote() override;
  void PasteToSyntax(std::string_view text) override;

  // A checked table for the Word document (counted; a table without rows
  // is the line "[]") or else for the window. WriteTable calls it when no
  // redirect file is open.
  void WriteTableBlock(TableBlock&& block);
  // A chart: counted and handed to the Word document, else to the window.
  void WriteChart(ChartRequest chart);

  // --- Formats of the window --------------------------------------------
  // What the window gives each run format: the characters' format and, for
  // headings, the paragraph's.
  static CharFormat char_format(TextFormat f);
  static std::optional<ParaFormat> paragraph_format(TextFormat f);
  static CharFormat default_format();
  static CharFormat heading_format(int level);
  static ParaFormat heading_paragraph(int level);
  static CharFormat note_format();
  static CharFormat error_caption_format();

 private:
  // The Word document when attached, else the window.
  OutputConsumer* blocks_target() const { return word_ ? word_ : consumer_; }
  void emit(TextFormat format, std::string_view text);
  void announce_counts();

  OutputConsumer* consumer_ = nullptr;     // designated output window; not owned
  SyntaxTarget* syntax_ = nullptr;         // designated syntax window; not owned
  std::function<SyntaxTarget*()> make_syntax_;  // creates a syntax window
  SyntaxBuffer syntax_buffer_;             // headless paste target
  std::unique_ptr<RedirectFile> redirect_; // one run's RTF/HTML file
  OutputConsumer* word_ = nullptr;         // attached Word document; not owned
  DocumentState documents_;                // what the run's tables accumulate
  std::string line_;                       // the line buffer: a line and its "\n"
};

// The fragments written to redirect files, exposed for the table writers.
std::string rtf_text_fragment(std::string_view text);
std::string rtf_heading_fragment(std::string_view text, int level);
std::string html_heading_fragment(std::string_view text, int level);

}  // namespace vop
