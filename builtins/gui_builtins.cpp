// The script GUI builtins: argument checks in the fixed order, then one
// call of the session's GuiHost. Written bottom-up: the control type table,
// the argument readers, the builtins, the family's table.
#include "builtins/gui_builtins.h"

#include "builtins/arg_checks.h"

#include <cmath>
#include <cstdio>

namespace vop {

// --- Control types --------------------------------------------------------------

namespace {

// One row per type code or range of codes (lo..hi).
struct TypeRow {
  int lo, hi;
  ControlType type;
};

constexpr TypeRow kTypes[] = {
    {100, 110, {ControlKind::PushButton}},
    {120, 120, {ControlKind::RadioButton}},
    {121, 121, {ControlKind::RadioButton, true}},
    {130, 130, {ControlKind::CheckBox}},
    {140, 140, {ControlKind::GroupBox}},
    {150, 150, {ControlKind::MoveButton}},
    {210, 210, {ControlKind::ComboSimple}},
    {220, 220, {ControlKind::ComboDropDown}},
    {230, 230, {ControlKind::ComboList}},
    {310, 310, {ControlKind::ListSingle}},
    {320, 320, {ControlKind::ListMultiple}},
    {410, 420, {ControlKind::EditLine}},  // a final digit 1: read-only
    {430, 430, {ControlKind::EditMultiLine}},
    {440, 440, {ControlKind::EditScrolled}},
    {510, 510, {ControlKind::Label}},
    {520, 520, {ControlKind::LineVertical}},
    {530, 530, {ControlKind::LineHorizontal}},
    {600, 600, {ControlKind::ScrollBar}},                       // horizontal
    {610, 610, {ControlKind::ScrollBar, false, false, true}},  // vertical
};

}  // namespace

std::optional<ControlType> control_type(int code) {
  for (const TypeRow& row : kTypes) {
    if (code < row.lo || code > row.hi) continue;
    ControlType t = row.type;
    if (t.kind == ControlKind::EditLine) t.read_only = code % 10 == 1;
    return t;
  }
  return std::nullopt;
}

namespace {

// Coordinates and sizes beyond this are no place on any screen.
constexpr double kMaxCoordinate = 32767;

struct GuiState : InterpreterExtension {
  GuiHost* host = nullptr;  // the windows' side; not owned; null without a desktop
};

// --- Argument readers -------------------------------------------------------------

using builtins::number_arg;
using builtins::text_arg;

// An identifier truncated; one that cannot name anything is 0 (the host
// answers 104 for it).
int identifier_of(double x) {
  const double t = std::trunc(x);
  return t >= 1 && t <= 2147483647.0 ? int(t) : 0;
}

bool id_arg(Call& c, int i, int* id) {
  double x = 0;
  if (!number_arg(c, i, &x)) return false;
  *id = identifier_of(x);
  return *id != 0 || c.err().raise(kErrBadHandle);
}

// A parent: empty for the default (0), else a window identifier.
bool parent_arg(Call& c, int i, int* id) {
  Value v = c.arg(i);
  if (!v) return false;
  if (v->empty()) {
    *id = 0;
    return true;
  }
  if (!v->numeric()) return c.err().raise(kErrNumeric);
  if (!v->is_scalar()) return c.err().raise(kErrScalar);
  *id = identifier_of((*v)[0]);
  return *id != 0 || c.err().raise(kErrBadHandle);
}

// x, y, width, height (63, then 70 unless four numbers). Sizes must be
// 0..kMaxCoordinate and positions within +-kMaxCoordinate (105); a window
// may leave x or y NaN to be centred.
bool rect_arg(Call& c, int i, bool window, GuiRect* r) {
  Value v = c.arg(i);
  if (!v) return false;
  if (!v->numeric()) return c.err().raise(kErrNumeric);
  if (v->size() != 4) return c.err().raise(kErrDims);
  *r = GuiRect{(*v)[0], (*v)[1], (*v)[2], (*v)[3]};
  auto place = [&](double p) { return (window && std::isnan(p)) || std::fabs(p) <= kMaxCoordinate; };
  auto size = [](double s) { return s >= 0 && s <= kMaxCoordinate; };
  if (!place(r->x) || !place(r->y) || !size(r->width) || !size(r->height))
    return c.err().raise(kErrBadObjectType);
  return true;
}

// The texts of a string matrix in linear order (64 for numbers; 105 for
// more than a list holds). An empty matrix of either type gives none.
bool texts_arg(Call& c, int i, std::vector<std::string>* out) {
  Value v = c.arg(i);
  if (!v) return false;
  if (v->empty()) return true;
  if (v->numeric()) return c.err().raise(kErrString);
  if (size_t(v->size()) > kMaxGuiItems) return c.err().raise(kErrBadObjectType);
  out->reserve(size_t(v->size()));
  for (int64_t k = 0; k < v->size(); ++k) out->push_back(v->str()[k].value_or(std::string()));
  return true;
}

// Script code: a 1x1 string compiled now (its compile error is the call's
// error). An empty text gives no program.
bool code_arg(Call& c, int i, GuiProgramPtr* out) {
  std::string text;
  if (!text_arg(c, i, &text)) return false;
  if (text.empty()) return true;
  auto kept = std::make_shared<GuiProgram>();
  kept->program = c.interp().compile(text);
  if (!kept->program || c.err().failed()) {
    // The line is the code's own: the report names the calling statement.
    c.err().forget_line();
    if (!c.err().failed()) c.err().raise(kErrBadObjectType);
    return false;
  }
  kept->text = std::move(text);
  *out = std::move(kept);
  return true;
}

// A menu path: a numeric vector (63, 67) of 1-based positions; empty for
// the "&Do" menu itself. A position below 1 leads nowhere (104).
bool path_arg(Call& c, int i, std::vector<int>* path) {
  Value v = c.arg(i);
  if (!v) return false;
  if (v->empty()) return true;
  if (!v->numeric()) return c.err().raise(kErrNumeric);
  if (!v->is_vector()) return c.err().raise(kErrVector);
  for (int64_t k = 0; k < v->size(); ++k) {
    const int p = identifier_of((*v)[k]);
    if (p == 0) return c.err().raise(kErrBadHandle);
    path->push_back(p);
  }
  return true;
}

// The host, or the headless error.
GuiHost* host_of(Call& c) {
  GuiHost* h = c.interp().extension<GuiState>().host;
  if (!h) c.err().raise(kErrNoWindows);
  return h;
}

// A host's answer: nothing more to do, or its code raised.
bool done(Call& c, int code) { return code == 0 || c.err().raise(code); }

// --- Builtins ----------------------------------------------------------------------

Value b_msgbox(Call& c) {
  int parent = 0;
  std::string text;
  double type = 1;
  if (!parent_arg(c, 0, &parent) || !text_arg(c, 1, &text)) return {};
  if (c.argc() > 2 && !number_arg(c, 2, &type)) return {};
  const double t = std::trunc(type);
  if (!(t >= 1 && t <= 4)) return c.fail(kErrBadObjectType);
  GuiHost* h = c.interp().extension<GuiState>().host;
  if (!h) {
    // Headless: the text goes where a person running a batch will see it.
    std::fprintf(stderr, "%s\n", text.c_str());
    return Matrix::scalar(1);
  }
  int button = 0;
  if (!done(c, h->message_box(parent, text, int(t), &button))) return {};
  return Matrix::scalar(button);
}

Value b_wndcreat(Call& c) {
  int parent = 0;
  std::string title;
  GuiRect rect;
  double mode = 0;
  if (!parent_arg(c, 0, &parent) || !text_arg(c, 1, &title) || !rect_arg(c, 2, true, &rect) ||
      !number_arg(c, 3, &mode))
    return {};
  GuiHost* h = host_of(c);
  int id = 0;
  if (!h || !done(c, h->create_window(parent, title, rect, mode > 1 ? 2 : 1, &id))) return {};
  return Matrix::scalar(id);
}

Value b_wndclose(Call& c) {
  int id = 0;
  if (!id_arg(c, 0, &id)) return {};
  GuiHost* h = host_of(c);
  if (!h || !done(c, h->close_window(id))) return {};
  return c.none();
}

Value b_ctrcreat(Call& c) {
  int window = 0;
  double code = 0;
  GuiRect rect;
  std::vector<std::string> texts;
  GuiProgramPtr program;
  if (!id_arg(c, 0, &window) || !number_arg(c, 1, &code)) return {};
  const double t = std::trunc(code);
  const std::optional<ControlType> type =
      t >= 0 && t < 1000 ? control_type(int(t)) : std::nullopt;
  if (!type) return c.fail(kErrBadObjectType);
  if (!rect_arg(c, 2, false, &rect) || !texts_arg(c, 3, &texts)) return {};
  if (c.argc() > 4 && !code_arg(c, 4, &program)) return {};
  // A control that is not a list shows one text; a single empty text is
  // no items for a list.
  const bool items = is_list(type->kind) || is_combo(type->kind);
  if (!items && texts.size() > 1) return c.fail(kErrScalar);
  if (items && texts.size() == 1 && texts[0].empty()) texts.clear();
  GuiHost* h = host_of(c);
  int id = 0;
  if (!h || !done(c, h->create_control(window, *type, rect, texts, std::move(program), &id))) return {};
  return Matrix::scalar(id);
}

Value b_ctrconect(Call& c) {
  int button = 0, source = 0, target = 0;
  if (!id_arg(c, 0, &button) || !id_arg(c, 1, &source) || !id_arg(c, 2, &target)) return {};
  GuiHost* h = host_of(c);
  if (!h || !done(c, h->connect_lists(button, source, target))) return {};
  return c.none();
}

Value b_ctrset(Call& c) {
  int id = 0;
  if (!id_arg(c, 0, &id)) return {};
  Value v = c.arg(1);
  if (!v) return {};
  GuiValue value;
  value.numeric = v->numeric();
  value.scalar = v->is_scalar();
  value.empty = v->size() == 0;
  if (size_t(v->size()) > kMaxGuiItems) return c.fail(kErrBadObjectType);
  if (value.numeric) {
    if (value.scalar) value.number = (*v)[0];
  } else {
    value.texts.reserve(size_t(v->size()));
    for (int64_t k = 0; k < v->size(); ++k) value.texts.push_back(v->str()[k].value_or(std::string()));
  }
  GuiHost* h = host_of(c);
  if (!h || !done(c, h->set_value(id, value))) return {};
  return c.none();
}

Value b_ctrget(Call& c) {
  int id = 0;
  if (!id_arg(c, 0, &id)) return {};
  GuiHost* h = host_of(c);
  GuiValue value;
  if (!h || !done(c, h->get_value(id, &value))) return {};
  if (value.numeric) return Matrix::scalar(value.number);
  if (value.scalar) return Matrix::text(value.texts.empty() ? std::string() : value.texts[0]);
  Matrix m = Matrix::strings(int(value.texts.size()), value.texts.empty() ? 0 : 1);
  for (size_t k = 0; k < value.texts.size(); ++k) m.str()[k] = std::move(value.texts[k]);
  return m;
}

Value enable(Call& c, bool on) {
  int id = 0;
  if (!id_arg(c, 0, &id)) return {};
  GuiHost* h = host_of(c);
  if (!h || !done(c, h->enable(id, on))) return {};
  return c.none();
}
Value b_enable(Call& c) { return enable(c, true); }
Value b_disable(Call& c) { return enable(c, false); }

Value b_ctrmaxlist(Call& c) {
  int id = 0;
  double n = 0;
  if (!id_arg(c, 0, &id) || !number_arg(c, 1, &n)) return {};
  const double t = std::trunc(n);
  if (!(t >= 0 && t <= double(kMaxGuiItems))) return c.fail(kErrBadObjectType);
  GuiHost* h = host_of(c);
  if (!h || !done(c, h->set_list_max(id, int(t)))) return {};
  return c.none();
}

Value b_setfont(Call& c) {
  int id = 0;
  if (!id_arg(c, 0, &id)) return {};
  GuiHost* h = host_of(c);
  if (!h || !done(c, h->set_font(id))) return {};
  return c.none();
}

// MenuItem and SubMenu: the first argument stands for the menu bar's
// handle and must be empty.
bool menu_args(Call& c, std::vector<int>* path, std::string* caption) {
  Value first = c.arg(0);
  if (!first) return false;
  if (!first->empty()) return c.err().raise(kErrBadHandle);
  return path_arg(c, 1, path) && text_arg(c, 2, caption);
}

Value b_menuitem(Call& c) {
  std::vector<int> path;
  std::string caption;
  GuiProgramPtr program;
  if (!menu_args(c, &path, &caption) || !code_arg(c, 3, &program)) return {};
  GuiHost* h = host_of(c);
  if (!h || !done(c, h->add_menu_item(path, caption, std::move(program)))) return {};
  return c.none();
}

Value b_submenu(Call& c) {
  std::vector<int> path;
  std::string caption;
  if (!menu_args(c, &path, &caption)) return {};
  GuiHost* h = host_of(c);
  if (!h || !done(c, h->add_submenu(path, caption))) return {};
  return c.none();
}

Value b_fileopendialog(Call& c) {
  GuiHost* h = host_of(c);
  std::string path;
  if (!h || !done(c, h->open_file_dialog(&path))) return {};
  return Matrix::text(std::move(path));
}

}  // namespace

// --- The family ------------------------------------------------------------------------

void install_gui_builtins(Interpreter& interp) { install_gui_builtins(interp.family(Family::Gui)); }

void install_gui_builtins(BuiltinFamily& family) {
  family.add({
      {"MsgBox", 2, 3, 1, b_msgbox},
      {"WndCreat", 4, 4, 1, b_wndcreat},
      {"WndClose", 1, 1, 0, b_wndclose},
      {"CtrCreat", 4, 5, 1, b_ctrcreat},
      {"CtrConect", 3, 3, 0, b_ctrconect},
      {"CtrSet", 2, 2, 0, b_ctrset},
      {"CtrGet", 1, 1, 1, b_ctrget},
      {"Enable", 1, 1, 0, b_enable},
      {"Disable", 1, 1, 0, b_disable},
      {"MenuItem", 4, 4, 0, b_menuitem},
      {"SubMenu", 3, 3, 0, b_submenu},
      {"CtrMaxList", 2, 2, 0, b_ctrmaxlist},
      {"FileOpenDialog", 0, 0, 1, b_fileopendialog},
      {"SetFont", 1, 1, 0, b_setfont},
  });
}

void set_gui_host(Interpreter& interp, GuiHost* host) {
  interp.extension<GuiState>().host = host;
  if (host) interp.set_windows_hook([host](bool failed) { return host->run_ended(failed); });
  else interp.set_windows_hook(nullptr);
}

GuiHost* gui_host(Interpreter& interp) { return interp.extension<GuiState>().host; }

}  // namespace vop
