// A script environment for the data tests: an interpreter with the general
// and the data builtins, its output captured, and a private temporary
// directory for the files a test writes.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "builtins/library.h"
#include "corpus.h"
#include "core/interpreter.h"
#include "data/data_builtins.h"

namespace vop::testing_data {

using test::corpus_file;

inline constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
inline constexpr double kInf = std::numeric_limits<double>::infinity();

class ScriptTest : public ::testing::Test {
 protected:
  ScriptTest() : interp_(out_) {
    install_builtins(interp_);
    install_data_builtins(interp_);
    dir_ = std::filesystem::path(::testing::TempDir()) /
           ("vop_data_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  ~ScriptTest() override { std::filesystem::remove_all(dir_); }

  // Run a script; the error code (0 for none). Output so far is in out().
  int run(const std::string& text) { return interp_.run_text(text); }
  // Run a script that must succeed.
  void ok(const std::string& text) {
    const int code = run(text);
    ASSERT_EQ(code, 0) << text << "\n" << out_.text;
  }
  // The error code a script ends with, the dataset as it then is kept.
  int code(const std::string& text) { return run(text); }

  const std::string& out() const { return out_.text; }
  void clear_out() { out_.text.clear(); }
  Dataset& ds() { return dataset_of(interp_); }
  std::string path(const std::string& name) const { return (dir_ / name).string(); }

  // A script-level variable.
  const Matrix& var(const std::string& name) {
    ErrorState err;
    const Matrix* m = interp_.workspace().lookup(name, err);
    EXPECT_NE(m, nullptr) << name;
    static const Matrix none;
    return m ? *m : none;
  }
  std::vector<double> nums(const std::string& name) {
    const Matrix& m = var(name);
    EXPECT_TRUE(m.numeric()) << name;
    return m.numeric() ? std::vector<double>(m.num(), m.num() + m.size()) : std::vector<double>();
  }
  std::vector<std::string> texts(const std::string& name) {
    const Matrix& m = var(name);
    std::vector<std::string> out;
    if (m.numeric()) return out;
    for (int64_t k = 0; k < m.size(); ++k) out.push_back(m.str()[k] ? *m.str()[k] : "<absent>");
    return out;
  }
  std::string file_bytes(const std::string& name) const {
    std::ifstream in(path(name), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  void write_file(const std::string& name, const std::string& bytes) const {
    std::ofstream(path(name), std::ios::binary) << bytes;
  }

  StringSink out_;
  Interpreter interp_;
  std::filesystem::path dir_;
};

// Equality of numeric vectors where NaN equals NaN.
inline ::testing::AssertionResult SameNumbers(const std::vector<double>& got,
                                              const std::vector<double>& want) {
  bool same = got.size() == want.size();
  for (size_t i = 0; same && i < got.size(); ++i)
    same = (std::isnan(got[i]) && std::isnan(want[i])) || got[i] == want[i];
  if (same) return ::testing::AssertionSuccess();
  std::ostringstream s;
  s << "got [";
  for (double x : got) s << ' ' << x;
  s << " ] want [";
  for (double x : want) s << ' ' << x;
  s << " ]";
  return ::testing::AssertionFailure() << s.str();
}

}  // namespace vop::testing_data
