#include "cli/redirect.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "office/xlsx_writer.h"
#include "output/output_stream.h"
#include "output/save_document.h"

namespace vop {

bool RunRedirect::parse(int argc, char** argv, int* i, bool* taken, std::string* error) {
  const char* opt = argv[*i];
  const bool rtf = !std::strcmp(opt, "--rtf");
  const bool xlsx = !std::strcmp(opt, "--xlsx");
  const bool html = xlsx || !std::strcmp(opt, "--excel-html");
  *taken = rtf || html;
  if (!*taken) return true;
  if (*i + 1 >= argc || !*argv[*i + 1]) {
    *error = std::string(opt) + " needs a file name";
    return false;
  }
  if (wanted()) {
    *error = "only one of --rtf, --excel-html and --xlsx, once";
    return false;
  }
  path_ = argv[++*i];
  html_ = html;
  xlsx_ = xlsx && !path_.ends_with(".xls") && !path_.ends_with(".html");
  announce_ = xlsx;
  return true;
}

bool RunRedirect::arm(OutputStream& out) {
  if (!out.arm_redirect(html_)) {
    std::fprintf(stderr, "vop-run: cannot make a temporary file for the redirected output\n");
    return false;
  }
  if (xlsx_) out.attach_word(&recorded_);
  return true;
}

bool RunRedirect::save(OutputStream& out, bool failed_run) {
  const int tables = out.documents().counts.tables;
  // The progress line was left open for the next count; end it.
  if (tables > 0 && ::isatty(STDERR_FILENO)) std::fputc('\n', stderr);
  if (!(xlsx_ ? save_xlsx(out) : save_document(out))) return false;
  if (failed_run)
    std::fprintf(stderr, "vop-run: a run reported an error; the report is in %s\n", path_.c_str());
  if (announce_) std::printf("%s\n", path_.c_str());
  return true;
}

bool RunRedirect::save_document(OutputStream& out) {
  errno = 0;
  if (SaveRedirectDocument(out, path_)) return true;
  const int why = errno ? errno : EIO;
  std::error_code ec;
  const bool kept = std::filesystem::exists(path_, ec);
  std::fprintf(stderr, "vop-run: cannot write %s: %s%s\n", path_.c_str(), std::strerror(why),
               kept ? " (the existing file is unchanged)" : "");
  return false;
}

// The Excel-HTML file of the run is dropped: the workbook is built from
// the blocks the document consumer recorded.
bool RunRedirect::save_xlsx(OutputStream& out) {
  out.attach_word(nullptr);
  out.close_redirect();
  out.finish_counts();
  std::string why;
  if (write_xlsx(path_, recorded_.events, &why)) return true;
  std::fprintf(stderr, "vop-run: %s\n", why.c_str());
  return false;
}

}  // namespace vop
