// The string utilities: lengths, joining and comparing, case, cutting,
// escaping, and splitting.
#include "builtins/strings.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "builtins/arg_checks.h"
#include "core/errors.h"

namespace vop::builtins {

namespace {

// How strcat and strcmp pair the elements of A and B: the result's shape,
// and for each operand whether its row and column follow the result's (or
// stay at the first one, repeating a row, a column or a 1x1).
struct Pairing {
  int rows = 0;
  int cols = 0;
  bool a_rows = true, a_cols = true;
  bool b_rows = true, b_cols = true;
};

// The shape rules, tested in this order: same rows; B one row; A one row.
std::optional<Pairing> pair_shapes(const Matrix& a, const Matrix& b) {
  Pairing p;
  if (a.rows() == b.rows()) {
    p.rows = a.rows();
    if (a.cols() == b.cols()) p.cols = a.cols();
    else if (b.cols() == 1) p.cols = a.cols(), p.b_cols = false;
    else if (a.cols() == 1) p.cols = b.cols(), p.a_cols = false;
    else return std::nullopt;
    return p;
  }
  if (b.rows() == 1) {
    p.rows = a.rows();
    p.cols = a.cols();
    p.b_rows = false;
    if (b.is_scalar()) p.b_cols = false;
    else if (b.cols() != a.cols()) return std::nullopt;
    return p;
  }
  if (a.rows() != 1) return std::nullopt;
  p.rows = b.rows();
  p.cols = b.cols();
  p.a_rows = false;
  if (a.is_scalar()) p.a_cols = false;
  else if (a.cols() != b.cols()) return std::nullopt;
  return p;
}

bool check_string_pair(const Matrix& a, const Matrix& b, ErrorState& err) {
  return need_string(a, err) && need_nonempty(a, err) && need_string(b, err) &&
         need_nonempty(b, err);
}

// Calls put(k, a_cell, b_cell) for each linear index k of the result.
template <class Put>
void for_pairs(const Matrix& a, const Matrix& b, const Pairing& p, Put put) {
  for (int j = 0; j < p.cols; ++j)
    for (int i = 0; i < p.rows; ++i)
      put(i + int64_t(p.rows) * j, a.sat(p.a_rows ? i : 0, p.a_cols ? j : 0),
          b.sat(p.b_rows ? i : 0, p.b_cols ? j : 0));
}

int compare_cells(const StrCell& a, const StrCell& b) {
  if (!a || !b) return int(bool(a)) - int(bool(b));  // absent below any string
  const int c = a->compare(*b);  // char_traits<char> compares as unsigned bytes
  return (c > 0) - (c < 0);
}

// Only A-Z and a-z change, as tolower/toupper do in the "C" locale.
char lower_byte(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }
char upper_byte(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

template <char (*Convert)(char)>
std::optional<Matrix> change_case(Value s, ErrorState& err) {
  if (!need_string(*s, err)) return std::nullopt;
  Matrix m = std::move(s).take();
  for (int64_t k = 0; k < m.size(); ++k)
    if (StrCell& cell = m.str()[k]) std::transform(cell->begin(), cell->end(), cell->begin(), Convert);
  return m;
}

double round_half_even(double x) {
  const double f = std::floor(x);
  const double d = x - f;
  if (d > 0.5 || (d == 0.5 && std::fmod(f, 2.0) != 0)) return f + 1;
  return f;
}

enum class Side { Left, Right };

std::optional<Matrix> cut(const Matrix& s, const Matrix& n, Side side, ErrorState& err) {
  if (!need_string(s, err) || !need_nonempty(s, err) || !need_numeric(n, err) ||
      !need_nonempty(n, err) || !need_same_shape(s, n, err))
    return std::nullopt;
  Matrix out = Matrix::strings(s.rows(), s.cols());
  for (int64_t k = 0; k < s.size(); ++k) {
    const StrCell& cell = s.str()[k];
    const double count = n[k];
    if (!cell || count <= 0) continue;  // stays absent
    const std::string& text = *cell;
    if (!(count < double(text.size()))) {  // also infinite and NaN counts
      out.str()[k] = text;
      continue;
    }
    const size_t take = size_t(round_half_even(count));
    out.str()[k] = side == Side::Left ? text.substr(0, take) : text.substr(text.size() - take);
  }
  return out;
}

// What htmlsafe writes for a byte; nullptr for a byte copied as it is.
const char* html_replacement(char c) {
  switch (c) {
    case '&': return "&amp;";
    case '<': return "&lt;";
    case '>': return "&gt;";
    case '"': return "&quot;";
    case '\'': return "&apos;";
    case '%': return "%%";  // the text may later be used as a format
    default: return nullptr;
  }
}
constexpr std::string_view kHtmlSpecial = "&<>\"'%";

}  // namespace

std::optional<Matrix> strlen(const Matrix& s, ErrorState& err) {
  if (!need_string(s, err) || !need_nonempty(s, err)) return std::nullopt;
  Matrix out = Matrix::numbers(s.rows(), s.cols());
  for (int64_t k = 0; k < s.size(); ++k) out[k] = double(text_of(s.str()[k]).size());
  return out;
}

std::optional<Matrix> strcat(const Matrix& a, const Matrix& b, ErrorState& err) {
  if (!check_string_pair(a, b, err)) return std::nullopt;
  const auto p = pair_shapes(a, b);
  if (!p) return err.raise(kErrDims), std::nullopt;
  Matrix out = Matrix::strings(p->rows, p->cols);
  for_pairs(a, b, *p, [&](int64_t k, const StrCell& x, const StrCell& y) {
    if (!x && !y) return;  // absent joined with absent stays absent
    std::string joined;
    joined.reserve(text_of(x).size() + text_of(y).size());
    joined.append(text_of(x)).append(text_of(y));
    out.str()[k] = std::move(joined);
  });
  return out;
}

std::optional<Matrix> strcmp(const Matrix& a, const Matrix& b, ErrorState& err) {
  if (!check_string_pair(a, b, err)) return std::nullopt;
  const auto p = pair_shapes(a, b);
  if (!p) return err.raise(kErrDims), std::nullopt;
  Matrix out = Matrix::numbers(p->rows, p->cols);
  for_pairs(a, b, *p, [&](int64_t k, const StrCell& x, const StrCell& y) {
    out[k] = compare_cells(x, y);
  });
  return out;
}

std::optional<Matrix> lcase(Value s, ErrorState& err) {
  return change_case<lower_byte>(std::move(s), err);
}
std::optional<Matrix> ucase(Value s, ErrorState& err) {
  return change_case<upper_byte>(std::move(s), err);
}

std::optional<Matrix> left(const Matrix& s, const Matrix& n, ErrorState& err) {
  return cut(s, n, Side::Left, err);
}
std::optional<Matrix> right(const Matrix& s, const Matrix& n, ErrorState& err) {
  return cut(s, n, Side::Right, err);
}

std::optional<Matrix> htmlsafe(const Matrix& s, ErrorState& err) {
  if (!need_string(s, err)) return std::nullopt;
  Matrix out = Matrix::strings(s.rows(), s.cols());
  for (int64_t k = 0; k < s.size(); ++k) {
    const StrCell& cell = s.str()[k];
    if (!cell) continue;
    if (cell->find_first_of(kHtmlSpecial) == std::string::npos) {
      out.str()[k] = *cell;
      continue;
    }
    std::string safe;
    safe.reserve(cell->size() + cell->size() / 4);
    for (char c : *cell) {
      if (const char* r = html_replacement(c)) safe += r;
      else safe += c;
    }
    out.str()[k] = std::move(safe);
  }
  return out;
}

std::optional<Matrix> implode(const Matrix& s, const Matrix& sep, ErrorState& err) {
  if (!need_string(s, err) || !need_string(sep, err) || !need_scalar(sep, err))
    return std::nullopt;
  const std::string_view between = text_of(sep.str()[0]);
  size_t length = 0;
  for (int64_t k = 0; k < s.size(); ++k) length += text_of(s.str()[k]).size() + between.size();
  std::string joined;
  joined.reserve(length);
  for (int64_t k = 0; k < s.size(); ++k) {
    if (k > 0) joined.append(between);
    joined.append(text_of(s.str()[k]));
  }
  return Matrix::text(std::move(joined));
}

std::optional<Matrix> explode(const Matrix& s, const Matrix& sep, ErrorState& err) {
  if (!need_string(s, err) || !need_scalar(s, err) || !need_string(sep, err) ||
      !need_scalar(sep, err))
    return std::nullopt;
  const StrCell& whole = s.str()[0];
  const std::string_view at = text_of(sep.str()[0]);
  if (!whole || at.empty() || whole->find(at) == std::string::npos) return s.clone();

  const std::string_view text = *whole;
  int pieces = 1;
  for (size_t pos = text.find(at); pos != std::string_view::npos;
       pos = text.find(at, pos + at.size()))
    ++pieces;
  Matrix out = Matrix::strings(pieces, 1);
  size_t start = 0;
  for (int k = 0; k < pieces; ++k) {
    const size_t end = k + 1 < pieces ? text.find(at, start) : text.size();
    out.str()[k] = std::string(text.substr(start, end - start));
    start = end + at.size();
  }
  return out;
}

}  // namespace vop::builtins
