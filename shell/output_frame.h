// An output window: shows what runs write while it is the designated one.
// Text runs are appended at the end in their formats; a table shows as the
// text the window's display gives it; charts belong to Word documents and
// are not shown here.
#pragma once

#include <QTextCursor>

#include "document/output_event.h"
#include "shell/frame.h"

class QTextDocument;
class QTextEdit;
class VariablesPanel;

namespace vop::shell {

class OutputFrame : public Frame {
  Q_OBJECT
 public:
  OutputFrame(VopApp& app, int number);
  VariablesPanel* variables_panel() const { return variables_; }
  ~OutputFrame() override;

  QWidget* text_widget() const override;
  QTextEdit* text_edit() const { return text_; }

  // A batch of blocks goes in as one edit: the control lays the new text
  // out once, at the end, instead of after every line.
  void begin_batch();
  void end_batch();
  // One block of the output stream (CountsUpdate goes to the application).
  void show_event(const OutputEvent& event);
  // Append text in a run format.
  void append(TextFormat format, std::string_view text);
  // After a batch: the view follows the end, as an auto-scrolling control.
  void follow_end();

 private:
  // The open dataset's variables, docked at the window's side.
  void add_variables_panel();

  VariablesPanel* variables_ = nullptr;  // in its dock; owned by the window
  QTextEdit* text_;          // the text control; owned by the window
  QTextDocument* doc_;       // the control's document; owned by the control
  QTextCursor end_;          // where appends go (kept at the end)
  bool in_heading_ = false;  // the last block holds a heading paragraph
};

}  // namespace vop::shell
