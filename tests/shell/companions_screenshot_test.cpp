// The companions' dialogs rendered to PNG files in the build folder, for a
// person to look at. Runs under a virtual X display.
#include <QTest>

#include "companions/pyramid/pyramid_dialog.h"
#include "companions/slides/tesvin_dialog.h"
#include "qt_env.h"

namespace vop {
namespace {

TEST(Screenshot, CompanionDialogs) {
  const QString dir = QStringLiteral(VOP_SCREENSHOT_DIR);
  TesvinDialog tesvin(QString(), TesvinHooks{});
  tesvin.show();
  pyramid::PyramidDialog pyramid{QString()};
  pyramid.show();
  QTest::qWait(100);
  EXPECT_TRUE(tesvin.grab().save(dir + "/tesvin_dialog.png"));
  EXPECT_TRUE(pyramid.grab().save(dir + "/pyramid_dialog.png"));
}

}  // namespace
}  // namespace vop
