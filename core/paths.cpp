#include "core/paths.h"

#include <algorithm>

namespace vop {

std::string native_path(std::string_view script_path) {
  std::string p(script_path);
  std::replace(p.begin(), p.end(), '\\', '/');
  return p;
}

std::FILE* open_on_search_path(std::string_view file,
                               const std::vector<std::string>& search_path,
                               std::string* opened_path) {
  const std::string name = native_path(file);
  auto try_open = [&](const std::string& path) -> std::FILE* {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f && opened_path) *opened_path = path;
    return f;
  };
  if (std::FILE* f = try_open(name)) return f;
  for (const std::string& dir : search_path) {
    std::string d = native_path(dir);
    if (!d.empty() && d.back() != '/') d += '/';
    if (std::FILE* f = try_open(d + name)) return f;
  }
  return nullptr;
}

}  // namespace vop
