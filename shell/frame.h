// The top-level window both kinds share: the menus "&File", "&Edit",
// "&View", the application's shared "&Do" menu and "&Help", the toolbar
// and status bar of its kind, and one text control. Each command becomes a
// window-wide action; a command without a handler for the kind is disabled.
#pragma once

#include <QMainWindow>
#include <QString>

#include <map>
#include <span>

#include "shell/commands.h"

class QAction;
class QCloseEvent;
class QMenu;
class QToolBar;

namespace vop::shell {

class VopApp;

class Frame : public QMainWindow {
  Q_OBJECT
 public:
  Frame(VopApp& app, FrameKind kind);

  FrameKind kind() const { return kind_; }
  VopApp& app() { return app_; }
  // The window's action for a command; nullptr when the kind has none.
  QAction* action(int id) const;
  QToolBar* toolbar() const { return toolbar_; }
  // Carry out a command as its menu item or button would.
  void trigger(int id);

  // The text control (child 33 of the original layout).
  virtual QWidget* text_widget() const = 0;
  // The file the window was opened from or saved to; empty until then.
  const QString& file_path() const { return file_path_; }
  void set_file_path(const QString& p) { file_path_ = p; }

  // The designation mark: a leading "!" in the title.
  bool marked() const { return windowTitle().startsWith(u'!'); }
  void set_marked(bool on);

  // Enable the language buttons but the current one (1 EN, 2 SR, 3 MK).
  void show_language(int language);
  // Give the focus to the window's text control (a run's output goes here).
  void focus_text();
  void next_pane(bool forward) { forward ? focusNextChild() : focusPreviousChild(); }
  void toggle_status_bar();
  void toggle_toolbar();

 protected:
  // Both the close box and File > Close come here; the application may
  // refuse (a run needs its designated output window; unsaved syntax).
  void closeEvent(QCloseEvent* event) override;
  // Called by the kinds' constructors once the text control exists.
  void build();

 private:
  QAction* make_action(const Command& c);
  QString geometry_key() const;  // where the kind's last geometry is kept
  void build_menus();
  void fill_submenu(QMenu* menu, std::span<const int> ids);
  void add_recent_menu(QMenu* file);
  void build_toolbar();

  VopApp& app_;                        // the application; outlives every frame
  FrameKind kind_;                     // output or syntax window
  std::map<int, QAction*> actions_;    // command id -> this window's action (owned by the window)
  QToolBar* toolbar_ = nullptr;        // the kind's toolbar; owned by the window
  QString file_path_;                  // opened from or saved to; empty until then
};

}  // namespace vop::shell
