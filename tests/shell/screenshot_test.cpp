// Renders an output window after a run (headings, text, a table, the base
// line, an error), a syntax window and the counts dialog to PNG files in the build folder, for
// a person to look at. Runs under a virtual X display.
#include <QFile>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextEdit>

#include "qt_env.h"
#include "shell/counts_dialog.h"
#include "shell/file_commands.h"
#include "shell/output_frame.h"
#include "shell/script_windows.h"
#include "shell/syntax_frame.h"

namespace vop::shell {
namespace {

using test::wait_for;

constexpr const char* kScript =
    "heading(1, \"Customer satisfaction survey\")\n"
    "heading(2, \"Q1. How satisfied are you?\")\n"
    "printf(\"Answers were collected in May.\\n\")\n"
    "print([42.0 40.1; 31.5 32.7; 14.2 14.9], [\"Very satisfied\"; \"Satisfied\"; \"Neutral\"], [\"Male\" \"Female\"])\n"
    "heading(5, \"Base: all respondents\")\n"
    "x = [1 2 3]\n"
    "y = undefined_name + 1\n";

TEST(Screenshot, OutputAndSyntaxWindows) {
  VopApp app(AppOptions{QString(), false, true, false});
  app.start();
  // The bundled survey is open, so the Variables panel shows.
  ASSERT_TRUE(open_spss_data(app, QStringLiteral(VOP_SOURCE_DIR "/examples/survey.sav")));
  app.designated_output()->text_edit()->clear();
  SyntaxFrame* s = app.new_syntax();
  s->set_text(kScript);
  s->editor()->selectAll();
  ASSERT_TRUE(app.run_from(*s));
  ASSERT_TRUE(wait_for([&] { return app.idle(); }));
  app.drain_output();
  OutputFrame* out = app.designated_output();
  out->resize(900, 520);
  s->resize(760, 360);
  QTextCursor c = s->editor()->textCursor();
  c.clearSelection();
  s->editor()->setTextCursor(c);
  out->text_edit()->verticalScrollBar()->setValue(0);
  QTest::qWait(50);
  const QString dir = QStringLiteral(VOP_SCREENSHOT_DIR);
  EXPECT_TRUE(out->grab().save(dir + "/shell_output.png"));
  EXPECT_TRUE(s->grab().save(dir + "/shell_syntax.png"));
  EXPECT_TRUE(out->text_edit()->toPlainText().contains("ERROR : "));
}

TEST(Screenshot, CountsDialogOfARedirectedRun) {
  VopApp app(AppOptions{QString(), false, true, false});
  app.start();
  CountsDialog& counts = app.counts();
  counts.update_counts(12, 3);
  QTest::qWait(50);
  EXPECT_TRUE(counts.grab().save(QStringLiteral(VOP_SCREENSHOT_DIR) + "/shell_counts.png"));
}

// The dialog of examples/dialog.s after a few variables were moved and Run
// pressed, drawn over the output window that shows the tables.
TEST(Screenshot, ScriptBuiltDialogDrivesAnAnalysis) {
  VopApp app(AppOptions{QString(), false, true, false});
  app.start();
  ASSERT_TRUE(open_spss_data(app, QStringLiteral(VOP_SOURCE_DIR "/examples/survey.sav")));
  app.designated_output()->text_edit()->clear();
  QFile file(QStringLiteral(VOP_SOURCE_DIR "/examples/dialog.s"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  ASSERT_TRUE(app.run_command_text(file.readAll().toStdString(), false));
  ASSERT_TRUE(wait_for([&] { return app.idle(); }));
  app.drain_output();
  ASSERT_EQ(app.script_windows().open_windows(), 1) << app.designated_output()->text_edit()->toPlainText().toStdString();
  QWidget* dialog = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == QLatin1String("popClass") && w->isVisible()) dialog = w;
  ASSERT_TRUE(dialog);
  auto lists = dialog->findChildren<QListWidget*>();
  ASSERT_EQ(lists.size(), 2);
  QListWidget* all = lists[0]->x() < lists[1]->x() ? lists[0] : lists[1];
  QPushButton* move = nullptr;
  QPushButton* run = nullptr;
  for (QPushButton* b : dialog->findChildren<QPushButton*>()) {
    if (b->text() == QString::fromUtf8("\u00bb")) move = b;
    if (b->text() == QLatin1String("Run")) run = b;
  }
  ASSERT_TRUE(move && run);
  for (const char* name : {"SEX", "REGION", "Q1"})
    for (QListWidgetItem* item : all->findItems(QLatin1String(name), Qt::MatchExactly)) item->setSelected(true);
  move->click();
  run->click();
  ASSERT_TRUE(wait_for([&] { return app.idle(); }));
  app.drain_output();
  OutputFrame* out = app.designated_output();
  out->resize(900, 560);
  out->text_edit()->verticalScrollBar()->setValue(0);
  QTest::qWait(50);
  EXPECT_TRUE(out->text_edit()->toPlainText().contains("Percent")) << out->text_edit()->toPlainText().toStdString();
  const QPixmap window = out->grab();
  const QPixmap box = dialog->grab();
  // The grab has no title bar (the window manager draws it): a plain one
  // is drawn above the dialog.
  constexpr int kCaption = 24;
  QPixmap picture(window.width() + box.width() / 3, window.height() + box.height() / 4);
  picture.fill(QColor(236, 236, 236));
  QPainter painter(&picture);
  painter.drawPixmap(0, 0, window);
  const QRect at(picture.width() - box.width() - 8, picture.height() - box.height() - 8, box.width(),
                 box.height());
  const QRect caption(at.x(), at.y() - kCaption, at.width(), kCaption);
  painter.fillRect(caption, QColor(70, 90, 120));
  painter.setPen(Qt::white);
  painter.drawText(caption.adjusted(10, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, dialog->windowTitle());
  painter.drawText(caption.adjusted(0, 0, -10, 0), Qt::AlignVCenter | Qt::AlignRight, QStringLiteral("\u2715"));
  painter.drawPixmap(at.topLeft(), box);
  painter.setPen(QColor(70, 90, 120));
  painter.drawRect(at.adjusted(-1, -kCaption - 1, 0, 0));
  painter.end();
  EXPECT_TRUE(picture.save(QStringLiteral(VOP_SCREENSHOT_DIR) + "/shell_dialog.png"));
}

}  // namespace
}  // namespace vop::shell
