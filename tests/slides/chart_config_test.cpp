// chart.cfg as Tesvin reads it: comments, the end sentry, values continued
// over lines, later keys replacing earlier ones, numbers, the defaults, a
// missing file.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "companions/slides/chart_config.h"

namespace vop {
namespace {

std::map<std::string, std::string> values(const std::string& text) {
  std::istringstream in(text);
  return read_config_values(in);
}

TEST(ChartConfig, KeysValuesAndComments) {
  const auto v = values(
      "# a comment line\n"
      "  template =  Plain.potx   # the template\r\n"
      "styleHead3\t=\tHeading 3\n"
      "empty =\n"
      "a=b=c\n"
      "\n"
      "no delimiter here\n"
      "Template = other\n"
      "   = nameless\n");
  EXPECT_EQ(v.at("template"), "Plain.potx");
  EXPECT_EQ(v.at("styleHead3"), "Heading 3");
  EXPECT_EQ(v.at("empty"), "");
  EXPECT_EQ(v.at("a"), "b=c");  // the first "=" divides
  EXPECT_EQ(v.at("Template"), "other");  // keys are case-sensitive
  EXPECT_EQ(v.at(""), "nameless");
  EXPECT_EQ(v.count("no delimiter here"), 0u);
}

TEST(ChartConfig, ContinuedValuesEndAtABlankLineOrTheNextKey) {
  const auto v = values(
      "text = first\n"
      "   second line  \n"
      "third # with a comment\n"
      "  \t \n"
      "stray line after the blank\n"
      "next = one\n"
      "two\n"
      "last = x\n");
  EXPECT_EQ(v.at("text"), "first\nsecond line\nthird");
  EXPECT_EQ(v.at("next"), "one\ntwo");
  EXPECT_EQ(v.at("last"), "x");
  EXPECT_EQ(v.size(), 3u);
}

TEST(ChartConfig, TheSentryEndsReadingAndLaterKeysReplace) {
  const ChartConfig c = chart_config_from(values(
      "base_left = 1\n"
      "base_left = 2.5\n"
      "chart1of1_top = 7 # EndConfigFile in a comment does not end it\n"
      "chart1of1_left = 3 EndConfigFile\n"
      "chart1of1_width = 99\n"));
  EXPECT_EQ(c.base.left, 2.5);
  EXPECT_EQ(c.chart1of1.top, 7);
  EXPECT_EQ(c.chart1of1.left, 162);   // its line held the sentry
  EXPECT_EQ(c.chart1of1.width, 410);  // after the sentry: the default
}

TEST(ChartConfig, NumbersAndDefaults) {
  const ChartConfig d = chart_config_from({});
  EXPECT_EQ(d.template_name, "");
  EXPECT_EQ(d.style_title, "");
  const std::pair<SlideBox, SlideBox> expected[] = {
      {d.st, {0, 90.625, 720, 24}},
      {d.base, {36.875, 69, 641.125, 18.875}},
      {d.base_st, {0, 109.5, 720, 18.875}},
      {d.chart1of1, {162, 135, 410, 335}},
      {d.chart1of2, {11, 135, 335, 335}},
      {d.chart2of2, {370, 135, 335, 335}},
      {d.chart1of1_st, {200.25, 165.375, 330, 275}},
      {d.chart1of2_st, {29, 165.375, 329, 275}},
      {d.chart2of2_st, {374, 165.375, 329, 275}},
  };
  for (const auto& [got, want] : expected) {
    EXPECT_EQ(got.left, want.left);
    EXPECT_EQ(got.top, want.top);
    EXPECT_EQ(got.width, want.width);
    EXPECT_EQ(got.height, want.height);
  }
  const ChartConfig c = chart_config_from(values(
      "st_left = -12.25\nst_top = +3e1\nst_width = 1.5pt\nst_height = wide\nchart2of2_st_height = 0.125\n"));
  EXPECT_EQ(c.st.left, -12.25);
  EXPECT_EQ(c.st.top, 30);
  EXPECT_EQ(c.st.width, 1.5);  // the number before the unit
  EXPECT_EQ(c.st.height, 24);  // no number: the default, with a warning
  ASSERT_EQ(c.warnings.size(), 1u);
  EXPECT_NE(c.warnings[0].find("st_height"), std::string::npos);
  EXPECT_EQ(c.chart2of2_st.height, 0.125);
}

TEST(ChartConfig, AMissingFileGivesTheDefaultsAndAMessage) {
  ChartConfig c;
  c.template_name = "left over";
  std::string error;
  EXPECT_FALSE(read_chart_config("/nonexistent/Syntax/chart.cfg", &c, &error));
  EXPECT_NE(error.find("/nonexistent/Syntax/chart.cfg"), std::string::npos) << error;
  EXPECT_EQ(c.template_name, "");
  EXPECT_EQ(c.chart1of1.width, 410);
}

}  // namespace
}  // namespace vop
