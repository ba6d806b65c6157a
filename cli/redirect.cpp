#include "cli/redirect.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "builtins/library.h"
#include "office/docx_writer.h"
#include "office/xlsx_writer.h"
#include "output/output_stream.h"
#include "output/run_counts.h"
#include "session/session.h"
#include "output/save_document.h"

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
  html_ = html;
  xlsx_ = xlsx && !path_.ends_with(".xls") && !path_.ends_with(".html");
  docx_ = docx;
  charts_ = charts;
  announce_ = xlsx || docx;
  return true;
}

bool RunRedirect::arm(OutputStream& out, SessionSettings& settings) {
  if (!out.arm_redirect(html_)) {
    std::fprintf(stderr, "vop-run: cannot make a temporary file for the redirected output\n");
    return false;
  }
  if (xlsx_ || docx_) out.attach_word(&recorded_);
  settings_ = &settings;
  if (charts_) settings.word_with_charts = true;
  return true;
}

bool RunRedirect::save(OutputStream& out, bool failed_run) {
  const int tables = out.documents().counts.tables;
  // The progress line was left open for the next count; end it.
  if (tables > 0 && ::isatty(STDERR_FILENO)) std::fputc('\n', stderr);
  if (!(xlsx_ ? save_xlsx(out) : docx_ ? save_docx(out) : save_document(out))) return false;
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

// The RTF file of the run is dropped: the document is built from the
// blocks the document consumer recorded.
bool RunRedirect::save_docx(OutputStream& out) {
  out.attach_word(nullptr);
  out.close_redirect();
  out.finish_counts();
  DocxOptions options;
  options.language = settings_ ? settings_->language + 1 : 1;
  if (settings_) settings_->word_with_charts = false;
  options.template_path = program_directory() + "/Syntax/" + docx_template_name(options.language);
  options.installation_id = installation_id();
  std::string why;
  if (write_docx(path_, recorded_.events, options, &why)) return true;
  std::fprintf(stderr, "vop-run: %s\n", why.c_str());
  return false;
}

}  // namespace vop
