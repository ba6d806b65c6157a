// Wrappers of the matrix construction, query and element-wise builtins:
// they evaluate the arguments in order and hand them to the kernels.
#include "builtins/construct.h"
#include "builtins/elementwise.h"
#include "builtins/library.h"

namespace vop {

namespace {

// zeros, ones, eye: (n), ([r c]) or (r, c). The count of arguments is
// known once the sizes are: a third is 82 after the first two are checked.
template <builtins::Constant kind>
Value constant(Call& c) {
  auto args = size_args(c);
  if (!args) return {};
  const Matrix* second = args->second ? &*args->second : nullptr;
  auto shape = builtins::shape_from_args(*args->first, second, c.err());
  if (!shape) return {};
  if (c.argc() > 2) return c.fail(kErrTooManyArgs);
  return result_of(builtins::constant_matrix(kind, *shape, c.err()));
}

// make(n, M), make([r c], M), make(r, c, M): the first argument decides
// whether a third is the tile or one too many.
Value b_make(Call& c) {
  constexpr int kMaxArgs = 3;
  if (c.argc() < 2) return c.fail(kErrMissingArgs);
  Value a = c.arg(0);
  if (!a) return {};
  Value b = c.arg(1);
  if (!b) return {};
  auto times = builtins::tile_counts(*a, *b, c.argc() > 2, c.err());
  if (!times) return {};
  if (c.argc() > kMaxArgs) return c.fail(kErrTooManyArgs);
  Value m;
  if (c.argc() > 2 && !(m = c.arg(2))) return {};
  return result_of(builtins::tile(m ? *m : *b, *times, c.err()));
}

Value b_diag(Call& c) {
  Value x = c.arg(0);
  return x ? result_of(builtins::diag(*x, c.err())) : Value();
}

Value b_trace(Call& c) {
  Value x = c.arg(0);
  return x ? result_of(builtins::trace(*x, c.err())) : Value();
}

Value b_reshape(Call& c) {
  Value m = c.arg(0);
  if (!m) return {};
  Value r = c.arg(1);
  if (!r) return {};
  Value k;
  if (c.argc() > 2 && !(k = c.arg(2))) return {};
  return result_of(builtins::reshape(std::move(m).take(), *r, k ? &*k : nullptr, c.err()));
}

Value b_insertrow(Call& c) {
  Value m = c.arg(0), idx, r;
  if (!m || !(idx = c.arg(1)) || !(r = c.arg(2))) return {};
  return result_of(builtins::insertrow(*m, *idx, *r, c.err()));
}

// size(x) or size(x, k); the count is checked once x is in hand.
Value b_size(Call& c) {
  if (c.argc() < 1) return c.fail(kErrMissingArgs);
  Value x = c.arg(0);
  if (!x) return {};
  if (c.argc() == 1) {
    if (c.requested() < 2) return builtins::size_of(*x);
    std::vector<Matrix> both;
    both.push_back(Matrix::scalar(x->rows()));
    both.push_back(Matrix::scalar(x->cols()));
    return c.results(std::move(both));
  }
  if (c.requested() > 1) return c.fail(kErrTooManyResults);
  Value k = c.arg(1);
  if (!k) return {};
  auto r = builtins::size_along(*x, *k, c.err());
  if (!r) return {};
  if (c.argc() > 2) return c.fail(kErrTooManyArgs);
  return std::move(*r);
}

Value b_find(Call& c) {
  Value x = c.arg(0);
  if (!x) return {};
  if (c.requested() == 2) {
    auto rc = builtins::find_rows_cols(*x, c.err());
    if (!rc) return {};
    return several(c, {&rc->rows, &rc->cols});
  }
  return result_of(builtins::find_nonzero(*x, c.err()));
}

Value b_any(Call& c) {
  Value x = c.arg(0);
  return x ? result_of(builtins::any_nonzero(*x, c.err())) : Value();
}

// sin, cos, ..., sgn: a temporary is overwritten in place.
Value b_elementwise(Call& c) {
  const builtins::ElementFunction f = builtins::find_elementwise(c.name());
  Value x = c.arg(0);
  if (!x) return {};
  if (x.owned()) return result_of(builtins::apply_elementwise(f, std::move(x).take(), c.err()));
  return result_of(builtins::apply_elementwise(f, *x, c.err()));
}

constexpr std::string_view kElementwise[] = {
    "sin", "cos", "tan", "asin", "acos", "atan", "sinh", "cosh", "tanh", "exp",
    "log", "log10", "ceil", "floor", "fix", "round", "abs", "sqrt", "sgn",
};

}  // namespace

void install_matrix_builtins(BuiltinFamily& f) {
  f.add({
      {"zeros", 1, 2, 1, constant<builtins::Constant::Zeros>, true},
      {"ones", 1, 2, 1, constant<builtins::Constant::Ones>, true},
      {"eye", 1, 2, 1, constant<builtins::Constant::Identity>, true},
      {"make", 2, 3, 1, b_make, true},
      {"diag", 1, kAnyArgs, 1, b_diag},
      {"trace", 1, kAnyArgs, 1, b_trace},
      {"reshape", 2, 3, 1, b_reshape},
      {"insertrow", 3, 3, 1, b_insertrow},
      {"size", 1, 2, 2, b_size, true},
      {"find", 1, 1, 2, b_find},
      {"any", 1, 1, 1, b_any},
  });
  for (std::string_view name : kElementwise) f.add({name, 1, 1, 1, b_elementwise});
}

}  // namespace vop
