// The reference in the desktop program: F1 in a syntax window opens the
// entry of the word under the caret (a builtin, an error code, a
// statement) in the reference window; no word, or one the reference does
// not know, opens its start. The texts are docs/*.md, built into the
// program (help/).
#pragma once

#include <QString>
#include <QWidget>

class QPlainTextEdit;
class QTextBrowser;
class QUrl;

namespace vop::shell {

// The word at the caret of `editor`: letters, digits and "_", with a
// leading "!" or "$" ("!compute", "$BRANDS"); empty when there is none.
QString help_word_at_caret(const QPlainTextEdit& editor);

// The one reference window of the program.
class HelpViewer : public QWidget {
  Q_OBJECT
 public:
  // The window, made on first use.
  static HelpViewer& instance();

  // Shows the entry of `topic`, or the reference's start when it is empty
  // or unknown; raises the window.
  void show_topic(const QString& topic);
  // What the window shows now, as plain text.
  QString shown_text() const;

 private:
  HelpViewer();
  void follow(const QUrl& link);
  void show_markdown(const QString& markdown, const QString& title);

  QTextBrowser* browser_;  // owned by the window
};

// Binds F1 in `editor` (of a syntax window) to the reference.
void install_help_key(QPlainTextEdit* editor);

}  // namespace vop::shell
