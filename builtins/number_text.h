// printf-style number conversions that write exponents with at least three
// digits ("1.5e+003"), as the matrix language has always shown them.
//
// Each function appends one field to `out` exactly as the runtime's
// "%*.*f", "%*.*e", "%*.*g" or "%*.*d" would (C locale, no '+', '#' or '0'
// flags), except for the exponent width. A negative precision means "none
// written": 6 for f/e/g, 1 for d, as printf treats a negative '*' precision.
// Widths and precisions above the caps below are treated as the caps, so a
// format such as "%999999999d" cannot allocate absurdly.
#pragma once

#include <string>
#include <string_view>

namespace vop {

// No output line is wider than a few hundred characters; a field of 4096 is
// far beyond any real layout and keeps the worst case a few kilobytes.
inline constexpr int kMaxFieldWidth = 4096;
// A double has at most 1074 fractional digits; a larger precision only adds
// zeros, so the same cap loses nothing a script could want.
inline constexpr int kMaxPrecision = 4096;

// Appends `text` padded with blanks to `width` ("%*s" or "%-*s").
void append_padded(std::string& out, std::string_view text, int width, bool left);

// "%*.*f"
void append_fixed(std::string& out, double x, int width, int precision, bool left);
// "%*.*e" or, with `upper`, "%*.*E"; the exponent has at least three digits.
void append_exponent(std::string& out, double x, int width, int precision, bool left,
                     bool upper);
// "%*.*g" or "%*.*G"; the exponent form has at least three exponent digits.
void append_general(std::string& out, double x, int width, int precision, bool left,
                    bool upper);
// "%*.*d" of x truncated toward zero. Values beyond the range of int are
// printed exactly rather than wrapped.
void append_integer(std::string& out, double x, int width, int precision, bool left);

// The decimal exponent of x as "%.*e" with `digits` decimals prints it (so
// 9999.7 with 3 decimals gives 4, since it prints as 1.000e+004). 0 for 0
// and for non-finite x.
int printed_exponent(double x, int digits);

}  // namespace vop
