#include "core/builtin.h"

#include "core/interpreter.h"

namespace vop {

ErrorState& Call::err() { return interp_.error(); }

Value Call::arg(int i) {
  const int saved = interp_.requested_;
  const bool mode = interp_.condition_mode_;
  interp_.requested_ = 1;
  interp_.condition_mode_ = false;
  Value v = interp_.evaluate(arg_node(i));
  interp_.requested_ = saved;
  interp_.condition_mode_ = mode;
  if (!v && !interp_.error().failed()) interp_.error().raise(kErrMissingArgs);  // gave no value
  return v;
}

Value Call::results(std::vector<Matrix>&& list) {
  result_count_ = int(list.size());
  interp_.result_list_ = std::move(list);
  return {};
}

Value Call::fail(int code, std::string_view name) {
  interp_.error().raise(code, name);
  return {};
}

}  // namespace vop
