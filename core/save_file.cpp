// Written in the order of a save: find the file the path names (following
// links), then either write a special file directly or replace a regular
// file through a temporary beside it.
#include "core/save_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <ctime>
#include <vector>

namespace vop {

namespace {

// Links followed before a chain counts as a loop: the kernel's own limit.
constexpr int kMaxLinks = 40;
// Mode of a new file before the umask: what fopen gives, so a saved file is
// as readable as any other the user makes.
constexpr mode_t kNewFileMode = 0666;
// Names tried for the temporary before giving up; each is made with O_EXCL,
// so a clash only costs another try.
constexpr int kTempTries = 100;
constexpr int kTempSuffixLength = 6;

// The file a save lands on, after following links.
struct Target {
  std::string path;    // no link: the file itself, or where a new one goes
  bool exists = false; // false: a new file
  struct stat st {};   // when it exists: its lstat
};

// Follows `path` through symbolic links. False with errno on a loop or an
// unreadable link; a missing end of the chain is a new file, not a failure.
bool resolve(std::string path, Target* t) {
  for (int hops = 0;; ++hops) {
    if (::lstat(path.c_str(), &t->st) != 0) {
      if (errno != ENOENT) return false;
      t->path = std::move(path);
      t->exists = false;
      return true;
    }
    if (!S_ISLNK(t->st.st_mode)) {
      t->path = std::move(path);
      t->exists = true;
      return true;
    }
    if (hops == kMaxLinks) {
      errno = ELOOP;
      return false;
    }
    std::vector<char> buf(size_t(t->st.st_size > 0 ? t->st.st_size : PATH_MAX) + 1);
    const ssize_t n = ::readlink(path.c_str(), buf.data(), buf.size());
    if (n < 0) return false;
    if (size_t(n) >= buf.size()) {  // grew since lstat
      errno = ENAMETOOLONG;
      return false;
    }
    std::string to(buf.data(), size_t(n));
    if (to.empty()) {
      errno = ENOENT;
      return false;
    }
    // A relative link is relative to the directory that holds it.
    if (to[0] != '/') {
      const size_t slash = path.rfind('/');
      to = slash == std::string::npos ? to : path.substr(0, slash + 1) + to;
    }
    path = std::move(to);
  }
}

// Runs `write` on an open descriptor and closes it. False when anything
// failed; errno then says why when the system knew.
bool write_and_close(int fd, const std::function<bool(std::FILE*)>& write) {
  std::FILE* f = ::fdopen(fd, "wb");
  if (!f) {
    const int why = errno;
    ::close(fd);
    errno = why;
    return false;
  }
  errno = 0;
  bool ok = write(f) && std::fflush(f) == 0 && !std::ferror(f);
  const int why = errno;
  ok = std::fclose(f) == 0 && ok;
  if (!ok && why) errno = why;
  return ok;
}

// Special files -------------------------------------------------------------

// A reader that goes away mid-save raises SIGPIPE, which would end the whole
// program; held back, the write fails with EPIPE and the save reports it.
class HoldBrokenPipe {
 public:
  HoldBrokenPipe() {
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    sigset_t pending;
    sigpending(&pending);
    already_pending_ = sigismember(&pending, SIGPIPE) == 1;
    pthread_sigmask(SIG_BLOCK, &pipe, &old_);
  }
  ~HoldBrokenPipe() {
    // Consume the SIGPIPE this save caused, and only that one.
    if (!already_pending_) {
      sigset_t pipe;
      sigemptyset(&pipe);
      sigaddset(&pipe, SIGPIPE);
      const timespec now{0, 0};
      const int saved = errno;
      while (sigtimedwait(&pipe, nullptr, &now) == SIGPIPE) {
      }
      errno = saved;
    }
    pthread_sigmask(SIG_SETMASK, &old_, nullptr);
  }
  HoldBrokenPipe(const HoldBrokenPipe&) = delete;
  HoldBrokenPipe& operator=(const HoldBrokenPipe&) = delete;

 private:
  sigset_t old_;                  // the thread's mask before the save
  bool already_pending_ = false;  // a SIGPIPE not ours, left for its owner
};

// A FIFO or a character device is written in place: replacing it would put
// a plain file where a device node or a pipe stood. The open must not wait
// (a FIFO's writer waits for a reader, perhaps forever), so it is made
// non-blocking; once open, the writes may block again while the reader reads.
bool write_special(const Target& t, const std::function<bool(std::FILE*)>& write) {
  const int fd = ::open(t.path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat now {};
  const int flags = ::fcntl(fd, F_GETFL);
  // The node may have been swapped between the look and the open; writing
  // into whatever replaced it without truncating would mix two contents.
  if (::fstat(fd, &now) != 0 || now.st_dev != t.st.st_dev || now.st_ino != t.st.st_ino ||
      flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    ::close(fd);
    errno = EAGAIN;
    return false;
  }
  HoldBrokenPipe hold;
  return write_and_close(fd, write);
}

// Regular files -------------------------------------------------------------

std::string random_suffix() {
  static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  unsigned char bytes[kTempSuffixLength];
  if (::getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != ssize_t(sizeof bytes)) {
    // No entropy yet: the clock and the process are enough, O_EXCL does the rest.
    uint64_t x = uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                 (uint64_t(::getpid()) << 32);
    for (unsigned char& b : bytes) {
      x = x * 6364136223846793005u + 1442695040888963407u;
      b = (unsigned char)(x >> 56);
    }
  }
  std::string s;
  for (unsigned char b : bytes) s += kChars[b % (sizeof kChars - 1)];
  return s;
}

// Makes the temporary beside the target, so that the rename cannot cross
// devices. Made with open's mode, so the umask (and a default ACL) applies
// to a new file as to any other.
int make_temporary(const std::string& target, std::string* tmp) {
  for (int i = 0; i < kTempTries; ++i) {
    *tmp = target + ".vop" + random_suffix();
    const int fd = ::open(tmp->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool replace_regular(const Target& t, const std::function<bool(std::FILE*)>& write) {
  std::string tmp;
  const int fd = make_temporary(t.path, &tmp);
  if (fd < 0) return false;
  if (t.exists) {
    // The owner first: a change of owner clears set-id bits that the mode
    // then puts back. Only root may give a file away, so elsewhere the new
    // file stays the saver's; the mode must hold, or the save would widen
    // who can read the data.
    if (::fchown(fd, t.st.st_uid, t.st.st_gid) != 0) (void)::fchown(fd, uid_t(-1), t.st.st_gid);
    if (::fchmod(fd, t.st.st_mode & 07777) != 0) {
      const int why = errno;
      ::close(fd);
      ::unlink(tmp.c_str());
      errno = why;
      return false;
    }
  }
  bool ok = write_and_close(fd, write);
  if (ok) ok = std::rename(tmp.c_str(), t.path.c_str()) == 0;
  if (!ok) {
    const int why = errno;
    ::unlink(tmp.c_str());
    errno = why;
  }
  return ok;
}

}  // namespace

bool save_file(const std::string& path, const std::function<bool(std::FILE*)>& write) {
  Target t;
  if (path.empty()) {
    errno = ENOENT;
    return false;
  }
  if (!resolve(path, &t)) return false;
  if (!t.exists || S_ISREG(t.st.st_mode)) return replace_regular(t, write);
  if (S_ISFIFO(t.st.st_mode) || S_ISCHR(t.st.st_mode)) return write_special(t, write);
  // A directory cannot hold a save; a block device or a socket is no place
  // for one either, and overwriting a disk is never what a save means.
  errno = S_ISDIR(t.st.st_mode) ? EISDIR : ENOTSUP;
  return false;
}

}  // namespace vop
