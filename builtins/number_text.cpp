// The conversions are built on std::to_chars, which rounds exactly as printf
// does, into a stack buffer; only the exponent is rewritten.
#include "builtins/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace vop {

namespace {

// The runtime library writes at least this many exponent digits.
constexpr int kExponentDigits = 3;
// printf's precision when none is written (or a negative one is passed).
constexpr int kDefaultFloatPrecision = 6;
constexpr int kDefaultIntegerPrecision = 1;
// Longest text of one conversion: sign, 309 integer digits, point, the
// precision, and an exponent; plus room to widen the exponent.
constexpr int kNumberBuffer = kMaxPrecision + 340;
// The digits of the largest double written in full (309) and some room.
constexpr int kIntegerDigits = 320;

int clamp_width(int width) { return std::clamp(width, 0, kMaxFieldWidth); }

int clamp_precision(int precision, int when_none) {
  return precision < 0 ? when_none : std::min(precision, kMaxPrecision);
}

// Widens the exponent of the text [buf, end) to kExponentDigits digits and
// returns the new end. Text without an 'e' is returned unchanged.
char* widen_exponent(char* buf, char* end) {
  char* e = static_cast<char*>(std::memchr(buf, 'e', size_t(end - buf)));
  if (e == nullptr) return end;
  char* digits = e + 2;  // after 'e' and the sign to_chars always writes
  const int have = int(end - digits);
  if (have >= kExponentDigits) return end;
  const int add = kExponentDigits - have;
  std::memmove(digits + add, digits, size_t(have));
  std::memset(digits, '0', size_t(add));
  return end + add;
}

void upper_exponent(char* buf, char* end) {
  for (char* p = buf; p != end; ++p)
    if (*p >= 'a' && *p <= 'z') *p = char(*p - 'a' + 'A');
}

}  // namespace

void append_padded(std::string& out, std::string_view text, int width, bool left) {
  const size_t w = size_t(clamp_width(width));
  const size_t pad = text.size() < w ? w - text.size() : 0;
  if (!left) out.append(pad, ' ');
  out.append(text);
  if (left) out.append(pad, ' ');
}

void append_fixed(std::string& out, double x, int width, int precision, bool left) {
  char buf[kNumberBuffer];
  const auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed,
                               clamp_precision(precision, kDefaultFloatPrecision));
  append_padded(out, std::string_view(buf, size_t(r.ptr - buf)), width, left);
}

namespace {

// A number in e-form or g-form, with the exponent widened to three digits.
void append_float(std::string& out, double x, int width, int precision, bool left, bool upper,
                  std::chars_format form) {
  char buf[kNumberBuffer];
  const auto r = std::to_chars(buf, buf + sizeof buf - kExponentDigits, x, form,
                               clamp_precision(precision, kDefaultFloatPrecision));
  char* end = std::isfinite(x) ? widen_exponent(buf, r.ptr) : r.ptr;
  if (upper) upper_exponent(buf, end);
  append_padded(out, std::string_view(buf, size_t(end - buf)), width, left);
}

}  // namespace

void append_exponent(std::string& out, double x, int width, int precision, bool left,
                     bool upper) {
  append_float(out, x, width, precision, left, upper, std::chars_format::scientific);
}

void append_general(std::string& out, double x, int width, int precision, bool left,
                    bool upper) {
  append_float(out, x, width, precision, left, upper, std::chars_format::general);
}

void append_integer(std::string& out, double x, int width, int precision, bool left) {
  double t = std::trunc(x);
  if (t == 0) t = 0;  // no "-0": an int has no negative zero
  char digits[kIntegerDigits];
  const auto r = std::to_chars(digits, digits + sizeof digits, std::fabs(t),
                               std::chars_format::fixed, 0);
  std::string_view text(digits, size_t(r.ptr - digits));
  const size_t min_digits = size_t(clamp_precision(precision, kDefaultIntegerPrecision));
  // printf prints no digits at all for a zero with precision 0.
  if (min_digits == 0 && t == 0) text = {};

  char field[kIntegerDigits + kMaxPrecision + 1];
  size_t n = 0;
  if (t < 0) field[n++] = '-';
  if (text.size() < min_digits) {
    std::memset(field + n, '0', min_digits - text.size());
    n += min_digits - text.size();
  }
  if (!text.empty()) std::memcpy(field + n, text.data(), text.size());
  n += text.size();
  append_padded(out, std::string_view(field, n), width, left);
}

int printed_exponent(double x, int digits) {
  if (!std::isfinite(x) || x == 0) return 0;
  char buf[kNumberBuffer];
  const auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific,
                               clamp_precision(digits, kDefaultFloatPrecision));
  const char* e = static_cast<const char*>(std::memchr(buf, 'e', size_t(r.ptr - buf)));
  int exponent = 0;
  std::from_chars(e + 2, r.ptr, exponent);
  return e[1] == '-' ? -exponent : exponent;
}

}  // namespace vop
