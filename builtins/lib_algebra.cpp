// Wrappers of the linear algebra and random number builtins.
#include "builtins/library.h"
#include "builtins/linalg.h"
#include "builtins/random.h"

namespace vop {

namespace {

// The random generator of the interpreter's run thread.
struct RandomState : InterpreterExtension {
  builtins::RandomGenerator gen;
};

Value b_eig(Call& c) {
  Value a = c.arg(0), b;
  if (!a) return {};
  if (c.argc() > 1 && !(b = c.arg(1))) return {};
  std::optional<Matrix> bm;
  if (b) bm = std::move(b).take();
  if (c.requested() < 2)
    return result_of(builtins::eig_values(std::move(a).take(), bm ? &*bm : nullptr, c.err()));
  auto r = builtins::eig_vectors(std::move(a).take(), bm ? &*bm : nullptr, c.err());
  return r ? several(c, {&r->d, &r->v}) : Value();
}

Value b_svd(Call& c) {
  Value a = c.arg(0);
  if (!a) return {};
  if (c.requested() == 2) return c.fail(kErrTooManyResults);
  if (c.requested() < 2) return result_of(builtins::svd_values(std::move(a).take(), c.err()));
  auto r = builtins::svd_full(std::move(a).take(), c.err());
  return r ? several(c, {&r->u, &r->s, &r->v}) : Value();
}

Value b_lu(Call& c) {
  Value a = c.arg(0);
  if (!a) return {};
  if (c.requested() < 2) return result_of(builtins::lu_packed(std::move(a).take(), c.err()));
  auto r = builtins::lu_factors(std::move(a).take(), c.requested() == 3, c.err());
  if (!r) return {};
  return c.requested() == 3 ? several(c, {&r->l, &r->u, &r->p}) : several(c, {&r->l, &r->u});
}

Value b_det(Call& c) {
  Value a = c.arg(0);
  return a ? result_of(builtins::det(std::move(a).take(), c.err())) : Value();
}

Value b_inv(Call& c) {
  Value a = c.arg(0);
  return a ? result_of(builtins::inv(std::move(a).take(), c.err())) : Value();
}

// rand and rand_normal: (), (n), ([r c]) or (r, c); a third argument is 82
// once the sizes are checked.
template <bool normal>
Value random(Call& c) {
  auto& gen = c.interp().extension<RandomState>().gen;
  builtins::Shape shape{1, 1};
  if (c.argc() > 0) {
    auto args = size_args(c);
    if (!args) return {};
    auto s = builtins::random_shape(&*args->first, args->second ? &*args->second : nullptr,
                                    c.err());
    if (!s) return {};
    if (c.argc() > 2) return c.fail(kErrTooManyArgs);
    shape = *s;
  }
  return result_of(normal ? builtins::rand_normal(gen, shape, c.err())
                          : builtins::rand_uniform(gen, shape, c.err()));
}

Value b_srand(Call& c) {
  auto& gen = c.interp().extension<RandomState>().gen;
  if (c.argc() == 0) {
    builtins::srand_clock(gen);
    return c.none();
  }
  Value s = c.arg(0);
  if (!s || !builtins::srand_value(gen, *s, c.err())) return {};
  return c.none();
}

}  // namespace

void install_algebra_builtins(BuiltinFamily& f) {
  f.add({
      {"eig", 1, 2, 2, b_eig},
      {"svd", 1, 1, 3, b_svd},
      {"lu", 1, 1, 3, b_lu},
      {"det", 1, 1, 1, b_det},
      {"inv", 1, 1, 1, b_inv},
      {"rand", 0, 2, 1, random<false>, true},
      {"rand_normal", 0, 2, 1, random<true>, true},
      {"srand", 0, 1, 0, b_srand},
  });
}

}  // namespace vop
