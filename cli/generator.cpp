#include "cli/generator.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "data/dataset.h"

namespace vop {

std::vector<GeneratorVariable> generator_variables(const Dataset& data) {
  std::vector<GeneratorVariable> vars;
  for (int i = 0; i < data.variable_count(); ++i) {
    const DataVariable& v = data.variable(i);
    if (!v.numeric()) continue;
    GeneratorVariable g;
    g.position = i + 1;
    g.label = v.label.value_or(std::string());
    g.name = v.name();
    for (const ValueLabel& l : v.value_labels) g.value_labels.emplace_back(l.value, l.text);
    vars.push_back(std::move(g));
  }
  return vars;
}

bool write_generator(const std::string& path, const Dataset& data, const std::string& program_dir) {
  std::error_code ec;
  std::string header = (std::filesystem::path(program_dir) / "Syntax" / "generator_header.txt").string();
  if (program_dir.empty() || !std::filesystem::is_regular_file(header, ec)) header.clear();
  std::string why;
  if (!write_syntax_generator(path, generator_variables(data), header, &why)) {
    std::fprintf(stderr, "vop-run: %s\n", why.c_str());
    return false;
  }
  std::printf("%s\n", path.c_str());
  return true;
}

}  // namespace vop
