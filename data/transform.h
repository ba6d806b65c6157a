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

// Codes the transformation compiler raises.
enum TransformCompileCodes : int {
  kErrComputeShape = 1500,   // nothing, or more than one expression
  kErrComputeAssign = 1501,  // no "=" at the top
  kErrIfShape = 1550,        // condition or assignment missing, or more parts
  kErrIfAssign = 1551,       // the last part is not an "=" assignment
  kErrRecodeRules = 1560,    // no rules, or a rule that is not values = result
  kErrRecodeName = 1561,     // no variable name, or a comma where a name belongs
  kErrRecodeNotName = 1563,  // an expression where a variable name belongs
  kErrRecodeInto = 1564,     // something other than "into" after the rules
  kErrRecodeCount = 1565,    // variables and targets differ in number
};

// Marks in a compiled !recode rule (Colon nodes carrying the word): they
// cannot be confused with an expression, where a lone ":" never stands.
inline constexpr char kRecodeSysmis[] = "sysmis";
inline constexpr char kRecodeElse[] = "else";
inline constexpr char kRecodeCopy[] = "copy";

// The DataStatementCompiler of the interpreter.
bool compile_data_statement(Keyword statement, std::vector<Token>& tokens, ErrorState& err,
                            ExprNode& out);

}  // namespace vop
