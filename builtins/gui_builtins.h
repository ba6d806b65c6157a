// The script GUI builtin family: script windows and their controls, the
// "&Do" menu, message boxes and the file dialog. The evaluator tries it
// after the general and the data families.
//
// The builtins check their arguments in the language's fixed order and
// hand the rest to the session's GuiHost (gui_host.h). Without a host (the
// headless runner) they fail with kErrNoWindows instead of waiting for a
// window nobody can see; MsgBox writes its text to standard error there and
// answers 1, so that a script that only informs the user still runs.
#pragma once

#include "builtins/gui_host.h"
#include "core/interpreter.h"

namespace vop {

// Register the family into an interpreter, or its table into a family.
void install_gui_builtins(Interpreter& interp);
void install_gui_builtins(BuiltinFamily& family);

// The host the family works through (nullptr: none, as headless), and the
// end-of-run rule that keeps definitions while script windows are open.
// The host must outlive its use by the interpreter.
void set_gui_host(Interpreter& interp, GuiHost* host);
GuiHost* gui_host(Interpreter& interp);

}  // namespace vop
