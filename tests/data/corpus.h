// The corpus of real system files kept with the tests (data/sav; SOURCES.md
// there says where each comes from), for tests that go through all.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace vop::test {

inline std::filesystem::path corpus_dir() { return VOP_SAV_DIR; }

// The path of one file of the corpus, from its name relative to corpus_dir().
inline std::string corpus_file(const std::string& rel) { return (corpus_dir() / rel).string(); }

// The .sav and .zsav files of the corpus, relative to corpus_dir() and
// sorted; with `reported`, only those with PSPP's report (FILE.pspp.txt)
// beside them.
inline std::vector<std::string> corpus_files(bool reported) {
  namespace fs = std::filesystem;
  std::vector<std::string> files;
  std::error_code ec;
  if (!fs::is_directory(corpus_dir(), ec)) return files;
  for (const auto& e : fs::recursive_directory_iterator(corpus_dir(), ec)) {
    const std::string ext = e.path().extension();
    if ((ext == ".sav" || ext == ".zsav") && (!reported || fs::exists(e.path().string() + ".pspp.txt")))
      files.push_back(fs::relative(e.path(), corpus_dir()).string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// A name made of a corpus file's path: letters and digits, '_' for the rest.
inline std::string name_of(std::string file) {
  for (char& c : file)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return file;
}

// Names the instances of a test that runs once per corpus file.
inline std::string corpus_test_name(const ::testing::TestParamInfo<std::string>& info) {
  return name_of(info.param);
}

}  // namespace vop::test
