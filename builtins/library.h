// The general builtin family: every builtin of the language that is not a
// data or script-window builtin, registered into an interpreter.
#pragma once

#include <functional>

#include "core/builtin.h"
#include "core/interpreter.h"

namespace vop {

// Settings of the session that some builtins report or obey; the shell (or
// the headless runner) fills them in.
struct SessionSettings : InterpreterExtension {
  int language = 0;               // user-interface language index (EN 0, SR 1, MK 2)
  bool word_with_charts = false;  // the run writes the Word output with charts
  bool chart_facility = false;    // the chart drawing facility is open
  // Draws a chart of the Word output: kind bar 1 / pie 2, placement
  // centre 0 / left 1 / right 2. Unset: charts are skipped.
  std::function<bool(Call&, int kind, int placement)> chart_writer;
};

// Register the general family and the matrix display of the runner.
void install_builtins(Interpreter& interp);

// Parts of the family, one file each.
void install_language_builtins(BuiltinFamily& family);  // constants, run control, output
void install_matrix_builtins(BuiltinFamily& family);    // construction, queries, element-wise
void install_stats_builtins(BuiltinFamily& family);     // statistics, sorting, frequencies
void install_string_builtins(BuiltinFamily& family);    // formatting and strings
void install_algebra_builtins(BuiltinFamily& family);   // linear algebra, random numbers

// Evaluate argument i of a call and return it, or an empty Value after an
// error; a helper shared by the wrappers.
inline Value result_of(std::optional<Matrix>&& r) { return r ? Value(std::move(*r)) : Value(); }

}  // namespace vop
