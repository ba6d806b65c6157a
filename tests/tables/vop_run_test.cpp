// vop-run with --rtf and --excel-html: the runs' output becomes a document,
// a failed run still writes it, a failed save leaves the old file, and a
// save treats links, modes and FIFOs as every save does.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "file_text.h"

namespace vop {
namespace {

using test::slurp;

void spit(const std::string& path, const std::string& text) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr) << path;
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
}

struct Result {
  int status = -1;
  std::string out, err;
};

// Runs vop-run with `args` (shell words) from the source folder, with
// stdout and stderr kept apart (in files named after the test, as ctest
// runs tests side by side).
Result vop_run(const std::string& args) {
  const std::string base = ::testing::TempDir() + "vop_run_" +
                           ::testing::UnitTest::GetInstance()->current_test_info()->name();
  const std::string out = base + ".stdout", err = base + ".stderr";
  const std::string cmd = std::string("cd '") + VOP_SOURCE_DIR + "' && '" + VOP_RUN + "' --no-startup " +
                          args + " >'" + out + "' 2>'" + err + "' </dev/null";
  Result r;
  const int raw = std::system(cmd.c_str());
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = slurp(out);
  r.err = slurp(err);
  std::remove(out.c_str());
  std::remove(err.c_str());
  return r;
}

// Longer than any save may take.
constexpr unsigned kHangSeconds = 30;

const char* kTable = "-e 'heading(1, \"Survey\"); print([1 2; 3 4], [\"a\"; \"b\"], [\"x\" \"y\"])'";

TEST(VopRun, RtfAndExcelHtmlDocumentsHoldTheRunsOutput) {
  const std::string rtf = ::testing::TempDir() + "vop_cli.rtf";
  const std::string xls = ::testing::TempDir() + "vop_cli.xls";
  Result r = vop_run("--rtf '" + rtf + "' " + kTable);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "") << "the output went into the document";
  EXPECT_EQ(r.err, "") << "no progress line when stderr is no terminal";
  const std::string doc = slurp(rtf);
  EXPECT_TRUE(doc.starts_with("{\\rtf1")) << doc;
  EXPECT_NE(doc.find("{\\s1\\qc\\keepn\\b\\f0\\fs36\\scaps Survey\\par}"), std::string::npos);
  EXPECT_NE(doc.find("{\\ql b\\cell}{3.00\\cell}{4.00\\cell}"), std::string::npos);
  EXPECT_TRUE(doc.ends_with("\n}"));

  r = vop_run("--excel-html '" + xls + "' " + kTable + " -e 'printf(\"%d\\n\", outputType())'");
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string book = slurp(xls);
  EXPECT_TRUE(book.starts_with("<html")) << book.substr(0, 80);
  EXPECT_NE(book.find("<TD class=h1>Survey</TD>"), std::string::npos);
  EXPECT_NE(book.find("<TH scope='row'>b</TH><TD>   3.0000</TD><TD>   4.0000</TD>"), std::string::npos);
  EXPECT_TRUE(book.ends_with("</TABLE>3\n")) << "both runs write into one workbook";
  std::remove(rtf.c_str());
  std::remove(xls.c_str());
}

TEST(VopRun, AFailedRunStillWritesTheDocumentAndExitsOne) {
  const std::string rtf = ::testing::TempDir() + "vop_cli_failed.rtf";
  const Result r = vop_run("--rtf '" + rtf + "' -e 'print(1, [1])'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find(rtf), std::string::npos) << r.err;
  EXPECT_NE(slurp(rtf).find("ERROR : "), std::string::npos);
  std::remove(rtf.c_str());
}

// Runaway eval is an error like any other: the document holds its report.
TEST(VopRun, RunawayEvalIsReportedInTheDocument) {
  const std::string rtf = ::testing::TempDir() + "vop_cli_eval.rtf";
  const Result r = vop_run("--rtf '" + rtf + "' -e 'print(1); n=0; s=\"n = n + 1;\\nif n < 5000\\n eval(s)\\nend\"; eval(s)'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(slurp(rtf).find("ERROR :  code 802"), std::string::npos);
  std::remove(rtf.c_str());
}

TEST(VopRun, AFailedSaveIsAnErrorAndLeavesTheOldFile) {
  // A name so long that the temporary file beside it cannot be made.
  const std::string old = ::testing::TempDir() + std::string(250, 'd') + ".rtf";
  spit(old, "old contents");
  Result r = vop_run("--rtf '" + old + "' -e 'print(1)'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("cannot write"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("unchanged"), std::string::npos) << r.err;
  EXPECT_EQ(slurp(old), "old contents");
  std::remove(old.c_str());

  r = vop_run("--excel-html /nonexistent-vop-dir/out.xls -e 'print(1)'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("/nonexistent-vop-dir/out.xls"), std::string::npos) << r.err;
}

TEST(VopRun, DocumentsGoThroughLinksKeepModesAndNeverReplaceAFifo) {
  std::string dir = ::testing::TempDir() + "vop_run_targetsXXXXXX";
  ASSERT_NE(::mkdtemp(dir.data()), nullptr);
  const mode_t old_umask = ::umask(027);
  // A new document: the umask decides its mode, as for any file.
  Result r = vop_run("--rtf '" + dir + "/new.rtf' -e 'print(1)'");
  EXPECT_EQ(r.status, 0) << r.err;
  struct stat st{};
  ASSERT_EQ(::stat((dir + "/new.rtf").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);

  // An existing workbook of an odd mode, reached by a link.
  spit(dir + "/book.xls", "old");
  ASSERT_EQ(::chmod((dir + "/book.xls").c_str(), 0604), 0);
  ASSERT_EQ(::symlink("book.xls", (dir + "/link.xls").c_str()), 0);
  r = vop_run("--excel-html '" + dir + "/link.xls' -e 'print(1)'");
  EXPECT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(::lstat((dir + "/link.xls").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(::stat((dir + "/book.xls").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0604u);
  EXPECT_TRUE(slurp(dir + "/book.xls").starts_with("<html"));

  // A FIFO nobody reads: an error at once, and the FIFO stays. Should the
  // save wait for a reader, the alarm ends the test program.
  const std::string fifo = dir + "/pipe.rtf";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  alarm(kHangSeconds);
  r = vop_run("--rtf '" + fifo + "' -e 'print(1)'");
  alarm(0);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("cannot write"), std::string::npos) << r.err;
  ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));

  ::umask(old_umask);
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
}

TEST(VopRun, BadRedirectOptionsAreUsageErrors) {
  for (const char* args : {"-e 1 --rtf", "--rtf '' -e 1", "--rtf a.rtf --excel-html b.xls -e 1",
                           "--rtf a.rtf --rtf b.rtf -e 1"}) {
    const Result r = vop_run(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_NE(r.err.find("usage"), std::string::npos) << args;
  }
}

TEST(VopRun, TheSampleTablesScriptWritesBothDocuments) {
  for (const char* kind : {"--rtf", "--excel-html"}) {
    const std::string path = ::testing::TempDir() + "vop_sample_tables";
    const Result r = vop_run(std::string(kind) + " '" + path + "' examples/tables.s");
    EXPECT_EQ(r.status, 0) << kind << r.err;
    EXPECT_GT(slurp(path).size(), 1000u) << kind;
    std::remove(path.c_str());
  }
}

}  // namespace
}  // namespace vop
