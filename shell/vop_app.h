// The application object: the interpreter session, the lists of output and
// syntax windows with the designated one of each, the window counters, the
// user-interface language, the shared "&Do" menu, the run controller and
// the counts dialog. There is no single main window: the program ends when
// the last window is gone.
//
// The output stream writes into an OutputQueue; its wake-up posts one
// queued call to this object, which hands the pending blocks to the
// designated output window on the UI thread.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

#include "output/output_queue.h"
#include "builtins/gui_host.h"
#include "output/targets.h"
#include "session/office_export.h"
#include "shell/file_commands.h"
#include "shell/recent_files.h"
#include "shell/widgets/variables_panel.h"

class QMenu;

namespace vop {
class Session;
}

namespace vop::shell {

class CountsDialog;
class Frame;
class OutputFrame;
class RunController;
class ScriptWindows;
class SyntaxFrame;

// The answer to "save the changes of this syntax window?".
enum class SaveAnswer { Save, Discard, Cancel };

struct AppOptions {
  QString program_dir;       // where the companions and Syntax files are; empty: the executable's
  bool run_startup = true;   // run Syntax/start.s from the working directory
  bool show_windows = true;  // tests may leave windows hidden
  bool remember_geometry = true;  // windows open where the last of their kind closed (QSettings)
};

class VopApp : public QObject, private SyntaxTarget {
  Q_OBJECT
 public:
  explicit VopApp(AppOptions options = {});
  ~VopApp() override;

  // Start-up: the first output window (designated), the start-up script
  // with its errors reported there, counts -1, idle, language 1.
  void start();

  // --- Windows -----------------------------------------------------------
  OutputFrame* new_output();
  SyntaxFrame* new_syntax();
  void designate(Frame& frame);
  OutputFrame* designated_output() const { return out_designated_; }
  SyntaxFrame* designated_syntax() const { return syntax_designated_; }
  // The designated output window, made when there is none.
  OutputFrame& ensure_output();
  const QList<OutputFrame*>& outputs() const { return outputs_; }
  const QList<SyntaxFrame*>& syntaxes() const { return syntaxes_; }
  // Whether a window may close now: the designated output window stays
  // during a run; a syntax window with changes asks first.
  bool may_close(Frame& frame);
  // A window reports here when it closes (and again when it is
  // destroyed): it leaves the lists and the designation passes on.
  void frame_gone(Frame& frame);
  // Exit: every window closes (a run does not hold any back); false when
  // the user cancelled a save question.
  bool exit();
  // Asked before a syntax window with unsaved changes closes; tests answer
  // it themselves. The default asks with a message box.
  std::function<SaveAnswer(SyntaxFrame&)> save_prompt;

  // --- Language ----------------------------------------------------------
  int language() const { return language_; }  // 1 EN, 2 SR, 3 MK
  void set_language(int language);

  // --- Runs ---------------------------------------------------------------
  Session& session() { return *session_; }
  RunController& runs() { return *runs_; }
  bool idle() const;
  // Run from a syntax window: its selection or caret line, into the
  // designated output window. False when nothing started.
  bool run_from(SyntaxFrame& syntax);
  // A run of a text built by a command (dataset saves).
  bool run_command_text(const std::string& text, bool report_saves);
  // A "&Do" menu item (identifiers kFirstDoItem..kLastDoItem); the items
  // are looked up through do_item_job, which the script-built menus fill.
  bool run_do_item(int id, Frame& from);
  std::function<std::function<void(Session&)>(int id)> do_item_job;
  // The program of a script window's control, clicked: a run like a "&Do"
  // item's that leaves the focus in the script window. False while
  // another run goes on.
  bool run_control_program(GuiProgramPtr program);
  void stop();

  // The shared "&Do" menu, in every window's menu bar.
  QMenu* do_menu() const { return do_menu_.get(); }
  CountsDialog& counts() { return *counts_; }
  // The windows scripts build, and the "&Do" menu's programs.
  ScriptWindows& script_windows() { return *windows_; }
  const QString& program_dir() const { return program_dir_; }
  // Files opened and saved lately, for every window's File menu.
  RecentFiles& recent() { return recent_; }
  bool remembers_geometry() const { return options_.remember_geometry; }

  // Show everything the output stream has written so far.
  void drain_output();

  // --- The open dataset, between runs ---------------------------------------
  // Its variables as the windows' Variables panels list them; read again
  // after each run and each Open SPSS Data when the dictionary changed.
  const QList<VariableInfo>& variables() const { return variables_; }
  void refresh_variables();
  // A name chosen in a Variables panel goes into the designated syntax
  // window at its caret (a syntax window is made when there is none).
  void insert_name(const QString& name);
  // Shows a message (the Office commands' messages, errors of file
  // commands); tests replace it to read the message instead.
  std::function<void(Frame* over, const QString& text)> message;
  // Asks for a file with one of the program's dialogs (ask_path); tests
  // answer instead. Empty: cancelled.
  std::function<QString(Frame& over, FileDialog d)> ask_file;
  // Opens a document the program wrote in the desktop's program for it
  // (xdg-open); without a desktop the path is shown in the status bar.
  std::function<void(Frame* over, const QString& path)> open_document;

  // --- Office export ----------------------------------------------------------
  // The export that a redirect command armed for the next run; saved when
  // that run ends (office_commands.h).
  RunExport& office_export() { return export_; }

 Q_SIGNALS:
  void output_drained();
  void variables_changed();

 private:
  void insert_at_caret(std::string_view text) override;  // SyntaxTarget
  void add_frame(Frame& frame);
  // Prepare a run: an output window designated, the focus in it.
  OutputFrame& prepare_run();

  void finish_run();  // after each run: the redirected output's save

  AppOptions options_;                       // as given
  RecentFiles recent_;                       // the File menu's "Recent Files"
  QString program_dir_;                      // the executable's folder (or the option)
  OutputQueue queue_;                        // the worker writes here; drained on the UI thread
  std::unique_ptr<Session> session_;         // interpreter, output stream, dataset
  std::unique_ptr<RunController> runs_;      // the worker thread
  std::unique_ptr<QMenu> do_menu_;           // shared by all windows; not owned by any
  std::unique_ptr<CountsDialog> counts_;     // modeless, shown during redirected runs
  std::unique_ptr<ScriptWindows> windows_;   // script windows; the session's GUI host
  QList<QPointer<Frame>> frames_;            // every frame made, closed ones until deleted
  QList<OutputFrame*> outputs_;              // in creation order; frames own themselves
  QList<SyntaxFrame*> syntaxes_;             // in creation order
  OutputFrame* out_designated_ = nullptr;    // receives the output
  SyntaxFrame* syntax_designated_ = nullptr; // receives generated syntax
  int next_output_ = 1;                      // number of the next output window
  int next_syntax_ = 1;                      // number of the next syntax window
  int language_ = 1;                         // 1 EN, 2 SR, 3 MK
  bool exiting_ = false;                     // Exit is closing every window
  RunExport export_;                         // armed by a redirect command (ends before the session)
  QList<VariableInfo> variables_;            // the dataset's variables when last read
  uint64_t variables_generation_ = 0;        // the dataset's change count then (0: never read)
};

}  // namespace vop::shell
