// What the script GUI builtins ask of the program that shows windows.
//
// The builtins (gui_builtins.cpp) evaluate and check their arguments and
// turn a control's type code into a ControlType; everything that needs the
// windows themselves goes through a GuiHost: the desktop program implements
// it with Qt widgets (shell/script_windows.h), tests with a fake. A host
// keeps the records behind the identifiers a script holds, so it is also the
// one that answers 104 for an identifier that names no open window or
// control, and the type checks of a value, which depend on the control.
//
// Every operation returns an error code, 0 when it was done. A failing
// operation creates and changes nothing.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/ast.h"

namespace vop {

// The control kinds; the numbers are the kinds scripts were told about.
enum class ControlKind : int {
  PushButton = 1,
  RadioButton = 2,
  CheckBox = 3,
  GroupBox = 4,
  MoveButton = 5,
  ComboSimple = 6,    // an edit field over a list that always shows
  ComboDropDown = 7,  // an edit field with a drop-down list
  ComboList = 8,      // a drop-down list without an edit field
  ListSingle = 9,
  ListMultiple = 10,
  EditLine = 11,
  EditMultiLine = 12,
  EditScrolled = 13,  // multi-line with a vertical scroll bar
  Label = 14,
  LineVertical = 15,
  LineHorizontal = 16,
  ScrollBar = 17,
};

// A type code of CtrCreat, understood.
struct ControlType {
  ControlKind kind = ControlKind::PushButton;
  bool group_start = false;  // a radio button that begins a new group
  bool read_only = false;    // an edit field the user cannot change
  bool vertical = false;     // a scroll bar standing upright
};

// The control a type code makes: hundreds give the class, the rest the
// variant; none for a code that matches no variant (the builtin's 105).
std::optional<ControlType> control_type(int code);

inline bool is_list(ControlKind k) { return k == ControlKind::ListSingle || k == ControlKind::ListMultiple; }
inline bool is_combo(ControlKind k) {
  return k == ControlKind::ComboSimple || k == ControlKind::ComboDropDown || k == ControlKind::ComboList;
}

// A rectangle as scripts give it: x, y, width, height; x or y NaN for a
// window centres it on the available screen area.
struct GuiRect {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;
};

// Script code kept with a control or a "&Do" menu item: its text (for the
// error report's line) and the program compiled from it. Shared: a run of
// the program may still hold it when its window closes.
struct GuiProgram {
  std::string text;                  // the code as the script gave it
  std::unique_ptr<Program> program;  // compiled from `text`
};
using GuiProgramPtr = std::shared_ptr<const GuiProgram>;

// What CtrSet gives and CtrGet takes back: a number, or texts (one for an
// edit field or a label, the items for a list or a combo box).
struct GuiValue {
  bool numeric = false;            // `number` holds the value
  bool scalar = true;              // a 1x1 matrix (numbers and texts alike)
  bool empty = false;              // a matrix without elements
  double number = 0;               // check state, scroll position
  std::vector<std::string> texts;  // the elements in linear order
};

// The most items a list or a combo box holds; a longer list is refused
// with 105 rather than freezing the window that has to show it.
inline constexpr size_t kMaxGuiItems = 32767;
// A list item moved by a move button keeps at most this many bytes.
inline constexpr size_t kMaxMovedItem = 255;

class GuiHost {
 public:
  virtual ~GuiHost() = default;

  // Parents and windows are script identifiers; parent 0 is the default
  // parent (the program's first output window).
  // type 1 OK, 2 OK/Cancel, 3 Yes/No/Cancel, 4 Yes/No (checked by the
  // builtin); *button 1, 2 or 3 as MsgBox answers.
  virtual int message_box(int parent, const std::string& text, int type, int* button) = 0;
  // mode <= 1: owned by the parent; > 1: an independent window.
  virtual int create_window(int parent, const std::string& title, GuiRect rect, int mode,
                            int* id) = 0;
  virtual int close_window(int window) = 0;
  // texts: the control's text, or a list's or combo box's items.
  virtual int create_control(int window, const ControlType& type, GuiRect rect,
                             const std::vector<std::string>& texts, GuiProgramPtr program,
                             int* id) = 0;
  virtual int connect_lists(int move_button, int source, int target) = 0;
  virtual int set_value(int control, const GuiValue& value) = 0;
  virtual int get_value(int control, GuiValue* value) = 0;
  virtual int enable(int control, bool on) = 0;
  // The largest number of items a list may receive through a move button
  // (0: no limit); 582 for a control that is not a list.
  virtual int set_list_max(int list, int n) = 0;
  virtual int set_font(int control) = 0;
  // path: 1-based positions from the "&Do" menu down to the receiving
  // menu. A null program makes an item that runs nothing.
  virtual int add_menu_item(const std::vector<int>& path, const std::string& caption,
                            GuiProgramPtr program) = 0;
  virtual int add_submenu(const std::vector<int>& path, const std::string& caption) = 0;
  // An empty path when the user cancelled.
  virtual int open_file_dialog(std::string* path) = 0;

  // The end of a run: when it failed, the windows it made close. Answers
  // whether script windows are still open (definitions then outlive it).
  virtual bool run_ended(bool failed) = 0;
};

}  // namespace vop
