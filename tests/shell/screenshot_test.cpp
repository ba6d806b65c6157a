// Renders an output window after a run (headings, text, a table, the base
// line, an error), a syntax window and the counts dialog to PNG files in the build folder, for
// a person to look at. Runs under a virtual X display.
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTextEdit>

#include "qt_env.h"
#include "shell/counts_dialog.h"
#include "shell/file_commands.h"
#include "shell/output_frame.h"
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

}  // namespace
}  // namespace vop::shell
