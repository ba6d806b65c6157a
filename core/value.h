// Value: what one operation hands to the next.
//
// Either a borrowed reference to a variable that lives in a frame (the
// receiver must neither change nor free it) or an owned temporary (the
// receiver may reuse its storage). An empty Value means "no value": the
// operation failed and stored an error code.
//
// The type makes the wrong thing hard: a borrowed variable is only reachable
// as const, and `take()` copies it, so a receiver can never free or change a
// frame's variable through a Value.
#pragma once

#include <cassert>
#include <optional>
#include <utility>

#include "core/matrix.h"

namespace vop {

class Value {
 public:
  Value() = default;
  Value(Matrix&& m) : own_(std::move(m)) {}  // NOLINT: temporaries convert
  static Value borrow(const Matrix& m) {
    Value v;
    v.ref_ = &m;
    return v;
  }

  Value(Value&&) noexcept = default;
  Value& operator=(Value&&) noexcept = default;
  Value(const Value&) = delete;
  Value& operator=(const Value&) = delete;

  explicit operator bool() const { return ref_ || own_; }
  bool owned() const { return own_.has_value(); }
  bool borrowed() const { return ref_ != nullptr; }

  const Matrix& operator*() const { return ref_ ? *ref_ : *own_; }
  const Matrix* operator->() const { return ref_ ? ref_ : &*own_; }

  // The temporary itself, for in-place reuse; only for owned values.
  Matrix& mut() {
    assert(own_);
    return *own_;
  }

  // An owned matrix: the temporary itself, or an unnamed copy of a variable.
  Matrix take() && {
    if (own_) {
      Matrix m = std::move(*own_);
      own_.reset();
      return m;
    }
    assert(ref_);
    Matrix m = ref_->clone();
    ref_ = nullptr;
    return m;
  }

 private:
  const Matrix* ref_ = nullptr;   // a frame's variable; not ours
  std::optional<Matrix> own_;     // a temporary that we own
};

}  // namespace vop
