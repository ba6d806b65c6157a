// LibreOffice opens the workbooks we write: it converts a run's .xlsx and
// the syntax generator to PDF without an error. The first page of the run
// is also rendered to xlsx_run.png in the build folder, to look at.
// Skips when LibreOffice is not installed.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "document/output_event.h"
#include "office/syntax_generator.h"
#include "office/xlsx_writer.h"
#include "xlsx_facts.h"

namespace vop {
namespace {

namespace fs = std::filesystem;
using test::shell;

bool have(const char* program) {
  return shell(std::string("command -v ") + program + " >/dev/null 2>&1") == 0;
}

class XlsxInCalc : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!have("soffice")) GTEST_SKIP() << "LibreOffice missing";
    // Per process: other checkouts may run these tests at the same time.
    dir_ = ::testing::TempDir() + "vop_xlsx_calc_" + std::to_string(::getpid()) + "/";
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    if (!dir_.empty()) fs::remove_all(dir_);
  }
  // The PDF LibreOffice makes of `doc`.
  std::string to_pdf(const std::string& doc) {
    // A profile of its own, so that a running LibreOffice is not disturbed.
    const std::string cmd = "soffice -env:UserInstallation=file://" + dir_ + "profile --headless --convert-to pdf" +
                            " --outdir '" + dir_ + "' '" + doc + "' >/dev/null 2>&1";
    EXPECT_EQ(shell(cmd), 0) << cmd;
    const std::string pdf = dir_ + fs::path(doc).stem().string() + ".pdf";
    std::error_code ec;
    EXPECT_GT(fs::file_size(pdf, ec), 0u) << cmd;
    return pdf;
  }
  std::string dir_;
};

TEST_F(XlsxInCalc, CalcOpensTheRunWorkbook) {
  const std::string doc = dir_ + "xlsx_run.xlsx";
  const std::string run = std::string("cd '") + VOP_SOURCE_DIR + "' && '" + VOP_RUN +
                          "' --no-startup --xlsx '" + doc + "' examples/tables.s >/dev/null";
  ASSERT_EQ(shell(run), 0);
  const std::string pdf = to_pdf(doc);
  if (have("pdftoppm")) {
    EXPECT_EQ(shell("pdftoppm -png -r 80 -f 1 -l 1 -singlefile '" + pdf + "' '" + VOP_BINARY_DIR +
                    "/xlsx_run'"),
              0);
  }
}

TEST_F(XlsxInCalc, CalcOpensTheSyntaxGenerator) {
  const std::string doc = dir_ + "generator.xlsx";
  std::vector<GeneratorVariable> vars = {{1, "Gender", "GENDER", {{1, "Male"}, {2, "Female"}}},
                                         {2, "Age", "AGE", {}}};
  std::string error;
  ASSERT_TRUE(write_syntax_generator(doc, vars, "", &error)) << error;
  to_pdf(doc);
}

}  // namespace
}  // namespace vop
