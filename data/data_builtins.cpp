// Puts the data family together and plugs it into an interpreter.
#include "data/data_builtins.h"

#include "data/builtins_table.h"
#include "data/data_session.h"
#include "data/transform.h"

namespace vop {

void install_data_builtins(Interpreter& interp) {
  BuiltinFamily& f = interp.family(Family::Data);
  install_file_builtins(f);
  install_value_builtins(f);
  install_variable_builtins(f);
  install_dictionary_builtins(f);
  install_multiple_builtins(f);
  install_selection_builtins(f);
  install_weighting_builtins(f);
  install_transform_builtins(f);
  install_tabulation_builtins(f);
  interp.set_data_compiler(compile_data_statement);
  interp.set_dataset_hooks(&data_session(interp));
}

Dataset& dataset_of(Interpreter& interp) { return data_session(interp).dataset; }

}  // namespace vop
