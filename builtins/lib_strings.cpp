// Wrappers of the string builtins.
#include "builtins/library.h"
#include "builtins/strings.h"

namespace vop {

namespace {

using Unary = std::optional<Matrix> (*)(const Matrix&, ErrorState&);
using Binary = std::optional<Matrix> (*)(const Matrix&, const Matrix&, ErrorState&);
using Owning = std::optional<Matrix> (*)(Value, ErrorState&);

template <Unary fn>
Value unary(Call& c) {
  Value a = c.arg(0);
  return a ? result_of(fn(*a, c.err())) : Value();
}

template <Binary fn>
Value binary(Call& c) {
  Value a = c.arg(0);
  if (!a) return {};
  Value b = c.arg(1);
  return b ? result_of(fn(*a, *b, c.err())) : Value();
}

template <Owning fn>
Value owning(Call& c) {
  Value a = c.arg(0);
  return a ? result_of(fn(std::move(a), c.err())) : Value();
}

}  // namespace

void install_string_builtins(BuiltinFamily& f) {
  f.add({
      {"num2str", 2, 2, 1, binary<builtins::num2str>},
      {"str2num", 1, 1, 1, unary<builtins::str2num>},
      {"strlen", 1, 1, 1, unary<builtins::strlen>},
      {"strcat", 2, 2, 1, binary<builtins::strcat>},
      {"strcmp", 2, 2, 1, binary<builtins::strcmp>},
      {"lcase", 1, 1, 1, owning<builtins::lcase>},
      {"ucase", 1, 1, 1, owning<builtins::ucase>},
      {"left", 2, 2, 1, binary<builtins::left>},
      {"right", 2, 2, 1, binary<builtins::right>},
      {"htmlsafe", 1, 1, 1, unary<builtins::htmlsafe>},
      {"implode", 2, 2, 1, binary<builtins::implode>},
      {"explode", 2, 2, 1, binary<builtins::explode>},
  });
}

}  // namespace vop
