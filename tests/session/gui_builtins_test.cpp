// The script GUI builtins as a session runs them: argument checks and
// their codes, what reaches the host, the values that come back, programs
// kept for controls and menu items, the end-of-run rule, and the headless
// behaviour without a host. The host is a fake that keeps plain records.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "builtins/gui_builtins.h"
#include "core/errors.h"
#include "document/output_event.h"
#include "session/session.h"

namespace vop {
namespace {

// Records windows and controls by identifier; values are kept as given.
class FakeHost : public GuiHost {
 public:
  struct Object {
    bool window = false;
    ControlType type;
    GuiRect rect;
    std::vector<std::string> texts;
    GuiProgramPtr program;
    GuiValue value;
    bool enabled = true;
    int max = 0;
  };

  int message_box(int parent, const std::string& text, int type, int* button) override {
    if (parent && !is_window(parent)) return kErrBadHandle;
    boxes.push_back(text);
    *button = type == 3 ? 3 : type == 4 ? 2 : 1;  // Cancel, No, OK
    return 0;
  }
  int create_window(int parent, const std::string& title, GuiRect rect, int, int* id) override {
    if (parent && !is_window(parent)) return kErrBadHandle;
    Object o;
    o.window = true;
    o.rect = rect;
    o.texts = {title};
    *id = add(std::move(o));
    made_this_run.push_back(*id);
    return 0;
  }
  int close_window(int window) override {
    if (!is_window(window)) return kErrBadHandle;
    objects.erase(window);
    return 0;
  }
  int create_control(int window, const ControlType& type, GuiRect rect,
                     const std::vector<std::string>& texts, GuiProgramPtr program, int* id) override {
    if (!is_window(window)) return kErrBadHandle;
    Object o;
    o.type = type;
    o.rect = rect;
    o.texts = texts;
    o.program = std::move(program);
    o.value.texts = texts;
    o.value.scalar = texts.size() == 1;
    *id = add(std::move(o));
    return 0;
  }
  int connect_lists(int b, int s, int t) override {
    if (!is_control(b) || !is_control(s) || !is_control(t)) return kErrBadHandle;
    return 0;
  }
  int set_value(int control, const GuiValue& value) override {
    if (!is_control(control)) return kErrBadHandle;
    objects[control].value = value;
    return 0;
  }
  int get_value(int control, GuiValue* value) override {
    if (!is_control(control)) return kErrBadHandle;
    *value = objects[control].value;
    return 0;
  }
  int enable(int control, bool on) override {
    if (!objects.count(control)) return kErrBadHandle;
    objects[control].enabled = on;
    return 0;
  }
  int set_list_max(int list, int n) override {
    if (!is_control(list)) return kErrBadHandle;
    if (!is_list(objects[list].type.kind)) return kErrNotList;
    objects[list].max = n;
    return 0;
  }
  int set_font(int control) override { return objects.count(control) ? 0 : kErrBadHandle; }
  int add_menu_item(const std::vector<int>& path, const std::string& caption,
                    GuiProgramPtr program) override {
    if (!path.empty() && path != std::vector<int>{1}) return kErrBadHandle;
    items.push_back({caption, std::move(program)});
    return 0;
  }
  int add_submenu(const std::vector<int>& path, const std::string& caption) override {
    if (!path.empty()) return kErrBadHandle;
    submenus.push_back(caption);
    return 0;
  }
  int open_file_dialog(std::string* path) override {
    *path = "/data/survey.sav";
    return 0;
  }
  bool run_ended(bool failed) override {
    ends.push_back(failed);
    if (failed)
      for (int id : made_this_run) objects.erase(id);
    made_this_run.clear();
    for (const auto& [id, o] : objects)
      if (o.window) return true;
    return false;
  }

  bool is_window(int id) const { return objects.count(id) && objects.at(id).window; }
  bool is_control(int id) const { return objects.count(id) && !objects.at(id).window; }

  std::map<int, Object> objects;
  std::vector<std::string> boxes;
  std::vector<std::pair<std::string, GuiProgramPtr>> items;
  std::vector<std::string> submenus;
  std::vector<bool> ends;  // each run's end: failed?
  std::vector<int> made_this_run;

 private:
  int add(Object o) {
    objects[next] = std::move(o);
    return next++;
  }
  int next = 1;
};

struct GuiSession {
  GuiSession(bool with_host = true) {
    SessionOptions o;
    o.consumer = &window;
    s = make_session(o);
    if (with_host) set_gui_host(s->interpreter(), &host);
  }
  int run(const std::string& text) { return s->run_text(text); }
  const Matrix* var(const std::string& name) {
    ErrorState err;
    return s->interpreter().workspace().lookup(name, err);
  }
  std::string text(const std::string& name) {
    const Matrix* m = var(name);
    return m && !m->numeric() && m->size() == 1 ? m->sat(0, 0).value_or("") : "?";
  }
  double number(const std::string& name) {
    const Matrix* m = var(name);
    return m && m->numeric() && m->size() == 1 ? (*m)[0] : -12345;
  }

  FakeHost host;
  RecordingConsumer window;
  std::unique_ptr<Session> s;
};

TEST(GuiTypes, TypeCodesNameTheirKindAndVariant) {
  EXPECT_EQ(control_type(100)->kind, ControlKind::PushButton);
  EXPECT_EQ(control_type(110)->kind, ControlKind::PushButton);
  EXPECT_TRUE(control_type(121)->group_start);
  EXPECT_FALSE(control_type(120)->group_start);
  EXPECT_EQ(control_type(150)->kind, ControlKind::MoveButton);
  EXPECT_EQ(control_type(230)->kind, ControlKind::ComboList);
  EXPECT_EQ(control_type(320)->kind, ControlKind::ListMultiple);
  EXPECT_TRUE(control_type(411)->read_only);
  EXPECT_FALSE(control_type(420)->read_only);
  EXPECT_EQ(control_type(440)->kind, ControlKind::EditScrolled);
  EXPECT_EQ(control_type(530)->kind, ControlKind::LineHorizontal);
  EXPECT_TRUE(control_type(610)->vertical);
  // Codes in a class row that match no variant, and classes beyond 600.
  for (int code : {0, 99, 111, 122, 200, 215, 330, 421, 450, 540, 605, 700, 710, 999})
    EXPECT_FALSE(control_type(code)) << code;
}

TEST(GuiBuiltins, ArgumentsAreCheckedInTheFixedOrder) {
  const struct {
    const char* text;
    int code;
  } cases[] = {
      {"[a, b] = MsgBox([], \"x\")", kErrTooManyResults},
      {"MsgBox([])", kErrMissingArgs},
      {"w = WndCreat([], \"t\", [0 0 10 10])", kErrMissingArgs},
      {"MsgBox([], \"x\", 1, 2)", kErrTooManyArgs},
      {"c = CtrCreat(1, 100, [0 0 1 1], \"a\", \"\", 6)", kErrTooManyArgs},
      {"MsgBox([], 5)", kErrString},
      {"MsgBox([], [\"a\" \"b\"])", kErrScalar},
      {"MsgBox(\"w\", \"x\")", kErrNumeric},
      {"MsgBox([], \"x\", 5)", kErrBadObjectType},
      {"MsgBox([], \"x\", 0)", kErrBadObjectType},
      {"w = WndCreat([], \"t\", [\"a\" \"b\" \"c\" \"d\"], 1)", kErrNumeric},
      {"w = WndCreat([], \"t\", [0 0 10], 1)", kErrDims},
      {"w = WndCreat([], \"t\", [0 0 -10 10], 1)", kErrBadObjectType},
      {"w = WndCreat([], \"t\", [1e9 0 10 10], 1)", kErrBadObjectType},
      {"w = WndCreat([], \"t\", [0 0 10 NaN], 1)", kErrBadObjectType},
      {"w = WndCreat(77, \"t\", [0 0 10 10], 1)", kErrBadHandle},
      {"CtrSet(0, 1)", kErrBadHandle},
      {"CtrSet(NaN, 1)", kErrBadHandle},
      {"x = CtrGet(5)", kErrBadHandle},
      {"MenuItem(1, [], \"a\", \"\")", kErrBadHandle},
      {"MenuItem([], [0], \"a\", \"\")", kErrBadHandle},
      {"MenuItem([], [1 1; 1 1], \"a\", \"\")", kErrVector},
      {"SubMenu([], [], 3)", kErrString},
      {"x = FileOpenDialog(1)", kErrTooManyArgs},
  };
  for (const auto& c : cases) {
    GuiSession g;
    EXPECT_EQ(g.run(c.text), c.code) << c.text;
    EXPECT_TRUE(g.host.objects.empty()) << c.text;
  }
}

TEST(GuiBuiltins, ControlsReachTheHostAndNothingIsMadeOnAnError) {
  GuiSession g;
  ASSERT_EQ(g.run("w = WndCreat([], \"Dialog\", [NaN NaN 300 200], 1)"), 0) << g.window.shown;
  EXPECT_TRUE(std::isnan(g.host.objects[1].rect.x));
  // Type 700 and a row's unknown variant: 105, nothing created.
  EXPECT_EQ(g.run("c = CtrCreat(w, 700, [0 0 10 10], \"x\")"), kErrBadObjectType);
  EXPECT_EQ(g.run("c = CtrCreat(w, 111, [0 0 10 10], \"x\")"), kErrBadObjectType);
  EXPECT_EQ(g.host.objects.size(), 1u);
  // A compile error in the code is the call's error; the report quotes the
  // calling line.
  EXPECT_EQ(g.run("c = CtrCreat(w, 100, [0 0 10 10], \"Go\", \"x = (1\")"), kErrUnmatchedParen);
  EXPECT_NE(g.window.shown.find("on the line 'c = CtrCreat("), std::string::npos) << g.window.shown;
  EXPECT_EQ(g.host.objects.size(), 1u);
  // A label takes one text; a list takes a matrix of items.
  EXPECT_EQ(g.run("c = CtrCreat(w, 510, [0 0 10 10], [\"a\" \"b\"])"), kErrScalar);
  ASSERT_EQ(g.run("l = CtrCreat(w, 320, [0 0 10 10], [\"Q1\"; \"Q2\"; \"Q3\"])\n"
                  "e = CtrCreat(w, 310, [0 0 10 10], \"\")\n"
                  "b = CtrCreat(w, 100, [0 0 10 10], \"Go\", \"printf(\\\"go\\\")\")"),
            0)
      << g.window.shown;
  const int l = int(g.number("l")), e = int(g.number("e")), b = int(g.number("b"));
  EXPECT_EQ(g.host.objects[l].texts, (std::vector<std::string>{"Q1", "Q2", "Q3"}));
  EXPECT_TRUE(g.host.objects[e].texts.empty());
  ASSERT_TRUE(g.host.objects[b].program);
  EXPECT_EQ(g.host.objects[b].program->text, "printf(\"go\")");
  // CtrMaxList on a button: 582 with its message.
  EXPECT_EQ(g.run("CtrMaxList(b, 3)"), kErrNotList);
  EXPECT_NE(g.window.shown.find("ERROR : The control is not a list"), std::string::npos);
  EXPECT_EQ(g.run("CtrMaxList(l, -1)"), kErrBadObjectType);
  EXPECT_EQ(g.run("CtrMaxList(l, 3)"), 0);
  EXPECT_EQ(g.host.objects[l].max, 3);
}

TEST(GuiBuiltins, ValuesGoAndComeBackAsMatrices) {
  GuiSession g;
  ASSERT_EQ(g.run("w = WndCreat([], \"D\", [0 0 300 200], 2)\n"
                  "l = CtrCreat(w, 320, [0 0 10 10], \"\")\n"
                  "CtrSet(l, [\"A\" \"B\"; \"C\" \"D\"])\n"
                  "items = CtrGet(l)\n"
                  "t = CtrCreat(w, 410, [0 0 10 10], \"start\")\n"
                  "s = CtrGet(t)\n"
                  "n = CtrCreat(w, 130, [0 0 10 10], \"Weighted\")\n"
                  "CtrSet(n, 1)\n"
                  "k = CtrGet(n)\n"
                  "p = FileOpenDialog()\n"
                  "Disable(t)"),
            0)
      << g.window.shown;
  // A list's items in linear (column) order, back as a column.
  const Matrix* items = g.var("items");
  ASSERT_TRUE(items);
  ASSERT_EQ(items->rows(), 4);
  ASSERT_EQ(items->cols(), 1);
  EXPECT_EQ(items->sat(1, 0), "C");
  EXPECT_EQ(g.text("s"), "start");
  EXPECT_EQ(g.number("k"), 1);
  EXPECT_EQ(g.text("p"), "/data/survey.sav");
  EXPECT_FALSE(g.host.objects[int(g.number("t"))].enabled);
  // More items than a list holds: refused before the host sees them.
  EXPECT_EQ(g.run("CtrSet(l, num2str(\"%d\", (1:40000)'))"), kErrBadObjectType);
  EXPECT_EQ(g.run("m = CtrCreat(w, 310, [0 0 10 10], num2str(\"%d\", (1:40000)'))"), kErrBadObjectType);
  ASSERT_EQ(g.run("items = CtrGet(l)"), 0);
  EXPECT_EQ(g.var("items")->rows(), 4);
}

TEST(GuiBuiltins, MessageBoxesAnswerWithTheButtonsNumber) {
  GuiSession g;
  ASSERT_EQ(g.run("a = MsgBox([], \"Go on?\", 3)\nb = MsgBox([], \"Sure?\", 4)\nc = MsgBox([], \"Done\")"),
            0);
  EXPECT_EQ(g.number("a"), 3);
  EXPECT_EQ(g.number("b"), 2);
  EXPECT_EQ(g.number("c"), 1);
  EXPECT_EQ(g.host.boxes, (std::vector<std::string>{"Go on?", "Sure?", "Done"}));
}

TEST(GuiBuiltins, MenuItemsKeepTheirProgramsForLaterRuns) {
  GuiSession g;
  ASSERT_EQ(g.run("SubMenu([], [], \"Tables\")\n"
                  "MenuItem([], [1], \"Frequencies\", \"printf(\\\"f %d\\\\n\\\", 2 + 3)\")\n"
                  "MenuItem([], [], \"Nothing\", \"\")"),
            0)
      << g.window.shown;
  EXPECT_EQ(g.run("MenuItem([], [2], \"x\", \"\")"), kErrBadHandle);
  ASSERT_EQ(g.host.items.size(), 2u);
  EXPECT_FALSE(g.host.items[1].second);
  const GuiProgramPtr p = g.host.items[0].second;
  ASSERT_TRUE(p);
  g.window.shown.clear();
  EXPECT_EQ(g.s->run_program(*p), 0);
  EXPECT_EQ(g.window.shown, "f 5\n");
  // An error in a kept program names the program's own line.
  auto failing = std::make_shared<GuiProgram>();
  failing->text = "x = 1;\ny = nothing_here + 1;";
  failing->program = g.s->interpreter().compile(failing->text);
  ASSERT_TRUE(failing->program);
  g.window.shown.clear();
  EXPECT_EQ(g.s->run_program(*failing), kErrUnknownName);
  EXPECT_NE(g.window.shown.find("on the line 'y = nothing_here + 1;'"), std::string::npos)
      << g.window.shown;
}

TEST(GuiBuiltins, OpenWindowsKeepDefinitionsAndAFailedRunClosesItsWindows) {
  GuiSession g;
  // No window: a function defined in the run's text is gone after it.
  ASSERT_EQ(g.run("y = twice(1)\nfunction r = twice(x)\nr = 2 * x;\nend"), 0) << g.window.shown;
  EXPECT_EQ(g.run("z = twice(2)"), kErrUnknownName);
  // A window left open keeps it for the controls' programs.
  ASSERT_EQ(g.run("w = WndCreat([], \"D\", [0 0 9 9], 1)\nfunction r = twice(x)\nr = 2 * x;\nend"), 0);
  EXPECT_EQ(g.run("z = twice(2)"), 0);
  EXPECT_EQ(g.number("z"), 4);
  // A run that fails closes the windows it made, not the earlier one.
  EXPECT_EQ(g.run("v = WndCreat([], \"E\", [0 0 9 9], 1)\nerror(\"stop\")"), kErrScriptText);
  EXPECT_TRUE(g.host.is_window(int(g.number("w"))));
  EXPECT_FALSE(g.host.is_window(int(g.number("v"))));
  EXPECT_EQ(g.host.ends.back(), true);
  // Closed: the identifier is no longer valid.
  EXPECT_EQ(g.run("WndClose(w)"), 0);
  EXPECT_EQ(g.run("WndClose(w)"), kErrBadHandle);
  EXPECT_NE(g.window.shown.find("ERROR : Used handle is not valid"), std::string::npos);
}

TEST(GuiBuiltins, WithoutADesktopTheyFailClearlyAndMsgBoxWritesToStderr) {
  GuiSession g(false);
  EXPECT_EQ(g.run("w = WndCreat([], \"t\", [0 0 10 10], 1)"), kErrNoWindows);
  EXPECT_NE(g.window.shown.find("ERROR : Windows and dialogs need the desktop program Vop"),
            std::string::npos)
      << g.window.shown;
  EXPECT_EQ(g.run("p = FileOpenDialog()"), kErrNoWindows);
  EXPECT_EQ(g.run("MenuItem([], [], \"a\", \"\")"), kErrNoWindows);
  // Arguments are still checked first.
  EXPECT_EQ(g.run("w = WndCreat([], 1, [0 0 10 10], 1)"), kErrString);
  testing::internal::CaptureStderr();
  EXPECT_EQ(g.run("a = MsgBox([], \"Tables are ready\", 4)"), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Tables are ready\n");
  EXPECT_EQ(g.number("a"), 1);
}

}  // namespace
}  // namespace vop
