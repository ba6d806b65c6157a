// The file commands of both windows: their dialogs, and the operations
// behind them, which take a path so that they can be used without a
// dialog. Failures are shown through VopApp::message and lose nothing.
#pragma once

#include <QString>

#include <string>

#include "shell/recent_files.h"

namespace vop::shell {

class Frame;
class OutputFrame;
class SyntaxFrame;
class VopApp;

// The dialogs, with their titles and filters.
enum class FileDialog {
  OpenOutput, OpenSyntax, OpenData, SaveOutputAs, SaveSyntaxAs, SaveDatasetAs,
  SaveWordOutput,   // after a run redirected to Word
  SaveRtfOutput,    // ... when the Word template is missing: the RTF document
  SaveExcelOutput,  // after a run redirected to Excel
  SaveGenerator,    // the Excel syntax generator
};
struct FileDialogSpec {
  bool save;           // a save dialog (else an open dialog: the file must exist)
  const char* title;   // the dialog's caption
  const char* filter;  // Qt's form: "Desc (*.ext);;All Files (*)"
  const char* suffix;  // default extension
};
const FileDialogSpec& file_dialog_spec(FileDialog d);
// The chosen path; empty when the dialog was cancelled. The commands ask
// through VopApp::ask_file, which shows this dialog unless a test answers.
QString ask_path(Frame& over, FileDialog d);

// --- Operations ------------------------------------------------------------
// A new output window with the file's text; the designation stays where it
// was. nullptr when the file cannot be read.
OutputFrame* open_output_file(VopApp& app, const QString& path);
// The file into the designated syntax window, or a new one (see the .cpp).
SyntaxFrame* open_syntax_file(VopApp& app, Frame& from, const QString& path);
bool save_output(OutputFrame& frame);  // to its path, else Save As
bool save_output_as(OutputFrame& frame, const QString& path);
bool save_syntax(SyntaxFrame& frame);  // to its path, else Save As
bool save_syntax_as(SyntaxFrame& frame, const QString& path);
// Open a system file between runs; the load report (or the error) goes to
// the designated output window. False while a run goes on or on failure.
bool open_spss_data(VopApp& app, const QString& path);
// Opens an entry of "Recent Files" as its kind's Open command would.
void open_recent(Frame& from, const RecentFile& file);
// The text Save Dataset As runs: DataSave("path") with backslashes doubled.
std::string data_save_text(const QString& path);
// Save Dataset: DataSave() when the dataset has a file name, else the
// dialog of Save Dataset As. False when no run started.
bool save_dataset(Frame& frame);
bool save_dataset_as(VopApp& app, const QString& path);

// --- Commands (dialog, then the operation) ----------------------------------
void open_output_command(Frame& frame);
void open_syntax_command(Frame& frame);
void open_data_command(Frame& frame);
void save_command(Frame& frame);
void save_as_command(Frame& frame);
void save_dataset_as_command(Frame& frame);

}  // namespace vop::shell
