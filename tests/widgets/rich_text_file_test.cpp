#include "shell/widgets/rich_text_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <cstdint>

#include "output_documents.h"

namespace {

QByteArray read_all(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void write_all(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

TEST(RichTextFile, FormatsSurviveAWriteAndARead) {
  QTextDocument original;
  fill_sample_output(original);
  const QByteArray rtf = document_to_rtf(original);
  QTextDocument read;
  ASSERT_TRUE(rtf_to_document(rtf, read));
  EXPECT_EQ(describe(read), describe(original)) << rtf.toStdString();
  EXPECT_EQ(read.toPlainText(), original.toPlainText());
}

TEST(RichTextFile, WritesCharactersBeyondAsciiAsUnicodeEscapes) {
  QTextDocument doc;
  doc.setPlainText(QStringLiteral("\u00e9\u0428\U0001F600\uFFFD"));
  const QByteArray rtf = document_to_rtf(doc);
  for (char c : rtf) EXPECT_LT((unsigned char)c, 0x80);
  // Signed 16-bit numbers, the character beyond the BMP as its two halves.
  EXPECT_TRUE(rtf.contains("\\u233?\\u1064?\\u-10179?\\u-8704?\\u-3?")) << rtf.toStdString();
  QTextDocument read;
  ASSERT_TRUE(rtf_to_document(rtf, read));
  EXPECT_EQ(read.toPlainText(), doc.toPlainText());
}

TEST(RichTextFile, ReadsRtfOfOtherWriters) {
  // The usual furniture of a word processor's file around two paragraphs:
  // a style sheet, document information, {\*...} destinations, \uN with
  // its \'hh fallback, a \uc0 stretch, Windows-1252 bytes and escapes.
  const QByteArray rtf =
      "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times New Roman;}"
      "{\\f1\\fswiss Arial{\\*\\falt Helvetica};}}"
      "{\\colortbl;\\red0\\green0\\blue0;\\red193\\green0\\blue0;}"
      "{\\stylesheet{\\s0 Normal;}{\\s1 heading 1;}}"
      "{\\info{\\title Report}{\\author Someone}}{\\*\\generator Writer;}"
      "\\pard\\plain \\s1\\qc\\sb240 {\\f1\\fs28\\b\\cf2 Caf\\u233\\'e9 \\'93x\\'94}\\par\n"
      "\\pard\\plain\\tx720\\tqr\\tx2880 A\\tab B{\\uc0\\u1064}\\~{\\*\\bkmkstart b}C\\{\\}\\\\\\par\n"
      "}";
  QTextDocument doc;
  ASSERT_TRUE(rtf_to_document(rtf, doc));
  ASSERT_EQ(doc.blockCount(), 2);
  EXPECT_EQ(doc.begin().text(), QStringLiteral("Caf\u00e9 \u201cx\u201d"));
  EXPECT_EQ(doc.begin().next().text(), QStringLiteral("A\tB\u0428\u00a0C{}\\"));
  const QTextBlock first = doc.begin();
  EXPECT_TRUE((first.blockFormat().alignment() & Qt::AlignHorizontal_Mask) == Qt::AlignHCenter);
  const QTextCharFormat heading = first.begin().fragment().charFormat();
  EXPECT_EQ(heading.fontFamilies().toStringList(), QStringList{"Arial"});
  EXPECT_EQ(heading.fontPointSize(), 14);
  EXPECT_EQ(heading.fontWeight(), QFont::Bold);
  EXPECT_EQ(heading.foreground().color(), QColor(193, 0, 0));
  const QList<QTextOption::Tab> tabs = first.next().blockFormat().tabPositions();
  ASSERT_EQ(tabs.size(), 2);
  EXPECT_EQ(tabs[0].position, 48);
  EXPECT_EQ(tabs[1].type, QTextOption::RightTab);
  const QTextCharFormat body = first.next().begin().fragment().charFormat();
  EXPECT_EQ(body.fontFamilies().toStringList(), QStringList{"Times New Roman"});
  EXPECT_EQ(body.fontPointSize(), 12);
}

TEST(RichTextFile, RefusesWhatIsNotRtfAndKeepsTheDocument) {
  QTextDocument doc;
  doc.setPlainText("kept");
  EXPECT_FALSE(rtf_to_document("hello", doc));
  EXPECT_FALSE(rtf_to_document("", doc));
  EXPECT_FALSE(rtf_to_document("{\\rtf1" + QByteArray(20000, '{'), doc));
  EXPECT_EQ(doc.toPlainText(), "kept");
  // Damage after the header still gives what could be read.
  ASSERT_TRUE(rtf_to_document("{\\rtf1 abc\\u", doc));
  EXPECT_EQ(doc.toPlainText(), "abc");
  // Control characters are no text, even when escaped.
  ASSERT_TRUE(rtf_to_document("{\\rtf1 a\\u10?b\\u1?\x01" "c}", doc));
  EXPECT_EQ(doc.toPlainText(), "abc");
  EXPECT_EQ(doc.blockCount(), 1);
  ASSERT_TRUE(rtf_to_document("{\\rtf1 abc}}}def\\'", doc));
  EXPECT_EQ(doc.toPlainText(), "abc");
}

// Damaged files: every cut of a file we wrote, and files with bytes
// changed. Each is read or refused; none may crash or hang the reader.
TEST(RichTextFile, SurvivesDamagedFiles) {
  QTextDocument original;
  fill_sample_output(original);
  const QByteArray rtf = document_to_rtf(original);
  QTextDocument doc;
  const QString whole = original.toPlainText();
  for (qsizetype n = 0; n <= rtf.size(); ++n) {
    // What a cut file gives is the start of the text, but for its last
    // character (a cut \uN escape reads as another character).
    if (rtf_to_document(rtf.left(n), doc)) {
      QString got = doc.toPlainText();
      got.chop(1);
      EXPECT_TRUE(whole.startsWith(got)) << n << ": " << got.toStdString();
    }
  }
  const char kSyntax[] = "{}\\'*0123456789-; ua";
  std::uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
  for (int round = 0; round < 500; ++round) {
    QByteArray damaged = rtf;
    for (int k = 0; k < 8; ++k) damaged[1 + qsizetype(next() % (damaged.size() - 1))] = kSyntax[next() % 21];
    rtf_to_document(damaged, doc);
  }
}

TEST(RichTextFile, SavesAndLoadsByTheFileName) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QTextDocument original;
  fill_sample_output(original);
  QString error;

  // Rich Text for a name ending in rtf, in any case.
  for (const char* name : {"out.rtf", "OUT2.RTF", "mixed.Rtf"}) {
    const QString path = dir.filePath(name);
    ASSERT_TRUE(save_output(original, path, &error)) << error.toStdString();
    EXPECT_TRUE(read_all(path).startsWith("{\\rtf1")) << name;
    QTextDocument loaded;
    ASSERT_TRUE(load_output(loaded, path, &error)) << error.toStdString();
    EXPECT_EQ(describe(loaded), describe(original)) << name;
    EXPECT_FALSE(loaded.isModified());
  }

  // Plain UTF-8 text otherwise.
  const QString txt = dir.filePath("out.txt");
  ASSERT_TRUE(save_output(original, txt, &error)) << error.toStdString();
  EXPECT_EQ(read_all(txt), original.toPlainText().toUtf8());
  QTextDocument loaded;
  ASSERT_TRUE(load_output(loaded, txt, &error));
  EXPECT_EQ(loaded.toPlainText(), original.toPlainText());

  // An RTF text in a file not named .rtf is loaded as the text it is.
  const QString disguised = dir.filePath("rtf.txt");
  write_all(disguised, "{\\rtf1 x}");
  ASSERT_TRUE(load_output(loaded, disguised, &error));
  EXPECT_EQ(loaded.toPlainText(), "{\\rtf1 x}");
}

TEST(RichTextFile, LoadsPlainTextOfOtherSystems) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath("old.txt");
  // Windows line ends and Windows-1252 bytes that are not UTF-8.
  write_all(path, "caf\xe9 \x80 5\r\nnext\rlast");
  QTextDocument doc;
  QString error;
  ASSERT_TRUE(load_output(doc, path, &error)) << error.toStdString();
  EXPECT_EQ(doc.toPlainText(), QStringLiteral("caf\u00e9 \u20ac 5\nnext\nlast"));
}

TEST(RichTextFile, ReportsFailuresAndLosesNothing) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QTextDocument doc;
  doc.setPlainText("results");
  QString error;

  EXPECT_FALSE(save_output(doc, dir.filePath("missing/out.rtf"), &error));
  EXPECT_TRUE(error.contains("missing/out.rtf")) << error.toStdString();
  // Saving over a folder fails and leaves it be.
  ASSERT_TRUE(QDir(dir.path()).mkdir("folder.rtf"));
  error.clear();
  EXPECT_FALSE(save_output(doc, dir.filePath("folder.rtf"), &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_TRUE(QFileInfo(dir.filePath("folder.rtf")).isDir());
  EXPECT_FALSE(save_output(doc, dir.filePath("folder.rtf"), nullptr));

  error.clear();
  EXPECT_FALSE(load_output(doc, dir.filePath("absent.rtf"), &error));
  EXPECT_FALSE(error.isEmpty());
  const QString fake = dir.filePath("fake.rtf");
  write_all(fake, "plain words");
  error.clear();
  EXPECT_FALSE(load_output(doc, fake, &error));
  EXPECT_TRUE(error.contains("Rich Text")) << error.toStdString();
  EXPECT_EQ(doc.toPlainText(), "results");
}

}  // namespace
