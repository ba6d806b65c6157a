#include "shell/companions.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStatusBar>

#include "shell/frame.h"
#include "shell/vop_app.h"

namespace vop::shell {

bool start_companion(Frame& frame, const char* name) {
  const QString program = QDir(frame.app().program_dir()).filePath(QString::fromLatin1(name));
  if (!QFileInfo(program).isExecutable()) {
    frame.statusBar()->showMessage(QStringLiteral("%1 was not found in %2").arg(QLatin1String(name),
                                                                              frame.app().program_dir()));
    return false;
  }
  if (!QProcess::startDetached(program, {QStringLiteral(" ")})) {
    frame.statusBar()->showMessage(QStringLiteral("%1 could not be started").arg(QLatin1String(name)));
    return false;
  }
  return true;
}

}  // namespace vop::shell
