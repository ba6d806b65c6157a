// The per-argument checks that every builtin makes, each with its fixed
// code. Each returns false after raising the code, so a kernel can chain
// them: `if (!require_string(s, err) || !require_scalar(s, err)) return {};`
#pragma once

#include <string_view>

#include "core/errors.h"
#include "core/matrix.h"

namespace vop {

inline bool require_string(const Matrix& m, ErrorState& err) {
  return !m.numeric() || err.raise(kErrString);
}
inline bool require_numeric(const Matrix& m, ErrorState& err) {
  return m.numeric() || err.raise(kErrNumeric);
}
inline bool require_scalar(const Matrix& m, ErrorState& err) {
  return m.is_scalar() || err.raise(kErrScalar);
}
inline bool require_not_empty(const Matrix& m, ErrorState& err) {
  return !m.empty() || err.raise(kErrNotEmpty);
}
inline bool require_same_shape(const Matrix& a, const Matrix& b, ErrorState& err) {
  return (a.rows() == b.rows() && a.cols() == b.cols()) || err.raise(kErrDims);
}

// The text of a string element; an absent string reads as empty.
inline std::string_view text_of(const StrCell& cell) {
  return cell ? std::string_view(*cell) : std::string_view();
}

}  // namespace vop
