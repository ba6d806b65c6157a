// LibreOffice opens the Word documents we write: a run with a coloured
// table, a single chart and a pair of charts converts to PDF without an
// error, and the PDF's text holds the table and the headings. The page
// with the pair and the table is left as docx_run.png in the build folder,
// to look at. Skips when LibreOffice is not installed.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "file_text.h"
#include "xlsx_facts.h"

namespace vop {
namespace {

namespace fs = std::filesystem;
using test::shell;
using test::slurp;

bool have(const char* program) {
  return shell(std::string("command -v ") + program + " >/dev/null 2>&1") == 0;
}

class DocxInWriter : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!have("soffice")) GTEST_SKIP() << "LibreOffice missing";
    // Per process: other checkouts may run these tests at the same time.
    dir_ = ::testing::TempDir() + "vop_docx_writer_" + std::to_string(::getpid()) + "/";
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    if (!dir_.empty()) fs::remove_all(dir_);
  }
  std::string dir_;
};

TEST_F(DocxInWriter, WriterConvertsARunWithTablesAndCharts) {
  const std::string script = dir_ + "run.s";
  std::ofstream(script) << slurp(std::string(VOP_SOURCE_DIR) + "/examples/tables.s")
                        << "heading(2, \"Charts\")\n"
                           "lchartPie([\"60\"; \"40\"], [\"Yes\"; \"No\"], [\"Share\"], [], [], [], [], [\"%\"])\n"
                           "rchartBar([\"42\" \"40\"; \"31\" \"33\"], [\"Very\"; \"Quite\"], [\"Male\" \"Female\"])\n"
                           "chartBar([\"12\"; \"30\"], [\"a\"; \"b\"])\n";
  const std::string doc = dir_ + "docx_run.docx";
  const std::string run = std::string("cd '") + VOP_SOURCE_DIR + "' && '" + VOP_RUN +
                          "' --no-startup --docx-charts '" + doc + "' '" + script + "' >/dev/null";
  ASSERT_EQ(shell(run), 0);
  // A profile of its own, so that a running LibreOffice is not disturbed.
  const std::string cmd = "soffice -env:UserInstallation=file://" + dir_ + "profile --headless --convert-to pdf" +
                          " --outdir '" + dir_ + "' '" + doc + "' >/dev/null 2>&1";
  ASSERT_EQ(shell(cmd), 0) << cmd;
  const std::string pdf = dir_ + "docx_run.pdf";
  std::error_code ec;
  ASSERT_GT(fs::file_size(pdf, ec), 0u) << cmd;
  if (have("pdftotext")) {
    ASSERT_EQ(shell("pdftotext -layout '" + pdf + "' '" + dir_ + "text.txt'"), 0);
    const std::string text = slurp(dir_ + "text.txt");
    for (const char* s : {"Q1. How satisfied are you with our service?", "Very satisfied", "42.0%", "3.99",
                          "Charts"})
      EXPECT_NE(text.find(s), std::string::npos) << s;
  }
  if (have("pdftoppm")) {
    // The second page holds the pair of charts.
    EXPECT_EQ(shell("pdftoppm -png -r 80 -f 2 -l 2 -singlefile '" + pdf + "' '" + VOP_BINARY_DIR + "/docx_run'"), 0);
    EXPECT_EQ(shell("pdftoppm -png -r 80 -f 1 -l 1 -singlefile '" + pdf + "' '" + VOP_BINARY_DIR +
                    "/docx_run_table'"),
              0);
  }
}

}  // namespace
}  // namespace vop
