#include "shell/widgets/variables_panel.h"

#include <QHeaderView>

namespace {

enum Column { kName = 0, kLabel = 1, kType = 2 };

// Tooltip of a variable: its value labels, one "value = label" a line.
// Always marked up, with the labels escaped, so that a label holding "<"
// or "&" shows as written instead of being guessed to be markup.
QString value_label_tip(const VariableInfo& v) {
  if (v.value_labels.isEmpty()) return {};
  QStringList lines;
  for (const auto& [value, label] : v.value_labels)
    lines.append((value + QStringLiteral(" = ") + label).toHtmlEscaped());
  return QStringLiteral("<p style='white-space:pre'>") + lines.join(QStringLiteral("<br>")) +
         QStringLiteral("</p>");
}

}  // namespace

VariablesPanel::VariablesPanel(QWidget* parent) : QTreeWidget(parent) {
  setColumnCount(3);
  setHeaderLabels({tr("Name"), tr("Label"), tr("Type")});
  setRootIsDecorated(false);
  setUniformRowHeights(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  header()->setStretchLastSection(false);
  header()->setSectionResizeMode(kLabel, QHeaderView::Stretch);
  connect(this, &QTreeWidget::itemActivated, this,
          [this](QTreeWidgetItem* item) { Q_EMIT nameActivated(item->text(kName)); });
}

void VariablesPanel::show_variables(const QList<VariableInfo>& variables) {
  clear();
  QList<QTreeWidgetItem*> items;
  items.reserve(variables.size());
  for (const VariableInfo& v : variables) {
    auto* item = new QTreeWidgetItem;
    item->setText(kName, v.name);
    item->setText(kLabel, v.label);
    item->setText(kType, v.width == 0 ? tr("Numeric") : tr("String (%1)").arg(v.width));
    const QString tip = value_label_tip(v);
    for (int c = kName; c <= kType; ++c) item->setToolTip(c, tip);
    items.append(item);
  }
  addTopLevelItems(items);
  resizeColumnToContents(kName);
  resizeColumnToContents(kType);
}
