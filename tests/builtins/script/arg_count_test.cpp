// The common checks of every library builtin, in their fixed order: too
// many results (80), a missing argument (81), a surplus argument (82), and
// only then anything about the arguments themselves.
#include <cstddef>
#include <string>
#include <vector>

#include "script_fixture.h"

// LAPACK and BLAS report an illegal argument through xerbla_; the
// reference library then stops the program. This definition takes its
// place in the test program, so such a call fails the test instead.
extern "C" void xerbla_(const char* routine, const int* arg, size_t len) {
  ADD_FAILURE() << "LAPACK " << std::string(routine, len) << " rejected argument " << *arg;
}

namespace vop::script_test {
namespace {

constexpr int kAny = -1;  // no upper limit on arguments

// A builtin's argument range and the most results it gives.
struct Signature {
  const char* name;
  int min_args;
  int max_args;  // kAny: unlimited
  int max_results;
};

// Builtins whose argument count the dispatcher checks before evaluating.
const std::vector<Signature>& counted_builtins() {
  static const std::vector<Signature> table = [] {
    std::vector<Signature> t = {
        {"reshape", 2, 3, 1}, {"insertrow", 3, 3, 1}, {"find", 1, 1, 2},
        {"any", 1, 1, 1},     {"cum", 1, 1, 1},       {"ccum", 1, 1, 1},
        {"rcum", 1, 1, 1},    {"mcum", 1, 1, 1},      {"corr", 1, 3, 1},
        {"sorta", 1, 2, 2},   {"sortd", 1, 2, 2},     {"freq", 1, 2, 2},
        {"sprintf", 1, kAny, 1}, {"printf", 1, kAny, 0}, {"num2str", 2, 2, 1},
        {"str2num", 1, 1, 1}, {"strlen", 1, 1, 1},    {"strcat", 2, 2, 1},
        {"strcmp", 2, 2, 1},  {"lcase", 1, 1, 1},     {"ucase", 1, 1, 1},
        {"left", 2, 2, 1},    {"right", 2, 2, 1},     {"htmlsafe", 1, 1, 1},
        {"implode", 2, 2, 1}, {"explode", 2, 2, 1},   {"eig", 1, 2, 2},
        {"lu", 1, 1, 3},      {"det", 1, 1, 1},       {"inv", 1, 1, 1},
        {"svd", 1, 1, 3},     {"srand", 0, 1, 0},
    };
    for (const char* f : {"sin", "cos", "tan", "asin", "acos", "atan", "sinh", "cosh", "tanh",
                          "exp", "log", "log10", "ceil", "floor", "fix", "round", "abs",
                          "sqrt", "sgn"})
      t.push_back({f, 1, 1, 1});
    static std::vector<std::string> stats;
    for (const char* stem : {"sum", "prod", "min", "max", "mean", "range", "sd", "var", "skw", "kur"})
      for (const char* prefix : {"", "c", "r", "m"}) stats.push_back(prefix + std::string(stem));
    for (const std::string& s : stats) t.push_back({s.c_str(), 1, s[0] == 'r' && s != "range" ? 1 : 2, 1});
    return t;
  }();
  return table;
}

// `name(a1, ..., an)` with each argument the text `arg`.
std::string call(const char* name, int n, const char* arg) {
  std::string s = std::string(name) + "(";
  for (int i = 0; i < n; ++i) s += (i ? ", " : "") + std::string(arg);
  return s + ")";
}

// `[r1, ..., rk] = ` asking for k results (`got = ` for one).
std::string results(int k) {
  if (k == 1) return "got = ";
  std::string s = "[";
  for (int i = 0; i < k; ++i) s += (i ? ", r" : "r") + std::to_string(i);
  return s + "] = ";
}

using ArgCounts = ScriptTest;

TEST_F(ArgCounts, TooManyResultsComesFirst) {
  for (const Signature& b : counted_builtins()) {
    // No arguments at all: 80 still wins over 81.
    EXPECT_EQ(run(results(b.max_results + 1) + call(b.name, 0, "") + ";"), kErrTooManyResults)
        << b.name;
    EXPECT_EQ(run(results(b.max_results + 1) + call(b.name, b.min_args, "1") + ";"),
              kErrTooManyResults)
        << b.name;
  }
}

TEST_F(ArgCounts, MissingArgumentBeforeAnythingIsEvaluated) {
  for (const Signature& b : counted_builtins()) {
    if (b.min_args == 0) continue;
    EXPECT_EQ(run(call(b.name, b.min_args - 1, "nosuch") + ";"), kErrMissingArgs) << b.name;
  }
}

TEST_F(ArgCounts, SurplusArgumentBeforeAnythingIsEvaluated) {
  for (const Signature& b : counted_builtins()) {
    if (b.max_args == kAny) continue;
    EXPECT_EQ(run(call(b.name, b.max_args + 1, "nosuch") + ";"), kErrTooManyArgs) << b.name;
  }
}

TEST_F(ArgCounts, SvdGivesOneOrThreeResults) {
  check_errors({
      {"[a, b] = svd([1 2; 3 4]);", kErrTooManyResults},
      {"[a, b, c, d] = svd([1 2; 3 4]);", kErrTooManyResults},
      {"[a, b, c] = svd([1 2; 3 4]);", 0},
  });
}

// These builtins take their count from the values of the first arguments,
// so they evaluate and check those before reporting a surplus argument.
TEST_F(ArgCounts, SizedBuiltinsCountAfterEvaluating) {
  check_errors({
      {"zeros();", kErrMissingArgs},
      {"ones();", kErrMissingArgs},
      {"eye();", kErrMissingArgs},
      {"size();", kErrMissingArgs},
      {"make(2);", kErrMissingArgs},
      {"make();", kErrMissingArgs},
      {"[a, b] = zeros(1);", kErrTooManyResults},
      {"[a, b] = rand(1);", kErrTooManyResults},
      {"[a, b] = make(1, 1);", kErrTooManyResults},
      {"[a, b, c] = size(1);", kErrTooManyResults},
      {"zeros(2, 3, 4);", kErrTooManyArgs},
      {"ones(2, 3, 4);", kErrTooManyArgs},
      {"eye(2, 3, 4);", kErrTooManyArgs},
      {"rand(2, 3, 4);", kErrTooManyArgs},
      {"rand_normal(2, 3, 4);", kErrTooManyArgs},
      {"size(1, 1, 1);", kErrTooManyArgs},
      {"make(2, 3, 4, 5);", kErrTooManyArgs},
      {"make([1 2], 3, 4);", kErrTooManyArgs},
      // The first argument is evaluated (and checked) before the count.
      {"zeros(nosuch, 1, 2);", kErrUnknownName},
      {"rand(nosuch, 1, 2);", kErrUnknownName},
      {"size(nosuch, 1, 2);", kErrUnknownName},
      {"make(nosuch, 1, 2, 3);", kErrUnknownName},
      {"zeros([1 2], 1, 2);", kErrScalar},
      {"rand(\"a\", 1, 2);", kErrNumeric},
      // ...while a counted builtin reports the surplus without evaluating.
      {"sum(nosuch, 1, 2);", kErrTooManyArgs},
  });
}

TEST_F(ArgCounts, DiagAndTraceIgnoreExtraArguments) {
  EXPECT_TRUE(gives("diag([1 2], nosuch, 3)", "[1 0; 0 2]"));
  EXPECT_TRUE(gives("trace([1 2; 3 4], nosuch)", "5"));
  check_errors({{"diag();", kErrMissingArgs}, {"trace();", kErrMissingArgs}});
}

TEST_F(ArgCounts, RowStatisticsTakeNoWeights) {
  check_errors({
      {"rsum([1 2], [1]);", kErrTooManyArgs},
      {"rrange([1 2], [1]);", kErrTooManyArgs},
      {"range([1 2], [1]);", 0},
  });
}

// Odd arguments (empty in both directions, NaN, strings) for every
// builtin: each call either gives a value or fails with a code; none may
// crash or read outside a matrix (the sanitizer build checks the latter).
TEST_F(ArgCounts, OddArgumentsNeverCrash) {
  const char* odd[] = {"[]", "zeros(1, 0)", "zeros(0, 2)", "zeros(2, 0)", "NaN", "-Inf", "-1", "2.5",
                       "\"\"", "[\"a\" \"b\"]", "[1 2; 3 4]"};
  std::vector<std::string> names;
  for (const Signature& b : counted_builtins()) names.push_back(b.name);
  for (const char* n : {"zeros", "ones", "eye", "make", "size", "diag", "trace", "rand",
                        "rand_normal"})
    names.push_back(n);
  for (const std::string& name : names) {
    if (name == "printf") continue;  // writes text; covered by the format tests
    for (const char* a : odd) {
      run("x = " + name + "(" + a + ");");
      run("[x, y] = " + name + "(" + a + ");");
      for (const char* b : odd) run("x = " + name + "(" + a + ", " + b + ");");
    }
  }
  SUCCEED();
}

}  // namespace
}  // namespace vop::script_test
