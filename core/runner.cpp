// The runner: compiles a text, executes its statements node by node,
// displays what they show, reports the first error and cleans up after.
#include <cmath>
#include <new>
#include <limits>

#include "core/char_source.h"
#include "core/interpreter.h"
#include "core/operators.h"

namespace vop {

namespace {

// Until a library supplies the matrix display, displayed values show nothing.
void no_display(const Matrix&, std::string_view, OutputSink&) {}

// A for-loop bound: a numeric 1x1 value, truncated to 32 bits.
bool loop_bound(Value v, ErrorState& err, int32_t* out) {
  if (!v) return err.failed() ? false : err.raise(kErrFor);
  if (!v->numeric()) return err.raise(kErrNumeric);
  if (!v->is_scalar()) return err.raise(kErrScalar);
  const double x = std::trunc((*v)[0]);
  // Out-of-range bounds saturate instead of overflowing the conversion.
  if (std::isnan(x)) *out = 0;
  else if (x >= 2147483647.0) *out = std::numeric_limits<int32_t>::max();
  else if (x <= -2147483648.0) *out = std::numeric_limits<int32_t>::min();
  else *out = int32_t(x);
  return true;
}

}  // namespace

struct Interpreter::LoopState {
  int node;         // index of the loop's 'f' node
  int64_t current;  // value of this pass (64 bits: the step never overflows)
  int32_t end;
  int32_t step;
};

Interpreter::Interpreter(OutputSink& out) : out_(&out), display_(no_display) {}
Interpreter::~Interpreter() = default;

// --- Executor -------------------------------------------------------------------

int Interpreter::run_statements(const Program& program) {
  std::vector<LoopState> loops;  // loops running in this program, innermost last
  CallFrame& frame = workspace_.current();
  const int base_depth = frame.loop_depth;

  auto fail_at = [&](const StatementNode& st) {
    if (error_.line() == 0) error_.set_file(std::string(running_file()));
    error_.set_line_once(st.line);
  };
  auto assign_loop_var = [&](const ExprNode& name, double value) {
    Matrix* var = workspace_.lookup(NameKey{name.text, name.hash}, error_, name.cache);
    if (error_.code() == kErrDeletedGlobal) error_.clear_code();
    if (var && var->numeric() && var->is_scalar()) (*var)[0] = value;
    else if (var) workspace_.assign(name.text, Matrix::scalar(value));
    else workspace_.assign(NameKey{name.text, name.hash}, name.cache, Matrix::scalar(value));
  };
  auto finished = [](const LoopState& l) {
    return l.step >= 1 ? l.current > l.end : l.current < l.end;
  };

  int pc = 0;
  int last = -1;  // the node that ran last: a stop request names its line
  const int count = int(program.nodes.size());
  while (pc >= 0 && pc < count) {
    if (error_.failed() || stop_requested()) {
      // A run stopped before its first statement names that statement.
      fail_at(program.nodes[size_t(last >= 0 ? last : pc)]);
      break;
    }
    last = pc;
    const StatementNode& st = program.nodes[size_t(pc)];
    running_line_.store(st.line, std::memory_order_relaxed);
    // A result too large for memory ends the run with an error at this
    // statement; every value on the way is released by its owner.
    try {
      switch (st.kind) {
        case kStmtQuiet:
        case kStmtDisplay: {
          requested_ = 0;
          result_list_.clear();
          Value v = evaluate(*st.expr);
          if (error_.failed()) {
            fail_at(st);
            break;
          }
          if (st.kind == kStmtDisplay) {
            const ExprNode& e = *st.expr;
            if (v) {
              if (v->has_name()) display_(*v, v->name(), *out_);
              else {
                display_(*v, "ans", *out_);
                workspace_.set_ans(std::move(v).take());
              }
            } else if (e.kind == ExprKind::Assign && e.kids[0].kind == ExprKind::Matrix) {
              // [a, b] = f(x) shows each assigned variable under its name.
              for (const ExprNode* n : assignment_targets(e.kids[0]))
                if (Matrix* var = workspace_.lookup(n->text, error_)) display_(*var, n->text, *out_);
            } else {
              for (Matrix& m : result_list_) display_(m, "ans", *out_);
            }
          }
          result_list_.clear();
          pc = st.next;
          break;
        }
        case kStmtIf: {
          requested_ = 0;
          condition_mode_ = st.expr->kind == ExprKind::Operator &&
                            (st.expr->op == kOpAnd || st.expr->op == kOpOr || st.expr->op == kOpNot);
          double number = 0;
          if (scalar(*st.expr, condition_mode_, &number)) {
            condition_mode_ = false;
            pc = is_true(number) ? st.next : st.other;
            break;
          }
          Value v = evaluate(*st.expr);
          condition_mode_ = false;
          if (!v) {
            if (!error_.failed()) error_.raise(kErrIf);
            fail_at(st);
            break;
          }
          if (!v->numeric()) {
            error_.raise(kErrNumeric);
            fail_at(st);
            break;
          }
          if (!v->empty() && !v->is_scalar()) {
            error_.raise(kErrScalar);
            fail_at(st);
            break;
          }
          const bool t = !v->empty() && is_true((*v)[0]);
          pc = t ? st.next : st.other;
          break;
        }
        case kStmtFor:
        case kStmtForNext: {
          const ExprNode& assign = *st.expr;
          const ExprNode& var = assign.kids[0];
          if (!loops.empty() && loops.back().node == pc) {
            LoopState& l = loops.back();
            l.current += l.step;
            if (finished(l)) {
              loops.pop_back();
              --frame.loop_depth;
              pc = st.other;
            } else {
              assign_loop_var(var, double(l.current));
              pc = st.next;
            }
            break;
          }
          const ExprNode& range = assign.kids[1];
          requested_ = 1;
          LoopState l{pc, 0, 0, 1};
          int32_t start = 0;
          bool ok = loop_bound(evaluate(range.kids[0]), error_, &start) &&
                    loop_bound(evaluate(range.kids[1]), error_, &l.end) &&
                    (range.kids.size() < 3 || loop_bound(evaluate(range.kids[2]), error_, &l.step));
          if (!ok) {
            fail_at(st);
            break;
          }
          l.current = start;
          assign_loop_var(var, double(start));
          if (error_.failed()) {
            fail_at(st);
            break;
          }
          if (finished(l)) {
            pc = st.other;
          } else {
            loops.push_back(l);
            ++frame.loop_depth;
            pc = st.next;
          }
          break;
        }
        case kStmtJump:
          pc = st.next;
          break;
        case kStmtEnd:
        default:
          pc = -1;
          break;
      }
    } catch (const std::bad_alloc&) {
      error_.raise(kErrOutOfMemory);
      fail_at(st);
    }
  }
  frame.loop_depth = base_depth;
  return error_.code();
}

// --- Runs ---------------------------------------------------------------------------

void Interpreter::reset_run() {
  // A Stop asked for this run before it began stays: the number is the
  // queued run's, and only the next run's number is new.
  run_id_ = run_control_.begin_run();
  stack_floor_ = stack_floor();
  error_.clear();
  requested_ = 0;
  result_list_.clear();
  running_files_.clear();
  condition_mode_ = false;
  call_depth_ = 0;
}

void Interpreter::end_run() {
  run_control_.end_run();
  if (error_.failed()) {
    running_files_.clear();
    workspace_.pop_to_script_level();
    result_list_.clear();
  }
  const bool windows_open = windows_hook_ && windows_hook_(error_.failed());
  if (!windows_open) functions_.clear();
}

std::unique_ptr<Program> Interpreter::compile(std::string_view text) {
  CharSource src = CharSource::from_text(text);
  CompileEnv env{error_, functions_, data_compiler_ ? &data_compiler_ : nullptr};
  return compile_text(env, src);
}

int Interpreter::run_text(std::string_view text) {
  reset_run();
  run_text_.assign(text);
  std::unique_ptr<Program> program = compile(run_text_);
  if (program && !error_.failed()) run_statements(*program);
  const int code = error_.code();
  if (code) report_error(error_, run_text_, search_path_, *out_);
  end_run();
  return code;
}

int Interpreter::run_program(std::string_view text, const Program& program) {
  reset_run();
  run_text_.assign(text);
  run_statements(program);
  const int code = error_.code();
  if (code) report_error(error_, run_text_, search_path_, *out_);
  end_run();
  return code;
}

bool Interpreter::run_nested_text(std::string_view text) {
  // eval nests like a call: text that evals itself ends in 802 as a
  // recursive function does.
  if (call_depth_ >= kMaxCallDepth || stack_exhausted()) return error_.raise(kErrTooDeep);
  struct Nesting {
    int& depth;
    explicit Nesting(int& d) : depth(++d) {}
    ~Nesting() { --depth; }
  } nesting(call_depth_);
  CharSource src = CharSource::from_pushed_text(text);
  CompileEnv env{error_, functions_, data_compiler_ ? &data_compiler_ : nullptr};
  std::unique_ptr<Program> program = compile_text(env, src);
  if (!program || error_.failed()) {
    error_.forget_line();
    return false;
  }
  // Lines of this text mean nothing in the report: an error in it is shown
  // with the line of the statement that runs it.
  for (StatementNode& st : program->nodes) st.line = 0;
  run_statements(*program);
  return !error_.failed();
}

int Interpreter::run_startup() {
  reset_run();
  run_text_.clear();
  ExprNode start = make_name("Syntax\\start");
  start.hash = name_hash(start.text);
  Program program;
  StatementNode st;
  st.kind = kStmtQuiet;
  st.line = 1;
  st.next = 1;
  st.expr = std::make_unique<ExprNode>(std::move(start));
  program.nodes.push_back(std::move(st));
  program.nodes.emplace_back();  // the end node
  run_statements(program);
  const int code = error_.code();
  if (code) report_error(error_, run_text_, search_path_, *out_);
  end_run();
  return code;
}

}  // namespace vop
