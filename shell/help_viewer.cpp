#include "shell/help_viewer.h"

#include <QAction>
#include <QApplication>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextBlock>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "help/help.h"

namespace vop::shell {

namespace {

bool word_char(QChar ch) { return ch.isLetterOrNumber() || ch == u'_'; }

}  // namespace

QString help_word_at_caret(const QPlainTextEdit& editor) {
  const QTextCursor c = editor.textCursor();
  const QString line = c.block().text();
  int begin = c.positionInBlock(), end = begin;
  while (begin > 0 && word_char(line[begin - 1])) --begin;
  while (end < line.size() && word_char(line[end])) ++end;
  if (begin == end) return {};
  if (begin > 0 && (line[begin - 1] == u'!' || line[begin - 1] == u'$')) --begin;
  return line.mid(begin, end - begin);
}

HelpViewer& HelpViewer::instance() {
  static QPointer<HelpViewer> viewer;
  if (!viewer) {
    viewer = new HelpViewer;
    // A window without a parent: it goes when the program ends.
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, viewer, [] { delete viewer; });
  }
  return *viewer;
}

HelpViewer::HelpViewer() : QWidget(nullptr, Qt::Window) {
  setObjectName(QStringLiteral("helpViewer"));
  setAttribute(Qt::WA_DeleteOnClose);
  browser_ = new QTextBrowser(this);
  browser_->setOpenLinks(false);
  connect(browser_, &QTextBrowser::anchorClicked, this, &HelpViewer::follow);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(browser_);
  resize(640, 560);
}

void HelpViewer::show_markdown(const QString& markdown, const QString& title) {
  browser_->setMarkdown(markdown);
  setWindowTitle(title + QStringLiteral(" - Vop Reference"));
  show();
  raise();
  activateWindow();
}

void HelpViewer::show_topic(const QString& topic) {
  const std::optional<help::Entry> entry = help::lookup(topic.toStdString());
  if (!entry) {
    show_markdown(QString::fromStdString(help::start_page()), QStringLiteral("Start"));
    return;
  }
  // The entry, then where the rest of the reference is.
  const QString more = QStringLiteral("\n\n---\n\nIn [%1](%1) — [the reference's start](start)\n")
                           .arg(QString::fromUtf8(help::file_name(entry->doc)));
  show_markdown(QString::fromStdString(entry->text) + more, QString::fromStdString(entry->heading));
}

void HelpViewer::follow(const QUrl& link) {
  const QString name = link.path();
  for (help::Doc doc : help::kDocs)
    if (name == QString::fromUtf8(help::file_name(doc))) {
      show_markdown(QString::fromUtf8(help::text(doc).data(), qsizetype(help::text(doc).size())), name);
      return;
    }
  show_topic({});
}

QString HelpViewer::shown_text() const { return browser_->toPlainText(); }

void install_help_key(QPlainTextEdit* editor) {
  auto* action = new QAction(editor);
  action->setShortcut(QKeySequence(Qt::Key_F1));
  action->setShortcutContext(Qt::WidgetShortcut);
  QObject::connect(action, &QAction::triggered, editor,
                   [editor] { HelpViewer::instance().show_topic(help_word_at_caret(*editor)); });
  editor->addAction(action);
}

}  // namespace vop::shell
