// The format engine behind sprintf and printf, and the conversion of one
// number by a "%[-][width[.precision]]c" field format that num2str and
// other callers reuse.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/matrix.h"

namespace vop {

class ErrorState;

// Field width and precision when the format writes none.
inline constexpr int kDefaultFormatWidth = 8;
inline constexpr int kDefaultFormatPrecision = 4;

// One conversion "%[-][width[.precision]]c". Widths and precisions are
// capped at kMaxFieldWidth and kMaxPrecision (number_text.h).
struct FieldFormat {
  char conversion = '\0';  // '\0': the text ended before a conversion character
  bool left = false;       // '-': left-justify
  bool has_width = false;
  bool has_precision = false;
  int width = kDefaultFormatWidth;
  int precision = kDefaultFormatPrecision;
};

// Reads a field format from `text` at `pos`, just after its '%', into
// `field`, and returns the position after the conversion character. A
// precision is only read after a width ("%.2f" has the conversion '.').
size_t parse_field_format(std::string_view text, size_t pos, FieldFormat& field);

// Appends x converted by `field` as the format engine does. Conversions:
// d (truncated toward zero; width 0 and precision 1 unless written), f, F
// (fixed, redone as "%*.*e" with precision width - 7 when wider than the
// width), e, E, g ("%g", "%*g" or "%*.*g" by what was written), G. NaN and
// the infinities print "NaN", "Inf", "-Inf" whole, justified in the width.
// Returns false, appending nothing, for any other conversion.
bool append_number(std::string& out, const FieldFormat& field, double x);

// The same for callers that want the text alone: `conversion` is one
// field format such as "%8.3f"; anything else gives an empty string.
std::string format_number(const FieldFormat& field, double x);
std::string format_number(std::string_view conversion, double x);

// The value arguments of a format, handed over one at a time as the format
// consumes them, so that a builtin can evaluate each argument only when it
// is needed. Values the format does not consume are never asked for.
class FormatValues {
 public:
  virtual ~FormatValues() = default;
  // The next value, valid until the next call. nullptr when no value is
  // left, or when producing it failed, in which case `err` holds the code.
  virtual const Matrix* next(ErrorState& err) = 0;
};

// Values that are already at hand.
class FormatValueList final : public FormatValues {
 public:
  explicit FormatValueList(std::span<const Matrix> values) : values_(values) {}
  const Matrix* next(ErrorState&) override {
    return next_ < values_.size() ? &values_[next_++] : nullptr;
  }

 private:
  std::span<const Matrix> values_;
  size_t next_ = 0;
};

// Appends `format` with its conversions filled from `values` to `out`.
// Each value must be 1x1 (55), a number for d f F e E (179 otherwise) and a
// string for s (178 otherwise); a conversion with no value left, or an
// unknown conversion, is 177. Surplus values are ignored. On failure the
// code is raised, false returned, and `out` holds a partial text to discard.
bool format_text(std::string_view format, FormatValues& values, std::string& out,
                 ErrorState& err);

namespace builtins {

// sprintf(format, a, b, ...): `format` a 1x1 string (64, 55); a null format
// reads as empty. Result: a 1x1 string.
std::optional<Matrix> sprintf(const Matrix& format, FormatValues& values, ErrorState& err);

}  // namespace builtins
}  // namespace vop
