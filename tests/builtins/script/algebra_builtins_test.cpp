// Linear algebra and random numbers, run as scripts.
#include <cmath>
#include <string>

#include "script_fixture.h"

namespace vop::script_test {
namespace {

constexpr int kErrSquare = 83;
constexpr int kErrWide = 86;
constexpr double kTol = 1e-12;

using AlgebraBuiltins = ScriptTest;

TEST_F(AlgebraBuiltins, SymmetricEigenproblems) {
  check_values({
      {"eig([2 0; 0 1])", "[1; 2]"},
      {"eig([1 5; 0 1])", "[1; 1]"},  // only the lower triangle is read
      {"eig([2 1; 1 2])", "[1; 3]"},
      {"eig([2 0; 0 8], [1 0; 0 2])", "[2; 4]"},
  }, kTol);
  ASSERT_EQ(run("[D, V] = eig(eye(2));"), 0);
  EXPECT_TRUE(gives("D", "eye(2)"));
  ASSERT_EQ(run("A = [2 1; 1 2]; [D, V] = eig(A); R = V * D * V' - A; Q = V' * V;"), 0);
  EXPECT_TRUE(gives("D", "[1 0; 0 3]", kTol));
  EXPECT_TRUE(gives("R", "zeros(2)", kTol));
  EXPECT_TRUE(gives("Q", "eye(2)", kTol));
  EXPECT_TRUE(gives("A", "[2 1; 1 2]"));  // a named A is not overwritten
  check_errors({
      {"eig([1 2 3]);", kErrSquare},
      {"eig([]);", kErrNotEmpty},
      {"eig(\"a\");", kErrNumeric},
      {"eig([1 0; 0 1], [1 2 3]);", kErrSquare},
      {"eig([1 0; 0 1], eye(3));", kErrDims},
      {"eig([1 0; 0 1], \"a\");", kErrNumeric},
      {"eig([1 0; 0 1], [1 0; 0 -1]);", 200},  // B not positive definite
  });
}

TEST_F(AlgebraBuiltins, SingularValues) {
  check_values({
      {"svd([3 0; 0 4])", "[4; 3]"},
      {"svd([1; 1])", "sqrt(2)"},
  }, kTol);
  ASSERT_EQ(run("A = [1 2; 3 4; 5 6]; [U, S, V] = svd(A); R = U * S * V' - A;"), 0);
  EXPECT_TRUE(gives("size(U)", "[3 2]"));
  EXPECT_TRUE(gives("size(S)", "[2 2]"));
  EXPECT_TRUE(gives("R", "zeros(3, 2)", 1e-12));
  EXPECT_TRUE(gives("A", "[1 2; 3 4; 5 6]"));
  check_errors({
      {"svd([1 2 3]);", kErrWide},
      {"svd([]);", kErrNotEmpty},
      {"svd(\"a\");", kErrNumeric},
      {"[a, b] = svd([1; 2]);", kErrTooManyResults},
      {"x = svd(zeros(3, 0));", kErrNotEmpty},  // rows but no values
      {"[u, s, v] = svd(zeros(3, 0));", kErrNotEmpty},
  });
}

TEST_F(AlgebraBuiltins, LuDetAndInverse) {
  check_values({
      {"det([1 2; 2 4])", "0"},
      {"inv([1 2; 2 4])", "[]"},
      {"det([0 1; 1 0])", "-1"},
      {"det([2 0; 0 3])", "6"},
      {"det([1 2; 3 4])", "-2"},
      {"inv([2 0; 0 4])", "[0.5 0; 0 0.25]"},
      {"inv([1 2; 3 4]) * [1 2; 3 4]", "eye(2)"},
      {"lu([4 3; 6 3])", "[6 3; 4/6 1]"},
  }, kTol);
  ASSERT_EQ(run("[L, U, P] = lu([0 1; 1 0]);"), 0);
  EXPECT_TRUE(gives("P", "[0 1; 1 0]"));
  EXPECT_TRUE(gives("L", "eye(2)"));
  EXPECT_TRUE(gives("U", "eye(2)"));
  ASSERT_EQ(run("A = [1 2 3; 4 5 6; 7 8 10]; [L, U, P] = lu(A); R = P * A - L * U;"), 0);
  EXPECT_TRUE(gives("R", "zeros(3)", kTol));
  ASSERT_EQ(run("A = [1 2 3; 4 5 6; 7 8 10]; [L, U] = lu(A); R = L * U - A;"), 0);
  EXPECT_TRUE(gives("R", "zeros(3)", kTol));
  EXPECT_TRUE(gives("A", "[1 2 3; 4 5 6; 7 8 10]"));
  check_errors({
      {"det([]);", kErrNotEmpty},
      {"det([1 2]);", kErrSquare},
      {"inv(\"a\");", kErrNumeric},
      {"lu([1 2]);", kErrSquare},
      {"x = lu([0 0; 0 0]);", 0},  // singular input still gives factors
  });
}

TEST_F(AlgebraBuiltins, GeneratorSequence) {
  // Seeds as the first output after them, against the plain seed.
  const struct {
    const char* seed;
    const char* same_as;
  } seeds[] = {
      {"2.5", "2"},  // halves go to even
      {"3.5", "4"},
      {"-1", "4294967295"},  // modulo 2^32
      {"4294967297", "1"},
  };
  for (const auto& s : seeds) {
    ASSERT_EQ(run(std::string("srand(") + s.seed + "); a = rand(); srand(" + s.same_as +
                  "); b = rand();"),
              0);
    EXPECT_TRUE(same(var("a"), var("b"))) << s.seed;
  }
  ASSERT_EQ(run("srand(1); a = rand();"), 0);
  EXPECT_TRUE(same(var("a"), Matrix::scalar(42.0 / 32768)));
  check_values({
      {"size(rand(3))", "[3 1]"},
      {"size(rand([2 3]))", "[2 3]"},
      {"size(rand(2, 3))", "[2 3]"},
      {"size(rand(2, [3 9]))", "[2 3]"},
      {"size(rand(0))", "[0 1]"},
      {"size(rand_normal([2; 2]))", "[2 2]"},
  });
  // rand() continues the same sequence: the second value after srand(1).
  ASSERT_EQ(run("srand(1); a = rand(); b = rand(); srand(1); c = rand(2);"), 0);
  EXPECT_TRUE(gives("c", "[a; b]"));
  // Values lie in (0, 1] on a grid of 1/32768.
  const Matrix& r = eval("rand(1000)");
  for (int64_t k = 0; k < r.size(); ++k) {
    EXPECT_GT(r[k], 0);
    EXPECT_LE(r[k], 1);
    EXPECT_EQ(r[k] * 32768, std::floor(r[k] * 32768));
  }
  check_errors({
      {"rand(-1);", kErrRange},
      {"rand(\"a\");", kErrNumeric},
      {"rand([1 2 3]);", kErrDims},
      {"rand([]);", kErrNotEmpty},
      {"rand([1 2], 3);", kErrScalar},
      {"rand(2, []);", kErrNotEmpty},
      {"rand(2, [1 2; 3 4]);", kErrScalar},
      {"srand(\"x\");", kErrNumeric},
      {"srand([1 2]);", kErrScalar},
      {"x = srand(1);", kErrTooManyResults},
  });
}

TEST_F(AlgebraBuiltins, NormalValuesComeInPairs) {
  // The polar method: from two uniforms u, v inside the unit circle the
  // pair u f, v f with f = sqrt(-2 ln s / s); an odd count drops the last v f.
  ASSERT_EQ(run("srand(7); x = rand_normal(3); srand(7); y = rand_normal(4); "
                "srand(7); z = rand_normal(1); w = rand_normal(1);"),
            0);
  EXPECT_TRUE(gives("x", "y(1:3)"));
  EXPECT_TRUE(gives("z", "y(1)"));
  EXPECT_TRUE(gives("w", "y(3)"));  // the second pair, not y(2)
  ASSERT_EQ(run("srand(11); u = 2 * rand(2) - 1; srand(11); n = rand_normal(2);"), 0);
  const Matrix& u = var("u");
  const double s = u[0] * u[0] + u[1] * u[1];
  if (s < 1) {  // the first pair was accepted
    const double f = std::sqrt(-2 * std::log(s) / s);
    EXPECT_NEAR(var("n")[0], u[0] * f, 1e-15);
    EXPECT_NEAR(var("n")[1], u[1] * f, 1e-15);
  }
}

}  // namespace
}  // namespace vop::script_test
