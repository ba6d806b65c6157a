// The evaluator: compiled expression trees to values.
//
// Organised by node kind: operators first, then names (variables,
// builtins, user functions, function files, dataset variables), user
// calls, indexing, and last assignment.
#include <cmath>
#include <cstdio>
#include <limits>

#include "core/char_source.h"
#include "core/indexing.h"
#include "core/interpreter.h"
#include "core/operators.h"
#include "core/paths.h"

namespace vop {

namespace {

// Saves a piece of interpreter state and puts it back on scope exit.
template <class T>
class Restore {
 public:
  Restore(T& slot, T value) : slot_(slot), old_(slot) { slot_ = value; }
  ~Restore() { slot_ = old_; }
  Restore(const Restore&) = delete;
  Restore& operator=(const Restore&) = delete;

 private:
  T& slot_;
  T old_;
};

struct BinaryMapping {
  OpCode code;
  BinaryOp op;
};
constexpr BinaryMapping kBinaryOps[] = {
    {kOpAdd, BinaryOp::Add},    {kOpSub, BinaryOp::Sub},       {kOpMul, BinaryOp::Mul},
    {kOpDiv, BinaryOp::Div},    {kOpElemMul, BinaryOp::EMul},  {kOpElemDiv, BinaryOp::EDiv},
    {kOpElemPow, BinaryOp::EPow}, {kOpPow, BinaryOp::Pow},     {kOpLess, BinaryOp::Lt},
    {kOpGreater, BinaryOp::Gt}, {kOpLessEq, BinaryOp::Le},     {kOpGreaterEq, BinaryOp::Ge},
    {kOpEq, BinaryOp::Eq},      {kOpNotEq, BinaryOp::Ne},      {kOpAnd, BinaryOp::And},
    {kOpOr, BinaryOp::Or},      {kOpXor, BinaryOp::Xor},
};

bool binary_of(OpCode code, BinaryOp* op) {
  for (const BinaryMapping& m : kBinaryOps)
    if (m.code == code) {
      *op = m.op;
      return true;
    }
  return false;
}

bool is_condition_op(const ExprNode& n) {
  return n.kind == ExprKind::Operator && (n.op == kOpAnd || n.op == kOpOr || n.op == kOpNot);
}

bool is_empty_literal(const ExprNode& n) {
  return n.kind == ExprKind::Matrix && n.kids.empty();
}

}  // namespace

// --- Entry ------------------------------------------------------------------------

Value Interpreter::evaluate(const ExprNode& node) {
  if (error_.failed() || stack_exhausted()) return {};
  switch (node.kind) {
    case ExprKind::Number:
      if (requested_ > 1) {
        requested_ = 0;
        return error_.raise(kErrTooManyValues), Value();
      }
      return Matrix::scalar(node.number);
    case ExprKind::String:
      return Matrix::text(node.text);
    case ExprKind::Operator:
      return eval_operator(node);
    case ExprKind::Range: {
      if (requested_ > 1) return error_.raise(kErrTooManyResults), Value();
      Restore<int> one(requested_, 1);
      Restore<bool> plain(condition_mode_, false);
      Value a = evaluate(node.kids[0]);
      Value b = a ? evaluate(node.kids[1]) : Value();
      Value c = (b && node.kids.size() > 2) ? evaluate(node.kids[2]) : Value();
      if (!a || !b || (node.kids.size() > 2 && !c)) return {};
      return make_range(*a, *b, c ? &*c : nullptr, error_);
    }
    case ExprKind::Matrix:
      return eval_matrix(node);
    case ExprKind::Name: {
      // A variable found where it was last time: the common case in loops.
      if (Matrix* var = workspace_.lookup(NameKey{node.text, node.hash}, error_, node.cache)) {
        if (requested_ > 1) {
          requested_ = 0;
          return error_.raise(kErrTooManyValues), Value();
        }
        return eval_variable(node, *var);
      }
      if (error_.failed()) return {};
      return eval_callable(node, NameKey{node.text, node.hash});
    }
    case ExprKind::NameBuild: {
      std::string name;
      if (!built_name(node, &name)) return {};
      return eval_name(node.kids[0], NameKey{name, name_hash(name)});
    }
    case ExprKind::Assign:
      return eval_assign(node);
    case ExprKind::MacroCall:
      return eval_macro_call(node);
    case ExprKind::Fail:
      return error_.raise(node.fail_code, node.text), Value();
    case ExprKind::Colon:
    case ExprKind::Row:
    case ExprKind::KeywordArg:
      break;
  }
  return error_.raise(kErrRange), Value();
}

// --- Operators ----------------------------------------------------------------------

Value Interpreter::eval_operator(const ExprNode& node) {
  if (requested_ > 1) return error_.raise(kErrTooManyResults), Value();
  Restore<int> one(requested_, 1);
  Restore<bool> mode(condition_mode_, condition_mode_ && is_condition_op(node));

  if (node.kids.size() == 1) {
    Value a = evaluate(node.kids[0]);
    if (!a) return {};
    switch (node.op) {
      case kOpNeg: return unary_op(UnaryOp::Neg, std::move(a), error_);
      case kOpNot: return unary_op(UnaryOp::Not, std::move(a), error_);
      case kOpTranspose: return unary_op(UnaryOp::Transpose, std::move(a), error_);
      case kOpPow:
      case kOpElemPow: return inverse(*a, error_);
      default: return error_.raise(kErrRange), Value();
    }
  }

  Value a = evaluate(node.kids[0]);
  if (!a) return {};
  // Short circuit of conditions: "&" stops at a false scalar, "|" at a true one.
  if (condition_mode_ && (node.op == kOpAnd || node.op == kOpOr) && a->numeric() &&
      a->is_scalar()) {
    const bool t = is_true((*a)[0]);
    if ((node.op == kOpAnd && !t) || (node.op == kOpOr && t)) return a;
  }
  Value b = evaluate(node.kids[1]);
  if (!b) return {};

  if (node.op == kOpIn || node.op == kOpAnyIn) {
    const bool r = !node.text.empty() && node.text[0] == 'r';
    const MemberOp op = node.op == kOpIn ? (r ? MemberOp::Rin : MemberOp::In)
                                         : (r ? MemberOp::Ranyin : MemberOp::Anyin);
    return membership(op, std::move(a), std::move(b), error_);
  }
  BinaryOp op;
  if (!binary_of(node.op, &op)) return error_.raise(kErrRange), Value();
  return binary_op(op, std::move(a), std::move(b), error_);
}

// Mirrors eval_operator for operands that are numbers, so it must give the
// same value: "&" and "|" in condition mode return their left operand when
// it decides.
bool Interpreter::scalar_value(const ExprNode& node, bool condition, double* out) {
  switch (node.kind) {
    case ExprKind::Number:
      *out = node.number;
      return true;
    case ExprKind::Name: {
      if (node.has_args) return false;
      // A failed lookup is left for the general path to report.
      const Matrix* var = workspace_.peek(NameKey{node.text, node.hash}, node.cache);
      if (!var || !var->numeric() || !var->is_scalar()) return false;
      *out = (*var)[0];
      return true;
    }
    case ExprKind::Operator:
      break;
    default:
      return false;
  }
  const bool keep = condition && is_condition_op(node);
  double a = 0, b = 0;
  if (!scalar_value(node.kids[0], keep, &a)) return false;
  if (node.kids.size() == 1) {
    switch (node.op) {
      case kOpNeg: *out = -a; return true;
      case kOpNot: *out = double(a == 0); return true;
      case kOpTranspose: *out = a; return true;
      default: return false;
    }
  }
  BinaryOp op;
  if (!binary_of(node.op, &op)) return false;
  if (keep && ((node.op == kOpAnd && !is_true(a)) || (node.op == kOpOr && is_true(a)))) {
    *out = a;
    return true;
  }
  if (!scalar_value(node.kids[1], keep, &b)) return false;
  *out = scalar_binary(op, a, b);
  return true;
}

Value Interpreter::eval_matrix(const ExprNode& node) {
  if (requested_ > 1) return error_.raise(kErrTooManyResults), Value();
  Restore<int> one(requested_, 1);
  Restore<bool> plain(condition_mode_, false);
  std::vector<std::vector<Value>> rows;
  rows.reserve(node.kids.size());
  for (const ExprNode& row : node.kids) {
    rows.emplace_back();
    if (row.kind != ExprKind::Row) {
      Value v = evaluate(row);
      if (!v) return {};
      rows.back().push_back(std::move(v));
      continue;
    }
    rows.back().reserve(row.kids.size());
    for (const ExprNode& e : row.kids) {
      Value v = evaluate(e);
      if (!v) return {};
      rows.back().push_back(std::move(v));
    }
  }
  return make_literal(std::move(rows), error_);
}

// --- Names ----------------------------------------------------------------------------

bool Interpreter::built_name(const ExprNode& node, std::string* name) {
  if (node.kind != ExprKind::NameBuild) {
    *name = node.text;
    return true;
  }
  Value v;
  {
    Restore<int> one(requested_, 1);
    Restore<bool> plain(condition_mode_, false);
    v = evaluate(node.kids[1]);
  }
  if (!v) return false;
  if (!v->numeric()) return error_.raise(kErrNumeric);
  if (!v->is_scalar()) return error_.raise(kErrScalar);
  const double x = std::trunc((*v)[0]);
  char digits[32];
  if (std::isfinite(x) && std::fabs(x) < 1e18) std::snprintf(digits, sizeof digits, "%lld", (long long)x);
  else std::snprintf(digits, sizeof digits, "%.0f", x);
  *name = node.kids[0].text + digits;
  return true;
}

Value Interpreter::eval_name(const ExprNode& node, const NameKey& key) {
  if (Matrix* var = workspace_.lookup(key, error_)) {
    if (requested_ > 1) {
      requested_ = 0;
      return error_.raise(kErrTooManyValues), Value();
    }
    return eval_variable(node, *var);
  }
  if (error_.failed()) return {};
  return eval_callable(node, key);
}

// A name that is no variable: builtins, user functions, function files and
// last the dataset.
Value Interpreter::eval_callable(const ExprNode& node, const NameKey& key) {
  const std::string_view name = key.text;
  bool handled = false;
  Value v = call_builtins(node, key, &handled);
  if (handled || error_.failed()) return v;

  const FunctionDef* def = find_function(key);
  if (!def && !error_.failed()) {
    if (load_function_file(name)) {
      def = find_function(key);
      if (!def && !error_.failed()) return error_.raise(kErrUnknownName, name), Value();
    }
  }
  if (error_.failed()) return {};
  if (def) return call_user(*def, node, false);

  if (workspace_.depth() == 1 && dataset_) {
    Value d = dataset_->variable_values(name, error_);
    // Indexes written after the name apply to the values as to any matrix;
    // the selection is copied out before the values go.
    if (d && node.kind == ExprKind::Name && node.has_args && !node.kids.empty())
      return eval_variable(node, *d);
    if (d || error_.failed()) return d;
  }
  return error_.raise(kErrUnknownName, name), Value();
}

Value Interpreter::call_builtins(const ExprNode& node, const NameKey& name, bool* handled) {
  const int asked = requested_;
  for (BuiltinFamily& family : families_) {
    const Builtin* b = family.find(name);
    if (!b) continue;
    *handled = true;
    if (asked > b->max_results) return error_.raise(kErrTooManyResults), Value();
    const int argc = int(node.kids.size());
    if (!b->own_counts) {
      if (argc < b->min_args) return error_.raise(kErrMissingArgs), Value();
      if (b->max_args != kAnyArgs && argc > b->max_args)
        return error_.raise(kErrTooManyArgs), Value();
    }
    Call call(*this, node, asked);
    requested_ = 1;
    Value v = b->fn(call);
    if (call.declined()) {
      *handled = false;
      requested_ = asked;
      continue;
    }
    requested_ = call.result_count() == 0 ? 0 : call.result_count();
    return v;
  }
  requested_ = asked;
  return {};
}

const FunctionDef* Interpreter::find_function(const NameKey& name) {
  const FunctionDef* def = functions_.find(name, running_file());
  if (def) running_files_.push_back(def->file);
  return def;
}

bool Interpreter::load_function_file(std::string_view name) {
  std::vector<std::string> dirs;
  dirs.reserve(search_path_.size() + 1);
  dirs.emplace_back();
  for (const std::string& d : search_path_) dirs.push_back(native_path(d));
  const std::string base = native_path(name);
  for (const std::string& dir : dirs) {
    for (const char* ending : {".s", ".sc"}) {
      std::string path = dir;
      if (!path.empty() && path.back() != '/') path += '/';
      path += base;
      path += ending;
      if (path.size() > kMaxPathBytes) return error_.raise(kErrPathTooLong);
      std::optional<CharSource> src = CharSource::from_file(path);
      if (!src) continue;
      CompileEnv env{error_, functions_, data_compiler_ ? &data_compiler_ : nullptr};
      if (!compile_file(env, *src, name)) {
        error_.set_file(std::string(name));
        return false;
      }
      return true;
    }
  }
  return false;
}

// --- Variables and indexing -------------------------------------------------------------

bool Interpreter::make_index(const ExprNode& arg, int64_t dim, bool growing, Index* out) {
  if (arg.kind == ExprKind::Colon) {
    *out = Index::all();
    return true;
  }
  Restore<int> one(requested_, 1);
  Restore<bool> plain(condition_mode_, false);
  if (arg.kind == ExprKind::Range) {
    double parts[3] = {0, 0, 1};
    for (size_t k = 0; k < arg.kids.size() && k < 3; ++k) {
      Value v = evaluate(arg.kids[k]);
      if (!v) return false;
      if (!v->is_scalar()) return error_.raise(kErrScalar);
      if (!v->numeric()) return error_.raise(kErrNumeric);
      parts[k] = (*v)[0];
    }
    return Index::from_range(parts[0], parts[1], parts[2], dim, growing, out, error_);
  }
  Value v = evaluate(arg);
  if (!v) return false;
  if (v->empty()) {
    Index::from_value(Matrix(0, 0, true), dim, growing, out, error_);
    return true;
  }
  return Index::from_value(*v, dim, growing, out, error_);
}

Value Interpreter::eval_variable(const ExprNode& node, const Matrix& var) {
  if (!node.has_args || node.kind != ExprKind::Name) return Value::borrow(var);
  const size_t n = node.kids.size();
  if (n == 0) return Value::borrow(var);
  if (n > 2) return error_.raise(kErrIndexCount), Value();
  if (var.empty()) return Matrix();
  Index i = Index::all(), j = Index::all();
  if (n == 1) {
    if (!make_index(node.kids[0], var.size(), false, &i)) return {};
    return index_read(var, i, nullptr, error_);
  }
  if (!make_index(node.kids[0], var.rows(), false, &i)) return {};
  if (!make_index(node.kids[1], var.cols(), false, &j)) return {};
  return index_read(var, i, &j, error_);
}

// --- User functions, macros and scripts ---------------------------------------------------

Value Interpreter::call_user(const FunctionDef& def, const ExprNode& call, bool keyword_args) {
  // The lookup pushed the definition's file; errors before the body runs
  // belong to the caller, so they take it off again.
  auto fail = [&](int code) {
    running_files_.pop_back();
    if (code) error_.raise(code);
    return Value();
  };
  if (call_depth_ >= kMaxCallDepth || stack_exhausted()) return fail(kErrTooDeep);
  const std::vector<ExprNode>& args = call.kids;

  if (def.kind == DefinitionKind::Macro) {
    // Keyword arguments of a macro call become variables of the caller.
    if (keyword_args) {
      for (size_t k = 0; k < args.size(); ++k) {
        const ExprNode& kw = args[k];
        std::string key = kw.text == "%" ? (k < def.params.size() ? def.params[k].name : "")
                                         : kw.text;
        Value v;
        {
          Restore<int> one(requested_, 1);
          v = kw.kids.empty() ? Value(Matrix()) : evaluate(kw.kids[0]);
        }
        if (!v) return fail(0);
        if (v.borrowed()) return fail(kErrKeywordVariable);
        if (!key.empty()) workspace_.add_local(std::move(key), std::move(v).take());
      }
    }
    const int asked = requested_;
    ++call_depth_;
    run_statements(def.body);
    --call_depth_;
    if (error_.failed()) return {};
    running_files_.pop_back();
    if (asked > 1) return error_.raise(kErrTooManyValues), Value();
    requested_ = 0;
    return {};
  }

  if (requested_ > int(def.results.size())) return fail(kErrTooManyValues);
  const int want = (requested_ == 0 && !def.results.empty()) ? 1 : requested_;
  if (args.size() > def.params.size()) return fail(kErrTooManyArgs);

  // Evaluate the arguments in the caller's frame.
  struct Bound {
    Value value;                                // by value
    std::optional<Workspace::Resolved> ref;    // by reference
  };
  // Most calls have few arguments: bind those without allocating.
  constexpr size_t kInlineArgs = 4;
  Bound inline_bound[kInlineArgs];
  std::vector<Bound> many;
  if (args.size() > kInlineArgs) many.resize(args.size());
  Bound* bound = args.size() > kInlineArgs ? many.data() : inline_bound;
  for (size_t k = 0; k < args.size(); ++k) {
    Bound& b = bound[k];
    {
      Restore<int> zero(requested_, 0);
      Restore<bool> plain(condition_mode_, false);
      const ExprNode& a = keyword_args && !args[k].kids.empty() ? args[k].kids[0] : args[k];
      if (keyword_args && args[k].kids.empty()) b.value = Matrix();
      else b.value = evaluate(a);
      if (!b.value) return fail(error_.failed() ? 0 : kErrMissingArgs);
      if (keyword_args && b.value.borrowed()) return fail(kErrKeywordVariable);
      if (def.params[k].by_ref && b.value.borrowed() && b.value->has_name() &&
          a.kind == ExprKind::Name && !a.has_args) {
        Workspace::Resolved r = workspace_.resolve(a.text);
        if (r.frame->find_local(r.name) == &*b.value) b.ref.emplace(std::move(r));
      }
    }
  }

  workspace_.push_frame(int(args.size()), want, &def.layout);
  CallFrame& frame = workspace_.current();
  for (size_t k = 0; k < args.size(); ++k) {
    const bool by_key = keyword_args && args[k].text != "%";
    const std::string& pname = by_key ? args[k].text : def.params[k].name;
    if (bound[k].ref) frame.add_alias(pname, Alias{bound[k].ref->name, bound[k].ref->frame});
    else if (by_key) frame.put_local(pname, std::move(bound[k].value).take());
    else if (const Value& v = bound[k].value; v.borrowed() && v->numeric() && v->is_scalar())
      frame.bind_scalar(def.param_slots[k], (*v)[0]);  // a copy without making a matrix
    else frame.bind_slot(def.param_slots[k], std::move(bound[k].value).take());
  }

  ++call_depth_;
  run_statements(def.body);
  --call_depth_;
  if (error_.failed()) return {};
  running_files_.pop_back();

  auto take_result = [&](size_t k, Matrix* out) {
    if (Matrix* local = frame.slot_var(def.result_slots[k])) {
      out->replace_contents(std::move(*local));  // the frame is about to go: take the value
      return true;
    }
    // Not a local: a global or an alias of the caller's variable.
    const std::string& name = def.results[k];
    Matrix* var = workspace_.lookup(std::string_view(name), error_);
    if (!var) {
      if (!error_.failed()) error_.raise(kErrUnknownName, name);
      return false;
    }
    if (frame.find_local(name) == var) {
      *out = std::move(*var);  // the frame is about to go: take the value
      out->clear_name();
    } else {
      *out = var->clone();
    }
    return true;
  };

  if (want == 0) {
    workspace_.pop_frame();
    requested_ = 0;
    return {};
  }
  if (want == 1) {
    Matrix result;
    if (!take_result(0, &result)) return {};
    workspace_.pop_frame();
    requested_ = 1;
    return result;
  }
  std::vector<Matrix> list(static_cast<size_t>(want));
  for (int k = 0; k < want; ++k)
    if (!take_result(size_t(k), &list[size_t(k)])) return {};
  workspace_.pop_frame();
  result_list_ = std::move(list);
  requested_ = want;
  return {};
}

Value Interpreter::eval_macro_call(const ExprNode& node) {
  const NameKey key{node.text, node.hash};
  const FunctionDef* def = find_function(key);
  if (!def && !error_.failed() && load_function_file(node.text)) def = find_function(key);
  if (error_.failed()) return {};
  if (!def) return error_.raise(kErrUnknownName, node.text), Value();
  return call_user(*def, node, true);
}

// --- Assignment ---------------------------------------------------------------------------

bool Interpreter::assign_indexed(const ExprNode& target, Matrix& var, Value value) {
  const size_t n = target.kids.size();
  if (n > 2) return error_.raise(kErrIndexCount);
  Index i = Index::all(), j = Index::all();
  if (!value) {  // deletion
    if (n == 1) {
      if (!make_index(target.kids[0], var.size(), false, &i)) return false;
      return index_delete(var, i, nullptr, error_);
    }
    if (!make_index(target.kids[0], var.rows(), false, &i)) return false;
    if (!make_index(target.kids[1], var.cols(), false, &j)) return false;
    return index_delete(var, i, &j, error_);
  }
  if (n == 1) {
    if (!make_index(target.kids[0], var.size(), true, &i)) return false;
    return index_assign(var, i, nullptr, *value, error_);
  }
  if (!make_index(target.kids[0], var.rows(), true, &i)) return false;
  if (!make_index(target.kids[1], var.cols(), true, &j)) return false;
  return index_assign(var, i, &j, *value, error_);
}

// --- Growth by appending ----------------------------------------------------------------

// The one element of a literal's row, or null when it has several.
static const ExprNode* sole_element(const ExprNode& row) {
  if (row.kind != ExprKind::Row) return &row;
  return row.kids.size() == 1 ? &row.kids[0] : nullptr;
}

// Which of the two appending forms `target = rhs` has: [x; a; b] (every
// row a single element, x the first) or [x a b]; None for anything else.
Interpreter::Append Interpreter::append_shape(const ExprNode& target, const ExprNode& rhs) {
  if (target.kind != ExprKind::Name || target.has_args || rhs.kind != ExprKind::Matrix)
    return Append::None;
  const auto is_target = [&](const ExprNode* n) {
    return n && n->is_plain_name() && n->text == target.text;
  };
  const std::vector<ExprNode>& rows = rhs.kids;
  if (rows.size() >= 2) {
    if (!is_target(sole_element(rows[0]))) return Append::None;
    for (size_t k = 1; k < rows.size(); ++k)
      if (!sole_element(rows[k])) return Append::None;
    return Append::Rows;
  }
  if (rows.size() == 1 && rows[0].kind == ExprKind::Row && rows[0].kids.size() >= 2 &&
      is_target(&rows[0].kids[0]))
    return Append::Cols;
  return Append::None;
}

namespace {

// Copy (or, from a temporary, move) the elements of `part` into `var`,
// starting at (row, col); `part` fits.
void place(Matrix& var, int row, int col, Value& part) {
  const Matrix& p = *part;
  for (int c = 0; c < p.cols(); ++c) {
    if (var.numeric()) {
      const double* from = p.num() + int64_t(p.rows()) * c;
      std::copy(from, from + p.rows(), &var.at(row, col + c));
    } else if (part.owned()) {
      Matrix& m = part.mut();
      std::move(&m.sat(0, c), &m.sat(0, c) + p.rows(), &var.sat(row, col + c));
    } else {
      std::copy(&p.sat(0, c), &p.sat(0, c) + p.rows(), &var.sat(row, col + c));
    }
  }
}

}  // namespace

// The appending forms, when x is a non-empty variable: the other parts are
// evaluated first, then x grows in its own storage (whose capacity doubles),
// so that a loop of appends takes time in proportion to the result. The
// value, the errors and their order are those of the literal. False, with
// nothing evaluated, when x is not such a variable.
bool Interpreter::append_in_place(const ExprNode& target, const ExprNode& rhs, Append axis,
                                  Value* result) {
  const NameKey key{target.text, target.hash};
  Matrix* var = workspace_.lookup(key, error_, target.cache);
  if (error_.failed()) return *result = Value(), true;
  if (!var || var->empty()) return false;

  // The parts after x: rows of one element each, or a row's elements.
  const std::vector<ExprNode>& list = axis == Append::Rows ? rhs.kids : rhs.kids[0].kids;
  std::vector<Value> parts;
  parts.reserve(list.size() - 1);
  {
    Restore<int> one(requested_, 1);
    Restore<bool> plain(condition_mode_, false);
    for (size_t k = 1; k < list.size(); ++k) {
      Value v = evaluate(axis == Append::Rows ? *sole_element(list[k]) : list[k]);
      if (!v) return *result = Value(), true;
      parts.push_back(std::move(v));
    }
  }
  // Evaluating the parts may have replaced, emptied or removed x.
  Matrix* now = workspace_.lookup(key, error_, target.cache);
  if (error_.failed()) return *result = Value(), true;
  if (now != var || var->empty()) {
    Value head = now ? Value::borrow(*now) : eval_name(*sole_element(list[0]), key);
    if (!head) return *result = Value(), true;
    std::vector<std::vector<Value>> rows;
    if (axis == Append::Rows) {
      rows.emplace_back().push_back(std::move(head));
      for (Value& p : parts) rows.emplace_back().push_back(std::move(p));
    } else {
      rows.emplace_back().push_back(std::move(head));
      for (Value& p : parts) rows.back().push_back(std::move(p));
    }
    Value joined = make_literal(std::move(rows), error_);
    if (!joined) return *result = Value(), true;
    requested_ = 1;
    *result = Value::borrow(workspace_.assign(target.text, std::move(joined).take()));
    return true;
  }

  // The literal's checks: kinds first for stacked rows, part by part for a row.
  const bool numeric = var->numeric();
  int64_t added = 0;
  for (Value& p : parts) {
    if (p->empty()) continue;
    if (p->numeric() != numeric) return error_.raise(kErrTypes), *result = Value(), true;
    if (axis == Append::Cols && p->rows() != var->rows())
      return error_.raise(kErrDims), *result = Value(), true;
    added += axis == Append::Rows ? p->rows() : p->cols();
    if (p.borrowed() && &*p == var) p = var->clone();  // [x; x]: growth would move it
  }
  if (axis == Append::Rows)
    for (const Value& p : parts)
      if (!p->empty() && p->cols() != var->cols()) return error_.raise(kErrDims), *result = Value(), true;

  const int64_t limit = axis == Append::Rows ? var->rows() : var->cols();
  if (limit + added > std::numeric_limits<int>::max())
    return error_.raise(kErrOutOfMemory), *result = Value(), true;
  int at = axis == Append::Rows ? var->rows() : var->cols();
  if (axis == Append::Rows) var->grow(int(var->rows() + added), var->cols());
  else var->grow(var->rows(), int(var->cols() + added));
  for (Value& p : parts) {
    if (p->empty()) continue;
    if (axis == Append::Rows) {
      place(*var, at, 0, p);
      at += p->rows();
    } else {
      place(*var, 0, at, p);
      at += p->cols();
    }
  }
  requested_ = 1;
  *result = Value::borrow(*var);
  return true;
}

Value Interpreter::eval_assign(const ExprNode& node) {
  const ExprNode& target = node.kids[0];
  const ExprNode& rhs = node.kids[1];

  // [a, b, ...] = call
  if (target.kind == ExprKind::Matrix) {
    const std::vector<const ExprNode*> names = assignment_targets(target);
    if (names.empty()) return error_.raise(kErrBrackets), Value();
    const int n = int(names.size());
    Value single;
    {
      Restore<int> many(requested_, n);
      result_list_.clear();
      single = evaluate(rhs);
      if (error_.failed()) return {};
      if (single && n == 1) result_list_.push_back(std::move(single).take());
    }
    if (int(result_list_.size()) < n) return error_.raise(kErrTooManyValues), Value();
    std::vector<Matrix> list = std::move(result_list_);
    result_list_.clear();
    for (int k = 0; k < n; ++k) {
      std::string name;
      if (!built_name(*names[size_t(k)], &name)) return {};
      workspace_.assign(name, std::move(list[size_t(k)]));
    }
    requested_ = 0;
    return {};
  }

  // x = <numbers>, x a numeric 1x1 variable: overwrite its element (the
  // common statement of scalar loops; nothing else can happen on the way).
  double number = 0;
  const bool is_number =
      target.kind == ExprKind::Name && !target.has_args && scalar(rhs, false, &number);
  if (is_number) {
    Matrix* var = workspace_.lookup(NameKey{target.text, target.hash}, error_, target.cache);
    if (error_.failed()) return {};
    if (var && var->numeric() && var->is_scalar()) {
      (*var)[0] = number;
      requested_ = 1;
      return Value::borrow(*var);
    }
    // A function's local made here: straight to its slot (what the general
    // road below comes to, a function's frame having no dataset names).
    if (!var && target.cache.layout && target.cache.layout == workspace_.current().layout()) {
      requested_ = 1;
      return Value::borrow(
          workspace_.assign(NameKey{target.text, target.hash}, target.cache, Matrix::scalar(number)));
    }
  }

  // s = s + t, s and t 1x1 strings: append in place, so that building a
  // text piece by piece costs time in proportion to its length.
  if (target.kind == ExprKind::Name && !target.has_args && rhs.kind == ExprKind::Operator &&
      rhs.op == kOpAdd && rhs.kids.size() == 2 && rhs.kids[0].is_plain_name() &&
      rhs.kids[0].text == target.text) {
    Matrix* var = workspace_.lookup(NameKey{target.text, target.hash}, error_, target.cache);
    if (error_.failed()) return {};
    if (var && !var->numeric() && var->is_scalar()) {
      Value tail;
      {
        Restore<int> one(requested_, 1);
        tail = evaluate(rhs.kids[1]);
      }
      if (!tail) return {};
      // Evaluating the tail may have replaced or removed the variable.
      Matrix* now = workspace_.lookup(NameKey{target.text, target.hash}, error_, target.cache);
      if (error_.failed()) return {};
      if (now == var && !var->numeric() && var->is_scalar() && !tail->numeric() &&
          tail->is_scalar()) {
        StrCell& cell = var->sat(0, 0);
        if (!cell) cell.emplace();
        if (tail->sat(0, 0)) cell->append(*tail->sat(0, 0));
        requested_ = 1;
        return Value::borrow(*var);
      }
      // Anything else takes the general road, with the tail already evaluated.
      Value left = now ? Value::borrow(*now)
                       : eval_name(rhs.kids[0], NameKey{rhs.kids[0].text, rhs.kids[0].hash});
      if (!left) return {};
      Value sum = binary_op(BinaryOp::Add, std::move(left), std::move(tail), error_);
      if (!sum) return {};
      Matrix& stored = workspace_.assign(target.text, std::move(sum).take());
      requested_ = 1;
      return Value::borrow(stored);
    }
  }

  // x = [x; a; b] or x = [x a b]: grow x where it lives.
  if (const Append axis = append_shape(target, rhs); axis != Append::None) {
    Value grown;
    if (append_in_place(target, rhs, axis, &grown)) return grown;
  }

  // A plain target keeps its compiled name and hash; a built one is made now.
  std::string built;
  NameKey key{target.text, target.hash};
  if (target.kind == ExprKind::NameBuild) {
    if (!built_name(target, &built)) return {};
    key = NameKey{built, name_hash(built)};
  }
  const std::string_view name = key.text;
  const bool indexed = target.kind == ExprKind::Name && target.has_args && !target.kids.empty();
  const bool deletion = is_empty_literal(rhs);

  Value value;
  if (is_number) {
    value = Matrix::scalar(number);
  } else if (!(indexed && deletion)) {
    Restore<int> one(requested_, 1);
    value = evaluate(rhs);
    if (!value) {
      if (!error_.failed()) error_.raise(kErrTooManyValues);
      return {};
    }
  }

  Matrix* var = target.kind == ExprKind::Name ? workspace_.lookup(key, error_, target.cache)
                                               : workspace_.lookup(key, error_);
  if (error_.failed()) return {};

  if (!var && dataset_) {
    if (indexed && name == "Data") {
      if (!dataset_->assign_data(target, std::move(value), *this)) return {};
      requested_ = 0;
      return {};
    }
    if (workspace_.depth() == 1 && dataset_->has_variable(name)) {
      if (!dataset_->assign_variable(name, target, std::move(value), *this)) return {};
      requested_ = 0;
      return {};
    }
  }

  // A new variable: a compiled name goes to its slot when it has one.
  auto store = [&](Matrix&& m) -> Matrix& {
    return target.kind == ExprKind::Name ? workspace_.assign(key, target.cache, std::move(m))
                                         : workspace_.assign(name, std::move(m));
  };
  if (!indexed) {
    requested_ = 1;
    if (var) {  // the variable this name denotes, wherever it lives
      var->replace_contents(std::move(value).take());
      return Value::borrow(*var);
    }
    return Value::borrow(store(std::move(value).take()));
  }
  if (!var) {
    if (deletion) return error_.raise(kErrBrackets), Value();
    Matrix fresh;
    if (!assign_indexed(target, fresh, std::move(value))) return {};
    Matrix& stored = store(std::move(fresh));
    requested_ = 1;
    return Value::borrow(stored);
  }
  if (value.borrowed() && &*value == var) value = var->clone();  // x(i) = x
  if (!assign_indexed(target, *var, std::move(value))) return {};
  requested_ = 1;
  return Value::borrow(*var);
}

}  // namespace vop
