// vop-run: the headless runner. Runs survey scripts from a terminal, with
// results written as plain text to standard output.
//
//   vop-run [options] SCRIPT.s ...   run each script file in turn
//   vop-run [options] -e TEXT        run TEXT
//   vop-run --rtf FILE ...           write the runs' output as an RTF document
//   vop-run --excel-html FILE ...    ... or as an Excel-HTML workbook
//   vop-run --xlsx FILE ...          ... or as a native workbook
//   vop-run --docx FILE ...          ... or as a Word document
//   vop-run --docx-charts FILE ...   ... with the charts the script draws
//   vop-run --data F --syntax-generator FILE   the Excel syntax generator
//   vop-run --help-on NAME           the reference entry of a builtin, an
//                                    error code or a statement
//   vop-run [options]                run standard input: from a terminal, a
//                                    statement or block at a time with line
//                                    editing (state persists); else whole
//
// Ctrl+C during a run is the Stop command: the run ends with code 1000 and
// the next one goes on. SIGTERM stops the run too and ends the program after
// writing the documents that were asked for.
//
// A run that reports an error also writes one line to standard error in the
// usual form FILE:LINE: error CODE: MESSAGE (the function file's path when
// the failing statement is in one; "-e" and "<stdin>" for texts given so).
//
// The exit status is 0 when every run ended without an error, 1 when a run
// reported one or a redirected document could not be written, 2 for bad
// usage or an unreadable script, and 143 after SIGTERM.
#include <editline/readline.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <strings.h>
#include <iostream>
#include <unistd.h>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "builtins/library.h"
#include "cli/help_command.h"
#include "cli/progress.h"
#include "cli/redirect.h"
#include "core/continuation.h"
#include "core/error_notes.h"
#include "core/errors.h"
#include "core/paths.h"
#include "output/console_output.h"
#include "session/session.h"

namespace {

// The interpreter that Ctrl+C stops. request_stop only stores into a
// lock-free atomic, which a signal handler may do.
vop::Interpreter* g_running = nullptr;
volatile std::sig_atomic_t g_terminated = 0;  // SIGTERM came: no more runs

extern "C" void on_interrupt(int) {
  if (g_running) g_running->request_stop();
}

extern "C" void on_terminate(int) {
  g_terminated = 1;
  if (g_running) g_running->request_stop();
}

void usage() {
  std::fprintf(stderr,
               "usage: vop-run [--no-startup] [-p DIR] [--data FILE] [--syntax-generator FILE]\n"
               "               [--rtf FILE | --excel-html FILE | --xlsx FILE | --docx FILE\n"
               "                | --docx-charts FILE] [--language EN|SR|MK]\n"
               "               [-e TEXT | SCRIPT.s ...]\n"
               "  -e TEXT        run TEXT as a script\n"
               "  (none)         run standard input (a terminal: a statement or a block at a time)\n"
               "  --data FILE    open FILE before the first run (.vop: native, else .sav)\n"
               "  -p DIR         put DIR at the head of the function-file search path\n"
               "  --no-startup   do not run Syntax/start.s\n"
               "  --rtf FILE     write the output as an RTF document to FILE\n"
               "  --excel-html FILE  write the output as an Excel-HTML workbook to FILE\n"
               "  --xlsx FILE    write the output as a workbook (.xlsx) to FILE\n"
               "  --docx FILE    write the output as a Word document (.docx) to FILE\n"
               "  --docx-charts FILE  ... with the charts the script draws\n"
               "  --syntax-generator FILE  write the syntax generator for the --data dataset\n"
               "  --language LANG  EN, SR or MK: the Word template and the chart texts (EN)\n"
               "  --help-on NAME the reference entry of a builtin (sum), an error code (68) or a\n"
               "                 statement (for); at the prompt, help NAME\n");
}

// The language index (EN 0, SR 1, MK 2) of "EN", "SR", "MK" (any case) or
// "1", "2", "3"; -1 for anything else.
int language_index(const char* name) {
  static const char* const kNames[][2] = {{"en", "1"}, {"sr", "2"}, {"mk", "3"}};
  for (int i = 0; i < 3; ++i)
    if (!strcasecmp(name, kNames[i][0]) || !std::strcmp(name, kNames[i][1])) return i;
  return -1;
}

// A script to run and the name its diagnostics give it.
struct Script {
  std::string name;
  std::string text;
};

// The FILE:LINE: error CODE: MESSAGE line of the run that just failed;
// the script's text began on line `first_line` of what it was read from.
void diagnose(vop::Interpreter& in, const std::string& script, int first_line = 1) {
  const vop::ErrorState& err = in.error();
  if (err.code() == vop::kErrSilent) return;
  std::string where = script;
  // A block left open is named where it opened; the report names the
  // text's last line.
  const int at = err.opened_line() > 0 ? err.opened_line() : err.line();
  int line = at > 0 ? at + first_line - 1 : 0;
  if (!err.file().empty()) {
    line = at;
    where = err.file() + ".s";
    std::string opened;
    if (std::FILE* f = vop::open_on_search_path(where, in.search_path(), &opened)) {
      std::fclose(f);
      where = opened;
    }
  }
  if (line > 0) where.append(":").append(std::to_string(line));
  std::string message = vop::error_message(err.code(), err.name());
  if (const char* why = vop::error_explanation(err.code())) message = why;
  message.erase(0, message.find_first_not_of(' '));
  std::fprintf(stderr, "%s: error %d: %s\n", where.c_str(), err.code(), message.c_str());
}

// One line from the terminal, with line editing and history; false at the
// end of input.
bool read_line(const char* prompt, std::string* line) {
  char* got = readline(prompt);
  if (!got) return false;
  *line = got;
  std::free(got);
  if (!line->empty()) add_history(line->c_str());
  return true;
}

// The interactive prompt: a run per statement, or per block when a line
// opens one (for, if, while, repeat, function) or leaves a bracket open:
// then "... " asks for lines until it closes. A blank line ends an open
// bracket (the run reports what is wrong); the end of input runs what was
// typed. True when a run reported an error.
bool prompt_loop(vop::Session& session) {
  rl_outstream = stderr;  // standard output carries the results
  using_history();
  bool failed = false;
  std::string pending, line;
  int first = 1;
  for (int n = 1; !g_terminated; ++n) {
    const bool more = read_line(pending.empty() ? "> " : "... ", &line);
    std::string topic;
    if (more && pending.empty() && vop::help_command(line, &topic)) {
      vop::print_help(topic, stdout, stderr);
      std::fflush(stdout);
      continue;
    }
    if (more) {
      if (pending.empty()) first = n;
      pending += line;
      pending += '\n';
      const vop::Continuation c = vop::continuation(pending);
      const bool blank = line.find_first_not_of(" \t\r") == std::string::npos;
      if (c == vop::Continuation::Block || (c == vop::Continuation::Bracket && !blank)) continue;
    }
    if (!pending.empty() && session.run_text(pending)) {
      failed = true;
      diagnose(session.interpreter(), "<stdin>", first);
    }
    pending.clear();
    std::fflush(stdout);
    if (!more) break;
  }
  std::fputs("\n", stderr);
  return failed;
}

bool read_file(const char* path, std::string* text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  *text = s.str();
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<Script> texts;
  std::vector<std::string> dirs;
  std::string data_file;
  std::string generator_file;
  bool startup = true;
  int language = 0;  // EN
  vop::RunRedirect redirect;
  for (int i = 1; i < argc; ++i) {
    bool taken = false;
    std::string bad;
    if (!redirect.parse(argc, argv, &i, &taken, &bad)) {
      std::fprintf(stderr, "vop-run: %s\n", bad.c_str());
      usage();
      return 2;
    }
    if (taken) continue;
    if (!std::strcmp(argv[i], "--version")) {
      std::printf("vop-run 0.1.0\n");
      return 0;
    }
    if (!std::strcmp(argv[i], "--help-on")) {
      if (i + 1 >= argc) {
        usage();
        return 2;
      }
      return vop::print_help(argv[i + 1], stdout, stderr) ? 0 : 1;
    }
    if (!std::strcmp(argv[i], "-h") || !std::strcmp(argv[i], "--help")) {
      usage();
      return 0;
    }
    if (!std::strcmp(argv[i], "--no-startup")) {
      startup = false;
    } else if (!std::strcmp(argv[i], "--language")) {
      language = i + 1 < argc ? language_index(argv[i + 1]) : -1;
      if (language < 0) {
        std::fprintf(stderr, "vop-run: --language takes EN, SR or MK\n");
        usage();
        return 2;
      }
      ++i;
    } else if (!std::strcmp(argv[i], "--data") || !std::strcmp(argv[i], "--syntax-generator")) {
      if (i + 1 >= argc) {
        usage();
        return 2;
      }
      (argv[i][2] == 'd' ? data_file : generator_file) = argv[i + 1];
      ++i;
    } else if (!std::strcmp(argv[i], "-e") || !std::strcmp(argv[i], "-p")) {
      if (i + 1 >= argc) {
        usage();
        return 2;
      }
      if (argv[i][1] == 'e') texts.push_back({"-e", argv[i + 1]});
      else dirs.push_back(argv[i + 1]);
      ++i;
    } else if (argv[i][0] == '-' && argv[i][1]) {
      std::fprintf(stderr, "vop-run: unknown option %s\n", argv[i]);
      usage();
      return 2;
    } else {
      std::string text;
      if (!read_file(argv[i], &text)) {
        std::fprintf(stderr, "vop-run: cannot read %s\n", argv[i]);
        return 2;
      }
      texts.push_back({argv[i], std::move(text)});
    }
  }
  if (!generator_file.empty() && data_file.empty()) {
    std::fprintf(stderr, "vop-run: --syntax-generator needs --data\n");
    return 2;
  }
  // The generator alone needs no script.
  const bool from_stdin = texts.empty() && generator_file.empty();
  const bool interactive = from_stdin && isatty(STDIN_FILENO);
  if (from_stdin && !interactive) {
    std::ostringstream s;
    s << std::cin.rdbuf();
    texts.push_back({"<stdin>", s.str()});
  }

  vop::ConsoleOutput console(stdout, stderr);
  vop::SessionOptions options;
  options.program_dir = vop::program_directory();
  options.search_dirs = dirs;
  options.consumer = &console;
  // Reader warnings stay off standard output, which carries the results.
  options.warning_hook = [](std::string_view line) {
    std::fprintf(stderr, "%.*s\n", int(line.size()), line.data());
  };
  std::unique_ptr<vop::Session> session = vop::make_session(options);
  vop::OutputStream& out = session->output();

  g_running = &session->interpreter();
  std::signal(SIGINT, on_interrupt);
  // Without SA_RESTART, so that a prompt waiting for a line gives up.
  struct sigaction term = {};
  term.sa_handler = on_terminate;
  sigemptyset(&term.sa_mask);
  sigaction(SIGTERM, &term, nullptr);

  int status = 0;
  vop::Progress progress(session->interpreter(), vop::Progress::wanted());
  if (!data_file.empty()) {
    const bool native = data_file.size() >= 4 && data_file.compare(data_file.size() - 4, 4, ".vop") == 0;
    progress.begin("reading " + data_file, false);
    const bool opened = session->open_data(data_file, native);
    progress.end();
    if (!opened) {
      const std::string& why = session->interpreter().error().name();
      std::fprintf(stderr, "vop-run: cannot open data file %s%s%s\n", data_file.c_str(), why.empty() ? "" : ": ",
                   why.c_str());
      return 2;
    }
  }
  // After --data, so that the start-up script sees the dataset.
  if (startup && session->run_startup()) {
    status = 1;
    diagnose(session->interpreter(), "Syntax/start.s");
  }
  session->interpreter().extension<vop::SessionSettings>().language = language;
  if (redirect.wanted() && !redirect.arm(*session)) return 1;
  bool failed = false;
  for (const Script& script : texts) {
    if (g_terminated) break;
    progress.begin(script.name, true);
    const int code = session->run_text(script.text);
    progress.end();
    if (code) {
      failed = true;
      diagnose(session->interpreter(), script.name);
    }
  }
  if (interactive && !g_terminated && prompt_loop(*session)) failed = true;
  if (failed) status = 1;
  if (redirect.wanted() && !redirect.save(*session, failed, options.program_dir)) status = 1;
  if (!generator_file.empty()) {
    std::string why;
    if (vop::write_generator_workbook(generator_file, session->dataset(), options.program_dir, &why)) {
      std::printf("%s\n", generator_file.c_str());
    } else {
      std::fprintf(stderr, "vop-run: %s\n", why.c_str());
      status = 1;
    }
  }
  const std::string& pasted = out.syntax_buffer().text;
  if (!pasted.empty()) std::fprintf(stderr, "-- syntax --\n%s\n", pasted.c_str());
  // The session may hold a million-case dataset; freeing it column by
  // column costs a tenth of a second or more, and the process ends here, so
  // the system takes the memory back instead. Nothing of the session writes
  // on destruction. The sanitizer build frees it, so that leak checks see
  // every allocation of the run end.
#ifndef __SANITIZE_ADDRESS__
  (void)session.release();
#endif
  return g_terminated ? 128 + SIGTERM : status;
}
