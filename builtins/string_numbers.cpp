// num2str and str2num: numbers to text by one conversion per element, and
// text back to numbers.
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "builtins/arg_checks.h"
#include "builtins/format.h"
#include "builtins/strings.h"
#include "core/errors.h"

namespace vop {

namespace {

// The blanks that the runtime's number reader skips.
bool is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool is_digit(char c) { return c >= '0' && c <= '9'; }

size_t skip_blanks(std::string_view t, size_t i) {
  while (i < t.size() && is_blank(t[i])) ++i;
  return i;
}

size_t skip_digits(std::string_view t, size_t i) {
  while (i < t.size() && is_digit(t[i])) ++i;
  return i;
}

// The end of the longest decimal number "[+-]digits[.digits][e[+-]digits]"
// starting at i (with at least one mantissa digit), or i when there is none.
size_t scan_decimal(std::string_view t, size_t i) {
  size_t p = i;
  if (p < t.size() && (t[p] == '+' || t[p] == '-')) ++p;
  const size_t int_start = p;
  p = skip_digits(t, p);
  size_t mantissa_digits = p - int_start;
  if (p < t.size() && t[p] == '.') {
    const size_t frac_start = p + 1;
    const size_t frac_end = skip_digits(t, frac_start);
    mantissa_digits += frac_end - frac_start;
    p = frac_end;
  }
  if (mantissa_digits == 0) return i;
  if (p < t.size() && (t[p] == 'e' || t[p] == 'E')) {
    size_t q = p + 1;
    if (q < t.size() && (t[q] == '+' || t[q] == '-')) ++q;
    const size_t exp_end = skip_digits(t, q);
    if (exp_end > q) p = exp_end;
  }
  return p;
}

double read_decimal(std::string_view number) {
  if (number[0] == '+') number.remove_prefix(1);
  double value = 0;
  const auto r = std::from_chars(number.data(), number.data() + number.size(), value);
  // Overflow and underflow: the runtime's reader gives the nearest of
  // +-HUGE_VAL and +-0 (from_chars leaves the value unset then).
  if (r.ec == std::errc::result_out_of_range)
    value = std::strtod(std::string(number).c_str(), nullptr);
  return value;
}

}  // namespace

double parse_number_text(std::string_view text) {
  const size_t start = skip_blanks(text, 0);
  const size_t end = scan_decimal(text, start);
  const double value = end > start ? read_decimal(text.substr(start, end - start)) : 0.0;
  const std::string_view rest = text.substr(skip_blanks(text, end));
  if (rest.empty()) return value;
  if (rest == "Inf") return std::numeric_limits<double>::infinity();
  if (rest == "-Inf") return -std::numeric_limits<double>::infinity();
  return std::numeric_limits<double>::quiet_NaN();
}

namespace builtins {

std::optional<Matrix> num2str(const Matrix& format, const Matrix& x, ErrorState& err) {
  if (!need_string(format, err) || !need_scalar(format, err) ||
      !need_numeric(x, err) || !need_nonempty(x, err))
    return std::nullopt;
  const std::string_view f = text_of(format.str()[0]);

  std::string prefix;
  size_t i = 0;
  for (; i < f.size(); ++i) {
    if (f[i] != '%') {
      prefix += f[i];
    } else if (i + 1 < f.size() && f[i + 1] == '%') {
      prefix += '%';
      ++i;
    } else {
      break;
    }
  }
  if (i + 1 >= f.size()) return err.raise(kErrBadConversion), std::nullopt;
  FieldFormat field;
  const size_t after = parse_field_format(f, i + 1, field);
  if (field.conversion == 's') return err.raise(kErrNumberForText), std::nullopt;
  const std::string_view suffix = f.substr(after);

  Matrix out = Matrix::strings(x.rows(), x.cols());
  for (int64_t k = 0; k < x.size(); ++k) {
    std::string text = prefix;
    if (!append_number(text, field, x[k])) return err.raise(kErrBadConversion), std::nullopt;
    text.append(suffix);
    out.str()[k] = std::move(text);
  }
  return out;
}

std::optional<Matrix> str2num(const Matrix& s, ErrorState& err) {
  if (!need_string(s, err)) return std::nullopt;
  Matrix out = Matrix::numbers(s.rows(), s.cols());
  for (int64_t k = 0; k < s.size(); ++k) out[k] = parse_number_text(text_of(s.str()[k]));
  return out;
}

}  // namespace builtins
}  // namespace vop
