// Formatted printing and the string builtins, run as scripts.
#include "script_fixture.h"

namespace vop::script_test {
namespace {

constexpr int kErrBadConversion = 177;
constexpr int kErrNumberForText = 178;
constexpr int kErrTextForNumber = 179;

using StringBuiltins = ScriptTest;

TEST_F(StringBuiltins, FormatEngine) {
  check_values({
      {"sprintf(\"%d\", 3.9)", "\"3\""},
      {"sprintf(\"%d\", -3.9)", "\"-3\""},
      {"sprintf(\"%5.2f|\", 1)", "\" 1.00|\""},
      {"sprintf(\"%f\", 1)", "\"  1.0000\""},
      {"sprintf(\"%-6.1f|\", 2.25)", "\"2.2   |\""},
      {"sprintf(\"%e\", 150)", "\"1.5000e+002\""},
      {"sprintf(\"%10.1E\", 0.015)", "\"  1.5E-002\""},
      {"sprintf(\"%F\", 123456789)", "\"1.2e+008\""},
      {"sprintf(\"%12F\", 123456789)", "\"1.23457e+008\""},
      {"sprintf(\"%d\", NaN)", "\"     NaN\""},
      {"sprintf(\"%-d|\", Inf)", "\"Inf     |\""},
      {"sprintf(\"%3.1f|\", -Inf)", "\"-Inf|\""},
      {"sprintf(\"100%%\")", "\"100%\""},
      {"sprintf(\"a\\\\b\")", "\"ab\""},
      {"sprintf(\"50\\\\%\")", "\"50%\""},
      {"sprintf(\"end%\")", "\"end\""},
      {"sprintf(\"%3s|\", \"abcdef\")", "\"abc|\""},
      {"sprintf(\"%-5.2s|\", \"abc\")", "\"ab   |\""},
      {"sprintf(\"%s|%s\", \"x\", \"yz\")", "\"x|yz\""},
      {"sprintf(\"[%3s]\", \"\")", "\"[   ]\""},
      {"sprintf(\"[%s]\", \"\")", "\"[]\""},
      {"sprintf(\"%d %d\", 1, 2, 3)", "\"1 2\""},  // surplus values are ignored
      {"sprintf(\"%5d|\", 42)", "\"   42|\""},
      {"sprintf(\"%5.3d|\", 7)", "\"  007|\""},
  });
  check_errors({
      {"sprintf(\"%s\", 5);", kErrNumberForText},
      {"sprintf(\"%d\", \"x\");", kErrTextForNumber},
      {"sprintf(\"%d\");", kErrBadConversion},
      {"sprintf(\"%q\", 1);", kErrBadConversion},
      {"sprintf(\"%q\", \"x\");", kErrBadConversion},
      {"sprintf(\"%d\", [1 2]);", kErrScalar},
      {"sprintf(5);", kErrString},
      {"sprintf([\"a\" \"b\"]);", kErrScalar},
      {"sprintf(\"%d %d\", 1, nosuch);", kErrUnknownName},
  });
  // Values the format does not consume are never evaluated.
  EXPECT_EQ(run("x = sprintf(\"%d\", 1, nosuch);"), 0);
}

TEST_F(StringBuiltins, PrintfWritesTheTextAsItIs) {
  check_output({
      {"printf(\"%d|\", 3)", "3|"},
      {"printf(\"a\\nb\")", "a\nb"},
  });
  EXPECT_EQ(run("printf(\"%s\", 1)"), kErrNumberForText);
}

TEST_F(StringBuiltins, Num2Str) {
  check_values({
      {"num2str(\"k%d\", [1 2])", "[\"k1\" \"k2\"]"},
      // The suffix is copied as it stands; only the prefix reads %% as %.
      {"num2str(\"%5.1f%%\", [0.25; 1])", "[\"  0.2%%\"; \"  1.0%%\"]"},
      {"num2str(\"%%%d\", 3)", "\"%3\""},
      {"num2str(\"%g\", 1e10)", "\"1e+010\""},
      {"num2str(\"%g\", 0.5)", "\"0.5\""},
      {"num2str(\"%8.3G|\", 1234567)", "\"1.23E+006|\""},
      {"num2str(\"%-6g|\", 2)", "\"2     |\""},
      // Non-finite values print whole, however small the field.
      {"num2str(\"%5.2f\", NaN)", "\"  NaN\""},
      {"num2str(\"%d\", [NaN Inf -Inf])", "[\"     NaN\" \"     Inf\" \"    -Inf\"]"},
      {"num2str(\"%2.1e\", -Inf)", "\"-Inf\""},
      {"num2str(\"%-5d|\", Inf)", "\"Inf  |\""},
  });
  check_errors({
      {"num2str(\"x\", 1);", kErrBadConversion},
      {"num2str(\"%q\", 1);", kErrBadConversion},
      {"num2str(\"%s\", 1);", kErrNumberForText},
      {"num2str(\"%d\", \"a\");", kErrNumeric},
      {"num2str(\"%d\", []);", kErrNotEmpty},
      {"num2str(5, 1);", kErrString},
      {"num2str([\"a\" \"b\"], 1);", kErrScalar},
  });
}

TEST_F(StringBuiltins, Str2Num) {
  check_values({
      {"str2num([\"12\" \"1e3\" \"Inf\" \"-Inf\" \"12abc\" \" 7 \"])", "[12 1000 Inf -Inf NaN 7]"},
      {"str2num([\"\" \"   \" \"-2.5e-1\" \"+4\" \".5\" \"1 2\"])", "[0 0 -0.25 4 0.5 NaN]"},
  });
  check_errors({{"str2num(5);", kErrString}});
}

TEST_F(StringBuiltins, LengthsCaseAndHtml) {
  check_values({
      {"strlen([\"ab\" \"\"; \"xyz\" \"q\"])", "[2 0; 3 1]"},
      {"lcase([\"AbC\" \"x1Y\"])", "[\"abc\" \"x1y\"]"},
      {"ucase(\"a-z\")", "\"A-Z\""},
      {"htmlsafe(\"a<b & 'c'\")", "\"a&lt;b &amp; &apos;c&apos;\""},
      {"htmlsafe(\"\\\"50%\\\">\")", "\"&quot;50%%&quot;&gt;\""},
      {"htmlsafe(\"plain\")", "\"plain\""},
  });
  check_errors({
      {"strlen(1);", kErrString},
      {"lcase(1);", kErrString},
      {"ucase(1);", kErrString},
      {"htmlsafe(1);", kErrString},
  });
  ASSERT_EQ(run("s = \"AB\"; t = lcase(s);"), 0);
  EXPECT_TRUE(gives("s", "\"AB\""));
  EXPECT_TRUE(gives("t", "\"ab\""));
}

TEST_F(StringBuiltins, ConcatenateAndCompareByShape) {
  check_values({
      {"strcat([\"a\"; \"b\"], \"x\")", "[\"ax\"; \"bx\"]"},
      {"strcat([\"a\" \"b\"], [\"x\" \"y\"])", "[\"ax\" \"by\"]"},
      {"strcat([\"a\" \"b\"; \"c\" \"d\"], [\"1\"; \"2\"])", "[\"a1\" \"b1\"; \"c2\" \"d2\"]"},
      {"strcat([\"a\"; \"b\"], [\"1\" \"2\"; \"3\" \"4\"])", "[\"a1\" \"a2\"; \"b3\" \"b4\"]"},
      {"strcat([\"a\" \"b\"; \"c\" \"d\"], [\"1\" \"2\"])", "[\"a1\" \"b2\"; \"c1\" \"d2\"]"},
      {"strcat(\"p\", [\"1\" \"2\"; \"3\" \"4\"])", "[\"p1\" \"p2\"; \"p3\" \"p4\"]"},
      {"strcat([\"p\" \"q\"], [\"1\" \"2\"; \"3\" \"4\"])", "[\"p1\" \"q2\"; \"p3\" \"q4\"]"},
      {"strcmp(\"a\", [\"a\" \"b\"])", "[0 -1]"},
      {"strcmp([\"b\"; \"a\"], \"a\")", "[1; 0]"},
      {"strcmp(\"ab\", \"a\")", "1"},
      {"strcmp(\"B\", \"a\")", "-1"},
  });
  check_errors({
      {"strcat([\"a\" \"b\"], [\"x\" \"y\" \"z\"]);", kErrDims},
      {"strcat([\"a\" \"b\"; \"c\" \"d\"], [\"1\" \"2\" \"3\"]);", kErrDims},
      {"strcat([\"a\" \"b\"; \"c\" \"d\"], [\"1\"; \"2\"; \"3\"]);", kErrDims},
      {"strcat([\"a\"; \"b\"; \"c\"], [\"1\"; \"2\"]);", kErrDims},
      {"strcat(1, \"a\");", kErrString},
      {"strcat(\"a\", 1);", kErrString},
      {"strcmp(1, \"a\");", kErrString},
      {"strcmp(\"a\", 1);", kErrString},
  });
}

TEST_F(StringBuiltins, LeftAndRight) {
  check_values({
      {"left(\"abc\", 2.5)", "\"ab\""},
      {"left(\"abcd\", 3.5)", "\"abcd\""},
      {"right(\"abc\", 10)", "\"abc\""},
      {"right(\"abcdef\", 2)", "\"ef\""},
      {"left(\"abc\", Inf)", "\"abc\""},
      {"left(\"abc\", NaN)", "\"abc\""},
      {"left([\"ab\" \"cd\"], [1 2])", "[\"a\" \"cd\"]"},
  });
  EXPECT_FALSE(eval("left(\"abc\", -1)").str()[0].has_value());
  EXPECT_FALSE(eval("right(\"abc\", 0)").str()[0].has_value());
  check_errors({
      {"left(1, 1);", kErrString},
      {"left(\"a\", \"b\");", kErrNumeric},
      {"left(\"a\", [1 2]);", kErrDims},
      {"right([\"a\" \"b\"], 1);", kErrDims},
  });
}

TEST_F(StringBuiltins, ImplodeAndExplode) {
  check_values({
      {"implode([\"a\" \"b\"; \"c\" \"d\"], \",\")", "\"a,c,b,d\""},
      {"implode(\"a\", \"--\")", "\"a\""},
      {"explode(\"a,,b\", \",\")", "[\"a\"; \"\"; \"b\"]"},
      {"explode(\"ab\", \",\")", "\"ab\""},
      {"explode(\"a--b--\", \"--\")", "[\"a\"; \"b\"; \"\"]"},
      {"explode(\"aaa\", \"aa\")", "[\"\"; \"a\"]"},
  });
  check_errors({
      {"implode(1, \",\");", kErrString},
      {"implode(\"a\", 1);", kErrString},
      {"implode(\"a\", [\",\" \";\"]);", kErrScalar},
      {"explode(1, \",\");", kErrString},
      {"explode([\"a\" \"b\"], \",\");", kErrScalar},
      {"explode(\"a\", 1);", kErrString},
  });
}

}  // namespace
}  // namespace vop::script_test
