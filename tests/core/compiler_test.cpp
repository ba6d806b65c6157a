#include "core/compiler.h"

#include <gtest/gtest.h>

#include "core/parser.h"

namespace vop {
namespace {

// The printed program of a run text, or "!code@line".
std::string compile(std::string_view text, FunctionTable& table, const DataStatementCompiler* data = nullptr) {
  ErrorState err;
  CharSource src = CharSource::from_text(text);
  auto prog = compile_text(CompileEnv{err, table, data}, src);
  if (!prog) return "!" + std::to_string(err.code()) + "@" + std::to_string(err.line());
  return to_string(*prog);
}

std::string compile(std::string_view text) {
  FunctionTable table;
  return compile(text, table);
}

// The tree of the first statement, or "!code@line".
std::string tree(std::string_view text) {
  FunctionTable table;
  ErrorState err;
  CharSource src = CharSource::from_text(text);
  auto prog = compile_text(CompileEnv{err, table}, src);
  if (!prog) return "!" + std::to_string(err.code()) + "@" + std::to_string(err.line());
  return prog->nodes[0].expr ? to_string(*prog->nodes[0].expr) : "";
}

struct Case {
  const char* source;
  const char* expected;
};

void check_trees(std::initializer_list<Case> cases) {
  for (const Case& c : cases) EXPECT_EQ(tree(c.source), c.expected) << "source: " << c.source;
}

TEST(Expressions, PrecedenceLevels) {
  check_trees({
      {"x = 1 + 2 * 3", "(= x (+ 1 (* 2 3)))"},
      {"a - b - c", "(- (- a b) c)"},
      {"-a^2", "(` (^ a 2))"},
      {"-a * b", "(* (` a) b)"},
      {"a'^2'", "(' (^ (' a) 2))"},
      {"~~a", "(~ (~ a))"},
      {"-~a", "(` (~ a))"},
      {"a < b & c | d", "(| (& (< a b) c) d)"},
      {"a || b == c", "(|| a (== b c))"},
      {"a:b+1", "(: a (+ b 1))"},
      {"x = -1:2:-5", "(= x (: (` 1) 2 (` 5)))"},
      {"a .* b ./ c", "(./ (.* a b) c)"},
      {"x in S + 1", "(in x (+ S 1))"},
      {"x anyin S", "(anyin x S)"},
      {"1e+3", "(+ 1 3)"},
      {"1e-3", "0.001"},
      {"f(a)^(b+1)", "(^ f(a) (+ b 1))"},
      {"a <= -b", "(<= a (` b))"},
  });
}

TEST(Expressions, LeavesCallsAndLiterals) {
  check_trees({
      {"\"ab\" + \"cd\"", "(+ \"ab\" \"cd\")"},
      {"x = [1 -2]", "(= x [1,(` 2)])"},
      {"[1 2; 3 4]'", "(' [1,2;3,4])"},
      {"[\n1 2\n\n3 4\n]", "[1,2;3,4]"},
      {"[]", "[]"},
      {"v(2:Inf)", "v((: 2 Inf))"},
      {"m(:, 1)", "m(:,1)"},
      {"f()", "f()"},
      {"x#i+1", "(+ (# x i) 1)"},
      {"a#b#c", "(# a (# b c))"},
      {"x#2 = 5", "(= (# x 2) 5)"},
      {"[a, b] = f(x, :)", "(= [a,b] f(x,:))"},
      {"[a b] = f", "(= [a,b] f)"},
      {"inv = a^", "(= inv (^ a))"},
      {"y = a^ * b", "(= y (* (^ a) b))"},
      {"y = (a^)'", "(= y (' (^ a)))"},
      {"x = .5", "(= x 0.5)"},
  });
}

TEST(Expressions, Errors) {
  check_trees({
      {"2 * -3", "!36@1"},
      {"2^-1", "!36@1"},
      {"x = 1 +", "!36@1"},
      {"x = ()", "!36@1"},
      {"x = [1,]", "!36@1"},
      {"f(a,,b)", "!65@1"},
      {"f(,b)", "!65@1"},
      {"[1,,2]", "!65@1"},
      {"a b", "!100@1"},
      {"x = 1 = 2", "!100@1"},
      {"f(a = 1)", "!100@1"},
      {"= 3", "!54@1"},
      {"3 = x", "!54@1"},
      {"a + b = 1", "!54@1"},
      {"[a, 1] = f", "!54@1"},
      {"[a; b] = f", "!54@1"},
      {"[] = f", "!69@1"},
      {"#x", "!800@1"},
      {"3#x", "!801@1"},
      {"x = 1:2:3:4", "!100@1"},
      {"x = 1\ny = [1\n2 +]", "!36@2"},
  });
  EXPECT_EQ(tree(std::string(2000, '(') + "x" + std::string(2000, ')')), "!802@1");
  EXPECT_EQ(tree(std::string(2000, '~') + "x"), "!802@1");
  std::string chain = "x = 1";
  for (int i = 0; i < 2000; ++i) chain += " + 1";
  EXPECT_EQ(tree(chain), "!802@1");
}

TEST(Statements, KindsAndLines) {
  EXPECT_EQ(compile("x = 1;\ny\n\n  z"),
            "0 ;1 >1 (= x 1)\n"
            "1 d2 >2 y\n"
            "2 d4 >3 z\n"
            "3 k4\n");
  EXPECT_EQ(compile("a = 1 + ...\n 2"), "0 d1 >1 (= a (+ 1 2))\n1 k2\n");
  EXPECT_EQ(compile(""), "0 k1\n");
}

TEST(Statements, IfChains) {
  EXPECT_EQ(compile("if x\n a\nelseif y\n b\nelse\n c\nend\nd"),
            "0 i1 >1 |3 x\n"
            "1 d2 >2 a\n"
            "2 g3 >7\n"
            "3 i3 >4 |6 y\n"
            "4 d4 >5 b\n"
            "5 g5 >7\n"
            "6 d6 >7 c\n"
            "7 d8 >8 d\n"
            "8 k8\n");
  // Without else: the false branch of the last condition goes past "end".
  EXPECT_EQ(compile("if x\n a\nelseif y\n b\nend"),
            "0 i1 >1 |3 x\n"
            "1 d2 >2 a\n"
            "2 g3 >5\n"
            "3 i3 >4 |5 y\n"
            "4 d4 >5 b\n"
            "5 k5\n");
  EXPECT_EQ(compile("if x\n a\nelse\n b\nend"),
            "0 i1 >1 |3 x\n"
            "1 d2 >2 a\n"
            "2 g3 >4\n"
            "3 d4 >4 b\n"
            "4 k5\n");
}

TEST(Statements, Loops) {
  EXPECT_EQ(compile("while x > 0\n x = x - 1;\nend"),
            "0 i1 >1 |3 (> x 0)\n"
            "1 ;2 >2 (= x (- x 1))\n"
            "2 g3 >0\n"
            "3 k3\n");
  EXPECT_EQ(compile("for i = 1:10:2; s = s + i; end"),
            "0 f1 >1 |3 (= i (: 1 10 2))\n"
            "1 ;1 >2 (= s (+ s i))\n"
            "2 g1 >0\n"
            "3 k1\n");
  EXPECT_EQ(compile("a\nrepeat\n x\nuntil x > 3"),
            "0 d1 >1 a\n"
            "1 d3 >2 x\n"
            "2 i4 >3 |1 (> x 3)\n"
            "3 k4\n");
  EXPECT_EQ(compile("return"), "0 k1\n1 k1\n");
}

TEST(Statements, BlockErrors) {
  check_trees({
      {"for i = 5", "!53@1"},
      {"for i", "!53@1"},
      {"for", "!53@1"},
      {"for i(2) = 1:3", "!55@1"},
      {"for 3 = 1:2", "!54@1"},
      {"for _i = 1:2", "!54@1"},
      {"repeat\n x\nend", "!57@3"},
      {"end", "!57@1"},
      {"if x\nend x", "!56@2"},
      {"if x\nend\nelse", "!48@3"},
      {"elseif y", "!48@1"},
      {"if x\nelse\nelse\nend", "!48@3"},
      {"if x\nelse y\nend", "!47@2"},
      {"if", "!46@1"},
      {"if x y", "!46@1"},
      {"while", "!49@1"},
      {"repeat x", "!50@1"},
      {"until", "!51@1"},
      {"until x", "!52@1"},
      {"return 1", "!58@1"},
      {"a\nif x\n b\n\n", "!39@3"},
      {"repeat\n a", "!39@2"},
  });
}

TEST(Statements, WorkspaceStatements) {
  check_trees({
      {"global a _b $c", "global(a,_b,$c)"},
      {"clear", "clear()"},
      {"clear global", "clear(global)"},
      {"clear global x, y", "clear(global,x,y)"},
      {"who", "who()"},
      {"who global", "who(global)"},
      {"global 3", "!59@1"},
      {"global x(1)", "!59@1"},
      {"clear _a", "!60@1"},
      {"clear x(2)", "!60@1"},
      {"who x", "!61@1"},
      {"who global x", "!62@1"},
  });
}

TEST(Definitions, WindowTextMainProgramFirst) {
  FunctionTable table;
  EXPECT_EQ(compile("y = f(2)\nfunction r = f(x)\n r = x * 2;\nend\nmacro m\n y\nend", table),
            "0 d1 >1 (= y f(2))\n1 k2\n");
  ASSERT_EQ(table.size(), 2u);
  const FunctionDef* f = table.find("f", "");
  ASSERT_TRUE(f);
  EXPECT_EQ(f->kind, DefinitionKind::Function);
  EXPECT_EQ(f->file, "");
  EXPECT_EQ(f->line, 2);
  ASSERT_EQ(f->params.size(), 1u);
  EXPECT_EQ(f->params[0].name, "x");
  EXPECT_EQ(f->results, std::vector<std::string>{"r"});
  EXPECT_EQ(to_string(f->body), "0 ;3 >1 (= r (* x 2))\n1 k4\n");
  const FunctionDef* m = table.find("m", "");
  ASSERT_TRUE(m);
  EXPECT_EQ(m->kind, DefinitionKind::Macro);
}

TEST(Definitions, HeaderForms) {
  FunctionTable table;
  compile("function [a, b] = two('v, w)\nend\nglobfunc g\nend\nglobal macro gm\nend\nfunction h()\nend", table);
  const FunctionDef* two = table.find("two", "");
  ASSERT_TRUE(two);
  EXPECT_EQ(two->results, (std::vector<std::string>{"a", "b"}));
  ASSERT_EQ(two->params.size(), 2u);
  EXPECT_TRUE(two->params[0].by_ref);
  EXPECT_EQ(two->params[0].name, "v");
  EXPECT_FALSE(two->params[1].by_ref);
  EXPECT_TRUE(table.find("g", "")->global);
  EXPECT_TRUE(table.find("gm", "")->global);
  EXPECT_TRUE(table.find("h", "")->params.empty());

  check_trees({
      {"function 3", "!43@1"},
      {"function", "!43@1"},
      {"function f(3)", "!43@1"},
      {"function f(a b)", "!43@1"},
      {"function f(a,)", "!43@1"},
      {"function [a, 1] = f", "!43@1"},
      {"function _r = f", "!43@1"},
      {"function f x", "!43@1"},
      {"macro m(x)", "!45@1"},
      {"macro", "!45@1"},
      {"if x\nfunction f\nend", "!39@2"},
      {"if x\nmacro m\nend", "!44@2"},
      {"function f\nfunction g\nend\nend", "!39@2"},
      {"function f\nend\nfunction f\nend", "!40@3"},
      {"x = 1\nfunction f\nend\ny = 2", "!38@4"},
      {"function f\nend\ny = 2\nfunction g\nend", "!38@4"},
      {"function f\nend\ny = 2\n\n", "!38@3"},
      {"function f\n x = 1", "!39@2"},
  });
}

TEST(Definitions, CompileErrorsEnterNothing) {
  FunctionTable table;
  EXPECT_EQ(compile("function f\nend\nfunction g\n a b\nend", table), "!100@4");
  EXPECT_EQ(table.size(), 0u);
  auto f = std::make_unique<FunctionDef>();
  f->name = "f";
  table.add(std::move(f));
  EXPECT_EQ(compile("function f\nend", table), "!40@1");
}

bool compile_as_file(std::string_view text, std::string_view name, FunctionTable& table, ErrorState& err) {
  CharSource src = CharSource::from_text(text);
  return compile_file(CompileEnv{err, table}, src, name);
}

TEST(Definitions, FilesAndLookup) {
  FunctionTable table;
  ErrorState err;
  ASSERT_TRUE(compile_as_file("x = 1\nfunction tidy\nend\nglobal function shared\nend", "util", table, err));
  ASSERT_TRUE(compile_as_file("function r = report(a)\n r = tidy\nend", "report", table, err));
  // The file's plain statements are its script, named after the file.
  const FunctionDef* script = table.find("util", "");
  ASSERT_TRUE(script);
  EXPECT_EQ(script->kind, DefinitionKind::Macro);
  EXPECT_EQ(to_string(script->body), "0 d1 >1 (= x 1)\n1 k2\n");
  // A non-global function is seen only by its own file's code.
  EXPECT_EQ(table.find("tidy", ""), nullptr);
  EXPECT_EQ(table.find("tidy", "report"), nullptr);
  EXPECT_NE(table.find("tidy", "util"), nullptr);
  EXPECT_NE(table.find("shared", "report"), nullptr);
  // A function named like its file is seen from everywhere.
  EXPECT_NE(table.find("report", "util"), nullptr);
  // A file of only definitions has no script.
  EXPECT_EQ(table.find("report", "")->kind, DefinitionKind::Function);

  // Loading the same file again defines its script a second time.
  EXPECT_FALSE(compile_as_file("y = 2", "util", table, err));
  EXPECT_EQ(err.code(), 40);
  EXPECT_EQ(err.line(), 1);
  EXPECT_EQ(err.file(), "util");
}

TEST(Definitions, FileStatementsAfterDefinition) {
  FunctionTable table;
  ErrorState err;
  EXPECT_FALSE(compile_as_file("a = 1\nfunction f\nend\nb = 2\n", "lib", table, err));
  EXPECT_EQ(err.code(), 38);
  EXPECT_EQ(err.line(), 4);
  EXPECT_EQ(err.file(), "lib");
}

TEST(MacroCalls, KeywordArguments) {
  check_trees({
      {"!tab var = a b / total / title = \"Sales\".", "!tab{var=[\"a\",\"b\"] total=[] title=\"Sales\"}"},
      {"!tab a b.", "!tab{%=[\"a\",\"b\"]}"},
      {"!tab x.", "!tab{%=\"x\"}"},
      {"!tab.", "!tab{}"},
      {"!tab n = 5 / w = a, b.", "!tab{n=\"5\" w=[\"a\",\"b\"]}"},
      {"!tab x =/ y.", "!3002@1"},
      {"!tab x = .", "!3002@1"},
      {"!tab a / b c.", "!3006@1"},
      {"!tab a / k = 1 = 2.", "!3006@1"},
      {"!tab a /.", "!3006@1"},
      {"!tab a / k(1) = 2.", "!3005@1"},
  });
}

TEST(DataStatements, FailWhenRunWithoutTheirCompiler) {
  EXPECT_EQ(compile("!compute x = a * 2.\n!if a > 1 x = 2.\n!recode v 1 thru 3 = 1."),
            "0 ;1 >1 <fail 96 !compute>\n"
            "1 ;2 >2 <fail 96 !if>\n"
            "2 ;3 >3 <fail 96 !recode>\n"
            "3 k3\n");
}

TEST(DataStatements, HandedToTheRegisteredCompiler) {
  std::vector<std::string> seen;
  DataStatementCompiler hook = [&](Keyword kw, std::vector<Token>& toks, ErrorState& err, ExprNode& out) {
    std::string s = kw == Keyword::DataRecode ? "recode:" : "other:";
    for (const Token& t : toks) s += " " + t.text;
    seen.push_back(s);
    if (toks.empty()) return err.raise(1500);
    if (kw == Keyword::DataRecode) {
      out = make_name("recoded");
      return true;
    }
    return parse_statement_expression(toks, err, out);
  };
  FunctionTable table;
  EXPECT_EQ(compile("!recode v 1 thru 3 = 1.\n!compute y\n = x * 2.", table, &hook),
            "0 ;1 >1 recoded\n1 ;2 >2 (= y (* x 2))\n2 k3\n");
  ASSERT_GE(seen.size(), 2u);
  EXPECT_EQ(seen[0], "recode: v 1 : 3 = 1");
  EXPECT_EQ(seen[1], "other: y = x * 2");
  EXPECT_EQ(compile("x\n!compute.", table, &hook), "!1500@2");
}

}  // namespace
}  // namespace vop
