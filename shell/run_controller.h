// Runs scripts on a worker thread, one run at a time, so that the windows
// stay live and Stop can reach the interpreter. Every way a run starts
// (Run, a "&Do" menu item, the dataset save commands) comes through here
// and respects the idle flag.
//
// The worker touches the session only; widgets are reached through the
// output queue, whose wake-up is posted to the UI thread.
#pragma once

#include <QObject>

#include <cstdint>
#include <functional>
#include <string>

class QThread;

namespace vop {
class Session;
}

namespace vop::shell {

// Stack of the worker thread: deep user recursion needs more than the
// default (see kMaxCallDepth in the interpreter).
inline constexpr unsigned kWorkerStackBytes = 8u << 20;

class RunController : public QObject {
  Q_OBJECT
 public:
  // What a run does on the worker thread.
  using Job = std::function<void(Session&)>;

  explicit RunController(Session& session, QObject* parent = nullptr);
  ~RunController() override;  // stops a run that is still going and waits for it

  // True when no run is in progress (read and written on the UI thread).
  bool idle() const { return idle_; }

  // Start a run of `text`; false (nothing happens) while another run goes
  // on. `report_saves` makes DataSave() report what it wrote.
  bool start_text(std::string text, bool report_saves = false);
  // Start any job, as the "&Do" menu items will.
  bool start(Job job);
  // The Stop command: the run that is queued or running ends with code
  // 1000 before its next statement. Nothing while idle.
  void stop();
  // Block until the current run has ended (Exit, tests).
  void wait();
  // Called on the UI thread when a run's worker has ended, before the
  // program is idle again: the save of a redirected run belongs to the run.
  std::function<void()> after_run;
  // Told when the UI thread begins (true) and ends (false) blocking in
  // wait(): calls of the run that would wait for the UI thread must not.
  std::function<void(bool)> waiting;

 Q_SIGNALS:
  void run_started();
  void run_finished();

 private:
  void finished();

  Session& session_;           // the one interpreter session; outlives this
  QThread* worker_ = nullptr;  // the running worker, or none; owned
  bool idle_ = true;           // the idle flag
  uint64_t runs_ = 0;          // runs started, the current one's number
};

}  // namespace vop::shell
