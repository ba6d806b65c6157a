// !compute, !if and !recode: the compiler's shape checks and the run-time
// operations over the selected cases.
#include "script_fixture.h"

namespace vop::testing_data {
namespace {

using Transform = ScriptTest;

// A (1, 2, 4, 7, NaN), B (1, 0, NaN, 2, 1), string S, filter variable F unset.
constexpr char kData[] =
    "DataAddVar([\"a\" \"b\" \"f\"])\nDataAddCVar(\"s\")\nDataAddCase(5)\n"
    "Data(:, 1) = [1; 2; 4; 7; NaN]\nData(:, 2) = [1; 0; NaN; 2; 1]\nData(:, 3) = [1; 1; 0; 0; 1]\n"
    "Data(:, 4) = \"s\"\n";

TEST_F(Transform, CompileErrors) {
  const struct {
    const char* text;
    int code;
  } cases[] = {
      {"!compute.", 1500},         {"!compute a.", 1501},          {"!compute a = 1 2.", 1500},
      {"!compute a = .", 1500},    {"!compute = 1.", 1500},        {"!compute 3 = 1.", 1500},
      {"!if a > 1 x = 2.", 1550},  {"!if (a) x.", 1551},           {"!if (a).", 1550},
      {"!if () x = 1.", 1550},     {"!if (a) x = 1 2.", 1550},     {"!recode (1 = 2).", 1561},
      {"!recode a, , b (1 = 2).", 1561}, {"!recode a, (1 = 2).", 1561}, {"!recode a 5 (1 = 2).", 1563},
      {"!recode a (1 = 2) b.", 1564}, {"!recode a.", 1560},          {"!recode a (1) .", 1560},
      {"!recode a b (1 = 2) into c.", 1565}, {"!recode a (1 = 2) into.", 1561},
      {"!recode a (1:2:3 = 1).", 1560},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(code(c.text), c.code) << c.text;
    EXPECT_EQ(interp_.error().line(), 1) << c.text;
  }
}

TEST_F(Transform, ComputeUnderAFilter) {
  ok(std::string(kData) + "DataSelect(\"F\")\n!compute new = a * b + 1.\n!compute one = 5.\n"
     "DataSelect()\nn = DataX(:, \"NEW\")\no = DataX(:, \"ONE\")");
  // Elementwise product at the selected cases 1, 2, 5; others stay NaN.
  EXPECT_TRUE(SameNumbers(nums("n"), {2, 1, kNan, kNan, kNan}));
  EXPECT_TRUE(SameNumbers(nums("o"), {5, 5, kNan, kNan, 5}));
  // "*" is the matrix product again outside the statements.
  ok("m = [1 2; 3 4] * [1 0; 0 1]");
  EXPECT_TRUE(SameNumbers(nums("m"), {1, 3, 2, 4}));
}

TEST_F(Transform, ComputeKindsShapesAndIndexes) {
  ok(std::string(kData) + "!compute q = a / b.\n!compute p = 2 ^ a.\n!compute t = \"x\" + s.\n"
     "!compute a(2) = 20.\n!compute b(4:5) = a * 10.\n"
     "q = DataX(:, \"Q\")\np = DataX(:, \"P\")\nt = DataX(:, \"T\")\na = DataX(:, 1)\nb = DataX(:, 2)");
  EXPECT_TRUE(SameNumbers(nums("q"), {1, kInf, kNan, 3.5, kNan}));
  EXPECT_TRUE(SameNumbers(nums("p"), {2, 4, 16, 128, kNan}));
  EXPECT_EQ(texts("t")[0], "xs");
  EXPECT_TRUE(SameNumbers(nums("a"), {1, 20, 4, 7, kNan}));
  EXPECT_TRUE(SameNumbers(nums("b"), {1, 0, kNan, 70, kNan}));
  EXPECT_EQ(code("!compute a = \"x\"."), kErrTypes);
  EXPECT_EQ(code("!compute made = [1; 2]."), kErrDims);
  EXPECT_TRUE(ds().find("MADE"));  // created before the assignment failed
  EXPECT_EQ(code("!compute a(9) = 1."), kErrRange);
  EXPECT_EQ(code("!compute a(1, 2) = 1."), kErrRange);
  EXPECT_EQ(code("!compute a(\"1\") = 1."), kErrNumeric);
  EXPECT_EQ(code("!compute a(1, 1, 1) = 1."), 66);
  EXPECT_EQ(code("!compute _x = 1."), kErrBadVarName);
  EXPECT_EQ(code("!compute a = nosuch + 1."), kErrUnknownName);
}

TEST_F(Transform, StringWidthGrows) {
  ok(kData);
  ds().find("S")->string_width = 3;
  ok("!compute s = \"longer\".");
  EXPECT_EQ(ds().find("S")->string_width, 6);
  ok("!compute s(1) = \"x\".");
  EXPECT_EQ(ds().find("S")->string_width, 6);
}

TEST_F(Transform, IfAssignsWhereTheConditionHolds) {
  ok(std::string(kData) + "!compute c = 0.\n!if (b) c = a + 100.\nc = DataX(:, \"C\")\n"
     "DataSelect(\"F\")\n!if (a > 1) d = 1.\nfn = filter_name\nDataSelect()\nd = DataX(:, \"D\")");
  // b: 1, 0, NaN, 2, 1 -> cases 1, 4, 5 (NaN and 0 leave the target alone).
  EXPECT_TRUE(SameNumbers(nums("c"), {101, 0, 0, 107, kNan}));
  // Under filter F (cases 1, 2, 5) and a > 1: case 2 only.
  EXPECT_TRUE(SameNumbers(nums("d"), {kNan, 1, kNan, kNan, kNan}));
  EXPECT_EQ(texts("fn"), (std::vector<std::string>{"F"}));  // the filter is back
  // A failure inside still restores the filter.
  ok("DataSelect(\"F\")");
  EXPECT_EQ(code("!if (a > 1) d = \"x\"."), kErrTypes);
  ok("fn = filter_name\nn = ncase");
  EXPECT_EQ(texts("fn"), (std::vector<std::string>{"F"}));
  EXPECT_EQ(code("!if ([1; 2]) d = 1."), kErrDims);
  ok("fn = filter_name");
  EXPECT_EQ(texts("fn"), (std::vector<std::string>{"F"}));
}

TEST_F(Transform, RecodeRulesInOrder) {
  ok(std::string(kData) + "!recode a (1 thru 3 = 1) (4 = 2) (else = copy) into r.\n"
     "!recode b (sysmis = 0) (lowest thru 0 = sysmis).\n"
     "!recode a (1 2, 7 thru hi = -1) (else = 0) into u.\n"
     "!recode a (1 -2 = 9) into v.\n"
     "r = DataX(:, \"R\")\nb = DataX(:, 2)\nu = DataX(:, \"U\")\nv = DataX(:, \"V\")");
  EXPECT_TRUE(SameNumbers(nums("r"), {1, 1, 2, 7, kNan}));
  EXPECT_TRUE(SameNumbers(nums("b"), {1, kNan, 0, 2, 1}));  // the first matching rule wins
  EXPECT_TRUE(SameNumbers(nums("u"), {-1, -1, 0, -1, 0}));
  EXPECT_TRUE(SameNumbers(nums("v"), {9, kNan, kNan, kNan, kNan}));  // no rule: a new target stays NaN
}

TEST_F(Transform, RecodeInPlaceUnderAFilterAndItsFailures) {
  ok(std::string(kData) + "DataSelect(\"F\")\n!recode A, B (1 = 50) (0 = 60).\nDataSelect()\n"
     "a = DataX(:, 1)\nb = DataX(:, 2)");
  EXPECT_TRUE(SameNumbers(nums("a"), {50, 2, 4, 7, kNan}));
  EXPECT_TRUE(SameNumbers(nums("b"), {50, 60, kNan, 2, 50}));
  EXPECT_EQ(code("!recode a s (2 = 0)."), kErrNumeric);
  ok("a = DataX(:, 1)");
  EXPECT_TRUE(SameNumbers(nums("a"), {50, 0, 4, 7, kNan}));  // the earlier variable keeps its change
  EXPECT_EQ(code("!recode nope (1 = 2)."), kErrNoVariable);
  EXPECT_NE(out().find("'NOPE'"), std::string::npos);
  EXPECT_EQ(code("!recode a (1 = 2) into s."), kErrTypes);
  EXPECT_EQ(code("!recode a ([1 2] = 2)."), kErrScalar);
  EXPECT_EQ(code("!recode a (\"x\" = 2)."), kErrNumeric);
  EXPECT_EQ(code("!recode a (1 = copy) (2 = \"x\")."), kErrNumeric);
}

}  // namespace
}  // namespace vop::testing_data
