// The parts of the data family, one file each; data_builtins.cpp puts them
// together.
#pragma once

#include "core/builtin.h"

namespace vop {

void install_file_builtins(BuiltinFamily& f);       // open, save, close
void install_value_builtins(BuiltinFamily& f);      // Data, DataX, DataGet
void install_variable_builtins(BuiltinFamily& f);   // variables, cases, names, positions
void install_dictionary_builtins(BuiltinFamily& f); // labels, value labels, missing values
void install_multiple_builtins(BuiltinFamily& f);   // multiple variables and bundles
void install_selection_builtins(BuiltinFamily& f);  // weight, filter, lo/hi
void install_weighting_builtins(BuiltinFamily& f);  // Rake (rim weighting)
void install_transform_builtins(BuiltinFamily& f);  // !compute, !if, !recode at run time
void install_tabulation_builtins(BuiltinFamily& f); // CrossTab

}  // namespace vop
