// The string builtins: conversions between numbers and text, the shape
// rules of strcat and strcmp, cutting, escaping, joining and splitting.
#include "builtins/strings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "builtins/format.h"
#include "core/errors.h"
#include "tests/builtins/builders.h"

namespace vop {
namespace {

using test::cells;
using test::kNull;
using test::nums;
using test::strs;
using Cells = std::vector<std::string>;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The code a failing kernel call raised (0 when it succeeded).
template <class F>
int code_of(F call) {
  ErrorState err;
  const bool ok = call(err).has_value();
  EXPECT_EQ(ok, err.code() == 0);
  return err.code();
}

TEST(Num2str, EachElementWithPrefixAndSuffix) {
  ErrorState err;
  auto r = builtins::num2str(Matrix::text("k%d"), nums(1, 2, {1, 2}), err);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->rows(), 1);
  EXPECT_EQ(cells(*r), (Cells{"k1", "k2"}));

  r = builtins::num2str(Matrix::text("100%% %5.1f kg%%"), nums(2, 1, {2.5, -1}), err);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->rows(), 2);
  EXPECT_EQ(cells(*r), (Cells{"100%   2.5 kg%%", "100%  -1.0 kg%%"}));  // suffix as is
}

TEST(Num2str, ConversionsIncludingGeneralForms) {
  const struct {
    const char* format;
    double x;
    const char* expected;
  } cases[] = {
      {"%g", 1e-5, "1e-005"},
      {"%g", 0.5, "0.5"},
      {"%12g|", 1e20, "      1e+020|"},
      {"%G", 1e20, "  1E+020"},
      {"%e", 1500, "1.5000e+003"},
      {"%F", 123456789, "1.2e+008"},
      {"%d", 7.9, "7"},
      // Non-finite values are never cut by a small precision.
      {"%5.2f", kNaN, "  NaN"},
      {"%d", kNaN, "     NaN"},
      {"%-6.1f|", -kInf, "-Inf  |"},
      {"%2.1g", kInf, "Inf"},
  };
  for (const auto& c : cases) {
    ErrorState err;
    auto r = builtins::num2str(Matrix::text(c.format), Matrix::scalar(c.x), err);
    ASSERT_TRUE(r) << c.format;
    EXPECT_EQ(r->str()[0], c.expected) << c.format;
  }
}

TEST(Str2num, PrefixThenNothingOrInfinity) {
  const struct {
    const char* text;
    double value;
  } cases[] = {
      {"12", 12},       {"1e3", 1000},   {"Inf", kInf},    {"-Inf", -kInf},
      {" 7 ", 7},       {"   ", 0},      {"", 0},          {"+5", 5},
      {".5", 0.5},      {"5.", 5},       {"-2.5E-1", -0.25}, {"1e400", kInf},
      {"5 Inf", kInf},  {"\t3\n", 3},    {"1e", kNaN},     {"12abc", kNaN},
      {"inf", kNaN},    {"nan", kNaN},   {"NaN", kNaN},    {"0x10", kNaN},
      {"Inf ", kNaN},   {"+Inf", kNaN},  {".", kNaN},      {"-", kNaN},
  };
  for (const auto& c : cases) {
    const double v = parse_number_text(c.text);
    if (std::isnan(c.value)) EXPECT_TRUE(std::isnan(v)) << '"' << c.text << '"';
    else EXPECT_EQ(v, c.value) << '"' << c.text << '"';
  }
  EXPECT_EQ(parse_number_text("-1e-400"), 0.0);
  EXPECT_TRUE(std::signbit(parse_number_text("-1e-400")));
}

TEST(Str2num, MatrixShapeAndAbsent) {
  ErrorState err;
  auto r = builtins::str2num(strs(2, 1, {"4", kNull}), err);
  ASSERT_TRUE(r);
  EXPECT_TRUE(r->numeric());
  EXPECT_EQ(r->rows(), 2);
  EXPECT_EQ((*r)[0], 4);
  EXPECT_EQ((*r)[1], 0);
}

TEST(Strlen, Lengths) {
  ErrorState err;
  auto r = builtins::strlen(strs(1, 3, {"ab", kNull, ""}), err);
  ASSERT_TRUE(r);
  EXPECT_EQ((*r)[0], 2);
  EXPECT_EQ((*r)[1], 0);
  EXPECT_EQ((*r)[2], 0);
}

// Every shape rule of strcat, in the order they are tried.
TEST(Strcat, ShapeRules) {
  const Matrix m22 = strs(2, 2, {"a", "b", "c", "d"});
  const struct {
    const char* rule;
    Matrix a, b;
    int rows, cols;
    Cells expected;
  } cases[] = {
      {"same shape", strs(1, 2, {"a", "b"}), strs(1, 2, {"c", "d"}), 1, 2, {"ac", "bd"}},
      {"B one column", m22.clone(), strs(2, 1, {"1", "2"}), 2, 2, {"a1", "b1", "c2", "d2"}},
      {"A one column", strs(2, 1, {"1", "2"}), m22.clone(), 2, 2, {"1a", "1b", "2c", "2d"}},
      {"B 1x1", strs(2, 1, {"a", "b"}), Matrix::text("x"), 2, 1, {"ax", "bx"}},
      {"B a row", m22.clone(), strs(1, 2, {"x", "y"}), 2, 2, {"ax", "by", "cx", "dy"}},
      {"A 1x1", Matrix::text("x"), m22.clone(), 2, 2, {"xa", "xb", "xc", "xd"}},
      {"A a row", strs(1, 2, {"x", "y"}), m22.clone(), 2, 2, {"xa", "yb", "xc", "yd"}},
      {"1x1 with a row", Matrix::text("x"), strs(1, 2, {"a", "b"}), 1, 2, {"xa", "xb"}},
  };
  for (const auto& c : cases) {
    ErrorState err;
    auto r = builtins::strcat(c.a, c.b, err);
    ASSERT_TRUE(r) << c.rule;
    EXPECT_EQ(r->rows(), c.rows) << c.rule;
    EXPECT_EQ(r->cols(), c.cols) << c.rule;
    EXPECT_EQ(cells(*r), c.expected) << c.rule;
  }
}

TEST(Strcat, ShapesThatDoNotFit) {
  const struct {
    Matrix a, b;
  } cases[] = {
      {Matrix::strings(2, 2), Matrix::strings(2, 3)},
      {Matrix::strings(2, 2), Matrix::strings(1, 3)},
      {Matrix::strings(3, 1), Matrix::strings(2, 1)},
      {Matrix::strings(1, 3), Matrix::strings(2, 2)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(code_of([&](ErrorState& e) { return builtins::strcat(c.a, c.b, e); }), kErrDims);
    EXPECT_EQ(code_of([&](ErrorState& e) { return builtins::strcmp(c.a, c.b, e); }), kErrDims);
  }
}

TEST(Strcat, AbsentStrings) {
  ErrorState err;
  auto r = builtins::strcat(strs(1, 3, {kNull, kNull, "a"}), strs(1, 3, {kNull, "s", kNull}),
                            err);
  ASSERT_TRUE(r);
  EXPECT_FALSE(r->str()[0].has_value());
  EXPECT_EQ(r->str()[1], "s");
  EXPECT_EQ(r->str()[2], "a");
}

TEST(Strcmp, OrderOfStrings) {
  ErrorState err;
  auto r = builtins::strcmp(Matrix::text("a"), strs(1, 2, {"a", "b"}), err);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->cols(), 2);
  EXPECT_EQ((*r)[0], 0);
  EXPECT_EQ((*r)[1], -1);

  const struct {
    StrCell a, b;
    double expected;
  } cases[] = {
      {kNull, kNull, 0},   {kNull, "", -1},   {"", kNull, 1},     {"b", "a", 1},
      {"ab", "abc", -1},   {"abc", "ab", 1},  {"\xe9", "z", 1},   // bytes compare unsigned
      {"B", "a", -1},
  };
  for (const auto& c : cases) {
    auto v = builtins::strcmp(strs(1, 1, {c.a}), strs(1, 1, {c.b}), err);
    ASSERT_TRUE(v);
    EXPECT_EQ((*v)[0], c.expected) << c.a.value_or("<null>") << " vs " << c.b.value_or("<null>");
  }
}

TEST(Case, OnlyAsciiLettersChange) {
  ErrorState err;
  auto lower = builtins::lcase(Matrix(strs(3, 1, {"AbC-Z", kNull, "\xC9x"})), err);
  ASSERT_TRUE(lower);
  EXPECT_EQ(cells(*lower), (Cells{"abc-z", "<null>", "\xC9x"}));
  auto upper = builtins::ucase(Matrix(strs(1, 1, {"abc-z\xe9"})), err);
  ASSERT_TRUE(upper);
  EXPECT_EQ(upper->str()[0], "ABC-Z\xe9");
}

TEST(Case, TemporaryChangesInPlaceVariableIsCopied) {
  ErrorState err;
  Matrix temp = strs(1, 1, {"a long enough string to live on the heap"});
  const char* data = temp.str()[0]->data();
  auto r = builtins::ucase(Value(std::move(temp)), err);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->str()[0]->data(), data);

  Matrix var = Matrix::text("abc");
  var.set_name("s");
  r = builtins::ucase(Value::borrow(var), err);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->str()[0], "ABC");
  EXPECT_FALSE(r->has_name());
  EXPECT_EQ(var.str()[0], "abc");
}

TEST(LeftRight, CountsRoundHalfToEven) {
  const struct {
    bool left;
    StrCell s;
    double n;
    StrCell expected;
  } cases[] = {
      {true, "abc", 2.5, "ab"},     {true, "abcd", 3.5, "abcd"},  {true, "abcde", 1.5, "ab"},
      {true, "abc", 2.4, "ab"},     {true, "abc", 0.4, ""},       {true, "abc", 0, kNull},
      {true, "abc", -1, kNull},     {true, "abc", -kInf, kNull},  {true, "abc", kNaN, "abc"},
      {true, "abc", kInf, "abc"},   {true, kNull, 2, kNull},      {true, "", 1, ""},
      {false, "abc", 10, "abc"},    {false, "abcd", 1.5, "cd"},   {false, "abcde", 2.5, "de"},
      {false, "abc", 1, "c"},       {false, "abc", -1, kNull},
  };
  for (const auto& c : cases) {
    ErrorState err;
    const Matrix s = strs(1, 1, {c.s});
    const Matrix n = Matrix::scalar(c.n);
    auto r = c.left ? builtins::left(s, n, err) : builtins::right(s, n, err);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->str()[0], c.expected) << (c.left ? "left " : "right ") << c.n;
  }
}

TEST(LeftRight, Elementwise) {
  ErrorState err;
  auto r = builtins::left(strs(1, 2, {"abc", "xyz"}), nums(1, 2, {1, 2}), err);
  ASSERT_TRUE(r);
  EXPECT_EQ(cells(*r), (Cells{"a", "xy"}));

}

TEST(Htmlsafe, SpecialCharactersReplaced) {
  ErrorState err;
  auto r = builtins::htmlsafe(
      strs(1, 4, {"a<b & 'c'", "\"50%\">", kNull, "plain"}), err);
  ASSERT_TRUE(r);
  EXPECT_EQ(cells(*r),
            (Cells{"a&lt;b &amp; &apos;c&apos;", "&quot;50%%&quot;&gt;", "<null>", "plain"}));
}

TEST(Implode, JoinsInLinearOrder) {
  const struct {
    Matrix s;
    StrCell sep;
    const char* expected;
  } cases[] = {
      {strs(1, 3, {"a", kNull, "c"}), ", ", "a, , c"},
      {strs(2, 2, {"a", "b", "c", "d"}), "-", "a-c-b-d"},  // column by column
      {strs(1, 2, {"a", "b"}), kNull, "ab"},
      {Matrix::strings(0, 0), "-", ""},
  };
  for (const auto& c : cases) {
    ErrorState err;
    auto r = builtins::implode(c.s, strs(1, 1, {c.sep}), err);
    ASSERT_TRUE(r);
    EXPECT_TRUE(r->is_scalar());
    EXPECT_EQ(r->str()[0], c.expected);
  }
}

TEST(Explode, PiecesBetweenSeparators) {
  const struct {
    StrCell s;
    StrCell sep;
    Cells expected;
  } cases[] = {
      {"a,,b", ",", {"a", "", "b"}},
      {"ab", ",", {"ab"}},
      {",a,", ",", {"", "a", ""}},
      {"a::b::", "::", {"a", "b", ""}},
      {"aaa", "aa", {"", "a"}},           // occurrences do not overlap
      {"", ",", {""}},
      {kNull, ",", {"<null>"}},
      {"a,b", "", {"a,b"}},               // no separator to find
      {"a,b", kNull, {"a,b"}},
  };
  for (const auto& c : cases) {
    ErrorState err;
    auto r = builtins::explode(strs(1, 1, {c.s}), strs(1, 1, {c.sep}), err);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->cols(), 1);
    EXPECT_EQ(cells(*r), c.expected) << c.s.value_or("<null>");
  }
}

// The argument checks of every string builtin, with their codes, in the
// order they are made: the first argument's before the second's, the type
// before the shape.
TEST(StringBuiltins, ArgumentChecks) {
  const Matrix s = Matrix::text("a");
  const Matrix n = Matrix::scalar(1);
  const Matrix no_strings = Matrix::strings(0, 1);
  const Matrix no_numbers;
  const Matrix row = strs(1, 2, {"a", "b"});
  using Call = std::function<std::optional<Matrix>(ErrorState&)>;
  const struct {
    const char* call;
    Call f;
    int code;
  } cases[] = {
      {"num2str(1, 1)", [&](ErrorState& e) { return builtins::num2str(n, n, e); }, kErrString},
      {"num2str(row, 1)", [&](ErrorState& e) { return builtins::num2str(row, n, e); }, kErrScalar},
      {"num2str(s, s)", [&](ErrorState& e) { return builtins::num2str(s, s, e); }, kErrNumeric},
      {"num2str(s, [])",
       [&](ErrorState& e) { return builtins::num2str(Matrix::text("%d"), no_numbers, e); },
       kErrNotEmpty},
      {"num2str(\"x\", 1)", [&](ErrorState& e) { return builtins::num2str(s, n, e); },
       kErrBadConversion},
      {"str2num(1)", [&](ErrorState& e) { return builtins::str2num(n, e); }, kErrString},
      {"strlen(1)", [&](ErrorState& e) { return builtins::strlen(n, e); }, kErrString},
      {"strlen([])", [&](ErrorState& e) { return builtins::strlen(no_strings, e); }, kErrNotEmpty},
      {"strcmp(1, s)", [&](ErrorState& e) { return builtins::strcmp(n, s, e); }, kErrString},
      {"strcmp(s, 1)", [&](ErrorState& e) { return builtins::strcmp(s, n, e); }, kErrString},
      {"strcat([], 1)", [&](ErrorState& e) { return builtins::strcat(no_strings, n, e); },
       kErrNotEmpty},
      {"strcat(s, [])", [&](ErrorState& e) { return builtins::strcat(s, no_strings, e); },
       kErrNotEmpty},
      {"lcase(1)", [&](ErrorState& e) { return builtins::lcase(Value::borrow(n), e); }, kErrString},
      {"ucase(1)", [&](ErrorState& e) { return builtins::ucase(Value::borrow(n), e); }, kErrString},
      {"left(1, 1)", [&](ErrorState& e) { return builtins::left(n, n, e); }, kErrString},
      {"left([], s)", [&](ErrorState& e) { return builtins::left(no_strings, s, e); },
       kErrNotEmpty},
      {"right(s, s)", [&](ErrorState& e) { return builtins::right(s, s, e); }, kErrNumeric},
      {"right(s, [])", [&](ErrorState& e) { return builtins::right(s, no_numbers, e); },
       kErrNotEmpty},
      {"right(s, [1 2])",
       [&](ErrorState& e) { return builtins::right(s, nums(1, 2, {1, 2}), e); }, kErrDims},
      {"htmlsafe(1)", [&](ErrorState& e) { return builtins::htmlsafe(n, e); }, kErrString},
      {"implode(1, s)", [&](ErrorState& e) { return builtins::implode(n, s, e); }, kErrString},
      {"implode(s, 1)", [&](ErrorState& e) { return builtins::implode(s, n, e); }, kErrString},
      {"implode(s, row)", [&](ErrorState& e) { return builtins::implode(s, row, e); },
       kErrScalar},
      {"explode(1, s)", [&](ErrorState& e) { return builtins::explode(n, s, e); }, kErrString},
      {"explode(row, 1)", [&](ErrorState& e) { return builtins::explode(row, n, e); },
       kErrScalar},
      {"explode(s, 1)", [&](ErrorState& e) { return builtins::explode(s, n, e); }, kErrString},
      {"explode(s, row)", [&](ErrorState& e) { return builtins::explode(s, row, e); },
       kErrScalar},
  };
  for (const auto& c : cases) EXPECT_EQ(code_of(c.f), c.code) << c.call;
}

}  // namespace
}  // namespace vop
