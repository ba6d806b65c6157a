// The block state carries what a line leaves open for the next one: a
// string literal, a free-form statement, or a string inside one. Each line
// is scanned once; free-form stretches are coloured first and the tokens
// inside them (strings, numbers, comments) on top.
#include "shell/widgets/syntax_highlighter.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QStringView>

namespace {

// Values of QSyntaxHighlighter's block state (-1, the initial state, reads
// as Code).
enum BlockState : int {
  kCode = 0,        // between statements or in an ordinary statement
  kString = 1,      // inside a string literal
  kFree = 2,        // inside a free-form statement
  kFreeString = 3,  // inside a string literal of a free-form statement
};

// Words coloured as keywords anywhere: the statement keywords and the word
// operators. "thru" counts only inside a free-form statement (!recode).
const char* const kKeywords[] = {
    "end",    "if",    "elseif", "else",     "for",       "while", "repeat", "until",
    "function", "macro", "return", "global", "clear",   "who",   "globfunc", "globmacro",
    "in",     "rin",   "anyin",  "ranyin",
};

bool is_keyword(QStringView word, bool free_form) {
  if (free_form && word == u"thru") return true;
  for (const char* k : kKeywords)
    if (word == QLatin1StringView(k)) return true;
  return false;
}

bool is_digit(QChar c) { return c >= u'0' && c <= u'9'; }

// Name bytes of the language: letters, digits, "_" and "$", and every
// character beyond ASCII (local letters).
bool is_name_char(QChar c) {
  return c.unicode() >= 0x80 || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || is_digit(c) ||
         c == u'_' || c == u'$';
}

// Position just after the string literal whose text starts at `from` (past
// the opening quote), or -1 when the line ends inside it. A backslash takes
// the next character literally, so \" does not close the literal.
int string_end(const QString& text, int from) {
  for (int i = from; i < text.size(); ++i) {
    if (text[i] == u'\\') {
      ++i;
      continue;
    }
    if (text[i] == u'"') return i + 1;
  }
  return -1;
}

QTextCharFormat make_format(const char* colour, bool bold = false, bool italic = false) {
  QTextCharFormat f;
  f.setForeground(QColor(QString::fromLatin1(colour)));
  if (bold) f.setFontWeight(QFont::Bold);
  if (italic) f.setFontItalic(true);
  return f;
}

struct Span {
  int start;                       // first character
  int length;                      // characters
  SyntaxHighlighter::Role role;    // colour
};

}  // namespace

SyntaxHighlighter::SyntaxHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {}

QTextCharFormat SyntaxHighlighter::role_format(Role role) {
  // Muted colours that stay readable on white and tell the roles apart.
  switch (role) {
    case Role::Keyword: return make_format("#1f4e9c", true);
    case Role::String: return make_format("#2e7d32");
    case Role::Comment: return make_format("#808080", false, true);
    case Role::Number: return make_format("#a0522d");
    case Role::StatementWord: return make_format("#7b1fa2", true);
    case Role::Statement: return make_format("#7b1fa2");
  }
  return {};
}

void SyntaxHighlighter::highlightBlock(const QString& text) {
  int state = previousBlockState();
  if (state < kCode || state > kFreeString) state = kCode;
  bool free_form = state == kFree || state == kFreeString;
  int free_start = 0;  // where the current free-form stretch began on this line
  QList<Span> free_spans;
  QList<Span> spans;
  const int n = int(text.size());
  int i = 0;

  if (state == kString || state == kFreeString) {
    const int end = string_end(text, 0);
    if (end < 0) {
      setFormat(0, n, role_format(Role::String));
      setCurrentBlockState(state);
      return;
    }
    spans.append({0, end, Role::String});
    i = end;
  }

  while (i < n) {
    const QChar c = text[i];
    const QChar next = i + 1 < n ? text[i + 1] : QChar();
    if (c == u'%') {
      spans.append({i, n - i, Role::Comment});
      i = n;
    } else if (c == u'"') {
      const int end = string_end(text, i + 1);
      if (end < 0) {
        spans.append({i, n - i, Role::String});
        if (free_form) free_spans.append({free_start, n - free_start, Role::Statement});
        for (const Span& s : free_spans) setFormat(s.start, s.length, role_format(s.role));
        for (const Span& s : spans) setFormat(s.start, s.length, role_format(s.role));
        setCurrentBlockState(free_form ? kFreeString : kString);
        return;
      }
      spans.append({i, end - i, Role::String});
      i = end;
    } else if (is_digit(c) || (c == u'.' && is_digit(next) && (i == 0 || !is_name_char(text[i - 1])))) {
      // A number token runs on over name characters, decimal points before
      // digits and the exponent's "-" (1e-5); "1e+5" is "1e", "+", "5".
      const int start = i++;
      while (i < n) {
        const QChar d = text[i];
        const QChar after = i + 1 < n ? text[i + 1] : QChar();
        if (is_name_char(d) || (d == u'.' && is_digit(after)) ||
            (d == u'-' && (text[i - 1] == u'e' || text[i - 1] == u'E')))
          ++i;
        else
          break;
      }
      spans.append({start, i - start, Role::Number});
    } else if (is_name_char(c)) {
      const int start = i;
      while (i < n && is_name_char(text[i])) ++i;
      if (is_keyword(QStringView(text).mid(start, i - start), free_form))
        spans.append({start, i - start, Role::Keyword});
    } else if (c == u'!' && !free_form && is_name_char(next) && !is_digit(next)) {
      const int start = i++;
      while (i < n && is_name_char(text[i])) ++i;
      spans.append({start, i - start, Role::StatementWord});
      free_form = true;
      free_start = i;
    } else if (c == u'.' && next == u'.' && i + 2 < n && text[i + 2] == u'.') {
      spans.append({i, n - i, Role::Comment});
      i = n;
    } else if (c == u'.' && free_form && next != u'*' && next != u'/' && next != u'^') {
      free_spans.append({free_start, i + 1 - free_start, Role::Statement});
      free_form = false;
      ++i;
    } else {
      ++i;
    }
  }
  if (free_form) free_spans.append({free_start, n - free_start, Role::Statement});
  for (const Span& s : free_spans) setFormat(s.start, s.length, role_format(s.role));
  for (const Span& s : spans) setFormat(s.start, s.length, role_format(s.role));
  setCurrentBlockState(free_form ? kFree : kCode);
}
