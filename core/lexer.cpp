#include "core/lexer.h"

#include "core/char_classes.h"

namespace vop {

namespace {

// The word operators, written like names.
OpCode word_operator(std::string_view w) {
  if (w == "in" || w == "rin") return kOpIn;
  if (w == "anyin" || w == "ranyin") return kOpAnyIn;
  return kOpNone;
}

bool is_op(const Token& t, std::string_view text) {
  return t.kind == TokenKind::Operator && t.text == text;
}

// Whether the token at i can begin an element of a matrix literal: after
// one that can end an operand, with a blank between them, it is a new
// element.
bool begins_element(const std::vector<Token>& toks, size_t i) {
  const Token& t = toks[i];
  switch (t.kind) {
    case TokenKind::Name: case TokenKind::Number: case TokenKind::String:
    case TokenKind::LParen: case TokenKind::LBracket:
      return true;
    case TokenKind::Operator:
      if (t.op == kOpNot) return true;
      // "[1 -2]" is two elements, "[1 - 2]" one.
      return (t.op == kOpAdd || t.op == kOpSub) && i + 1 < toks.size() && !toks[i + 1].space_before;
    default: return false;
  }
}

// Put a "," between elements written side by side inside [ ].
void insert_commas(std::vector<Token>& toks) {
  bool any = false;
  for (const Token& t : toks) any |= t.kind == TokenKind::LBracket;
  if (!any) return;
  std::vector<Token> out;
  out.reserve(toks.size() * 2);
  std::vector<char> open;
  for (size_t i = 0; i < toks.size(); ++i) {
    const Token& t = toks[i];
    if (!open.empty() && open.back() == '[' && i > 0 && t.space_before && can_end_operand(toks[i - 1]) &&
        begins_element(toks, i)) {
      Token comma;
      comma.kind = TokenKind::Comma;
      comma.text = ",";
      comma.line = t.line;
      out.push_back(std::move(comma));
    }
    if (t.kind == TokenKind::LParen) open.push_back('(');
    if (t.kind == TokenKind::LBracket) open.push_back('[');
    if ((t.kind == TokenKind::RParen || t.kind == TokenKind::RBracket) && !open.empty()) open.pop_back();
    out.push_back(std::move(toks[i]));
  }
  toks = std::move(out);
}

}  // namespace

bool Lexer::fail(int code, int line) {
  err_.raise(code);
  err_.set_line_once(line);
  return false;
}

void Lexer::count_line_end(int c) {
  if (c == '\r' && src_.peek() == '\n') src_.get();  // CR LF is one line end
  ++line_;
}

void Lexer::skip_line() {
  while (char_class((unsigned char)src_.peek()) != CharClass::LineEnd && src_.peek() != kEndMark) src_.get();
}

void Lexer::push(Statement& st, TokenKind kind, std::string text, OpCode op) {
  Token t;
  t.kind = kind;
  t.op = op;
  t.space_before = space_;
  t.line = line_;
  t.text = std::move(text);
  st.tokens.push_back(std::move(t));
  space_ = false;
}

bool Lexer::add_word_byte(Statement& st, int c) {
  if (word_.empty()) {
    word_line_ = line_;
    if (st.line == 0) st.line = line_;
  }
  if (word_.size() == kMaxTokenBytes) return fail(kErrTokenTooLong, word_line_);
  word_ += char(c);
  return true;
}

// Keyword classes and macro calls, checked as each word is finished.
bool Lexer::place_word(Statement& st, Token& t) {
  const std::string& w = t.text;
  const Keyword kw = keyword_class(w);
  if (st.tokens.empty()) {
    if (kw != Keyword::None) {
      st.keyword = kw;
    } else if (w[0] == '!') {
      if (w.size() == 1) return fail(kErrLoneBang, t.line);
      if (!is_letter((unsigned char)w[1])) return fail(kErrMacroNoValue, t.line);
      st.macro_call = true;
    }
    return true;
  }
  if (st.free_form()) {
    if (w[0] == '!') return fail(kErrMacroNotFirst, st.line);
    if (st.keyword == Keyword::DataRecode && w == "thru") {
      t.kind = TokenKind::Operator;
      t.op = kOpRange;
      t.text = ":";
    }
    return true;
  }
  if (w[0] == '!') return fail(is_data_statement(kw) ? kErrWrongKeyword : kErrMacroNotFirst, st.line);
  if (kw == Keyword::None) return true;
  if (st.tokens.size() == 1) {
    // "global function" and "global macro" are one word; "clear global"
    // and "who global" are allowed.
    if (st.keyword == Keyword::Global && (kw == Keyword::Function || kw == Keyword::Macro)) {
      st.keyword = kw == Keyword::Function ? Keyword::GlobFunc : Keyword::GlobMacro;
      st.tokens[0].text = kw == Keyword::Function ? "globfunc" : "globmacro";
      t.text.clear();  // swallowed
      return true;
    }
    if ((st.keyword == Keyword::Clear || st.keyword == Keyword::Who) && kw == Keyword::Global) return true;
  }
  return fail(kErrWrongKeyword, st.line);
}

bool Lexer::finish_word(Statement& st) {
  if (word_.empty()) return true;
  Token t;
  t.space_before = space_;
  t.line = word_line_;
  t.text = std::move(word_);
  word_.clear();
  if (is_digit((unsigned char)t.text[0])) {
    t.kind = TokenKind::Number;
    t.number = number_value(t.text);
  } else if (OpCode op = word_operator(t.text)) {
    t.kind = TokenKind::Operator;
    t.op = op;
  } else {
    t.kind = TokenKind::Name;
    if (!place_word(st, t)) return false;
    if (t.text.empty()) return true;  // joined into the keyword before it
  }
  st.tokens.push_back(std::move(t));
  space_ = false;
  return true;
}

bool Lexer::read_string(Statement& st) {
  const int start = line_;
  std::string s;
  for (;;) {
    int c = src_.get();
    if (c == kEndMark) return fail(kErrOpenString, start);
    if (c == '"') break;
    if (c == '\\') {
      c = src_.get();
      if (c == kEndMark) return fail(kErrOpenString, start);
      s += c == 'n' ? '\n' : c == 't' ? '\t' : char(c);
      continue;
    }
    if (c == '\n' || c == '\r') ++line_;  // line ends are part of the literal
    if (c == '\r' && src_.peek() == '\n') {
      s += char(src_.get());
      s.back() = '\r';
      s += '\n';
      continue;
    }
    s += char(c);
  }
  Token t;
  t.kind = TokenKind::String;
  t.op = kOpString;
  t.space_before = space_;
  t.line = start;
  t.text = std::move(s);
  st.tokens.push_back(std::move(t));
  space_ = false;
  return true;
}

// A "." : decimal point, ".*" "./" ".^", "...", or the end of a macro call
// or data statement.
bool Lexer::read_dot(Statement& st) {
  const int d = src_.peek();
  if (is_digit((unsigned char)d)) {
    if (word_.empty()) {
      if (!add_word_byte(st, '0')) return false;
      return add_word_byte(st, '.');
    }
    if (is_digit((unsigned char)word_[0]) && is_digit((unsigned char)word_.back())) return add_word_byte(st, '.');
    return fail(kErrNumberDot, line_);
  }
  if (!finish_word(st)) return false;
  if (d == '*' || d == '/' || d == '^') {
    src_.get();
    const std::string op{'.', char(d)};
    push(st, TokenKind::Operator, op, operator_code(op));
    return true;
  }
  if (d == '.') {
    src_.get();
    if (src_.get() != '.') return fail(kErrDot, line_);
    // "..." continues the statement on the next line.
    skip_line();
    const int c = src_.get();
    if (c == kEndMark) src_.unget();
    else count_line_end(c);
    space_ = true;
    return true;
  }
  if (st.free_form()) return end_statement(st, false);
  return fail(kErrDot, line_);
}

bool Lexer::end_statement(Statement& st, bool quiet) {
  if (!brackets_.empty())
    return fail(brackets_.back() == '[' ? kErrUnmatchedBracket : kErrUnmatchedParen, st.line);
  insert_commas(st.tokens);
  st.quiet = quiet;
  ended_ = true;
  return true;
}

bool Lexer::next(Statement& st) {
  st.tokens.clear();
  st.keyword = Keyword::None;
  st.macro_call = false;
  st.quiet = false;
  st.line = 0;
  brackets_.clear();
  word_.clear();
  space_ = false;
  ended_ = false;
  if (done_ || err_.failed()) return false;
  for (;;) {
    const int c = src_.get();
    const CharClass cls = char_class((unsigned char)c);
    if (cls != CharClass::LineEnd && cls != CharClass::End) {
      last_line_ = line_;
      if (st.line == 0 && cls != CharClass::Blank && cls != CharClass::Comment) st.line = line_;
    }
    switch (cls) {
      case CharClass::Word:
        if (!add_word_byte(st, c)) return false;
        break;
      case CharClass::Minus:
        // The sign of an exponent stays in its number: 1e-3 is one token.
        if (!word_.empty() && is_digit((unsigned char)word_[0]) && (word_.back() == 'e' || word_.back() == 'E')) {
          if (!add_word_byte(st, c)) return false;
          break;
        }
        if (!finish_word(st)) return false;
        push(st, TokenKind::Operator, "-", kOpSub);
        break;
      case CharClass::Blank:
        if (!finish_word(st)) return false;
        space_ = true;
        break;
      case CharClass::Comment:
        if (!finish_word(st)) return false;
        skip_line();
        space_ = true;
        break;
      case CharClass::LineEnd:
        if (!finish_word(st)) return false;
        count_line_end(c);
        space_ = true;
        if (st.free_form()) break;  // those statements end with "."
        if (!brackets_.empty() && brackets_.back() == '[') {
          push(st, TokenKind::RowSep, ";");
          space_ = true;
          break;
        }
        if (!brackets_.empty()) return fail(kErrUnmatchedParen, st.line);
        if (st.tokens.empty()) break;
        if (!end_statement(st, false)) return false;
        break;
      case CharClass::End:
        done_ = true;
        if (!finish_word(st)) return false;
        if (st.tokens.empty()) return false;
        if (!end_statement(st, false)) return false;  // the end of the text ends a statement
        break;
      case CharClass::Quote:
        if (!finish_word(st) || !read_string(st)) return false;
        break;
      case CharClass::Dot:
        if (!read_dot(st)) return false;
        break;
      default:
        if (!finish_word(st) || !read_symbol(st, c, cls)) return false;
        break;
    }
    if (ended_) return true;
  }
}

// Operators, separators and brackets.
bool Lexer::read_symbol(Statement& st, int c, CharClass cls) {
  switch (cls) {
    case CharClass::Transpose:
      push(st, TokenKind::Operator, "'", kOpTranspose);
      return true;
    case CharClass::Operator: {
      const std::string op(1, char(c));
      push(st, TokenKind::Operator, op, operator_code(op));
      return true;
    }
    case CharClass::Bar:
      if (!space_ && !st.tokens.empty() && is_op(st.tokens.back(), "|")) {
        st.tokens.back().text = "||";
        st.tokens.back().op = kOpXor;
        return true;
      }
      push(st, TokenKind::Operator, "|", kOpOr);
      return true;
    case CharClass::Equals:
      // "~=", "==", "<=", ">=", blanks between the two bytes allowed.
      if (!st.tokens.empty()) {
        Token& prev = st.tokens.back();
        if (is_op(prev, "~") || is_op(prev, "=") || is_op(prev, "<") || is_op(prev, ">")) {
          prev.text += '=';
          prev.op = operator_code(prev.text);
          space_ = false;
          return true;
        }
      }
      push(st, TokenKind::Operator, "=", kOpAssign);
      return true;
    case CharClass::Slash:
      if (st.macro_call) push(st, TokenKind::Slash, "/");
      else push(st, TokenKind::Operator, "/", kOpDiv);
      return true;
    case CharClass::Comma:
      if (st.tokens.empty() || st.tokens.back().kind == TokenKind::RowSep ||
          st.tokens.back().kind == TokenKind::Semicolon)
        return fail(kErrLeadingComma, st.line ? st.line : line_);
      push(st, TokenKind::Comma, ",");
      return true;
    case CharClass::Semicolon:
      if (st.free_form()) {
        push(st, TokenKind::Semicolon, ";");
        return true;
      }
      if (!brackets_.empty() && brackets_.back() == '[') {
        push(st, TokenKind::RowSep, ";");
        return true;
      }
      if (st.tokens.empty() && brackets_.empty()) return true;  // an empty statement
      return end_statement(st, true);
    case CharClass::LParen:
      brackets_.push_back('(');
      push(st, TokenKind::LParen, "(");
      return true;
    case CharClass::RParen:
      if (brackets_.empty()) return fail(kErrUnmatchedParen, st.line);
      if (brackets_.back() == '[') return fail(kErrMissingOperand, st.line);
      brackets_.pop_back();
      push(st, TokenKind::RParen, ")");
      return true;
    case CharClass::LBracket:
      brackets_.push_back('[');
      push(st, TokenKind::LBracket, "[");
      return true;
    case CharClass::RBracket:
      if (brackets_.empty() || brackets_.back() != '[') return fail(kErrUnmatchedBracket, st.line);
      brackets_.pop_back();
      push(st, TokenKind::RBracket, "]", kOpMatrix);
      return true;
    default:
      return true;
  }
}

}  // namespace vop
