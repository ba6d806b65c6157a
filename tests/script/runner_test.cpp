// Statements, loops, conditions, display, error reports, the stop request
// and the start-up script.
#include <atomic>
#include <chrono>
#include <thread>

#include "tests/script/session.h"

namespace vop::test {
namespace {

TEST(ForLoops, BoundsStepsAndTheLoopVariable) {
  check({
      {"for i = 1:0\nx = 1\nend\ni", "i =\n         1\n"},
      {"for i = 3:1:-1\ni\nend", "i =\n         3\ni =\n         2\ni =\n         1\n"},
      {"for i = 1:10:4\ni;\nend\ni", "i =\n         9\n"},
      {"for i = 1.9:3\ni\nend", "i =\n         1\ni =\n         2\ni =\n         3\n"},
      {"for i = -1.9:0\ni\nend", "i =\n        -1\ni =\n         0\n"},
      {"for i = 1:3\nend\ni", "i =\n         3\n"},
      {"for i = 5:1\nend\ni", "i =\n         5\n"},
      {"i = \"text\"; for i = 1:2\nend\ni", "i =\n         2\n"},
      {"for i = 1:3\ni = 10;\nend\ni", "i =\n        10\n"},
      {"for i = 1:2\nfor j = 1:2\nk = 10 * i + j;\nend\nend\nk", "k =\n        22\n"},
      {"n = 3; for i = 1:n\nn = 1;\nend\ni", "i =\n         3\n"},
      {"for i = [1 2]:3\nend", "ERROR : Argument must be a scalar value\non the line 'for i = [1 2]:3'\n", 55},
      {"for i = 1:\"a\"\nend", "ERROR : Argument must be numeric\non the line 'for i = 1:\"a\"'\n", 63},
      {"for i = 1:m\nend\nmacro m\nend", "ERROR : Illegal use of 'for'\non the line 'for i = 1:m'\n", 53},
      {"for i = 1:f()\nend\nfunction f()\nend",
       "ERROR : Too many return values are requested from function\non the line 'for i = 1:f()'\n", 95},
      {"for i = 5\nend", "ERROR : Illegal use of 'for'\non the line 'for i = 5'\n", 53},
  });
}

TEST(ForLoops, FirstStatementOnTheHeaderLine) {
  check({
      {"s = 0; for i = 1:10 s = s + i; end\ns", "s =\n        55\n"},
      {"for i = 1:2 i\nend", "i =\n         1\ni =\n         2\n"},
      {"n = 2; for i = 1:n x(i) = i; end\nx", "x =\n         1\n         2\n"},
      {"for i = 1:2 [r, c] = size(i); end\nc", "c =\n         1\n"},
      {"for i = 1:(2) s = i; end\ns", "s =\n         2\n"},
      // A "-" continues the range: 1 to 2 - 3.
      {"for i = 1:2 -3; end\ni", "i =\n         1\n"},
      {"for i = 1:2 3 4; end", "ERROR : Operator is missing\non the line 'for i = 1:2 3 4; end'\n", 100},
  });
}

TEST(Conditions, TruthAndErrors) {
  check({
      {"if []\n1\nelse\n2\nend", "ans =\n         2\n"},
      {"if 0\n1\nelseif NaN\n2\nend", "ans =\n         2\n"},
      {"if -0.5\n1\nend", "ans =\n         1\n"},
      {"if [1 2]\n1\nend", "ERROR : Argument must be a scalar value\non the line 'if [1 2]'\n", 55},
      {"if \"a\"\n1\nend", "ERROR : Argument must be numeric\non the line 'if \"a\"'\n", 63},
      {"if f()\nend\nfunction f()\nend", "ERROR : Illegal use of 'if' or 'elesif'\non the line 'if f()'\n", 46},
      {"x = 0; while x < 3\nx = x + 1;\nend\nx", "x =\n         3\n"},
      {"x = 0; repeat\nx = x + 1;\nuntil x >= 3\nx", "x =\n         3\n"},
      {"x = 5; if x == 1\n1\nelseif x == 5\n5\nelse\n0\nend", "ans =\n         5\n"},
  });
}

TEST(Statements, DisplayAnsAndReturn) {
  check({
      {"3", "ans =\n         3\n"},
      {"3;", ""},
      {"3;\nans", "ans =\n[]\n"},
      {"3\nans + 1", "ans =\n         3\nans =\n         4\n"},
      {"x = 2\nx", "x =\n         2\nx =\n         2\n"},
      {"% only a comment\n\n   \n% and another", ""},
      {"x = 1 % comment\ny = 2", "x =\n         1\ny =\n         2\n"},
      {"x = 1 + ...  ignored\n2", "x =\n         3\n"},
      {"x = 1\nreturn\nx = 2", "x =\n         1\n"},
      {"for i = 1:3\nif i == 2\nreturn\nend\nend\ni", ""},
      {"heading(1, \"Title\")", "Title\n"},
  });
}

TEST(ErrorReports, AResultTooLargeForMemoryStopsTheRunNotTheProgram) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer ends the process on any failed allocation";
#endif
  Session s;
  EXPECT_EQ(s.run("a = ones(200000, 1);\nb = a * a';\nc = 1"),
            "ERROR : Not enough memory for the result\non the line 'b = a * a';'\n");
  EXPECT_EQ(s.code(), kErrOutOfMemory);
  EXPECT_EQ(s.run("x = a(200000)"), "x =\n         1\n");
}

TEST(ErrorReports, LinesQuotedFromTheRunText) {
  check({
      {"x = 1\n  y = [1 2\nif 1\n", "ERROR : Wrong usage of keywords\non the line '  y = [1 2'\n", 30},
      {"x = 1\nif 1\n  y = 2\n", "ERROR : Missing 'end' or 'until'\non the line '  y = 2'\n", 39},
      {"x = 1\n  y = (1 + )\n", "ERROR : Missing argument in expression\non the line '  y = (1 + )'\n", 36},
      {"x = 1\ny = \"abc\n\nz", "ERROR : String is not enclosed with \"\non the line 'y = \"abc'\n", 33},
      {"x = 1\n   error(\"mine\")\n", "x =\n         1\nERROR : mine\non the line '   error(\"mine\")'\n", 255},
      {"x = 1\r\n  y = [1 2] - [1;2]\r\nz = 1",
       "x =\n         1\nERROR : Argument has wrong dimensionality\non the line '  y = [1 2] - [1;2]'\n", 70},
      {"x = 1\r  y = [1 2] - [1;2]\rz = 1",
       "x =\n         1\nERROR : Argument has wrong dimensionality\non the line '  y = [1 2] - [1;2]'\n", 70},
      {"a = nosuch\nb = alsonot", "ERROR : Unknown variable, function 'nosuch'\non the line 'a = nosuch'\n", 96},
      {"x = 1\nfunction f\nend\ny = 2",
       "ERROR : Illegal definition of second macro in the same file\non the line 'y = 2'\n", 38},
  });
}

TEST(ErrorReports, ScriptErrorTextIsCut) {
  Session s;
  const std::string text(300, 'e');
  EXPECT_EQ(s.run("error(\"" + text + "\")"),
            "ERROR : " + text.substr(0, 242) + "\non the line 'error(\"" + text + "\")'\n");
  EXPECT_EQ(s.code(), 255);
}

TEST(Runs, StateSurvivesDefinitionsDoNot) {
  Session s;
  EXPECT_EQ(s.run("x = 4;\nf(1)\nfunction r = f(a)\nr = a;\nend"), "ans =\n         1\n");
  EXPECT_EQ(s.run("x"), "x =\n         4\n");
  EXPECT_EQ(s.run("ans"), "ans =\n         1\n");
  EXPECT_EQ(s.run("f(1)"), "ERROR : Unknown variable, function 'f'\non the line 'f(1)'\n");
  // After an error the next run starts clean and the variables stay.
  EXPECT_EQ(s.run("y = 2; nosuch"), "ERROR : Unknown variable, function 'nosuch'\non the line 'y = 2; nosuch'\n");
  EXPECT_EQ(s.run("y"), "y =\n         2\n");
  EXPECT_EQ(s.code(), 0);
}

TEST(Runs, AnErrorInsideACallLeavesTheScriptLevel) {
  Session s;
  s.run("x = 1; f(1)\nfunction r = f(a)\nlocal = 5;\nr = nosuch;\nend");
  EXPECT_EQ(s.code(), 96);
  EXPECT_EQ(s.interp().workspace().depth(), 1u);
  EXPECT_EQ(s.run("local"), "ERROR : Unknown variable, function 'local'\non the line 'local'\n");
  EXPECT_EQ(s.run("x;"), "");
}

// The Stop command of another thread, pressed once while the run is
// queued or running, ends a loop whose step is 0; the next run runs.
TEST(Stop, RequestFromAnotherThreadEndsTheRun) {
  Session s;
  s.run("x = 1;");
  // The loop is the run's only statement, so the report names its line
  // whether the Stop lands before the run starts or while it loops.
  s.interp().queue_run();
  // Stop once the run is inside the function file's loop (its line 3);
  // a fixed delay could land before the call on a busy machine.
  std::thread stopper([&] {
    for (int i = 0; i < 10000 && s.interp().running_line() != 3; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    s.interp().request_stop();
  });
  const std::string out = s.run("for i = 1:0:0 x = x + 1; end");
  stopper.join();
  EXPECT_EQ(s.code(), 1000);
  EXPECT_EQ(out, "ERROR : Process is stopped by the user\non the line 'for i = 1:0:0 x = x + 1; end'\n");
  EXPECT_EQ(s.run("y = 1;"), "");
  EXPECT_EQ(s.code(), 0);
}

// A Stop pressed after the shell queued the run and before the worker
// started it stops that run before its first statement; one pressed while
// idle, or after a run ended, reaches no run.
TEST(Stop, BelongsToTheQueuedRunOnly) {
  Session s;
  s.interp().queue_run();
  s.interp().request_stop();
  EXPECT_EQ(s.run("x = 1;\ny = 2;"), "ERROR : Process is stopped by the user\non the line 'x = 1;'\n");
  EXPECT_EQ(s.code(), 1000);
  EXPECT_EQ(s.run("x"), "ERROR : Unknown variable, function 'x'\non the line 'x'\n");

  s.interp().request_stop();  // idle
  EXPECT_EQ(s.run("x = 1;"), "");
  EXPECT_EQ(s.code(), 0);

  // A stop for a run that has ended, then the next run queued.
  s.interp().queue_run();
  s.interp().request_stop();
  s.run("x = 2;");
  EXPECT_EQ(s.code(), 1000);
  s.interp().request_stop();
  s.interp().queue_run();
  EXPECT_EQ(s.run("z = 3;\nz"), "z =\n         3\n");
}

TEST(Stop, InsideAFunctionFileNamesItsLine) {
  TempDir dir;
  dir.write("spin.s", "function spin()\nfor i = 1:0:0\n  x = i;\nend\nend\n");
  Session s;
  s.interp().queue_run();
  // Stop once the run is inside the function file's loop (its line 3);
  // a fixed delay could land before the call on a busy machine.
  std::thread stopper([&] {
    for (int i = 0; i < 10000 && s.interp().running_line() != 3; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    s.interp().request_stop();
  });
  s.interp().add_search_dir(dir.path());
  const std::string out = s.run("spin()");
  stopper.join();
  EXPECT_EQ(s.code(), 1000);
  EXPECT_EQ(out.substr(0, out.find('\n')), "ERROR : Process is stopped by the user");
  EXPECT_NE(out.find("line of file spin.s\n"), std::string::npos) << out;
  EXPECT_EQ(s.interp().workspace().depth(), 1u);
}

TEST(Startup, RunsSyntaxStartAtTheScriptLevel) {
  TempDir dir;
  dir.write("Syntax/start.s", "greeting = \"hello\";\nfunction r = helper()\nr = 1;\nend\n");
  Session s;
  {
    InDir in(dir.path());
    EXPECT_EQ(s.interp().run_startup(), 0);
  }
  EXPECT_EQ(s.run("greeting"), "greeting =\nhello\n");
  // Its definitions last for the start-up run only.
  EXPECT_EQ(s.run("helper()"), "ERROR : Unknown variable, function 'helper'\non the line 'helper()'\n");
}

TEST(Startup, ErrorsAreReported) {
  TempDir dir;
  Session s;
  InDir in(dir.path());
  EXPECT_EQ(s.interp().run_startup(), 96);
  dir.write("Syntax/start.s", "a = 1;\nb = [1 2] + [1 2 3];\n");
  EXPECT_EQ(s.interp().run_startup(), 70);
  EXPECT_EQ(s.run("a"), "a =\n         1\n");
}

}  // namespace
}  // namespace vop::test

namespace vop::test {
namespace {

// Names remember where their variable was; every way a variable can come,
// go or change its kind must still give the right value.
TEST(Loops, RememberedVariablesStayRight) {
  check({
      {"s = 0; for i = 1:3 s = s + i; if i == 2\nclear s\ns = 10;\nend\nend\ns", "s =\n        13\n"},
      {"x = 1; for i = 1:3 y = x; x = [x x]; end\ny", "y =\n         1         1         1         1\n"},
      {"x = 1; for i = 1:2 y = x + 1; x = \"a\"; end",
       "ERROR : Matrixes are of different type (string & numeric)\non the line 'x = 1; for i = 1:2 y = x + 1; x = \"a\"; end'\n",
       71},
      {"x = 5; for i = 1:2 y = x; if i == 1\nglobal x\nend\nend\ny", "y =\n         5\n"},
      {"f(3)\nfunction r = f(n)\nr = n;\nif n > 0\nr = n + f(n - 1);\nend\nend", "ans =\n         6\n"},
      {"x = 1; g(x)\nfunction g('v)\nfor i = 1:2 w = v; clear v\nv = 7; end\nw\nend", "w =\n         7\n"},
      {"x = 1; g(x); x\nfunction g('v)\nfor i = 1:3 v = v + 1; end\nend", "x =\n         4\n"},
      {"global g\ng = 1; f(); f(); g\nfunction f()\nglobal g\nfor i = 1:2 g = g * 2; end\nend", "g =\n        16\n"},
      {"for i = 1:2 k = i; clear i\nend\nk", "k =\n         2\n"},
      {"a = 1; b = 0; while a & b\nend\nwhile b | ~a\nend\nif a | nosuch\n3\nend", "ans =\n         3\n"},
      {"x = 2; y = -x' + ~x - (x == 2) * 3 ^ 2", "y =\n       -11\n"},
  });
}

}  // namespace
}  // namespace vop::test
