// Expression trees from a run of tokens, by the language's ten precedence
// levels (highest first):
//   1. ( ), argument lists, [ ], and name#e (right to left)
//   2. postfix ' and ^ .^ (left to right); a ^ with nothing after it is the
//      matrix inverse
//   3. prefix ~ (right to left)
//   4. unary minus, where a "-" begins an expression or follows
//      = ~ < > & | , ; :
//   5. * / .* ./      6. + -      7. < > <= >= == ~= in rin anyin ranyin
//   8. a:b and a:b:c  9. & | ||   10. = (one per statement, at the top)
// The statement compiler and the data transformation compiler both use it.
#pragma once

#include <span>

#include "core/ast.h"
#include "core/errors.h"
#include "core/tokens.h"

namespace vop {

// Deepest expression tree a statement may build: evaluation and freeing
// recurse over the tree, so its depth must stay well inside the stack.
inline constexpr int kMaxExprDepth = 200;

// One expression (no "=" at the top). Tokens left over raise `leftover`.
// False after raising an error.
bool parse_expression(std::span<const Token> toks, ErrorState& err, ExprNode& out,
                      int leftover = kErrLeftOver);

// A statement's expression: an expression, or target = expression, where
// the target is a name, an indexed name, name#e, or [a, b, ...] of plain
// names each beginning with a letter.
bool parse_statement_expression(std::span<const Token> toks, ErrorState& err, ExprNode& out);

}  // namespace vop
