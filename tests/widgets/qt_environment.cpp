// One QApplication for the whole test program, on the offscreen platform
// unless the caller chose another (a real display, or xvfb).
#include <QApplication>
#include <QtGlobal>

#include <gtest/gtest.h>

#include <memory>

namespace {

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app_ = std::make_unique<QApplication>(argc_, argv_);
  }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;                           // QApplication keeps references to both
  char name_[13] = "widgets_test";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;      // the application; owned
};

const auto* const kRegistered = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
