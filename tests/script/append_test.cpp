// x = [x; ...] and x = [x ...]: growing a variable by appending gives what
// the literal gives, raises what the literal raises, and grows the
// variable's own storage instead of copying it each time.
#include <string>

#include "tests/script/session.h"

namespace vop::test {
namespace {

// The literal on the right of `x = ...` builds the same value as the same
// literal assigned to another name, which never grows in place.
void same_as_literal(const std::string& setup, const std::string& literal) {
  Session grown, built;
  const std::string a = grown.run(setup + "\nx = " + literal + "\n");
  const std::string b = built.run(setup + "\ny = " + literal + "\nx = y\n");
  ASSERT_EQ(grown.code(), 0) << setup << " | " << literal << "\n" << a;
  ASSERT_EQ(built.code(), 0) << setup << " | " << literal << "\n" << b;
  EXPECT_EQ(a.substr(a.find('\n')), b.substr(b.rfind("x =") + 3))
      << setup << " | " << literal;
}

TEST(Append, GivesWhatTheLiteralGives) {
  const char* const shapes[][2] = {
      {"x = 1;", "[x; 2]"},
      {"x = 1;", "[x; 2; 3]"},
      {"x = [1; 2];", "[x; [3; 4]; 5]"},
      {"x = [1 2];", "[x; 3 4]"},          // one row of two parts: not the fast form
      {"x = [1 2];", "[x; [3 4]; [5 6]]"},  // a matrix gains rows
      {"x = [1 2];", "[x 3]"},
      {"x = [1 2];", "[x 3 [4 5]]"},
      {"x = [1; 2];", "[x [3; 4] [5; 6]]"},  // a matrix gains columns
      {"x = 1;", "[x; []]"},
      {"x = 1;", "[x [] 2 []]"},
      {"x = [1 2; 3 4];", "[x; x]"},
      {"x = [1 2; 3 4];", "[x x x]"},
      {"x = \"a\";", "[x; \"bc\"; \"\"]"},
      {"x = [\"a\" \"b\"];", "[x \"c\"]"},
      {"x = [\"a\"; \"b\"];", "[x; x]"},
      {"x = [];", "[x; 1]"},
      {"x = [];", "[x 1 2]"},
  };
  for (const auto& s : shapes) same_as_literal(s[0], s[1]);
}

TEST(Append, RaisesWhatTheLiteralRaises) {
  check({
      {"x = [1 2]; x = [x; 1]",
       "ERROR : Argument has wrong dimensionality\non the line 'x = [1 2]; x = [x; 1]'\n", 70},
      {"x = 1; x = [x; \"a\"]",
       "ERROR : Matrixes are of different type (string & numeric)\non the line 'x = 1; x = [x; \"a\"]'\n",
       71},
      // Stacked rows: a kind mismatch anywhere wins over a width mismatch.
      {"x = [1 2]; x = [x; 1; \"a\"]",
       "ERROR : Matrixes are of different type (string & numeric)\non the line 'x = [1 2]; x = [x; 1; \"a\"]'\n",
       71},
      // One row: the first part that does not fit decides.
      {"x = [1; 2]; x = [x 3 \"a\"]",
       "ERROR : Argument has wrong dimensionality\non the line 'x = [1; 2]; x = [x 3 \"a\"]'\n", 70},
      {"x = [1; 2]; x = [x; nosuch]",
       "ERROR : Unknown variable, function 'nosuch'\non the line 'x = [1; 2]; x = [x; nosuch]'\n", 96},
  });
  // A failed append leaves the variable as it was.
  Session s;
  s.run("x = [1; 2]; x = [x; 3; [4 5]]");
  EXPECT_EQ(s.run("x"), "x =\n         1\n         2\n");
}

TEST(Append, SeesTheVariableAsThePartsLeaveIt) {
  check({
      // A part that changes x in place: the grown value starts from the new x.
      {"global x\nx = [1; 2];\nx = [x; f()]\nfunction r = f()\nglobal x\nx = [7; 8];\nr = 9;\nend",
       "x =\n         7\n         8\n         9\n"},
      // A part that empties x.
      {"global x\nx = [1; 2];\nx = [x; f()]\nfunction r = f()\nglobal x\nx = [];\nr = 9;\nend",
       "x =\n         9\n"},
      {"x = [1 2]; x = [x 3]\nx = [x; 4 5 6]", "x =\n         1         2         3\nx =\n         1         2         3\n         4         5         6\n"},
  });
}

// Appending one element at a time reallocates a logarithmic number of
// times: a quadratic path would move the storage on every append.
TEST(Append, GrowsItsOwnStorage) {
  for (const char* step : {"x = [x; i];", "x = [x i];", "x = [x; \"ab\"];"}) {
    Session s;
    s.run(std::string(step).find('"') != std::string::npos ? "x = \"a\";" : "x = 0;");
    ErrorState err;
    int moves = 0;
    const void* last = nullptr;
    for (int i = 1; i <= 5000; ++i) {
      s.run("i = " + std::to_string(i) + "; " + step);
      ASSERT_EQ(s.code(), 0) << step;
      Matrix* x = s.interp().workspace().lookup("x", err);
      const void* data = x->numeric() ? static_cast<const void*>(x->num())
                                      : static_cast<const void*>(x->str());
      if (data != last) ++moves;
      last = data;
    }
    EXPECT_EQ(s.interp().workspace().lookup("x", err)->size(), 5001) << step;
    EXPECT_LE(moves, 16) << step;
  }
}

}  // namespace
}  // namespace vop::test
