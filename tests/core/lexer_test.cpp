#include "core/lexer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <unistd.h>
#include <filesystem>
#include <fstream>

namespace vop {
namespace {

// Tokens of each statement separated by blanks, statements by " | ", a
// statement ended by ";" marked with a trailing " ;", and an error as
// " !code@line".
std::string lex(CharSource& src) {
  ErrorState err;
  Lexer lx(src, err);
  Statement st;
  std::string out;
  while (lx.next(st)) {
    if (!out.empty()) out += " | ";
    for (size_t i = 0; i < st.tokens.size(); ++i) {
      const Token& t = st.tokens[i];
      if (i) out += ' ';
      if (t.kind == TokenKind::String) out += '"' + t.text + '"';
      else out += t.text;
    }
    if (st.quiet) out += " ;";
  }
  if (err.failed()) out += " !" + std::to_string(err.code()) + "@" + std::to_string(err.line());
  return out;
}

std::string lex(std::string_view text) {
  CharSource src = CharSource::from_text(text);
  return lex(src);
}

struct LexCase {
  const char* source;
  const char* tokens;
};

void check(std::initializer_list<LexCase> cases) {
  for (const LexCase& c : cases) EXPECT_EQ(lex(c.source), c.tokens) << "source: " << c.source;
}

TEST(Lexer, StatementBoundaries) {
  check({
      {"a; b\nc", "a ; | b | c"},
      {"x = 1 % comment\ny", "x = 1 | y"},
      {"x = 1 + ... ignored\n2", "x = 1 + 2"},
      {"x = 1\r\ny = 2\r\n", "x = 1 | y = 2"},
      {"\n\n  % only a comment\n;;\n", ""},
      {"x = 1", "x = 1"},  // the end of the text ends a statement
      {"f(a, b); g", "f ( a , b ) ; | g"},
  });
}

TEST(Lexer, MatrixLiteralsSeparateElementsAndRows) {
  check({
      {"[1 2 3]", "[ 1 , 2 , 3 ]"},
      {"[1, 2, 3]", "[ 1 , 2 , 3 ]"},
      {"[1 2\n3 4]", "[ 1 , 2 ; 3 , 4 ]"},
      {"[1 2; 3 4]", "[ 1 , 2 ; 3 , 4 ]"},
      {"[1 -2]", "[ 1 , - 2 ]"},
      {"[1 - 2]", "[ 1 - 2 ]"},
      {"[1 -  2]", "[ 1 - 2 ]"},
      {"[-1 +2]", "[ - 1 , + 2 ]"},
      {"[a' b']", "[ a ' , b ' ]"},
      {"[f(1 2) x]", "[ f ( 1 2 ) , x ]"},
      {"[a (1) ~b]", "[ a , ( 1 ) , ~ b ]"},
      {"[\"a\" \"b\"]", "[ \"a\" , \"b\" ]"},
  });
}

TEST(Lexer, NumbersAndDots) {
  check({
      {"1e-3", "1e-3"},
      {"1e+3", "1e + 3"},
      {"2.5E-3*x", "2.5E-3 * x"},
      {"x = .5", "x = 0.5"},
      {"a.*b./c.^d", "a .* b ./ c .^ d"},
      {"3.*2", "3 .* 2"},
      {"a.5", " !41@1"},
      {"a.b", " !42@1"},
      {"x = 3.", " !42@1"},
      {"x = 1 ..\n", " !42@1"},
  });
  ErrorState err;
  CharSource src = CharSource::from_text("1e-3 1e 2.5 1e999");
  Lexer lx(src, err);
  Statement st;
  ASSERT_TRUE(lx.next(st));
  ASSERT_EQ(st.tokens.size(), 4u);
  EXPECT_DOUBLE_EQ(st.tokens[0].number, 0.001);
  EXPECT_DOUBLE_EQ(st.tokens[1].number, 1);
  EXPECT_DOUBLE_EQ(st.tokens[2].number, 2.5);
  EXPECT_TRUE(std::isinf(st.tokens[3].number));
}

TEST(Lexer, OperatorsJoin) {
  check({
      {"a ~ = b", "a ~= b"},
      {"a<=b", "a <= b"},
      {"a = = b", "a == b"},
      {"a >= b", "a >= b"},
      {"a||b", "a || b"},
      {"a | | b", "a | | b"},
      {"x in S", "x in S"},
      {"a#3", "a # 3"},
  });
  ErrorState err;
  CharSource src = CharSource::from_text("a ~= b in c");
  Lexer lx(src, err);
  Statement st;
  ASSERT_TRUE(lx.next(st));
  EXPECT_EQ(st.tokens[1].op, kOpNotEq);
  EXPECT_EQ(st.tokens[3].op, kOpIn);
}

TEST(Lexer, StringLiterals) {
  ErrorState err;
  CharSource src = CharSource::from_text("\"a\\\"b\" \"x\\ty\" \"\\\\\\n\" \"two\nlines\" \"\"");
  Lexer lx(src, err);
  Statement st;
  ASSERT_TRUE(lx.next(st));
  ASSERT_EQ(st.tokens.size(), 5u);
  EXPECT_EQ(st.tokens[0].text, "a\"b");
  EXPECT_EQ(st.tokens[1].text, "x\ty");
  EXPECT_EQ(st.tokens[2].text, "\\\n");
  EXPECT_EQ(st.tokens[3].text, "two\nlines");
  EXPECT_EQ(st.tokens[4].text, "");
  EXPECT_EQ(st.tokens[4].kind, TokenKind::String);

  // No length limit on literals.
  std::string big = "x = \"" + std::string(5000, 'q') + "\"";
  CharSource bsrc = CharSource::from_text(big);
  Lexer blx(bsrc, err);
  ASSERT_TRUE(blx.next(st));
  EXPECT_EQ(st.tokens[2].text.size(), 5000u);

  check({
      {"x = \"abc", " !33@1"},
      {"x = 1\ny = \"ab\n\n", "x = 1 !33@2"},
      {"y = \"ab\\", " !33@1"},
  });
}

TEST(Lexer, TokenLengthLimit) {
  EXPECT_EQ(lex(std::string(255, 'n')), std::string(255, 'n'));
  EXPECT_EQ(lex("x = 1\n" + std::string(256, 'n')), "x = 1 !34@2");
  EXPECT_EQ(lex(std::string(300, '7')), " !34@1");
}

TEST(Lexer, BracketErrors) {
  check({
      {")", " !31@1"},
      {"f(1]", " !35@1"},
      {"x]", " !35@1"},
      {"[1)", " !36@1"},
      {",x", " !37@1"},
      {"[1;,2]", " !37@1"},
      {"a\r\nb\r\n)", "a | b !31@3"},
      {"a\rb\r)", "a | b !31@3"},
      {"f(1,\n2)", " !31@1"},
      {"x = [1 2\n3", " !35@1"},
  });
}

TEST(Lexer, KeywordPlacement) {
  check({
      {"x = if", " !30@1"},
      {"a\nb = [1\nend]", "a !30@2"},
      {"global function f", "globfunc f"},
      {"global macro m", "globmacro m"},
      {"clear global x", "clear global x"},
      {"who global", "who global"},
      {"clear x global", " !30@1"},
      {"x = !m", " !3000@1"},
      {"x = !compute", " !30@1"},
      {"!", " !3001@1"},
      {"!5", " !3002@1"},
  });
  ErrorState err;
  CharSource src = CharSource::from_text("global function r = f(x)");
  Lexer lx(src, err);
  Statement st;
  ASSERT_TRUE(lx.next(st));
  EXPECT_EQ(st.keyword, Keyword::GlobFunc);
}

TEST(Lexer, MacroCallsAndDataStatementsEndWithDot) {
  check({
      {"!tab var = a b / total / title = \"Sales\".", "!tab var = a b / total / title = \"Sales\""},
      {"!tab a\n  b % note\n  c.\nx", "!tab a b c | x"},
      {"!tab a / if end.", "!tab a / if end"},
      {"!tab a !b.", " !3000@1"},
      {"!recode v 1 thru 3 = 1 4.5 = 2.", "!recode v 1 : 3 = 1 4.5 = 2"},
      {"!compute x = a / 2.", "!compute x = a / 2"},
      {"!tab a b", "!tab a b"},  // the end of the text ends it too
  });
}

TEST(CharSource, PushedTextEndsAtNulAnd255EndsEverySource) {
  const std::string pushed("a = 1\0b = 2", 11);
  CharSource p = CharSource::from_pushed_text(pushed);
  EXPECT_EQ(lex(p), "a = 1");
  EXPECT_EQ(lex(std::string("x = 1\xff y z")), "x = 1");
}

TEST(CharSource, ScrambledFilesReadAsPlainText) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("vop_lexer_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string text = "x = [1 2]'; % note\ny = \"\xe8\"";
  std::string scrambled = text;
  for (char& c : scrambled) c = char(swap_nibbles((unsigned char)c));
  std::ofstream((dir / "f.s").string(), std::ios::binary) << text;
  std::ofstream((dir / "f.sc").string(), std::ios::binary) << scrambled;
  auto plain = CharSource::from_file((dir / "f.s").string());
  auto coded = CharSource::from_file((dir / "f.sc").string());
  ASSERT_TRUE(plain && coded);
  EXPECT_EQ(lex(*plain), "x = [ 1 , 2 ] ' ; | y = \"\xe8\"");
  EXPECT_EQ(lex(*coded), "x = [ 1 , 2 ] ' ; | y = \"\xe8\"");
  EXPECT_FALSE(CharSource::from_file((dir / "missing.s").string()));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace vop
