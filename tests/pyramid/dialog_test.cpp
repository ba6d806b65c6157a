// The dialog on Qt's offscreen platform: its texts, the messages for a
// clipboard without a table, and drawings made one after another with the
// settings of the moment, saved where the user says.
#include <gtest/gtest.h>

#include <unistd.h>

#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <filesystem>

#include "companions/pyramid/pyramid_chart.h"
#include "companions/pyramid/pyramid_dialog.h"
#include "office/package_reader.h"
#include "slide_facts.h"

namespace vop::pyramid {
namespace {

namespace fs = std::filesystem;

class PyramidDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = ::testing::TempDir() + "vop_pyramid_dialog_" + std::to_string(::getpid()) + "/";
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    dialog_ = std::make_unique<PyramidDialog>(QString());
    dialog_->show_message = [this](const QString& m) { messages_.push_back(m); };
    dialog_->ask_path = [this](const QString& suggested) {
      suggested_.push_back(suggested);
      return next_path_;
    };
    dialog_->open_file = [this](const QString& p) { opened_.push_back(p); };
    dialog_->seed = [] { return 12345u; };
    dialog_->show();
  }
  void TearDown() override {
    dialog_.reset();
    fs::remove_all(dir_);
  }
  void click_with(std::optional<QString> clipboard) {
    dialog_->clipboard_text = [clipboard] { return clipboard; };
    QTest::mouseClick(dialog_->make_button(), Qt::LeftButton);
  }
  std::vector<test::ShapeFact> slide_of(const QString& pptx) {
    OpcReader r;
    std::string error, xml;
    EXPECT_TRUE(r.open(pptx.toStdString(), &error)) << error;
    EXPECT_TRUE(r.read("ppt/slides/slide1.xml", &xml, &error)) << error;
    return test::slide_facts(xml);
  }

  std::string dir_;
  std::unique_ptr<PyramidDialog> dialog_;
  QStringList messages_, suggested_, opened_;
  QString next_path_;
};

TEST_F(PyramidDialogTest, ShowsItsTextsAndStartsWithRatiosInThePyramid) {
  EXPECT_EQ(dialog_->windowTitle(), "Pyramid");
  bool found = false;
  for (QLabel* l : dialog_->findChildren<QLabel*>())
    found = found || l->text() ==
                         "The application will find the selected region in active Excel sheet, and from that data "
                         "make pyramids in new ppt slide.";
  EXPECT_TRUE(found);
  const auto groups = dialog_->findChildren<QGroupBox*>();
  ASSERT_EQ(groups.size(), 1);
  EXPECT_EQ(groups[0]->title(), "Conversion rations are in:");
  EXPECT_EQ(dialog_->in_pyramid()->text(), "In pyramid");
  EXPECT_EQ(dialog_->next_to_pyramid()->text(), "Next to pyramid");
  EXPECT_TRUE(dialog_->in_pyramid()->isChecked());
  EXPECT_FALSE(dialog_->next_to_pyramid()->isChecked());
  EXPECT_EQ(dialog_->show_optimal()->text(), "Show optimal pyramid");
  EXPECT_FALSE(dialog_->show_optimal()->isChecked());
  EXPECT_EQ(dialog_->make_button()->text(), "Make Pyramid");
}

TEST_F(PyramidDialogTest, AClipboardWithoutATableGetsItsMessage) {
  next_path_ = QString::fromStdString(dir_ + "never.pptx");
  click_with(std::nullopt);
  click_with(QString(" \t\r\n\t\n"));
  click_with(QString("42\r\n"));
  QString wide = "L";
  for (int i = 0; i < 32; ++i) wide += "\t1";
  click_with(wide + "\n");
  ASSERT_EQ(messages_.size(), 4);
  EXPECT_EQ(messages_[0], kNoSpreadsheet);
  EXPECT_EQ(messages_[1], kNoSelection);
  EXPECT_EQ(messages_[2], kNotATable);
  EXPECT_TRUE(messages_[3].contains("33 columns")) << messages_[3].toStdString();
  // Nothing asked, saved or opened.
  EXPECT_TRUE(suggested_.isEmpty());
  EXPECT_TRUE(opened_.isEmpty());
  EXPECT_FALSE(fs::exists(dir_ + "never.pptx"));
}

TEST_F(PyramidDialogTest, DrawingsOneAfterAnotherWithTheSettingsOfTheMoment) {
  const QString table = "Aware\t30\r\nTried\t60\r\n\tBrand\r\n";
  next_path_ = QString::fromStdString(dir_ + "first.pptx");
  click_with(table);
  EXPECT_TRUE(messages_.isEmpty()) << messages_.join("; ").toStdString();
  ASSERT_EQ(suggested_.size(), 1);
  EXPECT_TRUE(suggested_[0].endsWith("/pyramid.pptx"));
  ASSERT_EQ(opened_.size(), 1);
  EXPECT_EQ(opened_[0], next_path_);
  auto f = slide_of(opened_[0]);
  ASSERT_NE(test::find_shape(f, "r2c2k"), nullptr);
  EXPECT_NEAR(test::find_shape(f, "r2c2k")->width, 11.4, 1e-4);  // in the pyramid
  EXPECT_EQ(test::find_shape(f, "r1c3"), nullptr);                // no optimal pyramid
  EXPECT_TRUE(dialog_->isVisible());

  // The second time the settings have changed, and the save dialog starts
  // in the folder of the first file.
  dialog_->next_to_pyramid()->setChecked(true);
  dialog_->show_optimal()->setChecked(true);
  next_path_ = QString::fromStdString(dir_ + "second.pptx");
  click_with(table);
  ASSERT_EQ(suggested_.size(), 2);
  EXPECT_EQ(suggested_[1], QString::fromStdString(dir_ + "pyramid.pptx"));
  ASSERT_EQ(opened_.size(), 2);
  f = slide_of(opened_[1]);
  EXPECT_NEAR(test::find_shape(f, "r2c2k")->width, 14.25, 1e-4);
  EXPECT_NE(test::find_shape(f, "r1c3"), nullptr);
  EXPECT_TRUE(fs::exists(dir_ + "first.pptx"));

  // A cancelled save dialog writes and opens nothing; a failed save says why.
  next_path_.clear();
  click_with(table);
  EXPECT_EQ(opened_.size(), 2);
  next_path_ = QString::fromStdString(dir_ + "no/such/folder/x.pptx");
  click_with(table);
  EXPECT_EQ(opened_.size(), 2);
  EXPECT_EQ(messages_.size(), 1);
}

TEST_F(PyramidDialogTest, ReadsTheClipboardsText) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->setText("Aware\t30\nTried\t60\n\tBrand\n");
  if (clipboard->text() != "Aware\t30\nTried\t60\n\tBrand\n") GTEST_SKIP() << "no clipboard on this platform";
  dialog_ = std::make_unique<PyramidDialog>(QString());  // the clipboard reader it comes with
  dialog_->show_message = [this](const QString& m) { messages_.push_back(m); };
  dialog_->ask_path = [this](const QString&) { return QString::fromStdString(dir_ + "c.pptx"); };
  dialog_->open_file = [this](const QString& p) { opened_.push_back(p); };
  dialog_->make_pyramid();
  EXPECT_TRUE(messages_.isEmpty()) << messages_.join("; ").toStdString();
  ASSERT_EQ(opened_.size(), 1);
  EXPECT_NE(test::find_shape(slide_of(opened_[0]), "r2c2"), nullptr);
  clipboard->clear();
  dialog_->make_pyramid();
  ASSERT_EQ(messages_.size(), 1);
  EXPECT_EQ(messages_[0], kNoSpreadsheet);
}

}  // namespace
}  // namespace vop::pyramid
