// Runs from syntax windows: what text runs, the idle flag, Stop, and the
// output window a run holds on to.
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTextBlock>

#include "qt_env.h"
#include "shell/commands.h"
#include "shell/counts_dialog.h"
#include "shell/output_frame.h"
#include "shell/run_controller.h"
#include "shell/syntax_frame.h"

namespace vop::shell {
namespace {

using test::TestApp;
using test::wait_for;

constexpr const char* kLongLoop = "for i = 1:1000000000\n  x = i;\nend\nprintf(\"not reached\\n\")\n";

// Put the caret at the start of line `line` (0-based), nothing selected.
void caret_to_line(SyntaxFrame& s, int line) {
  QTextCursor c(s.editor()->document()->findBlockByNumber(line));
  s.editor()->setTextCursor(c);
}

TEST(Run, WithoutASelectionTheCaretsLineRunsAndIsSelected) {
  TestApp t;
  SyntaxFrame* s = t.app.new_syntax();
  s->set_text("printf(\"one\\n\")\nprintf(\"two\\n\")\n\nprintf(\"four\\n\")");
  caret_to_line(*s, 1);
  s->trigger(kRun);
  ASSERT_TRUE(t.settle());
  EXPECT_EQ(t.shown(), "two\n");
  EXPECT_EQ(s->editor()->textCursor().selectedText(), "printf(\"two\\n\")");

  // A blank caret line runs nothing and leaves the program idle.
  caret_to_line(*s, 2);
  EXPECT_FALSE(t.app.run_from(*s));
  EXPECT_TRUE(t.app.idle());
  EXPECT_EQ(t.shown(), "two\n");
}

TEST(Run, ASelectionRunsInsteadOfTheCaretsLine) {
  TestApp t;
  SyntaxFrame* s = t.app.new_syntax();
  s->set_text("printf(\"one\\n\")\nprintf(\"two\\n\")\nprintf(\"three\\n\")");
  // Lines two and three selected, the caret ending on line three.
  QTextCursor c(s->editor()->document()->findBlockByNumber(1));
  c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
  s->editor()->setTextCursor(c);
  ASSERT_TRUE(t.app.run_from(*s));
  ASSERT_TRUE(t.settle());
  EXPECT_EQ(t.shown(), "two\nthree\n");
}

TEST(Run, ASecondRunDuringARunIsIgnoredAndStopEndsTheFirst) {
  TestApp t;
  SyntaxFrame* s = t.app.new_syntax();
  s->set_text(kLongLoop);
  s->editor()->selectAll();
  QSignalSpy started(&t.app.runs(), &RunController::run_started);
  ASSERT_TRUE(t.app.run_from(*s));
  EXPECT_FALSE(t.app.idle());
  s->trigger(kRun);
  EXPECT_FALSE(t.app.run_from(*s));
  EXPECT_EQ(started.count(), 1);

  // The run's output window stays; others may close.
  OutputFrame* out = t.app.designated_output();
  EXPECT_FALSE(out->close());
  out->trigger(kClose);
  EXPECT_EQ(t.app.outputs().size(), 1);
  OutputFrame* other = t.app.new_output();
  t.app.designate(*out);
  EXPECT_TRUE(other->close());

  s->trigger(kStop);
  ASSERT_TRUE(t.settle());
  EXPECT_TRUE(t.shown().contains("Process is stopped by the user")) << t.shown().toStdString();
  EXPECT_FALSE(t.shown().contains("not reached"));
  // Idle again: the window may close now.
  EXPECT_TRUE(out->close());
}

TEST(Run, AStopPressedBeforeTheWorkerBeginsStillStopsTheRun) {
  TestApp t;
  SyntaxFrame* s = t.app.new_syntax();
  s->set_text(kLongLoop);
  s->editor()->selectAll();
  ASSERT_TRUE(t.app.run_from(*s));
  t.app.stop();  // no event processed in between: the worker may not have begun
  ASSERT_TRUE(t.settle());
  EXPECT_TRUE(t.shown().contains("Process is stopped by the user")) << t.shown().toStdString();
}

TEST(Run, ExitClosesEveryWindowDuringARun) {
  TestApp t;
  SyntaxFrame* s = t.app.new_syntax();
  s->set_text(kLongLoop);
  s->editor()->selectAll();
  s->set_modified(false);
  ASSERT_TRUE(t.app.run_from(*s));
  s->trigger(kExit);
  EXPECT_TRUE(t.app.idle());
  EXPECT_TRUE(t.app.outputs().isEmpty());
  EXPECT_TRUE(t.app.syntaxes().isEmpty());
}

TEST(Run, StopWhileIdleChangesNothing) {
  TestApp t;
  SyntaxFrame* s = t.app.new_syntax();
  s->trigger(kStop);
  s->set_text("printf(\"fine\\n\")");
  ASSERT_TRUE(t.app.run_from(*s));
  ASSERT_TRUE(t.settle());
  EXPECT_EQ(t.shown(), "fine\n");
}

TEST(Run, ARunWithoutAnOutputWindowMakesOne) {
  TestApp t;
  SyntaxFrame* s = t.app.new_syntax();
  t.app.designated_output()->close();
  ASSERT_EQ(t.app.designated_output(), nullptr);
  s->set_text("printf(\"here\\n\")");
  ASSERT_TRUE(t.app.run_from(*s));
  ASSERT_TRUE(t.settle());
  ASSERT_NE(t.app.designated_output(), nullptr);
  EXPECT_EQ(t.shown(), "here\n");
}

TEST(Run, HeadingsErrorsAndTablesShowInTheirFormats) {
  TestApp t;
  SyntaxFrame* s = t.app.new_syntax();
  s->set_text(
      "heading(1, \"Survey\")\n"
      "print([1 2; 3 4], [\"a\"; \"b\"], [\"x\" \"y\"])\n"
      "y = undefined_name + 1");
  s->editor()->selectAll();
  ASSERT_TRUE(t.app.run_from(*s));
  ASSERT_TRUE(t.settle());
  const QString shown = t.shown();
  EXPECT_TRUE(shown.startsWith("Survey\n\tx\ty\na\t1.000\t2.000\n")) << shown.toStdString();
  EXPECT_TRUE(shown.contains("ERROR : ")) << shown.toStdString();

  QTextDocument* doc = t.app.designated_output()->text_edit()->document();
  const QTextBlock heading = doc->firstBlock();
  const QTextCharFormat hf = heading.begin().fragment().charFormat();
  EXPECT_EQ(hf.fontPointSize(), 20.0);  // 400 twips
  EXPECT_EQ(hf.fontWeight(), 800);
  EXPECT_GT(heading.blockFormat().topMargin(), 0);
  // The line after the heading is a plain paragraph again.
  const QTextBlock next = heading.next();
  EXPECT_EQ(next.blockFormat().topMargin(), 0);
  EXPECT_LT(next.blockFormat().leftMargin(), heading.blockFormat().leftMargin());
  EXPECT_EQ(next.begin().fragment().charFormat().fontPointSize(), 8.0);

  // The error caption: the first 8 characters, dark red, 14 pt.
  QTextCursor at = doc->find("ERROR : ");
  ASSERT_FALSE(at.isNull());
  QTextCursor inside(doc);
  inside.setPosition(at.selectionStart() + 1);
  EXPECT_EQ(inside.charFormat().foreground().color(), QColor(193, 0, 0));
  EXPECT_EQ(inside.charFormat().fontPointSize(), 14.0);
  inside.setPosition(at.selectionEnd() + 1);
  EXPECT_EQ(inside.charFormat().fontPointSize(), 8.0);
}

TEST(Run, TheCountsDialogFollowsTheRunsCounts) {
  TestApp t;
  CountsDialog& d = t.app.counts();
  EXPECT_FALSE(d.isVisible());
  d.update_counts(0, -1);
  EXPECT_TRUE(d.isVisible());
  d.update_counts(3, 1);
  EXPECT_EQ(d.tables_text(), "3");
  EXPECT_EQ(d.charts_text(), "1");
  d.update_counts(-1, -1);
  EXPECT_FALSE(d.isVisible());
}

}  // namespace
}  // namespace vop::shell
