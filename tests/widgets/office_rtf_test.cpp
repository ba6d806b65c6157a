// LibreOffice opens the output files we write, and we read the RTF it
// writes. Slow: it starts the office suite.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

#include "output_documents.h"
#include "shell/widgets/rich_text_file.h"

namespace {

class OfficeRtf : public ::testing::Test {
 protected:
  void SetUp() override {
    if (QStandardPaths::findExecutable("soffice").isEmpty()) GTEST_SKIP() << "LibreOffice missing";
    ASSERT_TRUE(dir_.isValid());
  }

  // LibreOffice's conversion of `path` to `format`; the converted file.
  QString convert(const QString& path, const QString& format, const QString& extension) {
    QProcess office;
    // A profile of its own, so that a running LibreOffice is not disturbed.
    office.start("soffice", {"-env:UserInstallation=file://" + dir_.filePath("profile"), "--headless",
                             "--convert-to", format, "--outdir", dir_.filePath("out"), path});
    EXPECT_TRUE(office.waitForFinished(240000));
    EXPECT_EQ(office.exitCode(), 0) << office.readAllStandardError().toStdString();
    return dir_.filePath("out/" + QFileInfo(path).completeBaseName() + "." + extension);
  }

  QTemporaryDir dir_;
};

QString normalised(QString text) {
  if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
  text.replace("\r\n", "\n");
  while (text.endsWith('\n')) text.chop(1);
  return text;
}

TEST_F(OfficeRtf, OpensTheRtfWeWrite) {
  QTextDocument doc;
  fill_sample_output(doc);
  const QString path = dir_.filePath("results.rtf");
  QString error;
  ASSERT_TRUE(save_output(doc, path, &error)) << error.toStdString();
  QFile text(convert(path, "txt:Text (encoded):UTF8", "txt"));
  ASSERT_TRUE(text.open(QIODevice::ReadOnly));
  EXPECT_EQ(normalised(QString::fromUtf8(text.readAll())).toStdString(),
            normalised(doc.toPlainText()).toStdString());
}

TEST_F(OfficeRtf, ReadsTheRtfLibreOfficeWrites) {
  QTextDocument doc;
  fill_sample_output(doc);
  const QString path = dir_.filePath("source.rtf");
  ASSERT_TRUE(save_output(doc, path, nullptr));
  // Through LibreOffice's own document and back out as its RTF.
  const QString odt = convert(path, "odt", "odt");
  const QString rtf = convert(odt, "rtf", "rtf");
  QTextDocument read;
  QString error;
  ASSERT_TRUE(load_output(read, rtf, &error)) << error.toStdString();
  EXPECT_EQ(normalised(read.toPlainText()).toStdString(), normalised(doc.toPlainText()).toStdString());
  const QTextCharFormat heading = read.begin().begin().fragment().charFormat();
  EXPECT_EQ(heading.fontWeight(), QFont::Bold);
  EXPECT_EQ(heading.fontPointSize(), 20);
  EXPECT_TRUE((read.begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask) == Qt::AlignHCenter);
}

}  // namespace
