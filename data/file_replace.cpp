#include "data/file_replace.h"

#include <sys/stat.h>
#include <unistd.h>

namespace vop {

namespace {
// Mode of a newly made file before the umask: what fopen would give.
constexpr mode_t kNewFileMode = 0666;

mode_t current_umask() {
  const mode_t m = umask(0);
  umask(m);
  return m;
}
}  // namespace

bool replace_file(const std::string& path, const std::function<bool(std::FILE*)>& write) {
  // A temporary beside the target, so that the rename cannot cross devices.
  std::string tmp = path + ".vopXXXXXX";
  const int fd = mkstemp(tmp.data());
  if (fd < 0) return false;
  // mkstemp makes the file private; keep the mode of the file replaced, or
  // give a new file the usual one.
  struct stat st{};
  const mode_t mode = stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777)
                                                   : (kNewFileMode & ~current_umask());
  fchmod(fd, mode);
  std::FILE* f = fdopen(fd, "wb");
  if (!f) {
    close(fd);
    unlink(tmp.c_str());
    return false;
  }
  bool ok = write(f) && std::fflush(f) == 0 && !std::ferror(f);
  ok = std::fclose(f) == 0 && ok;
  if (ok) ok = std::rename(tmp.c_str(), path.c_str()) == 0;
  if (!ok) unlink(tmp.c_str());
  return ok;
}

}  // namespace vop
