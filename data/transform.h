// The data transformation statements: the compiler that the statement
// compiler hands "!compute", "!if" and "!recode" to. Each compiles to a
// call of the run-time operation of the same name (a data builtin).
//
// Written forms:
//   !compute target = expression.
//   !if (condition) target = expression.
//   !recode a b c (1 thru 3 = 1) (4, 5 = 2) (sysmis = 0) (else = copy) into x y z.
// The target may carry a case index. In the expressions "*", "/" and "^"
// act element by element. A !recode rule is values = result, the values
// separated by blanks or commas: numbers, ranges low thru high, sysmis,
// else (lowest/lo and highest/hi stand for -Inf and +Inf); the result a
// number, sysmis or copy.
#pragma once

#include <vector>

#include "core/ast.h"
#include "core/errors.h"
#include "core/tokens.h"

namespace vop {

// Marks in a compiled !recode rule (Colon nodes carrying the word): they
// cannot be confused with an expression, where a lone ":" never stands.
inline constexpr char kRecodeSysmis[] = "sysmis";
inline constexpr char kRecodeElse[] = "else";
inline constexpr char kRecodeCopy[] = "copy";

// The DataStatementCompiler of the interpreter.
bool compile_data_statement(Keyword statement, std::vector<Token>& tokens, ErrorState& err,
                            ExprNode& out);

}  // namespace vop
