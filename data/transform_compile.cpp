// The compiler of the transformation statements: token runs are cut at the
// top-level "=", parentheses and commas, and each piece goes to the
// expression parser. The result is a call node of "!compute", "!if" or
// "!recode" whose arguments the run-time operation reads:
//   !compute(target, expression)
//   !if(condition, target, expression)
//   !recode([sources], [rules], [targets]), each rule [part..., result]
#include <span>
#include <string>

#include "core/parser.h"
#include "data/transform.h"

namespace vop {

namespace {

using Tokens = std::span<const Token>;
constexpr size_t kNone = size_t(-1);

bool is_op(const Token& t, OpCode op) { return t.kind == TokenKind::Operator && t.op == op; }
bool is_word(const Token& t, std::string_view w) { return t.kind == TokenKind::Name && t.text == w; }

// "*", "/" and "^" of the statement become ".*", "./" and ".^".
void make_elementwise(std::vector<Token>& toks) {
  for (Token& t : toks) {
    if (t.kind != TokenKind::Operator) continue;
    const OpCode op = elementwise_code(t.op);
    if (op == t.op) continue;
    t.op = op;
    t.text = op == kOpElemMul ? ".*" : op == kOpElemDiv ? "./" : ".^";
  }
}

// The lexer hands ";" of these statements over as a plain separator; inside
// "[ ]" it separates rows, as everywhere else.
void mark_rows(std::vector<Token>& toks) {
  int brackets = 0;
  for (Token& t : toks) {
    if (t.kind == TokenKind::LBracket) ++brackets;
    if (t.kind == TokenKind::RBracket) --brackets;
    if (brackets > 0 && t.kind == TokenKind::Semicolon) t.kind = TokenKind::RowSep;
  }
}

// Position of the first token matching `pred` outside any bracket, or kNone.
template <class Pred>
size_t find_top(Tokens toks, Pred&& pred) {
  int depth = 0;
  for (size_t i = 0; i < toks.size(); ++i) {
    const Token& t = toks[i];
    if (depth == 0 && pred(t)) return i;
    if (t.kind == TokenKind::LParen || t.kind == TokenKind::LBracket) ++depth;
    if (t.kind == TokenKind::RParen || t.kind == TokenKind::RBracket) --depth;
  }
  return kNone;
}

// The closing ")" of the "(" at toks[0], or kNone.
size_t matching_paren(Tokens toks) {
  int depth = 0;
  for (size_t i = 0; i < toks.size(); ++i) {
    if (toks[i].kind == TokenKind::LParen || toks[i].kind == TokenKind::LBracket) ++depth;
    if (toks[i].kind == TokenKind::RParen || toks[i].kind == TokenKind::RBracket) {
      if (--depth == 0) return toks[i].kind == TokenKind::RParen ? i : kNone;
    }
  }
  return kNone;
}

bool parse(Tokens toks, int code, ErrorState& err, ExprNode& out) {
  if (toks.empty()) return err.raise(code);
  return parse_expression(toks, err, out, code);
}

// target = expression, for !compute and !if.
bool assignment(Tokens toks, int shape, int no_assign, ErrorState& err, ExprNode& target,
                ExprNode& value) {
  if (toks.empty()) return err.raise(shape);
  const size_t eq = find_top(toks, [](const Token& t) { return is_op(t, kOpAssign); });
  if (eq == kNone) return err.raise(no_assign);
  if (!parse(toks.first(eq), shape, err, target) || !parse(toks.subspan(eq + 1), shape, err, value))
    return false;
  if (target.kind != ExprKind::Name) return err.raise(shape);
  return true;
}

ExprNode call(const char* name) { return make_name(name, true); }

bool compile_compute(Tokens toks, ErrorState& err, ExprNode& out) {
  out = call("!compute");
  out.kids.resize(2);
  return assignment(toks, kErrComputeShape, kErrComputeAssign, err, out.kids[0], out.kids[1]);
}

bool compile_if(Tokens toks, ErrorState& err, ExprNode& out) {
  if (toks.empty() || toks[0].kind != TokenKind::LParen) return err.raise(kErrIfShape);
  const size_t close = matching_paren(toks);
  if (close == kNone || close == 1) return err.raise(kErrIfShape);
  out = call("!if");
  out.kids.resize(3);
  if (!parse(toks.subspan(1, close - 1), kErrIfShape, err, out.kids[0])) return false;
  return assignment(toks.subspan(close + 1), kErrIfShape, kErrIfAssign, err, out.kids[1],
                    out.kids[2]);
}

// --- !recode ----------------------------------------------------------------------

ExprNode mark(const char* word) {
  ExprNode n;
  n.kind = ExprKind::Colon;
  n.text = word;
  return n;
}

ExprNode row() {
  ExprNode n;
  n.kind = ExprKind::Row;
  return n;
}

// Variable names, commas allowed between them, as String nodes.
bool names(Tokens toks, ErrorState& err, ExprNode& out) {
  bool want_name = true;
  for (const Token& t : toks) {
    if (t.kind == TokenKind::Comma) {
      if (want_name) return err.raise(kErrRecodeName);
      want_name = true;
      continue;
    }
    if (t.kind != TokenKind::Name) return err.raise(kErrRecodeNotName);
    ExprNode s;
    s.kind = ExprKind::String;
    s.op = kOpString;
    s.text = t.text;
    out.kids.push_back(std::move(s));
    want_name = false;
  }
  if (out.kids.empty() || want_name) return err.raise(kErrRecodeName);
  return true;
}

// Where one value item written beside another begins, as in a
// matrix literal: a blank between something that ends an operand and
// something that begins one ("1 -2" is two values, "1 - 2" one).
bool ends_operand(const Token& t) {
  switch (t.kind) {
    case TokenKind::Name: case TokenKind::Number: case TokenKind::String:
    case TokenKind::RParen: case TokenKind::RBracket:
      return true;
    default:
      return is_op(t, kOpTranspose);
  }
}
bool begins_operand(Tokens toks, size_t i) {
  const Token& t = toks[i];
  switch (t.kind) {
    case TokenKind::Name: case TokenKind::Number: case TokenKind::String:
    case TokenKind::LParen: case TokenKind::LBracket:
      return true;
    default:
      if (is_op(t, kOpNot)) return true;
      return is_op(t, kOpSub) && i + 1 < toks.size() && !toks[i + 1].space_before;
  }
}

bool value_part(Tokens toks, ErrorState& err, ExprNode& rule) {
  if (toks.size() == 1 && is_word(toks[0], kRecodeSysmis)) {
    rule.kids.push_back(mark(kRecodeSysmis));
    return true;
  }
  if (toks.size() == 1 && is_word(toks[0], kRecodeElse)) {
    rule.kids.push_back(mark(kRecodeElse));
    return true;
  }
  ExprNode part;
  if (!parse(toks, kErrRecodeRules, err, part)) return false;
  if (part.kind == ExprKind::Range && part.kids.size() != 2) return err.raise(kErrRecodeRules);
  rule.kids.push_back(std::move(part));
  return true;
}

// The values of a rule: items separated by commas or blanks.
bool value_specs(Tokens toks, ErrorState& err, ExprNode& rule) {
  int depth = 0;
  size_t start = 0;
  for (size_t i = 0; i <= toks.size(); ++i) {
    const bool end = i == toks.size();
    bool cut = end;
    if (!end) {
      const Token& t = toks[i];
      if (depth == 0 && t.kind == TokenKind::Comma) cut = true;
      else if (depth == 0 && i > start && t.space_before && ends_operand(toks[i - 1]) &&
               begins_operand(toks, i))
        cut = true;
      if (t.kind == TokenKind::LParen || t.kind == TokenKind::LBracket) ++depth;
      if (t.kind == TokenKind::RParen || t.kind == TokenKind::RBracket) --depth;
    }
    if (!cut) continue;
    if (i == start) return err.raise(kErrRecodeRules);  // nothing between two commas
    if (!value_part(toks.subspan(start, i - start), err, rule)) return false;
    start = (!end && toks[i].kind == TokenKind::Comma) ? i + 1 : i;
  }
  return true;
}

// One rule, the tokens inside its parentheses: values = result.
bool recode_rule(Tokens toks, ErrorState& err, ExprNode& out) {
  const size_t eq = find_top(toks, [](const Token& t) { return is_op(t, kOpAssign); });
  if (eq == kNone || eq == 0) return err.raise(kErrRecodeRules);
  ExprNode rule = row();
  if (!value_specs(toks.first(eq), err, rule)) return false;
  Tokens result = toks.subspan(eq + 1);
  if (result.size() == 1 && is_word(result[0], kRecodeSysmis)) {
    rule.kids.push_back(mark(kRecodeSysmis));
  } else if (result.size() == 1 && is_word(result[0], kRecodeCopy)) {
    rule.kids.push_back(mark(kRecodeCopy));
  } else {
    ExprNode value;
    if (!parse(result, kErrRecodeRules, err, value)) return false;
    rule.kids.push_back(std::move(value));
  }
  out.kids.push_back(std::move(rule));
  return true;
}

bool compile_recode(Tokens toks, ErrorState& err, ExprNode& out) {
  out = call("!recode");
  out.kids = {row(), row(), row()};
  const size_t first_rule =
      find_top(toks, [](const Token& t) { return t.kind == TokenKind::LParen; });
  if (first_rule == 0) return err.raise(kErrRecodeName);
  if (!names(toks.first(first_rule == kNone ? toks.size() : first_rule), err, out.kids[0]))
    return false;
  if (first_rule == kNone) return err.raise(kErrRecodeRules);
  size_t i = first_rule;
  while (i < toks.size() && toks[i].kind == TokenKind::LParen) {
    const size_t close = matching_paren(toks.subspan(i));
    if (close == kNone) return err.raise(kErrRecodeRules);
    if (!recode_rule(toks.subspan(i + 1, close - 1), err, out.kids[1])) return false;
    i += close + 1;
    if (i + 1 < toks.size() && toks[i].kind == TokenKind::Comma && toks[i + 1].kind == TokenKind::LParen)
      ++i;  // rules may be separated by commas
  }
  if (i == toks.size()) return true;
  if (!is_word(toks[i], "into")) return err.raise(kErrRecodeInto);
  if (!names(toks.subspan(i + 1), err, out.kids[2])) return false;
  if (out.kids[2].kids.size() != out.kids[0].kids.size()) return err.raise(kErrRecodeCount);
  return true;
}

}  // namespace

bool compile_data_statement(Keyword statement, std::vector<Token>& tokens, ErrorState& err,
                            ExprNode& out) {
  mark_rows(tokens);
  switch (statement) {
    case Keyword::DataCompute:
      make_elementwise(tokens);
      return compile_compute(tokens, err, out);
    case Keyword::DataIf:
      make_elementwise(tokens);
      return compile_if(tokens, err, out);
    case Keyword::DataRecode:
      return compile_recode(tokens, err, out);
    default:
      return err.raise(kErrUnknownName);
  }
}

}  // namespace vop
