// The gutter is a child widget laid over the editor's left viewport
// margin; the editor paints it, because only the editor knows where its
// blocks are on screen.
#include "shell/widgets/syntax_editor.h"

#include <QMimeData>
#include <QPaintEvent>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocumentFragment>

#include "shell/widgets/syntax_highlighter.h"
#include "shell/widgets/text_font.h"

namespace {

// Blank pixels left and right of the numbers in the gutter.
constexpr int kGutterPadding = 4;

const QColor kGutterBackground(0xf0, 0xf0, 0xf0);
const QColor kGutterNumber(0x9a, 0x9a, 0x9a);
const QColor kGutterCurrentNumber(0x40, 0x40, 0x40);

}  // namespace

class LineNumberGutter : public QWidget {
 public:
  explicit LineNumberGutter(SyntaxEditor* editor) : QWidget(editor), editor_(editor) {}
  QSize sizeHint() const override { return QSize(editor_->gutter_width(), 0); }

 protected:
  void paintEvent(QPaintEvent* event) override { editor_->paint_gutter(event); }

 private:
  SyntaxEditor* editor_;  // the editor whose lines are numbered; the parent
};

SyntaxEditor::SyntaxEditor(QWidget* parent)
    : QPlainTextEdit(parent), gutter_(new LineNumberGutter(this)), highlighter_(new SyntaxHighlighter(document())) {
  setFont(vop_text_font());
  document()->setDefaultFont(vop_text_font());
  setLineWrapMode(QPlainTextEdit::NoWrap);
  connect(this, &QPlainTextEdit::blockCountChanged, this, [this] { update_gutter_width(); });
  connect(this, &QPlainTextEdit::updateRequest, this, [this](const QRect& r, int dy) { update_gutter(r, dy); });
  connect(this, &QPlainTextEdit::cursorPositionChanged, gutter_, [this] { gutter_->update(); });
  update_gutter_width();
}

QString SyntaxEditor::run_text() {
  QTextCursor cursor = textCursor();
  if (!cursor.hasSelection()) {
    const QTextBlock line = cursor.block();
    cursor.setPosition(line.position());
    cursor.setPosition(line.position() + line.length() - 1, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
  }
  QString text = cursor.selectedText();
  text.replace(QChar::ParagraphSeparator, u'\n');
  text.replace(QChar::LineSeparator, u'\n');
  return text;
}

bool SyntaxEditor::is_modified() const { return document()->isModified(); }

int SyntaxEditor::gutter_width() const {
  int digits = 1;
  for (int lines = qMax(1, blockCount()); lines >= 10; lines /= 10) ++digits;
  digits = qMax(digits, 3);  // no jump in width until the thousandth line
  return 2 * kGutterPadding + fontMetrics().horizontalAdvance(u'9') * digits;
}

bool SyntaxEditor::canInsertFromMimeData(const QMimeData* source) const {
  return source->hasText() || source->hasHtml();
}

void SyntaxEditor::insertFromMimeData(const QMimeData* source) {
  if (source->hasText())
    insertPlainText(source->text());
  else if (source->hasHtml())
    insertPlainText(QTextDocumentFragment::fromHtml(source->html()).toPlainText());
}

void SyntaxEditor::resizeEvent(QResizeEvent* event) {
  QPlainTextEdit::resizeEvent(event);
  const QRect r = contentsRect();
  gutter_->setGeometry(QRect(r.left(), r.top(), gutter_width(), r.height()));
}

void SyntaxEditor::update_gutter_width() { setViewportMargins(gutter_width(), 0, 0, 0); }

void SyntaxEditor::update_gutter(const QRect& rect, int dy) {
  if (dy != 0)
    gutter_->scroll(0, dy);
  else
    gutter_->update(0, rect.y(), gutter_->width(), rect.height());
  if (rect.contains(viewport()->rect())) update_gutter_width();
}

void SyntaxEditor::paint_gutter(QPaintEvent* event) {
  QPainter painter(gutter_);
  painter.fillRect(event->rect(), kGutterBackground);
  painter.setFont(font());
  const int current = textCursor().blockNumber();
  QTextBlock block = firstVisibleBlock();
  int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
  int bottom = top + qRound(blockBoundingRect(block).height());
  while (block.isValid() && top <= event->rect().bottom()) {
    if (block.isVisible() && bottom >= event->rect().top()) {
      painter.setPen(block.blockNumber() == current ? kGutterCurrentNumber : kGutterNumber);
      painter.drawText(0, top, gutter_->width() - kGutterPadding, fontMetrics().height(), Qt::AlignRight,
                       QString::number(block.blockNumber() + 1));
    }
    block = block.next();
    top = bottom;
    bottom = top + qRound(blockBoundingRect(block).height());
  }
}
