// Reading by index and the assignment forms, run as scripts.
#include "tests/script/session.h"

namespace vop::test {
namespace {

TEST(Indexing, Reading) {
  check({
      {"v = [5 6 7 8]; v(2:Inf)", "ans =\n         6         7         8\n"},
      {"v = [5; 6; 7]; v([3 1 1])", "ans =\n         7\n         5\n         5\n"},
      {"v = [5 6 7 8]; v(4:1:-2)", "ans =\n         8         6\n"},
      {"m = [1 2; 3 4]; m(:)", "ans =\n         1\n         3\n         2\n         4\n"},
      {"m = [1 2; 3 4]; m(:, 2)", "ans =\n         2\n         4\n"},
      {"m = [1 2; 3 4]; m(2, [2 1 2])", "ans =\n         4         3         4\n"},
      {"m = [1 2; 3 4]; m(2:Inf, 1:Inf)", "ans =\n         3         4\n"},
      {"m = [1 2; 3 4]; m([2 1])", "ans =\n         3\n         1\n"},
      {"x = 7; x(1)", "ans =\n         7\n"},
      {"x = 7; x([1 1])", "ans =\n         7         7\n"},
      {"v = [5 6]; v(1.9)", "ans =\n         5\n"},
      {"v = [5 6]; v([])", "ans =\n[]\n"},
      {"e = []; e(3)", "ans =\n[]\n"},
      {"s = [\"ab\" \"c\" \"d\"]; s([3 1])", "ans =\nd ab\n"},
      {"v = [5 6 7 8]; v(0)",
       "ERROR : Index, argument is out of range of matrix dimension\non the line 'v = [5 6 7 8]; v(0)'\n", 68},
      {"v = [5 6]; v(3)",
       "ERROR : Index, argument is out of range of matrix dimension\non the line 'v = [5 6]; v(3)'\n", 68},
      {"v = [5 6]; v(NaN)",
       "ERROR : Index, argument is out of range of matrix dimension\non the line 'v = [5 6]; v(NaN)'\n", 68},
      {"v = [5 6]; v(0:1)",
       "ERROR : Index, argument is out of range of matrix dimension\non the line 'v = [5 6]; v(0:1)'\n", 68},
      {"v = [5 6 7 8]; v(3:1)", "ERROR : Illegal value of index\non the line 'v = [5 6 7 8]; v(3:1)'\n", 89},
      {"v = [5 6 7 8]; v(1:4:-1)", "ERROR : Illegal value of index\non the line 'v = [5 6 7 8]; v(1:4:-1)'\n", 89},
      {"v = [5 6]; v(1, 1, 1)",
       "ERROR : Referencing variable with more than 2 indexes\non the line 'v = [5 6]; v(1, 1, 1)'\n", 66},
      {"m = [1 2; 3 4]; m([1 2; 1 2])",
       "ERROR : Argument must be a vector\non the line 'm = [1 2; 3 4]; m([1 2; 1 2])'\n", 67},
      {"v = [5 6]; v(\"a\")", "ERROR : Argument must be numeric\non the line 'v = [5 6]; v(\"a\")'\n", 63},
  });
}

TEST(Assignment, PlainAndIndexedGrowth) {
  check({
      {"x = 3", "x =\n         3\n"},
      {"x = 3;", ""},
      {"x = [1 2]; y = x; y(1) = 9; x", "x =\n         1         2\n"},
      {"y(3) = 1", "y =\n         0\n         0\n         1\n"},
      {"x = 5; x(3) = 1", "x =\n         5\n         0\n         1\n"},
      {"x = [1 2]; x(4) = 7", "x =\n         1         2         0         7\n"},
      {"x = [1; 2]; x(3) = 7", "x =\n         1\n         2\n         7\n"},
      {"x = []; x(2) = 1", "x =\n         0\n         1\n"},
      {"x = 1; x(2, 3) = 2", "x =\n         1         0         0\n         0         0         2\n"},
      {"x = zeros(2, 2); x(:, 1) = 5", "x =\n         5         0\n         5         0\n"},
      {"x = zeros(2, 2); x(2, :) = [7 8]", "x =\n         0         0\n         7         8\n"},
      {"x = [1 2 3]; x(2:3) = x(1:2)", "x =\n         1         1         2\n"},
      {"x = [1 2]; x(1) = x", "ERROR : Argument has wrong dimensionality\non the line 'x = [1 2]; x(1) = x'\n",
       70},
      {"m = [1 2; 3 4]; m(5) = 1",
       "ERROR : Index, argument is out of range of matrix dimension\non the line 'm = [1 2; 3 4]; m(5) = 1'\n", 68},
      {"x = [1 2]; x(1:2) = [1 2 3]",
       "ERROR : Argument has wrong dimensionality\non the line 'x = [1 2]; x(1:2) = [1 2 3]'\n", 70},
      {"x = [1 2]; x(1) = \"a\"",
       "ERROR : Matrixes are of different type (string & numeric)\non the line 'x = [1 2]; x(1) = \"a\"'\n", 71},
      {"x = []; x(2) = \"a\"", "x =\n\na\n"},
      {"s(2) = \"b\"; isstr(s)", "ans =\n         1\n"},
      {"x = [1 2]; x(0) = 1",
       "ERROR : Index, argument is out of range of matrix dimension\non the line 'x = [1 2]; x(0) = 1'\n", 68},
  });
}

TEST(Assignment, Deletion) {
  check({
      {"x = [1 2 3]; x(2) = []", "x =\n         1         3\n"},
      {"x = [1; 2; 3]; x([1 3]) = []", "x =\n         2\n"},
      {"x = [1 2; 3 4]; x(1, :) = []", "x =\n         3         4\n"},
      {"x = [1 2; 3 4]; x(:, 2) = []", "x =\n         1\n         3\n"},
      {"x = [1 2; 3 4]; x(2) = []",
       "ERROR : Column reference of a matrix is missing\non the line 'x = [1 2; 3 4]; x(2) = []'\n", 72},
      {"x = [1 2; 3 4]; x(1, 1) = []",
       "ERROR : Row and column cannot be deleted at same command\non the line 'x = [1 2; 3 4]; x(1, 1) = []'\n",
       73},
      {"q(2) = []", "ERROR : Illegal use of '[]'\non the line 'q(2) = []'\n", 69},
      {"[] = 3", "ERROR : Illegal use of '[]'\non the line '[] = 3'\n", 69},
      {"x = [1 2]; x = []", "x =\n[]\n"},
  });
}

TEST(Assignment, Multiple) {
  check({
      {"[r, c] = size([1 2 3])", "r =\n         1\nc =\n         3\n"},
      {"[r, c] = size([1 2 3]);\nc", "c =\n         3\n"},
      {"[r c] = size(1)", "r =\n         1\nc =\n         1\n"},
      {"[r, 2] = size(1)", "ERROR : Illegal Lvalue\non the line '[r, 2] = size(1)'\n", 54},
      {"[a, b, c] = size(1)",
       "ERROR : Too many return values are requested from function\non the line '[a, b, c] = size(1)'\n", 80},
  });
}

}  // namespace
}  // namespace vop::test
