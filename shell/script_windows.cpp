// Script windows on the UI thread. Organised as: the records and the
// hand-over to the UI thread; windows; controls and their values; move
// buttons; the "&Do" menu; dialogs; the end of a run.
#include "shell/script_windows.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>

#include "core/errors.h"
#include "session/session.h"
#include "shell/commands.h"
#include "shell/frame.h"
#include "shell/output_format.h"
#include "shell/output_frame.h"
#include "shell/run_controller.h"
#include "shell/vop_app.h"

namespace vop::shell {

namespace {

// The text a move button shows for each direction when the script left it
// to the button.
const QString kForward = QStringLiteral("\u00bb");
const QString kBackward = QStringLiteral("\u00ab");

// The property that ties a window widget to its identifier.
constexpr const char* kIdProperty = "scriptWindowId";

QString qs(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }
std::string ss(const QString& s) { return s.toUtf8().toStdString(); }

QStringList items_of(const std::vector<std::string>& texts) {
  QStringList list;
  list.reserve(qsizetype(texts.size()));
  for (const std::string& t : texts) list.append(qs(t));
  return list;
}

GuiValue text_value(const QString& text) {
  GuiValue v;
  v.texts.push_back(ss(text));
  return v;
}

GuiValue number_value(double x) {
  GuiValue v;
  v.numeric = true;
  v.number = x;
  return v;
}

// Buttons of a message box type and the answer each gives; the last answer
// is also what closing the box gives.
struct BoxButton {
  QMessageBox::StandardButton button;
  int answer;
};
const std::vector<BoxButton>& box_buttons(int type) {
  static const std::vector<BoxButton> kTypes[] = {
      {{QMessageBox::Ok, 1}},
      {{QMessageBox::Ok, 1}, {QMessageBox::Cancel, 2}},
      {{QMessageBox::Yes, 1}, {QMessageBox::No, 2}, {QMessageBox::Cancel, 3}},
      {{QMessageBox::Yes, 1}, {QMessageBox::No, 2}},
  };
  return kTypes[std::clamp(type, 1, 4) - 1];
}

}  // namespace

// One script window or control.
struct ScriptWindows::Record {
  bool is_window = false;                       // a window, else a control
  int window = 0;                               // a control's window
  ControlKind kind = ControlKind::PushButton;   // a control's kind
  QPointer<QWidget> widget;                     // owned by its window (a window by Qt's parent or by this)
  GuiProgramPtr program;                        // run when the control is clicked; may be none
  int source = 0;                               // a move button's list to take from
  int target = 0;                               // ... and to put into
  int first_source = 0;                         // the source CtrConect named (the "»" direction)
  int max_items = 0;                            // a list's most items through move buttons; 0 none
  QButtonGroup* radios = nullptr;               // a window's current radio group; owned by the window
};

// --- Records and the hand-over ---------------------------------------------------------

ScriptWindows::ScriptWindows(VopApp& app) : app_(app) {
  ask_file = [](QWidget* over) {
    return QFileDialog::getOpenFileName(over, QStringLiteral("Select File"), QString(),
                                        QStringLiteral("All Files (*)"));
  };
  app_.do_item_job = [this](int id) -> RunController::Job {
    GuiProgramPtr p = menu_program(id);
    if (!p) return {};
    return [p](Session& s) { s.run_program(*p); };
  };
}

ScriptWindows::~ScriptWindows() { close_all(); }

// Runs `work(result)` on the UI thread and waits for it. The work gets its
// own copies of everything it reads: a wait that gives up (Stop, or the UI
// thread waiting for this run) leaves it to finish, or to be skipped, alone.
template <class R, class Work>
int ScriptWindows::on_ui(Work work, R* out) {
  if (QThread::currentThread() == thread()) return work(*out);
  if (refusing_.load()) return kErrStopped;
  struct Pending {
    std::mutex m;
    std::condition_variable cv;
    bool done = false;       // the work has run
    bool abandoned = false;  // the caller stopped waiting: skip the work
    int code = 0;
    R value{};
  };
  auto p = std::make_shared<Pending>();
  const CancelToken token = app_.session().interpreter().cancel_token();
  QMetaObject::invokeMethod(
      this,
      [p, work = std::move(work)]() mutable {
        {
          std::lock_guard lock(p->m);
          if (p->abandoned) return;
        }
        R value{};
        const int code = work(value);
        {
          std::lock_guard lock(p->m);
          p->code = code;
          p->value = std::move(value);
          p->done = true;
        }
        p->cv.notify_one();
      },
      Qt::QueuedConnection);
  std::unique_lock lock(p->m);
  while (!p->done) {
    if (token.stop_requested() || refusing_.load()) {
      p->abandoned = true;
      return kErrStopped;
    }
    p->cv.wait_for(lock, std::chrono::milliseconds(20));
  }
  *out = std::move(p->value);
  return p->code;
}

ScriptWindows::Record* ScriptWindows::find(int id) {
  auto it = records_.find(id);
  return it == records_.end() || !it->second.widget ? nullptr : &it->second;
}

ScriptWindows::Record* ScriptWindows::find_window(int id) {
  Record* r = find(id);
  return r && r->is_window ? r : nullptr;
}

QWidget* ScriptWindows::widget(int id) const {
  auto it = records_.find(id);
  return it == records_.end() ? nullptr : it->second.widget.data();
}

GuiProgramPtr ScriptWindows::menu_program(int command) const {
  auto it = items_.find(command);
  return it == items_.end() ? nullptr : it->second;
}

// --- Windows -----------------------------------------------------------------------

QWidget* ScriptWindows::parent_of(int parent, int* code) {
  if (parent == 0) return app_.outputs().isEmpty() ? nullptr : app_.outputs().first();
  if (Record* r = find_window(parent)) return r->widget;
  *code = kErrBadHandle;
  return nullptr;
}

int ScriptWindows::create_window(int parent, const std::string& title, GuiRect rect, int mode,
                                 int* id) {
  return on_ui(
      [=, this](int& made) -> int {
        int code = 0;
        QWidget* owner = parent_of(parent, &code);
        if (code) return code;
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
        const double x = std::isnan(rect.x) ? area.x() + (area.width() - rect.width) / 2 : rect.x;
        const double y = std::isnan(rect.y) ? area.y() + (area.height() - rect.height) / 2 : rect.y;
        const QRect place(int(x), int(y), int(rect.width), int(rect.height));
        bool seen = false;  // some part of it on some screen
        for (const QScreen* s : QGuiApplication::screens()) seen = seen || s->availableGeometry().intersects(place);
        if (!seen) return kErrBadObjectType;

        Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (mode > 1) {
          owner = nullptr;
          flags |= Qt::WindowMinimizeButtonHint;
        } else {
          flags |= Qt::Dialog;  // stays over its owner
        }
        auto* w = new QWidget(owner, flags);
        w->setObjectName(QStringLiteral("popClass"));
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->setAttribute(Qt::WA_QuitOnClose, false);  // the program ends with its last frame
        w->setWindowTitle(qs(title));
        w->move(place.topLeft());
        w->resize(place.size());
        const int wid = next_id_++;
        w->setProperty(kIdProperty, wid);
        w->installEventFilter(this);
        Record rec;
        rec.is_window = true;
        rec.widget = w;
        records_[wid] = std::move(rec);
        connect(w, &QObject::destroyed, this, [this, wid] { forget_window(wid); });
        ++open_windows_;
        made_this_run_.push_back(wid);
        made_in_run_.store(true);
        w->show();
        made = wid;
        return 0;
      },
      id);
}

int ScriptWindows::close_window(int window) {
  int unused = 0;
  return on_ui(
      [=, this](int&) -> int {
        Record* r = find_window(window);
        if (!r) return kErrBadHandle;
        r->widget->close();
        return 0;
      },
      &unused);
}

bool ScriptWindows::eventFilter(QObject* watched, QEvent* event) {
  // A closed window's identifiers are invalid at once, before the widget
  // goes at the next turn of the event loop.
  if (event->type() == QEvent::Close) forget_window(watched->property(kIdProperty).toInt());
  return QObject::eventFilter(watched, event);
}

void ScriptWindows::forget_window(int id) {
  auto it = records_.find(id);
  if (it == records_.end() || !it->second.is_window) return;
  for (auto c = records_.begin(); c != records_.end();) {
    if (!c->second.is_window && c->second.window == id) c = records_.erase(c);
    else ++c;
  }
  records_.erase(id);
  std::erase(made_this_run_, id);
  --open_windows_;
}

void ScriptWindows::close_all() {
  std::vector<QPointer<QWidget>> windows;
  for (auto& [id, r] : records_)
    if (r.is_window) windows.push_back(r.widget);
  for (const QPointer<QWidget>& w : windows) delete w.data();
}

// --- Controls --------------------------------------------------------------------------

int ScriptWindows::create_control(int window, const ControlType& type, GuiRect rect,
                                  const std::vector<std::string>& texts, GuiProgramPtr program,
                                  int* id) {
  return on_ui(
      [=, this](int& made) -> int {
        Record* win = find_window(window);
        if (!win) return kErrBadHandle;
        QWidget* parent = win->widget;
        const QString text = texts.empty() ? QString() : qs(texts[0]);
        const int cid = next_id_;
        QWidget* w = nullptr;
        auto button = [&](QAbstractButton* b) {
          connect(b, &QAbstractButton::clicked, this, [this, cid] { clicked(cid); });
          return b;
        };
        switch (type.kind) {
          case ControlKind::PushButton: w = button(new QPushButton(text, parent)); break;
          case ControlKind::MoveButton:
            w = button(new QPushButton(text.isEmpty() ? kForward : text, parent));
            break;
          case ControlKind::RadioButton: {
            auto* b = new QRadioButton(text, parent);
            if (type.group_start || !win->radios) win->radios = new QButtonGroup(parent);
            win->radios->addButton(b);
            w = button(b);
            break;
          }
          case ControlKind::CheckBox: w = button(new QCheckBox(text, parent)); break;
          case ControlKind::GroupBox: {
            auto* g = new QGroupBox(text, parent);
            g->setAttribute(Qt::WA_TransparentForMouseEvents);  // a frame around, not over, controls
            w = g;
            break;
          }
          case ControlKind::ComboSimple:
          case ControlKind::ComboDropDown:
          case ControlKind::ComboList: {
            auto* c = new QComboBox(parent);
            c->setEditable(type.kind != ControlKind::ComboList);
            c->addItems(items_of(texts));
            w = c;
            break;
          }
          case ControlKind::ListSingle:
          case ControlKind::ListMultiple: {
            auto* l = new QListWidget(parent);
            l->setSelectionMode(type.kind == ControlKind::ListSingle ? QAbstractItemView::SingleSelection
                                                                     : QAbstractItemView::ExtendedSelection);
            l->addItems(items_of(texts));
            connect(l, &QListWidget::itemSelectionChanged, this, [this, cid] { selection_changed(cid); });
            w = l;
            break;
          }
          case ControlKind::EditLine: {
            auto* e = new QLineEdit(text, parent);
            e->setReadOnly(type.read_only);
            w = e;
            break;
          }
          case ControlKind::EditMultiLine:
          case ControlKind::EditScrolled: {
            auto* e = new QPlainTextEdit(text, parent);
            e->setVerticalScrollBarPolicy(type.kind == ControlKind::EditScrolled ? Qt::ScrollBarAlwaysOn
                                                                                 : Qt::ScrollBarAlwaysOff);
            w = e;
            break;
          }
          case ControlKind::Label: {
            auto* l = new QLabel(text, parent);
            l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            l->setWordWrap(true);
            w = l;
            break;
          }
          case ControlKind::LineVertical:
          case ControlKind::LineHorizontal: {
            auto* f = new QFrame(parent);
            f->setFrameShape(type.kind == ControlKind::LineVertical ? QFrame::VLine : QFrame::HLine);
            f->setFrameShadow(QFrame::Sunken);
            w = f;
            break;
          }
          case ControlKind::ScrollBar:
            w = new QScrollBar(type.vertical ? Qt::Vertical : Qt::Horizontal, parent);
            break;
        }
        ++next_id_;
        w->setGeometry(int(rect.x), int(rect.y), int(rect.width), int(rect.height));
        if (type.kind == ControlKind::GroupBox) w->lower();
        w->show();
        Record rec;
        rec.window = window;
        rec.kind = type.kind;
        rec.widget = w;
        rec.program = program;
        records_[cid] = std::move(rec);
        made = cid;
        return 0;
      },
      id);
}

int ScriptWindows::set_value(int control, const GuiValue& value) {
  int unused = 0;
  return on_ui(
      [=, this](int&) -> int {
        Record* r = find(control);
        if (!r || r->is_window) return kErrBadHandle;
        QWidget* w = r->widget;
        auto need_number = [&] {
          return !value.numeric ? kErrNumeric : !value.scalar ? kErrScalar : 0;
        };
        auto need_text = [&] {
          return value.numeric ? kErrString : !value.scalar ? kErrScalar : 0;
        };
        switch (r->kind) {
          case ControlKind::RadioButton:
          case ControlKind::CheckBox: {
            if (int code = need_number()) return code;
            auto* b = static_cast<QAbstractButton*>(w);
            // An exclusive group keeps one button checked: let go of it to
            // clear this one.
            QButtonGroup* g = b->group();
            if (g) g->setExclusive(false);
            b->setChecked(value.number == 1);
            if (g) g->setExclusive(true);
            return 0;
          }
          case ControlKind::ListSingle:
          case ControlKind::ListMultiple:
          case ControlKind::ComboSimple:
          case ControlKind::ComboDropDown:
          case ControlKind::ComboList: {
            if (value.numeric && !value.empty) return kErrString;
            if (auto* l = qobject_cast<QListWidget*>(w)) {
              l->clear();
              l->addItems(items_of(value.texts));
            } else if (auto* c = qobject_cast<QComboBox*>(w)) {
              c->clear();
              c->addItems(items_of(value.texts));
            }
            return 0;
          }
          case ControlKind::ScrollBar:
            if (int code = need_number()) return code;
            static_cast<QScrollBar*>(w)->setValue(int(std::clamp(value.number, -1e9, 1e9)));
            return 0;
          case ControlKind::LineVertical:
          case ControlKind::LineHorizontal:
            return kErrBadObjectType;
          default:
            break;
        }
        if (int code = need_text()) return code;
        const QString text = qs(value.texts[0]);
        if (auto* e = qobject_cast<QLineEdit*>(w)) e->setText(text);
        else if (auto* p = qobject_cast<QPlainTextEdit*>(w)) p->setPlainText(text);
        else if (auto* l = qobject_cast<QLabel*>(w)) l->setText(text);
        else if (auto* g = qobject_cast<QGroupBox*>(w)) g->setTitle(text);
        else if (auto* b = qobject_cast<QAbstractButton*>(w)) b->setText(text);
        return 0;
      },
      &unused);
}

int ScriptWindows::get_value(int control, GuiValue* value) {
  return on_ui(
      [=, this](GuiValue& v) -> int {
        Record* r = find(control);
        if (!r || r->is_window) return kErrBadHandle;
        QWidget* w = r->widget;
        switch (r->kind) {
          case ControlKind::RadioButton:
          case ControlKind::CheckBox:
            v = number_value(static_cast<QAbstractButton*>(w)->isChecked() ? 1 : 0);
            return 0;
          case ControlKind::ScrollBar:
            v = number_value(static_cast<QScrollBar*>(w)->value());
            return 0;
          case ControlKind::ListSingle:
          case ControlKind::ListMultiple: {
            auto* l = static_cast<QListWidget*>(w);
            v.scalar = false;
            for (int i = 0; i < l->count(); ++i)
              if (l->item(i)->isSelected()) v.texts.push_back(ss(l->item(i)->text()));
            // One selected item of a single-selection list is a 1x1 text.
            v.scalar = r->kind == ControlKind::ListSingle && v.texts.size() == 1;
            return 0;
          }
          case ControlKind::LineVertical:
          case ControlKind::LineHorizontal:
            return kErrBadObjectType;
          default:
            break;
        }
        if (auto* c = qobject_cast<QComboBox*>(w)) v = text_value(c->currentText());
        else if (auto* e = qobject_cast<QLineEdit*>(w)) v = text_value(e->text());
        else if (auto* p = qobject_cast<QPlainTextEdit*>(w)) v = text_value(p->toPlainText());
        else if (auto* l = qobject_cast<QLabel*>(w)) v = text_value(l->text());
        else if (auto* g = qobject_cast<QGroupBox*>(w)) v = text_value(g->title());
        else if (auto* b = qobject_cast<QAbstractButton*>(w)) v = text_value(b->text());
        return 0;
      },
      value);
}

int ScriptWindows::enable(int control, bool on) {
  int unused = 0;
  return on_ui(
      [=, this](int&) -> int {
        Record* r = find(control);
        if (!r) return kErrBadHandle;
        r->widget->setEnabled(on);
        return 0;
      },
      &unused);
}

int ScriptWindows::set_font(int control) {
  int unused = 0;
  return on_ui(
      [=, this](int&) -> int {
        Record* r = find(control);
        if (!r) return kErrBadHandle;
        QFont f(available_family(QStringLiteral("Courier New")));
        f.setPixelSize(14);
        f.setWeight(QFont::Thin);
        r->widget->setFont(f);
        return 0;
      },
      &unused);
}

// --- Move buttons ------------------------------------------------------------------------

int ScriptWindows::connect_lists(int move_button, int source, int target) {
  int unused = 0;
  return on_ui(
      [=, this](int&) -> int {
        Record* b = find(move_button);
        Record* s = find(source);
        Record* t = find(target);
        if (!b || !s || !t || b->is_window || s->is_window || t->is_window) return kErrBadHandle;
        if (b->kind != ControlKind::MoveButton || !is_list(s->kind) || !is_list(t->kind))
          return kErrBadObjectType;
        b->source = b->first_source = source;
        b->target = target;
        return 0;
      },
      &unused);
}

int ScriptWindows::set_list_max(int list, int n) {
  int unused = 0;
  return on_ui(
      [=, this](int&) -> int {
        Record* r = find(list);
        if (!r) return kErrBadHandle;
        if (r->is_window || !is_list(r->kind)) return kErrNotList;
        r->max_items = n;
        return 0;
      },
      &unused);
}

void ScriptWindows::clicked(int id) {
  Record* r = find(id);
  if (!r) return;
  if (r->kind == ControlKind::MoveButton) move_items(*r);
  if (r->program) app_.run_control_program(r->program);
}

void ScriptWindows::move_items(Record& button) {
  Record* s = find(button.source);
  Record* t = find(button.target);
  if (!s || !t) return;
  auto* from = qobject_cast<QListWidget*>(s->widget);
  auto* to = qobject_cast<QListWidget*>(t->widget);
  if (!from || !to) return;
  std::vector<int> rows;  // selected, top down
  for (int i = 0; i < from->count(); ++i)
    if (from->item(i)->isSelected()) rows.push_back(i);
  if (rows.empty()) return;
  if (t->max_items > 0 && to->count() + int(rows.size()) > t->max_items) return;
  for (int row : rows) {
    QString text = from->item(row)->text();
    // At most kMaxMovedItem bytes, cut at a character's start.
    QByteArray bytes = text.toUtf8();
    if (size_t(bytes.size()) > kMaxMovedItem) {
      qsizetype cut = qsizetype(kMaxMovedItem);
      while (cut > 0 && (uchar(bytes[cut]) & 0xC0) == 0x80) --cut;
      text = QString::fromUtf8(bytes.left(cut));
    }
    to->addItem(text);
  }
  // In a multiple-selection list the moved items arrive selected: CtrGet
  // then reads what the user chose. Quietly, since a selection made by the
  // user in that list turns the button round.
  if (t->kind == ControlKind::ListMultiple) {
    const QSignalBlocker quiet(to);
    for (int k = to->count() - int(rows.size()); k < to->count(); ++k) to->item(k)->setSelected(true);
  }
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) delete from->takeItem(*it);
}

void ScriptWindows::selection_changed(int list) {
  // A selection made in either joined list makes it the list the move
  // button takes from.
  Record* l = find(list);
  auto* lw = l ? qobject_cast<QListWidget*>(l->widget) : nullptr;
  if (!lw || lw->selectedItems().isEmpty()) return;
  for (auto& [id, b] : records_) {
    if (b.is_window || b.kind != ControlKind::MoveButton || !b.widget || b.target != list) continue;
    std::swap(b.source, b.target);
    auto* button = static_cast<QPushButton*>(b.widget.data());
    if (button->text() == kForward || button->text() == kBackward)
      button->setText(b.source == b.first_source ? kForward : kBackward);
  }
}

// --- The "&Do" menu ----------------------------------------------------------------------

QMenu* ScriptWindows::menu_at(const std::vector<int>& path) {
  QMenu* menu = app_.do_menu();
  for (int p : path) {
    const QList<QAction*> actions = menu->actions();
    if (p < 1 || p > actions.size() || !actions[p - 1]->menu()) return nullptr;
    menu = actions[p - 1]->menu();
  }
  return menu;
}

int ScriptWindows::add_menu_item(const std::vector<int>& path, const std::string& caption,
                                 GuiProgramPtr program) {
  int unused = 0;
  return on_ui(
      [=, this](int&) -> int {
        QMenu* menu = menu_at(path);
        if (!menu) return kErrBadHandle;
        const int command = kFirstDoItem + next_item_;
        if (command > kLastDoItem) return kErrBadObjectType;
        ++next_item_;
        QAction* a = menu->addAction(qs(caption));
        a->setData(command);
        items_[command] = program;
        connect(a, &QAction::triggered, this, [this, command] {
          auto* from = qobject_cast<Frame*>(QApplication::activeWindow());
          app_.run_do_item(command, from ? *from : static_cast<Frame&>(app_.ensure_output()));
        });
        return 0;
      },
      &unused);
}

int ScriptWindows::add_submenu(const std::vector<int>& path, const std::string& caption) {
  int unused = 0;
  return on_ui(
      [=, this](int&) -> int {
        QMenu* menu = menu_at(path);
        if (!menu) return kErrBadHandle;
        menu->addMenu(qs(caption));
        return 0;
      },
      &unused);
}

// --- Dialogs -------------------------------------------------------------------------------

int ScriptWindows::message_box(int parent, const std::string& text, int type, int* button) {
  return on_ui(
      [=, this](int& answer) -> int {
        int code = 0;
        QWidget* over = parent_of(parent, &code);
        if (code) return code;
        QMessageBox box(QMessageBox::NoIcon, QString(), qs(text), QMessageBox::NoButton, over);
        const std::vector<BoxButton>& buttons = box_buttons(type);
        for (const BoxButton& b : buttons) box.addButton(b.button);
        box.exec();
        answer = buttons.back().answer;
        for (const BoxButton& b : buttons)
          if (box.clickedButton() == box.button(b.button)) answer = b.answer;
        return 0;
      },
      button);
}

int ScriptWindows::open_file_dialog(std::string* path) {
  return on_ui(
      [this](std::string& chosen) -> int {
        QWidget* over = app_.outputs().isEmpty() ? nullptr : app_.outputs().first();
        chosen = ss(ask_file(over));
        return 0;
      },
      path);
}

// --- The end of a run ----------------------------------------------------------------------

bool ScriptWindows::run_ended(bool failed) {
  // Most runs make no window: they end without a trip to the UI thread.
  if (!made_in_run_.exchange(false)) return open_windows_.load() > 0;
  int unused = 0;
  on_ui(
      [this, failed](int&) -> int {
        const std::vector<int> made = std::move(made_this_run_);
        made_this_run_.clear();
        if (failed)
          for (int id : made)
            if (Record* r = find_window(id)) delete r->widget.data();
        return 0;
      },
      &unused);
  return open_windows_.load() > 0;
}

}  // namespace vop::shell
