// Pyramid's command line: a table from a file or a workbook range into a
// slide file, without a window.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace vop::pyramid {

// `args` without the program name. Returns the exit status: 0 done, 1 the
// input or the output failed (message on `err`), 2 a usage error.
// `template_path`: the presentation new slides are based on, "" for the
// built-in one.
int run_command_line(const std::vector<std::string>& args, const std::string& template_path, std::ostream& out,
                     std::ostream& err);

// Whether the arguments ask for the dialog: none, or the single blank
// argument Vop starts its companions with.
bool wants_dialog(const std::vector<std::string>& args);

}  // namespace vop::pyramid
