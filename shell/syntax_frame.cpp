#include "shell/syntax_frame.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>

#include "shell/help_viewer.h"
#include "shell/output_format.h"
#include "shell/widgets/syntax_editor.h"
#include "shell/vop_app.h"

namespace vop::shell {

SyntaxFrame::SyntaxFrame(VopApp& app, int number) : Frame(app, FrameKind::Syntax) {
  text_ = new SyntaxEditor(this);
  text_->setObjectName(QStringLiteral("text33"));
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  text_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  text_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  text_->document()->setDefaultFont(default_output_font());
  text_->document()->setDocumentMargin(text_->document()->documentMargin() +
                                       twips_to_pixels(kStartIndentTwips));
  text_->setTabStopDistance(twips_to_pixels(kDefaultTabTwips));
  setCentralWidget(text_);
  install_help_key(text_);  // F1: the reference entry of the word at the caret
  setWindowTitle(QStringLiteral("Program%1 - Vop Syntax").arg(number));
  build();
  // Setting the margin marks the document changed; a new window has no changes.
  set_modified(false);
}

// Here, not in ~Frame, so that the window is still of its kind when it leaves.
SyntaxFrame::~SyntaxFrame() { app().frame_gone(*this); }

QWidget* SyntaxFrame::text_widget() const { return text_; }

QString SyntaxFrame::run_text() {
  QTextCursor c = text_->textCursor();
  if (!c.hasSelection()) {
    const QTextBlock line = c.block();
    c.setPosition(line.position());
    c.setPosition(line.position() + line.length() - 1, QTextCursor::KeepAnchor);
    text_->setTextCursor(c);
  }
  QString t = c.selectedText();
  // Paragraph ends come out as U+2029 from a selection.
  t.replace(QChar::ParagraphSeparator, u'\n');
  t.replace(QChar::LineSeparator, u'\n');
  if (t.trimmed().isEmpty()) return {};
  return t;
}

QString SyntaxFrame::text() const { return text_->toPlainText(); }

void SyntaxFrame::set_text(const QString& text) { text_->setPlainText(text); }

bool SyntaxFrame::modified() const { return text_->document()->isModified(); }

void SyntaxFrame::set_modified(bool on) { text_->document()->setModified(on); }

void SyntaxFrame::insert_at_caret(const QString& text) { text_->insertPlainText(text); }

}  // namespace vop::shell
