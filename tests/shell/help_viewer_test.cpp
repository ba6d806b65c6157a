// F1 in a syntax window: the reference entry of the word at the caret, or
// the reference's start; links between the reference's files.
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBrowser>

#include "qt_env.h"
#include "shell/help_viewer.h"
#include "shell/syntax_frame.h"

namespace vop::shell {
namespace {

using test::TestApp;

// Puts the caret at `at` in the window's text and presses F1 there.
void press_f1(SyntaxFrame& s, const QString& text, int at) {
  s.set_text(text);
  QTextCursor c = s.editor()->textCursor();
  c.setPosition(at);
  s.editor()->setTextCursor(c);
  QTest::keyClick(s.editor(), Qt::Key_F1);
}

TEST(HelpViewer, WordAtTheCaretTakesItsMarks) {
  QPlainTextEdit edit;
  struct Case {
    const char* text;
    int at;
    const char* word;
  };
  const Case cases[] = {
      {"x = sqrt(4);", 6, "sqrt"},          {"x = sqrt(4);", 4, "sqrt"},   {"x = sqrt(4);", 8, "sqrt"},
      {"!compute a = 1.", 3, "!compute"},   {"y = $BRANDS;", 7, "$BRANDS"}, {"% error 68", 9, "68"},
      {"x = 1 + 2", 5, "1"},                 {"x = 1 + 2", 7, ""},          {"", 0, ""},
  };
  for (const Case& c : cases) {
    edit.setPlainText(QString::fromUtf8(c.text));
    QTextCursor cur = edit.textCursor();
    cur.setPosition(c.at);
    edit.setTextCursor(cur);
    EXPECT_EQ(help_word_at_caret(edit), QString::fromUtf8(c.word)) << c.text << " at " << c.at;
  }
}

TEST(HelpViewer, F1OpensTheEntryOfTheWordOrTheStart) {
  TestApp t;
  SyntaxFrame* s = t.app.new_syntax();
  s->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(s));

  press_f1(*s, "m = cmean(x);", 6);
  HelpViewer& viewer = HelpViewer::instance();
  EXPECT_TRUE(viewer.isVisible());
  EXPECT_TRUE(viewer.windowTitle().contains("cmean")) << viewer.windowTitle().toStdString();
  EXPECT_TRUE(viewer.shown_text().contains("The statistics per column")) << viewer.shown_text().toStdString();

  press_f1(*s, "% ERROR :  code 777", 17);
  EXPECT_TRUE(viewer.shown_text().contains("got a level outside 1 to 5")) << viewer.shown_text().toStdString();

  press_f1(*s, "for i = 1:3", 1);
  EXPECT_TRUE(viewer.shown_text().contains("start:end:step")) << viewer.shown_text().toStdString();

  // Unknown words and blanks open the start, which links the three files.
  for (const char* text : {"x = nosuchname;", "      "}) {
    press_f1(*s, QString::fromUtf8(text), 3);
    EXPECT_TRUE(viewer.shown_text().contains("The Vop reference")) << text;
  }
  QTextBrowser* browser = viewer.findChild<QTextBrowser*>();
  ASSERT_NE(browser, nullptr);
  Q_EMIT browser->anchorClicked(QUrl(QStringLiteral("errors.md")));
  EXPECT_TRUE(viewer.shown_text().contains("Error codes"));
  EXPECT_TRUE(viewer.shown_text().contains("Different number of variables to recode"));
  viewer.close();  // the window deletes itself
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace
}  // namespace vop::shell
