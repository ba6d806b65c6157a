// What python-docx (tests/office/docx_facts.py) reads from a .docx, as a
// map from "p.0", "t.0.1.2", "chart.1", ... to the text it printed, and the
// package faults it found. Needs VOP_SOURCE_DIR.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "file_text.h"
#include "xlsx_facts.h"

namespace vop::test {

inline bool have_python_docx() {
  return shell(std::string(kPython) + " -c 'import docx' >/dev/null 2>&1") == 0;
}

struct DocxFacts {
  std::map<std::string, std::string> facts;
  std::vector<std::string> problems;
  std::string operator[](const std::string& key) const {
    auto it = facts.find(key);
    return it == facts.end() ? "(none)" : it->second;
  }
  bool has(const std::string& key) const { return facts.count(key) > 0; }
};

inline DocxFacts read_docx(const std::string& docx) {
  DocxFacts f;
  read_fact_lines("docx_facts.py", docx, [&](std::string key, std::string value) {
    if (key == "problem") f.problems.push_back(std::move(value));
    else f.facts[std::move(key)] = std::move(value);
  });
  return f;
}

}  // namespace vop::test
