#include "builtins/format.h"

#include <algorithm>
#include <cmath>

#include "builtins/arg_checks.h"
#include "builtins/number_text.h"
#include "core/errors.h"

namespace vop {

namespace {

// Letters that mean "convert a number" in the format engine (num2str adds
// g and G through append_number).
bool is_engine_number_conversion(char c) {
  return c == 'd' || c == 'f' || c == 'F' || c == 'e' || c == 'E';
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Reads decimal digits at `pos`, saturating at `cap`.
int read_count(std::string_view text, size_t& pos, int cap) {
  int value = 0;
  for (; pos < text.size() && is_digit(text[pos]); ++pos)
    value = std::min(value * 10 + (text[pos] - '0'), cap);
  return value;
}

std::string_view non_finite_text(double x) {
  if (std::isnan(x)) return "NaN";
  return x > 0 ? "Inf" : "-Inf";
}

// "%s" of a string value. Empty and absent strings both give a field of
// blanks when a width is written and nothing otherwise.
void append_text(std::string& out, const FieldFormat& field, const StrCell& cell) {
  const bool blank = !cell || cell->empty();
  if (!field.has_width) {
    if (!blank) out += *cell;
    return;
  }
  std::string_view text = blank ? std::string_view(" ") : std::string_view(*cell);
  // The precision defaults to the width, so a long string is cut to fit.
  const int precision = field.has_precision ? field.precision : field.width;
  text = text.substr(0, size_t(precision));
  append_padded(out, text, field.width, field.left);
}

bool convert_value(std::string& out, const FieldFormat& field, FormatValues& values,
                   ErrorState& err) {
  const char c = field.conversion;
  if (!is_engine_number_conversion(c) && c != 's') return err.raise(kErrBadConversion);
  const Matrix* value = values.next(err);
  if (value == nullptr) return err.failed() ? false : err.raise(kErrBadConversion);
  if (!value->is_scalar()) return err.raise(kErrScalar);
  if (value->numeric()) {
    if (c == 's') return err.raise(kErrNumberForText);
    return append_number(out, field, (*value)[0]);
  }
  if (c != 's') return err.raise(kErrTextForNumber);
  append_text(out, field, value->str()[0]);
  return true;
}

}  // namespace

size_t parse_field_format(std::string_view text, size_t pos, FieldFormat& field) {
  field = FieldFormat{};
  if (pos < text.size() && text[pos] == '-') {
    field.left = true;
    ++pos;
  }
  if (pos < text.size() && is_digit(text[pos])) {
    field.has_width = true;
    field.width = read_count(text, pos, kMaxFieldWidth);
    if (pos < text.size() && text[pos] == '.') {
      ++pos;
      field.has_precision = true;
      field.precision = read_count(text, pos, kMaxPrecision);
    }
  }
  if (pos < text.size()) field.conversion = text[pos++];
  return pos;
}

bool append_number(std::string& out, const FieldFormat& field, double x) {
  const int w = field.width;
  const int p = field.precision;
  const bool left = field.left;
  switch (field.conversion) {
    case 'd': case 'f': case 'F': case 'e': case 'E': case 'g': case 'G':
      break;
    default:
      return false;
  }
  if (!std::isfinite(x)) {
    append_padded(out, non_finite_text(x), w, left);
    return true;
  }
  switch (field.conversion) {
    case 'd':
      append_integer(out, x, field.has_width ? w : 0, field.has_precision ? p : 1, left);
      break;
    case 'f':
      append_fixed(out, x, w, p, left);
      break;
    case 'F': {
      const size_t start = out.size();
      append_fixed(out, x, w, p, left);
      // Too wide for its field: the exponent form, which fits in a width of
      // 7 + precision characters for positive numbers.
      if (out.size() - start > size_t(w)) {
        out.resize(start);
        append_exponent(out, x, w, w - 7, left, false);
      }
      break;
    }
    case 'e':
    case 'E':
      append_exponent(out, x, w, p, left, field.conversion == 'E');
      break;
    case 'g':  // printf's own defaults for what the format leaves out
      append_general(out, x, field.has_width ? w : 0, field.has_precision ? p : -1, left,
                     false);
      break;
    case 'G':
      append_general(out, x, w, p, left, true);
      break;
  }
  return true;
}

std::string format_number(const FieldFormat& field, double x) {
  std::string text;
  append_number(text, field, x);
  return text;
}

std::string format_number(std::string_view conversion, double x) {
  if (conversion.empty() || conversion[0] != '%') return {};
  FieldFormat field;
  if (parse_field_format(conversion, 1, field) != conversion.size()) return {};
  return format_number(field, x);
}

bool format_text(std::string_view format, FormatValues& values, std::string& out,
                 ErrorState& err) {
  size_t i = 0;
  const size_t n = format.size();
  while (i < n) {
    const size_t special = format.find_first_of("\\%", i);
    if (special == std::string_view::npos) {
      out.append(format.substr(i));
      break;
    }
    out.append(format.substr(i, special - i));
    i = special;
    if (format[i] == '\\') {  // the next character, whatever it is, literally
      if (i + 1 < n) out += format[i + 1];
      i += 2;
      continue;
    }
    if (i + 1 == n) break;  // a '%' that ends the format is dropped
    if (format[i + 1] == '%') {
      out += '%';
      i += 2;
      continue;
    }
    FieldFormat field;
    i = parse_field_format(format, i + 1, field);
    if (!convert_value(out, field, values, err)) return false;
  }
  return true;
}

namespace builtins {

std::optional<Matrix> sprintf(const Matrix& format, FormatValues& values, ErrorState& err) {
  if (!need_string(format, err) || !need_scalar(format, err)) return std::nullopt;
  std::string text;
  if (!format_text(text_of(format.str()[0]), values, text, err)) return std::nullopt;
  return Matrix::text(std::move(text));
}

}  // namespace builtins
}  // namespace vop
