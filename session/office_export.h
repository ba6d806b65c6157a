// The Office export of a run, shared by the desktop program and vop-run.
//
// A redirect command arms the export before a run: the output stream opens
// its temporary "vop" file (RTF fragments for Word, Excel-HTML fragments
// for Excel) and the run's blocks are recorded as well, so that a native
// document can be built from the same output. After the run the export is
// saved in the format the file name asks for: the RTF document or the
// Excel-HTML workbook written from the temporary file, or a .docx or .xlsx
// built from the recorded blocks.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "document/output_event.h"

namespace vop {

class Dataset;
class Session;

// What a saved redirect becomes.
enum class DocumentFormat { Rtf, ExcelHtml, Docx, Xlsx };

// The format a file name asks for after a run redirected to Excel
// (`excel`) or to Word: ".xls" and ".html" keep the Excel-HTML workbook,
// ".rtf" and ".doc" the RTF document (both open in Word and LibreOffice);
// any other name gets the native workbook or document. In any case.
DocumentFormat format_for_path(bool excel, std::string_view path);

class RunExport {
 public:
  RunExport() = default;
  RunExport(const RunExport&) = delete;
  RunExport& operator=(const RunExport&) = delete;
  ~RunExport();

  // Arms the export for the session's next run; a second arm replaces the
  // first (its temporary file goes). `charts` turns the chart builtins on
  // (a Word export with charts). False when no temporary file can be made:
  // nothing is armed then.
  bool arm(Session& session, bool excel, bool charts);
  bool armed() const { return session_ != nullptr; }
  bool excel() const { return excel_; }

  // Tables and charts written so far while a document is saved, for the
  // counts that the save counts down.
  using Progress = std::function<void(int tables_done, int charts_done)>;

  // Saves the run's output to `path` as `format` (the Excel formats after
  // an Excel redirect, the Word ones after a Word redirect; any other
  // combination is refused). `program_dir` holds Syntax/ with the Word
  // language templates. An existing file is replaced only by a complete
  // document. False with the reason in `why` when the document could not be
  // written; the export stays armed then, so that another path can be
  // tried. On success the export is over and the counts end.
  bool save(const std::string& path, DocumentFormat format, const std::string& program_dir, std::string* why,
            const Progress& progress = {});

  // Ends the export without a document (the program is closing).
  void abandon();

  // The tables and charts the run wrote into the export.
  int tables() const;
  int charts() const;

 private:
  Session* session_ = nullptr;  // armed for this session; not owned
  bool excel_ = false;          // an Excel redirect, else Word
  RecordingConsumer recorded_;  // the run's blocks, for .docx and .xlsx
};

// The Word language template of a language (1 EN, 2 SR, 3 MK) in the
// Syntax folder of `program_dir`, which a .docx is made from.
std::string word_template_path(const std::string& program_dir, int language);

// Writes the Excel syntax generator workbook for the numeric variables of
// `data` to `path`, with the header file Syntax/generator_header.txt of
// `program_dir` when there is one. False with the reason in `why`.
bool write_generator_workbook(const std::string& path, const Dataset& data, const std::string& program_dir,
                              std::string* why);

}  // namespace vop
