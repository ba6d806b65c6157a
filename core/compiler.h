// The statement compiler: syntax text to a program of statement nodes,
// with function and macro definitions entered into the function table.
//
// The whole text is compiled before anything of it runs. The first broken
// rule stores its code and the line of the statement being compiled (for
// an error inside a token, the token's line; for one found at the end of
// the text, its last line), and compiling stops: the text yields no program
// and enters no definition.
#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string_view>

#include "core/ast.h"
#include "core/char_source.h"
#include "core/errors.h"
#include "core/functions.h"
#include "core/tokens.h"

namespace vop {

// Compiles one data transformation statement ("!compute", "!if",
// "!recode"). `tokens` are the statement's tokens after its word, up to
// the ending "." (in "!recode" the word "thru" already reads as ":"); the
// hook may rearrange them. It sets `out` to the expression the statement
// evaluates when it runs, or raises an error and returns false.
using DataStatementCompiler =
    std::function<bool(Keyword statement, std::vector<Token>& tokens, ErrorState& err, ExprNode& out)>;

// What compiling needs from the interpreter.
struct CompileEnv {
  ErrorState& err;                                 // where the first error goes
  FunctionTable& functions;                        // receives the definitions
  const DataStatementCompiler* data = nullptr;     // none: data statements fail when run (96)
};

// A text that is run: a syntax window's text, a command text, or a text
// that `eval` or a GUI built-in compiles. Its plain statements, before the
// first definition, are the main program. Null after an error.
std::unique_ptr<Program> compile_text(CompileEnv env, CharSource& source);

// A function file whose base name is `file_name`: its definitions go to
// the function table; plain statements before the first definition become
// the file's script, a macro named after the file. False after an error
// (the error's file is then `file_name`).
bool compile_file(CompileEnv env, CharSource& source, std::string_view file_name);

}  // namespace vop
