#include "shell/output_frame.h"

#include <QDockWidget>
#include <QScrollBar>
#include <QTextDocument>
#include <QTextEdit>

#include "output/output_stream.h"
#include "shell/output_format.h"
#include "shell/vop_app.h"

namespace vop::shell {

namespace {

// The control's limit: past this many characters nothing more is shown.
constexpr int kTextLimit = 65'536'000;

}  // namespace

OutputFrame::OutputFrame(VopApp& app, int number) : Frame(app, FrameKind::Output) {
  text_ = new QTextEdit(this);
  doc_ = text_->document();
  text_->setObjectName(QStringLiteral("text33"));
  text_->setAcceptRichText(true);
  text_->setLineWrapMode(QTextEdit::NoWrap);
  text_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  text_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  doc_->setDefaultFont(default_output_font());
  text_->setTabStopDistance(twips_to_pixels(kTabStopTwips));
  doc_->setUndoRedoEnabled(true);
  setCentralWidget(text_);
  end_ = QTextCursor(doc_);
  end_.setBlockFormat(qt_block_format(TextFormat::Plain));
  setWindowTitle(QStringLiteral("Results%1 - Vop Output").arg(number));
  add_variables_panel();
  build();
}

// Here, not in ~Frame, so that the window is still of its kind when it leaves.
OutputFrame::~OutputFrame() { app().frame_gone(*this); }

QWidget* OutputFrame::text_widget() const { return text_; }

void OutputFrame::add_variables_panel() {
  auto* dock = new QDockWidget(QStringLiteral("Variables"), this);
  dock->setObjectName(QStringLiteral("variables"));
  variables_ = new VariablesPanel(dock);
  dock->setWidget(variables_);
  addDockWidget(Qt::LeftDockWidgetArea, dock);
  // The panel shows while a dataset is open, at a width that leaves the
  // output the room.
  const auto show = [this, dock] {
    variables_->show_variables(app().variables());
    dock->setVisible(!app().variables().isEmpty());
  };
  show();
  resizeDocks({dock}, {220}, Qt::Horizontal);
  connect(&app(), &VopApp::variables_changed, dock, show);
  connect(variables_, &VariablesPanel::nameActivated, &app(), &VopApp::insert_name);
}

void OutputFrame::show_event(const OutputEvent& event) {
  if (const auto* run = std::get_if<TextRun>(&event)) append(run->format, run->text);
  else if (const auto* table = std::get_if<TableBlock>(&event)) append(TextFormat::Plain, table->plain_text);
}

void OutputFrame::begin_batch() {
  // What runs write is not the user's edit: it stays out of undo.
  doc_->setUndoRedoEnabled(false);
  end_.beginEditBlock();
}

void OutputFrame::end_batch() {
  end_.endEditBlock();
  doc_->setUndoRedoEnabled(true);
}

void OutputFrame::append(TextFormat format, std::string_view text) {
  if (text.empty()) return;
  QTextDocument* doc = doc_;
  if (doc->characterCount() - 1 >= kTextLimit) return;
  end_.movePosition(QTextCursor::End);
  if (doc->isEmpty()) end_.setBlockFormat(qt_block_format(TextFormat::Plain));
  QString q = QString::fromUtf8(text.data(), qsizetype(text.size()));
  const QTextCharFormat chars = qt_char_format(OutputStream::char_format(format));
  const bool heading = heading_level(format) != 0;
  if (heading) {
    end_.setBlockFormat(qt_block_format(format));
    in_heading_ = true;
  } else if (in_heading_) {
    // The line end after a heading starts a plain paragraph again.
    const qsizetype nl = q.indexOf(u'\n');
    if (nl >= 0) {
      end_.insertText(q.left(nl), chars);
      end_.insertBlock(qt_block_format(TextFormat::Plain), chars);
      q = q.mid(nl + 1);
      in_heading_ = false;
    }
  }
  // QTextCursor takes "\n" as a paragraph break, as the rich-edit control does.
  end_.insertText(q, chars);
}

void OutputFrame::follow_end() {
  QTextCursor c = text_->textCursor();
  if (!c.hasSelection()) {
    c.movePosition(QTextCursor::End);
    text_->setTextCursor(c);
  }
  text_->verticalScrollBar()->setValue(text_->verticalScrollBar()->maximum());
}

}  // namespace vop::shell
