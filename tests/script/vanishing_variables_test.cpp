// Variables that go while the code that read them keeps running: a name
// read in a loop must see a clear, a deleted global, a removed alias and a
// variable made again, never a value that is no longer there.
#include "script/session.h"

namespace vop::test {
namespace {

TEST(VanishingVariables, AClearedLocalIsUnknownOnTheNextPass) {
  check({
      {"y = 0; x = 5; for i = 1:2 y = x; clear x; end",
       "ERROR : Unknown variable, function 'x'\non the line 'y = 0; x = 5; for i = 1:2 y = x; clear x; end'\n",
       96},
      {"x = 5; for i = 1:2 y = x; clear; end",
       "ERROR : Unknown variable, function 'x'\non the line 'x = 5; for i = 1:2 y = x; clear; end'\n", 96},
      {"x = 5; i = 0;\nwhile i < 2\ni = i + 1; y = x + 1;\nclear x\nend",
       "ERROR : Unknown variable, function 'x'\non the line 'i = i + 1; y = x + 1;'\n", 96},
  });
}

TEST(VanishingVariables, AVariableMadeAgainIsReadAfresh) {
  check({
      {"x = 1; for i = 1:3 y = x; clear x; x = i * 10; end; y", "y =\n        20\n"},
      {"for i = 1:3\nclear\nx = 3; z = x + 1;\nend\nz", "z =\n         4\n"},
      {"s = 0; for i = 1:3 x = i; s = s + x; clear x; end; s", "s =\n         6\n"},
  });
}

TEST(VanishingVariables, AGlobalClearedOrNoLongerDeclaredIsGone) {
  check({
      {"global g; g = 1; for i = 1:2 y = g; clear g; end",
       "ERROR : Unknown variable, function 'g'\non the line 'global g; g = 1; for i = 1:2 y = g; clear g; end'\n",
       96},
      {"global g; g = 1; for i = 1:2 y = g; clear global g; end",
       "ERROR : Unknown variable, function 'g'\non the line 'global g; g = 1; for i = 1:2 y = g; clear global g; end'\n",
       96},
      {"global g; g = 1; for i = 1:2 y = g; clear global; end",
       "ERROR : Unknown variable, function 'g'\non the line 'global g; g = 1; for i = 1:2 y = g; clear global; end'\n",
       96},
      // A function deletes the global that the loop reads.
      {"global g; g = 1; for i = 1:2 y = g; f(); end\nfunction f()\nclear global g\nend",
       "ERROR : Bad reference on deleted global variable\non the line 'global g; g = 1; for i = 1:2 y = g; f(); end'\n",
       92},
      // A local moved into the global scope and back.
      {"x = 3; for i = 1:2 y = x; global x; x = 4; clear x; x = 5; end; y", "y =\n         5\n"},
  });
}

TEST(VanishingVariables, AClearedAliasIsUnknownOnTheNextPass) {
  check({
      {"a = 5; r = f(a)\nfunction r = f('v)\nr = 0;\nfor i = 1:2\nr = r + v;\nclear v\nend\nend",
       "ERROR : Unknown variable, function 'v'\non the line 'r = r + v;'\n", 96},
      // The caller's variable stays.
      {"a = 5; r = f(a); a\nfunction r = f('v)\nr = v;\nclear v\nend", "a =\n         5\n"},
      // Through the alias, a clear in the caller's loop and a new value.
      {"a = 1; for i = 1:2 y = f(a); clear a; a = 7; end; y\nfunction r = f('v)\nr = v;\nend",
       "y =\n         7\n"},
  });
}

}  // namespace
}  // namespace vop::test
