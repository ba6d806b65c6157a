// File commands: output and syntax files, the save question of a changed
// syntax window, Open SPSS Data and the dataset saves.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include "qt_env.h"
#include "session/session.h"
#include "shell/commands.h"
#include "shell/file_commands.h"
#include "shell/output_frame.h"
#include "shell/output_io.h"
#include "shell/syntax_frame.h"
#include "shell/widgets/variables_panel.h"

namespace vop::shell {
namespace {

using test::TestApp;
using test::wait_for;

QByteArray file_bytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

const QString kSurvey = QStringLiteral(VOP_SOURCE_DIR "/examples/survey.sav");

TEST(OutputFiles, SaveAsAndOpenRoundTripTheTextAndKeepTheDesignation) {
  TestApp t;
  QTemporaryDir dir;
  OutputFrame* out = t.app.designated_output();
  out->append(TextFormat::Heading2, "Results");
  out->append(TextFormat::Plain, "\nline one\n\tx\ty\n");
  const QString path = dir.filePath("results.txt");
  ASSERT_TRUE(save_output_as(*out, path));
  EXPECT_EQ(file_bytes(path), "Results\nline one\n\tx\ty\n");
  EXPECT_EQ(out->windowTitle(), "results.txt - Vop Output");
  EXPECT_EQ(out->file_path(), path);

  t.app.designate(*out);
  OutputFrame* opened = open_output_file(t.app, path);
  ASSERT_NE(opened, nullptr);
  EXPECT_NE(opened, out);
  EXPECT_EQ(opened->text_edit()->toPlainText(), "Results\nline one\n\tx\ty\n");
  EXPECT_EQ(opened->windowTitle(), "results.txt - Vop Output");
  EXPECT_EQ(t.app.designated_output(), out);

  // Save goes back to the recorded path.
  opened->text_edit()->append("more");
  ASSERT_TRUE(save_output(*opened));
  EXPECT_TRUE(file_bytes(path).endsWith("more"));
}

// An output saved as Rich Text comes back with its formats: the heading's
// weight and size and the error caption's colour survive, as does the text.
TEST(OutputFiles, RichTextKeepsTheWindowsFormats) {
  TestApp t;
  QTemporaryDir dir;
  OutputFrame* out = t.app.designated_output();
  out->append(TextFormat::Heading1, "Survey");
  out->append(TextFormat::Plain, "\n");
  out->append(TextFormat::ErrorCaption, "ERROR : ");
  out->append(TextFormat::Plain, "Prénom\tx\n");
  const QString path = dir.filePath("results.RTF");
  ASSERT_TRUE(save_output_as(*out, path));
  EXPECT_TRUE(file_bytes(path).startsWith("{\\rtf"));

  OutputFrame* opened = open_output_file(t.app, path);
  ASSERT_NE(opened, nullptr);
  const QTextDocument* doc = opened->text_edit()->document();
  EXPECT_EQ(doc->toPlainText(), out->text_edit()->document()->toPlainText());
  const auto format_at = [](const QTextDocument* d, const QString& what) {
    QTextCursor c = d->find(what);
    return c.charFormat();
  };
  for (const QString& what : {QStringLiteral("Survey"), QStringLiteral("ERROR")}) {
    SCOPED_TRACE(what.toStdString());
    const QTextCharFormat was = format_at(out->text_edit()->document(), what);
    const QTextCharFormat now = format_at(doc, what);
    // Rich Text knows bold or not, not the weights between.
    EXPECT_EQ(now.fontWeight() >= QFont::DemiBold, was.fontWeight() >= QFont::DemiBold);
    EXPECT_NEAR(now.fontPointSize(), was.fontPointSize(), 0.5);
    EXPECT_EQ(now.foreground().color(), was.foreground().color());
  }
}

TEST(OutputFiles, RtfIsToldByTheLastThreeCharactersInAnyCase) {
  EXPECT_TRUE(is_rtf_path("a.rtf"));
  EXPECT_TRUE(is_rtf_path("A.RTF"));
  EXPECT_TRUE(is_rtf_path("notes.Rtf"));
  EXPECT_FALSE(is_rtf_path("a.txt"));
  EXPECT_FALSE(is_rtf_path("rtf.txt"));
}

TEST(OutputFiles, AFileThatCannotBeReadIsReportedAndChangesNothingElse) {
  TestApp t;
  OutputFrame* out = t.app.designated_output();
  OutputFrame* opened = open_output_file(t.app, "/nonexistent/x.rtf");
  ASSERT_NE(opened, nullptr);
  EXPECT_EQ(t.messages.size(), 1);
  EXPECT_EQ(t.app.designated_output(), out);
}

TEST(SyntaxFiles, SaveAsAndOpenRoundTripTheScript) {
  TestApp t;
  QTemporaryDir dir;
  SyntaxFrame* s = t.app.new_syntax();
  s->editor()->setPlainText("x = 1;\nprintf(\"%d\\n\", x)\n");
  const QString path = dir.filePath("prog.s");
  ASSERT_TRUE(save_syntax_as(*s, path));
  EXPECT_EQ(file_bytes(path), "x = 1;\nprintf(\"%d\\n\", x)\n");
  EXPECT_EQ(s->windowTitle(), "prog.s - Vop Syntax");
  EXPECT_FALSE(s->modified());

  // From a syntax window whose designated window holds text: a new window,
  // the designation stays.
  t.app.designate(*s);
  SyntaxFrame* opened = open_syntax_file(t.app, *s, path);
  ASSERT_NE(opened, nullptr);
  EXPECT_NE(opened, s);
  EXPECT_EQ(opened->text(), "x = 1;\nprintf(\"%d\\n\", x)\n");
  EXPECT_EQ(opened->windowTitle(), "prog.s - Vop Syntax");
  EXPECT_EQ(t.app.designated_syntax(), s);

  // Into an empty designated window: loaded there, and designated.
  SyntaxFrame* empty = t.app.new_syntax();
  EXPECT_EQ(open_syntax_file(t.app, *empty, path), empty);
  EXPECT_EQ(t.app.designated_syntax(), empty);
  EXPECT_EQ(empty->windowTitle(), "!prog.s - Vop Syntax");
  EXPECT_EQ(t.app.syntaxes().size(), 3);

  // From an output window: always a new window.
  EXPECT_NE(open_syntax_file(t.app, *t.app.designated_output(), path), empty);
  EXPECT_EQ(t.app.syntaxes().size(), 4);
}

TEST(SyntaxFiles, BytesThatAreNoUtf8AreReadAsWindows1252) {
  TestApp t;
  QTemporaryDir dir;
  const QString path = dir.filePath("old.s");
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("% \xe8" "a\n");  // "è" in windows-1252
  f.close();
  SyntaxFrame* s = open_syntax_file(t.app, *t.app.designated_output(), path);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->text(), QString::fromUtf8("% \xc3\xa8" "a\n"));
}

TEST(SyntaxFiles, AChangedWindowAsksBeforeClosingAndOnExit) {
  TestApp t;
  QTemporaryDir dir;
  QList<SaveAnswer> answers;
  int asked = 0;
  t.app.save_prompt = [&](SyntaxFrame&) {
    ++asked;
    return answers.isEmpty() ? SaveAnswer::Cancel : answers.takeFirst();
  };
  SyntaxFrame* s = t.app.new_syntax();
  s->editor()->insertPlainText("x = 1;");
  ASSERT_TRUE(s->modified());

  answers = {SaveAnswer::Cancel};
  s->trigger(kClose);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(t.app.syntaxes().size(), 1);

  // Exit cancelled: every window stays.
  answers = {SaveAnswer::Cancel};
  EXPECT_FALSE(t.app.exit());
  EXPECT_EQ(t.app.syntaxes().size(), 1);
  EXPECT_EQ(t.app.outputs().size(), 1);

  // Save with a path writes the file and closes.
  s->set_file_path(dir.filePath("kept.s"));
  answers = {SaveAnswer::Save};
  EXPECT_TRUE(s->close());
  EXPECT_EQ(file_bytes(dir.filePath("kept.s")), "x = 1;");
  EXPECT_EQ(t.app.syntaxes().size(), 0);

  // Discard closes without writing; an unchanged window asks nothing.
  SyntaxFrame* d = t.app.new_syntax();
  d->editor()->insertPlainText("lost");
  SyntaxFrame* clean = t.app.new_syntax();
  answers = {SaveAnswer::Discard};
  asked = 0;
  EXPECT_TRUE(t.app.exit());
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(t.app.syntaxes().isEmpty());
  EXPECT_TRUE(t.app.outputs().isEmpty());
  (void)clean;
}

TEST(Data, OpenSpssDataWritesTheLoadReport) {
  TestApp t;
  ASSERT_TRUE(open_spss_data(t.app, kSurvey));
  const QString shown = t.shown();
  const QString stars(kSurvey.size(), u'*');
  EXPECT_TRUE(shown.startsWith(stars + "\n" + kSurvey + "\n\nSPSS Data successfully loaded\n"))
      << shown.toStdString();
  EXPECT_TRUE(shown.contains("Number of variables: ")) << shown.toStdString();
  EXPECT_TRUE(shown.contains("Number of observations: ")) << shown.toStdString();
  EXPECT_EQ(t.app.session().dataset().file_name(), kSurvey.toStdString());
}

// The Variables panel follows the dataset: filled by Open SPSS Data,
// refreshed after a run that adds a variable, and a double-click puts the
// name into the designated syntax window.
TEST(Data, TheVariablesPanelFollowsTheDatasetAndInsertsNames) {
  TestApp t;
  OutputFrame* out = t.app.designated_output();
  VariablesPanel* panel = out->variables_panel();
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->topLevelItemCount(), 0);
  ASSERT_TRUE(open_spss_data(t.app, kSurvey));
  const int n = panel->topLevelItemCount();
  EXPECT_EQ(n, t.app.session().dataset().variable_count());
  ASSERT_GT(n, 0);

  SyntaxFrame* syntax = t.app.new_syntax();
  syntax->set_text("DataAddVar(\"extra\")");
  ASSERT_TRUE(t.app.run_from(*syntax));
  ASSERT_TRUE(t.settle());
  ASSERT_TRUE(wait_for([&] { return panel->topLevelItemCount() == n + 1; }));
  EXPECT_EQ(panel->topLevelItem(n)->text(0), "EXTRA");

  syntax->set_text("");
  Q_EMIT panel->itemActivated(panel->topLevelItem(0), 0);  // a double-click or Enter
  EXPECT_EQ(syntax->text(), panel->topLevelItem(0)->text(0));
}

// Files opened and saved come first in "Recent Files", once each, and an
// entry opens as its kind's Open command does.
TEST(Data, RecentFilesListWhatWasOpenedAndSavedNewestFirst) {
  TestApp t;
  QTemporaryDir dir;
  SyntaxFrame* syntax = t.app.new_syntax();
  syntax->set_text("x = 1");
  const QString script = dir.filePath("a.s");
  ASSERT_TRUE(save_syntax_as(*syntax, script));
  ASSERT_TRUE(open_spss_data(t.app, kSurvey));
  ASSERT_TRUE(save_syntax(*syntax));
  const QList<RecentFile>& items = t.app.recent().items();
  ASSERT_EQ(items.size(), 2);
  EXPECT_EQ(items[0], (RecentFile{RecentKind::Syntax, script}));
  EXPECT_EQ(items[1], (RecentFile{RecentKind::Data, QDir::cleanPath(kSurvey)}));

  const int windows = int(t.app.syntaxes().size());
  open_recent(*t.app.designated_output(), items[0]);
  EXPECT_EQ(int(t.app.syntaxes().size()), windows + 1);
  EXPECT_EQ(t.app.syntaxes().back()->text(), "x = 1");
}

TEST(Data, AFileThatFailsToOpenIsReportedAsAnError) {
  TestApp t;
  EXPECT_FALSE(open_spss_data(t.app, "/nonexistent/none.sav"));
  EXPECT_TRUE(t.shown().contains("ERROR : ")) << t.shown().toStdString();
  // The loading lines follow, with the empty dataset's counts; the failed
  // file does not become the dataset's name.
  EXPECT_TRUE(t.shown().contains("Number of variables:        0\nNumber of observations:     0"))
      << t.shown().toStdString();
  EXPECT_TRUE(t.shown().contains("Data is not weighted.")) << t.shown().toStdString();
  EXPECT_FALSE(t.app.session().dataset().file_name());
  // The next run starts clean.
  SyntaxFrame* s = t.app.new_syntax();
  s->set_text("printf(\"after\\n\")");
  ASSERT_TRUE(t.app.run_from(*s));
  ASSERT_TRUE(t.settle());
  EXPECT_TRUE(t.shown().endsWith("after\n")) << t.shown().toStdString();
}

TEST(Data, SaveDatasetAsDoublesEveryBackslashInTheLiteral) {
  EXPECT_EQ(data_save_text("C:\\data\\wave.sav"), "DataSave(\"C:\\\\data\\\\wave.sav\");");
  EXPECT_EQ(data_save_text("/tmp/plain.sav"), "DataSave(\"/tmp/plain.sav\");");
}

TEST(Data, SaveDatasetAsRunsDataSaveAndSaveDatasetThenUsesTheName) {
  TestApp t;
  QTemporaryDir dir;
  ASSERT_TRUE(open_spss_data(t.app, kSurvey));
  const QString path = dir.filePath("copy.sav");
  ASSERT_TRUE(save_dataset_as(t.app, path));
  ASSERT_TRUE(t.settle());
  EXPECT_TRUE(QFileInfo(path).size() > 0) << t.shown().toStdString();
  EXPECT_FALSE(t.shown().contains("ERROR")) << t.shown().toStdString();

  // The dataset now has a file name: Save Dataset runs DataSave().
  QFile::remove(path);
  ASSERT_EQ(t.app.session().dataset().file_name(), path.toStdString());
  ASSERT_TRUE(save_dataset(*t.app.designated_output()));
  ASSERT_TRUE(t.settle());
  EXPECT_TRUE(QFileInfo(path).size() > 0) << t.shown().toStdString();
}

TEST(Data, OpenSpssDataWaitsForTheRunToEnd) {
  TestApp t;
  SyntaxFrame* s = t.app.new_syntax();
  s->set_text("for i = 1:1000000000\n  x = i;\nend\n");
  s->editor()->selectAll();
  ASSERT_TRUE(t.app.run_from(*s));
  EXPECT_FALSE(open_spss_data(t.app, kSurvey));
  EXPECT_FALSE(save_dataset_as(t.app, "/tmp/never.sav"));
  t.app.stop();
  ASSERT_TRUE(t.settle());
}

}  // namespace
}  // namespace vop::shell
