#include "shell/widgets/syntax_editor.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QTextBlock>
#include <QTextLayout>

#include <gtest/gtest.h>

#include "shell/widgets/syntax_highlighter.h"
#include "shell/widgets/text_font.h"

namespace {

using Role = SyntaxHighlighter::Role;

QColor role_colour(Role role) { return SyntaxHighlighter::role_format(role).foreground().color(); }

// The colour the highlighter gave to character `pos` of line `line`;
// invalid when it gave none.
QColor colour_at(const SyntaxEditor& editor, int line, int pos) {
  const QTextBlock block = editor.document()->findBlockByNumber(line);
  for (const QTextLayout::FormatRange& r : block.layout()->formats())
    if (pos >= r.start && pos < r.start + r.length) return r.format.foreground().color();
  return {};
}

void place_caret(SyntaxEditor& editor, int position, int anchor = -1) {
  QTextCursor c = editor.textCursor();
  c.setPosition(anchor < 0 ? position : anchor);
  if (anchor >= 0) c.setPosition(position, QTextCursor::KeepAnchor);
  editor.setTextCursor(c);
}

TEST(SyntaxEditor, PastesRichTextAsPlainText) {
  SyntaxEditor editor;
  auto* html_only = new QMimeData;
  html_only->setHtml("<p><b>bold</b> and <i>italic</i></p>");
  QApplication::clipboard()->setMimeData(html_only);
  ASSERT_TRUE(editor.canPaste());
  editor.paste();
  EXPECT_EQ(editor.toPlainText(), "bold and italic");
  for (auto it = editor.document()->begin().begin(); !it.atEnd(); ++it) {
    EXPECT_FALSE(it.fragment().charFormat().hasProperty(QTextFormat::FontWeight));
    EXPECT_FALSE(it.fragment().charFormat().hasProperty(QTextFormat::FontItalic));
  }

  // With both forms on the clipboard the text form is taken as it is.
  editor.clear();
  auto* both = new QMimeData;
  both->setHtml("<b>rich</b>");
  both->setText("x = 1");
  QApplication::clipboard()->setMimeData(both);
  editor.paste();
  EXPECT_EQ(editor.toPlainText(), "x = 1");
}

TEST(SyntaxEditor, RunTextIsTheSelectionOrTheCaretsLine) {
  SyntaxEditor editor;
  editor.setPlainText("a = 1\nb = 22\n\nc = 3");

  // A selection over two lines, line break as "\n".
  place_caret(editor, 11, 4);
  EXPECT_EQ(editor.run_text(), "1\nb = 2");

  // No selection: the caret's whole line, which becomes the selection.
  place_caret(editor, 8);
  EXPECT_EQ(editor.run_text(), "b = 22");
  EXPECT_EQ(editor.textCursor().selectedText(), "b = 22");

  // The last line has no line end after it.
  place_caret(editor, editor.document()->characterCount() - 1);
  EXPECT_EQ(editor.run_text(), "c = 3");

  // A blank line runs nothing.
  place_caret(editor, 13);
  EXPECT_EQ(editor.run_text(), "");
  EXPECT_FALSE(editor.textCursor().hasSelection());
}

TEST(SyntaxEditor, ModifiedFollowsTheDocument) {
  SyntaxEditor editor;
  editor.setPlainText("x = 1");
  editor.document()->setModified(false);
  EXPECT_FALSE(editor.is_modified());
  editor.insertPlainText("0");
  EXPECT_TRUE(editor.is_modified());
}

TEST(SyntaxEditor, UsesTheTextFont) {
  SyntaxEditor editor;
  const QFont f = vop_text_font();
  EXPECT_EQ(f.pointSize(), 8);
  EXPECT_TRUE(f.family() == "Courier New" || f.family() == "Liberation Mono") << f.family().toStdString();
  EXPECT_EQ(editor.font().family(), f.family());
  EXPECT_EQ(editor.lineWrapMode(), QPlainTextEdit::NoWrap);
}

TEST(SyntaxHighlighter, GivesEachRoleItsOwnFormat) {
  const Role roles[] = {Role::Keyword, Role::String, Role::Comment, Role::Number, Role::Statement};
  for (Role a : roles)
    for (Role b : roles)
      if (a != b) {
        EXPECT_NE(role_colour(a), role_colour(b));
      }

  SyntaxEditor editor;
  editor.setPlainText(
      "if x > 10 % big\n"              // 0
      "  s = \"a \\\" end\";\n"        // 1
      "end\n"                          // 2
      "!compute y = x * 2\n"           // 3
      "  + 1.5 .\n"                    // 4
      "z = 3\n"                        // 5
      "endx = 1e-3\n");                // 6
  EXPECT_EQ(colour_at(editor, 0, 0), role_colour(Role::Keyword));
  EXPECT_FALSE(colour_at(editor, 0, 3).isValid());  // x
  EXPECT_EQ(colour_at(editor, 0, 7), role_colour(Role::Number));
  EXPECT_EQ(colour_at(editor, 0, 10), role_colour(Role::Comment));
  EXPECT_EQ(colour_at(editor, 0, 14), role_colour(Role::Comment));
  // The escaped quote does not end the literal; "end" inside it is text.
  for (int i = 6; i <= 15; ++i) EXPECT_EQ(colour_at(editor, 1, i), role_colour(Role::String)) << i;
  EXPECT_FALSE(colour_at(editor, 1, 16).isValid());
  EXPECT_EQ(colour_at(editor, 2, 0), role_colour(Role::Keyword));
  // The statement runs over the line end up to its "."; the number's
  // decimal point does not end it.
  EXPECT_EQ(colour_at(editor, 3, 0), role_colour(Role::StatementWord));
  EXPECT_EQ(colour_at(editor, 3, 9), role_colour(Role::Statement));
  EXPECT_EQ(colour_at(editor, 3, 17), role_colour(Role::Number));
  EXPECT_EQ(colour_at(editor, 4, 2), role_colour(Role::Statement));
  EXPECT_EQ(colour_at(editor, 4, 4), role_colour(Role::Number));
  EXPECT_EQ(colour_at(editor, 4, 6), role_colour(Role::Number));
  EXPECT_EQ(colour_at(editor, 4, 8), role_colour(Role::Statement));
  EXPECT_FALSE(colour_at(editor, 5, 0).isValid());
  EXPECT_FALSE(colour_at(editor, 6, 0).isValid());  // endx is a name
  EXPECT_EQ(colour_at(editor, 6, 7), role_colour(Role::Number));
  EXPECT_EQ(colour_at(editor, 6, 10), role_colour(Role::Number));
}

TEST(SyntaxHighlighter, CarriesStringsAndStatementsAcrossLines) {
  SyntaxEditor editor;
  editor.setPlainText(
      "s = \"one\n"                      // 0
      "two % not a comment\" % comment\n"  // 1
      "!recode v (1 thru 3 = 1) \"x.\n"   // 2
      "y\" .\n"                            // 3
      "w\n");                              // 4
  EXPECT_EQ(colour_at(editor, 0, 4), role_colour(Role::String));
  EXPECT_EQ(colour_at(editor, 1, 6), role_colour(Role::String));
  EXPECT_EQ(colour_at(editor, 1, 21), role_colour(Role::Comment));
  EXPECT_EQ(colour_at(editor, 2, 13), role_colour(Role::Keyword));  // thru
  // A "." inside a string does not end the statement.
  EXPECT_EQ(colour_at(editor, 3, 0), role_colour(Role::String));
  EXPECT_EQ(colour_at(editor, 3, 3), role_colour(Role::Statement));
  EXPECT_FALSE(colour_at(editor, 4, 0).isValid());

  // Taking the ending "." away carries the statement on to the next line;
  // putting it back ends it there again.
  QTextCursor c(editor.document()->findBlockByNumber(3));
  c.movePosition(QTextCursor::EndOfBlock);
  c.deletePreviousChar();
  EXPECT_EQ(colour_at(editor, 4, 0), role_colour(Role::Statement));
  c.insertText(".");
  EXPECT_FALSE(colour_at(editor, 4, 0).isValid());
}

// The editor as it looks, for a person to check the colours and the gutter.
TEST(SyntaxEditor, RendersASampleScript) {
  SyntaxEditor editor;
  editor.resize(520, 300);
  editor.setPlainText(
      "% Sample survey script\n"
      "data = DataOpen(\"survey.sav\");\n"
      "for i = 1:10\n"
      "  if x(i) > 2.5e-3\n"
      "    print(\"big: \\\"%d\\\"\", i)   % report it\n"
      "  elseif x(i) in [1 2 3]\n"
      "    y = x(i)';\n"
      "  end\n"
      "end\n"
      "!compute total = q1 + q2\n"
      "    + q3.\n"
      "!recode age (18 thru 34 = 1) (35 thru 99 = 2).\n"
      "function r = twice(a)\n"
      "  r = 2 * a;\n"
      "end\n");
  editor.show();
  QApplication::processEvents();
  const QImage image = editor.grab().toImage();
  ASSERT_FALSE(image.isNull());
  EXPECT_TRUE(image.save(QStringLiteral(VOP_WIDGETS_IMAGE_DIR "/syntax_editor.png")));
  // The gutter's background at the left edge, inside the frame.
  EXPECT_EQ(image.pixelColor(3, image.height() / 2), QColor(0xf0, 0xf0, 0xf0));
}

}  // namespace
