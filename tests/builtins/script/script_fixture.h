// A fixture that runs script text through a real interpreter with the
// builtin library installed, and reads back variables, error codes and
// printed text. Expected values are written as script expressions too, so
// a case reads as the user would write it: `mean([1 2; 3 4])` is `[2 3]`.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <string_view>

#include "builtins/library.h"
#include "core/interpreter.h"
#include "core/output_sink.h"

namespace vop::script_test {

// One expression and the value it must give, both as script text.
struct ValueCase {
  const char* expr;      // evaluated as `got = <expr>;`
  const char* expected;  // evaluated as `want = <expected>;`
};

// One statement text and the error code its run must stop with.
struct ErrorCase {
  const char* text;  // run as it stands
  int code;          // the run's error code
};

// One statement text and the text it must write to the output.
struct OutputCase {
  const char* text;      // run as it stands
  const char* expected;  // everything written, exactly
};

class ScriptTest : public ::testing::Test {
 protected:
  ScriptTest() { install_builtins(interp); }

  // Runs text from a fresh output; returns the error code (0 = none).
  int run(std::string_view text) {
    out.text.clear();
    return interp.run_text(text);
  }

  // The script-level variable `name`; fails the test when there is none.
  const Matrix& var(std::string_view name) {
    Matrix* m = interp.workspace().lookup(name, interp.error());
    if (!m) {
      ADD_FAILURE() << "no variable " << name;
      static const Matrix none;
      return none;
    }
    return *m;
  }

  // The value of an expression; an error fails the test.
  const Matrix& eval(std::string_view expr) {
    const int code = run("got = " + std::string(expr) + ";");
    EXPECT_EQ(code, 0) << expr << "\n" << out.text;
    return var("got");
  }

  // Whether two matrices have the same type, shape and elements (NaN equal
  // to NaN; numbers within `tol` relative to the larger magnitude).
  static ::testing::AssertionResult same(const Matrix& a, const Matrix& b, double tol = 0) {
    if (a.numeric() != b.numeric() || a.rows() != b.rows() || a.cols() != b.cols())
      return ::testing::AssertionFailure()
             << describe(a) << " vs " << describe(b);
    for (int64_t k = 0; k < a.size(); ++k) {
      if (a.numeric()) {
        const double x = a[k], y = b[k];
        if (std::isnan(x) && std::isnan(y)) continue;
        if (x == y) continue;
        if (tol > 0 && std::fabs(x - y) <= tol * std::fmax(1.0, std::fmax(std::fabs(x), std::fabs(y))))
          continue;
        return ::testing::AssertionFailure() << "element " << k << ": " << x << " vs " << y;
      } else if (a.str()[k] != b.str()[k]) {
        return ::testing::AssertionFailure()
               << "element " << k << ": '" << a.str()[k].value_or("<null>") << "' vs '"
               << b.str()[k].value_or("<null>") << "'";
      }
    }
    return ::testing::AssertionSuccess();
  }

  // `expr` gives the value of `expected` (both script expressions).
  ::testing::AssertionResult gives(std::string_view expr, std::string_view expected,
                                   double tol = 0) {
    if (int code = run("got = " + std::string(expr) + ";"))
      return ::testing::AssertionFailure() << expr << " failed with " << code << ": " << out.text;
    if (int code = run("want = " + std::string(expected) + ";"))
      return ::testing::AssertionFailure() << expected << " failed with " << code;
    auto r = same(var("got"), var("want"), tol);
    if (!r) r << " (" << expr << " should be " << expected << ")";
    return r;
  }

  void check_values(std::initializer_list<ValueCase> cases, double tol = 0) {
    for (const ValueCase& c : cases) EXPECT_TRUE(gives(c.expr, c.expected, tol));
  }
  void check_errors(std::initializer_list<ErrorCase> cases) {
    for (const ErrorCase& c : cases) EXPECT_EQ(run(c.text), c.code) << c.text << "\n" << out.text;
  }
  void check_output(std::initializer_list<OutputCase> cases) {
    for (const OutputCase& c : cases) {
      EXPECT_EQ(run(c.text), 0) << c.text << "\n" << out.text;
      EXPECT_EQ(out.text, c.expected) << c.text;
    }
  }

  static std::string describe(const Matrix& m) {
    return std::to_string(m.rows()) + "x" + std::to_string(m.cols()) +
           (m.numeric() ? " numeric" : " string");
  }

  StringSink out;
  Interpreter interp{out};
};

}  // namespace vop::script_test
