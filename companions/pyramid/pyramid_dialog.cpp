#include "companions/pyramid/pyramid_dialog.h"

#include <ctime>

#include <QCheckBox>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>
#include <QVBoxLayout>

#include "companions/pyramid/pyramid_chart.h"
#include "companions/pyramid/pyramid_table.h"

namespace vop::pyramid {

PyramidDialog::PyramidDialog(QString template_path, QWidget* parent)
    : QDialog(parent), template_path_(std::move(template_path)) {
  setWindowTitle("Pyramid");
  auto* layout = new QVBoxLayout(this);
  auto* text = new QLabel(
      "The application will find the selected region in active Excel sheet, and from that data make pyramids in new "
      "ppt slide.");
  text->setWordWrap(true);
  layout->addWidget(text);
  auto* group = new QGroupBox("Conversion rations are in:");
  auto* group_layout = new QVBoxLayout(group);
  in_pyramid_ = new QRadioButton("In pyramid");
  next_to_ = new QRadioButton("Next to pyramid");
  in_pyramid_->setChecked(true);
  group_layout->addWidget(in_pyramid_);
  group_layout->addWidget(next_to_);
  layout->addWidget(group);
  optimal_ = new QCheckBox("Show optimal pyramid");
  layout->addWidget(optimal_);
  make_ = new QPushButton("Make Pyramid");
  make_->setDefault(true);
  layout->addWidget(make_);
  connect(make_, &QPushButton::clicked, this, &PyramidDialog::make_pyramid);
  setMinimumWidth(360);

  clipboard_text = []() -> std::optional<QString> {
    const QMimeData* m = QGuiApplication::clipboard()->mimeData();
    if (!m || !m->hasText()) return std::nullopt;
    return m->text();
  };
  ask_path = [this](const QString& suggested) {
    QString path = QFileDialog::getSaveFileName(this, "Save the pyramids", suggested,
                                                "PowerPoint presentations (*.pptx)");
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) path += ".pptx";
    return path;
  };
  show_message = [this](const QString& message) { QMessageBox::warning(this, "Pyramid", message); };
  open_file = [](const QString& path) {
    // Nothing to show a file with on the platforms without a desktop.
    const QString platform = QGuiApplication::platformName();
    if (platform == "offscreen" || platform == "minimal") return;
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
  };
  seed = [] { return seed_of_time(uint64_t(std::time(nullptr))); };
}

QString PyramidDialog::draw(const std::optional<QString>& text, Presentation* out) const {
  if (!text) return kNoSpreadsheet;
  const Table table = parse_delimited(text->toStdString(), '\t');
  Options options;
  options.next_to = next_to_->isChecked();
  options.optimal = optimal_->isChecked();
  std::string error;
  if (!make_presentation(table, options, seed(), template_path_.toStdString(), out, &error))
    return QString::fromStdString(error);
  return {};
}

QString PyramidDialog::save(const Presentation& p, const QString& path) const {
  std::string error;
  if (!p.save(path.toStdString(), &error)) return QString::fromStdString(error);
  return {};
}

void PyramidDialog::make_pyramid() {
  Presentation p;
  QString message = draw(clipboard_text(), &p);
  if (!message.isEmpty()) {
    show_message(message);
    return;
  }
  const QString suggested =
      last_path_.isEmpty() ? QDir::home().filePath("pyramid.pptx") : QFileInfo(last_path_).dir().filePath("pyramid.pptx");
  const QString path = ask_path(suggested);
  if (path.isEmpty()) return;
  message = save(p, path);
  if (!message.isEmpty()) {
    show_message(message);
    return;
  }
  last_path_ = path;
  open_file(path);
}

}  // namespace vop::pyramid
