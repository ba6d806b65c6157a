// Datasets built a piece at a time by scripts: DataAddCase in a loop,
// DataAddVar with many names, and cases added to a wide dataset. Each
// should cost time in proportion to what it adds.
//
//   data_growth_bench
#include <chrono>
#include <cstdio>
#include <string>

#include "session/session.h"

namespace {

double run_seconds(const std::string& script) {
  vop::SessionOptions options;
  auto session = vop::make_session(options);
  const auto t0 = std::chrono::steady_clock::now();
  session->run_text(script);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

int main() {
  const std::string names = "names = strcat(\"V\", num2str(\"%d\", (1:20000)'));\n";
  const struct {
    const char* what;
    const char* target;
    std::string script;
  } cases[] = {
      {"DataAddCase(1) 100000 times, 3 variables", "0.2 s",
       "DataAddVar([\"A\" \"B\" \"C\"]);\nfor i = 1:100000\n  DataAddCase(1);\nend\n"},
      {"DataAddVar of 20000 names", "0.1 s", names + "t = 1;\nDataAddVar(names');\n"},
      {"DataAddVar of 20000 names before the first", "0.1 s",
       names + "DataAddVar(\"FIRST\");\nDataAddVar(names', 1);\n"},
      {"DataAddCase(1) 1000 times, 20000 variables", "0.5 s",
       names + "DataAddVar(names');\nfor i = 1:1000\n  DataAddCase(1);\nend\n"},
  };
  // The names alone, to take them out of the figures that include them.
  const double names_only = run_seconds(names);
  for (const auto& c : cases) {
    double t = run_seconds(c.script);
    if (c.script.rfind("names", 0) == 0) t -= names_only;
    std::printf("%-48s %8.3f s   (target under %s)\n", c.what, t, c.target);
  }
}
