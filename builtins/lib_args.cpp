// Argument handling that several wrapper files share.
#include "builtins/library.h"
#include "builtins/arg_checks.h"

namespace vop {

Value several(Call& c, std::initializer_list<Matrix*> parts) {
  std::vector<Matrix> list;
  list.reserve(parts.size());
  for (Matrix* m : parts) list.push_back(std::move(*m));
  return c.results(std::move(list));
}

std::optional<SizeArgs> size_args(Call& c) {
  if (c.argc() < 1) {
    c.fail(kErrMissingArgs);
    return std::nullopt;
  }
  SizeArgs a;
  if (!(a.first = c.arg(0))) return std::nullopt;
  if (c.argc() < 2) return a;
  ErrorState& err = c.err();
  if (!builtins::need_numbers(*a.first, err) || !builtins::need_scalar(*a.first, err))
    return std::nullopt;
  if (!(a.second = c.arg(1))) return std::nullopt;
  return a;
}

}  // namespace vop
