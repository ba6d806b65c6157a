// Tokens of syntax text, the operator codes the evaluator switches on, and
// the keyword classes of words.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vop {

// Longest name or number token, in bytes (names are at most 255 bytes
// everywhere in the system, so they fit the dataset dictionary too).
inline constexpr size_t kMaxTokenBytes = 255;

enum class TokenKind : uint8_t {
  Name,       // a word that does not begin with a digit (keywords included)
  Number,     // a word that begins with a digit
  String,     // a string literal; text holds the value, escapes resolved
  Operator,   // an operator token; `op` holds its code
  Comma,      // ',' (also inserted between elements written side by side)
  RowSep,     // ';' or a line end inside [ ]
  Semicolon,  // ';' inside a macro call or data statement
  Slash,      // '/' inside a macro call (separates argument groups)
  LParen,     // '('
  RParen,     // ')'
  LBracket,   // '['
  RBracket,   // ']'
};

// Operator codes. The evaluator switches on these numbers; they are part of
// the language's compiled form, so they keep their historical values.
enum OpCode : uint8_t {
  kOpNone = 0,
  kOpAdd = 1,
  kOpSub = 2,
  kOpMul = 3,
  kOpDiv = 4,
  kOpElemMul = 5,
  kOpElemDiv = 6,
  kOpElemPow = 7,
  kOpPow = 8,
  kOpTranspose = 9,
  kOpNot = 10,
  kOpLess = 11,
  kOpGreater = 12,
  kOpLessEq = 13,
  kOpGreaterEq = 14,
  kOpEq = 15,
  kOpNotEq = 16,
  kOpAnd = 17,
  kOpOr = 18,
  kOpXor = 19,  // "||" is exclusive or
  kOpAssign = 22,
  kOpNeg = 23,  // unary minus, written "`" in compiled text
  kOpNameBuild = 25,
  kOpMatrix = 26,
  kOpString = 27,
  kOpRange = 28,
  kOpIn = 29,  // "in", "rin"
  kOpAnyIn = 30,  // "anyin", "ranyin"
};

// The operator code of a token text, or kOpNone. Word operators ("in",
// "rin", "anyin", "ranyin") are recognised here too.
OpCode operator_code(std::string_view text);

// The code under the elementwise mode that the data transformation
// statements switch on: "*", "/" and "^" act element by element.
inline OpCode elementwise_code(OpCode op) {
  switch (op) {
    case kOpMul: return kOpElemMul;
    case kOpDiv: return kOpElemDiv;
    case kOpPow: return kOpElemPow;
    default: return op;
  }
}

// Keyword classes of words, by exact, case-sensitive comparison.
enum class Keyword : uint8_t {
  None,  // an ordinary word
  End, If, ElseIf, Else, For, While, Repeat, Until, Function, Macro, Return,
  Global, Clear, Who,
  GlobFunc,   // "globfunc", or "global function"
  GlobMacro,  // "globmacro", or "global macro"
  DataCompute,  // "!compute"
  DataIf,       // "!if"
  DataRecode,   // "!recode"
};

Keyword keyword_class(std::string_view word);
inline bool is_statement_keyword(Keyword k) { return k != Keyword::None && k < Keyword::DataCompute; }
inline bool is_data_statement(Keyword k) { return k >= Keyword::DataCompute; }

struct Token {
  TokenKind kind = TokenKind::Name;  // what the token is
  OpCode op = kOpNone;               // operator code (Operator tokens only)
  bool space_before = false;         // a blank stood between it and the token before
  int line = 0;                      // line on which the token began
  double number = 0;                 // value of a Number token, read once here
  std::string text;                  // name, number text, literal value or operator
};

// Whether a token can end an operand. Two operands side by side with a
// blank between them are two elements inside [ ], and two statements after
// a for header's range.
inline bool can_end_operand(const Token& t) {
  switch (t.kind) {
    case TokenKind::Name: case TokenKind::Number: case TokenKind::String:
    case TokenKind::RParen: case TokenKind::RBracket:
      return true;
    case TokenKind::Operator: return t.op == kOpTranspose;
    default: return false;
  }
}

// The value of a number token, read as the runtime's decimal conversion
// reads it: the longest decimal prefix ("1e" reads as 1).
double number_value(std::string_view text);

}  // namespace vop
