// Windows, their titles and designation, the command set of each kind and
// the language buttons.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include "builtins/library.h"
#include "qt_env.h"
#include "session/session.h"
#include "shell/commands.h"
#include "shell/output_frame.h"
#include "shell/syntax_frame.h"

namespace vop::shell {
namespace {

using test::TestApp;

TEST(Windows, EachNewWindowTakesTheDesignationMarkFromTheLastOfItsKind) {
  TestApp t;
  OutputFrame* first = t.app.designated_output();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->windowTitle(), "!Results1 - Vop Output");

  OutputFrame* second = t.app.new_output();
  EXPECT_EQ(first->windowTitle(), "Results1 - Vop Output");
  EXPECT_EQ(second->windowTitle(), "!Results2 - Vop Output");
  EXPECT_EQ(t.app.designated_output(), second);

  SyntaxFrame* s1 = t.app.new_syntax();
  SyntaxFrame* s2 = t.app.new_syntax();
  EXPECT_EQ(s1->windowTitle(), "Program1 - Vop Syntax");
  EXPECT_EQ(s2->windowTitle(), "!Program2 - Vop Syntax");
  // A syntax window does not take the output designation.
  EXPECT_EQ(second->windowTitle(), "!Results2 - Vop Output");

  // Designate moves the mark back.
  first->trigger(kDesignate);
  EXPECT_EQ(first->windowTitle(), "!Results1 - Vop Output");
  EXPECT_EQ(second->windowTitle(), "Results2 - Vop Output");
  s1->trigger(kDesignate);
  EXPECT_EQ(t.app.designated_syntax(), s1);
  EXPECT_EQ(s2->windowTitle(), "Program2 - Vop Syntax");
}

TEST(Windows, ClosingTheDesignatedWindowPassesTheDesignationOnWithoutRetitling) {
  TestApp t;
  OutputFrame* first = t.app.designated_output();
  OutputFrame* second = t.app.new_output();
  OutputFrame* third = t.app.new_output();
  EXPECT_TRUE(third->close());
  EXPECT_EQ(t.app.designated_output(), first);
  EXPECT_EQ(first->windowTitle(), "Results1 - Vop Output");
  EXPECT_EQ(t.app.outputs(), (QList<OutputFrame*>{first, second}));
  first->trigger(kClose);
  second->trigger(kClose);
  EXPECT_EQ(t.app.designated_output(), nullptr);
  // A run makes an output window when none is left.
  EXPECT_EQ(t.app.ensure_output().windowTitle(), "!Results4 - Vop Output");
}

TEST(Windows, TheStartUpScriptRunsIntoTheFirstWindowAndItsErrorIsReportedThere) {
  QTemporaryDir dir;
  ASSERT_TRUE(QDir(dir.path()).mkpath("Syntax"));
  QFile start(dir.filePath("Syntax/start.s"));
  ASSERT_TRUE(start.open(QIODevice::WriteOnly));
  start.write("printf(\"started\\n\")\ny = no_such_name + 1\n");
  start.close();
  const QString was = QDir::currentPath();
  QDir::setCurrent(dir.path());
  {
    VopApp app(AppOptions{QString(), true, false, false});
    app.start();
    const QString shown = app.designated_output()->text_edit()->toPlainText();
    EXPECT_TRUE(shown.startsWith("started\nERROR : ")) << shown.toStdString();
    EXPECT_TRUE(app.idle());
    EXPECT_EQ(app.outputs().size(), 1);
  }
  QDir::setCurrent(was);
}

TEST(Commands, EachKindOffersItsCommandsAndDisablesThoseWithoutHandlers) {
  TestApp t;
  OutputFrame* out = t.app.designated_output();
  SyntaxFrame* syn = t.app.new_syntax();

  // New > Data has no handler anywhere.
  ASSERT_NE(out->action(kNewData), nullptr);
  EXPECT_FALSE(out->action(kNewData)->isEnabled());
  EXPECT_FALSE(syn->action(kNewData)->isEnabled());
  // Run, Stop and the syntax generator only in syntax windows; the
  // companions only in output windows.
  EXPECT_EQ(out->action(kRun), nullptr);
  EXPECT_EQ(out->action(kStop), nullptr);
  EXPECT_EQ(out->action(kExcelSyntaxGenerator), nullptr);
  EXPECT_TRUE(syn->action(kRun)->isEnabled());
  EXPECT_TRUE(syn->action(kStop)->isEnabled());
  EXPECT_EQ(syn->action(kTesvin), nullptr);
  EXPECT_TRUE(out->action(kTesvin)->isEnabled());
  EXPECT_TRUE(out->action(kPyramid)->isEnabled());
  for (int id : {kOpenData, kOpenOutput, kOpenSyntax, kSaveDataset, kSaveDatasetAs, kClose, kSave,
                 kSaveAs, kExit, kUndo, kCut, kCopy, kPaste, kDesignate, kTablesInExcel,
                 kWordWithoutCharts, kWordWithCharts}) {
    EXPECT_TRUE(out->action(id)->isEnabled()) << id;
    EXPECT_TRUE(syn->action(id)->isEnabled()) << id;
  }

  // Texts and accelerators.
  EXPECT_EQ(syn->action(kRun)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
  EXPECT_EQ(out->action(kSaveDataset)->text(), "Save Dataset\tCtr+S");
  EXPECT_EQ(out->action(kSaveDataset)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
  EXPECT_EQ(out->action(kUndo)->shortcuts(),
            (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)}));
  EXPECT_EQ(out->action(kSave)->text(), "&Save Output");
  EXPECT_EQ(syn->action(kSave)->text(), "&Save Syntax");
  EXPECT_EQ(syn->action(kSaveAs)->text(), "Save Syntax &As ...");
  EXPECT_EQ(out->action(kCopy)->statusTip(), "Copy Ccontents to Clipboard");
  EXPECT_EQ(out->action(kCopy)->toolTip(), "Copy");
  EXPECT_EQ(syn->action(kStop)->statusTip(), "Stop the procesor");

  QStringList menus;
  for (QAction* a : out->menuBar()->actions()) menus << a->text();
  EXPECT_EQ(menus, (QStringList{"&File", "&Edit", "&View", "&Do", "&Help"}));
  // One "&Do" menu for every window.
  EXPECT_EQ(out->menuBar()->actions()[3], syn->menuBar()->actions()[3]);

  // The output toolbar has its two Copy buttons.
  int buttons = 0;
  for (QAction* a : out->toolbar()->actions()) buttons += !a->isSeparator();
  EXPECT_EQ(buttons, 16);
}

TEST(Commands, TheLanguageButtonOfTheCurrentLanguageIsDisabledInEveryWindow) {
  TestApp t;
  OutputFrame* out = t.app.designated_output();
  SyntaxFrame* syn = t.app.new_syntax();
  EXPECT_FALSE(out->action(kLanguageEn)->isEnabled());
  EXPECT_TRUE(out->action(kLanguageSr)->isEnabled());

  syn->trigger(kLanguageSr);
  EXPECT_EQ(t.app.language(), 2);
  for (Frame* f : {static_cast<Frame*>(out), static_cast<Frame*>(syn)}) {
    EXPECT_FALSE(f->action(kLanguageSr)->isEnabled());
    EXPECT_TRUE(f->action(kLanguageEn)->isEnabled());
    EXPECT_TRUE(f->action(kLanguageMk)->isEnabled());
  }
  // The language builtin answers with the index the scripts know.
  EXPECT_EQ(t.app.session().interpreter().extension<SessionSettings>().language, 1);
  // A window made later starts with the current language's buttons.
  OutputFrame* later = t.app.new_output();
  EXPECT_FALSE(later->action(kLanguageSr)->isEnabled());
  EXPECT_TRUE(later->action(kLanguageEn)->isEnabled());
}

}  // namespace
}  // namespace vop::shell

namespace vop::shell {
namespace {

TEST(Companions, AreStartedFromTheProgramFolderWithOneSpaceOrReportedMissing) {
  QTemporaryDir dir;
  VopApp app(AppOptions{dir.path(), false, false, false});
  app.start();
  OutputFrame* out = app.designated_output();
  out->trigger(kPyramid);
  EXPECT_TRUE(out->statusBar()->currentMessage().startsWith("Pyramid was not found")) 
      << out->statusBar()->currentMessage().toStdString();

  // A stand-in that writes down the arguments it was given.
  QFile tesvin(dir.filePath("Tesvin"));
  ASSERT_TRUE(tesvin.open(QIODevice::WriteOnly));
  tesvin.write("#!/bin/sh\nprintf '[%s]' \"$@\" > \"$(dirname \"$0\")/args.tmp\"\n"
               "mv \"$(dirname \"$0\")/args.tmp\" \"$(dirname \"$0\")/args.txt\"\n");
  tesvin.close();
  tesvin.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  out->trigger(kTesvin);
  ASSERT_TRUE(test::wait_for([&] { return QFile::exists(dir.filePath("args.txt")); }));
  QFile args(dir.filePath("args.txt"));
  ASSERT_TRUE(args.open(QIODevice::ReadOnly));
  EXPECT_EQ(args.readAll(), "[ ]");
}

}  // namespace
}  // namespace vop::shell
