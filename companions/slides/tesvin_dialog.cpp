#include "companions/slides/tesvin_dialog.h"

#include <filesystem>
#include <string>

#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>
#include <QVBoxLayout>

#include "companions/slides/converter.h"

namespace vop {

TesvinHooks desktop_hooks() {
  TesvinHooks h;
  h.open_file = [](QWidget* parent, const QString& caption, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
  };
  h.save_file = [](QWidget* parent, const QString& caption, const QString& suggested, const QString& filter) {
    QFileDialog dialog(parent, caption, suggested, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("pptx");
    dialog.selectFile(suggested);
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().first()
                                                                                  : QString();
  };
  h.message = [](QWidget* parent, const QString& caption, const QString& text, bool error) {
    QMessageBox box(error ? QMessageBox::Critical : QMessageBox::Information, caption, text, QMessageBox::Ok, parent);
    box.raise();
    box.exec();
  };
  h.show_result = [](const QString& path) {
    // Offscreen and minimal platforms have no desktop to open it on.
    const QString platform = QGuiApplication::platformName();
    if (platform == "offscreen" || platform == "minimal") return;
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
  };
  return h;
}

TesvinDialog::TesvinDialog(const QString& syntax_dir, TesvinHooks hooks, QWidget* parent)
    : QDialog(parent), syntax_dir_(syntax_dir), hooks_(std::move(hooks)) {
  setWindowTitle("Word To PowePoint Converter");
  setFont(QFont("Tahoma", 8));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("Select Word document made in Vop template:"));
  auto* row = new QHBoxLayout;
  path_ = new QLineEdit;
  path_->setMinimumWidth(320);
  browse_ = new QPushButton("Browse");
  row->addWidget(path_);
  row->addWidget(browse_);
  layout->addLayout(row);
  without_charts_ = new QCheckBox("Make slides without charts too");
  two_headers_ = new QCheckBox("Make two headers (Page title doesn't go into the Slide title)");
  layout->addWidget(without_charts_);
  layout->addWidget(two_headers_);
  auto* buttons = new QHBoxLayout;
  ok_ = new QPushButton("OK");
  cancel_ = new QPushButton("Cancel");
  ok_->setEnabled(false);
  ok_->setDefault(true);
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  layout->addLayout(buttons);
  connect(browse_, &QPushButton::clicked, this, &TesvinDialog::browse);
  connect(ok_, &QPushButton::clicked, this, &TesvinDialog::convert);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void TesvinDialog::browse() {
  const QString path =
      hooks_.open_file(this, "Open Word Document", "Word document (*.docx *.doc);;All Files (*)");
  if (path.isEmpty() || !QFileInfo(path).isFile()) return;
  path_->setText(QDir::toNativeSeparators(path));
  ok_->setEnabled(true);
}

void TesvinDialog::convert() {
  const QString caption = "Word to PowerPoint Converter";
  SlideOptions options;
  options.without_charts = without_charts_->isChecked();
  options.two_headers = two_headers_->isChecked();

  ChartConfig config;
  std::string error;
  const std::string syntax = syntax_dir_.toStdString();
  if (!read_chart_config((std::filesystem::path(syntax) / "chart.cfg").string(), &config, &error))
    hooks_.message(this, caption, QString::fromStdString(error), true);
  for (const std::string& w : config.warnings) hooks_.message(this, caption, QString::fromStdString(w), true);

  const QString chosen = QDir::fromNativeSeparators(path_->text().trimmed());
  std::string docx = chosen.toStdString();
  QTemporaryDir scratch;  // a converted .doc and LibreOffice's profile, removed afterwards
  if (is_binary_word(docx)) {
    if (!scratch.isValid() || !doc_to_docx(docx, scratch.path().toStdString(), &docx, &error)) {
      hooks_.message(this, caption, QString::fromStdString(error), true);
      return;
    }
  }
  Presentation slides;
  if (!build_slides(docx, config, syntax, options, &slides, &error)) {
    hooks_.message(this, caption, QString::fromStdString(about_original(error, docx, chosen.toStdString())), true);
    return;
  }
  const QFileInfo source(chosen);
  const QString suggested = source.dir().filePath(source.completeBaseName() + ".pptx");
  const QString target =
      hooks_.save_file(this, "Save Presentation", suggested, "PowerPoint presentation (*.pptx);;All Files (*)");
  if (target.isEmpty()) return;
  if (!slides.save(target.toStdString(), &error)) {
    hooks_.message(this, caption, QString::fromStdString(error), true);
    return;
  }
  hooks_.message(this, caption, "Zavrseno pravljenje PPT-a!", false);
  hooks_.show_result(target);
  accept();
}

}  // namespace vop
