// The windows that scripts build: the GuiHost of the desktop program.
//
// Script windows and their controls are ordinary widgets of the UI thread,
// so they stay live after the run that made them. A builtin called by a run
// (on the worker) hands its work to the UI thread and waits for the answer;
// the wait gives up when the run is stopped or while the UI thread itself
// waits for the run to end (refuse_calls), so neither thread can wait for
// the other forever. On the UI thread (the start-up script) the work is
// done at once.
//
// The records behind the identifiers scripts hold live here and are read
// and changed on the UI thread only.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "builtins/gui_host.h"

class QButtonGroup;
class QMenu;
class QWidget;

namespace vop::shell {

class VopApp;

class ScriptWindows : public QObject, public GuiHost {
  Q_OBJECT
 public:
  explicit ScriptWindows(VopApp& app);
  ~ScriptWindows() override;  // the windows still open close

  // --- GuiHost (any thread) ---------------------------------------------------
  int message_box(int parent, const std::string& text, int type, int* button) override;
  int create_window(int parent, const std::string& title, GuiRect rect, int mode, int* id) override;
  int close_window(int window) override;
  int create_control(int window, const ControlType& type, GuiRect rect,
                     const std::vector<std::string>& texts, GuiProgramPtr program, int* id) override;
  int connect_lists(int move_button, int source, int target) override;
  int set_value(int control, const GuiValue& value) override;
  int get_value(int control, GuiValue* value) override;
  int enable(int control, bool on) override;
  int set_list_max(int list, int n) override;
  int set_font(int control) override;
  int add_menu_item(const std::vector<int>& path, const std::string& caption,
                    GuiProgramPtr program) override;
  int add_submenu(const std::vector<int>& path, const std::string& caption) override;
  int open_file_dialog(std::string* path) override;
  bool run_ended(bool failed) override;

  // --- The UI thread ------------------------------------------------------------
  // While on, calls from a run fail at once with code 1000 (the UI thread
  // is about to wait for that run to end).
  void refuse_calls(bool on) { refusing_.store(on); }
  // Exit: every script window closes.
  void close_all();
  int open_windows() const { return open_windows_.load(); }
  // The widget behind an identifier, or nullptr (tests click and look).
  QWidget* widget(int id) const;
  // The program of a "&Do" menu item (kFirstDoItem + its number), or none.
  GuiProgramPtr menu_program(int command) const;
  // Asks for a file for FileOpenDialog; tests answer instead. Empty:
  // cancelled.
  std::function<QString(QWidget* over)> ask_file;

 private:
  struct Record;
  template <class R, class Work>
  int on_ui(Work work, R* out);

  bool eventFilter(QObject* watched, QEvent* event) override;  // a window's Close
  Record* find(int id);
  Record* find_window(int id);
  QWidget* parent_of(int parent, int* code);
  void forget_window(int id);
  void clicked(int id);
  void move_items(Record& button);
  void selection_changed(int list);
  QMenu* menu_at(const std::vector<int>& path);

  VopApp& app_;                            // outlives this
  std::map<int, Record> records_;          // windows and controls by identifier
  int next_id_ = 1;                        // shared by windows and controls
  std::vector<int> made_this_run_;         // windows the current run made
  std::map<int, GuiProgramPtr> items_;     // "&Do" items' programs by command identifier
  int next_item_ = 0;                      // number of the next "&Do" item
  std::atomic<int> open_windows_{0};       // read by the run's end on the worker
  std::atomic<bool> made_in_run_{false};   // made_this_run_ has had a window since the last end
  std::atomic<bool> refusing_{false};      // the UI thread waits for the run
};

}  // namespace vop::shell
