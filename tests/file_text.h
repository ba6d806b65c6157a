// Whole files as text, for tests that check what a program wrote.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

namespace vop::test {

// The bytes of the file at `path`; empty when it cannot be read.
inline std::string slurp(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

}  // namespace vop::test
