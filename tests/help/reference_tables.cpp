#include "help/reference_tables.h"

#include <algorithm>
#include <climits>

#include "builtins/gui_builtins.h"
#include "builtins/library.h"
#include "data/builtins_table.h"

namespace vop::test {

const BuiltinGroup kBuiltinGroups[] = {
    {"Language, run control and output", install_language_builtins},
    {"Matrices: construction, queries, element-wise functions", install_matrix_builtins},
    {"Statistics, sorting and frequencies", install_stats_builtins},
    {"Strings and formatting", install_string_builtins},
    {"Linear algebra and random numbers", install_algebra_builtins},
    {"Data files", install_file_builtins},
    {"Case values", install_value_builtins},
    {"Variables and cases", install_variable_builtins},
    {"Labels and missing values", install_dictionary_builtins},
    {"Multiple variables and bundles", install_multiple_builtins},
    {"Weight and filter", install_selection_builtins},
    {"Rim weighting", install_weighting_builtins},
    {"Transformations", install_transform_builtins},
    {"Tables", install_tabulation_builtins},
    {"Script dialogs", install_gui_builtins},
};
const int kBuiltinGroupCount = int(sizeof kBuiltinGroups / sizeof kBuiltinGroups[0]);

std::vector<Builtin> group_builtins(const BuiltinGroup& group) {
  BuiltinFamily family;
  group.install(family);
  std::vector<Builtin> out;
  family.for_each([&](const Builtin& b) { out.push_back(b); });
  std::sort(out.begin(), out.end(), [](const Builtin& a, const Builtin& b) { return a.name < b.name; });
  return out;
}

std::string counts_line(const Builtin& b) {
  std::string args;
  if (b.max_args == kAnyArgs) args = std::to_string(b.min_args) + " or more";
  else if (b.max_args == 0) args = "none";
  else if (b.min_args == b.max_args) args = std::to_string(b.min_args);
  else args = std::to_string(b.min_args) + "–" + std::to_string(b.max_args);
  std::string results = b.max_results == 0         ? "none"
                        : b.max_results == INT_MAX ? "one per reference"
                                                   : std::to_string(b.max_results);
  return "Arguments: " + args + ". Results: " + results + ".";
}

std::vector<ErrorRow> error_rows() {
  struct Row {
    int code;
    const char* text;
    const char* tail;
  };
  static constexpr Row kRows[] = {
#define VOP_ERROR(name, code, text, tail) {code, text, tail},
#include "core/error_codes.def"
#undef VOP_ERROR
  };
  std::vector<ErrorRow> out;
  for (const Row& r : kRows) {
    std::string heading = std::to_string(r.code) + " ";
    if (!r.text) heading += "(no message)";
    else if (!r.tail) heading += r.text;
    else heading += std::string(r.text) + "NAME" + r.tail;
    out.push_back({r.code, heading});
  }
  return out;
}

}  // namespace vop::test
