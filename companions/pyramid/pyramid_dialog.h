// Pyramid's dialog: draws the table the user copied from a spreadsheet
// (the clipboard's text) on a new slide, saves it and opens it. It stays
// open, so several drawings can be made in a row.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include <QDialog>
#include <QString>

#include "office/presentation.h"

class QCheckBox;
class QPushButton;
class QRadioButton;

namespace vop::pyramid {

class PyramidDialog : public QDialog {
  Q_OBJECT
 public:
  // `template_path`: the presentation slides are based on, "" for the
  // built-in one.
  explicit PyramidDialog(QString template_path, QWidget* parent = nullptr);

  // The steps that talk to the desktop, replaceable by tests.
  std::function<std::optional<QString>()> clipboard_text;  // none: the clipboard holds no text
  std::function<QString(const QString& suggested)> ask_path;  // "": cancelled
  std::function<void(const QString&)> show_message;
  std::function<void(const QString&)> open_file;
  std::function<uint32_t()> seed;

  // The drawing of `text` with the dialog's settings; "" or the message
  // for the user.
  QString draw(const std::optional<QString>& text, Presentation* out) const;
  // Writes the drawing to `path`; "" or the message.
  QString save(const Presentation& p, const QString& path) const;

  QRadioButton* in_pyramid() const { return in_pyramid_; }
  QRadioButton* next_to_pyramid() const { return next_to_; }
  QCheckBox* show_optimal() const { return optimal_; }
  QPushButton* make_button() const { return make_; }

 public Q_SLOTS:
  // "Make Pyramid": the clipboard's table drawn, saved where the user
  // says, and opened.
  void make_pyramid();

 private:
  QString template_path_;
  QString last_path_;
  QRadioButton* in_pyramid_;
  QRadioButton* next_to_;
  QCheckBox* optimal_;
  QPushButton* make_;
};

}  // namespace vop::pyramid
