#include "shell/vop_app.h"

#include <QApplication>
#include <QDesktopServices>
#include <QIcon>
#include <QMenu>
#include <QMessageBox>
#include <QStatusBar>
#include <QUrl>

#include "builtins/gui_builtins.h"
#include "builtins/library.h"
#include "core/errors.h"
#include "session/session.h"
#include "shell/widgets/dataset_variables.h"
#include "shell/counts_dialog.h"
#include "shell/file_commands.h"
#include "shell/office_commands.h"
#include "shell/output_frame.h"
#include "shell/run_controller.h"
#include "shell/script_windows.h"
#include "shell/syntax_frame.h"

namespace vop::shell {

namespace {

SaveAnswer ask_to_save(SyntaxFrame& frame) {
  const auto answer = QMessageBox::question(
      &frame, QStringLiteral("Vop"),
      QStringLiteral("Save changes to %1?").arg(frame.windowTitle().remove(0, frame.marked() ? 1 : 0)),
      QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
  if (answer == QMessageBox::Save) return SaveAnswer::Save;
  if (answer == QMessageBox::Discard) return SaveAnswer::Discard;
  return SaveAnswer::Cancel;
}

void show_message(Frame* over, const QString& text) {
  QMessageBox box(QMessageBox::Information, QStringLiteral("Vop"), text, QMessageBox::Ok, over);
  box.raise();
  box.exec();
}

// The desktop's program for the file, where there is a desktop; the path
// in the status bar either way.
void open_with_desktop(Frame* over, const QString& path) {
  if (over) over->statusBar()->showMessage(QStringLiteral("Saved %1").arg(path));
  const QString platform = QGuiApplication::platformName();
  if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) return;
  QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace

VopApp::VopApp(AppOptions options)
    : options_(std::move(options)),
      recent_(options_.remember_geometry),
      queue_([this] { QMetaObject::invokeMethod(this, &VopApp::drain_output, Qt::QueuedConnection); }) {
  // Without a desktop's icon theme the toolbar takes Adwaita's icons, then
  // the style's own.
  if (QIcon::fallbackThemeName().isEmpty() || QIcon::fallbackThemeName() == QLatin1String("hicolor"))
    QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
  program_dir_ = options_.program_dir.isEmpty() ? QString::fromStdString(program_directory())
                                                : options_.program_dir;
  SessionOptions so;
  so.consumer = &queue_;
  so.program_dir = program_dir_.toStdString();
  session_ = make_session(so);
  session_->output().set_syntax(this);
  runs_ = std::make_unique<RunController>(*session_);
  runs_->after_run = [this] { finish_run(); };
  connect(runs_.get(), &RunController::run_finished, this, &VopApp::drain_output);
  connect(runs_.get(), &RunController::run_finished, this, &VopApp::refresh_variables);
  do_menu_ = std::make_unique<QMenu>(QStringLiteral("&Do"));
  counts_ = std::make_unique<CountsDialog>();
  windows_ = std::make_unique<ScriptWindows>(*this);
  set_gui_host(session_->interpreter(), windows_.get());
  // A run that waits for the UI thread must not be waited for in turn.
  runs_->waiting = [this](bool on) { windows_->refuse_calls(on); };
  save_prompt = ask_to_save;
  message = show_message;
  ask_file = ask_path;
  open_document = open_with_desktop;
}

VopApp::~VopApp() {
  // A run that is still going is not saved: nobody is there to ask.
  exiting_ = true;
  runs_->stop();
  runs_->wait();
  // Frames report their end to this object: they go while it is whole,
  // closed ones that wait for their deferred deletion too.
  for (const QPointer<Frame>& f : QList<QPointer<Frame>>(frames_)) delete f.data();
  set_gui_host(session_->interpreter(), nullptr);
  windows_.reset();
}

void VopApp::start() {
  OutputFrame& first = *new_output();
  if (options_.run_startup) {
    // On the UI thread, before any window can start a run.
    session_->run_startup();
    drain_output();
  }
  session_->output().documents().counts.finish();
  set_language(1);
  first.focus_text();
}

// --- Windows ----------------------------------------------------------------

void VopApp::add_frame(Frame& frame) {
  frames_.removeAll(nullptr);
  frames_.append(&frame);
  if (options_.show_windows) frame.show();
  designate(frame);
}

OutputFrame* VopApp::new_output() {
  auto* f = new OutputFrame(*this, next_output_++);
  outputs_.append(f);
  add_frame(*f);
  return f;
}

SyntaxFrame* VopApp::new_syntax() {
  auto* f = new SyntaxFrame(*this, next_syntax_++);
  syntaxes_.append(f);
  add_frame(*f);
  return f;
}

void VopApp::designate(Frame& frame) {
  if (frame.kind() == FrameKind::Output) {
    if (out_designated_) out_designated_->set_marked(false);
    out_designated_ = static_cast<OutputFrame*>(&frame);
  } else {
    if (syntax_designated_) syntax_designated_->set_marked(false);
    syntax_designated_ = static_cast<SyntaxFrame*>(&frame);
  }
  frame.set_marked(true);
}

OutputFrame& VopApp::ensure_output() {
  if (!out_designated_) new_output();
  return *out_designated_;
}

bool VopApp::may_close(Frame& frame) {
  if (exiting_) return true;
  if (&frame == out_designated_ && !idle()) {
    frame.statusBar()->showMessage(QStringLiteral("The output window is in use by a run"), 5000);
    return false;
  }
  if (frame.kind() == FrameKind::Syntax) {
    auto& syntax = static_cast<SyntaxFrame&>(frame);
    if (!syntax.modified()) return true;
    switch (save_prompt(syntax)) {
      case SaveAnswer::Save: return save_syntax(syntax);
      case SaveAnswer::Discard: return true;
      case SaveAnswer::Cancel: return false;
    }
  }
  return true;
}

void VopApp::frame_gone(Frame& frame) {
  if (frame.kind() == FrameKind::Output) {
    auto* out = static_cast<OutputFrame*>(&frame);
    if (outputs_.removeOne(out) && out == out_designated_)
      out_designated_ = outputs_.isEmpty() ? nullptr : outputs_.first();
  } else {
    auto* syntax = static_cast<SyntaxFrame*>(&frame);
    if (syntaxes_.removeOne(syntax) && syntax == syntax_designated_)
      syntax_designated_ = syntaxes_.isEmpty() ? nullptr : syntaxes_.first();
  }
}

bool VopApp::exit() {
  // Every question first, so that a Cancel leaves all windows open.
  for (SyntaxFrame* s : QList<SyntaxFrame*>(syntaxes_)) {
    if (!s->modified()) continue;
    const SaveAnswer a = save_prompt(*s);
    if (a == SaveAnswer::Cancel || (a == SaveAnswer::Save && !save_syntax(*s))) return false;
    s->set_modified(false);
  }
  exiting_ = true;
  counts_->hide();
  runs_->stop();
  QList<Frame*> frames(syntaxes_.begin(), syntaxes_.end());
  frames.append(QList<Frame*>(outputs_.begin(), outputs_.end()));
  for (Frame* f : frames) f->close();
  windows_->close_all();
  runs_->wait();
  exiting_ = false;
  return true;
}

// --- Language -----------------------------------------------------------------

void VopApp::set_language(int language) {
  language_ = language;
  // The worker reads it during a run; runs pick it up when they start.
  if (idle()) session_->interpreter().extension<SessionSettings>().language = language - 1;
  for (Frame* f : outputs_) f->show_language(language);
  for (Frame* f : syntaxes_) f->show_language(language);
}

// --- Runs -------------------------------------------------------------------

bool VopApp::idle() const { return runs_->idle(); }

OutputFrame& VopApp::prepare_run() {
  OutputFrame& out = ensure_output();
  out.focus_text();
  session_->interpreter().extension<SessionSettings>().language = language_ - 1;
  return out;
}

bool VopApp::run_from(SyntaxFrame& syntax) {
  if (!idle()) return false;
  const QString text = syntax.run_text();
  if (text.isEmpty()) return false;
  prepare_run();
  return runs_->start_text(text.toStdString());
}

bool VopApp::run_command_text(const std::string& text, bool report_saves) {
  if (!idle()) return false;
  prepare_run();
  return runs_->start_text(text, report_saves);
}

bool VopApp::run_do_item(int id, Frame& from) {
  if (!idle() || !do_item_job) return false;
  auto job = do_item_job(id);
  if (!job) return false;
  (void)from;  // the run's syntax window, for the script windows' programs
  prepare_run();
  return runs_->start(std::move(job));
}

bool VopApp::run_control_program(GuiProgramPtr program) {
  if (!idle() || !program) return false;
  ensure_output();
  session_->interpreter().extension<SessionSettings>().language = language_ - 1;
  return runs_->start([program](Session& s) { s.run_program(*program); });
}

void VopApp::stop() { runs_->stop(); }

void VopApp::finish_run() {
  drain_output();
  if (!export_.armed()) return;
  // Exit during a redirected run closes without asking where to save.
  if (exiting_) return export_.abandon();
  save_redirected_output(*this);
}

// --- Output -------------------------------------------------------------------

void VopApp::drain_output() {
  std::vector<OutputEvent> batch = queue_.drain();
  if (batch.empty()) return;
  OutputFrame* out = out_designated_;
  if (out) out->begin_batch();
  for (const OutputEvent& e : batch) {
    if (const auto* c = std::get_if<CountsUpdate>(&e)) counts_->update_counts(c->tables, c->charts);
    else if (out) out->show_event(e);
  }
  if (out) {
    out->end_batch();
    out->follow_end();
  }
  Q_EMIT output_drained();
}

void VopApp::refresh_variables() {
  // A run holds the dataset: its end brings another refresh.
  if (session_->dataset_busy()) return;
  const uint64_t generation = session_->dataset_generation() + 1;
  if (generation == variables_generation_) return;
  variables_generation_ = generation;
  variables_ = dataset_variables(session_->dataset());
  Q_EMIT variables_changed();
}

void VopApp::insert_name(const QString& name) {
  if (!syntax_designated_) new_syntax();
  syntax_designated_->insert_at_caret(name);
  syntax_designated_->activateWindow();
}

void VopApp::insert_at_caret(std::string_view text) {
  // Called by the worker: the window is reached on the UI thread.
  QMetaObject::invokeMethod(
      this,
      [this, t = QString::fromUtf8(text.data(), qsizetype(text.size()))] {
        if (!syntax_designated_) new_syntax();
        syntax_designated_->insert_at_caret(t);
      },
      Qt::QueuedConnection);
}

}  // namespace vop::shell
