// The Office commands of the desktop program: the redirect commands arm the
// next run, whose end asks where the document goes (again after a cancel or
// a file that cannot be written), writes it in the format the name asks
// for and opens it; and the Excel syntax generator. The documents are read
// back by python-docx and openpyxl.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextEdit>

#include <unistd.h>

#include "office/docx_facts.h"
#include "office/xlsx_facts.h"
#include "qt_env.h"
#include "session/session.h"
#include "shell/commands.h"
#include "shell/counts_dialog.h"
#include "shell/office_commands.h"
#include "shell/output_frame.h"
#include "shell/syntax_frame.h"

namespace vop::shell {
namespace {

using test::wait_for;

constexpr const char* kReport =
    "heading(1, \"Survey\")\n"
    "print([\"42\" \"58\"; \"30\" \"70\"], [\"Men\"; \"Women\"], [\"Yes\" \"No\"])\n"
    "printf(\"done\\n\")\n";

constexpr const char* kCharts =
    "heading(1, \"Charts\")\n"
    "chartBar([\"42\" \"40\"; \"31\" \"33\"], [\"Very\"; \"Quite\"], [\"Male\" \"Female\"])\n"
    "print([\"1\" \"2\"], [\"a\"], [\"x\" \"y\"])\n";

// An application whose program folder holds the Word templates (unless
// told otherwise), with its dialogs answered from a list and the documents
// it would open collected.
class OfficeApp {
 public:
  explicit OfficeApp(bool templates = true)
      : folder_(QDir::tempPath() + "/vop_shell_office_XXXXXX"),
        app(AppOptions{folder_.path(), false, false, false}) {
    if (templates) {
      QDir(folder_.path()).mkdir("Syntax");
      for (const char* name : {"VopEN.xml", "VopSR.xml", "VopMK.xml"})
        QFile::copy(QString(VOP_SOURCE_DIR) + "/Syntax/" + name, folder_.path() + "/Syntax/" + name);
    }
    app.message = [this](Frame*, const QString& text) { messages.append(text); };
    app.ask_file = [this](Frame&, FileDialog d) {
      asked.append(d);
      return answers.isEmpty() ? QString() : answers.takeFirst();
    };
    app.open_document = [this](Frame*, const QString& path) { opened.append(path); };
    app.start();
  }
  ~OfficeApp() { app.runs().wait(); }

  QString path(const char* name) const { return folder_.path() + "/" + name; }
  // Runs `script` and waits until the run and its save are over.
  bool run(const char* script) {
    return app.run_command_text(script, false) && wait_for([this] { return app.idle(); });
  }
  QString shown() const { return app.designated_output()->text_edit()->toPlainText(); }

 private:
  QTemporaryDir folder_;

 public:
  VopApp app;
  QStringList messages;
  QList<FileDialog> asked;
  QStringList answers;
  QStringList opened;
};

TEST(OfficeExport, TheRedirectCommandsSayWhatTheNextRunDoes) {
  OfficeApp t;
  SyntaxFrame* syn = t.app.new_syntax();
  t.app.designated_output()->trigger(kTablesInExcel);
  syn->trigger(kWordWithoutCharts);  // replaces the first
  syn->trigger(kWordWithCharts);
  EXPECT_EQ(t.messages, QStringList({kExcelArmed, kWordArmed, kWordChartsArmed}));
  EXPECT_TRUE(t.app.office_export().armed());
  EXPECT_FALSE(t.app.office_export().excel());
  // Only the last one is saved, once.
  t.answers = {t.path("once.docx")};
  ASSERT_TRUE(t.run("printf(\"x\\n\")"));
  EXPECT_EQ(t.asked, QList<FileDialog>({FileDialog::SaveWordOutput}));
  EXPECT_FALSE(t.app.office_export().armed());
}

TEST(OfficeExport, AWordRunAsksUntilAFileIsWrittenThenOpensIt) {
  if (!vop::test::have_python_docx()) GTEST_SKIP() << "python3-docx missing (scripts/setup installs it)";
  OfficeApp t;
  t.app.designated_output()->trigger(kWordWithoutCharts);
  // A cancel, then a folder that does not exist, then a good name.
  t.answers = {QString(), t.path("no/such/folder/r.docx"), t.path("report.docx")};
  ASSERT_TRUE(t.run(kReport));
  EXPECT_EQ(t.asked.size(), 3);
  EXPECT_EQ(t.messages.last(), kFileLocked);
  EXPECT_EQ(t.opened, QStringList({t.path("report.docx")}));
  EXPECT_FALSE(QFile::exists(t.path("no")));
  // The output went into the document, not the window.
  t.app.drain_output();
  EXPECT_FALSE(t.shown().contains("done"));
  EXPECT_FALSE(t.app.counts().isVisible());

  const vop::test::DocxFacts f = vop::test::read_docx(t.path("report.docx").toStdString());
  EXPECT_TRUE(f.problems.empty());
  EXPECT_EQ(f["p.0"], "Heading 1|Survey");
  EXPECT_EQ(f["tables"], "1");
  EXPECT_EQ(f["t.0.1.1"], "42");
  EXPECT_EQ(f["t.0.2.0"], "Women");
  EXPECT_EQ(f["custom.xp"], installation_id());

  // The next run goes to the window again.
  ASSERT_TRUE(t.run("printf(\"after\\n\")"));
  t.app.drain_output();
  EXPECT_TRUE(t.shown().contains("after"));
  EXPECT_EQ(t.asked.size(), 3);
}

TEST(OfficeExport, AWordRunWithChartsHasTheChartsAndTheRunsLanguageTemplate) {
  if (!vop::test::have_python_docx()) GTEST_SKIP() << "python3-docx missing (scripts/setup installs it)";
  OfficeApp t;
  t.app.set_language(2);
  t.app.designated_output()->trigger(kWordWithCharts);
  t.answers = {t.path("charts.docx")};
  ASSERT_TRUE(t.run(kCharts));
  const vop::test::DocxFacts f = vop::test::read_docx(t.path("charts.docx").toStdString());
  EXPECT_TRUE(f.problems.empty());
  EXPECT_EQ(f["chart.1"], "barChart");
  EXPECT_EQ(f["chart.1.values"], "42,31;40,33");
  EXPECT_EQ(f["tables"], "1");
  // The save copied the SR template beside it, with the identifier in.
  EXPECT_TRUE(QFile::exists(t.path("Syntax/VopSR.xml.tmp")));
  EXPECT_FALSE(QFile::exists(t.path("Syntax/VopEN.xml.tmp")));
}

TEST(OfficeExport, AWordNameEndingInRtfOrDocGetsTheRtfDocument) {
  OfficeApp t;
  t.app.designated_output()->trigger(kWordWithoutCharts);
  t.answers = {t.path("report.RTF")};
  ASSERT_TRUE(t.run(kReport));
  QFile f(t.path("report.RTF"));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_TRUE(f.readAll().startsWith("{\\rtf1"));
}

TEST(OfficeExport, WithoutTheWordTemplateTheOutputIsKeptAsAnRtfDocument) {
  OfficeApp t(false);
  t.app.designated_output()->trigger(kWordWithoutCharts);
  t.answers = {t.path("kept.docx")};
  ASSERT_TRUE(t.run(kReport));
  EXPECT_EQ(t.messages.last(), kWordMissing);
  EXPECT_EQ(t.asked, QList<FileDialog>({FileDialog::SaveRtfOutput}));
  QFile f(t.path("kept.docx"));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray bytes = f.readAll();
  EXPECT_TRUE(bytes.startsWith("{\\rtf1"));
  EXPECT_TRUE(bytes.contains("done"));
}

TEST(OfficeExport, AnExcelRunWritesAWorkbookOrTheExcelHtmlByItsName) {
  if (!vop::test::have_openpyxl()) GTEST_SKIP() << "python3-openpyxl missing (scripts/setup installs it)";
  OfficeApp t;
  SyntaxFrame* syn = t.app.new_syntax();
  syn->trigger(kTablesInExcel);
  t.answers = {t.path("tables.xlsx")};
  ASSERT_TRUE(t.run(kReport));
  EXPECT_EQ(t.asked, QList<FileDialog>({FileDialog::SaveExcelOutput}));
  const vop::test::XlsxFacts x = vop::test::read_facts(t.path("tables.xlsx").toStdString());
  EXPECT_EQ(x["A1.value"], "s:Survey");
  EXPECT_EQ(x["custom.xp"], installation_id());
  EXPECT_EQ(t.opened, QStringList({t.path("tables.xlsx")}));

  syn->trigger(kTablesInExcel);
  t.answers = {t.path("tables.xls")};
  ASSERT_TRUE(t.run(kReport));
  QFile f(t.path("tables.xls"));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_TRUE(f.readAll().contains("<html"));
}

TEST(OfficeExport, RedirectCommandsWaitForTheRunToEnd) {
  OfficeApp t;
  ASSERT_TRUE(t.app.run_command_text("for i = 1:1000000000\n  x = i;\nend\n", false));
  t.app.designated_output()->trigger(kTablesInExcel);
  EXPECT_TRUE(t.messages.isEmpty());
  EXPECT_FALSE(t.app.office_export().armed());
  t.app.stop();
  ASSERT_TRUE(wait_for([&] { return t.app.idle(); }));
  EXPECT_TRUE(t.asked.isEmpty());
}

TEST(OfficeExport, ExitDuringARedirectedRunSavesNothing) {
  OfficeApp t;
  t.app.designated_output()->trigger(kWordWithoutCharts);
  ASSERT_TRUE(t.app.run_command_text("for i = 1:1000000000\n  x = i;\nend\n", false));
  ASSERT_TRUE(t.app.exit());
  EXPECT_TRUE(t.asked.isEmpty());
  EXPECT_FALSE(t.app.office_export().armed());
}

TEST(OfficeExport, TheSyntaxGeneratorListsTheDatasetsNumericVariables) {
  if (!vop::test::have_openpyxl()) GTEST_SKIP() << "python3-openpyxl missing (scripts/setup installs it)";
  OfficeApp t;
  ASSERT_TRUE(t.run("DataAddVar(\"AGE\")\nDataAddCVar(\"NAME\")\nDataAddVar(\"Q1\")\n"));
  SyntaxFrame* syn = t.app.new_syntax();
  t.answers = {t.path("no/such/folder/g.xlsx"), t.path("generator.xlsx")};
  syn->trigger(kExcelSyntaxGenerator);
  EXPECT_EQ(t.messages, QStringList({kFileLocked}));
  EXPECT_EQ(t.opened, QStringList({t.path("generator.xlsx")}));
  const vop::test::XlsxFacts x = vop::test::read_facts(t.path("generator.xlsx").toStdString());
  EXPECT_EQ(x["A13.value"], "n:1");
  EXPECT_EQ(x["C13.value"], "s:AGE");
  EXPECT_EQ(x["A14.value"], "n:3");
  EXPECT_EQ(x["C14.value"], "s:Q1");
  // A cancelled dialog writes nothing.
  t.answers.clear();
  syn->trigger(kExcelSyntaxGenerator);
  EXPECT_EQ(t.opened.size(), 1);
}

}  // namespace
}  // namespace vop::shell
