// The general builtin family: every builtin of the language that is not a
// data or script-window builtin, registered into an interpreter.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "core/builtin.h"
#include "core/interpreter.h"

namespace vop {

// Settings of the session that some builtins report or obey; the shell (or
// the headless runner) fills them in.
struct SessionSettings : InterpreterExtension {
  int language = 0;               // user-interface language index (EN 0, SR 1, MK 2)
  bool word_with_charts = false;  // the run writes the Word output with charts
  bool chart_facility = false;    // the chart drawing facility is open
};

// Register the general family and the matrix display of the runner.
void install_builtins(Interpreter& interp);

// Parts of the family, one file each.
void install_language_builtins(BuiltinFamily& family);  // constants, run control, output
void install_matrix_builtins(BuiltinFamily& family);    // construction, queries, element-wise
void install_stats_builtins(BuiltinFamily& family);     // statistics, sorting, frequencies
void install_string_builtins(BuiltinFamily& family);    // formatting and strings
void install_algebra_builtins(BuiltinFamily& family);   // linear algebra, random numbers

// --- Helpers shared by the wrappers (lib_args.cpp) ---------------------------

// A kernel's result as the builtin's value: empty after an error.
inline Value result_of(std::optional<Matrix>&& r) { return r ? Value(std::move(*r)) : Value(); }

// Several results, first first (the kernels' results moved out).
Value several(Call& c, std::initializer_list<Matrix*> parts);

// The leading size arguments of zeros, ones, eye, rand and rand_normal,
// which count their arguments themselves: the first (81 when there is
// none), and the second when given. With a second, the first must be a
// non-empty numeric 1x1 (77, 63, 55) before the second is evaluated. A
// surplus argument is left to the caller, to report once the sizes are
// checked.
struct SizeArgs {
  Value first;
  Value second;  // empty when only one was given
};
std::optional<SizeArgs> size_args(Call& c);

}  // namespace vop
