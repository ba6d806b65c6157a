#include "core/workspace.h"

#include <gtest/gtest.h>

namespace vop {
namespace {

TEST(Workspace, LocalsAreFoundBeforeAliases) {
  Workspace ws;
  ErrorState err;
  ws.add_local("a", Matrix::scalar(1));
  ws.push_frame(1, 1);
  CallFrame& script = ws.script_level();
  ws.current().add_alias("p", Alias{"a", &script});
  ASSERT_NE(ws.lookup("p", err), nullptr);
  EXPECT_EQ((*ws.lookup("p", err))[0], 1.0);

  // Writing through the alias writes the caller's variable.
  ws.assign("p", Matrix::scalar(2));
  EXPECT_EQ((*script.find_local("a"))[0], 2.0);
  EXPECT_EQ(ws.current().find_local("p"), nullptr);

  // A local of the same name hides the alias.
  ws.current().put_local("p", Matrix::scalar(7));
  EXPECT_EQ((*ws.lookup("p", err))[0], 7.0);
  EXPECT_EQ(err.code(), 0);
  ws.pop_frame();
  EXPECT_EQ(ws.lookup("p", err), nullptr);
}

TEST(Workspace, ResolveAlwaysNamesTheFrameThatHoldsTheVariable) {
  Workspace ws;
  ws.add_local("a", Matrix::scalar(1));
  ws.push_frame(1, 1);
  ws.current().add_alias("p", Alias{"a", &ws.script_level()});
  auto r = ws.resolve("p");
  EXPECT_EQ(r.name, "a");
  EXPECT_EQ(r.frame, &ws.script_level());
  auto n = ws.resolve("fresh");
  EXPECT_EQ(n.frame, &ws.current());
}

TEST(Workspace, GlobalsAndDeletedGlobals) {
  Workspace ws;
  ErrorState err;
  ws.push_frame(0, 0);
  ws.current().declare_global("g");
  ws.assign("g", Matrix::scalar(5));
  EXPECT_NE(ws.globals().find_local("g"), nullptr);
  EXPECT_EQ(ws.current().find_local("g"), nullptr);
  EXPECT_EQ((*ws.lookup("g", err))[0], 5.0);

  ws.globals().remove_local("g");
  EXPECT_EQ(ws.lookup("g", err), nullptr);
  EXPECT_EQ(err.code(), kErrDeletedGlobal);

  // The script level does not see the global without its own declaration.
  ws.pop_frame();
  ErrorState err2;
  ws.globals().put_local("g", Matrix::scalar(1));
  EXPECT_EQ(ws.lookup("g", err2), nullptr);
  EXPECT_EQ(err2.code(), 0);
}

TEST(Workspace, PopDestroysFrameVariablesAndKeepsScriptLevel) {
  Workspace ws;
  ws.add_local("keep", Matrix::scalar(1));
  ws.push_frame(0, 0);
  ws.add_local("tmp", Matrix::scalar(2));
  ws.push_frame(0, 0);
  EXPECT_EQ(ws.depth(), 3u);
  ws.pop_to_script_level();
  EXPECT_EQ(ws.depth(), 1u);
  ErrorState err;
  EXPECT_EQ(ws.lookup("tmp", err), nullptr);
  EXPECT_NE(ws.lookup("keep", err), nullptr);
  ws.pop_frame();  // never pops the script level
  EXPECT_EQ(ws.depth(), 1u);
}

TEST(Workspace, NamesListNewestFirstAndReplacingKeepsOrder) {
  Workspace ws;
  ws.add_local("a", Matrix::scalar(1));
  ws.add_local("b", Matrix::scalar(2));
  ws.add_local("c", Matrix::scalar(3));
  ws.add_local("a", Matrix::scalar(4));
  auto names = ws.current().local_names();
  ASSERT_EQ(names.size(), 3u);
  EXPECT_EQ(names[0], "c");
  EXPECT_EQ(names[2], "a");
  ErrorState err;
  EXPECT_EQ(ws.lookup("a", err)->name(), "a");
}

// A remembered lookup stands only while nothing has changed which variable
// a name denotes. Each case remembers the answer, makes one change, and
// looks again with the same memory: the answer must be the new truth (the
// old one may point at a variable that no longer exists).
class RememberedLookup : public ::testing::Test {
 protected:
  Matrix* look(std::string_view name) { return ws.lookup(NameKey{name, NameHash{}(name)}, err, cache); }
  Matrix* remember(std::string_view name) {
    Matrix* m = look(name);
    EXPECT_NE(m, nullptr) << name;
    EXPECT_EQ(look(name), m);  // answered from memory
    return m;
  }

  Workspace ws;
  ErrorState err;
  LookupCache cache;
};

TEST_F(RememberedLookup, ForgetsARemovedLocal) {
  ws.add_local("x", Matrix::scalar(1));
  remember("x");
  EXPECT_TRUE(ws.current().remove_local("x"));
  EXPECT_EQ(look("x"), nullptr);
}

TEST_F(RememberedLookup, ForgetsATakenLocal) {
  ws.add_local("x", Matrix::scalar(1));
  remember("x");
  EXPECT_NE(ws.current().take_local("x"), nullptr);
  EXPECT_EQ(look("x"), nullptr);
}

TEST_F(RememberedLookup, ForgetsClearedLocals) {
  ws.add_local("x", Matrix::scalar(1));
  remember("x");
  ws.current().clear_locals();
  EXPECT_EQ(look("x"), nullptr);
}

TEST_F(RememberedLookup, ForgetsARemovedAlias) {
  ws.add_local("a", Matrix::scalar(1));
  ws.push_frame(1, 1);
  ws.current().add_alias("p", Alias{"a", &ws.script_level()});
  EXPECT_EQ(remember("p"), ws.script_level().find_local("a"));
  EXPECT_TRUE(ws.current().remove_alias("p"));
  EXPECT_EQ(look("p"), nullptr);
}

TEST_F(RememberedLookup, ForgetsAGlobalNoLongerDeclared) {
  ws.current().declare_global("g");
  ws.globals().put_local("g", Matrix::scalar(1));
  remember("g");
  EXPECT_TRUE(ws.current().undeclare_global("g"));
  EXPECT_EQ(look("g"), nullptr);
}

TEST_F(RememberedLookup, ForgetsGlobalsNoLongerDeclared) {
  ws.current().declare_global("g");
  ws.globals().put_local("g", Matrix::scalar(1));
  remember("g");
  ws.current().undeclare_all_globals();
  EXPECT_EQ(look("g"), nullptr);
}

TEST_F(RememberedLookup, FindsANewLocalThatHidesAGlobal) {
  ws.current().declare_global("g");
  ws.globals().put_local("g", Matrix::scalar(1));
  remember("g");
  Matrix& local = ws.current().put_local("g", Matrix::scalar(2));
  EXPECT_EQ(look("g"), &local);
}

TEST_F(RememberedLookup, FindsANewAliasThatHidesAGlobal) {
  ws.add_local("a", Matrix::scalar(1));
  ws.push_frame(1, 1);
  ws.current().declare_global("g");
  ws.globals().put_local("g", Matrix::scalar(2));
  remember("g");
  ws.current().add_alias("g", Alias{"a", &ws.script_level()});
  EXPECT_EQ(look("g"), ws.script_level().find_local("a"));
}

TEST_F(RememberedLookup, ReplacingAValueKeepsTheVariableInPlace) {
  ws.add_local("x", Matrix::scalar(1));
  Matrix* x = remember("x");
  ws.assign("x", Matrix::scalar(2));
  EXPECT_EQ(look("x"), x);
  EXPECT_EQ((*x)[0], 2.0);
}

TEST_F(RememberedLookup, IsNotUsedInAnotherCall) {
  ws.add_local("x", Matrix::scalar(1));
  remember("x");
  ws.push_frame(0, 0);
  EXPECT_EQ(look("x"), nullptr);
  ws.add_local("x", Matrix::scalar(2));
  remember("x");
  ws.pop_frame();
  ws.push_frame(0, 0);  // a frame reused for another call
  EXPECT_EQ(look("x"), nullptr);
  Matrix& again = ws.add_local("x", Matrix::scalar(3));
  EXPECT_EQ(look("x"), &again);
}

TEST(Workspace, AnsStartsEmptyAndTakesItsName) {
  Workspace ws;
  EXPECT_TRUE(ws.ans().empty());
  EXPECT_TRUE(ws.ans().numeric());
  ws.set_ans(Matrix::scalar(3));
  EXPECT_EQ(ws.ans().name(), "ans");
  EXPECT_EQ(ws.ans()[0], 3.0);
}

}  // namespace
}  // namespace vop
