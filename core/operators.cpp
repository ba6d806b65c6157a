// Written in three layers: the broadcasting loop, the operator table that
// says what each binary operator accepts and computes, and the operators
// with rules of their own (product, transpose, ranges, membership,
// literals, inverse).
#include "core/operators.h"

#include <cmath>
#include <iterator>
#include <limits>

#include "core/lu.h"

extern "C" void dgemm_(const char* transa, const char* transb, const int* m, const int* n,
                       const int* k, const double* alpha, const double* a, const int* lda,
                       const double* b, const int* ldb, const double* beta, double* c,
                       const int* ldc);

namespace vop {

namespace {

// --- Broadcasting ------------------------------------------------------------

// The shape of an elementwise result: equal shapes, a scalar with anything,
// a row with the rows of a matrix of its width, a column with the columns of
// a matrix of its height.
bool broadcast_shape(const Matrix& a, const Matrix& b, int* rows, int* cols) {
  const int ra = a.rows(), ca = a.cols(), rb = b.rows(), cb = b.cols();
  if (ra == rb && ca == cb) { *rows = ra; *cols = ca; return true; }
  if (ra == 1 && ca == 1) { *rows = rb; *cols = cb; return true; }
  if (rb == 1 && cb == 1) { *rows = ra; *cols = ca; return true; }
  if ((ra == 1 && ca == cb) || (ca == 1 && ra == rb)) { *rows = rb; *cols = cb; return true; }
  if ((rb == 1 && ca == cb) || (cb == 1 && ra == rb)) { *rows = ra; *cols = ca; return true; }
  return false;
}

// Strides of an operand inside a result: a dimension of size 1 repeats.
struct Strides {
  int64_t row, col;
};
Strides strides_of(const Matrix& m) {
  return {m.rows() == 1 ? 0 : 1, m.cols() == 1 ? 0 : int64_t(m.rows())};
}

template <class F>
void apply_numeric(const Matrix& a, const Matrix& b, double* out, int rows, int cols, F f) {
  const double* pa = a.num();
  const double* pb = b.num();
  const int64_t n = int64_t(rows) * cols;
  if (a.size() == n && b.size() == n) {
    for (int64_t i = 0; i < n; ++i) out[i] = f(pa[i], pb[i]);
  } else if (a.size() == 1 && b.size() == n) {
    const double x = pa[0];
    for (int64_t i = 0; i < n; ++i) out[i] = f(x, pb[i]);
  } else if (b.size() == 1 && a.size() == n) {
    const double y = pb[0];
    for (int64_t i = 0; i < n; ++i) out[i] = f(pa[i], y);
  } else {
    const Strides sa = strides_of(a), sb = strides_of(b);
    for (int c = 0; c < cols; ++c)
      for (int r = 0; r < rows; ++r)
        out[r + int64_t(rows) * c] = f(pa[r * sa.row + c * sa.col], pb[r * sb.row + c * sb.col]);
  }
}

// The matrix that receives an elementwise result: a temporary operand of
// the right kind and shape, else a new one.
Matrix result_matrix(Value& a, Value& b, int rows, int cols, bool numeric) {
  for (Value* v : {&a, &b})
    if (v->owned() && (*v)->numeric() == numeric && (*v)->rows() == rows && (*v)->cols() == cols)
      return std::move(*v).take();
  return Matrix(rows, cols, numeric, Matrix::Fill::None);
}

bool truth(double x) { return is_true(x); }

// --- The operator table --------------------------------------------------------

using NumFn = double (*)(double, double);

struct BinaryRule {
  BinaryOp op;
  NumFn fn;              // elementwise function on numbers
  bool strings_allowed;  // + and == ~= also take two string operands
};

constexpr BinaryRule kBinaryRules[] = {
    {BinaryOp::Add, [](double x, double y) { return x + y; }, true},
    {BinaryOp::Sub, [](double x, double y) { return x - y; }, false},
    {BinaryOp::EMul, [](double x, double y) { return x * y; }, false},
    {BinaryOp::EDiv, [](double x, double y) { return x / y; }, false},
    {BinaryOp::EPow, [](double x, double y) { return std::pow(x, y); }, false},
    {BinaryOp::Mul, [](double x, double y) { return x * y; }, false},
    {BinaryOp::Div, [](double x, double y) { return x / y; }, false},
    {BinaryOp::Pow, [](double x, double y) { return std::pow(x, y); }, false},
    {BinaryOp::Lt, [](double x, double y) { return double(x < y); }, false},
    {BinaryOp::Gt, [](double x, double y) { return double(x > y); }, false},
    {BinaryOp::Le, [](double x, double y) { return double(x <= y); }, false},
    {BinaryOp::Ge, [](double x, double y) { return double(x >= y); }, false},
    {BinaryOp::Eq,
     [](double x, double y) { return double(x == y || (std::isnan(x) && std::isnan(y))); }, true},
    {BinaryOp::Ne,
     [](double x, double y) { return double(!(x == y || (std::isnan(x) && std::isnan(y)))); },
     true},
    {BinaryOp::And, [](double x, double y) { return double(truth(x) && truth(y)); }, false},
    {BinaryOp::Or, [](double x, double y) { return double(truth(x) || truth(y)); }, false},
    {BinaryOp::Xor, [](double x, double y) { return double(truth(x) != truth(y)); }, false},
};

constexpr bool rules_in_enum_order() {
  for (int i = 0; i < int(std::size(kBinaryRules)); ++i)
    if (int(kBinaryRules[i].op) != i) return false;
  return true;
}
static_assert(rules_in_enum_order(), "kBinaryRules must follow the order of BinaryOp");

const BinaryRule& rule_of(BinaryOp op) { return kBinaryRules[int(op)]; }

// "+" on strings: concatenation; absent counts as empty.
Value concat_strings(Value a, Value b, int rows, int cols) {
  const Strides sa = strides_of(*a), sb = strides_of(*b);
  Matrix out(rows, cols, false);
  for (int c = 0; c < cols; ++c)
    for (int r = 0; r < rows; ++r) {
      const StrCell& x = a->str()[r * sa.row + c * sa.col];
      const StrCell& y = b->str()[r * sb.row + c * sb.col];
      std::string s = x ? *x : std::string();
      if (y) s += *y;
      out.sat(r, c) = std::move(s);
    }
  return out;
}

// "==" and "~=" on strings: byte-exact; two absent cells are equal.
Value compare_strings(bool equal, const Matrix& a, const Matrix& b, int rows, int cols) {
  const Strides sa = strides_of(a), sb = strides_of(b);
  Matrix out(rows, cols, true, Matrix::Fill::None);
  for (int c = 0; c < cols; ++c)
    for (int r = 0; r < rows; ++r) {
      const StrCell& x = a.str()[r * sa.row + c * sa.col];
      const StrCell& y = b.str()[r * sb.row + c * sb.col];
      out.at(r, c) = double((x == y) == equal);
    }
  return out;
}

Value matrix_product(const Matrix& a, const Matrix& b, ErrorState& err) {
  if (a.cols() != b.rows()) return err.raise(kErrDims), Value();
  const int m = a.rows(), n = b.cols(), k = a.cols();
  Matrix out(m, n, true, Matrix::Fill::Zero);
  if (m == 0 || n == 0 || k == 0) return out;
  const double one = 1, zero = 0;
  const char no = 'N';
  dgemm_(&no, &no, &m, &n, &k, &one, a.num(), &m, b.num(), &k, &zero, out.num(), &m);
  return out;
}

}  // namespace

// --- Binary operators -------------------------------------------------------------

Value binary_op(BinaryOp op, Value a, Value b, ErrorState& err) {
  if (!a || !b) return {};
  const BinaryRule& rule = rule_of(op);
  // Two numbers: every operator is its elementwise function (the common
  // case of scalar loops).
  if (a->numeric() && b->numeric() && a->is_scalar() && b->is_scalar())
    return Matrix::scalar(rule.fn((*a)[0], (*b)[0]));
  const bool equality = op == BinaryOp::Eq || op == BinaryOp::Ne;

  if (equality && (a->empty() || b->empty())) {
    const bool both = a->empty() && b->empty();
    return Matrix::scalar(double(both == (op == BinaryOp::Eq)));
  }
  if (a->numeric() != b->numeric()) {
    return err.raise(rule.strings_allowed ? kErrTypes : kErrNumeric), Value();
  }
  if (!a->numeric() && !rule.strings_allowed) return err.raise(kErrNumeric), Value();
  if (a->empty() || b->empty()) return err.raise(kErrNotEmpty), Value();

  // Operators with shape rules of their own.
  if (op == BinaryOp::Mul && !a->is_scalar() && !b->is_scalar())
    return matrix_product(*a, *b, err);
  if (op == BinaryOp::Div && !b->is_scalar()) return err.raise(kErrDims), Value();
  if (op == BinaryOp::Pow && !a->is_scalar()) return err.raise(kErrScalar), Value();

  int rows = 0, cols = 0;
  if (!broadcast_shape(*a, *b, &rows, &cols)) return err.raise(kErrDims), Value();

  if (!a->numeric()) {
    if (op == BinaryOp::Add) return concat_strings(std::move(a), std::move(b), rows, cols);
    return compare_strings(op == BinaryOp::Eq, *a, *b, rows, cols);
  }
  // Read the operands before the result may take over a temporary's storage:
  // the loop reads each element before writing the same position.
  Matrix out = result_matrix(a, b, rows, cols, true);
  const Matrix& x = a ? *a : out;
  const Matrix& y = b ? *b : out;
  apply_numeric(x, y, out.num(), rows, cols, rule.fn);
  return out;
}

double scalar_binary(BinaryOp op, double x, double y) { return rule_of(op).fn(x, y); }

// --- Unary operators ----------------------------------------------------------------

Value unary_op(UnaryOp op, Value a, ErrorState& err) {
  if (!a) return {};
  if (op == UnaryOp::Transpose) {
    if (a->empty() || a->is_scalar()) return a;
    const Matrix& m = *a;
    Matrix t(m.cols(), m.rows(), m.numeric(), Matrix::Fill::None);
    for (int c = 0; c < m.cols(); ++c)
      for (int r = 0; r < m.rows(); ++r) {
        if (m.numeric()) t.at(c, r) = m.at(r, c);
        else t.sat(c, r) = m.sat(r, c);
      }
    return t;
  }
  if (!a->numeric()) return err.raise(kErrNumeric), Value();
  if (a->empty()) {
    if (op == UnaryOp::Not) return a;
    return err.raise(kErrNotEmpty), Value();
  }
  Matrix out = a.owned() ? std::move(a).take() : a->clone();
  double* p = out.num();
  const int64_t n = out.size();
  if (op == UnaryOp::Neg)
    for (int64_t i = 0; i < n; ++i) p[i] = -p[i];
  else
    for (int64_t i = 0; i < n; ++i) p[i] = double(p[i] == 0);
  return out;
}

// --- Membership ----------------------------------------------------------------------

Value membership(MemberOp op, Value a, Value s, ErrorState& err) {
  if (!a || !s) return {};
  if (!a->numeric() || !s->numeric()) return err.raise(kErrNumeric), Value();
  const Matrix& A = *a;
  const Matrix& S = *s;
  const bool any = op == MemberOp::Anyin || op == MemberOp::Ranyin;
  const bool r_form = op == MemberOp::Rin || op == MemberOp::Ranyin;
  const int m = A.rows(), p = S.rows();
  if (m == 0) return Matrix::scalar(1);
  if (p == 0) return any ? Matrix::scalar(0) : Matrix(m, 1, true);

  // Row i of A against row k of S: all (is in) or some (meets) of its
  // elements equal an element of that row. NaN never matches.
  auto test = [&](int i, int k) {
    bool all = true, some = false;
    for (int c = 0; c < A.cols(); ++c) {
      const double x = A.at(i, c);
      bool found = false;
      for (int d = 0; d < S.cols() && !found; ++d) found = S.at(k, d) == x;
      all = all && found;
      some = some || found;
    }
    return double(any ? some : all);
  };

  if (m == p) {
    Matrix out(m, 1, true, Matrix::Fill::None);
    for (int i = 0; i < m; ++i) out[i] = test(i, i);
    return out;
  }
  if (r_form && m < p) {
    Matrix out(p, m, true, Matrix::Fill::None);
    for (int k = 0; k < p; ++k)
      for (int i = 0; i < m; ++i) out.at(k, i) = test(i, k);
    return out;
  }
  Matrix out(m, p, true, Matrix::Fill::None);
  for (int i = 0; i < m; ++i)
    for (int k = 0; k < p; ++k) out.at(i, k) = test(i, k);
  return out;
}

// --- Ranges and literals ----------------------------------------------------------------

Value make_range(const Matrix& start, const Matrix& end, const Matrix* step, ErrorState& err) {
  for (const Matrix* part : {&start, &end, step}) {
    if (!part) continue;
    if (!part->is_scalar()) return err.raise(kErrScalar), Value();
    if (!part->numeric()) return err.raise(kErrNumeric), Value();
    if (!std::isfinite((*part)[0])) return err.raise(kErrRange), Value();
  }
  const double s = start[0], e = end[0], d = step ? (*step)[0] : 1;
  if (d == 0) return err.raise(kErrRange), Value();
  const double count = std::floor((e - s) / d) + 1;
  if (count <= 0) return Matrix();
  if (count > std::numeric_limits<int>::max()) return err.raise(kErrRange), Value();
  Matrix out(int(count), 1, true, Matrix::Fill::None);
  double v = s;
  for (int64_t i = 0; i < out.size(); ++i, v += d) out[i] = v;
  return out;
}

Value make_literal(std::vector<std::vector<Value>>&& rows, ErrorState& err) {
  // Join each row's parts side by side, skipping empty parts.
  std::vector<Matrix> joined;
  bool numeric = true, kind_known = false;
  for (auto& parts : rows) {
    int height = -1, width = 0;
    for (Value& v : parts) {
      if (!v) return {};
      if (v->empty()) continue;
      if (kind_known && v->numeric() != numeric) return err.raise(kErrTypes), Value();
      numeric = v->numeric();
      kind_known = true;
      if (height >= 0 && v->rows() != height) return err.raise(kErrDims), Value();
      height = v->rows();
      width += v->cols();
    }
    if (height < 0) continue;
    if (parts.size() == 1) {
      for (Value& v : parts)
        if (!v->empty()) joined.push_back(std::move(v).take());
      continue;
    }
    Matrix row(height, width, numeric, Matrix::Fill::None);
    int col = 0;
    for (Value& v : parts) {
      if (v->empty()) continue;
      const int64_t n = v->size();
      const int64_t at = int64_t(height) * col;
      if (numeric) std::copy(v->num(), v->num() + n, row.num() + at);
      else std::copy(v->str(), v->str() + n, row.str() + at);
      col += v->cols();
    }
    joined.push_back(std::move(row));
  }
  if (joined.empty()) return Matrix();
  if (joined.size() == 1) return std::move(joined[0]);
  // Stack the rows.
  const int width = joined[0].cols();
  int height = 0;
  for (const Matrix& r : joined) {
    if (r.cols() != width) return err.raise(kErrDims), Value();
    height += r.rows();
  }
  Matrix out(height, width, numeric, Matrix::Fill::None);
  int top = 0;
  for (Matrix& r : joined) {
    for (int c = 0; c < width; ++c)
      for (int i = 0; i < r.rows(); ++i) {
        if (numeric) out.at(top + i, c) = r.at(i, c);
        else out.sat(top + i, c) = std::move(r.sat(i, c));
      }
    top += r.rows();
  }
  return out;
}

// --- Inverse ------------------------------------------------------------------------------

Value inverse(const Matrix& a, ErrorState& err) {
  if (!a.numeric()) return err.raise(kErrNumeric), Value();
  if (a.empty()) return err.raise(kErrNotEmpty), Value();
  if (a.rows() != a.cols()) return err.raise(kErrSquare), Value();
  Matrix lu = a.clone();
  std::vector<int> perm(static_cast<size_t>(a.rows()));
  int sign = 1;
  lu_decompose(lu.num(), lu.rows(), perm.data(), sign, err);
  if (err.failed()) return {};
  const int n = a.rows();
  Matrix out(n, n, true, Matrix::Fill::Zero);
  for (int k = 0; k < n; ++k) {
    double* col = out.num() + int64_t(n) * k;
    col[k] = 1;
    lu_solve(lu.num(), n, perm.data(), col);
  }
  return out;
}

}  // namespace vop
