// Running scripts through the interpreter: the per-pass cost of a scalar
// loop, of a user-function call, of growing a column by index and by
// appending, and the scalar loop with many variables in the workspace (the
// cost must not grow with them). Each benchmark reports time per pass ("per_pass").
#include <benchmark/benchmark.h>

#include <string>

#include "builtins/library.h"
#include "core/interpreter.h"

namespace {

// Runs `script` (which makes `passes` loop passes) once per iteration.
void run_script(benchmark::State& state, const std::string& setup, const std::string& script,
                int64_t passes) {
  vop::StringSink out;
  vop::Interpreter interp(out);
  vop::install_builtins(interp);
  if (!setup.empty() && interp.run_text(setup) != 0) state.SkipWithError(out.text.c_str());
  for (auto _ : state) {
    if (interp.run_text(script) != 0) {
      state.SkipWithError(out.text.c_str());
      break;
    }
  }
  state.counters["per_pass"] = benchmark::Counter(
      double(state.iterations() * passes), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

constexpr int64_t kLoopPasses = 1'000'000;
constexpr int64_t kCallPasses = 100'000;
constexpr int64_t kGrowPasses = 100'000;

void BM_ScalarLoop(benchmark::State& state) {
  run_script(state, "", "s = 0; for i = 1:1000000 s = s + i; end", kLoopPasses);
}
BENCHMARK(BM_ScalarLoop)->Unit(benchmark::kMillisecond);

void BM_ScalarLoopManyVariables(benchmark::State& state) {
  std::string setup;
  for (int k = 0; k < 5000; ++k) {
    const std::string n = std::to_string(k);
    setup.append("v").append(n).append(" = ").append(n).append(";\n");
  }
  run_script(state, setup, "s = 0; for i = 1:1000000 s = s + i; end", kLoopPasses);
}
BENCHMARK(BM_ScalarLoopManyVariables)->Unit(benchmark::kMillisecond);

// The loop's own cost is included: subtract BM_ScalarLoop's per_pass.
void BM_UserFunctionCall(benchmark::State& state) {
  run_script(state, "",
             "s = 0;\nfor i = 1:100000\n  s = add2(s, i);\nend\n"
             "function r = add2(a, b)\nr = a + b;\nend\n",
             kCallPasses);
}
BENCHMARK(BM_UserFunctionCall)->Unit(benchmark::kMillisecond);

void BM_GrowColumn(benchmark::State& state) {
  run_script(state, "", "x = [];\nfor i = 1:100000\n  x(i) = i;\nend\n", kGrowPasses);
}
BENCHMARK(BM_GrowColumn)->Unit(benchmark::kMillisecond);

// x = [x; i]: the appending form grows x in place (linear, not quadratic).
void BM_AppendColumn(benchmark::State& state) {
  run_script(state, "", "x = [];\nfor i = 1:100000\n  x = [x; i];\nend\n", kGrowPasses);
}
BENCHMARK(BM_AppendColumn)->Unit(benchmark::kMillisecond);

// s = [s; t] with strings, 40,000 times.
void BM_AppendStrings(benchmark::State& state) {
  run_script(state, "", "s = [];\nt = \"label\";\nfor i = 1:40000\n  s = [s; t];\nend\n", 40'000);
}
BENCHMARK(BM_AppendStrings)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
