#include "core/errors.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "core/output_sink.h"

namespace vop {
namespace {

namespace fs = std::filesystem;

std::string report(const ErrorState& err, std::string_view text, const SearchPath& path = {}) {
  StringSink out;
  report_error(err, text, path, out);
  return out.text;
}

TEST(ErrorMessages, TableQuotingAndUnknownCodes) {
  EXPECT_EQ(error_message(34, ""), "String or variable name excides allowed maximum");
  EXPECT_EQ(error_message(96, "foo"), "Unknown variable, function 'foo'");
  EXPECT_EQ(error_message(78, "V1"), "Wrong reference of non-existing variable 'V1' in Data");
  EXPECT_EQ(error_message(107, "x"), "Missing arguments for operation 'x'");
  EXPECT_EQ(error_message(116, "$m"),
            "Multiple variable '$m' doesn't have same number of variables as previously  listed.");
  EXPECT_EQ(error_message(44, ""), " code 44");
  EXPECT_EQ(error_message(1565, ""), "Different number of variables to recode and to recode into");
  EXPECT_EQ(error_message(255, std::string(300, 'x')), std::string(242, 'x'));
}

TEST(ErrorState, FirstErrorWinsAndLineIsSetOnce) {
  ErrorState err;
  EXPECT_FALSE(err.raise(96, "a"));
  err.raise(63);
  err.raise(kErrStopped);
  EXPECT_EQ(err.code(), 96);
  EXPECT_EQ(err.name(), "a");
  err.set_line_once(4);
  err.set_line_once(9);
  EXPECT_EQ(err.line(), 4);
  err.clear();
  EXPECT_EQ(err.code(), 0);
  err.raise(kErrStopped);
  EXPECT_EQ(err.code(), kErrStopped);
}

TEST(ErrorReport, RunTextShapes) {
  ErrorState err;
  err.raise(kErrStopped);
  err.set_line_once(2);
  EXPECT_EQ(report(err, "a = 1\nwhile 1\nend"),
            "ERROR : Process is stopped by the user\non the line 'while 1'\n");

  ErrorState first;
  first.raise(63);
  first.set_line_once(1);
  EXPECT_EQ(report(first, "x = \"a\" + 1\r\ny"),
            "ERROR : Argument must be numeric\non the line 'x = \"a\" + 1'\n");

  ErrorState unknown;
  unknown.raise(4711);
  unknown.set_line_once(1);
  EXPECT_EQ(report(unknown, ""), "ERROR :  code 4711\n");

  ErrorState silent;
  silent.raise(kErrSilent);
  EXPECT_EQ(report(silent, "x"), "");

  ErrorState script;
  script.raise(kErrScriptText, "my own text");
  script.set_line_once(1);
  EXPECT_EQ(report(script, "error(\"my own text\")"),
            "ERROR : my own text\non the line 'error(\"my own text\")'\n");
}

class ErrorReportFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("vop_err_" + std::to_string(::getpid()));
    fs::create_directories(dir_ / "lib");
    std::ofstream(dir_ / "lib" / "f.s") << "function y = f(x)\n\ty = x +\t\"a\";\nend\n";
    std::ofstream(dir_ / "lib" / "g.sc") << "scrambled";
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

TEST_F(ErrorReportFiles, QuotesTheFunctionFilesLineFoundOnTheSearchPath) {
  ErrorState err;
  err.raise(71);
  err.set_line_once(2);
  err.set_file("f");
  // The directory is written with a backslash, as Windows scripts do.
  SearchPath path = {(dir_ / "nothing").string(), dir_.string() + "\\lib"};
  EXPECT_EQ(report(err, "y = f(1)", path),
            "ERROR : Matrixes are of different type (string & numeric)\n"
            "on the 2. line of file f.s\n"
            "   y = x + \"a\";\n");
}

TEST_F(ErrorReportFiles, FileOrLineNoLongerThere) {
  SearchPath path = {(dir_ / "lib").string()};
  ErrorState gone;
  gone.raise(63);
  gone.set_line_once(3);
  gone.set_file("g");  // only g.sc exists: it is not reopened
  EXPECT_EQ(report(gone, "", path),
            "ERROR : Argument must be numeric\non the 3. line of file g.s\n"
            "Can't find specified file anymore\n");

  ErrorState past;
  past.raise(63);
  past.set_line_once(10);
  past.set_file("f");
  EXPECT_EQ(report(past, "", path),
            "ERROR : Argument must be numeric\non the 10. line of file f.s\n"
            "Can't find specified line in the file\n");

  ErrorState text;
  text.raise(kErrScriptText, "stop here");
  text.set_line_once(2);
  text.set_file("f");
  EXPECT_EQ(report(text, "", path), "ERROR : stop here\non the 2. line of file f.s\n");
}

}  // namespace
}  // namespace vop
