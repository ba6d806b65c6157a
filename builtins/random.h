// Random numbers: the runtime library's 15-bit linear congruential
// generator, and the rand, rand_normal and srand builtins over it.
//
// The generator is an object: the thread that runs scripts owns one, so
// runs on different threads never share a sequence.
#pragma once

#include <cstdint>
#include <optional>

#include "builtins/arg_checks.h"
#include "core/errors.h"
#include "core/matrix.h"

namespace vop::builtins {

class RandomGenerator {
 public:
  // The state a new thread starts from.
  static constexpr uint32_t kInitialState = 1;
  // Outputs lie in 0 .. kMaxOutput.
  static constexpr int kMaxOutput = 0x7FFF;

  // Advance and return the next output: bits 16 to 30 of the new state.
  int next() {
    state_ = state_ * 214013u + 2531011u;
    return int((state_ >> 16) & kMaxOutput);
  }
  void seed(uint32_t s) { state_ = s; }
  uint32_t state() const { return state_; }

 private:
  uint32_t state_ = kInitialState;  // wraps modulo 2^32
};

// The seed `srand()` takes from the clock: seconds since 1970 and
// milliseconds since the program started, mixed as the runtime does.
uint32_t clock_seed(uint64_t unix_seconds, uint64_t millis_since_start);

// Shape of rand(), rand(n) (n x 1), rand([r c]) and rand(r, c); each
// argument pointer is null when not given.
std::optional<Shape> random_shape(const Matrix* first, const Matrix* second, ErrorState& err);

// Uniform values (r + 1) / 32768 in (0, 1], element by element.
std::optional<Matrix> rand_uniform(RandomGenerator& gen, const Matrix* first,
                                   const Matrix* second, ErrorState& err);
// Standard normal values by the polar method, made in pairs.
std::optional<Matrix> rand_normal(RandomGenerator& gen, const Matrix* first,
                                  const Matrix* second, ErrorState& err);

// The same for a shape already checked.
std::optional<Matrix> rand_uniform(RandomGenerator& gen, Shape shape, ErrorState& err);
std::optional<Matrix> rand_normal(RandomGenerator& gen, Shape shape, ErrorState& err);

// srand(s): the state becomes s rounded half to even, modulo 2^32.
bool srand_value(RandomGenerator& gen, const Matrix& s, ErrorState& err);
// srand(): a seed from the clock.
void srand_clock(RandomGenerator& gen);

}  // namespace vop::builtins
