#include "office/xlsx_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#include "core/save_file.h"
#include "document/text_encoding.h"

namespace vop {

namespace {

constexpr size_t kCellChars = 32767;  // what one cell holds

bool read_all(const std::string& path, std::vector<char>* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

}  // namespace

XlsxFile::XlsxFile() {
  std::error_code ec;
  std::filesystem::path dir = std::filesystem::temp_directory_path(ec);
  if (ec) dir = "/tmp";
  std::string name = (dir / "vopXXXXXX").string();
  const int fd = ::mkstemp(name.data());
  if (fd < 0) {
    failure_ = std::string("cannot make a temporary file: ") + std::strerror(errno);
    return;
  }
  ::close(fd);
  temp_ = name;
  workbook_ = workbook_new(temp_.c_str());
  if (!workbook_) failure_ = "cannot start a workbook";
}

XlsxFile::~XlsxFile() {
  if (workbook_) lxw_workbook_free(workbook_);
  if (!temp_.empty()) std::remove(temp_.c_str());
}

bool XlsxFile::save(const std::string& path, std::string* error) {
  auto fail = [&](const std::string& why) {
    if (error) *error = why;
    return false;
  };
  if (!workbook_) return fail(failure_);
  const lxw_error closed = workbook_close(workbook_);  // frees it either way
  workbook_ = nullptr;
  if (closed != LXW_NO_ERROR) return fail(std::string("cannot write the workbook: ") + lxw_strerror(closed));
  std::vector<char> bytes;
  if (!read_all(temp_, &bytes)) return fail("cannot read the workbook back from " + temp_);
  errno = 0;
  const bool saved = save_file(path, [&](std::FILE* f) {
    return std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  });
  if (!saved) {
    const int why = errno ? errno : EIO;
    std::error_code ec;
    const bool kept = std::filesystem::exists(path, ec);
    return fail("cannot write " + path + ": " + std::strerror(why) +
                (kept ? " (the existing file is unchanged)" : ""));
  }
  return true;
}

std::string xlsx_text(std::string_view text) {
  std::string s = clean_utf8(text);
  // Control characters other than tab and line feed are not XML: they show
  // as the replacement character.
  std::string out;
  out.reserve(s.size());
  size_t chars = 0;
  for (size_t i = 0; i < s.size() && chars < kCellChars; ++chars) {
    const unsigned char b = static_cast<unsigned char>(s[i]);
    size_t len = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    if (b < 0x20 && b != '\t' && b != '\n') {
      out += "\xEF\xBF\xBD";
    } else {
      out.append(s, i, len);
    }
    i += len;
  }
  return out;
}

}  // namespace vop
