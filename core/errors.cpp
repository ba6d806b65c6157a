// The table of error codes and messages, raise, and the error report.
#include "core/errors.h"

#include <algorithm>
#include <cstdio>

#include "core/output_sink.h"
#include "core/paths.h"

namespace vop {

namespace {

// One row of the message table. Messages that quote the error name have it
// between `text` and `tail`; a code without a message has no text.
struct ErrorMessage {
  int code;
  const char* text;  // nullptr: the code has no message of its own
  const char* tail;  // nullptr: the message quotes no name
};

constexpr ErrorMessage kMessages[] = {
#define VOP_ERROR(name, code, text, tail) {code, text, tail},
#include "core/error_codes.def"
#undef VOP_ERROR
};

// Codes strictly increasing: no code listed twice, and find_message can
// search by halves.
constexpr bool codes_increase() {
  for (size_t i = 1; i < std::size(kMessages); ++i)
    if (kMessages[i - 1].code >= kMessages[i].code) return false;
  return true;
}
static_assert(codes_increase(), "error_codes.def: codes out of order or listed twice");

// A tail only follows a text.
constexpr bool tails_follow_texts() {
  for (const ErrorMessage& m : kMessages)
    if (m.tail && !m.text) return false;
  return true;
}
static_assert(tails_follow_texts(), "error_codes.def: a tail without its text");

const ErrorMessage* find_message(int code) {
  auto it = std::lower_bound(std::begin(kMessages), std::end(kMessages), code,
                             [](const ErrorMessage& m, int c) { return m.code < c; });
  return (it != std::end(kMessages) && it->code == code && it->text) ? it : nullptr;
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
  opened_line_ = 0;
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
