// The console and tab-separated displays of a matrix, as golden text.
#include "builtins/display.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "core/output_sink.h"
#include "tests/builtins/builders.h"

namespace vop {
namespace {

using test::kNull;
using test::nums;
using test::strs;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::string shown(const Matrix& m, bool with_header = false) {
  StringSink sink;
  display_matrix(m, with_header, sink);
  return sink.text;
}

std::string tabbed(const Matrix& m, const Matrix* rows = nullptr,
                   const Matrix* cols = nullptr) {
  StringSink sink;
  display_matrix_tabbed(m, rows, cols, sink);
  return sink.text;
}

Matrix row_of(int n, double scale = 1) {
  Matrix m = Matrix::numbers(1, n);
  for (int j = 0; j < n; ++j) m[j] = (j + 1) * scale;
  return m;
}

TEST(Display, HeaderAndEmpty) {
  Matrix x = Matrix::scalar(3);
  x.set_name("x");
  EXPECT_EQ(shown(x, true), "x =\n         3\n");
  EXPECT_EQ(shown(Matrix::scalar(3), true), "ans =\n         3\n");
  EXPECT_EQ(shown(Matrix()), "[]\n");
  EXPECT_EQ(shown(Matrix(), true), "ans =\n[]\n");
  EXPECT_EQ(shown(Matrix::strings(0, 3), true), "ans =\n[]\n");
}

TEST(Display, NumbersWithoutScale) {
  const struct {
    const char* what;
    Matrix m;
    const char* expected;
  } cases[] = {
      {"whole numbers per element", nums(1, 2, {1.5, 2}), "     1.500         2\n"},
      {"rows", nums(2, 2, {1, -2, 3, 4}),
       "         1        -2\n         3         4\n"},
      {"non-finite", nums(1, 3, {kNaN, kInf, -kInf}), "       NaN       Inf      -Inf\n"},
      {"largest exponent 4", nums(1, 2, {99994, 0.25}), "     99994     0.250\n"},
      {"small exponent -4", nums(1, 1, {0.00012}), "     0.000\n"},
      // Rounded to 1/10000 with ties toward minus infinity, then shown
      // with 3 decimals: 4.5 steps become 4, -4.5 steps become -5.
      {"ties go down", nums(1, 2, {0.00045, -0.00045}), "     0.000    -0.001\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(shown(c.m), c.expected) << c.what;
}

TEST(Display, ScaleLineForLargeAndSmallMagnitudes) {
  const struct {
    const char* what;
    Matrix m;
    const char* expected;
  } cases[] = {
      {"large", row_of(3, 100000), "1.0e+002 *\n  1000.000  2000.000  3000.000\n"},
      {"small", nums(1, 2, {0.00001, 0.00002}), "1.0e-008 *\n  1000.000  2000.000\n"},
      {"no whole-number shortcut when scaled", nums(1, 2, {100000, 1}),
       "1.0e+002 *\n  1000.000     0.010\n"},
      {"exponent after rounding", nums(1, 1, {99999.6}), "1.0e+002 *\n   999.996\n"},
      {"negative", nums(1, 1, {-123456}), "1.0e+002 *\n -1234.560\n"},
      {"NaN ignored", nums(1, 2, {kNaN, 1e6}), "1.0e+003 *\n       NaN  1000.000\n"},
      {"Inf ignored", nums(1, 2, {kInf, 0.5}), "       Inf     0.500\n"},
      // The scale 1e-313 is too small for a normal double.
      {"tiny", nums(1, 2, {1e-310, -2e-311}), "1.0e-313 *\n  1000.000  -200.000\n"},
      {"tinier", nums(1, 1, {3e-318}), "1.0e-321 *\n  3000.001\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(shown(c.m), c.expected) << c.what;
}

TEST(Display, WideMatricesInColumnBlocks) {
  EXPECT_EQ(shown(row_of(8)),
            "         1         2         3         4         5         6         7         8\n");
  EXPECT_EQ(shown(row_of(9)),
            "Kolone 1 do 8\n"
            "         1         2         3         4         5         6         7         8\n"
            "Kolone 9 do 9\n"
            "         9\n");
  Matrix two_rows = Matrix::numbers(2, 17);
  for (int64_t k = 0; k < two_rows.size(); ++k) two_rows[k] = double(k);
  const std::string text = shown(two_rows);
  EXPECT_NE(text.find("Kolone 9 do 16\n        16        18"), std::string::npos);
  EXPECT_NE(text.find("Kolone 17 do 17\n        32\n        33\n"), std::string::npos);
}

TEST(Display, StringsInFieldsOfTheLongestElement) {
  const struct {
    const char* what;
    Matrix m;
    const char* expected;
  } cases[] = {
      {"no separator", strs(1, 2, {"ab", "c"}), "abc \n"},
      {"absent adds nothing", strs(2, 2, {"a", "bb", "ccc", kNull}), "a  bb \nccc\n"},
      {"all empty", strs(1, 2, {"", kNull}), "\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(shown(c.m), c.expected) << c.what;

  // Fields of 38: two per block of an 80-character line.
  const std::string w(38, 'w');
  EXPECT_EQ(shown(strs(1, 3, {w, w, "x"})),
            "Kolone 1 do 2\n" + w + w + "\nKolone 3 do 3\n" + "x" + std::string(37, ' ') + "\n");
}

TEST(Display, LongStringsAreWrittenInPieces) {
  std::string text;
  for (int i = 0; i < 200; ++i) text += char('a' + i % 26);
  // First 78 characters, then 80 at a time while more than 80 remain; the
  // last piece keeps the tail.
  EXPECT_EQ(shown(strs(1, 1, {text})),
            text.substr(0, 78) + "\n" + text.substr(78) + "\n");
  const std::string hundred = text.substr(0, 100);
  EXPECT_EQ(shown(strs(2, 1, {hundred, "x"})),
            hundred + "\n" + "x" + std::string(77, ' ') + "\n");
  const std::string long_text(400, 'z');
  EXPECT_EQ(shown(strs(1, 1, {long_text})),
            std::string(78, 'z') + "\n" + std::string(80, 'z') + "\n" +
                std::string(80, 'z') + "\n" + std::string(80, 'z') + "\n" +
                std::string(82, 'z') + "\n");
}

TEST(DisplayTabbed, NumbersAndLabels) {
  EXPECT_EQ(tabbed(Matrix()), "[]\n");
  EXPECT_EQ(tabbed(nums(2, 2, {1, 2, 3, 4.5})), "1.000\t2.000\n3.000\t4.500\n");
  const Matrix rows = strs(2, 2, {"r1", "a", "r2", kNull});
  const Matrix cols = strs(2, 2, {"c1", "c2", kNull, "d2"});
  EXPECT_EQ(tabbed(nums(2, 2, {1, 2, 3, 4}), &rows, &cols),
            "\t\tc1\tc2\n"
            "\t\t\td2\n"
            "r1\ta\t1.000\t2.000\n"
            "r2\t\t3.000\t4.000\n");
  EXPECT_EQ(tabbed(strs(1, 3, {"a", kNull, "c"})), "a\t\tc\n");
}

TEST(DisplayTabbed, ScaleAndTruncation) {
  const struct {
    const char* what;
    Matrix m;
    const char* expected;
  } cases[] = {
      {"truncated, not rounded", nums(1, 2, {1.23456, -1.23456}), "1.234\t-1.234\n"},
      {"exponent 3 scales", nums(1, 2, {1234, 5}), "1.0e+003 *\n1.234\t0.005\n"},
      {"small values", nums(1, 1, {0.00123}), "1.0e-003 *\n1.230\n"},
      {"non-finite", nums(1, 3, {kNaN, kInf, -kInf}), "NaN\tInf\t-Inf\n"},
      {"infinite largest: no scale", nums(1, 2, {kInf, 12345}), "Inf\t12345.000\n"},
      {"tiny", nums(1, 2, {-1e-310, 3e-318}), "1.0e-310 *\n-1.000\t0.000\n"},
      {"tinier", nums(1, 1, {3e-318}), "1.0e-318 *\n3.000\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(tabbed(c.m), c.expected) << c.what;
}

TEST(DisplayTabbed, ScaleLineComesBeforeColumnLabels) {
  const Matrix cols = strs(1, 1, {"total"});
  EXPECT_EQ(tabbed(nums(1, 1, {5000}), nullptr, &cols), "1.0e+003 *\ntotal\n5.000\n");
}

}  // namespace
}  // namespace vop
