// vop-run and vop-savinfo as people run them: where an error is (the
// FILE:LINE diagnostic on standard error, with an explanation for codes
// that have no message), usage errors, and SIGTERM during a redirected run.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "file_text.h"

extern char** environ;

namespace vop {
namespace {

namespace fs = std::filesystem;
using test::slurp;

struct Result {
  int status = -1;
  std::string out, err;
};

class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = ::testing::TempDir() + "vop_cli_" + ::testing::UnitTest::GetInstance()->current_test_info()->name() +
           "_" + std::to_string(::getpid()) + "/";
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  void write(const std::string& name, const std::string& text) { std::ofstream(dir_ + name) << text; }

  // Runs `program` with `args` (shell words) in the test's folder.
  Result run(const char* program, const std::string& args, const std::string& input = "") {
    write("stdin", input);
    const std::string cmd = "cd '" + dir_ + "' && '" + program + "' " + args + " >stdout 2>stderr <stdin";
    Result r;
    const int raw = std::system(cmd.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = slurp(dir_ + "stdout");
    r.err = slurp(dir_ + "stderr");
    return r;
  }
  std::string dir_;
};

TEST_F(Cli, ARunsErrorNamesItsFileAndLineOnStandardError) {
  write("g.s", "function y = g(x)\n  z = 1;\n  y = nope(x);\nend\n");
  write("main.s", "a = 1;\n\nb = g(2);\n");
  Result r = run(VOP_RUN, "--no-startup main.s");
  EXPECT_EQ(r.status, 1);
  // The report on standard output is as it always was.
  EXPECT_NE(r.out.find("on the 3. line of file g.s"), std::string::npos) << r.out;
  // The failing statement is in the function file.
  EXPECT_NE(r.err.find("g.s:3: error 96: Unknown variable, function 'nope'"), std::string::npos) << r.err;

  // A compile error in the script itself, at its statement's line; texts
  // given with -e are named so.
  write("bad.s", "x = 1;\ny = (2 + ;\n");
  r = run(VOP_RUN, "--no-startup bad.s -e 'heading(9, \"x\")'");
  EXPECT_NE(r.err.find("bad.s:2: error "), std::string::npos) << r.err;
  // A code without a message of its own gets an explanation.
  EXPECT_NE(r.err.find("-e:1: error 777: a heading level outside 1 to 5"), std::string::npos) << r.err;
  EXPECT_NE(r.out.find("ERROR :  code 777"), std::string::npos) << r.out;

  // Standard input, read whole when it is no terminal.
  r = run(VOP_RUN, "--no-startup", "x = 1;\ny = x(5);\n");
  EXPECT_NE(r.err.find("<stdin>:2: error 68: Index, argument is out of range"), std::string::npos) << r.err;

  // A block or a bracket left open is named where it opened.
  r = run(VOP_RUN, "--no-startup", "x = 1;\nfor i = 1:3\n  if i > 1\n    y = i;\n  end\n\n");
  EXPECT_NE(r.err.find("<stdin>:2: error 39: Missing 'end' or 'until'"), std::string::npos) << r.err;
  r = run(VOP_RUN, "--no-startup", "x = 1;\nif x\n  y = 2;\nelse\n  y = 3;\n");
  EXPECT_NE(r.err.find("<stdin>:2: error 39"), std::string::npos) << r.err;
  r = run(VOP_RUN, "--no-startup", "x = 1;\ny = [1 2\n3 4\nz = 3;\n");
  EXPECT_NE(r.err.find("<stdin>:2: error 35"), std::string::npos) << r.err;

  // No line for a run that went well.
  r = run(VOP_RUN, "--no-startup -e 'x = 1;'");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
}

TEST_F(Cli, AFileThatDoesNotLoadSaysWhy) {
  const std::string survey = std::string(VOP_SOURCE_DIR) + "/examples/survey.sav";
  const std::string bytes = slurp(survey);
  write("cut.sav", bytes.substr(0, 9000));
  write("dict.sav", bytes.substr(0, 1000));
  write("text.sav", "name,age\nAna,31\n");
  write("empty.sav", "");
  const struct {
    std::string file, why;
  } cases[] = {
      {"cut.sav", "the data break off in case 191"},
      {"dict.sav", "the dictionary record at byte 940 (type 3) is cut short or damaged"},
      {"text.sav", "not an SPSS system file"},
      {"empty.sav", "the file is empty"},
      {"missing.sav", "No such file or directory"},
      {std::string(VOP_SOURCE_DIR) + "/tests/data/sav/pspp/hotel-encrypted.sav", "the file is encrypted"},
  };
  for (const auto& c : cases) {
    Result r = run(VOP_RUN, "--no-startup --data '" + c.file + "' -e 1");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("cannot open data file " + c.file + ": " + c.why), std::string::npos) << r.err;
    r = run(VOP_SAVINFO, "'" + c.file + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("ERROR 97: Error while using SPSS file: " + c.why), std::string::npos) << r.err;
  }
  // In a script the report stays as it was.
  Result r = run(VOP_RUN, "--no-startup -e 'DataOpen(\"cut.sav\")'");
  EXPECT_NE(r.out.find("ERROR : Error while using SPSS file\n"), std::string::npos) << r.out;
}

TEST_F(Cli, UsageErrorsNameTheOptionAndExitTwo) {
  Result r = run(VOP_RUN, "--bogus");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("unknown option --bogus"), std::string::npos) << r.err;
  EXPECT_EQ(run(VOP_RUN, "--version").status, 0);
  EXPECT_EQ(run(VOP_RUN, "--help").status, 0);

  r = run(VOP_SAVINFO, "--help");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("usage: vop-savinfo"), std::string::npos);
  r = run(VOP_SAVINFO, "--version");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("vop-savinfo"), std::string::npos);
  r = run(VOP_SAVINFO, "--bogus x.sav");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("unknown option --bogus"), std::string::npos) << r.err;
  r = run(VOP_SAVINFO, std::string("'") + VOP_SOURCE_DIR + "/examples/survey.sav' ten");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(run(VOP_SAVINFO, "").status, 2);
  // A file that is not there is no usage error.
  EXPECT_EQ(run(VOP_SAVINFO, "missing.sav").status, 1);
}

// Everything vop-run writes to a terminal while it reads `input` there,
// up to `last`; then the terminal hangs up, which ends its input.
std::string on_terminal(const std::string& input, const std::string& last) {
  int master = -1;
  const pid_t pid = ::forkpty(&master, nullptr, nullptr, nullptr);
  if (pid == 0) {
    ::execl(VOP_RUN, VOP_RUN, "--no-startup", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  if (pid < 0) return "(no terminal)";
  EXPECT_EQ(::write(master, input.data(), input.size()), ssize_t(input.size()));
  std::string out;
  char buf[4096];
  while (out.find(last) == std::string::npos) {
    pollfd p{master, POLLIN, 0};
    if (::poll(&p, 1, 20000) <= 0) break;  // a hang ends the test, not the suite
    const ssize_t got = ::read(master, buf, sizeof buf);
    if (got <= 0) break;
    out.append(buf, size_t(got));
  }
  ::close(master);
  int status = 0;
  for (int i = 0; i < 500 && ::waitpid(pid, &status, WNOHANG) == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  if (::waitpid(pid, &status, WNOHANG) == 0) {
    ADD_FAILURE() << "vop-run did not end when its terminal hung up";
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
  }
  return out;
}

TEST_F(Cli, ThePromptTakesABlockOverSeveralLines) {
  const std::string out = on_terminal(
      "for i = 1:2\n"
      "  printf(\"i=%d\\n\", i)\n"
      "end\n"
      "x = [1 2\n"
      "3 4]\n"
      "y = (1 +\n"
      "\n",
      "error 31");
  // The loop ran once its end was typed, each pass printing.
  EXPECT_NE(out.find("i=1\r\ni=2"), std::string::npos) << out;
  EXPECT_NE(out.find("... "), std::string::npos) << out;
  // The matrix over two lines is one statement.
  EXPECT_NE(out.find("3         4"), std::string::npos) << out;
  // A blank line ends an open bracket; the run reports it where it began.
  EXPECT_NE(out.find("<stdin>:6: error 31"), std::string::npos) << out;
}

TEST_F(Cli, ALongRunShowsItsLineOnAStandardErrorTerminal) {
  // Standard error on a terminal, the results into a file.
  int master = -1, slave = -1;
  ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(slave, STDERR_FILENO);
    const int out = ::open((dir_ + "stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(out, STDOUT_FILENO);
    ::execl(VOP_RUN, VOP_RUN, "--no-startup", "-e", "x = 0;\nfor i = 1:1000000000\n  x = x + i;\nend\n",
            static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(slave);
  std::string err;
  char buf[512];
  while (err.find(", line ") == std::string::npos) {
    pollfd p{master, POLLIN, 0};
    if (::poll(&p, 1, 20000) <= 0) break;
    const ssize_t got = ::read(master, buf, sizeof buf);
    if (got <= 0) break;
    err.append(buf, size_t(got));
  }
  ::kill(pid, SIGTERM);
  int status = 0;
  ::waitpid(pid, &status, 0);
  ::close(master);
  EXPECT_NE(err.find("-e, line "), std::string::npos) << err;
  EXPECT_EQ(slurp(dir_ + "stdout").find('\r'), std::string::npos);
}

TEST_F(Cli, SigtermEndsARedirectedRunWithItsDocumentAndNoTemporaryFile) {
  const std::string tmp = dir_ + "tmp";
  fs::create_directories(tmp);
  const std::string env_tmp = "TMPDIR=" + tmp;
  std::vector<std::string> args = {VOP_RUN, "--no-startup", "--rtf", dir_ + "out.rtf", "-e",
                                   "printf(\"before\\n\")\nfor i = 1:1000000000\n  x = i;\nend\n"};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> env_text = {env_tmp};
  for (char** e = environ; *e; ++e)
    if (std::string(*e).rfind("TMPDIR=", 0) != 0) env_text.emplace_back(*e);
  std::vector<char*> envp;
  for (std::string& e : env_text) envp.push_back(e.data());
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, (dir_ + "stdout").c_str(), O_WRONLY | O_CREAT, 0644);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, (dir_ + "stderr").c_str(), O_WRONLY | O_CREAT, 0644);
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, VOP_RUN, &actions, nullptr, argv.data(), envp.data()), 0);
  posix_spawn_file_actions_destroy(&actions);
  // Wait until the run is under way: its redirect file exists.
  for (int i = 0; i < 1000 && fs::is_empty(tmp); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_FALSE(fs::is_empty(tmp));
  // Most likely inside the loop by then; a signal before the run began ends
  // the program as well, without the run.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ::kill(pid, SIGTERM);
  int raw = 0;
  ASSERT_EQ(::waitpid(pid, &raw, 0), pid);
  ASSERT_TRUE(WIFEXITED(raw));
  EXPECT_EQ(WEXITSTATUS(raw), 128 + SIGTERM);
  const std::string doc = slurp(dir_ + "out.rtf");
  EXPECT_EQ(doc.rfind("{\\rtf", 0), 0u) << doc.substr(0, 40);
  if (doc.find("before") != std::string::npos) {
    EXPECT_NE(doc.find("Process is stopped by the user"), std::string::npos);
  }
  EXPECT_TRUE(fs::is_empty(tmp)) << "a temporary file was left behind";
}

TEST_F(Cli, TheReferenceAnswersOnTheCommandLineAndAtThePrompt) {
  Result r = run(VOP_RUN, "--help-on sqrt");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("sqrt"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Arguments: 1. Results: 1."), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("```"), std::string::npos) << "markdown fences at a terminal";
  r = run(VOP_RUN, "--help-on 'error 68'");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("Index, argument is out of range"), std::string::npos) << r.out;
  r = run(VOP_RUN, "--help-on nosuchname");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("no entry for 'nosuchname'"), std::string::npos) << r.err;
  EXPECT_EQ(run(VOP_RUN, "--help-on").status, 2);
  EXPECT_NE(run(VOP_RUN, "--help").err.find("--help-on NAME"), std::string::npos);

  // At the prompt: an entry, then the reference's start; a statement that
  // begins with the word help is still a statement.
  const std::string out = on_terminal("help = 4\nhelp strcat\nhelp\n", "prints it.");
  EXPECT_NE(out.find("         4"), std::string::npos) << out;
  EXPECT_NE(out.find("Joins strings element by element"), std::string::npos) << out;
  EXPECT_NE(out.find("The Vop reference"), std::string::npos) << out;
}

}  // namespace
}  // namespace vop
