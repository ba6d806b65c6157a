#include "shell/counts_dialog.h"

#include <QFormLayout>
#include <QLabel>

#include "shell/output_format.h"

namespace vop::shell {

CountsDialog::CountsDialog(QWidget* parent) : QDialog(parent) {
  setModal(false);
  setWindowTitle(QStringLiteral("Vop"));
  QFont f(available_family(QStringLiteral("Tahoma")));
  f.setPointSize(8);
  setFont(f);
  tables_ = new QLabel(QStringLiteral("0"), this);
  charts_ = new QLabel(QStringLiteral("0"), this);
  tables_->setObjectName(QStringLiteral("field1002"));
  charts_->setObjectName(QStringLiteral("field1003"));
  auto* form = new QFormLayout(this);
  form->addRow(QStringLiteral("Broj tabela :"), tables_);
  form->addRow(QStringLiteral("Broj grafikona :"), charts_);
}

void CountsDialog::update_counts(int tables, int charts) {
  if (tables < 0 && charts < 0) {
    hide();
    return;
  }
  tables_->setText(QString::number(std::max(tables, 0)));
  charts_->setText(QString::number(std::max(charts, 0)));
  show();
}

QString CountsDialog::tables_text() const { return tables_->text(); }
QString CountsDialog::charts_text() const { return charts_->text(); }

}  // namespace vop::shell
