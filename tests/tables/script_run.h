// Scripts run as the program runs them: an interpreter with the builtin
// library, writing through an OutputStream into a recording window, or
// into a redirect file when a run is redirected.
#pragma once

#include <string>
#include <string_view>

#include "builtins/library.h"
#include "core/interpreter.h"
#include "document/output_event.h"
#include "output/output_stream.h"

namespace vop::test {

struct ScriptRun {
  ScriptRun() {
    out.set_consumer(&window);
    install_builtins(interp);
  }

  // Runs one text; the error code it ended with (0: none).
  int run(std::string_view text) { return interp.run_text(text); }
  // The value of a 1 x 1 numeric expression, or NaN after an error. The
  // script level keeps the variable after the run.
  double number(std::string_view expr) {
    if (run("vop_result_ = " + std::string(expr) + ";")) return 0.0 / 0.0;
    const Matrix* m = interp.workspace().lookup("vop_result_", interp.error());
    return m && m->numeric() && m->size() == 1 ? (*m)[0] : 0.0 / 0.0;
  }
  // Arms a redirect as the redirect commands do; the redirect file's text.
  bool redirect(bool html) { return out.arm_redirect(html); }
  std::string file() { return out.redirect() ? out.redirect()->contents() : std::string(); }

  OutputStream out;
  RecordingConsumer window;
  Interpreter interp{out};
};

}  // namespace vop::test
