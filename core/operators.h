// The operators of the language on evaluated operands: elementwise
// arithmetic, comparison and logic with scalar/row/column broadcasting, the
// matrix product, transpose, ranges, membership tests and matrix literals.
//
// Each takes its operands as Values (a borrowed variable or an owned
// temporary) and returns a Value; an elementwise result is written into a
// temporary operand of the result's size when there is one. On failure the
// error is raised and an empty Value returned.
#pragma once

#include <vector>

#include "core/errors.h"
#include "core/value.h"

namespace vop {

enum class BinaryOp {
  Add,      // +  (numbers, or string concatenation)
  Sub,      // -
  EMul,     // .*
  EDiv,     // ./
  EPow,     // .^
  Mul,      // *  scaling or matrix product
  Div,      // /  by a scalar
  Pow,      // ^  scalar to the power of each element
  Lt, Gt, Le, Ge,
  Eq, Ne,   // == ~=  (NaN equals NaN; strings byte-exact)
  And, Or,  // & |
  Xor,      // ||  exclusive or
};

enum class UnaryOp {
  Neg,        // unary minus
  Not,        // ~
  Transpose,  // '
};

enum class MemberOp { In, Rin, Anyin, Ranyin };

Value binary_op(BinaryOp op, Value a, Value b, ErrorState& err);
// What a binary operator gives for two numbers (every operator acts
// element by element on 1x1 operands).
double scalar_binary(BinaryOp op, double x, double y);
Value unary_op(UnaryOp op, Value a, ErrorState& err);
Value membership(MemberOp op, Value a, Value s, ErrorState& err);

// start:end or start:step:end; each part evaluated already.
Value make_range(const Matrix& start, const Matrix& end, const Matrix* step, ErrorState& err);

// A matrix literal from its rows, each a list of parts side by side.
Value make_literal(std::vector<std::vector<Value>>&& rows, ErrorState& err);

// The inverse of a square matrix by LU decomposition (the "^" operator with
// no exponent): 83 when not square, 85/90 when singular.
Value inverse(const Matrix& a, ErrorState& err);

// Truth of a numeric scalar as conditions see it: 0 is false, NaN is true.
inline bool is_true(double x) { return x != 0 || x != x; }

}  // namespace vop
