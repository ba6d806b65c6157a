// Operators, ranges, membership, literals and name building, run as
// scripts.
#include "tests/script/session.h"

namespace vop::test {
namespace {

TEST(Operators, ShapesBroadcastAndMismatch) {
  check({
      {"[1 2 3] - 1", "ans =\n         0         1         2\n"},
      {"[1 2 3; 4 5 6] - [1 2 3]", "ans =\n         0         0         0\n         3         3         3\n"},
      {"[1 2; 3 4] + [10; 20]", "ans =\n        11        12\n        23        24\n"},
      {"[10; 20] .* [1 2]",
       "ERROR : Argument has wrong dimensionality\non the line '[10; 20] .* [1 2]'\n", 70},
      {"[1 2 3] - [1; 2]", "ERROR : Argument has wrong dimensionality\non the line '[1 2 3] - [1; 2]'\n",
       70},
      {"[1 2] * [3; 4]", "ans =\n        11\n"},
      {"[1 2] * [3 4]", "ERROR : Argument has wrong dimensionality\non the line '[1 2] * [3 4]'\n", 70},
      {"[2 4] / 2", "ans =\n         1         2\n"},
      {"2 / [2 4]", "ERROR : Argument has wrong dimensionality\non the line '2 / [2 4]'\n", 70},
      {"2 ^ ([1 2 3])", "ans =\n         2         4         8\n"},
      // An exponent is a name, a number or a parenthesised expression.
      {"2 ^ [1 2 3]", "ERROR : Missing argument in expression\non the line '2 ^ [1 2 3]'\n", 36},
      {"[1 2] ^ 2", "ERROR : Argument must be a scalar value\non the line '[1 2] ^ 2'\n", 55},
      {"[1 2] .^ 2", "ans =\n         1         4\n"},
      {"[2 0; 0 4]^", "ans =\n     0.500         0\n         0     0.250\n"},
      {"[1 2 3]^", "ERROR : Square matrix is needed\non the line '[1 2 3]^'\n", 83},
      {"-[1 2]'", "ans =\n        -1\n        -2\n"},
      {"~[0 3 NaN]", "ans =\n         1         0         0\n"},
      {"~\"a\"", "ERROR : Argument must be numeric\non the line '~\"a\"'\n", 63},
      {"\"a\" - \"b\"", "ERROR : Argument must be numeric\non the line '\"a\" - \"b\"'\n", 63},
      {"1 < NaN", "ans =\n         0\n"},
  });
}

TEST(Operators, EmptyOperands) {
  check({
      {"x = 1; x - []", "ERROR : Argument must be different form '[]'\non the line 'x = 1; x - []'\n", 77},
      {"[] < 1", "ERROR : Argument must be different form '[]'\non the line '[] < 1'\n", 77},
      {"[] & 1", "ERROR : Argument must be different form '[]'\non the line '[] & 1'\n", 77},
      {"[] == []", "ans =\n         1\n"},
      {"5 == []", "ans =\n         0\n"},
      {"5 ~= []", "ans =\n         1\n"},
      {"[] ~= []", "ans =\n         0\n"},
      {"[]'", "ans =\n[]\n"},
      {"~[]", "ans =\n[]\n"},
  });
}

TEST(Operators, EqualityOnNaNAndStrings) {
  check({
      {"NaN == NaN", "ans =\n         1\n"},
      {"NaN ~= NaN", "ans =\n         0\n"},
      {"[NaN 1] == [2 1]", "ans =\n         0         1\n"},
      {"\"ab\" == \"ab\"", "ans =\n         1\n"},
      {"[\"a\" \"b\"] ~= [\"a\" \"c\"]", "ans =\n         0         1\n"},
      {"\"ab\" == 1",
       "ERROR : Matrixes are of different type (string & numeric)\non the line '\"ab\" == 1'\n", 71},
      {"\"ab\" + \"cd\"", "ans =\nabcd\n"},
      {"[\"a\" \"b\"] + \"x\"", "ans =\naxbx\n"},
      {"\"ab\" + 1",
       "ERROR : Matrixes are of different type (string & numeric)\non the line '\"ab\" + 1'\n", 71},
  });
}

TEST(Operators, TextGrowsByAppending) {
  check({
      {"s = \"\"; for i = 1:1000 s = s + \"ab\"; end; strlen(s)", "ans =\n      2000\n"},
      {"s = \"ab\"; s = s + s", "s =\nabab\n"},
      {"s = \"q\"; s = s + [\"1\" \"2\"]", "s =\nq1q2\n"},
      {"s = \"z\"; s = s + 1",
       "ERROR : Matrixes are of different type (string & numeric)\non the line 's = \"z\"; s = s + 1'\n",
       71},
  });
}

TEST(Operators, LogicalAndExclusiveOr) {
  check({
      {"[1 0 1] || [1 1 0]", "ans =\n         0         1         1\n"},
      {"[1 0 NaN] & [1 1 1]", "ans =\n         1         0         1\n"},
      {"[0 0] | [0 2]", "ans =\n         0         1\n"},
      {"\"a\" | 1", "ERROR : Argument must be numeric\non the line '\"a\" | 1'\n", 63},
      // Outside a condition both operands are evaluated.
      {"0 & nosuch", "ERROR : Unknown variable, function 'nosuch'\non the line '0 & nosuch'\n", 96},
      {"1 || nosuch", "ERROR : Unknown variable, function 'nosuch'\non the line '1 || nosuch'\n", 96},
  });
}

TEST(Operators, ConditionsShortCircuit) {
  check({
      {"if 0 & nosuch\n1\nelse\n2\nend", "ans =\n         2\n"},
      {"if 1 | nosuch\n1\nend", "ans =\n         1\n"},
      {"if ~(0 & nosuch)\n3\nend", "ans =\n         3\n"},
      {"if (1 | nosuch) & 1\n4\nend", "ans =\n         4\n"},
      // Not a scalar: no short circuit, the right side is needed.
      {"if [0 0] & nosuch\nend", "ERROR : Unknown variable, function 'nosuch'\non the line 'if [0 0] & nosuch'\n",
       96},
      // Only &, | and ~ pass the mode down: a comparison evaluates both sides.
      {"if (0 & nosuch) == 0\nend",
       "ERROR : Unknown variable, function 'nosuch'\non the line 'if (0 & nosuch) == 0'\n", 96},
      {"if 1 || nosuch\nend", "ERROR : Unknown variable, function 'nosuch'\non the line 'if 1 || nosuch'\n", 96},
      {"while 0 & nosuch\nend\nrepeat\nx = 1;\nuntil 1 | nosuch\nx", "x =\n         1\n"},
  });
}

TEST(Membership, FourShapes) {
  check({
      {"[1 2; 3 4] in [1 2 5; 4 3 0]", "ans =\n         1\n         1\n"},
      {"[1 9] anyin [1 2]", "ans =\n         1\n"},
      {"[1 9] in [1 2]", "ans =\n         0\n"},
      {"[] in [1 2]", "ans =\n         1\n"},
      {"[1; 2] in []", "ans =\n         0\n         0\n"},
      {"[1; 2] anyin []", "ans =\n         0\n"},
      {"[1; 2] in [1 2 3; 1 1 1; 2 2 2]", "ans =\n         1         1         0\n         1         0         1\n"},
      {"[1; 2] rin [1 2 3; 1 1 1; 2 2 2]",
       "ans =\n         1         1\n         1         0\n         0         1\n"},
      {"[1 5; 2 6] ranyin [5; 6; 7]", "ans =\n         1         0\n         0         1\n         0         0\n"},
      {"NaN in NaN", "ans =\n         0\n"},
      {"\"a\" in [1]", "ERROR : Argument must be numeric\non the line '\"a\" in [1]'\n", 63},
  });
}

TEST(Ranges, ColumnsCountsAndErrors) {
  check({
      {"1:3", "ans =\n         1\n         2\n         3\n"},
      {"10:1:-3", "ans =\n        10\n         7\n         4\n         1\n"},
      {"0:1:0.5", "ans =\n         0\n     0.500\n         1\n"},
      {"0:0.5:1", "ans =\n         0\n"},
      {"1:0", "ans =\n[]\n"},
      {"3:1", "ans =\n[]\n"},
      {"1:2:0", "ERROR : Index, argument is out of range of matrix dimension\non the line '1:2:0'\n", 68},
      {"1:Inf", "ERROR : Index, argument is out of range of matrix dimension\non the line '1:Inf'\n", 68},
      {"NaN:2", "ERROR : Index, argument is out of range of matrix dimension\non the line 'NaN:2'\n", 68},
      {"[1 2]:3", "ERROR : Argument must be a scalar value\non the line '[1 2]:3'\n", 55},
      {"\"a\":3", "ERROR : Argument must be numeric\non the line '\"a\":3'\n", 63},
  });
}

TEST(Literals, MatrixBuilding) {
  check({
      {"[]", "ans =\n[]\n"},
      {"[1 -2]", "ans =\n         1        -2\n"},
      {"[1 - 2]", "ans =\n        -1\n"},
      {"[1 -  2]", "ans =\n        -1\n"},
      {"[-1 2]", "ans =\n        -1         2\n"},
      {"x = 3; [x' -1];", ""},
      {"[(1) -2]", "ans =\n         1        -2\n"},
      {"[1 2\n3 4]", "ans =\n         1         2\n         3         4\n"},
      {"[[1 2] 3; [] 4 5 6]", "ans =\n         1         2         3\n         4         5         6\n"},
      {"[1 2; 3]", "ERROR : Argument has wrong dimensionality\non the line '[1 2; 3]'\n", 70},
      {"[[1; 2] 3]", "ERROR : Argument has wrong dimensionality\non the line '[[1; 2] 3]'\n", 70},
      {"[1 \"a\"]",
       "ERROR : Matrixes are of different type (string & numeric)\non the line '[1 \"a\"]'\n", 71},
      {"[\"ab\" \"c\"]", "ans =\nabc \n"},
      {"x = \"\"; isstr(x)", "ans =\n         1\n"},
  });
}

TEST(Names, BuildingAndResolution) {
  check({
      {"x#2 = 5", "x2 =\n         5\n"},
      {"x2 = 4; x#(1+1)", "x2 =\n         4\n"},
      {"x#2.7 = 1; x2", "x2 =\n         1\n"},
      {"x#\"a\" = 1", "ERROR : Argument must be numeric\non the line 'x#\"a\" = 1'\n", 63},
      {"x#[1 2] = 1", "ERROR : Argument must be a scalar value\non the line 'x#[1 2] = 1'\n", 55},
      {"p#1", "ERROR : Unknown variable, function 'p1'\non the line 'p#1'\n", 96},
      // The built name, not its prefix, is what resolves.
      {"e#1", "ERROR : Unknown variable, function 'e1'\non the line 'e#1'\n", 96},
      // A variable hides a builtin of the same name for the rest of its life.
      {"sum = 3; sum(1)", "ans =\n         3\n"},
      {"pi = 3; pi", "pi =\n         3\n"},
      {"nosuch", "ERROR : Unknown variable, function 'nosuch'\non the line 'nosuch'\n", 96},
      {"1e-3 * 1000", "ans =\n         1\n"},
  });
}

TEST(Results, TooManyRequested) {
  check({
      {"[a, b] = 1 + 2",
       "ERROR : Too many return values are requested from function\non the line '[a, b] = 1 + 2'\n", 80},
      {"[a, b] = 3", "ERROR : Too many return values are requested from function\non the line '[a, b] = 3'\n",
       95},
      {"x = 1; [a, b] = x",
       "ERROR : Too many return values are requested from function\non the line 'x = 1; [a, b] = x'\n", 95},
      {"[a] = 3", "a =\n         3\n"},
  });
}

}  // namespace
}  // namespace vop::test
