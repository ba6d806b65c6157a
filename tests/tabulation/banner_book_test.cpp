// The banner book of examples/banner.s as Word and Excel users get it:
// vop-run writes it, python-docx and openpyxl read it back.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

constexpr const char* kPython = "/usr/bin/python3";

std::string capture(const std::string& command) {
  std::string out;
  if (FILE* p = ::popen(command.c_str(), "r")) {
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    ::pclose(p);
  }
  return out;
}

class BannerBook : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(::testing::TempDir()) / ("vop_banner_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string write(const std::string& option, const std::string& name) {
    const std::string path = (dir_ / name).string();
    const std::string command = "cd '" + std::string(VOP_SOURCE_DIR) + "' && '" + VOP_RUN +
                                "' --no-startup --data examples/survey.sav --" + option + " '" + path +
                                "' examples/banner.s > /dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return path;
  }
  bool have(const char* module) {
    return std::system((std::string(kPython) + " -c 'import " + module + "' > /dev/null 2>&1").c_str()) == 0;
  }
  fs::path dir_;
};

// The three tables, their merged banner headings, the letters in the
// cells, and the weighting report before them.
TEST_F(BannerBook, WordDocument) {
  if (!have("docx")) GTEST_SKIP() << "python3-docx is not installed";
  const std::string doc = write("docx", "banner.docx");
  const std::string text = capture(std::string(kPython) + " -c \"import docx, sys\n"
                                   "d = docx.Document(sys.argv[1])\n"
                                   "print(len(d.tables))\n"
                                   "for p in d.paragraphs: print(p.text)\n"
                                   "t = d.tables[0]\n"
                                   "for r in t.rows: print('|'.join(c.text for c in r.cells))\" '" +
                                   doc + "'");
  EXPECT_EQ(text.substr(0, 2), "3\n") << text;
  EXPECT_NE(text.find("Rim weighting: "), std::string::npos) << text;
  EXPECT_NE(text.find("Brands used"), std::string::npos) << text;
  EXPECT_NE(text.find("|Sex|Sex|Age|Age|Age|Region|Region|Region|Region"), std::string::npos) << text;
  EXPECT_NE(text.find("|Male (A)|Female (B)|18-34 (C)|"), std::string::npos) << text;
  EXPECT_NE(text.find("Unhappy (1-2)|"), std::string::npos) << text;
  EXPECT_NE(text.find("% F"), std::string::npos) << text;
}

TEST_F(BannerBook, Workbook) {
  if (!have("openpyxl")) GTEST_SKIP() << "python3-openpyxl is not installed";
  const std::string book = write("xlsx", "banner.xlsx");
  const std::string text = capture(std::string(kPython) + " -c \"import openpyxl, sys\n"
                                   "ws = openpyxl.load_workbook(sys.argv[1]).active\n"
                                   "for r in ws.iter_rows(values_only=True): print('|'.join('' if v is None else str(v) for v in r))\" '" +
                                   book + "'");
  EXPECT_NE(text.find("Base (unweighted)|"), std::string::npos) << text;
  EXPECT_NE(text.find("Happy (4-5)|"), std::string::npos) << text;
  EXPECT_NE(text.find("Male (A)|Female (B)"), std::string::npos) << text;
  EXPECT_NE(text.find("% F"), std::string::npos) << text;
}

}  // namespace
