#include "builtins/elementwise.h"

#include <cmath>

#include "builtins/arg_checks.h"

namespace vop::builtins {

double round_half_up(double x) {
  const double f = std::floor(x), c = std::ceil(x);
  return c - x <= x - f ? c : f;
}

double fix_toward_zero(double x) { return x > 0 ? std::floor(x) : std::ceil(x); }

double sign_of(double x) { return x > 0 ? 1.0 : x < 0 ? -1.0 : 0.0; }

namespace {

struct ElementEntry {
  std::string_view name;  // builtin name as scripts write it
  ElementFunction fn;     // the function applied to each element
};

// The standard names are overloaded and cannot be taken by address, so each
// entry wraps its function in a capture-less lambda.
constexpr ElementEntry kElementFunctions[] = {
    {"sin", [](double x) { return std::sin(x); }},
    {"cos", [](double x) { return std::cos(x); }},
    {"tan", [](double x) { return std::tan(x); }},
    {"asin", [](double x) { return std::asin(x); }},
    {"acos", [](double x) { return std::acos(x); }},
    {"atan", [](double x) { return std::atan(x); }},
    {"sinh", [](double x) { return std::sinh(x); }},
    {"cosh", [](double x) { return std::cosh(x); }},
    {"tanh", [](double x) { return std::tanh(x); }},
    {"exp", [](double x) { return std::exp(x); }},
    {"log", [](double x) { return std::log(x); }},
    {"log10", [](double x) { return std::log10(x); }},
    {"ceil", [](double x) { return std::ceil(x); }},
    {"floor", [](double x) { return std::floor(x); }},
    {"fix", fix_toward_zero},
    {"round", round_half_up},
    {"abs", [](double x) { return std::fabs(x); }},
    {"sqrt", [](double x) { return std::sqrt(x); }},
    {"sgn", sign_of},
};

void apply(ElementFunction f, const double* in, double* out, int64_t n) {
  for (int64_t i = 0; i < n; ++i) out[i] = f(in[i]);
}

}  // namespace

ElementFunction find_elementwise(std::string_view name) {
  for (const auto& e : kElementFunctions)
    if (e.name == name) return e.fn;
  return nullptr;
}

std::optional<Matrix> apply_elementwise(ElementFunction f, const Matrix& x, ErrorState& err) {
  if (!need_numbers(x, err)) return std::nullopt;
  auto out = new_matrix(x.rows(), x.cols(), true, Matrix::Fill::None, err);
  if (!out) return std::nullopt;
  apply(f, x.num(), out->num(), x.size());
  return out;
}

std::optional<Matrix> apply_elementwise(ElementFunction f, Matrix&& x, ErrorState& err) {
  if (!need_numbers(x, err)) return std::nullopt;
  apply(f, x.num(), x.num(), x.size());
  x.clear_name();
  return std::move(x);
}

}  // namespace vop::builtins
