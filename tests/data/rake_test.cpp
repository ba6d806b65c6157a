// Rake (rim weighting) through scripts: the weights R's survey package
// gives for the bundled survey, the report on a fit small enough to check
// by hand, caps, the filter, the convergence warning, and each error with
// its message.
#include <fstream>

#include "core/errors.h"
#include "data/rake.h"
#include "script_fixture.h"

namespace vop::testing_data {
namespace {

using Rake = ScriptTest;

// The targets tests/data/rake/rake_survey.R gives R.
constexpr char kSurveyTargets[] =
    "ts = [1 2; 0.45 0.55];\ntr = [1 2 3 4; 0.3 0.2 0.3 0.2];\ntb = [0 1; 0.5 0.5];\n";
constexpr char kSurveyRake[] = "[w, r] = Rake(\"SEX\", ts, \"REGION\", tr, \"B1\", tb)";

// Four cases crossing A and B; a weight variable W, 1 each.
constexpr char kFour[] =
    "DataAddVar([\"A\" \"B\" \"W\"]);\nDataAddCase(4);\n"
    "Data(:, \"A\") = [1; 1; 2; 2];\nData(:, \"B\") = [1; 2; 1; 2];\nData(:, \"W\") = 1;\n";

std::vector<double> read_weights(const std::string& file) {
  std::ifstream in(std::string(VOP_RAKE_DIR) + "/" + file);
  std::vector<double> out;
  for (double x; in >> x;) out.push_back(x);
  return out;
}

// The weighted share of each category of variable `v` (values `cats`).
std::vector<double> shares(const std::vector<double>& v, const std::vector<double>& w,
                           const std::vector<double>& cats) {
  std::vector<double> out(cats.size(), 0.0);
  double total = 0;
  for (size_t i = 0; i < v.size(); ++i) {
    total += w[i];
    for (size_t k = 0; k < cats.size(); ++k)
      if (v[i] == cats[k]) out[k] += w[i];
  }
  for (double& s : out) s /= total;
  return out;
}

double sum(const std::vector<double>& v) {
  double s = 0;
  for (double x : v) s += x;
  return s;
}

TEST_F(Rake, MatchesRsSurveyRakeOnTheBundledSurvey) {
  const std::vector<double> r_plain = read_weights("survey_unweighted.txt");
  const std::vector<double> r_weighted = read_weights("survey_weighted.txt");
  ASSERT_EQ(r_plain.size(), 240u);
  ASSERT_EQ(r_weighted.size(), 240u);

  ok(std::string("DataOpen(\"") + VOP_SURVEY_SAV + "\");\nDataWeight;\n" + kSurveyTargets + kSurveyRake);
  std::vector<double> w = nums("w");
  ASSERT_EQ(w.size(), r_plain.size());
  for (size_t i = 0; i < w.size(); ++i) EXPECT_NEAR(w[i], r_plain[i], 1e-6) << "case " << i + 1;
  EXPECT_NEAR(sum(w), 240, 1e-9);
  std::vector<double> r = nums("r");
  ASSERT_EQ(r.size(), 5u);
  EXPECT_GT(r[0], 1);
  EXPECT_LT(r[1], 1e-10);
  EXPECT_EQ(out().find("Warning"), std::string::npos) << out();

  // The design weight as the starting weights.
  ok(std::string("DataWeight(\"WEIGHT\");\nbase = wgh;\n") + kSurveyRake);
  w = nums("w");
  ASSERT_EQ(w.size(), r_weighted.size());
  for (size_t i = 0; i < w.size(); ++i) EXPECT_NEAR(w[i], r_weighted[i], 1e-6) << "case " << i + 1;
  EXPECT_NEAR(sum(w), sum(nums("base")), 1e-9);
}

TEST_F(Rake, ReportOfAFitCheckedByHand) {
  // A 1/4 against 3/4, B 2/5 against 3/5: the first pass fits A with
  // weights 0.5 and 1.5, then B with factors 0.8 and 1.2, which leaves A
  // fitted too: weights 0.4 0.6 1.2 1.8 after one pass. Efficiency
  // 4^2 / (4 * 5.2) = 76.92%.
  ok(std::string(kFour) + "[w, r] = Rake(\"A\", [1 2; 0.25 0.75], \"B\", [1 2; 0.4 0.6])");
  const std::vector<double> w = nums("w");
  const std::vector<double> want = {0.4, 0.6, 1.2, 1.8};
  ASSERT_EQ(w.size(), want.size());
  for (size_t i = 0; i < w.size(); ++i) EXPECT_NEAR(w[i], want[i], 1e-14);
  const std::vector<double> r = nums("r");
  ASSERT_EQ(r.size(), 5u);
  EXPECT_EQ(r[0], 1);
  EXPECT_LT(r[1], 1e-15);
  EXPECT_NEAR(r[2], 16.0 / (4 * 5.2) * 100, 1e-12);
  EXPECT_NEAR(r[3], 0.4, 1e-14);
  EXPECT_NEAR(r[4], 1.8, 1e-14);
  EXPECT_EQ(var("r").rows(), 1);
  EXPECT_EQ(var("w").cols(), 1);

  // Weights that fit already take no pass; one result asks for the weights.
  ok("x = Rake(\"A\", [2 1; 0.5 0.5])\n[y, q] = Rake(\"A\", [1 2; 0.5 0.5], [NaN 5])");
  EXPECT_TRUE(SameNumbers(nums("x"), {1, 1, 1, 1}));
  EXPECT_TRUE(SameNumbers(nums("q"), {0, 0, 100, 1, 1}));
}

TEST_F(Rake, WeightedStartKeepsTheWeightedTotal) {
  // Starting weights 1 1 2 2: A's categories weigh 2 and 4 of 6; a half
  // each makes every weight 1.5, still 6 in all.
  ok(std::string(kFour) + "Data(:, \"W\") = [1; 2; 1; 2];\nDataWeight(\"W\");\n"
     "[w, r] = Rake(\"B\", [1 2; 0.5 0.5])");
  EXPECT_TRUE(SameNumbers(nums("w"), {1.5, 1.5, 1.5, 1.5}));
  EXPECT_TRUE(SameNumbers(nums("r"), {1, 0, 100, 1.5, 1.5}));
  // The dataset is left as it was.
  ok("d = DataX(:, \"W\")\nn = wgh_name");
  EXPECT_TRUE(SameNumbers(nums("d"), {1, 2, 1, 2}));
  EXPECT_EQ(texts("n"), (std::vector<std::string>{"W"}));
}

TEST_F(Rake, ToleranceAndIterationsOfAFitThatTakesSeveralPasses) {
  // Six cases whose crossing is not a product of the margins: the fit
  // takes several passes and ends within the tolerance asked for.
  const std::string data =
      "DataAddVar([\"A\" \"B\"]);\nDataAddCase(6);\n"
      "Data(:, \"A\") = [1; 1; 1; 2; 2; 1];\nData(:, \"B\") = [1; 2; 1; 2; 1; 1];\n"
      "ta = [1 2; 0.5 0.5];\ntb = [1 2; 0.3 0.7];\n";
  ok(data + "[w, r] = Rake(\"A\", ta, \"B\", tb)\n[w3, r3] = Rake(\"A\", ta, \"B\", tb, [1e-3])");
  const std::vector<double> a = {1, 1, 1, 2, 2, 1}, b = {1, 2, 1, 2, 1, 1};
  const std::vector<double> r = nums("r"), r3 = nums("r3");
  EXPECT_GT(r[0], r3[0]);
  EXPECT_GT(r3[0], 1);
  EXPECT_LT(r[1], 1e-10);
  EXPECT_LT(r3[1], 1e-3);
  const std::vector<double> w = nums("w");
  EXPECT_NEAR(sum(w), 6, 1e-12);
  const std::vector<double> sa = shares(a, w, {1, 2}), sb = shares(b, w, {1, 2});
  EXPECT_NEAR(sa[0], 0.5, 1e-10);
  EXPECT_NEAR(sb[0], 0.3, 1e-10);
}

TEST_F(Rake, CapsHoldAndTheWarningComesWhenTheyStopTheFit) {
  // One case of ten in category 1, which is to have half the weight: it
  // would weigh 5 times the mean, more than the cap of 3 allows.
  const std::string data =
      "DataAddVar(\"A\");\nDataAddCase(10);\nData(:, \"A\") = 2;\nData(1, \"A\") = 1;\n";
  ok(data + "[w, r] = Rake(\"A\", [1 2; 0.5 0.5], [NaN 20 0.3 3])");
  std::vector<double> w = nums("w");
  const double mean = sum(w) / 10;
  EXPECT_NEAR(sum(w), 10, 1e-12);
  for (double x : w) {
    EXPECT_LE(x, 3 * mean * (1 + 1e-12));
    EXPECT_GE(x, 0.3 * mean * (1 - 1e-12));
  }
  EXPECT_NEAR(w[0], 3 * mean, 1e-12);
  std::vector<double> r = nums("r");
  EXPECT_EQ(r[0], 20);
  EXPECT_GT(r[1], 0.1);
  EXPECT_NE(out().find("Warning: rim weighting did not converge in 20 iterations (largest deviation 0."),
            std::string::npos)
      << out();

  // Caps that the targets respect leave the fit as it is without them.
  clear_out();
  ok("[w, r] = Rake(\"A\", [1 2; 0.5 0.5], [NaN NaN 0.1 6])\nu = Rake(\"A\", [1 2; 0.5 0.5])");
  EXPECT_TRUE(SameNumbers(nums("w"), nums("u")));
  EXPECT_NEAR(nums("w")[0], 5, 1e-12);
  EXPECT_EQ(out().find("Warning"), std::string::npos) << out();

  // A low cap lifts the light cases.
  ok("[w, r] = Rake(\"A\", [1 2; 0.9 0.1], [NaN 50 0.5])");
  w = nums("w");
  for (double x : w) EXPECT_GE(x, 0.5 * sum(w) / 10 * (1 - 1e-12));
}

TEST_F(Rake, OnlyTheSelectedCasesAreWeighted) {
  // The filter leaves out cases 2 and 5, whose A (NaN, and 7 without a
  // target) would be errors; the four left are the hand-checked fit.
  ok("DataAddVar([\"A\" \"B\" \"F\"]);\nDataAddCase(6);\n"
     "Data(:, \"A\") = [1; NaN; 1; 2; 7; 2];\nData(:, \"B\") = [1; 1; 2; 1; 2; 2];\n"
     "Data(:, \"F\") = [1; 0; 1; 1; 0; 1];\nDataSelect(\"F\");\n"
     "[w, r] = Rake(\"A\", [1 2; 0.25 0.75], \"B\", [1 2; 0.4 0.6])\nn = size(Data(:, \"A\"), 1)");
  const std::vector<double> w = nums("w");
  const std::vector<double> want = {0.4, 0.6, 1.2, 1.8};
  ASSERT_EQ(w.size(), want.size());
  for (size_t i = 0; i < w.size(); ++i) EXPECT_NEAR(w[i], want[i], 1e-14);
  EXPECT_TRUE(SameNumbers(nums("n"), {4}));
  // Without the filter the missing value counts.
  EXPECT_EQ(code("DataSelect;\nw = Rake(\"A\", [1 2; 0.25 0.75])"), kErrRakeUnusableValue);
}

TEST_F(Rake, ArgumentsFollowTheCommonRules) {
  EXPECT_EQ(code("w = Rake(\"A\", [1; 1])"), kErrNoData);
  ok(std::string(kFour) + "DataAddCVar(\"S\");");
  const std::string t = "[1 2; 0.5 0.5]";
  const struct {
    std::string call;
    int code;
  } cases[] = {
      {"w = Rake()", kErrMissingArgs},
      {"w = Rake(\"A\")", kErrMissingArgs},
      {"[a, b, c] = Rake(\"A\", " + t + ")", kErrTooManyResults},
      {"w = Rake(\"Z\", " + t + ")", kErrNoReference},
      {"w = Rake(\"$none\", " + t + ")", kErrUnknownSet},
      {"w = Rake(1, " + t + ")", kErrString},
      {"w = Rake([], " + t + ")", kErrNotEmpty},
      {"w = Rake([\"A\" \"B\"], " + t + ")", kErrScalar},
      {"w = Rake(\"A\", [])", kErrNotEmpty},
      {"w = Rake(\"A\", \"x\")", kErrNumeric},
      {"w = Rake(\"A\", " + t + ", \"B\")", kErrNumeric},
      {"w = Rake(\"A\", " + t + ", [])", kErrNotEmpty},
      {"w = Rake(\"A\", " + t + ", [1 2; 3 4])", kErrVector},
      {"w = Rake(\"A\", " + t + ", [NaN NaN NaN NaN NaN])", kErrDims},
      {"w = Rake(\"A\", " + t + ", 0)", kErrRange},
      {"w = Rake(\"A\", " + t + ", [NaN 0])", kErrRange},
      {"w = Rake(\"A\", " + t + ", [NaN NaN 1.5])", kErrRange},
      {"w = Rake(\"A\", " + t + ", [NaN NaN NaN 0.5])", kErrRange},
  };
  for (const auto& c : cases) EXPECT_EQ(code(c.call), c.code) << c.call;
}

TEST_F(Rake, EachErrorQuotesTheVariable) {
  ok(std::string(kFour) + "DataAddCVar(\"S\");");
  const struct {
    std::string call;
    int code;
    std::string message;
  } cases[] = {
      {"w = Rake(\"A\", [1 2; 0.5 0.4])", kErrRakeTargetSum,
       "The rim weighting targets of 'A' do not sum to 1"},
      {"w = Rake(\"A\", [1 2; 0.5 0.5], \"B\", [1 2 3; 0.5 0.4 0.1])", kErrRakeEmptyCategory,
       "A rim weighting target category of 'B' has no selected case"},
      {"w = Rake(\"B\", [1 2; 0.5 0.5], \"A\", [1 3; 0.5 0.5])", kErrRakeUnusableValue,
       "Rim weighting cannot use a selected case's value of 'A' (missing, without a target, or a "
       "weight of 0 or less)"},
      {"w = Rake(\"A\", [1 2; 0.5 0.5], \"S\", [1 2; 0.5 0.5])", kErrRakeString,
       "Rim weighting variable 'S' is a string variable"},
      {"w = Rake(\"A\", [1 2 3; 0.5 0.5 0; 1 1 1])", kErrRakeBadTargets,
       "The rim weighting targets of 'A' must be 2 rows: distinct finite values, proportions of 0 or "
       "more"},
  };
  for (const auto& c : cases) {
    clear_out();
    EXPECT_EQ(code(c.call), c.code) << c.call;
    EXPECT_NE(out().find(c.message), std::string::npos) << out();
  }
  // The other faults of a targets matrix.
  for (const char* targets : {"[1 2; 0.5 NaN]", "[1 2; 1.5 -0.5]", "[1 1; 0.5 0.5]", "[1 NaN; 0.5 0.5]",
                              "[1 2; Inf 0]", "[1 2]"})
    EXPECT_EQ(code(std::string("w = Rake(\"A\", ") + targets + ")"), kErrRakeBadTargets) << targets;
  // A missing value, user-missing included, has no target.
  EXPECT_EQ(code("Data(2, \"A\") = NaN;\nw = Rake(\"A\", [1 2; 0.5 0.5])"), kErrRakeUnusableValue);
  EXPECT_EQ(code("Data(2, \"A\") = 1;\nSetMissVal(\"A\", 1, [2 0 0]);\nw = Rake(\"A\", [1 2; 0.5 0.5])"),
            kErrRakeUnusableValue);
  // Starting weights must be positive numbers.
  ok("SetMissVal(\"A\", 0, [0 0 0]);\nData(:, \"A\") = [1; 1; 2; 2];\nDataWeight(\"W\");");
  for (const char* weight : {"0", "-1", "NaN"}) {
    clear_out();
    EXPECT_EQ(code(std::string("Data(3, \"W\") = ") + weight + ";\nw = Rake(\"A\", [1 2; 0.5 0.5])"),
              kErrRakeUnusableValue)
        << weight;
    EXPECT_NE(out().find("value of 'W'"), std::string::npos) << out();
  }
  // A zero target may have no case; targets within 1e-6 of 1 pass.
  ok("DataWeight;\nw = Rake(\"A\", [1 2 3; 0.5 0.5 0])\nv = Rake(\"A\", [1 2; 0.5 0.5000009])");
  EXPECT_TRUE(SameNumbers(nums("w"), {1, 1, 1, 1}));
  EXPECT_EQ(code("v = Rake(\"A\", [1 2; 0.5 0.500002])"), kErrRakeTargetSum);
}

TEST_F(Rake, StopEndsTheFitAndTheNextRunRuns) {
  // stop_and_give(x): the Stop command pressed while the call runs, then x.
  interp_.family(Family::General).add({"stop_and_give", 1, 1, 1, [](Call& c) -> Value {
    c.interp().request_stop();
    return c.arg(0);
  }});
  ok(kFour);
  EXPECT_EQ(code("w = Rake(\"A\", [1 2; 0.25 0.75], \"B\", stop_and_give([1 2; 0.4 0.6]))"), kErrStopped);
  ErrorState err;
  EXPECT_EQ(interp_.workspace().lookup("w", err), nullptr);
  ok("w = Rake(\"A\", [1 2; 0.25 0.75], \"B\", [1 2; 0.4 0.6])");
  EXPECT_EQ(nums("w").size(), 4u);
}

TEST_F(Rake, AVariableDeletedByALaterArgumentIsNotReadStale) {
  write_file("dropa.s", "function r = dropa()\n DataDelVar(\"A\");\n r = [1 2; 0.5 0.5];\nend\n");
  interp_.add_search_dir(dir_.string());
  ok(kFour);
  EXPECT_EQ(code("w = Rake(\"A\", [1 2; 0.5 0.5], \"B\", dropa())"), kErrNoReference);
}

// The fit itself, where the script cannot lead: every weight driven to 0
// by a zero target ends without a division by zero.
TEST(RakeFit, WeightsDrivenToZeroStayFinite) {
  rake::Margin a{{0, 1}, {0.0, 1.0}};  // case 2 to weigh 0
  rake::Margin b{{0, 1}, {1.0, 0.0}};  // case 1 to weigh 0
  rake::Options opt;
  opt.max_iterations = 5;
  const rake::Result r = rake::rake({a, b}, {1.0, 1.0}, opt);
  EXPECT_FALSE(r.converged);
  EXPECT_EQ(r.iterations, 5);
  for (double x : r.weights) EXPECT_EQ(x, 0);
  EXPECT_TRUE(std::isnan(r.efficiency));
  EXPECT_FALSE(std::isnan(r.deviation));
}

}  // namespace
}  // namespace vop::testing_data
