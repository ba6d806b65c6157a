// Colouring of script text: keywords, string literals, comments, numbers
// and the free-form statements that begin with "!" ("!compute", "!if",
// "!recode" and macro calls), which run over lines up to their ending ".".
//
// The rules follow the language's lexer: "%" starts a comment up to the
// line end (outside strings), a string runs to the next unescaped double
// quote and may hold line ends, a "." in a free-form statement ends it
// unless it is a decimal point or part of ".*", "./", ".^", and "..."
// continues a line (the rest of that line is ignored, so it is coloured as
// a comment).
#pragma once

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

class SyntaxHighlighter : public QSyntaxHighlighter {
  Q_OBJECT

 public:
  // What a stretch of text is, for its colour.
  enum class Role {
    Keyword,        // block keywords and the word operators (in, rin, ...)
    String,         // a string literal, its quotes included
    Comment,        // "%" to the line end; the ignored rest after "..."
    Number,         // a number token
    StatementWord,  // the leading "!word" of a free-form statement
    Statement,      // the rest of a free-form statement, up to its "."
  };

  explicit SyntaxHighlighter(QTextDocument* document);

  // The character format given to text of `role`.
  static QTextCharFormat role_format(Role role);

 protected:
  void highlightBlock(const QString& text) override;
};
