// The string builtins: number <-> text conversion per element and the
// string utilities. Each kernel takes its evaluated arguments, makes the
// per-argument checks with their codes, and returns the result, or raises
// a code and returns std::nullopt. Absent (null) strings read as empty
// unless a function says otherwise; bytes are compared and cased as
// unsigned 8-bit values in the "C" locale.
#pragma once

#include <optional>
#include <string_view>

#include "core/matrix.h"
#include "core/value.h"

namespace vop {

class ErrorState;

// The value str2num gives one text: the longest leading decimal number
// (blanks skipped first; no hexadecimal, no "inf"/"nan" words), then after
// blanks nothing, "Inf" or "-Inf"; anything else is NaN. No text is 0.
double parse_number_text(std::string_view text);

namespace builtins {

// num2str(format, X): format a 1x1 string (64, 55) holding one conversion
// (177 without one; 's' 178); X numeric (63), non-empty (77). Each element
// becomes prefix + conversion + suffix; "%%" before the conversion is '%'.
std::optional<Matrix> num2str(const Matrix& format, const Matrix& x, ErrorState& err);
// str2num(S): S strings (64); parse_number_text of each element.
std::optional<Matrix> str2num(const Matrix& s, ErrorState& err);

// strlen(S): S strings (64), non-empty (77); byte lengths, absent 0.
std::optional<Matrix> strlen(const Matrix& s, ErrorState& err);
// strcat(A, B), strcmp(A, B): both strings (64), non-empty (77); shapes
// pair element by element, or a row, column or 1x1 is repeated (70 when
// they do not fit). strcmp gives -1, 0, 1; absent is below every string.
std::optional<Matrix> strcat(const Matrix& a, const Matrix& b, ErrorState& err);
std::optional<Matrix> strcmp(const Matrix& a, const Matrix& b, ErrorState& err);

// lcase(S), ucase(S): S strings (64). A temporary is changed in place; a
// borrowed variable is copied.
std::optional<Matrix> lcase(Value s, ErrorState& err);
std::optional<Matrix> ucase(Value s, ErrorState& err);

// left(S, N), right(S, N): S strings (64), non-empty (77); N numeric (63),
// non-empty (77), of S's size (70). The first or last N(i,j) characters,
// N rounded half to even; N <= 0 or absent S gives absent; N at least the
// length, infinite or NaN gives the whole string.
std::optional<Matrix> left(const Matrix& s, const Matrix& n, ErrorState& err);
std::optional<Matrix> right(const Matrix& s, const Matrix& n, ErrorState& err);

// htmlsafe(S): S strings (64); & < > " ' become entities and % becomes %%.
std::optional<Matrix> htmlsafe(const Matrix& s, ErrorState& err);

// implode(S, sep): S strings (64); sep a 1x1 string (64, 55), absent reads
// as empty. A 1x1 string of the elements in linear order joined by sep; an
// S with no elements gives an empty string.
std::optional<Matrix> implode(const Matrix& s, const Matrix& sep, ErrorState& err);
// explode(s, sep): both 1x1 strings (64, 55). The pieces of s between
// non-overlapping occurrences of sep, as a column; s itself when sep does
// not occur, s is absent, or sep is empty or absent.
std::optional<Matrix> explode(const Matrix& s, const Matrix& sep, ErrorState& err);

}  // namespace builtins
}  // namespace vop
