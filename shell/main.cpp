// Vop: the desktop program. Output and syntax windows, scripts run on a
// worker thread.
#include <QApplication>

#include <clocale>

#include "shell/vop_app.h"

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Vop"));
  QApplication::setOrganizationName(QStringLiteral("Vop"));
  // Collation follows the user's locale; numbers keep the C form.
  std::setlocale(LC_COLLATE, "");
  vop::shell::VopApp app;
  app.start();
  return QApplication::exec();
}
