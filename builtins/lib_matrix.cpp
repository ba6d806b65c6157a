// Wrappers of the matrix construction, query and element-wise builtins:
// they evaluate the arguments in order and hand them to the kernels.
#include "builtins/construct.h"
#include "builtins/elementwise.h"
#include "builtins/library.h"

namespace vop {

namespace {

using MakeFn = std::optional<Matrix> (*)(const Matrix&, const Matrix*, ErrorState&);

// zeros, ones, eye: (n), ([r c]) or (r, c).
template <MakeFn fn>
Value shaped(Call& c) {
  Value first = c.arg(0);
  if (!first) return {};
  Value second;
  if (c.argc() > 1 && !(second = c.arg(1))) return {};
  return result_of(fn(*first, second ? &*second : nullptr, c.err()));
}

Value b_make(Call& c) {
  Value a = c.arg(0);
  if (!a) return {};
  Value b = c.arg(1);
  if (!b) return {};
  Value m;
  if (c.argc() > 2 && !(m = c.arg(2))) return {};
  return result_of(builtins::make(*a, *b, m ? &*m : nullptr, c.err()));
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

Value b_size(Call& c) {
  Value x = c.arg(0);
  if (!x) return {};
  if (c.argc() == 2) {
    if (c.requested() > 1) return c.fail(kErrTooManyResults);
    Value k = c.arg(1);
    return k ? result_of(builtins::size_along(*x, *k, c.err())) : Value();
  }
  if (c.requested() == 2) {
    std::vector<Matrix> both;
    both.push_back(Matrix::scalar(x->rows()));
    both.push_back(Matrix::scalar(x->cols()));
    return c.results(std::move(both));
  }
  return builtins::size_of(*x);
}

Value b_find(Call& c) {
  Value x = c.arg(0);
  if (!x) return {};
  if (c.requested() == 2) {
    auto rc = builtins::find_rows_cols(*x, c.err());
    if (!rc) return {};
    std::vector<Matrix> both;
    both.push_back(std::move(rc->rows));
    both.push_back(std::move(rc->cols));
    return c.results(std::move(both));
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
      {"zeros", 1, 2, 1, shaped<builtins::zeros>},
      {"ones", 1, 2, 1, shaped<builtins::ones>},
      {"eye", 1, 2, 1, shaped<builtins::eye>},
      {"make", 2, 3, 1, b_make},
      {"diag", 1, kAnyArgs, 1, b_diag},
      {"trace", 1, kAnyArgs, 1, b_trace},
      {"reshape", 2, 3, 1, b_reshape},
      {"insertrow", 3, 3, 1, b_insertrow},
      {"size", 1, 2, 2, b_size},
      {"find", 1, 1, 2, b_find},
      {"any", 1, 1, 1, b_any},
  });
  for (std::string_view name : kElementwise) f.add({name, 1, 1, 1, b_elementwise});
}

}  // namespace vop
