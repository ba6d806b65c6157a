// Windows that scripts build, offscreen: every control kind with its
// values, move buttons between lists with a maximum, programs run by
// clicks and by the "&Do" menu, message boxes answered by the test, closed
// identifiers, and a run stopped while it waits for the user.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>

#include <cmath>

#include "qt_env.h"
#include "session/session.h"
#include "shell/script_windows.h"

namespace vop::shell {
namespace {

using test::TestApp;
using test::wait_for;

// Run a text as a command run and wait for its end.
bool run(TestApp& t, const QString& text) {
  return t.app.run_command_text(text.toStdString(), false) && t.settle();
}

double number(TestApp& t, const char* name) {
  ErrorState err;
  const Matrix* m = t.app.session().interpreter().workspace().lookup(name, err);
  return m && m->numeric() && m->size() == 1 ? (*m)[0] : NAN;
}

template <class W>
W* control(TestApp& t, const char* name) {
  return qobject_cast<W*>(t.app.script_windows().widget(int(number(t, name))));
}

// Clicks `button` of the next message box as soon as it shows.
void answer_next_box(QMessageBox::StandardButton button, std::function<void()> before = {}) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, button, before] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    timer->stop();
    timer->deleteLater();
    if (before) before();
    box->button(button)->click();
  });
  timer->start();
}

constexpr const char* kEveryKind =
    "w = WndCreat([], \"Every control\", [40 40 520 420], 1)\n"
    "push = CtrCreat(w, 100, [10 10 80 24], \"Run\")\n"
    "r1 = CtrCreat(w, 121, [10 40 80 20], \"Male\")\n"
    "r2 = CtrCreat(w, 120, [10 60 80 20], \"Female\")\n"
    "chk = CtrCreat(w, 130, [10 80 120 20], \"Weighted\")\n"
    "grp = CtrCreat(w, 140, [5 100 200 60], \"Options\")\n"
    "mv = CtrCreat(w, 150, [220 10 30 24], \"\")\n"
    "cs = CtrCreat(w, 210, [10 170 100 60], [\"a\" \"b\"])\n"
    "cd = CtrCreat(w, 220, [10 240 100 24], [\"c\" \"d\"])\n"
    "cl = CtrCreat(w, 230, [10 270 100 24], [\"x\"; \"y\"; \"z\"])\n"
    "ls = CtrCreat(w, 310, [260 10 100 80], [\"Q1\"; \"Q2\"])\n"
    "lm = CtrCreat(w, 320, [370 10 100 80], [\"Q3\"; \"Q4\"; \"Q5\"])\n"
    "ed = CtrCreat(w, 410, [260 100 100 24], \"edit\")\n"
    "ro = CtrCreat(w, 411, [260 130 100 24], \"fixed\")\n"
    "ml = CtrCreat(w, 430, [260 160 100 50], \"two\")\n"
    "ms = CtrCreat(w, 440, [260 220 100 50], \"lines\")\n"
    "lb = CtrCreat(w, 510, [370 100 100 20], \"Label\")\n"
    "vl = CtrCreat(w, 520, [480 100 2 100], \"\")\n"
    "hl = CtrCreat(w, 530, [260 280 200 2], \"\")\n"
    "sb = CtrCreat(w, 600, [260 300 200 16], \"\")\n"
    "CtrSet(r2, 1)\n"
    "CtrSet(chk, 1)\n"
    "CtrSet(cl, [\"one\" \"two\"])\n"
    "CtrSet(ed, \"changed\")\n"
    "CtrSet(lb, \"New label\")\n"
    "CtrSet(sb, 40)\n"
    "CtrSet(lm, [\"V1\"; \"V2\"; \"V3\"; \"V4\"])\n"
    "SetFont(ml)\n"
    "Disable(push)\n"
    "printf(\"%d %d %d|%s|%s|%s|%d|%s\\n\", CtrGet(r1), CtrGet(r2), CtrGet(chk), CtrGet(ed), "
    "CtrGet(lb), CtrGet(cl), CtrGet(sb), CtrGet(ro))\n";

TEST(ScriptWindows, EveryControlKindTakesAndGivesItsValue) {
  TestApp t;
  ASSERT_TRUE(run(t, kEveryKind));
  EXPECT_TRUE(t.shown().endsWith("\n0 1 1|changed|New label|one|40|fixed\n")) << t.shown().toStdString();
  EXPECT_EQ(t.app.script_windows().open_windows(), 1);
  auto* window = t.app.script_windows().widget(int(number(t, "w")));
  ASSERT_TRUE(window);
  EXPECT_EQ(window->windowTitle(), "Every control");
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(control<QPushButton>(t, "mv")->text(), QString::fromUtf8("\u00bb"));
  EXPECT_FALSE(control<QPushButton>(t, "push")->isEnabled());
  EXPECT_TRUE(control<QLineEdit>(t, "ro")->isReadOnly());
  EXPECT_TRUE(control<QComboBox>(t, "cs")->isEditable());
  EXPECT_FALSE(control<QComboBox>(t, "cl")->isEditable());
  EXPECT_EQ(control<QListWidget>(t, "lm")->count(), 4);
  EXPECT_EQ(control<QListWidget>(t, "lm")->selectionMode(), QAbstractItemView::ExtendedSelection);
  EXPECT_EQ(control<QPlainTextEdit>(t, "ml")->font().pixelSize(), 14);
  EXPECT_EQ(control<QScrollBar>(t, "sb")->value(), 40);

  // The user picks; the script reads what was picked.
  control<QListWidget>(t, "ls")->item(1)->setSelected(true);
  control<QListWidget>(t, "lm")->item(0)->setSelected(true);
  control<QListWidget>(t, "lm")->item(2)->setSelected(true);
  control<QLineEdit>(t, "ed")->setText("typed");
  control<QRadioButton>(t, "r1")->click();
  ASSERT_TRUE(run(t, "a = CtrGet(ls)\nb = CtrGet(lm)\nprintf(\"%s|%s,%s|%s|%d%d\\n\", a, b(1), "
                     "b(2), CtrGet(ed), CtrGet(r1), CtrGet(r2))\nc = CtrGet(vl)"));
  EXPECT_TRUE(t.shown().contains("Q2|V1,V3|typed|10\n")) << t.shown().toStdString();
  // A line has no value.
  EXPECT_TRUE(t.shown().contains("ERROR : Used object type is not valid")) << t.shown().toStdString();
}

TEST(ScriptWindows, MoveButtonsMoveTheSelectionUpToTheTargetsMaximum) {
  TestApp t;
  ASSERT_TRUE(run(t,
                  "w = WndCreat([], \"Move\", [NaN NaN 400 200], 1)\n"
                  "src = CtrCreat(w, 320, [10 10 100 150], [\"A\"; \"B\"; \"C\"; \"D\"; \"E\"])\n"
                  "dst = CtrCreat(w, 320, [200 10 100 150], [\"X\"; \"Y\"; \"Z\"])\n"
                  "mv = CtrCreat(w, 150, [130 60 40 24], \"\")\n"
                  "CtrConect(mv, src, dst)\n"
                  "CtrMaxList(dst, 3)"));
  auto* src = control<QListWidget>(t, "src");
  auto* dst = control<QListWidget>(t, "dst");
  auto* mv = control<QPushButton>(t, "mv");
  ASSERT_TRUE(src && dst && mv);
  // The target holds 3 of at most 3: nothing moves.
  src->item(0)->setSelected(true);
  mv->click();
  EXPECT_EQ(src->count(), 5);
  EXPECT_EQ(dst->count(), 3);

  // With room, the selected items move in order and leave the source.
  ASSERT_TRUE(run(t, "CtrMaxList(dst, 5)"));
  src->item(3)->setSelected(true);
  mv->click();
  ASSERT_EQ(dst->count(), 5);
  EXPECT_EQ(dst->item(3)->text(), "A");
  EXPECT_EQ(dst->item(4)->text(), "D");
  ASSERT_EQ(src->count(), 3);
  EXPECT_EQ(src->item(0)->text(), "B");
  // They arrive selected, which is what the script reads.
  ASSERT_TRUE(run(t, "m = CtrGet(dst)\nprintf(\"%s %s\\n\", m(1), m(2))"));
  EXPECT_TRUE(t.shown().endsWith("A D\n")) << t.shown().toStdString();
  EXPECT_EQ(mv->text(), QString::fromUtf8("\u00bb"));

  // Selecting in the target turns the button round.
  dst->clearSelection();
  dst->item(0)->setSelected(true);
  EXPECT_EQ(mv->text(), QString::fromUtf8("\u00ab"));
  mv->click();
  EXPECT_EQ(src->count(), 4);
  EXPECT_EQ(src->item(3)->text(), "X");

  // Wrong kinds: a list is no move button, a button no list.
  ASSERT_TRUE(run(t, "CtrConect(src, src, dst)"));
  EXPECT_TRUE(t.shown().contains("ERROR : Used object type is not valid"));
  ASSERT_TRUE(run(t, "CtrMaxList(mv, 2)"));
  EXPECT_TRUE(t.shown().contains("ERROR : The control is not a list"));
}

TEST(ScriptWindows, AClickedControlRunsItsProgram) {
  TestApp t;
  ASSERT_TRUE(run(t,
                  "w = WndCreat([], \"Run\", [40 40 300 200], 2)\n"
                  "l = CtrCreat(w, 310, [10 10 100 100], [\"AGE\"; \"SEX\"])\n"
                  "b = CtrCreat(w, 100, [120 10 80 24], \"Run\", \"show(CtrGet(l))\")\n"
                  "function show(x)\nprintf(\"chose %s\\n\", x)\nend\n"));
  control<QListWidget>(t, "l")->item(1)->setSelected(true);
  control<QPushButton>(t, "b")->click();
  EXPECT_FALSE(t.app.idle());
  ASSERT_TRUE(t.settle());
  // The function defined by the building run is still there: its window is open.
  EXPECT_TRUE(t.shown().endsWith("chose SEX\n")) << t.shown().toStdString();
}

TEST(ScriptWindows, TheDoMenuGetsSubmenusAndItemsThatRun) {
  TestApp t;
  ASSERT_TRUE(run(t,
                  "SubMenu([], [], \"Tables\")\n"
                  "MenuItem([], [1], \"Count\", \"printf(\\\"counted %d\\\\n\\\", 3)\")\n"
                  "MenuItem([], [], \"About\", \"\")\n"
                  "MenuItem([], [2], \"Nowhere\", \"\")"));
  EXPECT_TRUE(t.shown().contains("ERROR : Used handle is not valid")) << t.shown().toStdString();
  QMenu* menu = t.app.do_menu();
  ASSERT_EQ(menu->actions().size(), 2);
  QMenu* tables = menu->actions()[0]->menu();
  ASSERT_TRUE(tables);
  EXPECT_EQ(menu->actions()[0]->text(), "Tables");
  ASSERT_EQ(tables->actions().size(), 1);
  tables->actions()[0]->trigger();
  ASSERT_TRUE(t.settle());
  EXPECT_TRUE(t.shown().endsWith("counted 3\n")) << t.shown().toStdString();
  // An item without code runs nothing.
  menu->actions()[1]->trigger();
  EXPECT_TRUE(t.app.idle());
}

TEST(ScriptWindows, MessageBoxesGiveTheNumberOfTheButtonPressed) {
  TestApp t;
  answer_next_box(QMessageBox::Cancel);
  ASSERT_TRUE(run(t, "a = MsgBox([], \"Save the tables?\", 3)"));
  EXPECT_EQ(number(t, "a"), 3);
  answer_next_box(QMessageBox::No);
  ASSERT_TRUE(run(t, "a = MsgBox([], \"Weighted?\", 4)"));
  EXPECT_EQ(number(t, "a"), 2);
  answer_next_box(QMessageBox::Ok);
  ASSERT_TRUE(run(t, "a = MsgBox([], \"Done\")"));
  EXPECT_EQ(number(t, "a"), 1);
}

TEST(ScriptWindows, ClosedAndUnknownIdentifiersAreInvalidHandles) {
  TestApp t;
  ASSERT_TRUE(run(t,
                  "w = WndCreat([], \"A\", [40 40 200 100], 1)\n"
                  "e = CtrCreat(w, 410, [10 10 100 24], \"x\")\n"
                  "WndClose(w)\n"
                  "CtrSet(e, \"y\")"));
  EXPECT_TRUE(t.shown().contains("ERROR : Used handle is not valid")) << t.shown().toStdString();
  // Closed by the user between runs.
  ASSERT_TRUE(run(t, "v = WndCreat([], \"B\", [40 40 200 100], 1)\nb = CtrCreat(v, 130, [10 10 100 24], \"x\")"));
  EXPECT_EQ(t.app.script_windows().open_windows(), 1);
  t.app.script_windows().widget(int(number(t, "v")))->close();
  EXPECT_EQ(t.app.script_windows().open_windows(), 0);
  const qsizetype before = t.shown().size();
  ASSERT_TRUE(run(t, "k = CtrGet(b)"));
  EXPECT_TRUE(t.shown().mid(before).contains("ERROR : Used handle is not valid"));
  ASSERT_TRUE(run(t, "Enable(12345)"));
  EXPECT_EQ(t.shown().count("Used handle is not valid"), 3);
}

TEST(ScriptWindows, BadTypesAndPlacesCreateNothing) {
  TestApp t;
  ASSERT_TRUE(run(t, "w = WndCreat([], \"C\", [NaN NaN 300 100], 1);"));
  ASSERT_TRUE(run(t, "c = CtrCreat(w, 700, [0 0 10 10], \"x\")"));
  EXPECT_TRUE(t.shown().contains("ERROR : Used object type is not valid"));
  QWidget* window = t.app.script_windows().widget(int(number(t, "w")));
  ASSERT_TRUE(window);
  EXPECT_TRUE(window->findChildren<QWidget*>().isEmpty());
  // NaN for x and y centres the window on the available screen area.
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_EQ(window->x(), area.x() + (area.width() - 300) / 2);
  EXPECT_EQ(window->y(), area.y() + (area.height() - 100) / 2);
  // A window on no screen is refused; the run that asked fails and nothing opens.
  const int open = t.app.script_windows().open_windows();
  ASSERT_TRUE(run(t, "z = WndCreat([], \"far\", [30000 30000 100 100], 1)"));
  EXPECT_EQ(t.app.script_windows().open_windows(), open);
}

TEST(ScriptWindows, StopReleasesARunThatWaitsForTheUser) {
  TestApp t;
  // The box shows; Stop is pressed before anyone answers.
  answer_next_box(QMessageBox::Ok, [&t] { t.app.stop(); });
  ASSERT_TRUE(run(t, "a = MsgBox([], \"Waiting\", 1)\nprintf(\"not reached\\n\")"));
  EXPECT_TRUE(t.shown().contains("Process is stopped by the user")) << t.shown().toStdString();
  EXPECT_FALSE(t.shown().contains("not reached"));
}

TEST(ScriptWindows, ExitReleasesARunThatWaitsForTheUser) {
  TestApp t;
  ASSERT_TRUE(run(t, "w = WndCreat([], \"Open\", [40 40 200 100], 2);"));
  bool exited = false;
  answer_next_box(QMessageBox::Ok, [&] { exited = t.app.exit(); });
  ASSERT_TRUE(t.app.run_command_text("a = MsgBox([], \"Waiting\", 1)", false));
  ASSERT_TRUE(wait_for([&] { return exited && t.app.idle(); }));
  EXPECT_EQ(t.app.script_windows().open_windows(), 0);
}

TEST(ScriptWindows, AFailedRunClosesTheWindowsItMade) {
  TestApp t;
  ASSERT_TRUE(run(t, "keep = WndCreat([], \"Keep\", [40 40 200 100], 2)"));
  ASSERT_TRUE(run(t, "gone = WndCreat([], \"Gone\", [40 40 200 100], 1)\nerror(\"broken\")"));
  EXPECT_EQ(t.app.script_windows().open_windows(), 1);
  EXPECT_TRUE(t.app.script_windows().widget(int(number(t, "keep"))));
  EXPECT_FALSE(t.app.script_windows().widget(int(number(t, "gone"))));
}

}  // namespace
}  // namespace vop::shell
