#include "core/continuation.h"

#include "core/char_source.h"
#include "core/errors.h"
#include "core/lexer.h"

namespace vop {

Continuation continuation(std::string_view text) {
  ErrorState err;
  CharSource src = CharSource::from_text(text);
  Lexer lex(src, err);
  Statement st;
  int depth = 0;
  while (lex.next(st)) {
    switch (st.keyword) {
      case Keyword::For: case Keyword::If: case Keyword::While: case Keyword::Repeat:
      case Keyword::Function: case Keyword::Macro: case Keyword::GlobFunc: case Keyword::GlobMacro:
        ++depth;
        break;
      case Keyword::End: case Keyword::Until:
        if (depth > 0) --depth;
        break;
      default:
        break;
    }
    st = Statement{};
  }
  // A bracket that the text's end left open: the lexer gives up on the
  // last line.
  if (err.failed())
    return (err.code() == kErrUnmatchedBracket || err.code() == kErrUnmatchedParen) && err.line() >= lex.last_line()
               ? Continuation::Bracket
               : Continuation::Complete;
  return depth > 0 ? Continuation::Block : Continuation::Complete;
}

}  // namespace vop
