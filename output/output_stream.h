// OutputStream: the program's OutputSink. Each operation renders itself for
// the current target, in fixed precedence: an open redirect file (RTF or
// HTML fragments) wins; otherwise an attached Word document; otherwise the
// designated output window.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/output_sink.h"
#include "output/document_state.h"
#include "output/targets.h"

namespace vop {

class OutputStream : public OutputSink {
 public:
  // --- Targets ----------------------------------------------------------
  void set_window(WindowTarget* w) { window_ = w; }
  WindowTarget* window() const { return window_; }
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

  void attach_word(WordTarget* w) { word_ = w; }
  WordTarget* word() const { return word_; }
  // Shown when a Word heading fails; the desktop program shows a message box.
  void set_problem_reporter(std::function<void(std::string_view)> f) { report_problem_ = std::move(f); }

  // Colour tables, classes and counts of the redirected run.
  DocumentState& documents() { return documents_; }

  // --- OutputSink -------------------------------------------------------
  void WriteText(std::string_view text) override;
  void WriteLine(std::string_view line) override;
  void WriteErrorLine(std::string_view line) override;
  void WriteHeading(std::string_view text, int level) override;
  void WriteNotWeightedNote() override;
  void PasteToSyntax(std::string_view text) override;

  // The formats of the window target, for the GUI and the tests.
  static CharFormat default_format();
  static CharFormat heading_format(int level);
  static ParaFormat heading_paragraph(int level);
  static CharFormat note_format();
  static CharFormat error_caption_format();

 private:
  void window_append(std::string_view text);

  WindowTarget* window_ = nullptr;         // designated output window; not owned
  SyntaxTarget* syntax_ = nullptr;         // designated syntax window; not owned
  std::function<SyntaxTarget*()> make_syntax_;  // creates a syntax window
  SyntaxBuffer syntax_buffer_;             // headless paste target
  std::unique_ptr<RedirectFile> redirect_; // one run's RTF/HTML file
  WordTarget* word_ = nullptr;             // attached Word document; not owned
  std::function<void(std::string_view)> report_problem_;
  DocumentState documents_;                // what the run's tables accumulate
};

// The fragments written to redirect files, exposed for the table writers.
std::string rtf_text_fragment(std::string_view text);
std::string rtf_heading_fragment(std::string_view text, int level);
std::string html_heading_fragment(std::string_view text, int level);

}  // namespace vop
