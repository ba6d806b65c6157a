// vop-run: the headless runner. Runs survey scripts from a terminal, with
// results written as plain text to standard output.
#include <cstdio>
#include <cstring>

#include "core/interpreter.h"
#include "output/output_stream.h"

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("vop-run 0.1.0\n");
    return 0;
  }
  vop::ConsoleWindow console(stdout);
  vop::OutputStream out;
  out.set_window(&console);
  vop::Interpreter interp(out);
  out.WriteHeading("Vop", 1);
  out.WriteText("The script runner is not built yet; see the issues.\n");
  return argc > 1 ? 2 : 0;
}
