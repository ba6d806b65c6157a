// The table of error codes and messages, raise, and the error report.
#include "core/errors.h"

#include <algorithm>
#include <cstdio>

#include "core/output_sink.h"
#include "core/paths.h"

namespace vop {

namespace {

// One row of the message table. Messages that quote the error name have it
// between `text` and `tail`.
struct ErrorMessage {
  int code;
  const char* text;
  const char* tail;  // nullptr: the message quotes no name
};

// Messages are the system's own, spelling included.
constexpr ErrorMessage kMessages[] = {
    {30, "Wrong usage of keywords", nullptr},
    {31, "Unmatched ')'", nullptr},
    {32, "Missing operator in expression", nullptr},
    {33, "String is not enclosed with \"", nullptr},
    {34, "String or variable name excides allowed maximum", nullptr},
    {35, "Unmatched ']'", nullptr},
    {36, "Missing argument in expression", nullptr},
    {37, "Missing argument in expression", nullptr},
    {38, "Illegal definition of second macro in the same file", nullptr},
    {39, "Missing 'end' or 'until'", nullptr},
    {40, "Function or macro with given name is already defined", nullptr},
    {41, "Missing operator in expression", nullptr},
    {42, "Illegal use of '.'", nullptr},
    {43, "Illegal use of 'function'", nullptr},
    {45, "Illegal use of 'macro'", nullptr},
    {46, "Illegal use of 'if' or 'elesif'", nullptr},
    {47, "Illegal use of 'else'", nullptr},
    {48, "Unmatched 'else' (with 'if')", nullptr},
    {49, "Illegal use of 'while'", nullptr},
    {50, "Illegal use of 'repeat'", nullptr},
    {51, "Illegal use of 'until'", nullptr},
    {52, "Unmatched 'until' (with 'repeat')", nullptr},
    {53, "Illegal use of 'for'", nullptr},
    {54, "Illegal Lvalue", nullptr},
    {55, "Argument must be a scalar value", nullptr},
    {56, "Illegal use of 'end'", nullptr},
    {57, "Unmatched 'end'", nullptr},
    {58, "Illegal use of 'return'", nullptr},
    {59, "Illegal use of 'global'", nullptr},
    {60, "Illegal use of 'clear'", nullptr},
    {61, "Illegal use of 'who'", nullptr},
    {62, "Illegal use of some keyword", nullptr},
    {63, "Argument must be numeric", nullptr},
    {64, "Argument must be a string", nullptr},
    {65, "Missing argument between ','", nullptr},
    {66, "Referencing variable with more than 2 indexes", nullptr},
    {67, "Argument must be a vector", nullptr},
    {68, "Index, argument is out of range of matrix dimension", nullptr},
    {69, "Illegal use of '[]'", nullptr},
    {70, "Argument has wrong dimensionality", nullptr},
    {71, "Matrixes are of different type (string & numeric)", nullptr},
    {72, "Column reference of a matrix is missing", nullptr},
    {73, "Row and column cannot be deleted at same command", nullptr},
    {74, "Index is out of range of range of matrix dimension", nullptr},
    {75, "Undefined data (open/make spss data file)", nullptr},
    {77, "Argument must be different form '[]'", nullptr},
    {78, "Wrong reference of non-existing variable '", "' in Data"},
    {79, "Argument cannot be empty string", nullptr},
    {80, "Too many return values are requested from function", nullptr},
    {81, "Missing arguments in function call", nullptr},
    {82, "Too many arguments in function call", nullptr},
    {83, "Square matrix is needed", nullptr},
    {84, "Symmetrical matrix is needed", nullptr},
    {85, "Non-singular matrix is needed", nullptr},
    {86, "Matrix with more rows than columns is needed", nullptr},
    {87, "Non scalar argument is needed", nullptr},
    {88, "Variable variance is equal to zero", nullptr},
    {89, "Illegal value of index", nullptr},
    {90, "Matrix is probably singular", nullptr},
    {91, "Algorithm did not converged in 30 iterations", nullptr},
    {92, "Bad reference on deleted global variable", nullptr},
    {94, "Usage of '=[]' with Data variables is illegal", nullptr},
    {95, "Too many return values are requested from function", nullptr},
    {96, "Unknown variable, function '", "'"},
    {97, "Error while using SPSS file", nullptr},
    {98, "Illegal name of variable", nullptr},
    {99, "Variable with that name already exists", nullptr},
    {100, "Operator is missing", nullptr},
    {101, "Illegal label definition for string variable", nullptr},
    {102, "For values NaN and Inf labels cannot be defined", nullptr},
    {104, "Used handle is not valid", nullptr},
    {105, "Used object type is not valid", nullptr},
    {106, "Referenced variable does not exist", nullptr},
    {107, "Missing arguments for operation '", "'"},
    {108, "Unknown multiple variable '", "'"},
    {109, "Name of multiple variable '", "' must start with '$'."},
    {110, "Multiple variable with name '", "' is already defined."},
    {111, "Values NaN and Inf cannot be defined as counted in multiple variable", nullptr},
    {112, "Invalid value for MISSING format (Valid values are: -3,-2,0,1,2 and 3)", nullptr},
    {113, "MISSING values must be of finite type (Nan, Inf, -Inf cannot be defined as missing)",
     nullptr},
    {114, "MISSING values must be different, or in case of range the first value must be lower "
          "than second",
     nullptr},
    {115, "Arguments must be at least 2 different multiple variables", nullptr},
    {116, "Multiple variable '",
     "' doesn't have same number of variables as previously  listed."},
    {117, "The label  '", "' exceeds maximum of 255 characters."},
    {1000, "Process is stopped by the user", nullptr},
    {1500, "Illegal !compute expresion", nullptr},
    {1501, "Illegal !compute expresion, '=' is missing", nullptr},
    {1550, "Illegal !if expresion", nullptr},
    {1551, "Illegal !if expresion, '=' is missing", nullptr},
    {1560, "Illegal !recode expresion, no recode rules", nullptr},
    {1561, "Illegal !recode expresion, variable is missing", nullptr},
    {1563, "Illegal !recode expresion, expression used where variable name expected", nullptr},
    {1564, "Missing 'into'", nullptr},
    {1565, "Different number of variables to recode and to recode into", nullptr},
    {kErrOutOfMemory, "Not enough memory for the result", nullptr},
    {3000, "Macro call can not be part of function or other macro call", nullptr},
    {3001, "Illegal definition of macro, '=' is missing", nullptr},
    {3002, "Illegal definition of macro, missing values after the '='", nullptr},
    {3005, "Illegal definition of macro, indexing of argument is not allowed", nullptr},
    {3006, "Illegal definition of macro, missing '/' between arguments", nullptr},
};

const ErrorMessage* find_message(int code) {
  auto it = std::lower_bound(std::begin(kMessages), std::end(kMessages), code,
                             [](const ErrorMessage& m, int c) { return m.code < c; });
  return (it != std::end(kMessages) && it->code == code) ? it : nullptr;
}

constexpr const char kPrefix[] = "ERROR : ";
constexpr size_t kMaxQuotedLine = 253;  // longest file line the report quotes

// Step 3 of the report: the failing line of a function file.
void report_file_line(const ErrorState& err, const SearchPath& search_path,
                      OutputSink& out) {
  out.WriteLine("on the " + std::to_string(err.line()) + ". line of file " + err.file() +
                ".s");
  if (err.code() == kErrScriptText) return;
  std::FILE* f = open_on_search_path(err.file() + ".s", search_path);
  if (!f) {
    out.WriteText("Can't find specified file anymore\n");
    return;
  }
  int line = 1;
  int ch = 0;
  while (line < err.line() && (ch = std::fgetc(f)) != EOF)
    if (ch == '\n') ++line;
  if (line < err.line()) {
    std::fclose(f);
    out.WriteText("Can't find specified line in the file\n");
    return;
  }
  std::string text = "  ";
  while (text.size() - 2 < kMaxQuotedLine && (ch = std::fgetc(f)) != EOF && ch != '\n')
    text += ch == '\t' ? ' ' : char(ch);
  std::fclose(f);
  out.WriteLine(text);
}

// Step 4: the failing line of the run's text, found by counting carriage
// returns (line feeds on this platform's texts, which may lack the CR).
void report_text_line(const ErrorState& err, std::string_view text, OutputSink& out) {
  size_t pos = 0;
  for (int line = 1; line < err.line() && pos < text.size(); ++line) {
    size_t nl = text.find_first_of("\r\n", pos);
    if (nl == std::string_view::npos) {
      pos = text.size();
      break;
    }
    pos = nl + 1;
    if (text[nl] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
  }
  size_t end = text.find_first_of("\r\n", pos);
  if (end == std::string_view::npos) end = text.size();
  out.WriteLine("on the line '" + std::string(text.substr(pos, end - pos)) + "'");
}

}  // namespace

std::string error_message(int code, std::string_view name) {
  if (code == kErrScriptText) return std::string(name.substr(0, kMaxScriptErrorText));
  const ErrorMessage* m = find_message(code);
  if (!m) return " code " + std::to_string(code);
  std::string s = m->text;
  if (m->tail) {
    s += name;
    s += m->tail;
  }
  return s;
}

bool ErrorState::raise(int code, std::string_view name) {
  if (code_ == 0) {
    code_ = code;
    name_.assign(name);
  }
  return false;
}

void ErrorState::clear() {
  code_ = 0;
  name_.clear();
  line_ = 0;
  file_.clear();
}

void report_error(const ErrorState& err, std::string_view run_text,
                  const SearchPath& search_path, OutputSink& out) {
  const int code = err.code();
  if (code == kErrSilent || code == 0) return;
  out.WriteErrorLine(kPrefix + error_message(code, err.name()));
  if (!err.file().empty()) {
    report_file_line(err, search_path, out);
    return;
  }
  if (run_text.empty()) return;
  report_text_line(err, run_text, out);
}

}  // namespace vop
