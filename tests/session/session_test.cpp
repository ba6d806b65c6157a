// The session factory: a session is ready to run scripts with both builtin
// families and the program folder; reader warnings reach the output or the
// hook; the dataset tells a window whether a run holds it and whether it
// changed.
#include "session/session.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/builtin.h"
#include "data/sav_writer.h"
#include "document/output_event.h"

namespace vop {
namespace {

namespace fs = std::filesystem;

class Folder {
 public:
  Folder() {
    path_ = fs::path(::testing::TempDir()) /
            ("vop_session_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~Folder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  std::string path(const std::string& name = "") const { return (path_ / name).string(); }
  void write(const std::string& name, const std::string& text) const {
    fs::create_directories((path_ / name).parent_path());
    std::ofstream(path_ / name, std::ios::binary) << text;
  }

 private:
  fs::path path_;
};

TEST(Session, RunsWithBothFamiliesAndTheProgramFolder) {
  Folder program, extra;
  program.write("twice.s", "function r = twice(x)\nr = 2 * x;\nend\n");
  program.write("which.s", "function r = which()\nr = 1;\nend\n");
  extra.write("which.s", "function r = which()\nr = 2;\nend\n");
  RecordingConsumer window;
  SessionOptions o;
  o.program_dir = program.path();
  o.search_dirs = {extra.path()};
  o.consumer = &window;
  auto s = make_session(o);
  EXPECT_EQ(s->interpreter().base_dir(), program.path());
  EXPECT_EQ(s->run_text("x = twice(21)\nn = nvar\nw = which()"), 0) << window.shown;
  EXPECT_NE(window.shown.find("42"), std::string::npos);
  ErrorState err;
  EXPECT_EQ((*s->interpreter().workspace().lookup("w", err))[0], 2.0);  // extra folders first
  // print() of a table reaches the window display.
  window.shown.clear();
  EXPECT_EQ(s->run_text("print([1 2], [\"r\"], [\"a\" \"b\"])"), 0);
  EXPECT_NE(window.shown.find('\t'), std::string::npos) << window.shown;
}

TEST(Session, RunsTheStartUpScriptOfTheWorkingDirectory) {
  Folder dir;
  dir.write("Syntax/start.s", "started = 7;\n");
  const fs::path old = fs::current_path();
  fs::current_path(dir.path());
  SessionOptions o;
  o.run_startup = true;
  auto s = make_session(o);
  fs::current_path(old);
  EXPECT_EQ(s->startup_code(), 0);
  ErrorState err;
  const Matrix* started = s->interpreter().workspace().lookup("started", err);
  ASSERT_NE(started, nullptr);
  EXPECT_EQ((*started)[0], 7.0);
}

// A system file that names a text encoding nobody knows: the reader reads
// its texts as legacy text and warns.
std::string file_with_an_unknown_encoding(const Folder& dir) {
  Dataset ds;
  ErrorState err;
  ds.set_case_count(2);
  ds.create_variable("QQ", true, err);
  const std::string path = dir.path("bad.sav");
  EXPECT_TRUE(write_sav(path, ds, err));
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  std::string bytes = s.str();
  const size_t at = bytes.find("UTF-8");
  EXPECT_NE(at, std::string::npos);
  if (at != std::string::npos) bytes.replace(at, 5, "XYZ-8");
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

TEST(Session, ReaderWarningsGoToTheOutput) {
  Folder dir;
  const std::string path = file_with_an_unknown_encoding(dir);
  RecordingConsumer window;
  SessionOptions o;
  o.consumer = &window;
  auto s = make_session(o);
  EXPECT_EQ(s->run_text("DataOpen(\"" + path + "\")"), 0) << window.shown;
  EXPECT_NE(window.shown.find("warning: " + path + ": unknown text encoding XYZ-8; texts read as legacy text\n"), std::string::npos)
      << window.shown;
  EXPECT_NE(window.shown.find("SPSS Data successfully loaded"), std::string::npos);
}

TEST(Session, ReaderWarningsGoToTheHookWhenThereIsOne) {
  Folder dir;
  const std::string path = file_with_an_unknown_encoding(dir);
  RecordingConsumer window;
  std::vector<std::string> lines;
  SessionOptions o;
  o.consumer = &window;
  o.warning_hook = [&](std::string_view line) { lines.emplace_back(line); };
  auto s = make_session(o);
  EXPECT_TRUE(s->open_data(path, false));
  EXPECT_EQ(lines, (std::vector<std::string>{"warning: " + path + ": unknown text encoding XYZ-8; texts read as legacy text"}));
  EXPECT_EQ(window.shown.find("warning:"), std::string::npos);
}

Session* g_probed = nullptr;
bool g_busy_seen = false;
Value probe(Call& c) {
  g_busy_seen = g_probed->dataset_busy();
  return c.none();
}

TEST(Session, ARunHoldsTheDatasetAndItsChangesAreCounted) {
  auto s = make_session({});
  s->interpreter().family(Family::General).add({"probe", 0, 0, 0, probe});
  g_probed = s.get();
  EXPECT_FALSE(s->dataset_busy());
  ASSERT_EQ(s->run_text("probe()"), 0);
  EXPECT_TRUE(g_busy_seen);
  EXPECT_FALSE(s->dataset_busy());
  // A failed run lets go as well.
  EXPECT_NE(s->run_text("probe(); nosuch"), 0);
  EXPECT_FALSE(s->dataset_busy());

  uint64_t seen = s->dataset_generation();
  auto changes = [&](const std::string& text) {
    EXPECT_EQ(s->run_text(text), 0) << text;
    const bool changed = s->dataset_generation() != seen;
    seen = s->dataset_generation();
    return changed;
  };
  EXPECT_TRUE(changes("DataAddVar([\"a\" \"b\"])"));
  EXPECT_TRUE(changes("DataAddCase(3)"));
  EXPECT_FALSE(changes("Data(:, 1) = [1; 2; 3]; A = [4; 5; 6]; x = A + 1;"));
  EXPECT_TRUE(changes("SetVarLabel(\"A\", \"age\")"));
  EXPECT_TRUE(changes("SetNumLabel(\"A\", 1, \"one\")"));
  EXPECT_TRUE(changes("SetVarName(\"B\", \"C\")"));
  EXPECT_TRUE(changes("DataWeight(\"A\")"));
  EXPECT_TRUE(changes("DataSelect(\"A\")"));
  EXPECT_TRUE(changes("DataAddMVar(\"$m\", [\"A\" \"C\"])"));
  EXPECT_TRUE(changes("DataDelVar(\"C\")"));
  EXPECT_TRUE(changes("DataClose"));
  g_probed = nullptr;
}

}  // namespace
}  // namespace vop
