// The costs every later feature rests on: a scalar temporary, a variable
// lookup in a crowded workspace, and a column grown one row at a time.
#include <benchmark/benchmark.h>

#include <string>

#include "core/value.h"
#include "core/workspace.h"

namespace {

void BM_ScalarTemporary(benchmark::State& state) {
  double x = 1;
  for (auto _ : state) {
    vop::Value v(vop::Matrix::scalar(x));
    benchmark::DoNotOptimize((*v)[0]);
    x += 1;
  }
}
BENCHMARK(BM_ScalarTemporary);

void BM_LookupAmongThousand(benchmark::State& state) {
  vop::Workspace ws;
  vop::ErrorState err;
  for (int i = 0; i < 1000; ++i) ws.add_local("var" + std::to_string(i), vop::Matrix::scalar(i));
  const std::string name = "var500";
  for (auto _ : state) benchmark::DoNotOptimize(ws.lookup(name, err));
}
BENCHMARK(BM_LookupAmongThousand);

void BM_GrowColumnByOneRow(benchmark::State& state) {
  for (auto _ : state) {
    vop::Matrix m;
    for (int r = 1; r <= 1000; ++r) {
      m.grow(r, 1);
      m[r - 1] = r;
    }
    benchmark::DoNotOptimize(m.num());
  }
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_GrowColumnByOneRow);

}  // namespace

BENCHMARK_MAIN();
