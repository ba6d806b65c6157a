// Columns handed to an expression without a copy (lent) while script code
// in the same expression removes their variables or closes the dataset:
// the expression still computes with the values it was given, the columns
// are freed at the next safe point, and a loop sees the variable gone.
// Each function below fills a new variable of the same size after the
// removal, so that a freed column's memory is likely to be reused and a
// column read after its release shows the wrong numbers.
#include "data/data_args.h"
#include "data/data_session.h"
#include "script_fixture.h"

namespace vop::testing_data {
namespace {

class LentColumns : public ScriptTest {
 protected:
  LentColumns() {
    ok("DataAddVar([\"a\" \"b\" \"c\"])\nDataAddCase(4)\nData(:, 1) = [1; 2; 3; 4]\n"
       "Data(:, 2) = [10; 20; 30; 40]\nData(:, 3) = [5; 6; 7; 8]\n");
  }
  DataSession& session() { return data_session(interp_); }
  bool any_lent() {
    for (int i = 0; i < ds().variable_count(); ++i)
      if (ds().variable(i).lent) return true;
    return false;
  }
};

// Function texts appended to the scripts below.
constexpr char kDeleteA[] =
    "\nfunction r = del_a()\nDataDelVar(\"A\")\nDataAddVar(\"n\")\nData(:, \"N\") = [7; 7; 7; 7];\n"
    "r = 100;\nend\n";
constexpr char kDeleteAThenB[] =
    "\nfunction r = del_a_b()\nDataDelVar(\"A\")\nDataDelVar(\"B\")\nDataAddVar(\"n\")\n"
    "Data(:, \"N\") = [7; 7; 7; 7];\nr = 100;\nend\n";
constexpr char kClose[] =
    "\nfunction r = close_all()\nDataClose\nDataAddVar(\"n\")\nDataAddCase(4)\n"
    "Data(:, 1) = [7; 7; 7; 7];\nr = 1000;\nend\n";

TEST_F(LentColumns, AFunctionDeletesAVariableTheExpressionHolds) {
  ok(std::string("z = A + del_a()") + kDeleteA);
  EXPECT_TRUE(SameNumbers(nums("z"), {101, 102, 103, 104}));
  EXPECT_EQ(ds().find("A"), nullptr);
  // The column stays with the session until a safe point at the script level.
  EXPECT_FALSE(session().retired.empty());
  ok("DataDelVar(\"N\")");
  EXPECT_TRUE(session().retired.empty());
  EXPECT_FALSE(any_lent());
  EXPECT_TRUE(SameNumbers(nums("z"), {101, 102, 103, 104}));
}

TEST_F(LentColumns, TheHeldColumnOutlivesLaterRemovalsInTheSameFunction) {
  ok(std::string("z = A + B + del_a_b()") + kDeleteAThenB);
  EXPECT_TRUE(SameNumbers(nums("z"), {111, 122, 133, 144}));
  EXPECT_EQ(ds().variable_count(), 2);  // C and N
}

TEST_F(LentColumns, AFunctionCallDeeperDown) {
  ok(std::string("z = outer()\nfunction r = outer()\nr = Data(:, \"A\") + del_a();\nend") + kDeleteA);
  EXPECT_TRUE(SameNumbers(nums("z"), {101, 102, 103, 104}));
  EXPECT_EQ(ds().find("A"), nullptr);
}

TEST_F(LentColumns, DataCloseInsideAnExpression) {
  ok(std::string("w = B + close_all()") + kClose);
  EXPECT_TRUE(SameNumbers(nums("w"), {1010, 1020, 1030, 1040}));
  EXPECT_EQ(ds().variable_count(), 1);
  ok("DataClose");
  EXPECT_TRUE(session().retired.empty());
  EXPECT_TRUE(SameNumbers(nums("w"), {1010, 1020, 1030, 1040}));
}

TEST_F(LentColumns, ALaterArgumentDeletesAnEarlierOne) {
  ok(std::string("x = [A; del_a()]") + kDeleteA);
  EXPECT_TRUE(SameNumbers(nums("x"), {1, 2, 3, 4, 100}));
  // A builtin that keeps a lent column across its other arguments notices
  // the removal instead of returning the column.
  EXPECT_EQ(code("y = DataGet(:, \"C\", del_c())\nfunction r = del_c()\nDataDelVar(\"C\")\nr = \"B\";\nend\n"),
            kErrNoReference);
  EXPECT_NE(out().find("Referenced variable does not exist"), std::string::npos);
}

TEST_F(LentColumns, AVariableDeletedInALoopIsGoneOnTheNextPass) {
  EXPECT_EQ(code("for i = 1:2\ny = A;\nDataDelVar(\"A\")\nend"), 96);
  EXPECT_TRUE(SameNumbers(nums("y"), {1, 2, 3, 4}));
  ok("for i = 1:2\ny = B + 1;\nDataDelVar(\"B\")\nDataAddVar(\"b\")\nData(:, \"B\") = [i; i; i; i];\nend");
  EXPECT_TRUE(SameNumbers(nums("y"), {2, 2, 2, 2}));
  ok("for i = 1:2\nv = C;\nDataClose\nDataAddVar(\"c\")\nDataAddCase(4)\nData(:, 1) = [9; 9; 9; 9];\nend");
  EXPECT_TRUE(SameNumbers(nums("v"), {9, 9, 9, 9}));
}

TEST_F(LentColumns, AColumnNoLongerHeldIsFreedAtOnce) {
  // B is lent to the sum; the script-level removal of C is a safe point
  // after which nothing holds B, so the function frees it outright.
  ok("z = B + 1");
  ok("DataDelVar(\"C\")");
  ok("del_b()\nfunction del_b()\nDataDelVar(\"B\")\nend\n");
  EXPECT_EQ(ds().find("B"), nullptr);
  EXPECT_TRUE(session().retired.empty());
  EXPECT_TRUE(SameNumbers(nums("z"), {11, 21, 31, 41}));
}

TEST_F(LentColumns, AValueKeptInAVariableIsACopy) {
  ok(std::string("a = A; z = a + del_a()") + kDeleteA);
  EXPECT_TRUE(SameNumbers(nums("z"), {101, 102, 103, 104}));
  EXPECT_TRUE(SameNumbers(nums("a"), {1, 2, 3, 4}));
}

}  // namespace
}  // namespace vop::testing_data
