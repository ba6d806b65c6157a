#include "builtins/library.h"

#include "builtins/display.h"

namespace vop {

namespace {

void display_statement(const Matrix& value, std::string_view header, OutputSink& out) {
  display_matrix(value, !header.empty(), out);
}

}  // namespace

void install_builtins(Interpreter& interp) {
  BuiltinFamily& family = interp.family(Family::General);
  install_language_builtins(family);
  install_matrix_builtins(family);
  install_stats_builtins(family);
  install_string_builtins(family);
  install_algebra_builtins(family);
  interp.set_display(display_statement);
}

}  // namespace vop
