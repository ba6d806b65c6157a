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
