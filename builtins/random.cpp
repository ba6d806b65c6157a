#include "builtins/random.h"

#include <chrono>
#include <cmath>

namespace vop::builtins {

namespace {

// Scale of one output: outputs are 15 bits, so (r + 1) / 32768 is in (0, 1].
constexpr double kOutputs = 32768.0;
constexpr double kTwoTo32 = 4294967296.0;

// When the program started, for the milliseconds part of a clock seed.
const auto kProgramStart = std::chrono::steady_clock::now();

double uniform(RandomGenerator& gen) { return (gen.next() + 1) / kOutputs; }

}  // namespace

uint32_t clock_seed(uint64_t unix_seconds, uint64_t millis_since_start) {
  const uint32_t t = uint32_t(unix_seconds);
  const uint32_t c = uint32_t(millis_since_start);
  return ((c % 256u) * 256u + ((t >> 8) % 256u)) * 65536u + (t >> 16);
}

std::optional<Shape> random_shape(const Matrix* first, const Matrix* second, ErrorState& err) {
  if (!first) return Shape{1, 1};
  if (!need_numbers(*first, err)) return std::nullopt;
  if (!second) {
    if (first->is_scalar()) {
      auto n = count_of((*first)[0], err);
      if (!n) return std::nullopt;
      return Shape{*n, 1};
    }
    if (first->size() != 2 || !first->is_vector()) {
      err.raise(kErrDims);
      return std::nullopt;
    }
  } else {
    if (!need_scalar(*first, err) || !need_numbers(*second, err)) return std::nullopt;
    if (!second->is_vector()) {
      err.raise(kErrScalar);
      return std::nullopt;
    }
  }
  auto r = count_of((*first)[0], err);
  if (!r) return std::nullopt;
  auto c = count_of(second ? (*second)[0] : (*first)[1], err);
  if (!c) return std::nullopt;
  return Shape{*r, *c};
}

std::optional<Matrix> rand_uniform(RandomGenerator& gen, const Matrix* first,
                                   const Matrix* second, ErrorState& err) {
  auto shape = random_shape(first, second, err);
  if (!shape) return std::nullopt;
  return rand_uniform(gen, *shape, err);
}

std::optional<Matrix> rand_normal(RandomGenerator& gen, const Matrix* first,
                                  const Matrix* second, ErrorState& err) {
  auto shape = random_shape(first, second, err);
  if (!shape) return std::nullopt;
  return rand_normal(gen, *shape, err);
}

std::optional<Matrix> rand_uniform(RandomGenerator& gen, Shape shape, ErrorState& err) {
  auto out = new_matrix(shape.rows, shape.cols, true, Matrix::Fill::None, err);
  if (!out) return std::nullopt;
  for (int64_t i = 0, n = out->size(); i < n; ++i) (*out)[i] = uniform(gen);
  return out;
}

std::optional<Matrix> rand_normal(RandomGenerator& gen, Shape shape, ErrorState& err) {
  auto out = new_matrix(shape.rows, shape.cols, true, Matrix::Fill::None, err);
  if (!out) return std::nullopt;
  const int64_t n = out->size();
  for (int64_t i = 0; i < n; i += 2) {
    double u, v, s;
    // A point inside the unit circle; s = 0 would make the scale infinite,
    // so the centre is rejected as well.
    do {
      u = 2 * uniform(gen) - 1;
      v = 2 * uniform(gen) - 1;
      s = u * u + v * v;
    } while (s >= 1 || s == 0);
    const double f = std::sqrt(-2 * std::log(s) / s);
    (*out)[i] = u * f;
    if (i + 1 < n) (*out)[i + 1] = v * f;
  }
  return out;
}

bool srand_value(RandomGenerator& gen, const Matrix& s, ErrorState& err) {
  if (!need_numeric(s, err) || !need_scalar(s, err)) return false;
  if (!std::isfinite(s[0])) return err.raise(kErrRange);
  const double rounded = std::nearbyint(s[0]);  // the default mode: halves to even
  double wrapped = std::fmod(rounded, kTwoTo32);
  if (wrapped < 0) wrapped += kTwoTo32;
  gen.seed(uint32_t(wrapped));
  return true;
}

void srand_clock(RandomGenerator& gen) {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const auto seconds = duration_cast<std::chrono::seconds>(now.time_since_epoch()).count();
  const auto millis = duration_cast<milliseconds>(steady_clock::now() - kProgramStart).count();
  gen.seed(clock_seed(uint64_t(seconds), uint64_t(millis)));
}

}  // namespace vop::builtins
