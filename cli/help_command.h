// The reference at the command line: `vop-run --help-on NAME` and `help
// NAME` at the prompt print the entry of a builtin, an error code or a
// statement from the reference built into the program.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace vop {

// Writes the entry of `topic` (the reference's start when it is empty) to
// `out` as plain text; false, with a note on `err`, when there is none.
bool print_help(std::string_view topic, std::FILE* out, std::FILE* err);

// Whether a prompt line is a help command ("help" or "help NAME"), and its
// topic. "help" followed by an operator or a bracket is a statement (a
// variable or a function named help), not a command.
bool help_command(std::string_view line, std::string* topic);

}  // namespace vop
