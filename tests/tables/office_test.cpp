// What we write opens in a real office suite: LibreOffice converts the RTF
// document and the Excel-HTML workbook of the sample tables to PDF, and the
// headings, labels and values are in the PDF's text. Skips when LibreOffice
// or poppler's pdftotext is not installed.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "file_text.h"

namespace vop {
namespace {

using test::slurp;

bool have(const char* program) {
  const std::string cmd = std::string("command -v ") + program + " >/dev/null 2>&1";
  return std::system(cmd.c_str()) == 0;
}

int shell(const std::string& cmd) {
  const int raw = std::system(cmd.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

// The PDF's text in lower case without white space: cells of the fixed
// RTF grid wrap their words, and small capitals come out as capitals.
std::string pdf_words(const std::string& pdf) {
  const std::string txt = pdf + ".txt";
  if (shell("pdftotext '" + pdf + "' '" + txt + "'") != 0) return "";
  std::string s;
  for (unsigned char c : slurp(txt))
    if (!std::isspace(c)) s += char(std::tolower(c));
  return s;
}

class OfficeCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!have("soffice") || !have("pdftotext")) GTEST_SKIP() << "LibreOffice or pdftotext missing";
    dir_ = ::testing::TempDir() + "vop_office_check/";
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
  }

  // Writes the sample tables with vop-run and converts them with the given
  // import filter; the PDF's words.
  std::string convert(const char* option, const std::string& name, const char* filter) {
    const std::string doc = dir_ + name;
    EXPECT_EQ(shell(std::string("cd '") + VOP_SOURCE_DIR + "' && '" + VOP_RUN + "' --no-startup " +
                    option + " '" + doc + "' examples/tables.s"),
              0);
    // A profile of its own, so that a running LibreOffice is not disturbed.
    const std::string cmd = "soffice -env:UserInstallation=file://" + dir_ +
                            "profile --headless --infilter='" + filter +
                            "' --convert-to pdf --outdir '" + dir_ + "' '" + doc +
                            "' >/dev/null 2>&1";
    EXPECT_EQ(shell(cmd), 0);
    const std::string pdf = dir_ + std::filesystem::path(name).stem().string() + ".pdf";
    EXPECT_TRUE(std::filesystem::exists(pdf)) << cmd;
    return pdf_words(pdf);
  }

  std::string dir_;
};

void expect_survey(const std::string& words, const char* what) {
  for (const char* w : {"customersatisfactionsurvey", "q1.howsatisfiedareyouwithourservice?",
                        "gender", "female", "18-34", "55+", "satisfaction", "verysatisfied",
                        "verydissatisfied", "42.0%", "46.3%", "4.3%",
                        "base:allrespondents,n=1000", "3.99", "4.1"})
    EXPECT_NE(words.find(w), std::string::npos) << what << " lacks " << w << "\n" << words;
}

TEST_F(OfficeCheck, WriterOpensTheRtfDocument) {
  expect_survey(convert("--rtf", "tables.rtf", "Rich Text Format"), "RTF");
}

TEST_F(OfficeCheck, CalcOpensTheExcelHtmlWorkbook) {
  expect_survey(convert("--excel-html", "tables.xls", "HTML (StarCalc)"), "workbook");
}

}  // namespace
}  // namespace vop
