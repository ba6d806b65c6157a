// What openpyxl reads from a workbook (tests/office/xlsx_facts.py), as a
// map from "A1.value", "A1.format", "width.B", ... to the text it printed,
// and the merged ranges. Skips the test when openpyxl is missing.
#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "file_text.h"

namespace vop::test {

inline constexpr const char* kPython = "/usr/bin/python3";

inline int shell(const std::string& cmd) {
  const int raw = std::system(cmd.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

inline bool have_openpyxl() {
  return shell(std::string(kPython) + " -c 'import openpyxl' >/dev/null 2>&1") == 0;
}

struct XlsxFacts {
  std::map<std::string, std::string> facts;  // key -> value
  std::set<std::string> merges;              // "A5:A9"

  // The fact, or "(none)".
  std::string operator[](const std::string& key) const {
    auto it = facts.find(key);
    return it == facts.end() ? "(none)" : it->second;
  }
  bool has(const std::string& key) const { return facts.count(key) > 0; }
};

// Runs tests/office/SCRIPT on `file` and hands each KEY <tab> VALUE line
// it printed to `take`.
template <class Take>
void read_fact_lines(const char* script, const std::string& file, Take take) {
  const std::string listing = file + ".facts";
  const std::string cmd = std::string(kPython) + " '" + VOP_SOURCE_DIR + "/tests/office/" + script + "' '" + file +
                          "' > '" + listing + "'";
  EXPECT_EQ(shell(cmd), 0) << cmd;
  std::istringstream in(slurp(listing));
  for (std::string line; std::getline(in, line);) {
    const size_t tab = line.find('\t');
    if (tab != std::string::npos) take(line.substr(0, tab), line.substr(tab + 1));
  }
}

inline XlsxFacts read_facts(const std::string& xlsx) {
  XlsxFacts f;
  read_fact_lines("xlsx_facts.py", xlsx, [&](std::string key, std::string value) {
    if (key == "merge") f.merges.insert(std::move(value));
    else f.facts[std::move(key)] = std::move(value);
  });
  return f;
}

}  // namespace vop::test
