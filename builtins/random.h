// Random numbers: the rand, rand_normal and srand builtins over the
// runtime library's generator (core/random_generator.h).
#pragma once

#include <cstdint>
#include <optional>

#include "builtins/arg_checks.h"
#include "core/errors.h"
#include "core/matrix.h"
#include "core/random_generator.h"

namespace vop::builtins {

using ::vop::RandomGenerator;

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
