// What the dataset saves do with the place they write to (links, FIFOs,
// modes) in each format, and the warning of a value too long for a system
// file.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "script_fixture.h"

namespace vop::testing_data {
namespace {

namespace fs = std::filesystem;

// A save that a blocked FIFO would hang ends the test program instead.
constexpr unsigned kHangSeconds = 20;

mode_t mode_of(const std::string& path) {
  struct stat st{};
  EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
  return st.st_mode;
}

class DataSaveTarget : public ScriptTest {
 protected:
  DataSaveTarget() : old_umask_(::umask(022)) { alarm(kHangSeconds); }
  ~DataSaveTarget() override {
    alarm(0);
    ::umask(old_umask_);
  }
  mode_t old_umask_;
};

// One save in each format: the script that saves under `name`, and the name
// of the file it writes.
struct Format {
  const char* what;                                 // for the trace
  std::string (*save)(const std::string& path);     // the script that saves
  std::string (*open)(const std::string& path);     // ... and reads it back
  const char* file;  // the file written for the name "out.sav"
};

const Format kFormats[] = {
    {"system file", [](const std::string& p) { return "DataSave(\"" + p + "\")"; },
     [](const std::string& p) { return "DataOpen(\"" + p + "\")"; }, "out.sav"},
    {"native file", [](const std::string& p) { return "DataSave(\"" + p + "\", \"vop\")"; },
     [](const std::string& p) { return "DataOpen(\"" + p + "\", \"vop\")"; }, "out.sav"},
    {"tab file", [](const std::string& p) { return "DataSaveTab(\"" + p + "\")"; },
     [](const std::string& p) { return "DataClose\nDataOpenTab(\"" + p + "\")"; }, "out.tab"},
};

TEST_F(DataSaveTarget, EveryFormatSavesThroughALinkAndKeepsTheFilesMode) {
  ok("DataAddVar(\"a\")\nDataAddCase(2)\nData(1, 1) = 7");
  for (const Format& f : kFormats) {
    SCOPED_TRACE(f.what);
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "real");
    // A new file: the umask decides.
    ::umask(027);
    ok("Data(1, 1) = 7\n" + f.save(path("real/out.sav")));
    EXPECT_EQ(mode_of(path(std::string("real/") + f.file)) & 07777, 0640u);
    ::umask(022);
    // An existing file of an odd mode, saved by way of a link.
    const std::string real = path(std::string("real/") + f.file);
    ASSERT_EQ(::chmod(real.c_str(), 0604), 0);
    ASSERT_EQ(::symlink((std::string("real/") + f.file).c_str(), path(f.file).c_str()), 0);
    ok("Data(1, 1) = 8\n" + f.save(path("out.sav")));
    EXPECT_TRUE(S_ISLNK(mode_of(path(f.file))));
    EXPECT_EQ(mode_of(real) & 07777, 0604u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "real"), {}), 1) << "no temporary left";
    ok(f.open(real) + "\nx = Data(1, 1)");
    EXPECT_TRUE(SameNumbers(nums("x"), {8}));
  }
}

TEST_F(DataSaveTarget, AFifoWithoutReaderIsAnErrorNotAHang) {
  ok("DataAddVar(\"a\")\nDataAddCase(1)");
  for (const Format& f : kFormats) {
    SCOPED_TRACE(f.what);
    const std::string fifo = path(f.file);
    fs::remove(fifo);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    EXPECT_EQ(code(f.save(path("out.sav"))), kErrSpssFile);
    EXPECT_TRUE(S_ISFIFO(mode_of(fifo)));
  }
  // With a reader the data go through the FIFO.
  const std::string fifo = path("out.tab");
  const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  ok("Data(1, 1) = 5\nDataSaveTab(\"" + path("out.sav") + "\")");
  char buf[32] = {};
  EXPECT_EQ(::read(reader, buf, sizeof buf), ssize_t(9));
  EXPECT_EQ(std::string(buf), "5.000000\n");
  ::close(reader);
}

// The widest string a system file holds.
constexpr int kSavMaxString = 32767;

using DataSaveWarning = ScriptTest;

TEST_F(DataSaveWarning, ASystemFileSaveWarnsOncePerVariableOfACutValue) {
  ok("DataAddCVar(\"long\")\nDataAddCVar(\"short\")\nDataAddCVar(\"other\")\nDataAddCase(3)");
  Dataset& d = ds();
  d.variable(0).column.str()[0] = std::string(35000, 'a');
  d.variable(0).column.str()[1] = std::string(40000, 'b');
  d.variable(1).column.str()[0] = std::string(kSavMaxString, 'c');
  d.variable(2).column.str()[2] = std::string(32768, 'd');
  clear_out();
  ok("DataSave(\"" + path("cut.sav") + "\")");
  EXPECT_EQ(out(),
            "Warning: variable LONG: a value of 40000 bytes is cut to 32767 bytes.\n"
            "Warning: variable OTHER: a value of 32768 bytes is cut to 32767 bytes.\n");
  // The save still wrote, with the values cut.
  ok("DataOpen(\"" + path("cut.sav") + "\")\nl = Data(:, 1)\ns = Data(:, 2)");
  const std::vector<std::string> l = texts("l"), s = texts("s");
  ASSERT_EQ(l.size(), 3u);
  EXPECT_EQ(l[1], std::string(kSavMaxString, 'b'));
  EXPECT_EQ(s[0], std::string(kSavMaxString, 'c'));
  // Saving again under the stored name warns again, and a native file needs
  // no cut at all.
  ds().variable(0).column.str()[0] = std::string(33000, 'a');
  clear_out();
  ok("DataSave()");
  EXPECT_NE(out().find("Warning: variable LONG: a value of 33000 bytes is cut to 32767 bytes.\n"),
            std::string::npos)
      << out();
  clear_out();
  ok("DataSave(\"" + path("whole.vop") + "\", \"vop\")");
  EXPECT_EQ(out().find("Warning"), std::string::npos) << out();
}

}  // namespace
}  // namespace vop::testing_data
