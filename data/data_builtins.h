// The data builtins: the family of builtins through which scripts reach the
// open dataset, the dataset's answers to names and assignments (the
// interpreter's DatasetHooks) and the compiler of the transformation
// statements !compute, !if and !recode.
#pragma once

#include <string>

#include "core/interpreter.h"
#include "data/dataset.h"

namespace vop {

// Register the data family, the dataset hooks and the transformation
// compiler in `interp`.
void install_data_builtins(Interpreter& interp);

// The open dataset of `interp` (empty until something opens or builds one).
Dataset& dataset_of(Interpreter& interp);

// Open a dataset file as DataOpen does, load report included: the native
// format when `native`, else an SPSS system file. Raises 97 on failure.
bool open_dataset(Interpreter& interp, const std::string& path, bool native);
// The load report of the open dataset under `name` (the lines DataOpen
// writes after a load); after a failed load it reports the empty dataset.
void write_load_report(Interpreter& interp, const std::string& name);

// After DataSave() without a name, write the line that states what was
// saved (the shell's Save Dataset command turns this on for its run).
void set_report_saves(Interpreter& interp, bool on);

}  // namespace vop
