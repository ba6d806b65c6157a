// The modeless dialog that follows a redirected run: how many tables and
// charts the run's document has so far.
#pragma once

#include <QDialog>

class QLabel;

namespace vop::shell {

class CountsDialog : public QDialog {
  Q_OBJECT
 public:
  explicit CountsDialog(QWidget* parent = nullptr);
  // Show the counts while either is counted; hide when both are -1.
  void update_counts(int tables, int charts);
  QString tables_text() const;
  QString charts_text() const;

 private:
  QLabel* tables_;  // field 1002; owned by the dialog
  QLabel* charts_;  // field 1003; owned by the dialog
};

}  // namespace vop::shell
