// CrossTab through the interpreter: counts, bases and keys of single
// variables and multiple-response sets, weights, the filter, missing
// values, the threaded path on a large file, and the errors.
#include <gtest/gtest.h>

#include "../data/script_fixture.h"

namespace vop::testing_data {
namespace {

using V = std::vector<double>;

class CrossTabTest : public ScriptTest {
 protected:
  // Eight cases: A (rows) with a user-missing 9 and a NaN, B and C
  // (banner), W a weight.
  void small() {
    ok("DataAddVar([\"A\" \"B\" \"C\" \"W\"]); DataAddCase(8);"
       "Data(:, \"A\") = [1; 2; 2; 3; 9; 1; NaN; 2];"
       "Data(:, \"B\") = [1; 1; 2; 2; 1; 2; 1; 1];"
       "Data(:, \"C\") = [5; 6; 5; NaN; 6; 6; 5; 5];"
       "Data(:, \"W\") = [1; 2; 0.5; 1; 1; 3; 1; 1];"
       "SetMissVal(\"A\", 1, [9 NaN NaN]);"
       "SetNumLabel(\"A\", [1 2 3 4], [\"one\" \"two\" \"three\" \"four\"]);");
  }
};

TEST_F(CrossTabTest, UnweightedCountsBasesAndKeys) {
  small();
  ok("[n, base, un, ubase, eb, rk, ck] = CrossTab(\"A\", [\"B\" \"C\"]);");
  // Categories of A: 1, 2, 3 and the labelled, unseen 4; 9 is missing.
  EXPECT_EQ(nums("rk"), (V{1, 1, 1, 1, 1, 2, 3, 4}));
  // Columns: Total, B=1, B=2, C=5, C=6.
  EXPECT_EQ(var("ck").rows(), 5);
  const V ck = nums("ck");
  EXPECT_EQ(V(ck.begin(), ck.begin() + 5), (V{0, 1, 1, 2, 2}));
  EXPECT_TRUE(std::isnan(ck[5]));
  EXPECT_EQ(V(ck.begin() + 6, ck.end()), (V{1, 2, 5, 6}));
  // Column by column: Total, B=1, B=2, C=5, C=6.
  EXPECT_EQ(nums("n"), (V{2, 3, 1, 0,  1, 2, 0, 0,  1, 1, 1, 0,  1, 2, 0, 0,  1, 1, 0, 0}));
  EXPECT_EQ(nums("un"), nums("n"));
  EXPECT_EQ(nums("base"), (V{6, 3, 3, 3, 2}));
  EXPECT_EQ(nums("eb"), (V{6, 3, 3, 3, 2}));
}

TEST_F(CrossTabTest, WeightsAndEffectiveBases) {
  small();
  ok("DataWeight(\"W\"); [n, base, un, ubase, eb, rk, ck, w2] = CrossTab(\"A\", \"B\");");
  // Total column: A=1 weights 1 and 3, A=2 weights 2, 0.5, 1, A=3 weight 1.
  const V n = nums("n");
  EXPECT_EQ(V(n.begin(), n.begin() + 4), (V{4, 3.5, 1, 0}));
  const V w2 = nums("w2");
  EXPECT_EQ(V(w2.begin(), w2.begin() + 4), (V{10, 5.25, 1, 0}));
  EXPECT_EQ(nums("ubase"), (V{6, 3, 3}));
  const V base = nums("base"), eb = nums("eb");
  EXPECT_DOUBLE_EQ(base[0], 8.5);
  EXPECT_DOUBLE_EQ(eb[0], 8.5 * 8.5 / 16.25);
  // A case of weight 0 or NaN or below is left out altogether.
  ok("Data(1, \"W\") = 0; Data(2, \"W\") = NaN; Data(3, \"W\") = -1;"
     "[n, base, un, ubase] = CrossTab(\"A\");");
  EXPECT_EQ(nums("ubase"), (V{3}));
  EXPECT_EQ(nums("n"), (V{3, 1, 1, 0}));
}

TEST_F(CrossTabTest, FilterSelectsCases) {
  small();
  ok("DataAddVar(\"F\"); Data(:, \"F\") = [1; 1; 1; 1; 0; 0; 0; 0]; DataSelect(\"F\");"
     "[n, base] = CrossTab(\"A\", \"B\");");
  EXPECT_EQ(nums("base"), (V{4, 2, 2}));
  const V n = nums("n");
  EXPECT_EQ(V(n.begin(), n.begin() + 4), (V{1, 2, 1, 0}));
}

TEST_F(CrossTabTest, MultipleResponseSets) {
  // Three brands mentioned as codes 1..3 in two answers (a category set),
  // and the same as three yes/no variables (a dichotomy set counting 1).
  ok("DataAddVar([\"M1\" \"M2\" \"D1\" \"D2\" \"D3\" \"G\"]); DataAddCase(5);"
     "Data(:, \"M1\") = [1; 2; 1; NaN; 3];"
     "Data(:, \"M2\") = [2; 2; 3; NaN; NaN];"
     "Data(:, \"D1\") = [1; 0; 1; 0; 0];"
     "Data(:, \"D2\") = [1; 1; 0; 0; 0];"
     "Data(:, \"D3\") = [0; 0; 1; 0; 1];"
     "Data(:, \"G\") = [1; 2; 1; 2; 2];"
     "DataAddMVar(\"$CAT\", [\"M1\" \"M2\"]);"
     "DataAddMVar(\"$DI\", [\"D1\" \"D2\" \"D3\"], 1);");
  ok("[n, base, un, ubase, eb, rk, ck] = CrossTab([\"$CAT\" \"$DI\"], \"G\");");
  // $CAT: case 2 names brand 2 twice and counts once; case 4 gives nothing.
  // $DI: member numbers 1..3; case 4 has no counted value.
  EXPECT_EQ(nums("rk"), (V{1, 1, 1, 2, 2, 2, 1, 2, 3, 1, 2, 3}));
  EXPECT_EQ(nums("n"), (V{2, 2, 2, 2, 2, 2,  2, 1, 1, 2, 1, 1,  0, 1, 1, 0, 1, 1}));
  EXPECT_EQ(nums("base"), (V{4, 4, 2, 2, 2, 2}));
  // A set on the banner: a case counts in every column it names.
  ok("[n, base, un, ubase, eb, rk, ck] = CrossTab(\"G\", \"$DI\");");
  EXPECT_EQ(nums("n"), (V{2, 3, 2, 0, 1, 1, 1, 1}));
  EXPECT_EQ(nums("base"), (V{5, 2, 2, 2}));
}

TEST_F(CrossTabTest, LargeFileMatchesCaseByCaseCounts) {
  // More cases than one thread takes: the halves must add up.
  ok("n = 150001; DataAddVar([\"R\" \"K\" \"W\"]); DataAddCase(n);"
     "i = 1:n;"
     "Data(:, \"R\") = i - 7 * floor(i / 7);"
     "Data(:, \"K\") = 1 + i - 3 * floor(i / 3);"
     "Data(:, \"W\") = 0.5 + (i - 2 * floor(i / 2));"
     "DataWeight(\"W\");"
     "[t, base, u] = CrossTab(\"R\", \"K\");"
     "r = Data(:, \"R\"); k = Data(:, \"K\"); w = Data(:, \"W\");"
     "want = zeros(7, 4); uwant = zeros(7, 4);"
     "for a = 0:6\n"
     "  want(a + 1, 1) = sum(w .* (r == a)); uwant(a + 1, 1) = sum(r == a);\n"
     "  for b = 1:3\n"
     "    want(a + 1, b + 1) = sum(w .* (r == a & k == b));\n"
     "    uwant(a + 1, b + 1) = sum(r == a & k == b);\n"
     "  end\n"
     "end\n"
     "d = msum(abs(t - want)); du = msum(abs(u - uwant));");
  EXPECT_EQ(nums("d"), (V{0}));
  EXPECT_EQ(nums("du"), (V{0}));
  double total = 0;
  for (int i = 1; i <= 150001; ++i) total += 0.5 + i % 2;
  EXPECT_EQ(nums("base")[0], total);
}

TEST_F(CrossTabTest, CodesBeyondSmallWholeNumbers) {
  ok("DataAddVar(\"A\"); DataAddCase(6);"
     "Data(:, \"A\") = [1e12; -3; 2.5; Inf; 1e12; -Inf];"
     "[n, base, un, ubase, eb, rk] = CrossTab(\"A\");");
  EXPECT_EQ(nums("rk"), (V{1, 1, 1, 1, 1, -kInf, -3, 2.5, 1e12, kInf}));
  EXPECT_EQ(nums("n"), (V{1, 1, 1, 2, 1}));
}

TEST_F(CrossTabTest, Errors) {
  EXPECT_EQ(code("x = CrossTab(\"A\");"), 75);
  small();
  ok("DataAddCVar(\"S\"); DataAddVar(\"ID\"); Data(:, \"ID\") = 1:8;");
  EXPECT_EQ(code("x = CrossTab(\"S\");"), 595);
  EXPECT_NE(out().find("Tables count numeric codes; 'S' is a string variable"), std::string::npos)
      << out();
  EXPECT_EQ(code("x = CrossTab(\"A\", \"S\");"), 595);
  EXPECT_EQ(code("x = CrossTab(\"NOPE\");"), 106);
  EXPECT_EQ(code("x = CrossTab(\"$NOPE\");"), 108);
  EXPECT_EQ(code("x = CrossTab([]);"), 77);
  EXPECT_EQ(code("x = CrossTab(\"A\", \"B\", \"C\");"), 82);
  EXPECT_EQ(code("[a, b, c, d, e, f, g, h, i] = CrossTab(\"A\");"), 80);
  // An identifier with more categories than a table may have.
  ok("DataAddCase(10001); Data(:, \"ID\") = 1:10009;");
  EXPECT_EQ(code("x = CrossTab(\"ID\");"), 596);
  EXPECT_NE(out().find("Too many categories (more than 10000) in 'ID'"), std::string::npos) << out();
}

}  // namespace
}  // namespace vop::testing_data
