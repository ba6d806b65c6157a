// print through a script: what the window shows for one to seven parts, the
// checks with their codes, and tables without data rows.
#include <gtest/gtest.h>

#include <string>

#include "script_run.h"

namespace vop {
namespace {

using test::ScriptRun;

// The window text of one run, which must succeed.
std::string shown(const std::string& script) {
  ScriptRun s;
  EXPECT_EQ(s.run(script), 0) << script << "\n" << s.window.shown;
  return s.window.shown;
}

// Parts 4 to 7 for a 2 x 2 body under one heading level with one level of
// row headings: a 3 x 3 grid, four lines each way.
constexpr const char* kColours = "[255 0 0; 0 255 65280; 0 NaN 16711680]";
constexpr const char* kBorders = "[0 1 2 3]";

TEST(Print, TheWindowShowsTheDataWithItsLabels) {
  const std::string data = "print([1 2; 3 4]";
  const std::string rows = ", [\"a\"; \"b\"]";
  const std::string cols = ", [\"x\" \"y\"]";

  // The data alone: the plain display, without an "ans =" header.
  const std::string alone = shown(data + ")");
  EXPECT_EQ(alone.find("ans"), std::string::npos);
  EXPECT_NE(alone.find('1'), std::string::npos);
  EXPECT_NE(alone.find('4'), std::string::npos);
  EXPECT_EQ(alone, shown("[1 2; 3 4]").substr(shown("[1 2; 3 4]").find('\n') + 1));

  // With labels: tab-separated lines, labels before the values.
  const std::string labelled = shown(data + rows + cols + ")");
  EXPECT_EQ(labelled, "\tx\ty\na\t1.000\t2.000\nb\t3.000\t4.000\n");
  EXPECT_EQ(shown(data + rows + ")"), "a\t1.000\t2.000\nb\t3.000\t4.000\n");
  // Row headings without rows add no level.
  EXPECT_EQ(shown(data + ", []" + cols + ")"),
            "x\ty\n1.000\t2.000\n3.000\t4.000\n");

  // Colours and borders do not show in the window: four to seven parts
  // look like three.
  const std::string c = std::string(", ") + kColours;
  const std::string b = std::string(", ") + kBorders;
  for (const std::string& more : {c, c + c, c + c + b, c + c + b + b})
    EXPECT_EQ(shown(data + rows + cols + more + ")"), labelled) << more;
}

TEST(Print, StringBodiesShowAsTheyStand) {
  EXPECT_EQ(shown("print([\"12%\" \"##5\"], [\"all\"], [\"yes\" \"no\"])"),
            "\tyes\tno\nall\t12%\t##5\n");
}

// The error code a script ends with, and that nothing but the error
// report reached the window.
int failing(const std::string& script) {
  ScriptRun s;
  const int code = s.run(script);
  EXPECT_TRUE(s.window.shown.starts_with("ERROR : ")) << script << "\n" << s.window.shown;
  return code;
}

TEST(Print, EachCheckStopsTheRunWithItsCode) {
  const std::string head = "print([1 2; 3 4], [\"a\"; \"b\"], [\"x\" \"y\"]";
  const std::string c = std::string(", ") + kColours;
  const std::string b = std::string(", ") + kBorders;
  struct Case {
    std::string script;
    int code;
  };
  const Case cases[] = {
      {"print()", 81},
      {"x = print(1)", 80},
      {head + c + c + b + b + ", 1)", 82},
      {"print(1, [\"a\"; \"b\"])", 70},
      {"print([1 2; 3 4], [1; 2])", 64},
      {"print([1 2; 3 4], [\"a\"; \"b\"], [\"x\"])", 70},
      {"print([1 2; 3 4], [\"a\"; \"b\"], [1 2])", 64},
      {head + ", zeros(2, 2))", 70},
      {head + ", [\"r\" \"g\" \"b\"; \"r\" \"g\" \"b\"; \"r\" \"g\" \"b\"])", 63},
      {head + c + ", zeros(3, 2))", 70},
      {head + c + ", [\"r\" \"g\" \"b\"; \"r\" \"g\" \"b\"; \"r\" \"g\" \"b\"])", 63},
      {head + c + c + ", [0 1 2])", 70},
      {head + c + c + ", [\"0\" \"1\" \"2\" \"3\"])", 63},
      {head + c + c + b + ", [0 1 2 3 0])", 70},
      {head + c + c + b + ", [\"0\" \"1\" \"2\" \"3\"])", 63},
      // The first failure wins: row headings before column headings,
      // headings before colours, sizes before types.
      {"print([1 2; 3 4], [1; 2; 3], [\"x\"])", 70},
      {"print([1 2; 3 4], [\"a\"; \"b\"], [1 2], zeros(1, 1))", 64},
      {"print([1 2; 3 4], [\"a\"; \"b\"], [\"x\" \"y\"], [\"r\"])", 70},
      // An argument that fails to evaluate stops the call first.
      {"print([1 2], no_such_name)", 96},
  };
  for (const Case& k : cases) EXPECT_EQ(failing(k.script), k.code) << k.script;
}

TEST(Print, EmptyColourPartsCountAsAbsentAndBordersTakeAnyShape) {
  const std::string head = "print([1 2; 3 4], [\"a\"; \"b\"], [\"x\" \"y\"]";
  const std::string labelled = shown(head + ")");
  EXPECT_EQ(shown(head + ", [], [], [0; 1; 2; 3], [0 1; 2 3])"), labelled);
  EXPECT_EQ(shown(head + ", [], " + kColours + ", [], [])"), labelled);
}

TEST(Print, ATableWithoutDataRowsPrintsEmptyBrackets) {
  EXPECT_EQ(shown("print(zeros(0, 2))"), "[]\n");
  EXPECT_EQ(shown("print(zeros(0, 2), [], [\"x\" \"y\"])"), "[]\n");
  for (bool html : {false, true}) {
    ScriptRun s;
    ASSERT_TRUE(s.redirect(html));
    EXPECT_EQ(s.run("print(zeros(0, 2), [], [\"x\" \"y\"])"), 0);
    EXPECT_EQ(s.file(), html ? "[]\n" : "{\\s0\\ql\\f0\\fs16 []\n\\par}\n");
    EXPECT_EQ(s.out.documents().counts.tables, 0) << "[] is no table";
  }
}

}  // namespace
}  // namespace vop
