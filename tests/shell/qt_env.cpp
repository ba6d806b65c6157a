#include "qt_env.h"

#include <QTextEdit>

#include "shell/output_frame.h"

namespace vop::shell::test {

QString TestApp::shown() {
  OutputFrame* out = app.designated_output();
  return out ? out->text_edit()->toPlainText() : QString();
}

namespace {
// Registered before main() runs the tests.
const auto* const environment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);
}  // namespace

}  // namespace vop::shell::test
