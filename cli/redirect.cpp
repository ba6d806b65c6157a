#include "cli/redirect.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "session/session.h"

namespace vop {

bool RunRedirect::parse(int argc, char** argv, int* i, bool* taken, std::string* error) {
  const char* opt = argv[*i];
  const bool charts = !std::strcmp(opt, "--docx-charts");
  const bool docx = charts || !std::strcmp(opt, "--docx");
  const bool rtf = docx || !std::strcmp(opt, "--rtf");
  const bool xlsx = !std::strcmp(opt, "--xlsx");
  const bool html = xlsx || !std::strcmp(opt, "--excel-html");
  *taken = rtf || html;
  if (!*taken) return true;
  if (*i + 1 >= argc || !*argv[*i + 1]) {
    *error = std::string(opt) + " needs a file name";
    return false;
  }
  if (wanted()) {
    *error = "only one of --rtf, --excel-html, --xlsx, --docx and --docx-charts, once";
    return false;
  }
  path_ = argv[++*i];
  format_ = docx   ? DocumentFormat::Docx
            : xlsx ? format_for_path(true, path_)
            : html ? DocumentFormat::ExcelHtml
                   : DocumentFormat::Rtf;
  charts_ = charts;
  announce_ = xlsx || docx;
  return true;
}

bool RunRedirect::arm(Session& session) {
  const bool excel = format_ == DocumentFormat::ExcelHtml || format_ == DocumentFormat::Xlsx;
  if (!export_.arm(session, excel, charts_)) {
    std::fprintf(stderr, "vop-run: cannot make a temporary file for the redirected output\n");
    return false;
  }
  return true;
}

bool RunRedirect::save(Session& session, bool failed_run, const std::string& program_dir) {
  const int tables = session.output().documents().counts.tables;
  // The progress line was left open for the next count; end it.
  if (tables > 0 && ::isatty(STDERR_FILENO)) std::fputc('\n', stderr);
  std::string why;
  if (!export_.save(path_, format_, program_dir, &why)) {
    std::fprintf(stderr, "vop-run: %s\n", why.c_str());
    export_.abandon();
    return false;
  }
  if (failed_run)
    std::fprintf(stderr, "vop-run: a run reported an error; the report is in %s\n", path_.c_str());
  if (announce_) std::printf("%s\n", path_.c_str());
  return true;
}

}  // namespace vop
