// Tesvin's window: a Word document is chosen, the two options set, and OK
// turns it into slides that are saved where the user says and opened.
#pragma once

#include <functional>

#include <QDialog>
#include <QString>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace vop {

// What the dialog asks of the desktop; the defaults use Qt's file
// dialogs, message boxes and QDesktopServices, tests put their own.
struct TesvinHooks {
  // A file to open ("" : none chosen).
  std::function<QString(QWidget* parent, const QString& caption, const QString& filter)> open_file;
  // Where to save ("" : cancelled).
  std::function<QString(QWidget* parent, const QString& caption, const QString& suggested, const QString& filter)>
      save_file;
  std::function<void(QWidget* parent, const QString& caption, const QString& text, bool error)> message;
  // Shows the finished presentation.
  std::function<void(const QString& path)> show_result;
};

TesvinHooks desktop_hooks();

class TesvinDialog : public QDialog {
  Q_OBJECT
 public:
  // `syntax_dir`: the Syntax folder with chart.cfg and the template.
  TesvinDialog(const QString& syntax_dir, TesvinHooks hooks, QWidget* parent = nullptr);

  QLineEdit* path_edit() const { return path_; }
  QCheckBox* without_charts_box() const { return without_charts_; }
  QCheckBox* two_headers_box() const { return two_headers_; }
  QPushButton* browse_button() const { return browse_; }
  QPushButton* ok_button() const { return ok_; }
  QPushButton* cancel_button() const { return cancel_; }

 private:
  void browse();
  void convert();

  QString syntax_dir_;
  TesvinHooks hooks_;
  QLineEdit* path_;
  QCheckBox* without_charts_;
  QCheckBox* two_headers_;
  QPushButton* browse_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

}  // namespace vop
