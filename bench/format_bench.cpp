// Speed of the text kernels on workloads a report script produces:
// 100,000 sprintf calls building labels (the peers' "sprintf_join"
// workload: Octave 0.787 s, Lua 0.071 s on the reference machine), num2str
// of a million numbers, and the console display of a 10,000 x 20 matrix.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "builtins/display.h"
#include "builtins/format.h"
#include "builtins/strings.h"
#include "core/errors.h"
#include "core/output_sink.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// One lazily supplied pair of values, as the evaluator would hand them over.
class PairValues : public vop::FormatValues {
 public:
  PairValues(double a, double b) : a_(vop::Matrix::scalar(a)), b_(vop::Matrix::scalar(b)) {}
  const vop::Matrix* next(vop::ErrorState&) override {
    return n_ == 0 ? (++n_, &a_) : n_ == 1 ? (++n_, &b_) : nullptr;
  }

 private:
  vop::Matrix a_, b_;
  int n_ = 0;
};

void bench_sprintf() {
  constexpr int kCalls = 100000;
  const vop::Matrix format = vop::Matrix::text("%d;%1.2f\n");
  std::vector<std::string> pieces;
  pieces.reserve(kCalls);
  const auto start = Clock::now();
  vop::ErrorState err;
  for (int i = 1; i <= kCalls; ++i) {
    PairValues values(i, i / 3.0);
    std::optional<vop::Matrix> r = vop::builtins::sprintf(format, values, err);
    pieces.push_back(std::move(*r->str()[0]));
  }
  std::string joined;
  for (const std::string& p : pieces) joined += p;
  const double t = seconds_since(start);
  std::printf("sprintf x %d joined: %.4f s (%.0f ns/call, len %zu); Octave 0.787 s -> %.0fx\n",
              kCalls, t, t / kCalls * 1e9, joined.size(), 0.787 / t);
}

void bench_num2str() {
  constexpr int kCount = 1000000;
  vop::Matrix x = vop::Matrix::numbers(kCount, 1);
  for (int i = 0; i < kCount; ++i) x[i] = i * 1.37e3;
  vop::ErrorState err;
  const auto start = Clock::now();
  auto r = vop::builtins::num2str(vop::Matrix::text("v=%10.3e"), x, err);
  const double t = seconds_since(start);
  std::printf("num2str %%10.3e of %d numbers: %.4f s (%.0f ns/element)\n", kCount, t,
              t / kCount * 1e9);
}

void bench_display() {
  vop::Matrix m = vop::Matrix::numbers(10000, 20);
  for (int64_t k = 0; k < m.size(); ++k) m[k] = double(k) * 12.345;
  vop::StringSink sink;
  const auto start = Clock::now();
  vop::display_matrix(m, true, sink);
  const double t = seconds_since(start);
  std::printf("display of 10000 x 20: %.4f s (%zu bytes)\n", t, sink.text.size());
}

}  // namespace

int main() {
  bench_sprintf();
  bench_num2str();
  bench_display();
}
