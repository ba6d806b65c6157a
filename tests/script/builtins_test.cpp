// The builtins of no family and the common checks of the dispatcher.
#include "tests/script/session.h"

namespace vop::test {
namespace {

TEST(Dispatch, CommonChecksInOrder) {
  check({
      {"[a, b] = nargin",
       "ERROR : Too many return values are requested from function\non the line '[a, b] = nargin'\n", 80},
      {"nargin(1)", "ERROR : Too many arguments in function call\non the line 'nargin(1)'\n", 82},
      {"isnum()", "ERROR : Missing arguments in function call\non the line 'isnum()'\n", 81},
      {"isnum", "ERROR : Missing arguments in function call\non the line 'isnum'\n", 81},
      {"[a, b] = isnum()",
       "ERROR : Too many return values are requested from function\non the line '[a, b] = isnum()'\n", 80},
      {"isnum(nosuch, 2)", "ERROR : Too many arguments in function call\non the line 'isnum(nosuch, 2)'\n", 82},
      {"x = line(1)", "ERROR : Too many return values are requested from function\non the line 'x = line(1)'\n",
       80},
      {"error", "ERROR : Unknown variable, function 'error'\non the line 'error'\n", 96},
      {"error()", "ERROR : Unknown variable, function 'error'\non the line 'error()'\n", 96},
  });
}

TEST(Constants, ValuesAndArguments) {
  check({
      {"[Inf -Inf NaN]", "ans =\n       Inf      -Inf       NaN\n"},
      {"x = pi * 1000", "x =\n  3141.593\n"},
      {"x = e * 1000", "x =\n  2718.282\n"},
      {"pi(1)", "ERROR : Too many arguments in function call\non the line 'pi(1)'\n", 82},
  });
}

TEST(Queries, AnsTypesAndExistence) {
  check({
      {"[4 5 6]\nans(2)", "ans =\n         4         5         6\nans =\n         5\n"},
      {"[4 5 6];\nans", "ans =\n[]\n"},
      {"isnum([]) + isstr(\"\") + isnum(\"a\")", "ans =\n         2\n"},
      {"x = 1; mext([\"x\" \"y\"])", "ans =\n         1         0\n"},
      {"x = 1; ext(\"x\") + vext(\"x\")", "ans =\n         1\n"},
      {"mext(1)", "ERROR : Argument must be a string\non the line 'mext(1)'\n", 64},
      {"x2 = 1; [def(x#2) mdef(x#3) vdef(x2) mdef(nosuch)]", "ans =\n         1         0         0         0\n"},
      {"def(x#\"a\")", "ERROR : Argument must be numeric\non the line 'def(x#\"a\")'\n", 63},
      {"def(1 + 2)", "ERROR : Argument must be a string\non the line 'def(1 + 2)'\n", 64},
      {"language()", "ans =\n         0\n"},
      {"outputType()", "ans =\n         0\n"},
      {"draw_graph()", "ans =\n         0\n"},
  });
}

TEST(RunControl, ErrorAndPath) {
  check({
      {"error(\"stop here\")\nx = 1", "ERROR : stop here\non the line 'error(\"stop here\")'\n", 255},
      {"error(1)", "ERROR : Argument must be a string\non the line 'error(1)'\n", 64},
      {"error(\"a\", \"b\")", "ERROR : Too many arguments in function call\non the line 'error(\"a\", \"b\")'\n", 82},
      {"x = error(\"a\")",
       "ERROR : Too many return values are requested from function\non the line 'x = error(\"a\")'\n", 80},
      {"path(\"abc\")", "ERROR :  code 779\non the line 'path(\"abc\")'\n", 779},
      {"path(\"\")", "ERROR : Argument cannot be empty string\non the line 'path(\"\")'\n", 79},
      {"path(1)", "ERROR : Argument must be a string\non the line 'path(1)'\n", 64},
  });
}

TEST(RunControl, PathAddsAFolderOfTheProgram) {
  TempDir dir;
  dir.write("lib/inlib.s", "function r = inlib(a)\nr = a + 100;\nend\n");
  dir.write("more/inmore.s", "function r = inmore(a)\nr = a + 200;\nend\n");
  Session s;
  s.interp().set_base_dir(dir.path());
  EXPECT_EQ(s.run("inlib(1)"), "ERROR : Unknown variable, function 'inlib'\non the line 'inlib(1)'\n");
  EXPECT_EQ(s.run("path(\".\\\\lib\"); inlib(1)"), "ans =\n       101\n");
  EXPECT_EQ(s.run("path(\"./more\"); inmore(1)"), "ans =\n       201\n");
}

TEST(Output, TextLinesHeadingsAndCharts) {
  check({
      {"heading(1, \"Title\")\nline(2)\necho(\"a\")\necho(\"b\\n\")", "Title\n\n\nab\n"},
      {"line()\nline(0)\nline(-2)\nline(1.9)", "\n\n"},
      {"heading(1, \"\")", ""},
      {"heading(0, \"x\")", "ERROR :  code 777\non the line 'heading(0, \"x\")'\n", 777},
      {"heading(6, \"x\")", "ERROR :  code 777\non the line 'heading(6, \"x\")'\n", 777},
      {"heading(\"1\", \"x\")", "ERROR : Argument must be numeric\non the line 'heading(\"1\", \"x\")'\n", 63},
      {"heading([1 2], \"x\")", "ERROR : Argument must be a scalar value\non the line 'heading([1 2], \"x\")'\n", 55},
      {"heading(1, 2)", "ERROR : Argument must be a string\non the line 'heading(1, 2)'\n", 64},
      {"line(\"a\")", "ERROR : Argument must be numeric\non the line 'line(\"a\")'\n", 63},
      {"echo(1)", "ERROR : Argument must be a string\non the line 'echo(1)'\n", 64},
      {"echo([\"a\" \"b\"])", "a"},
      {"chartBar(nosuch)\nlchartPie(1, 2)", ""},
      {"chartBar()", "ERROR : Missing arguments in function call\non the line 'chartBar()'\n", 81},
      {"print([1 2])", "         1         2\n"},
      {"x = 3; print(x)", "         3\n"},
  });
}

TEST(Output, SyntaxGoesToTheSyntaxWindow) {
  check({
      {"syntax(1)", "ERROR : Argument must be a string\non the line 'syntax(1)'\n", 64},
      {"syntax(\"\")", ""},
  });
}

TEST(Workspace, WhoListsNamesSorted) {
  check({
      {"b = 1; a = [1 2]; c = \"s\";\nwho", "a\nb\nc\n"},
      {"global z y\nx = 1;\nwho global", "y\nz\n"},
      {"f()\nfunction f()\nq = 1;\nwho\nend", "q\n"},
  });
}

}  // namespace
}  // namespace vop::test
