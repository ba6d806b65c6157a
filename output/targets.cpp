#include "output/targets.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace vop {

std::unique_ptr<RedirectFile> RedirectFile::create(bool html) {
  std::error_code ec;
  std::filesystem::path dir = std::filesystem::temp_directory_path(ec);
  if (ec) dir = "/tmp";
  std::string templ = (dir / "vopXXXXXX").string();
  int fd = ::mkstemp(templ.data());
  if (fd < 0) return nullptr;
  std::FILE* f = ::fdopen(fd, "w+");
  if (!f) {
    ::close(fd);
    ::unlink(templ.c_str());
    return nullptr;
  }
  return std::unique_ptr<RedirectFile>(new RedirectFile(f, std::move(templ), html));
}

RedirectFile::~RedirectFile() {
  std::fclose(stream_);
  ::unlink(path_.c_str());
}

void RedirectFile::write(std::string_view bytes) {
  // Write errors are ignored: the run goes on and the document shows what
  // reached the file.
  std::fwrite(bytes.data(), 1, bytes.size(), stream_);
}

std::string RedirectFile::contents() {
  std::fflush(stream_);
  long end = std::ftell(stream_);
  std::string s;
  if (end <= 0) return s;
  s.resize(size_t(end));
  std::rewind(stream_);
  size_t got = std::fread(s.data(), 1, s.size(), stream_);
  s.resize(got);
  std::fseek(stream_, 0, SEEK_END);
  return s;
}

}  // namespace vop
