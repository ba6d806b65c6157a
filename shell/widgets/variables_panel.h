// The list of the open dataset's variables: name, label and type, with the
// value labels shown when the pointer rests on a variable. Activating a
// variable (double click, or Enter) hands its name on, for the script
// editor to insert.
#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QTreeWidget>

// One variable as the panel shows it.
struct VariableInfo {
  QString name;                                // variable name
  QString label;                               // variable label; empty when unlabelled
  int width = 0;                               // 0 for a numeric variable, else the string width
  QList<QPair<QString, QString>> value_labels; // (value, label) in dictionary order
};

class VariablesPanel : public QTreeWidget {
  Q_OBJECT

 public:
  explicit VariablesPanel(QWidget* parent = nullptr);

  // Replace the list with `variables`, in their order.
  void show_variables(const QList<VariableInfo>& variables);

 Q_SIGNALS:
  void nameActivated(const QString& name);
};
