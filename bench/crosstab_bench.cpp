// CrossTab's counting on a survey-sized file: 1,000,000 weighted cases, a
// banner of 10 column variables against 30 row variables (single answers
// with 2 to 12 codes and some missing values), and the same with a
// five-member multiple-response set on each side.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "data/crosstab.h"

namespace {

using namespace vop;

constexpr int kCases = 1000000;

struct Survey {
  Dataset ds;
  std::vector<double> weights;
  Survey() {
    std::mt19937 gen(7);
    ds.set_case_count(kCases);
    for (int v = 0; v < 45; ++v) {
      DataVariable var = make_variable("V" + std::to_string(v), true, kCases);
      const int codes = 2 + v % 11;
      std::uniform_int_distribution<int> code(1, codes);
      double* x = var.column.num();
      for (int i = 0; i < kCases; ++i) x[i] = gen() % 50 == 0 ? NAN : code(gen);
      ds.append_variable(std::move(var));
    }
    std::uniform_real_distribution<double> w(0.3, 3.0);
    weights.resize(kCases);
    for (double& x : weights) x = w(gen);
  }
  tab::Source single(int v) const {
    tab::Source s;
    s.members.push_back(&ds.variable(v));
    return s;
  }
  tab::Source set(int first) const {
    tab::Source s;
    for (int v = first; v < first + 5; ++v) s.members.push_back(&ds.variable(v));
    return s;
  }
};

const Survey& survey() {
  static const Survey s;
  return s;
}

void run(benchmark::State& state, std::vector<tab::Source> rows, std::vector<tab::Source> cols) {
  const Survey& s = survey();
  const data::CaseList cases = data::all_cases(s.ds);
  for (auto _ : state) {
    std::vector<tab::Source*> all;
    for (auto* side : {&rows, &cols})
      for (tab::Source& src : *side) all.push_back(&src);
    tab::find_categories(all, cases);
    tab::Tables t = tab::crosstab(rows, cols, cases, s.weights.data());
    benchmark::DoNotOptimize(t.cells.data());
  }
}

void BM_Banner10By30(benchmark::State& state) {
  const Survey& s = survey();
  std::vector<tab::Source> rows, cols;
  for (int v = 0; v < 30; ++v) rows.push_back(s.single(v));
  for (int v = 30; v < 40; ++v) cols.push_back(s.single(v));
  run(state, rows, cols);
}
BENCHMARK(BM_Banner10By30)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SetsOnBothSides(benchmark::State& state) {
  const Survey& s = survey();
  std::vector<tab::Source> rows{s.set(0), s.single(10)}, cols{s.set(40), s.single(30)};
  run(state, rows, cols);
}
BENCHMARK(BM_SetsOnBothSides)->Unit(benchmark::kMillisecond)->UseRealTime();

// The first pass alone: the categories of the 40 variables.
void BM_FindCategories(benchmark::State& state) {
  const Survey& s = survey();
  const data::CaseList cases = data::all_cases(s.ds);
  for (auto _ : state) {
    std::vector<tab::Source> sources;
    for (int v = 0; v < 40; ++v) sources.push_back(s.single(v));
    std::vector<tab::Source*> all;
    for (tab::Source& src : sources) all.push_back(&src);
    benchmark::DoNotOptimize(tab::find_categories(all, cases));
  }
}
BENCHMARK(BM_FindCategories)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
