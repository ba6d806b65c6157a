// Error codes of the language and the state of the run's first error.
//
// Nothing in the language throws: a failing operation stores a code with
// `raise` (the first one stays) and returns no value; every caller tests and
// returns at once; the runner reports with `report_error`.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vop {

class OutputSink;

// Every code of the language, one name each; the list with the messages is
// error_codes.def.
enum ErrorCodes : int {
#define VOP_ERROR(name, code, text, tail) name = code,
#include "core/error_codes.def"
#undef VOP_ERROR
};

// The longest script error text (code 255) shown after the prefix.
inline constexpr size_t kMaxScriptErrorText = 242;

// The message for a code, with the error name put where the table quotes
// one; for an unknown code, " code N". Does not include the "ERROR : "
// prefix. Code 255 returns the name (the script's own text).
std::string error_message(int code, std::string_view name);

// The run's error state. It belongs to the thread that runs; the Stop
// command of another thread goes through the run's RunControl (cancel.h),
// and the run raises 1000 here when it sees the request.
class ErrorState {
 public:
  // Store code (and name, for codes that quote one) unless a code is already
  // stored. Always returns false so that callers can `return err.raise(..)`.
  bool raise(int code, std::string_view name = {});

  int code() const { return code_; }
  bool failed() const { return code() != 0; }
  const std::string& name() const { return name_; }

  // Error line: set once, so the innermost failing statement wins.
  int line() const { return line_; }
  void set_line_once(int line) {
    if (line_ == 0) line_ = line;
  }
  // Where a block that was never closed opened (0: none), for diagnostics
  // beside the report, which names the text's last line.
  int opened_line() const { return opened_line_; }
  void set_opened_line(int line) { opened_line_ = line; }
  // Forget a line that belongs to a text the report cannot quote (one that
  // `eval` compiled), so that the statement running it is named instead.
  void forget_line() { line_ = 0; }
  // Current file: the function file the failing statement belongs to
  // (as the script wrote it, without the ending); empty for the run's text.
  const std::string& file() const { return file_; }
  void set_file(std::string file) { file_ = std::move(file); }

  // Clear everything before a run; clear_code only drops a code raised on a
  // path that is allowed to fail (as the loop-variable lookup is).
  void clear();
  void clear_code() {
    code_ = 0;
    name_.clear();
  }

 private:
  int code_ = 0;              // 0 = no error
  std::string name_;          // text quoted by the message (or code 255 text)
  int line_ = 0;              // line of the failing statement; 0 = unknown
  int opened_line_ = 0;       // line of a block left open at the end; 0 = none
  std::string file_;          // function file of the failing statement
};

// Where the report finds function files again: the search path, in order.
using SearchPath = std::vector<std::string>;

// Write the two-line error report for `err` (nothing for code 103).
// `run_text` is the text that was run (empty when the run had none).
void report_error(const ErrorState& err, std::string_view run_text,
                  const SearchPath& search_path, OutputSink& out);

}  // namespace vop
