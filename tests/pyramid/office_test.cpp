// LibreOffice with Pyramid: Impress converts a drawn slide to PDF whose
// text holds the values and names (the page is left as pyramid_slide.png
// in the build folder, to look at), and a workbook that Calc saved is read
// by its range. Skips when LibreOffice is not installed.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "companions/pyramid/pyramid_cli.h"
#include "companions/pyramid/pyramid_table.h"
#include "file_text.h"

namespace vop::pyramid {
namespace {

namespace fs = std::filesystem;
using test::slurp;

int shell(const std::string& cmd) { return std::system(cmd.c_str()); }
bool have(const char* program) { return shell(std::string("command -v ") + program + " >/dev/null 2>&1") == 0; }

class PyramidInOffice : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!have("soffice")) GTEST_SKIP() << "LibreOffice missing";
    // Per process: other checkouts may run these tests at the same time.
    dir_ = ::testing::TempDir() + "vop_pyramid_office_" + std::to_string(::getpid()) + "/";
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    if (!dir_.empty()) fs::remove_all(dir_);
  }
  // soffice --convert-to with a profile of its own.
  void convert(const std::string& file, const std::string& to) {
    const std::string cmd = "soffice -env:UserInstallation=file://" + dir_ + "profile --headless --convert-to " + to +
                            " --outdir '" + dir_ + "' '" + file + "' >/dev/null 2>&1";
    ASSERT_EQ(shell(cmd), 0) << cmd;
  }
  std::string dir_;
};

TEST_F(PyramidInOffice, ImpressDrawsTheSlide) {
  std::ofstream(dir_ + "funnel.tsv") << "Bought\t28\t35\t22\t30\n"
                                        "Tried\t46\t52\t40\t44\n"
                                        "Considered\t64\t58\t71\t15\n"
                                        "Aware\t88\t80\t95\t90\n"
                                        "\tNorth\tSouth\tEast\tWest\n";
  std::ostringstream out, err;
  ASSERT_EQ(run_command_line({"--input", dir_ + "funnel.tsv", "--output", dir_ + "pyramid_slide.pptx", "--optimal",
                              "--seed", "12345"},
                             "", out, err),
            0)
      << err.str();
  convert(dir_ + "pyramid_slide.pptx", "pdf");
  const std::string pdf = dir_ + "pyramid_slide.pdf";
  std::error_code ec;
  ASSERT_GT(fs::file_size(pdf, ec), 0u);
  if (have("pdftotext")) {
    ASSERT_EQ(shell("pdftotext -layout '" + pdf + "' '" + dir_ + "text.txt'"), 0);
    const std::string text = slurp(dir_ + "text.txt");
    for (const char* s : {"Considered", "Optimal", "North", "West", "88", "15", "293"})
      EXPECT_NE(text.find(s), std::string::npos) << s << "\n" << text;
  }
  if (have("pdftoppm")) {
    EXPECT_EQ(shell("pdftoppm -png -r 96 -singlefile '" + pdf + "' '" + VOP_BINARY_DIR + "/pyramid_slide'"), 0);
  }
}

TEST_F(PyramidInOffice, AWorkbookCalcSavedIsReadByItsRange) {
  std::ofstream(dir_ + "book.csv") << "Survey,,\nAware,28,35\nBought,88,80\n,North,South\n";
  convert(dir_ + "book.csv", "xlsx");
  Table t;
  std::string error;
  ASSERT_TRUE(read_table_file(dir_ + "book.xlsx:book!A2:C4", &t, &error)) << error;
  ASSERT_EQ(t.size(), 3u);
  ASSERT_EQ(t[0].size(), 3u);
  EXPECT_EQ(t[0][0].text, "Aware");
  EXPECT_EQ(t[1][2].number, 80);
  EXPECT_EQ(t[2][0].kind, Cell::Kind::None);
  EXPECT_EQ(t[2][1].text, "North");
}

}  // namespace
}  // namespace vop::pyramid
