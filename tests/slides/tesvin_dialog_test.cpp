// Tesvin's dialog, offscreen, with the desktop's file dialogs and messages
// replaced: its texts and initial state, Browse enabling OK, and OK
// converting, asking where to save, reporting and closing; a failure or a
// cancelled save keeps it open.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "companions/slides/tesvin_dialog.h"
#include "document/output_event.h"
#include "office/docx_writer.h"
#include "slides/slide_facts.h"

namespace vop {
namespace {

namespace fs = std::filesystem;

struct Message {
  QString caption, text;
  bool error;
};

class Dialog : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = ::testing::TempDir() + "vop_tesvin_dialog_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" + std::to_string(::getpid()) + "/";
    fs::remove_all(dir_);
    fs::create_directories(dir_ + "Syntax");
    for (const char* name : {"chart.cfg", "VopSlides.potx", "VopEN.xml"})
      fs::copy_file(std::string(VOP_SOURCE_DIR) + "/Syntax/" + name, dir_ + "Syntax/" + name);
    hooks_.open_file = [this](QWidget*, const QString& caption, const QString& filter) {
      open_caption_ = caption;
      open_filter_ = filter;
      return open_answer_;
    };
    hooks_.save_file = [this](QWidget*, const QString&, const QString& suggested, const QString&) {
      suggested_ = suggested;
      return save_answer_;
    };
    hooks_.message = [this](QWidget*, const QString& caption, const QString& text, bool error) {
      messages_.push_back({caption, text, error});
    };
    hooks_.show_result = [this](const QString& path) { shown_ = path; };
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string report() {
    std::vector<OutputEvent> e = {TextRun{TextFormat::Heading1, "Survey"}, TextRun{TextFormat::Plain, "\n"},
                                  TextRun{TextFormat::Heading3, "Page"}, TextRun{TextFormat::Plain, "\n"}};
    ChartRequest c;
    c.table.shape = {1, 1, 0, 1};
    c.table.row_labels = {"a"};
    c.table.cells = {DocCell(std::string("5"))};
    e.push_back(ChartBlock{c});
    DocxOptions options;
    options.template_path = dir_ + "Syntax/VopEN.xml";
    std::string error;
    EXPECT_TRUE(write_docx(dir_ + "report.docx", e, options, &error)) << error;
    return dir_ + "report.docx";
  }

  std::string dir_;
  TesvinHooks hooks_;
  QString open_answer_, save_answer_, open_caption_, open_filter_, suggested_, shown_;
  std::vector<Message> messages_;
};

TEST_F(Dialog, ShowsItsTextsWithOkDisabled) {
  TesvinDialog d(QString::fromStdString(dir_ + "Syntax"), hooks_);
  d.show();
  EXPECT_EQ(d.windowTitle(), "Word To PowePoint Converter");
  EXPECT_EQ(d.font().pointSize(), 8);
  QStringList labels;
  for (QLabel* l : d.findChildren<QLabel*>()) labels << l->text();
  EXPECT_TRUE(labels.contains("Select Word document made in Vop template:"));
  EXPECT_EQ(d.browse_button()->text(), "Browse");
  EXPECT_EQ(d.without_charts_box()->text(), "Make slides without charts too");
  EXPECT_EQ(d.two_headers_box()->text(), "Make two headers (Page title doesn't go into the Slide title)");
  EXPECT_FALSE(d.without_charts_box()->isChecked());
  EXPECT_FALSE(d.ok_button()->isEnabled());
  EXPECT_EQ(d.cancel_button()->text(), "Cancel");

  // Browse cancelled: nothing changes.
  QTest::mouseClick(d.browse_button(), Qt::LeftButton);
  EXPECT_EQ(open_caption_, "Open Word Document");
  EXPECT_TRUE(open_filter_.contains("*.docx"));
  EXPECT_TRUE(open_filter_.contains("*.doc"));
  EXPECT_FALSE(d.ok_button()->isEnabled());

  QTest::mouseClick(d.cancel_button(), Qt::LeftButton);
  EXPECT_EQ(d.result(), QDialog::Rejected);
  EXPECT_FALSE(d.isVisible());
}

TEST_F(Dialog, OkConvertsSavesReportsAndCloses) {
  TesvinDialog d(QString::fromStdString(dir_ + "Syntax"), hooks_);
  d.show();
  open_answer_ = QString::fromStdString(report());
  QTest::mouseClick(d.browse_button(), Qt::LeftButton);
  EXPECT_EQ(d.path_edit()->text(), open_answer_);
  ASSERT_TRUE(d.ok_button()->isEnabled());
  d.two_headers_box()->setChecked(true);

  // The save dialog cancelled: nothing written, the dialog stays.
  QTest::mouseClick(d.ok_button(), Qt::LeftButton);
  EXPECT_EQ(suggested_, QString::fromStdString(dir_ + "report.pptx"));
  EXPECT_TRUE(messages_.empty());
  EXPECT_TRUE(d.isVisible());
  EXPECT_FALSE(fs::exists(dir_ + "report.pptx"));

  save_answer_ = QString::fromStdString(dir_ + "slides.pptx");
  QTest::mouseClick(d.ok_button(), Qt::LeftButton);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].caption, "Word to PowerPoint Converter");
  EXPECT_EQ(messages_[0].text, "Zavrseno pravljenje PPT-a!");
  EXPECT_FALSE(messages_[0].error);
  EXPECT_EQ(shown_, save_answer_);
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_FALSE(d.isVisible());
  std::string problem;
  const auto slides = test::read_slides(dir_ + "slides.pptx", &problem);
  ASSERT_EQ(slides.size(), 3u) << problem;
  EXPECT_EQ(slides[0].title, "Survey");
  ASSERT_EQ(slides[1].text_boxes.size(), 1u);  // two-header mode was on
  EXPECT_EQ(slides[1].text_boxes[0].text, "Page");
}

TEST_F(Dialog, FailuresAreShownAndTheDialogStays) {
  fs::remove(dir_ + "Syntax/chart.cfg");
  std::ofstream(dir_ + "notes.docx") << "not a Word document";
  TesvinDialog d(QString::fromStdString(dir_ + "Syntax"), hooks_);
  d.show();
  open_answer_ = QString::fromStdString(dir_ + "notes.docx");
  QTest::mouseClick(d.browse_button(), Qt::LeftButton);
  save_answer_ = QString::fromStdString(dir_ + "notes.pptx");
  QTest::mouseClick(d.ok_button(), Qt::LeftButton);
  ASSERT_EQ(messages_.size(), 2u);
  EXPECT_TRUE(messages_[0].text.contains("chart.cfg")) << messages_[0].text.toStdString();
  EXPECT_TRUE(messages_[1].error);
  EXPECT_TRUE(messages_[1].text.contains("notes.docx"));
  EXPECT_TRUE(d.isVisible());
  EXPECT_TRUE(shown_.isEmpty());
  EXPECT_FALSE(fs::exists(dir_ + "notes.pptx"));
}

}  // namespace
}  // namespace vop
