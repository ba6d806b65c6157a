// The text control of a syntax window: a plain-text script editor with a
// line-number gutter and syntax colouring. Pastes take only the text of
// the clipboard (rich text arrives as its plain text), and lines do not
// wrap, so a line of the editor is a line of the script.
#pragma once

#include <QPlainTextEdit>

class SyntaxHighlighter;

class SyntaxEditor : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit SyntaxEditor(QWidget* parent = nullptr);

  // The text that Run executes: the selection if there is one; otherwise
  // the line holding the caret, which becomes selected. Line breaks are
  // "\n". Empty when the caret's line is empty.
  QString run_text();

  // True when the text changed since it was loaded or last marked saved
  // (document()->setModified(false)).
  bool is_modified() const;

  // Width in pixels of the line-number gutter for the current line count.
  int gutter_width() const;

 protected:
  bool canInsertFromMimeData(const QMimeData* source) const override;
  void insertFromMimeData(const QMimeData* source) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  friend class LineNumberGutter;
  void paint_gutter(QPaintEvent* event);
  void update_gutter_width();
  void update_gutter(const QRect& rect, int dy);

  QWidget* gutter_;                 // the line-number strip; owned by Qt as a child
  SyntaxHighlighter* highlighter_;  // colours the document; owned by Qt as a child
};
