// An output window: shows what runs write while it is the designated one.
// Text runs are appended at the end in their formats; a table shows as the
// text the window's display gives it; charts belong to Word documents and
// are not shown here.
#pragma once

#include <QTextCursor>

#include "document/output_event.h"
#include "shell/frame.h"

class QTextEdit;

namespace vop::shell {

class OutputFrame : public Frame {
  Q_OBJECT
 public:
  OutputFrame(VopApp& app, int number);

  QWidget* text_widget() const override;
  QTextEdit* text_edit() const { return text_; }

  // One block of the output stream (CountsUpdate goes to the application).
  void show_event(const OutputEvent& event);
  // Append text in a run format.
  void append(TextFormat format, std::string_view text);
  // After a batch: the view follows the end, as an auto-scrolling control.
  void follow_end();

 private:
  QTextEdit* text_;          // the text control; owned by the window
  QTextCursor end_;          // where appends go (kept at the end)
  bool in_heading_ = false;  // the last block holds a heading paragraph
};

}  // namespace vop::shell
