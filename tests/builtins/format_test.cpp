// The format engine: every conversion branch, defaults, justification,
// non-finite values, string fields, and its error codes.
#include "builtins/format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "builtins/number_text.h"
#include "core/errors.h"
#include "tests/builtins/builders.h"

namespace vop {
namespace {

using test::kNull;
using test::strs;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// One value argument: a number or a (possibly absent) string.
struct Arg {
  Arg(double x) : number(x) {}  // NOLINT
  Arg(int x) : number(x) {}  // NOLINT
  Arg(const char* s) : text(std::string(s)) {}  // NOLINT
  Arg(std::nullopt_t) {}  // NOLINT: an absent string
  std::optional<double> number;
  StrCell text;
};

std::vector<Matrix> to_values(const std::vector<Arg>& args) {
  std::vector<Matrix> values;
  for (const Arg& a : args) {
    if (a.number) values.push_back(Matrix::scalar(*a.number));
    else values.push_back(strs(1, 1, {a.text}));
  }
  return values;
}

std::optional<std::string> run(const std::string& format, const std::vector<Arg>& args,
                               int* code = nullptr) {
  std::vector<Matrix> values = to_values(args);
  FormatValueList list(values);
  ErrorState err;
  std::optional<Matrix> r = builtins::sprintf(Matrix::text(format), list, err);
  if (code) *code = err.code();
  if (!r) return std::nullopt;
  EXPECT_TRUE(r->is_scalar() && !r->numeric());
  return r->str()[0];
}

struct Golden {
  const char* format;
  std::vector<Arg> args;
  const char* expected;
};

void expect_goldens(const std::vector<Golden>& cases) {
  for (const Golden& g : cases) {
    int code = 0;
    EXPECT_EQ(run(g.format, g.args, &code).value_or("<error>"), g.expected)
        << "format \"" << g.format << "\", code " << code;
  }
}

TEST(Sprintf, LiteralTextPercentAndBackslash) {
  expect_goldens({
      {"plain text", {}, "plain text"},
      {"100%%", {}, "100%"},
      {"a\\qb", {}, "aqb"},        // backslash before a letter: the letter
      {"\\%d", {}, "%d"},          // a backslash makes '%' literal
      {"a\\\\b", {}, "a\\b"},
      {"ends with %", {}, "ends with "},
      {"ends with \\", {}, "ends with "},
      {"abc", {1, "x"}, "abc"},    // surplus values are ignored
      {"%d %s", {1, "x", 5}, "1 x"},
  });
}

TEST(Sprintf, NumericConversionsWithDefaults) {
  expect_goldens({
      {"%d", {3.9}, "3"},
      {"%d", {-3.9}, "-3"},
      {"%d", {-0.5}, "0"},
      {"%5d|", {-42}, "  -42|"},
      {"%-5d|", {42}, "42   |"},
      {"%5.3d", {7}, "  007"},
      {"%5.0d|", {0}, "     |"},          // printf prints no digit for 0 here
      {"%d", {1e20}, "100000000000000000000"},  // no wrap beyond int
      {"%f", {1}, "  1.0000"},           // width 8, precision 4
      {"%5.2f|", {1}, " 1.00|"},
      {"%12f|", {-2.5}, "     -2.5000|"},  // a width alone keeps precision 4
      {"%-8.3f|", {1.5}, "1.500   |"},
      {"%08.3f", {1.5}, "   1.500"},       // a leading 0 is part of the width
      {"%3.1f", {1234.56}, "1234.6"},      // wider than the field: not cut
      {"%e", {1500}, "1.5000e+003"},
      {"%10.2E", {1e-10}, " 1.00E-010"},
      {"%e", {1e300}, "1.0000e+300"},
      {"%e", {0}, "0.0000e+000"},
      {"%-14.1e|", {-9.96}, "-1.0e+001     |"},
      {"%e", {5e-324}, "4.9407e-324"},
  });
}

TEST(Sprintf, CapitalFFallsBackToExponentForm) {
  expect_goldens({
      {"%F", {1.5}, "  1.5000"},
      {"%F", {123456789}, "1.2e+008"},     // width 8: precision 8 - 7
      {"%-12F|", {1e20}, "1.00000e+020|"},
      {"%12.2F|", {-1e20}, "-1.00000e+020|"},
      {"%5F", {123456}, "1.234560e+005"},  // precision below 0: printf's 6
  });
}

TEST(Sprintf, NonFiniteNumbersPrintWholeInTheWidth) {
  expect_goldens({
      {"%d", {kNaN}, "     NaN"},
      {"%-d|", {kInf}, "Inf     |"},
      {"%3.1f|", {-kInf}, "-Inf|"},
      {"%2e|", {kNaN}, "NaN|"},
      {"%6F|", {kInf}, "   Inf|"},
      {"%-5E|", {-kInf}, "-Inf |"},
  });
}

TEST(Sprintf, StringConversions) {
  expect_goldens({
      {"%s", {"abc"}, "abc"},
      {"%-s|", {"abc"}, "abc|"},
      {"%3s|", {"abcdef"}, "abc|"},        // precision defaults to the width
      {"%-5s|", {"ab"}, "ab   |"},
      {"%5.1s|", {"ab"}, "    a|"},
      {"%8.5s|", {"abcdefgh"}, "   abcde|"},
      {"[%s]", {kNull}, "[]"},
      {"[%4s]", {kNull}, "[    ]"},
      {"[%-4s]", {kNull}, "[    ]"},
      {"[%4s]", {""}, "[    ]"},          // empty reads as absent
      {"[%s]", {""}, "[]"},
  });
}

TEST(Sprintf, HugeWidthsAndPrecisionsAreCapped) {
  auto wide = run("%999999999d", {1});
  ASSERT_TRUE(wide);
  EXPECT_EQ(wide->size(), size_t(kMaxFieldWidth));
  EXPECT_EQ(wide->back(), '1');
  auto precise = run("%1.99999999999999999999f", {1});
  ASSERT_TRUE(precise);
  EXPECT_EQ(precise->size(), size_t(2 + kMaxPrecision));
  auto text = run("%99999999999s|", {"ab"});
  ASSERT_TRUE(text);
  EXPECT_EQ(text->size(), size_t(kMaxFieldWidth + 1));
}

TEST(Sprintf, ErrorCodes) {
  struct Case {
    const char* format;
    std::vector<Arg> args;
    int code;
  };
  const std::vector<Case> cases = {
      {"%s", {5}, kErrNumberForText},
      {"%d", {"x"}, kErrTextForNumber},
      {"%e", {kNull}, kErrTextForNumber},
      {"%d", {}, kErrBadConversion},
      {"%d %d", {1}, kErrBadConversion},
      {"%q", {1}, kErrBadConversion},
      {"%g", {1}, kErrBadConversion},      // g is num2str's only
      {"%.2f", {1}, kErrBadConversion},    // a precision needs a width
      {"%5", {1}, kErrBadConversion},
      {"%-", {1}, kErrBadConversion},
  };
  for (const Case& c : cases) {
    int code = 0;
    EXPECT_FALSE(run(c.format, c.args, &code)) << c.format;
    EXPECT_EQ(code, c.code) << c.format;
  }
}

TEST(Sprintf, ArgumentChecks) {
  ErrorState err;
  FormatValueList none({});
  EXPECT_FALSE(builtins::sprintf(Matrix::scalar(1), none, err));
  EXPECT_EQ(err.code(), kErrString);

  ErrorState err2;
  EXPECT_FALSE(builtins::sprintf(strs(1, 2, {"a", "b"}), none, err2));
  EXPECT_EQ(err2.code(), kErrScalar);

  ErrorState err3;  // a value must be 1x1
  std::vector<Matrix> values;
  values.push_back(test::nums(1, 2, {1, 2}));
  FormatValueList list(values);
  EXPECT_FALSE(builtins::sprintf(Matrix::text("%d"), list, err3));
  EXPECT_EQ(err3.code(), kErrScalar);

  ErrorState err4;  // an absent format reads as empty
  auto r = builtins::sprintf(strs(1, 1, {kNull}), none, err4);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->str()[0], "");
}

// Values come one at a time, only as far as the format consumes them, and
// a value that fails to evaluate stops the engine with its own code.
class CountingValues : public FormatValues {
 public:
  const Matrix* next(ErrorState& err) override {
    ++asked;
    if (asked == fail_at) {
      err.raise(kErrNumeric);
      return nullptr;
    }
    value = Matrix::scalar(asked);
    return &value;
  }
  int asked = 0;
  int fail_at = 0;
  Matrix value;
};

TEST(Sprintf, ValuesAreTakenLazily) {
  CountingValues values;
  ErrorState err;
  auto r = builtins::sprintf(Matrix::text("%d-%d"), values, err);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->str()[0], "1-2");
  EXPECT_EQ(values.asked, 2);

  CountingValues failing;
  failing.fail_at = 2;
  ErrorState err2;
  EXPECT_FALSE(builtins::sprintf(Matrix::text("%d %d %d"), failing, err2));
  EXPECT_EQ(err2.code(), kErrNumeric);
  EXPECT_EQ(failing.asked, 2);
}

TEST(FormatNumber, GeneralFormsUseThreeExponentDigits) {
  const struct {
    const char* field;
    double x;
    const char* expected;
  } cases[] = {
      {"%g", 1e20, "1e+020"},
      {"%g", 0.0001, "0.0001"},
      {"%g", 0.00001, "1e-005"},
      {"%g", 100000, "100000"},
      {"%g", 1e6, "1e+006"},
      {"%g", 1e-300, "1e-300"},
      {"%g", 2.0 / 3, "0.666667"},
      {"%10g", 123456789, "1.23457e+008"},
      {"%10.3g", 1234.5, " 1.23e+003"},
      {"%-10.3g", 0.5, "0.5       "},
      {"%G", 1e-10, "  1E-010"},            // width 8, precision 4
      {"%G", 12.5, "    12.5"},
      {"%8.3f", 2.0 / 3, "   0.667"},
      {"%d", kNaN, "     NaN"},
      {"%g", -kInf, "    -Inf"},
      {"%s", 1, ""},                         // not a number conversion
      {"8.3f", 1, ""},
      {"%8.3fx", 1, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(format_number(c.field, c.x), c.expected) << c.field;
}

TEST(FormatNumber, ParsedFieldFormat) {
  FieldFormat field;
  EXPECT_EQ(parse_field_format("%-12.3e rest", 1, field), 7u);
  EXPECT_TRUE(field.left);
  EXPECT_TRUE(field.has_width && field.has_precision);
  EXPECT_EQ(field.width, 12);
  EXPECT_EQ(field.precision, 3);
  EXPECT_EQ(field.conversion, 'e');
  EXPECT_EQ(format_number(field, 31415.9), "3.142e+004  ");

  EXPECT_EQ(parse_field_format("%7", 1, field), 2u);
  EXPECT_EQ(field.conversion, '\0');
  EXPECT_EQ(field.width, 7);
  EXPECT_EQ(field.precision, kDefaultFormatPrecision);
}

}  // namespace
}  // namespace vop
