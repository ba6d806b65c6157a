#include "shell/office_commands.h"

#include <QFileInfo>
#include <QStatusBar>

#include <string>

#include "session/office_export.h"
#include "session/session.h"
#include "shell/counts_dialog.h"
#include "shell/frame.h"
#include "shell/output_frame.h"
#include "shell/vop_app.h"

namespace vop::shell {

const char* const kExcelArmed = "Next output is redirected into Excel file.";
const char* const kWordArmed = "Next output is redirected into file.";
const char* const kWordChartsArmed = "Next output (with charts) is redirected into file.";
const char* const kNoTempFile = "Vop is faceing difficulties in makeing TMP file. Try again.";
const char* const kFileLocked = "This file is locked for editing, try with another one.";
const char* const kWordMissing = "Error starting Word.";

namespace {

void say(Frame* over, VopApp& app, const char* text) { app.message(over, QString::fromUtf8(text)); }

void arm(Frame& frame, bool excel, bool charts, const char* armed) {
  VopApp& app = frame.app();
  if (!app.idle()) {
    frame.statusBar()->showMessage(QStringLiteral("Wait until the run has ended"), 5000);
    return;
  }
  if (!app.office_export().arm(app.session(), excel, charts)) return say(&frame, app, kNoTempFile);
  app.drain_output();
  say(&frame, app, armed);
}

// The Word language template of the current language, which a .docx needs.
bool word_template_ready(VopApp& app) {
  const std::string path = word_template_path(app.program_dir().toStdString(), app.language());
  return QFileInfo(QString::fromStdString(path)).isReadable();
}

}  // namespace

void tables_in_excel(Frame& frame) { arm(frame, true, false, kExcelArmed); }
void word_without_charts(Frame& frame) { arm(frame, false, false, kWordArmed); }
void word_with_charts(Frame& frame) { arm(frame, false, true, kWordChartsArmed); }

void save_redirected_output(VopApp& app) {
  RunExport& out = app.office_export();
  Frame* over = app.designated_output();
  if (!over) over = &app.ensure_output();
  const bool excel = out.excel();
  // Without its template no Word document can be made: the RTF document
  // keeps the output instead.
  const bool rtf_only = !excel && !word_template_ready(app);
  if (rtf_only) say(over, app, kWordMissing);
  const FileDialog dialog =
      excel ? FileDialog::SaveExcelOutput : rtf_only ? FileDialog::SaveRtfOutput : FileDialog::SaveWordOutput;

  CountsDialog& counts = app.counts();
  const int tables = out.tables(), charts = out.charts();
  for (;;) {
    counts.hide();
    const QString path = app.ask_file(*over, dialog);
    if (path.isEmpty()) continue;  // the output must be saved somewhere
    const std::string file = path.toStdString();
    const DocumentFormat format = rtf_only ? DocumentFormat::Rtf : format_for_path(excel, file);
    RunExport::Progress progress;
    if (format == DocumentFormat::Docx) {
      counts.update_counts(tables, charts);
      progress = [&](int t, int c) {
        counts.update_counts(tables - t, charts - c);
        counts.repaint();
      };
    }
    std::string why;
    if (out.save(file, format, app.program_dir().toStdString(), &why, progress)) {
      counts.hide();
      app.drain_output();
      app.open_document(over, path);
      return;
    }
    over->statusBar()->showMessage(QString::fromStdString(why));
    say(over, app, kFileLocked);
  }
}

void excel_syntax_generator(Frame& frame) {
  VopApp& app = frame.app();
  if (!app.idle()) {
    frame.statusBar()->showMessage(QStringLiteral("Wait until the run has ended"), 5000);
    return;
  }
  for (;;) {
    const QString path = app.ask_file(frame, FileDialog::SaveGenerator);
    if (path.isEmpty()) return;
    std::string why;
    if (write_generator_workbook(path.toStdString(), app.session().dataset(), app.program_dir().toStdString(),
                                 &why)) {
      app.open_document(&frame, path);
      return;
    }
    frame.statusBar()->showMessage(QString::fromStdString(why));
    say(&frame, app, kFileLocked);
  }
}

}  // namespace vop::shell
