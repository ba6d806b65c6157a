#include "core/parser.h"

#include "core/char_classes.h"

namespace vop {

namespace {

bool is_op(const Token* t, OpCode op) { return t && t->kind == TokenKind::Operator && t->op == op; }

ExprNode op_node(ExprKind kind, OpCode op, std::string_view text) {
  ExprNode n;
  n.kind = kind;
  n.op = op;
  n.text = text;
  return n;
}

class Parser {
 public:
  Parser(std::span<const Token> toks, ErrorState& err) : toks_(toks), err_(err) {}

  bool statement(ExprNode& out);
  bool expression(ExprNode& out, int leftover);

 private:
  const Token* peek(size_t ahead = 0) const {
    return pos_ + ahead < toks_.size() ? &toks_[pos_ + ahead] : nullptr;
  }
  bool at_kind(TokenKind k) const { return peek() && peek()->kind == k; }
  bool fail(int code) { return err_.raise(code); }
  bool deeper() { return ++depth_ <= kMaxExprDepth || fail(kErrTooDeep); }

  bool logical(ExprNode& out);
  bool range(ExprNode& out);
  bool binary_level(ExprNode& out, bool (Parser::*operand)(ExprNode&), bool (*accepts)(OpCode));
  bool comparison(ExprNode& out);
  bool additive(ExprNode& out);
  bool multiplicative(ExprNode& out);
  bool unary_minus(ExprNode& out);
  bool negation(ExprNode& out);
  bool postfix(ExprNode& out);
  bool name_build(ExprNode& out);
  bool primary(ExprNode& out);
  bool arguments(ExprNode& call);
  bool matrix(ExprNode& out);
  bool unary_position() const;
  bool check_target(const ExprNode& lhs);

  std::span<const Token> toks_;  // the tokens being parsed; not owned
  ErrorState& err_;              // where errors go
  size_t pos_ = 0;               // next token
  int depth_ = 0;                // depth of the tree at the node being built
};

bool accepts_logical(OpCode op) { return op == kOpAnd || op == kOpOr || op == kOpXor; }
bool accepts_comparison(OpCode op) { return (op >= kOpLess && op <= kOpNotEq) || op == kOpIn || op == kOpAnyIn; }
bool accepts_additive(OpCode op) { return op == kOpAdd || op == kOpSub; }
bool accepts_multiplicative(OpCode op) {
  return op == kOpMul || op == kOpDiv || op == kOpElemMul || op == kOpElemDiv;
}

// Left-to-right folding of one level of binary operators.
bool Parser::binary_level(ExprNode& out, bool (Parser::*operand)(ExprNode&), bool (*accepts)(OpCode)) {
  if (!(this->*operand)(out)) return false;
  int chain = 0;
  while (peek() && peek()->kind == TokenKind::Operator && accepts(peek()->op)) {
    const Token& t = *peek();
    ++pos_;
    ++chain;
    if (!deeper()) return false;
    ExprNode n = op_node(ExprKind::Operator, t.op, t.text);
    n.kids.reserve(2);
    n.kids.push_back(std::move(out));
    n.kids.emplace_back();
    if (!(this->*operand)(n.kids.back())) return false;
    out = std::move(n);
  }
  depth_ -= chain;
  return true;
}

bool Parser::logical(ExprNode& out) { return binary_level(out, &Parser::range, accepts_logical); }
bool Parser::comparison(ExprNode& out) { return binary_level(out, &Parser::additive, accepts_comparison); }
bool Parser::additive(ExprNode& out) { return binary_level(out, &Parser::multiplicative, accepts_additive); }
bool Parser::multiplicative(ExprNode& out) {
  return binary_level(out, &Parser::unary_minus, accepts_multiplicative);
}

// a:b makes (a, b); a:b:c one node (a, b, c): start, end, step.
bool Parser::range(ExprNode& out) {
  if (!comparison(out)) return false;
  if (!is_op(peek(), kOpRange)) return true;
  if (!deeper()) return false;
  ExprNode n = op_node(ExprKind::Range, kOpRange, ":");
  n.kids.push_back(std::move(out));
  while (is_op(peek(), kOpRange)) {
    if (n.kids.size() == 3) return fail(kErrLeftOver);
    ++pos_;
    n.kids.emplace_back();
    if (!comparison(n.kids.back())) return false;
  }
  out = std::move(n);
  --depth_;
  return true;
}

bool Parser::unary_position() const {
  if (pos_ == 0) return true;
  const Token& prev = toks_[pos_ - 1];
  switch (prev.kind) {
    case TokenKind::LParen: case TokenKind::LBracket: case TokenKind::Comma:
    case TokenKind::RowSep: case TokenKind::Semicolon:
      return true;
    case TokenKind::Operator: {
      const char last = prev.text.back();
      return last == '=' || last == '~' || last == '<' || last == '>' || last == '&' || last == '|' ||
             last == ':';
    }
    default:
      return false;
  }
}

// Unary minus ("`") and unary plus (which changes nothing) where an
// expression begins or after = ~ < > & | , ; :
bool Parser::unary_minus(ExprNode& out) {
  const Token* t = peek();
  if ((is_op(t, kOpSub) || is_op(t, kOpAdd)) && unary_position()) {
    ++pos_;
    if (t->op == kOpAdd) return negation(out);
    if (!deeper()) return false;
    ExprNode n = op_node(ExprKind::Operator, kOpNeg, "`");
    n.kids.emplace_back();
    if (!negation(n.kids.back())) return false;
    out = std::move(n);
    --depth_;
    return true;
  }
  return negation(out);
}

bool Parser::negation(ExprNode& out) {
  if (!is_op(peek(), kOpNot)) return postfix(out);
  ++pos_;
  if (!deeper()) return false;
  ExprNode n = op_node(ExprKind::Operator, kOpNot, "~");
  n.kids.emplace_back();
  if (!negation(n.kids.back())) return false;
  out = std::move(n);
  --depth_;
  return true;
}

// Whether a token may follow a "^" that has no exponent: the end of the
// expression or a postfix or binary operator other than "-" (so 2^-1 is an
// error rather than the inverse of 2 minus 1).
bool may_follow_bare_power(const Token* t) {
  if (!t) return true;
  switch (t->kind) {
    case TokenKind::RParen: case TokenKind::RBracket: case TokenKind::Comma:
    case TokenKind::RowSep: case TokenKind::Semicolon: case TokenKind::Slash:
      return true;
    case TokenKind::Operator:
      return t->op != kOpSub && t->op != kOpNot && t->op != kOpNameBuild;
    default:
      return false;
  }
}

bool Parser::postfix(ExprNode& out) {
  if (!name_build(out)) return false;
  int chain = 0;
  for (;;) {
    const Token* t = peek();
    if (is_op(t, kOpTranspose)) {
      ++pos_;
    } else if (is_op(t, kOpPow) || is_op(t, kOpElemPow)) {
      ++pos_;
      const Token* e = peek();
      const bool exponent = e && (e->kind == TokenKind::Name || e->kind == TokenKind::Number ||
                                  e->kind == TokenKind::LParen);
      if (!exponent && !(t->op == kOpPow && may_follow_bare_power(e))) return fail(kErrMissingOperand);
      ++chain;
      if (!deeper()) return false;
      ExprNode n = op_node(ExprKind::Operator, t->op, t->text);
      n.kids.push_back(std::move(out));
      if (exponent) {
        n.kids.emplace_back();
        if (!name_build(n.kids.back())) return false;
      }
      out = std::move(n);
      continue;
    } else {
      break;
    }
    ++chain;
    if (!deeper()) return false;
    ExprNode n = op_node(ExprKind::Operator, kOpTranspose, "'");
    n.kids.push_back(std::move(out));
    out = std::move(n);
  }
  depth_ -= chain;
  return true;
}

// name#e, folded right to left: a#b#c is a#(b#c).
bool Parser::name_build(ExprNode& out) {
  if (is_op(peek(), kOpNameBuild)) return fail(kErrHashNoLeft);
  if (!primary(out)) return false;
  if (!is_op(peek(), kOpNameBuild)) return true;
  if (!out.is_plain_name()) return fail(kErrHashNotName);
  ++pos_;
  if (!deeper()) return false;
  ExprNode n = op_node(ExprKind::NameBuild, kOpNameBuild, "#");
  n.kids.push_back(std::move(out));
  n.kids.emplace_back();
  if (!name_build(n.kids.back())) return false;
  out = std::move(n);
  --depth_;
  return true;
}

bool Parser::primary(ExprNode& out) {
  const Token* t = peek();
  if (!t) return fail(kErrMissingOperand);
  switch (t->kind) {
    case TokenKind::Number:
      ++pos_;
      out = ExprNode{};
      out.kind = ExprKind::Number;
      out.number = t->number;
      out.text = t->text;
      return true;
    case TokenKind::String:
      ++pos_;
      out = op_node(ExprKind::String, kOpString, t->text);
      return true;
    case TokenKind::Name:
      ++pos_;
      out = make_name(t->text);
      if (at_kind(TokenKind::LParen)) return arguments(out);
      return true;
    case TokenKind::LParen: {
      ++pos_;
      if (at_kind(TokenKind::RParen)) return fail(kErrMissingOperand);
      if (!deeper() || !logical(out)) return false;
      --depth_;
      if (!at_kind(TokenKind::RParen)) return fail(kErrLeftOver);
      ++pos_;
      return true;
    }
    case TokenKind::LBracket:
      return matrix(out);
    default:
      return fail(kErrMissingOperand);
  }
}

// "(" arguments ")" after a name; a lone ":" is the whole dimension.
bool Parser::arguments(ExprNode& call) {
  ++pos_;  // "("
  call.has_args = true;
  if (!deeper()) return false;
  if (at_kind(TokenKind::RParen)) {
    ++pos_;
    --depth_;
    return true;
  }
  for (;;) {
    const Token* t = peek();
    if (!t || t->kind == TokenKind::Comma || t->kind == TokenKind::RParen) return fail(kErrEmptyPlace);
    call.kids.emplace_back();
    const Token* after = peek(1);
    if (is_op(t, kOpRange) && after && (after->kind == TokenKind::Comma || after->kind == TokenKind::RParen)) {
      ++pos_;
      call.kids.back() = op_node(ExprKind::Colon, kOpRange, ":");
    } else if (!logical(call.kids.back())) {
      return false;
    }
    if (at_kind(TokenKind::RParen)) break;
    if (!at_kind(TokenKind::Comma)) return fail(kErrLeftOver);
    ++pos_;
  }
  ++pos_;  // ")"
  --depth_;
  return true;
}

// [ elements , ... ; rows ]: empty rows are skipped.
bool Parser::matrix(ExprNode& out) {
  ++pos_;  // "["
  if (!deeper()) return false;
  out = op_node(ExprKind::Matrix, kOpMatrix, "]");
  ExprNode row = op_node(ExprKind::Row, kOpNone, ";");
  for (;;) {
    const Token* t = peek();
    if (!t) return fail(kErrMissingOperand);
    if (t->kind == TokenKind::RBracket || t->kind == TokenKind::RowSep) {
      ++pos_;
      if (!row.kids.empty()) out.kids.push_back(std::move(row));
      row = op_node(ExprKind::Row, kOpNone, ";");
      if (t->kind == TokenKind::RBracket) break;
      continue;
    }
    if (!row.kids.empty()) {
      if (t->kind != TokenKind::Comma) return fail(kErrLeftOver);
      ++pos_;
      const Token* n = peek();
      if (!n || n->kind == TokenKind::RBracket || n->kind == TokenKind::RowSep) return fail(kErrMissingOperand);
      if (n->kind == TokenKind::Comma) return fail(kErrEmptyPlace);
    } else if (t->kind == TokenKind::Comma) {
      return fail(kErrEmptyPlace);
    }
    row.kids.emplace_back();
    if (!logical(row.kids.back())) return false;
  }
  --depth_;
  return true;
}

bool Parser::expression(ExprNode& out, int leftover) {
  if (!logical(out)) return false;
  if (pos_ < toks_.size()) return fail(leftover);
  return true;
}

bool Parser::check_target(const ExprNode& lhs) {
  switch (lhs.kind) {
    case ExprKind::Name: case ExprKind::NameBuild:
      return true;
    case ExprKind::Matrix:
      if (lhs.kids.empty()) return fail(kErrBrackets);
      if (lhs.kids.size() != 1) return fail(kErrLvalue);
      for (const ExprNode& e : lhs.kids[0].kids)
        if (!e.is_plain_name() || !is_letter((unsigned char)e.text[0])) return fail(kErrLvalue);
      return true;
    default:
      return fail(kErrLvalue);
  }
}

bool Parser::statement(ExprNode& out) {
  if (is_op(peek(), kOpAssign)) return fail(kErrLvalue);
  if (!logical(out)) return false;
  if (!is_op(peek(), kOpAssign)) return pos_ < toks_.size() ? fail(kErrLeftOver) : true;
  if (!check_target(out)) return false;
  ++pos_;
  ExprNode n = op_node(ExprKind::Assign, kOpAssign, "=");
  n.kids.reserve(2);
  n.kids.push_back(std::move(out));
  n.kids.emplace_back();
  if (!logical(n.kids.back())) return false;
  if (pos_ < toks_.size()) return fail(kErrLeftOver);
  out = std::move(n);
  return true;
}

}  // namespace

bool parse_expression(std::span<const Token> toks, ErrorState& err, ExprNode& out, int leftover) {
  return Parser(toks, err).expression(out, leftover);
}

bool parse_statement_expression(std::span<const Token> toks, ErrorState& err, ExprNode& out) {
  return Parser(toks, err).statement(out);
}

}  // namespace vop
