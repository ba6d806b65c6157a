// Shared by the shell tests: one QApplication for the test program (made
// by a GoogleTest environment, offscreen unless the platform is chosen
// already), and waiting for the event loop without fixed sleeps.
#pragma once

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

#include "shell/run_controller.h"
#include "shell/vop_app.h"

namespace vop::shell::test {

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "shell_tests";
    static char* argv[] = {name, nullptr};
    app_ = new QApplication(argc, argv);
  }
  void TearDown() override { delete app_; }

 private:
  QApplication* app_ = nullptr;
};

// Runs the event loop until `done` holds; false after ten seconds.
inline bool wait_for(const std::function<bool()>& done) { return QTest::qWaitFor(done, 10000); }

// An application as the tests use it: no start-up script, windows hidden,
// messages collected instead of shown.
struct TestApp {
  TestApp() : app(AppOptions{QString(), false, false, false}) {
    app.message = [this](Frame*, const QString& text) { messages.append(text); };
    app.start();
  }
  ~TestApp() { app.runs().wait(); }
  // Everything the designated output window shows.
  QString shown();
  // Wait until the program is idle again and the output is drained.
  bool settle() {
    return wait_for([this] { return app.idle(); }) && (app.drain_output(), true);
  }

  VopApp app;
  QStringList messages;
};

}  // namespace vop::shell::test
