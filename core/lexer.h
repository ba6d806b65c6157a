// The lexer: cuts syntax text into statements of tokens.
//
// It reads one byte at a time from a CharSource, counts lines (a CR LF pair
// is one line end), tracks bracket levels (each "(" opens a level, each
// level counts its open "["), and decides from them whether a blank, a line
// end or ";" separates elements, rows or statements. It classifies words as
// keywords and checks where keywords and macro calls may stand. The
// compiler takes each finished statement's tokens.
#pragma once

#include <string>
#include <vector>

#include "core/char_source.h"
#include "core/errors.h"
#include "core/tokens.h"

namespace vop {

// One statement's tokens, as the lexer hands them to the compiler.
struct Statement {
  std::vector<Token> tokens;          // every token, the leading keyword included
  Keyword keyword = Keyword::None;    // class set by the first token ("global
                                      // function" gives GlobFunc, one token)
  bool macro_call = false;            // begins with "!name": runs to the ending "."
  bool quiet = false;                 // ended by ";": no display
  int line = 0;                       // line on which the statement began

  // Macro calls and data transformation statements run over lines and end
  // at a "."; keywords are not checked inside them.
  bool free_form() const { return macro_call || is_data_statement(keyword); }
};

class Lexer {
 public:
  Lexer(CharSource& source, ErrorState& err) : src_(source), err_(err) {}

  // Read the next statement into `st`. False at the end of the text, or on
  // an error (the error state then holds the code and the line).
  bool next(Statement& st);

  // The line of the last byte that was not a line end: where errors found
  // at the end of the text are reported.
  int last_line() const { return last_line_; }

 private:
  bool fail(int code, int line);
  bool add_word_byte(Statement& st, int c);
  bool finish_word(Statement& st);
  bool place_word(Statement& st, Token& t);
  void push(Statement& st, TokenKind kind, std::string text, OpCode op = kOpNone);
  bool read_string(Statement& st);
  bool read_dot(Statement& st);
  bool read_symbol(Statement& st, int c, CharClass cls);
  bool end_statement(Statement& st, bool quiet);
  void skip_line();
  void count_line_end(int c);

  CharSource& src_;            // where bytes come from; not owned
  ErrorState& err_;            // where the first error goes; not owned
  std::string word_;           // the name or number being read
  int word_line_ = 0;          // line on which word_ began
  bool space_ = false;         // a blank, line end or comment since the last token
  std::vector<char> brackets_; // open "(" and "[" of the statement, innermost last
  int line_ = 1;               // line counter: the line being read
  int last_line_ = 1;          // line of the last byte that was not a line end
  bool done_ = false;          // the end mark has been read
  bool ended_ = false;         // the statement being read is complete
};

}  // namespace vop
