// User functions, macros, file scripts, function files on the search path,
// globals and eval.
#include "tests/script/session.h"

namespace vop::test {
namespace {

TEST(UserFunctions, ResultsAndCounts) {
  check({
      {"y = f(3)\nfunction r = f(a)\nr = a + 1;\nend", "y =\n         4\n"},
      {"f(3)\nfunction r = f(a)\nr = a + 1;\nend", "ans =\n         4\n"},
      {"f(3);\nfunction r = f(a)\nnargout\nr = 0;\nend", "ans =\n         1\n"},
      {"[a, b] = f(2)\nfunction [x, y] = f(v)\nx = v; y = nargout;\nend",
       "a =\n         2\nb =\n         2\n"},
      {"[a] = f(2)\nfunction [x, y] = f(v)\nx = nargout;\nend", "a =\n         1\n"},
      {"[a, b, c] = f(2)\nfunction [x, y] = f(v)\nend",
       "ERROR : Too many return values are requested from function\non the line '[a, b, c] = f(2)'\n", 95},
      {"x = f(1)\nfunction f(a)\nend",
       "ERROR : Too many return values are requested from function\non the line 'x = f(1)'\n", 95},
      {"f(1)\nfunction f(a)\nend", ""},
      {"y = f(1) + 1\nfunction f(a)\nend",
       "ERROR : Too many return values are requested from function\non the line 'y = f(1) + 1'\n", 95},
      {"f(1, 2, 3)\nfunction r = f(a, b)\nr = 1;\nend",
       "ERROR : Too many arguments in function call\non the line 'f(1, 2, 3)'\n", 82},
      {"[f(1) f(1, 2) f()]\nfunction r = f(a, b)\nr = nargin;\nend", "ans =\n         1         2         0\n"},
      {"f(1)\nfunction r = f(a, b)\nr = b;\nend", "ERROR : Unknown variable, function 'b'\non the line 'r = b;'\n", 96},
      {"f(3)\nfunction r = f(a)\nq = a + 1;\nend", "ERROR : Unknown variable, function 'r'\non the line 'f(3)'\n",
       96},
      {"nargin\nnargout", "ans =\n         0\nans =\n         0\n"},
      {"f(g(2))\nfunction r = f(a)\nr = 10 * a;\nend\nfunction r = g(a)\nr = nargout;\nend",
       "ans =\n        10\n"},
      {"x = 5; f(x); x\nfunction r = f(a)\na = 0; r = a;\nend", "x =\n         5\n"},
      {"f(2)\nfunction r = f(n)\nif n == 0\nr = 1;\nreturn\nend\nr = n * f(n - 1);\nend", "ans =\n         2\n"},
      {"f(1)\nfunction r = f(a)\nfor i = 1:3\nr = i;\nreturn\nend\nend", "ans =\n         1\n"},
  });
}

// A function's parameters, results and assigned names live in numbered
// slots of its frame: every view of the frame by name must still see them.
TEST(UserFunctions, LocalsAreVariablesOfTheFrame) {
  check({
      // Listing, existence and eval see parameters, results and other locals.
      {"f(1, 2)\nfunction r = f(a, b)\nr = a + b;\nz = 1;\neval(\"q = 2;\");\nwho\nend",
       "a\nb\nq\nr\nz\nans =\n         3\n"},
      {"f()\nfunction f()\nmdef(x)\nx = 1;\nmdef(x)\nmext(\"x\")\nend",
       "ans =\n         0\nans =\n         1\nans =\n         1\n"},
      {"f()\nfunction r = f()\nr = 1;\neval(\"r = r + 1;\")\nend", "ans =\n         2\n"},
      // A cleared parameter is gone until it is assigned again.
      {"f(1)\nfunction r = f(a)\nclear a\nr = mdef(a);\na = 4;\nr = r + a;\nend", "ans =\n         4\n"},
      {"f(1)\nfunction r = f(a)\nclear\nr = a;\nend", "ERROR : Unknown variable, function 'a'\non the line 'r = a;'\n", 96},
      // A parameter or a result declared global is the global variable.
      {"f(4); global a\na\nfunction f(a)\nglobal a\nend", "a =\n         4\n"},
      {"y = f()\nfunction r = f()\nglobal r\nr = 8;\nend", "y =\n         8\n"},
      // A local hides a global of the script level of the same name.
      {"global g\ng = 1;\nf()\ng\nfunction f()\ng = 2;\nend", "g =\n         1\n"},
      // A macro's keyword arguments become locals of the calling function.
      {"f()\nfunction f()\nk = 1;\n!m k = 5.\nk\nend\nmacro m\nend", "k =\n5\n"},
      // Each call, recursive ones too, has its own locals.
      {"f(3)\nfunction r = f(n)\nt = n;\nif n > 0\nf(n - 1);\nend\nr = t;\nend", "ans =\n         3\n"},
      {"f(1)\nfunction r = f(a)\nr = g(a) + g(a + 1);\nend\nfunction r = g(b)\nr = b * 10;\nend",
       "ans =\n        30\n"},
      // A result that is also a parameter; a string argument; a matrix result built by index.
      {"f(5)\nfunction a = f(a)\nend", "ans =\n         5\n"},
      {"f(\"ab\")\nfunction r = f(s)\nr = s + \"c\";\nend", "ans =\nabc\n"},
      {"f(3)\nfunction r = f(n)\nfor i = 1:n\nr(i) = i * i;\nend\nend", "ans =\n         1\n         4\n         9\n"},
      // A keyword argument that names no parameter is a local all the same.
      {"!f 3 / extra = v.\nfunction f(p, q)\nwho\nend", "extra\np\n"},
  });
}

TEST(UserFunctions, ByReferenceParameters) {
  check({
      {"x = 1; g(x); x\nfunction g('v)\nv = 7;\nend", "x =\n         7\n"},
      {"x = [1 2]; g(x); x\nfunction g('v)\nv(3) = 9;\nend", "x =\n         1         2         9\n"},
      // A temporary argument is bound by value.
      {"g(1 + 1)\nfunction g('v)\nv = 7\nend", "v =\n         7\n"},
      // Through two levels of reference.
      {"x = 1; g(x); x\nfunction g('v)\nh(v);\nend\nfunction h('w)\nw = 3;\nend", "x =\n         3\n"},
      {"x = 1; g(x)\nfunction g('v)\nglobal v\nend", "ERROR :  code 708\non the line 'global v'\n", 708},
  });
}

// Every way a run can nest itself ends in 802 and leaves a session that
// runs the next text: through functions, macros, function files and eval,
// with or without expressions nested as deep as the parser allows at each
// level (whose frames take the stack far sooner than plain calls).
TEST(RunawayNesting, EndsInAnErrorNotACrash) {
  const std::string deep_open(190, '('), deep_close(190, ')');
  std::string deep_sum;  // (((f(k-1)+1)+1)...+1)
  for (int k = 0; k < 190; ++k) deep_sum += "+1)";
  const std::string scripts[] = {
      "r = f(1)\nfunction r = f(n)\nr = f(n + 1);\nend",
      "n = 0;\ngo\nmacro go\nn = n + 1;\ngo\nend",
      "n=0; s=\"n = n + 1;\\nif n < 5000\\n eval(s)\\nend\"; eval(s)",
      "s=\"x = " + deep_open + "g(s)" + deep_close +
          ";\"; eval(s)\nfunction r = g(s)\neval(s);\nr = 1;\nend",
      "x = f(1000);\nfunction r = f(k)\nr = " + deep_open + "f(k-1)" + deep_sum + ";\nend",
      "x = f(1);\nfunction r = f(k)\neval(\"r = " + deep_open + "f(k+1)" + deep_close + ";\")\nend",
  };
  for (const std::string& script : scripts) {
    Session s;
    s.run(script);
    EXPECT_EQ(s.code(), kErrTooDeep) << script;
    EXPECT_EQ(s.interp().workspace().depth(), 1u);
    EXPECT_EQ(s.run("1 + 1"), "ans =\n         2\n");
  }
}

TEST(RunawayNesting, ThroughAFunctionFile) {
  TempDir dir;
  dir.write("down.s", "function r = down(n)\nr = down(n + 1);\nend\n");
  Session s;
  s.interp().add_search_dir(dir.path());
  const std::string out = s.run("down(1)");
  EXPECT_EQ(s.code(), kErrTooDeep);
  EXPECT_NE(out.find("line of file down.s"), std::string::npos) << out;
}

// The limit counts levels, whichever way they nest: eval inside a function
// inside eval, just under it, runs to the end.
TEST(RunawayNesting, JustUnderTheLimitRuns) {
  Session s;
  EXPECT_EQ(s.run("n = 0; s = \"n = n + 1;\\nif n < 390\\n eval(s)\\nend\"; eval(s)\nn"),
            "n =\n       390\n");
  s.run("x = f(390)\nfunction r = f(k)\nif k <= 1\n r = 1;\nelse\n eval(\"r = f(k - 1) + 1;\")\nend\nend");
  EXPECT_EQ(s.code(), kErrTooDeep) << "each level is a call and an eval";
  EXPECT_EQ(s.run("x = f(190)\nfunction r = f(k)\nif k <= 1\n r = 1;\nelse\n eval(\"r = f(k - 1) + 1;\")\nend\nend"),
            "x =\n       190\n");
}

TEST(Globals, DeclareShareAndClear) {
  check({
      {"global g\ng = 3;\nf()\nfunction r = f()\nglobal g\nr = g;\nend", "ans =\n         3\n"},
      {"g = 5; r = f()\nfunction r = f()\nglobal g\nr = g;\nend", "r =\n[]\n"},
      {"x = 4; global x\nx", "x =\n         4\n"},
      {"f(); global g\ng\nfunction f()\nglobal g\ng = 9;\nend", "g =\n         9\n"},
      {"f(); g\nfunction f()\nglobal g\ng = 9;\nend", "ERROR : Unknown variable, function 'g'\non the line 'f(); g'\n",
       96},
      {"global g\ng = 1; clear global; g",
       "ERROR : Unknown variable, function 'g'\non the line 'g = 1; clear global; g'\n", 96},
      {"global g\ng = 1; clear g; g = 2; global g\ng", "g =\n         2\n"},
      {"global a b\na = 1; b = 2; clear global a\nb", "b =\n         2\n"},
      {"x = 1; y = 2; clear x\ny\nx", "y =\n         2\nERROR : Unknown variable, function 'x'\non the line 'x'\n", 96},
      {"x = 1; clear\nx", "ERROR : Unknown variable, function 'x'\non the line 'x'\n", 96},
  });
}

TEST(Globals, AliasOfADeletedGlobal) {
  Session s;
  s.run("global g\ng = 1;");
  EXPECT_EQ(s.run("f()\ng\nfunction f()\nclear global g\nend"),
            "ERROR : Bad reference on deleted global variable\non the line 'g'\n");
  EXPECT_EQ(s.run("mext(\"g\")"), "ERROR : Bad reference on deleted global variable\non the line 'mext(\"g\")'\n");
  // The loop variable takes the name afresh.
  EXPECT_EQ(s.run("for g = 1:2\nend\ng"), "g =\n         2\n");
}

TEST(Macros, RunInTheCallersFrame) {
  check({
      {"m\nx\nmacro m\nx = 3;\nend", "x =\n         3\n"},
      {"x = 1; f()\nx\nfunction f()\nx = 5;\nm\nx\nend\nmacro m\nx = x + 1;\nend", "x =\n         6\nx =\n         1\n"},
      {"!m a = x y / b / c = \"T\".\nmacro m\na\nb\nc\nend", "a =\nxy\nb =\n[]\nc =\nT\n"},
      {"!f 3 / k = v.\nfunction f(p, k)\np\nk\nend", "p =\n3\nk =\nv\n"},
      {"x = m\nmacro m\nend",
       "ERROR : Too many return values are requested from function\non the line 'x = m'\n", 95},
      {"!nosuch a.", "ERROR : Unknown variable, function 'nosuch'\non the line '!nosuch a.'\n", 96},
  });
}

TEST(FunctionFiles, FoundInTheWorkingDirectoryThenOnThePath) {
  TempDir dir;
  dir.write("work/twice.s", "function r = twice(a)\nr = 2 * a;\nend\n");
  dir.write("lib/twice.s", "function r = twice(a)\nr = 3 * a;\nend\n");
  dir.write("lib/thrice.sc", "");  // replaced below with the coded form
  {
    std::string coded;
    for (unsigned char c : std::string("function r = thrice(a)\nr = 3 * a;\nend\n"))
      coded += char((c << 4) | (c >> 4));
    dir.write("lib/thrice.sc", coded);
  }
  dir.write("lib/both.s", "function r = both()\nr = 1;\nend\n");
  dir.write("lib/both.sc", "");
  Session s;
  s.interp().add_search_dir(dir.path() + "/lib");
  InDir in(dir.path() + "/work");
  EXPECT_EQ(s.run("twice(2)"), "ans =\n         4\n");
  EXPECT_EQ(s.run("thrice(2)"), "ans =\n         6\n");
  EXPECT_EQ(s.run("both()"), "ans =\n         1\n");
  EXPECT_EQ(s.run("x#1 = 1; nothere(1)"),
            "ERROR : Unknown variable, function 'nothere'\non the line 'x#1 = 1; nothere(1)'\n");
}

TEST(FunctionFiles, ScriptsVisibilityAndErrors) {
  TempDir dir;
  dir.write("scr.s", "sv = 11;\nsw = sv + 1;\n");
  dir.write("util.s", "function r = util(a)\nr = tidy(a) + 1;\nend\nfunction r = tidy(a)\nr = a * 10;\nend\n");
  dir.write("shared.s",
            "function r = shared(a)\nr = a;\nend\nglobal function r = helper(a)\nr = a + 100;\nend\n");
  dir.write("bad.s", "function r = bad(a)\nq = 1;\n\tr = a + [1 2 3] - [1;2];\nend\n");
  dir.write("uerr.s", "function uerr(a)\nerror(\"boom\");\nend\n");
  dir.write("broken.s", "function r = broken(a)\nr = (a + ;\nend\n");
  dir.write("wrongname.s", "function r = other(a)\nr = a;\nend\n");
  dir.write("dup.s", "function r = dup(a)\nr = a;\nend\nfunction r = dup(a)\nr = a;\nend\n");
  Session s;
  s.interp().add_search_dir(dir.path());
  EXPECT_EQ(s.run("scr\nsw"), "sw =\n        12\n");
  EXPECT_EQ(s.run("util(1)"), "ans =\n        11\n");
  // tidy belongs to util.s: other code cannot call it.
  EXPECT_EQ(s.run("util(1); tidy(1)"), "ERROR : Unknown variable, function 'tidy'\non the line 'util(1); tidy(1)'\n");
  EXPECT_EQ(s.run("shared(1); helper(1)"), "ans =\n       101\n");
  EXPECT_EQ(s.run("bad(1)"),
            "ERROR : Argument has wrong dimensionality\non the 3. line of file bad.s\n"
            "   r = a + [1 2 3] - [1;2];\n");
  EXPECT_EQ(s.run("uerr(1)"), "ERROR : boom\non the 2. line of file uerr.s\n");
  EXPECT_EQ(s.run("x = 1\nbroken(1)"),
            "x =\n         1\nERROR : Unmatched ')'\non the 2. line of file broken.s\n"
            "  r = (a + ;\n");
  EXPECT_EQ(s.run("wrongname(1)"), "ERROR : Unknown variable, function 'wrongname'\non the line 'wrongname(1)'\n");
  EXPECT_EQ(s.run("dup(1)"),
            "ERROR : Function or macro with given name is already defined\non the 4. line of file dup.s\n"
            "  function r = dup(a)\n");
  EXPECT_EQ(s.code(), 40);
}

TEST(Eval, RunsTextInPlace) {
  check({
      {"eval(\"z = 4\")\nz", "z =\n         4\nz =\n         4\n"},
      {"eval(\"z = 4;\")", ""},
      {"eval(\"\")", ""},
      {"f()\nfunction f()\neval(\"q = 2;\");\nq\nend", "q =\n         2\n"},
      {"x = eval(\"1\")", "ERROR : Too many return values are requested from function\non the line 'x = eval(\"1\")'\n",
       80},
      {"eval(1)", "ERROR : Argument must be a string\non the line 'eval(1)'\n", 64},
      {"eval([\"a\" \"b\"])", "ERROR : Argument must be a scalar value\non the line 'eval([\"a\" \"b\"])'\n", 55},
      {"x = 1\neval(\"z = \")", "x =\n         1\nERROR : Missing argument in expression\non the line 'eval(\"z = \")'\n",
       36},
      {"x = 1\neval(\"y = 1;\\nz = nosuch;\")",
       "x =\n         1\nERROR : Unknown variable, function 'nosuch'\non the line 'eval(\"y = 1;\\nz = nosuch;\")'\n", 96},
      {"eval(\"r = f(2)\\nfunction r = f(a)\\nr = a * 5;\\nend\")", "r =\n        10\n"},
  });
}

}  // namespace
}  // namespace vop::test
