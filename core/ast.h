// The compiled forms of the language: expression trees (`ExprNode`) and the
// program of statement nodes (`StatementNode`) that the runner executes.
//
// A node caches everything that cannot change during a run, so evaluation
// never re-reads token text: the operator code, a number's value, a name's
// hash (the same std::hash<std::string_view> that the workspace's NameHash
// uses, so a lookup can reuse it).
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/lookup_cache.h"
#include "core/tokens.h"

namespace vop {

enum class ExprKind : uint8_t {
  Number,      // numeric literal; `number` holds its value
  String,      // string literal; `text` holds its value
  Name,        // a name; with `has_args` a call or indexing, kids = arguments
  Operator,    // an operator; `op` says which, kids = operands left to right
  Range,       // a:b or a:b:c; kids = start, end[, step]
  Colon,       // a lone ":" index: the whole dimension
  NameBuild,   // name#e; kids = the name (a Name leaf) and e
  Matrix,      // [ ... ]; kids = rows (an empty [] has none)
  Row,         // one row of a matrix literal; kids = elements
  Assign,      // lhs = rhs; kids = target, value. A target of kind Matrix
               // is a multiple assignment (one row of plain names)
  MacroCall,   // !name k = v / ...; `text` = name without "!", kids = KeywordArg
  KeywordArg,  // one macro argument; `text` = key ("%" = by position), kid = value
  Fail,        // a statement that cannot run here: evaluation raises
               // `fail_code` naming `text`
};

struct ExprNode {
  ExprKind kind = ExprKind::Number;  // what the node is
  OpCode op = kOpNone;               // operator code (Operator, Range, Matrix, String, Assign, NameBuild)
  bool has_args = false;             // Name: written with "( )", even empty
  int fail_code = 0;                 // Fail: the code evaluation raises
  double number = 0;                 // Number: the value, read once by the lexer
  size_t hash = 0;                   // Name, KeywordArg: hash of `text`
  std::string text;                  // name, literal value, key, or operator text
  std::vector<ExprNode> kids;        // operands, arguments, rows or elements; owned
  mutable LookupCache cache;         // Name: the variable it denoted last time (run time only)

  bool is_plain_name() const { return kind == ExprKind::Name && !has_args; }
};

// The hash names are stored with: the workspace's NameHash gives the same.
inline size_t name_hash(std::string_view name) { return std::hash<std::string_view>{}(name); }

ExprNode make_name(std::string text, bool has_args = false);

// Statement kinds, as the runner interprets them.
enum StatementKind : char {
  kStmtQuiet = ';',    // evaluate, do not display
  kStmtDisplay = 'd',  // evaluate and display
  kStmtIf = 'i',       // condition: continue at `next` when true, `other` when false
  kStmtFor = 'f',      // a for loop that is not running: start it
  kStmtForNext = 'e',  // a for loop that is running: next pass
  kStmtJump = 'g',     // continue at `next`
  kStmtEnd = 'k',      // end of a program or body, or `return`
};

struct StatementNode {
  char kind = kStmtEnd;            // a StatementKind; a for node turns 'f' <-> 'e' while it runs
  int line = 0;                    // source line where the statement began (1-based)
  int next = -1;                   // index of the following node; the jump target of 'g';
                                   // the true branch of 'i'; the body of 'f'/'e'
  int other = -1;                  // the false branch of 'i'; the loop exit of 'f'/'e'
  std::unique_ptr<ExprNode> expr;  // the statement's tree; for 'f' the Assign
                                   // node `name = range`; owned
};

// A compiled program: statement nodes, the first at index 0; every path
// ends at a 'k' node.
struct Program {
  std::vector<StatementNode> nodes;  // owned; indices link them
};

// Compact printed forms, for tests and diagnostics.
std::string to_string(const ExprNode& node);
std::string to_string(const Program& program);

// The names a multiple assignment `[a, b, ...] = ...` assigns, in order.
std::vector<const ExprNode*> assignment_targets(const ExprNode& list);

}  // namespace vop
