// Compiling a 10,000-line script: the whole text is compiled before a run
// starts, so this is start-up latency the user waits for.
#include <benchmark/benchmark.h>

#include <string>

#include "core/compiler.h"

namespace {

// A script of typical statements: assignments, literals, calls, loops,
// conditions, strings, comments, a function definition after the main
// program. Each block is 10 lines.
std::string make_script(int lines) {
  std::string main, defs;
  for (int i = 0; main.size() == 0 || i * 10 < lines - 10; ++i) {
    const std::string n = std::to_string(i);
    main += "x" + n + " = [1 2 3; 4 5 6]' * 2.5e-1;  % a comment\n";
    main += "for k = 1:10\n";
    main += "  s = s + k * f" + std::to_string(i % 50) + "(x" + n + ", k) - v(2:Inf);\n";
    main += "end\n";
    main += "if s > 10 & ~isempty(t) | s == 3\n";
    main += "  label = \"Result number " + n + "\\t(ok)\";\n";
    main += "elseif s < 0\n  s = -s;\nelse\n";
    main += "  [a, b] = size(x" + n + "(:, 1));\nend\n";
  }
  for (int i = 0; i < 50; ++i) {
    const std::string n = std::to_string(i);
    defs += "function r = f" + n + "(a, 'b)\n  r = a .* b + " + n + ";\nend\n";
  }
  return main + defs;
}

void BM_Compile10kLines(benchmark::State& state) {
  const std::string script = make_script(10000);
  int lines = 0;
  for (char c : script) lines += c == '\n';
  for (auto _ : state) {
    vop::ErrorState err;
    vop::FunctionTable table;
    vop::CharSource src = vop::CharSource::from_text(script);
    auto prog = vop::compile_text(vop::CompileEnv{err, table}, src);
    if (!prog) state.SkipWithError("compile error");
    benchmark::DoNotOptimize(prog);
  }
  state.counters["lines"] = lines;
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(script.size()));
}
BENCHMARK(BM_Compile10kLines)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
