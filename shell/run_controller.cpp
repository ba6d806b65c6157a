#include "shell/run_controller.h"

#include <QThread>

#include "data/data_builtins.h"
#include "session/session.h"

namespace vop::shell {

RunController::RunController(Session& session, QObject* parent) : QObject(parent), session_(session) {}

RunController::~RunController() {
  if (worker_) {
    stop();
    wait();
  }
}

bool RunController::start_text(std::string text, bool report_saves) {
  return start([text = std::move(text), report_saves](Session& s) {
    if (report_saves) set_report_saves(s.interpreter(), true);
    s.run_text(text);
    if (report_saves) set_report_saves(s.interpreter(), false);
  });
}

bool RunController::start(Job job) {
  if (!idle_) return false;
  idle_ = false;
  // Announced before the thread exists, so that a Stop pressed before the
  // worker begins still stops this run.
  session_.interpreter().queue_run();
  worker_ = QThread::create([this, job = std::move(job)] { job(session_); });
  worker_->setStackSize(kWorkerStackBytes);
  // The ended signal is queued; wait() may have ended the run (and a new
  // one begun) before it arrives, so it names its run.
  const uint64_t run = ++runs_;
  connect(worker_, &QThread::finished, this, [this, run] { if (run == runs_) finished(); },
          Qt::QueuedConnection);
  worker_->start();
  Q_EMIT run_started();
  return true;
}

void RunController::stop() {
  if (!idle_) session_.interpreter().request_stop();
}

void RunController::wait() {
  if (!worker_) return;
  if (waiting) waiting(true);
  worker_->wait();
  if (waiting) waiting(false);
  finished();
}

void RunController::finished() {
  if (!worker_) return;
  worker_->wait();
  delete worker_;
  worker_ = nullptr;
  if (after_run) after_run();
  idle_ = true;
  Q_EMIT run_finished();
}

}  // namespace vop::shell
