#include "shell/frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QIcon>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include <set>

#include "shell/file_commands.h"
#include "shell/handlers.h"
#include "shell/vop_app.h"

namespace vop::shell {

namespace {

// The menus, by command identifier: 0 is a separator, negative numbers open
// the "New" and "Open" submenus.
constexpr int kNewMenu = -1;
constexpr int kOpenMenu = -2;
constexpr int kFileMenu[] = {kNewMenu, kOpenMenu, kClose, 0, kSaveDataset, kSaveDatasetAs, 0,
                             kSave, kSaveAs, 0, kExit};
constexpr int kNewItems[] = {kNewData, kNewOutput, kNewSyntax};
constexpr int kOpenItems[] = {kOpenData, kOpenOutput, kOpenSyntax};
constexpr int kEditMenu[] = {kUndo, 0, kCut, kCopy, kPaste};
constexpr int kViewMenu[] = {kToggleToolbar, kToggleStatusBar};
constexpr int kHelpMenu[] = {kAbout};

QIcon command_icon(const Command& c, QStyle* style) {
  if (c.fallback_icon == QStyle::SP_CustomBase && !c.icon) return {};
  const QIcon fallback = c.fallback_icon == QStyle::SP_CustomBase ? QIcon() : style->standardIcon(c.fallback_icon);
  return c.icon ? QIcon::fromTheme(QString::fromLatin1(c.icon), fallback) : fallback;
}

}  // namespace

Frame::Frame(VopApp& app, FrameKind kind) : app_(app), kind_(kind) {
  setAttribute(Qt::WA_DeleteOnClose);
  setObjectName(kind == FrameKind::Output ? QStringLiteral("OutputFrame") : QStringLiteral("SyntaxFrame"));
}

void Frame::build() {
  for (const Command& c : commands())
    if (c.kinds & kind_bit(kind_)) actions_[c.id] = make_action(c);
  build_menus();
  build_toolbar();
  statusBar()->showMessage(tr("Ready"));
  action(kToggleToolbar)->setChecked(true);
  action(kToggleStatusBar)->setChecked(true);
  show_language(app_.language());
  resize(760, 560);
  if (app_.remembers_geometry()) restoreGeometry(QSettings().value(geometry_key()).toByteArray());
}

QString Frame::geometry_key() const {
  return kind_ == FrameKind::Output ? QStringLiteral("geometry/output") : QStringLiteral("geometry/syntax");
}

QAction* Frame::make_action(const Command& c) {
  auto* a = new QAction(command_icon(c, style()), command_text(c, kind_), this);
  a->setStatusTip(status_tip(c));
  if (const QString tip = tool_tip(c); !tip.isEmpty()) a->setToolTip(tip);
  if (!c.shortcuts.empty()) a->setShortcuts(QList<QKeySequence>(c.shortcuts.begin(), c.shortcuts.end()));
  a->setCheckable(c.checkable);
  a->setEnabled(find_handler(kind_, c.id) != nullptr);
  const int id = c.id;
  connect(a, &QAction::triggered, this, [this, id] { trigger(id); });
  addAction(a);  // shortcuts work while the toolbar is hidden
  return a;
}

QAction* Frame::action(int id) const {
  auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

void Frame::trigger(int id) {
  if (Handler h = find_handler(kind_, id)) h(*this);
}

void Frame::build_menus() {
  auto fill = [this](QMenu* menu, std::span<const int> ids) {
    for (int id : ids) {
      if (id == 0) menu->addSeparator();
      else if (id == kNewMenu) fill_submenu(menu->addMenu(tr("New")), kNewItems);
      else if (id == kOpenMenu) {
        fill_submenu(menu->addMenu(tr("Open")), kOpenItems);
        add_recent_menu(menu);
      }
      else menu->addAction(action(id));
    }
  };
  fill(menuBar()->addMenu(tr("&File")), kFileMenu);
  fill(menuBar()->addMenu(tr("&Edit")), kEditMenu);
  fill(menuBar()->addMenu(tr("&View")), kViewMenu);
  menuBar()->addMenu(app_.do_menu());
  fill(menuBar()->addMenu(tr("&Help")), kHelpMenu);
}

void Frame::add_recent_menu(QMenu* file) {
  QMenu* recent = file->addMenu(tr("Recent Files"));
  // Filled each time it opens: another window may have added a file.
  connect(recent, &QMenu::aboutToShow, this, [this, recent] {
    recent->clear();
    int n = 0;
    for (const RecentFile& f : app_.recent().items()) {
      const QString text = QStringLiteral("&%1 %2").arg(++n).arg(QDir::toNativeSeparators(f.path));
      connect(recent->addAction(text), &QAction::triggered, this, [this, f] { open_recent(*this, f); });
    }
    if (n == 0) recent->addAction(tr("(none)"))->setEnabled(false);
  });
}

void Frame::fill_submenu(QMenu* menu, std::span<const int> ids) {
  for (int id : ids) menu->addAction(action(id));
}

void Frame::build_toolbar() {
  toolbar_ = addToolBar(tr("Toolbar"));
  toolbar_->setObjectName(QStringLiteral("toolbar"));
  toolbar_->setIconSize(QSize(16, 16));
  toolbar_->setMovable(false);
  std::set<int> placed;
  for (int id : toolbar_layout(kind_)) {
    if (id == 0) {
      toolbar_->addSeparator();
    } else if (placed.insert(id).second) {
      toolbar_->addAction(action(id));
    } else {
      // A second button of one command (a widget holds an action once).
      auto* button = new QToolButton(toolbar_);
      button->setDefaultAction(action(id));
      button->setAutoRaise(true);
      button->setIconSize(toolbar_->iconSize());
      toolbar_->addWidget(button);
    }
  }
}

void Frame::set_marked(bool on) {
  QString t = windowTitle();
  if (on && !marked()) setWindowTitle(u'!' + t);
  if (!on && marked()) setWindowTitle(t.mid(1));
}

void Frame::show_language(int language) {
  const int ids[] = {kLanguageEn, kLanguageSr, kLanguageMk};
  for (int i = 0; i < 3; ++i)
    if (QAction* a = action(ids[i])) a->setEnabled(language != i + 1);
}

void Frame::focus_text() {
  activateWindow();
  text_widget()->setFocus();
}

void Frame::toggle_status_bar() { statusBar()->setVisible(action(kToggleStatusBar)->isChecked()); }
void Frame::toggle_toolbar() { toolbar_->setVisible(action(kToggleToolbar)->isChecked()); }

void Frame::closeEvent(QCloseEvent* event) {
  if (!app_.may_close(*this)) {
    event->ignore();
    return;
  }
  event->accept();
  if (app_.remembers_geometry()) QSettings().setValue(geometry_key(), saveGeometry());
  // The window is deleted later; it stops being an output or syntax window now.
  app_.frame_gone(*this);
}

}  // namespace vop::shell
