#include "cli/redirect.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "output/output_stream.h"
#include "output/save_document.h"

namespace vop {

bool RunRedirect::parse(int argc, char** argv, int* i, bool* taken, std::string* error) {
  const char* opt = argv[*i];
  const bool rtf = !std::strcmp(opt, "--rtf");
  const bool html = !std::strcmp(opt, "--excel-html");
  *taken = rtf || html;
  if (!*taken) return true;
  if (*i + 1 >= argc || !*argv[*i + 1]) {
    *error = std::string(opt) + " needs a file name";
    return false;
  }
  if (wanted()) {
    *error = "only one of --rtf and --excel-html, once";
    return false;
  }
  path_ = argv[++*i];
  html_ = html;
  return true;
}

bool RunRedirect::arm(OutputStream& out) {
  if (!out.arm_redirect(html_)) {
    std::fprintf(stderr, "vop-run: cannot make a temporary file for the redirected output\n");
    return false;
  }
  return true;
}

bool RunRedirect::save(OutputStream& out, bool failed_run) {
  const int tables = out.documents().counts.tables;
  // The progress line was left open for the next count; end it.
  if (tables > 0 && ::isatty(STDERR_FILENO)) std::fputc('\n', stderr);
  errno = 0;
  if (!SaveRedirectDocument(out, path_)) {
    const int why = errno ? errno : EIO;
    std::error_code ec;
    const bool kept = std::filesystem::exists(path_, ec);
    std::fprintf(stderr, "vop-run: cannot write %s: %s%s\n", path_.c_str(), std::strerror(why),
                 kept ? " (the existing file is unchanged)" : "");
    return false;
  }
  if (failed_run)
    std::fprintf(stderr, "vop-run: a run reported an error; the report is in %s\n", path_.c_str());
  return true;
}

}  // namespace vop
