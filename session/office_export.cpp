#include "session/office_export.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "builtins/library.h"
#include "document/ascii_case.h"
#include "data/dataset.h"
#include "office/docx_writer.h"
#include "office/syntax_generator.h"
#include "office/xlsx_writer.h"
#include "output/run_counts.h"
#include "output/save_document.h"
#include "session/session.h"

namespace vop {

namespace {

std::string syntax_file(const std::string& program_dir, const char* name) {
  return (std::filesystem::path(program_dir) / "Syntax" / name).string();
}

}  // namespace

DocumentFormat format_for_path(bool excel, std::string_view path) {
  if (excel)
    return ends_with_ascii_nocase(path, ".xls") || ends_with_ascii_nocase(path, ".html") ? DocumentFormat::ExcelHtml
                                                                             : DocumentFormat::Xlsx;
  return ends_with_ascii_nocase(path, ".rtf") || ends_with_ascii_nocase(path, ".doc") ? DocumentFormat::Rtf
                                                                          : DocumentFormat::Docx;
}

RunExport::~RunExport() { abandon(); }

bool RunExport::arm(Session& session, bool excel, bool charts) {
  abandon();
  OutputStream& out = session.output();
  if (!out.arm_redirect(excel)) return false;
  recorded_.events.clear();
  out.attach_word(&recorded_);
  session.interpreter().extension<SessionSettings>().word_with_charts = charts;
  session_ = &session;
  excel_ = excel;
  return true;
}

int RunExport::tables() const {
  int n = 0;
  for (const OutputEvent& e : recorded_.events) n += std::holds_alternative<TableBlock>(e);
  return n;
}

int RunExport::charts() const {
  int n = 0;
  for (const OutputEvent& e : recorded_.events) n += std::holds_alternative<ChartBlock>(e);
  return n;
}

bool RunExport::save(const std::string& path, DocumentFormat format, const std::string& program_dir,
                     std::string* why, const Progress& progress) {
  if (!session_) {
    *why = "no redirected output to save";
    return false;
  }
  const bool excel_format = format == DocumentFormat::ExcelHtml || format == DocumentFormat::Xlsx;
  if (excel_format != excel_) {
    *why = excel_ ? "the output was redirected to Excel" : "the output was redirected to Word";
    return false;
  }
  OutputStream& out = session_->output();
  // The blocks are all recorded once the run has ended.
  out.attach_word(nullptr);
  bool ok = false;
  switch (format) {
    case DocumentFormat::Rtf:
    case DocumentFormat::ExcelHtml:
      errno = 0;
      ok = WriteRedirectDocument(out, path);
      if (!ok) {
        std::error_code ec;
        *why = "cannot write " + path + ": " + std::strerror(errno ? errno : EIO) +
               (std::filesystem::exists(path, ec) ? " (the existing file is unchanged)" : "");
      }
      break;
    case DocumentFormat::Xlsx:
      ok = write_xlsx(path, recorded_.events, why, installation_id());
      break;
    case DocumentFormat::Docx: {
      DocxOptions options;
      options.language = session_->interpreter().extension<SessionSettings>().language + 1;
      options.template_path = word_template_path(program_dir, options.language);
      options.installation_id = installation_id();
      options.progress = progress;
      ok = write_docx(path, recorded_.events, options, why);
      break;
    }
  }
  if (!ok) return false;
  abandon();
  return true;
}

void RunExport::abandon() {
  if (!session_) return;
  OutputStream& out = session_->output();
  out.attach_word(nullptr);
  out.close_redirect();
  out.finish_counts();
  session_->interpreter().extension<SessionSettings>().word_with_charts = false;
  recorded_.events.clear();
  recorded_.events.shrink_to_fit();
  session_ = nullptr;
}

std::string word_template_path(const std::string& program_dir, int language) {
  return syntax_file(program_dir, docx_template_name(language));
}

bool write_generator_workbook(const std::string& path, const Dataset& data, const std::string& program_dir,
                              std::string* why) {
  std::vector<GeneratorVariable> vars;
  for (int i = 0; i < data.variable_count(); ++i) {
    const DataVariable& v = data.variable(i);
    if (!v.numeric()) continue;
    GeneratorVariable g;
    g.position = i + 1;
    g.label = v.label.value_or(std::string());
    g.name = v.name();
    for (const ValueLabel& l : v.value_labels) g.value_labels.emplace_back(l.value, l.text);
    vars.push_back(std::move(g));
  }
  std::error_code ec;
  std::string header = syntax_file(program_dir, "generator_header.txt");
  if (program_dir.empty() || !std::filesystem::is_regular_file(header, ec)) header.clear();
  return write_syntax_generator(path, vars, header, why);
}

}  // namespace vop
