#include "shell/file_commands.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStatusBar>
#include <QTextEdit>

#include <iterator>

#include "core/errors.h"
#include "data/data_builtins.h"
#include "session/session.h"
#include "shell/output_frame.h"
#include "shell/output_io.h"
#include "shell/syntax_frame.h"
#include "shell/vop_app.h"

namespace vop::shell {

namespace {

constexpr FileDialogSpec kDialogs[] = {
    {false, "Open output file", "Output file (*.rtf);;All Files (*)", "rtf"},
    {false, "Open syntax file", "Syntax file (*.s);;All Files (*)", "s"},
    {false, "Open SPSS Data", "SPSS Data file (*.sav);;All Files (*)", "sav"},
    {true, "Save as output file", "Output Rich Text file (*.rtf);;Output Text file (*.txt);;All Files (*)", "rtf"},
    {true, "Save as syntax file", "Syntax file (*.s);;All Files (*)", "s"},
    {true, "Save as dataset", "SPSS Statistics (*.sav);;All Files (*)", "sav"},
    {true, "Save Output file", "Word Document (*.docx);;Rich Text Document (*.rtf *.doc);;All Files (*)", "docx"},
    {true, "Save Output file", "Rich Text Document (*.rtf);;All Files (*)", "rtf"},
    {true, "Save Output file", "Excel Workbook (*.xlsx);;Excel-HTML Workbook (*.xls *.html);;All Files (*)",
     "xlsx"},
    {true, "Save Excel Syntax generator", "Excel Workbook (*.xlsx);;All Files (*)", "xlsx"},
};

constexpr const char* kOutputSuffix = " - Vop Output";
constexpr const char* kSyntaxSuffix = " - Vop Syntax";

QString file_title(const QString& path, const char* suffix) {
  return QFileInfo(path).fileName() + QLatin1String(suffix);
}

void refuse_during_run(Frame& frame) {
  frame.statusBar()->showMessage(QStringLiteral("Wait until the run has ended"), 5000);
}

}  // namespace

const FileDialogSpec& file_dialog_spec(FileDialog d) { return kDialogs[int(d)]; }

QString ask_path(Frame& over, FileDialog d) {
  const FileDialogSpec& s = file_dialog_spec(d);
  static_assert(std::size(kDialogs) == size_t(FileDialog::SaveGenerator) + 1);
  QFileDialog dialog(&over, QString::fromUtf8(s.title), QFileInfo(over.file_path()).path(),
                     QString::fromUtf8(s.filter));
  dialog.setAcceptMode(s.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(s.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::ReadOnly, false);
  // Saving a dataset over its file is the usual case and asks nothing.
  dialog.setOption(QFileDialog::DontConfirmOverwrite, d == FileDialog::SaveDatasetAs);
  dialog.setDefaultSuffix(QString::fromLatin1(s.suffix));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

// --- Output files -------------------------------------------------------------

OutputFrame* open_output_file(VopApp& app, const QString& path) {
  OutputFrame* before = app.designated_output();
  OutputFrame* frame = app.new_output();
  QString error;
  if (!load_output(*frame->text_edit()->document(), path, &error)) {
    app.message(frame, error);
  } else {
    frame->set_file_path(path);
    frame->setWindowTitle(file_title(path, kOutputSuffix));
    app.recent().add(RecentKind::Output, path);
  }
  if (before) app.designate(*before);
  return frame;
}

bool save_output_as(OutputFrame& frame, const QString& path) {
  frame.set_file_path(path);
  frame.setWindowTitle(file_title(path, kOutputSuffix));
  return save_output(frame);
}

bool save_output(OutputFrame& frame) {
  if (frame.file_path().isEmpty()) {
    const QString path = frame.app().ask_file(frame, FileDialog::SaveOutputAs);
    return !path.isEmpty() && save_output_as(frame, path);
  }
  QString error;
  if (save_output(*frame.text_edit()->document(), frame.file_path(), &error)) {
    frame.app().recent().add(RecentKind::Output, frame.file_path());
    return true;
  }
  frame.app().message(&frame, error);
  return false;
}

// --- Syntax files -------------------------------------------------------------

SyntaxFrame* open_syntax_file(VopApp& app, Frame& from, const QString& path) {
  QString text, error;
  if (!read_text_file(path, &text, &error)) {
    app.message(&from, error);
    return nullptr;
  }
  // A syntax window that already holds a script keeps it: the file goes to
  // a new window. From an output window a new one is always made.
  SyntaxFrame* before = app.designated_syntax();
  const bool make_new =
      from.kind() == FrameKind::Output || !before || !before->text().isEmpty();
  if (make_new) app.new_syntax();
  SyntaxFrame* target = app.designated_syntax();
  target->set_text(text);
  target->set_modified(false);
  target->set_file_path(path);
  target->setWindowTitle(file_title(path, kSyntaxSuffix));
  app.recent().add(RecentKind::Syntax, path);
  if (make_new && before) app.designate(*before);
  else app.designate(*target);
  return target;
}

bool save_syntax_as(SyntaxFrame& frame, const QString& path) {
  frame.set_file_path(path);
  frame.setWindowTitle(file_title(path, kSyntaxSuffix));
  return save_syntax(frame);
}

bool save_syntax(SyntaxFrame& frame) {
  if (frame.file_path().isEmpty()) {
    const QString path = frame.app().ask_file(frame, FileDialog::SaveSyntaxAs);
    return !path.isEmpty() && save_syntax_as(frame, path);
  }
  QString error;
  if (!write_text_file(frame.file_path(), frame.text(), &error)) {
    frame.app().message(&frame, error);
    return false;
  }
  frame.set_modified(false);
  frame.app().recent().add(RecentKind::Syntax, frame.file_path());
  return true;
}

// --- Data ---------------------------------------------------------------------

bool open_spss_data(VopApp& app, const QString& path) {
  if (!app.idle()) {
    if (app.designated_output()) refuse_during_run(*app.designated_output());
    return false;
  }
  app.ensure_output();
  Session& s = app.session();
  const bool ok = s.open_data(path.toStdString(), false);
  if (!ok) {
    Interpreter& in = s.interpreter();
    report_error(in.error(), {}, in.search_path(), in.out());
    in.error().clear();
    // The loading lines follow with the empty dataset's counts. The path is
    // not kept as the dataset's name: a later Save Dataset must not write
    // over the file that failed to load.
    write_load_report(in, path.toStdString());
  }
  app.drain_output();
  app.refresh_variables();
  if (ok) app.recent().add(RecentKind::Data, path);
  return ok;
}

void open_recent(Frame& from, const RecentFile& file) {
  switch (file.kind) {
    case RecentKind::Output: open_output_file(from.app(), file.path); break;
    case RecentKind::Syntax: open_syntax_file(from.app(), from, file.path); break;
    case RecentKind::Data: open_spss_data(from.app(), file.path); break;
  }
}

std::string data_save_text(const QString& path) {
  std::string escaped;
  for (char c : path.toStdString()) {
    escaped += c;
    if (c == '\\') escaped += '\\';
  }
  return "DataSave(\"" + escaped + "\");";
}

bool save_dataset(Frame& frame) {
  VopApp& app = frame.app();
  if (!app.idle()) {
    refuse_during_run(frame);
    return false;
  }
  if (app.session().dataset().file_name()) return app.run_command_text("DataSave()", true);
  const QString path = frame.app().ask_file(frame, FileDialog::SaveDatasetAs);
  return !path.isEmpty() && save_dataset_as(app, path);
}

bool save_dataset_as(VopApp& app, const QString& path) {
  return app.run_command_text(data_save_text(path), false);
}

// --- Commands -------------------------------------------------------------------

void open_output_command(Frame& frame) {
  const QString path = frame.app().ask_file(frame, FileDialog::OpenOutput);
  if (!path.isEmpty()) open_output_file(frame.app(), path);
}

void open_syntax_command(Frame& frame) {
  const QString path = frame.app().ask_file(frame, FileDialog::OpenSyntax);
  if (!path.isEmpty()) open_syntax_file(frame.app(), frame, path);
}

void open_data_command(Frame& frame) {
  if (!frame.app().idle()) return refuse_during_run(frame);
  const QString path = frame.app().ask_file(frame, FileDialog::OpenData);
  if (!path.isEmpty()) open_spss_data(frame.app(), path);
}

void save_command(Frame& frame) {
  if (frame.kind() == FrameKind::Output) save_output(static_cast<OutputFrame&>(frame));
  else save_syntax(static_cast<SyntaxFrame&>(frame));
}

void save_as_command(Frame& frame) {
  const bool output = frame.kind() == FrameKind::Output;
  const QString path = frame.app().ask_file(frame, output ? FileDialog::SaveOutputAs : FileDialog::SaveSyntaxAs);
  if (path.isEmpty()) return;
  if (output) save_output_as(static_cast<OutputFrame&>(frame), path);
  else save_syntax_as(static_cast<SyntaxFrame&>(frame), path);
}

void save_dataset_as_command(Frame& frame) {
  if (!frame.app().idle()) return refuse_during_run(frame);
  const QString path = frame.app().ask_file(frame, FileDialog::SaveDatasetAs);
  if (!path.isEmpty()) save_dataset_as(frame.app(), path);
}

}  // namespace vop::shell
