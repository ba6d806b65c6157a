// Saving onto links, special files and existing files: each case in a fresh
// directory of its own.
#include "core/save_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "file_text.h"

namespace vop {
namespace {

namespace fs = std::filesystem;
using test::slurp;

// A save that a blocked FIFO would hang ends the test program instead.
constexpr unsigned kHangSeconds = 20;

bool put(std::FILE* f, const std::string& text) {
  return std::fwrite(text.data(), 1, text.size(), f) == text.size();
}

bool save(const std::string& path, const std::string& text) {
  return save_file(path, [&](std::FILE* f) { return put(f, text); });
}

mode_t mode_of(const std::string& path) {
  struct stat st{};
  EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
  return st.st_mode;
}

class SaveFile : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string templ = (fs::path(::testing::TempDir()) / "save_fileXXXXXX").string();
    ASSERT_NE(::mkdtemp(templ.data()), nullptr);
    dir_ = templ;
    old_umask_ = ::umask(022);
    alarm(kHangSeconds);
  }
  void TearDown() override {
    alarm(0);
    ::umask(old_umask_);
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::string at(const std::string& name) const { return (dir_ / name).string(); }
  // Names in the directory other than `keep`: leftovers of a save.
  int others(std::initializer_list<std::string> keep) const {
    int n = 0;
    for (const auto& e : fs::directory_iterator(dir_)) {
      bool kept = false;
      for (const std::string& k : keep) kept = kept || e.path().filename() == k;
      n += !kept;
    }
    return n;
  }

  fs::path dir_;
  mode_t old_umask_ = 022;
};

TEST_F(SaveFile, NewFilesTakeTheirModeFromTheUmask) {
  for (const auto& [mask, mode] : {std::pair<mode_t, mode_t>{022, 0644}, {027, 0640}, {002, 0664},
                                   {077, 0600}}) {
    ::umask(mask);
    const std::string path = at("new" + std::to_string(mask));
    ASSERT_TRUE(save(path, "data"));
    EXPECT_EQ(mode_of(path) & 07777, mode) << "umask " << std::oct << mask;
    EXPECT_EQ(slurp(path), "data");
  }
}

TEST_F(SaveFile, AReplacedFileKeepsItsModeAndOwner) {
  for (const mode_t mode : {mode_t(0640), mode_t(0604), mode_t(0600), mode_t(0755)}) {
    const std::string path = at("old");
    ASSERT_TRUE(save(path, "before"));
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
    ASSERT_TRUE(save(path, "after"));
    EXPECT_EQ(mode_of(path) & 07777, mode) << std::oct << mode;
    EXPECT_EQ(slurp(path), "after");
  }
  if (geteuid() != 0) GTEST_SKIP() << "only root can give a file to another user";
  const std::string path = at("owned");
  ASSERT_TRUE(save(path, "before"));
  ASSERT_EQ(::chown(path.c_str(), 4321, 4322), 0);
  ASSERT_TRUE(save(path, "after"));
  struct stat st{};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, 4321u);
  EXPECT_EQ(st.st_gid, 4322u);
}

TEST_F(SaveFile, AFailedWriteLeavesTheOldFileAndNoTemporary) {
  const std::string path = at("keep");
  ASSERT_TRUE(save(path, "previous"));
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  EXPECT_FALSE(save_file(path, [](std::FILE* f) {
    put(f, "half");
    return false;
  }));
  EXPECT_EQ(slurp(path), "previous");
  EXPECT_EQ(mode_of(path) & 07777, 0640u);
  // Nor does a failed first save leave a file behind.
  EXPECT_FALSE(save_file(at("never"), [](std::FILE*) { return false; }));
  EXPECT_EQ(others({"keep"}), 0);
  // A folder that is not there: the system's reason comes back.
  errno = 0;
  EXPECT_FALSE(save(at("missing/file"), "x"));
  EXPECT_EQ(errno, ENOENT);
}

TEST_F(SaveFile, ALinkIsFollowedAndStaysALink) {
  const std::string file = at("data.sav");
  ASSERT_TRUE(save(file, "old"));
  ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
  ASSERT_EQ(::symlink("data.sav", at("link").c_str()), 0);
  ASSERT_TRUE(save(at("link"), "new"));
  EXPECT_TRUE(S_ISLNK(mode_of(at("link"))));
  EXPECT_EQ(fs::read_symlink(at("link")), "data.sav");
  EXPECT_EQ(slurp(file), "new");
  EXPECT_EQ(mode_of(file) & 07777, 0640u) << "the mode of the file, not of the link";
  EXPECT_EQ(others({"data.sav", "link"}), 0);
}

TEST_F(SaveFile, AChainOfLinksAndADanglingLinkReachTheirEnd) {
  // first -> sub/second -> third (relative to sub) -> ../end (an absolute path).
  fs::create_directory(dir_ / "sub");
  ASSERT_TRUE(save(at("end"), "old"));
  ASSERT_EQ(::symlink(at("end").c_str(), at("sub/third").c_str()), 0);
  ASSERT_EQ(::symlink("third", at("sub/second").c_str()), 0);
  ASSERT_EQ(::symlink("sub/second", at("first").c_str()), 0);
  ASSERT_TRUE(save(at("first"), "new"));
  EXPECT_EQ(slurp(at("end")), "new");
  for (const char* link : {"first", "sub/second", "sub/third"})
    EXPECT_TRUE(S_ISLNK(mode_of(at(link)))) << link;

  // A link to nothing yet makes the file it names, with a new file's mode.
  ::umask(027);
  ASSERT_EQ(::symlink("sub/fresh", at("dangling").c_str()), 0);
  ASSERT_TRUE(save(at("dangling"), "made"));
  EXPECT_TRUE(S_ISLNK(mode_of(at("dangling"))));
  EXPECT_EQ(slurp(at("sub/fresh")), "made");
  EXPECT_EQ(mode_of(at("sub/fresh")) & 07777, 0640u);

  // A loop is an error that leaves the links alone.
  ASSERT_EQ(::symlink("loop2", at("loop1").c_str()), 0);
  ASSERT_EQ(::symlink("loop1", at("loop2").c_str()), 0);
  errno = 0;
  EXPECT_FALSE(save(at("loop1"), "x"));
  EXPECT_EQ(errno, ELOOP);
  EXPECT_TRUE(S_ISLNK(mode_of(at("loop1"))));
  EXPECT_TRUE(S_ISLNK(mode_of(at("loop2"))));
}

TEST_F(SaveFile, AFifoIsWrittenInPlaceOnlyWhenSomeoneReads) {
  const std::string fifo = at("pipe");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  ASSERT_EQ(::symlink("pipe", at("to_pipe").c_str()), 0);

  // Nobody reads: refused at once, not a hang, and the FIFO stays.
  bool called = false;
  errno = 0;
  EXPECT_FALSE(save_file(fifo, [&](std::FILE*) {
    called = true;
    return true;
  }));
  EXPECT_EQ(errno, ENXIO);
  EXPECT_FALSE(called);
  EXPECT_TRUE(S_ISFIFO(mode_of(fifo)));
  EXPECT_EQ(others({"pipe", "to_pipe"}), 0);

  // A reader: the content goes through the FIFO, also by way of a link.
  const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  ASSERT_TRUE(save(at("to_pipe"), "through the pipe"));
  char buf[64] = {};
  EXPECT_EQ(::read(reader, buf, sizeof buf), ssize_t(16));
  EXPECT_EQ(std::string(buf), "through the pipe");
  EXPECT_TRUE(S_ISFIFO(mode_of(fifo)));
  EXPECT_TRUE(S_ISLNK(mode_of(at("to_pipe"))));

  // The reader goes away during the save: a failed save (EPIPE), and the
  // program lives on.
  const int late = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(late, 0);
  ::close(reader);
  EXPECT_FALSE(save_file(fifo, [&](std::FILE* f) {
    ::close(late);
    return put(f, "nobody hears this") && std::fflush(f) == 0;
  }));
  EXPECT_EQ(errno, EPIPE);
  EXPECT_TRUE(S_ISFIFO(mode_of(fifo)));
}

TEST_F(SaveFile, ACharacterDeviceIsWrittenAndNeverReplaced) {
  // A node of its own like /dev/null, so that a wrong save cannot harm the
  // system's. Making one needs root and a system that allows it.
  struct stat null_st{};
  if (::stat("/dev/null", &null_st) != 0 || !S_ISCHR(null_st.st_mode))
    GTEST_SKIP() << "/dev/null is not a character device";
  const std::string dev = at("null");
  if (::mknod(dev.c_str(), S_IFCHR | 0666, null_st.st_rdev) != 0)
    GTEST_SKIP() << "cannot make a device node here";
  ASSERT_EQ(::symlink("null", at("to_null").c_str()), 0);
  for (const char* target : {"null", "to_null"}) {
    EXPECT_TRUE(save(at(target), "discarded")) << target;
    struct stat st{};
    ASSERT_EQ(::stat(dev.c_str(), &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    EXPECT_EQ(st.st_rdev, null_st.st_rdev);
  }
  EXPECT_TRUE(S_ISLNK(mode_of(at("to_null"))));
  EXPECT_EQ(others({"null", "to_null"}), 0);
}

TEST_F(SaveFile, ADirectoryIsRefused) {
  fs::create_directory(dir_ / "folder");
  ASSERT_EQ(::symlink("folder", at("to_folder").c_str()), 0);
  for (const char* target : {"folder", "to_folder"}) {
    errno = 0;
    EXPECT_FALSE(save(at(target), "x")) << target;
    EXPECT_EQ(errno, EISDIR);
  }
  EXPECT_TRUE(fs::is_empty(dir_ / "folder"));
  EXPECT_EQ(others({"folder", "to_folder"}), 0);
}

}  // namespace
}  // namespace vop
