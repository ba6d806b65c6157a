// The redirected run of vop-run: `--rtf FILE` or `--excel-html FILE` sends
// the output of the runs into a temporary "vop" file, as the desktop
// program's redirect commands do, and writes the RTF document or the
// Excel-HTML workbook to FILE afterwards. `--xlsx FILE` runs as
// `--excel-html` does and writes a native workbook built from the same
// output instead (FILE ending in ".xls" or ".html": the Excel-HTML workbook
// itself). `--docx FILE` and `--docx-charts FILE` run as `--rtf` does
// (the second with the chart builtins on) and write a Word document built
// from the same output, with the language template from the program's
// Syntax folder.
#pragma once

#include <string>

#include "session/office_export.h"

namespace vop {

class Session;

class RunRedirect {
 public:
  // Takes option argv[*i] if it is a redirect option, consuming its file
  // argument. Returns false with a message in `error` for a bad use
  // (missing file, a second redirect); `*taken` says whether it was ours.
  bool parse(int argc, char** argv, int* i, bool* taken, std::string* error);
  bool wanted() const { return !path_.empty(); }

  // Opens the redirect before the runs (the console shows the table count
  // as a progress line when stderr is a terminal). False with a message on
  // stderr when no temporary file can be made.
  bool arm(Session& session);
  // Writes the document after the runs; `failed_run` says whether a run
  // reported an error (its report is inside the document). False, with a
  // message on stderr, when the document could not be written; an existing
  // file is then left as it was. `--xlsx` and `--docx` print the file's
  // path.
  bool save(Session& session, bool failed_run, const std::string& program_dir);

 private:
  std::string path_;   // the document to write; empty: no redirect
  DocumentFormat format_ = DocumentFormat::Rtf;
  bool charts_ = false;    // the chart builtins are on (--docx-charts)
  bool announce_ = false;  // print the path once written (--xlsx, --docx)
  RunExport export_;
};

}  // namespace vop
