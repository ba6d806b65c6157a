// Builtins of no family: constants, existence and type tests, run control
// (error, eval, path), output shortcuts and the workspace statements.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "builtins/chart_args.h"
#include "builtins/display.h"
#include "builtins/format.h"
#include "builtins/arg_checks.h"
#include "builtins/library.h"
#include "core/paths.h"
#include "output/output_stream.h"
#include "output/write_table.h"

namespace vop {

namespace {

// --- Helpers ------------------------------------------------------------------

using builtins::text_arg;

// A numeric 1x1 argument (63, 55), truncated toward zero.
bool one_count(Call& c, int i, double* n) {
  Value v = c.arg(i);
  if (!v) return false;
  if (!v->numeric()) return c.err().raise(kErrNumeric);
  if (!v->is_scalar()) return c.err().raise(kErrScalar);
  *n = std::trunc((*v)[0]);
  return true;
}

// --- Constants and queries ---------------------------------------------------------

Value b_inf(Call&) { return Matrix::scalar(INFINITY); }
Value b_nan(Call&) { return Matrix::scalar(NAN); }
Value b_pi(Call&) { return Matrix::scalar(3.141592653589793); }
Value b_e(Call&) { return Matrix::scalar(2.718281828459045); }

Value b_nargin(Call& c) { return Matrix::scalar(c.interp().workspace().current().arg_count); }
Value b_nargout(Call& c) {
  return Matrix::scalar(c.interp().workspace().current().requested_results);
}

Value b_ans(Call& c) {
  Matrix& ans = c.interp().workspace().ans();
  return c.argc() == 0 ? Value::borrow(ans) : c.interp().index_variable(c.node(), ans);
}

Value b_isnum(Call& c) {
  Value v = c.arg(0);
  return v ? Value(Matrix::scalar(v->numeric())) : Value();
}
Value b_isstr(Call& c) {
  Value v = c.arg(0);
  return v ? Value(Matrix::scalar(!v->numeric())) : Value();
}

// mext, vext, ext: which of the named variables exist.
Value exists(Call& c, bool workspace, bool dataset) {
  Value names = c.arg(0);
  if (!names) return {};
  if (names->numeric()) return c.fail(kErrString);
  Interpreter& in = c.interp();
  DatasetHooks* data = in.dataset_hooks();
  Matrix out(names->rows(), names->cols(), true);
  for (int64_t k = 0; k < names->size(); ++k) {
    const StrCell& cell = names->str()[k];
    const std::string name = cell ? *cell : std::string();
    bool found = false;
    if (workspace) {
      found = in.workspace().lookup(name, in.error()) != nullptr;
      if (in.error().failed()) return {};
    }
    if (!found && dataset && data) found = data->has_variable(name);
    out[k] = found;
  }
  return out;
}
Value b_mext(Call& c) { return exists(c, true, false); }
Value b_vext(Call& c) { return exists(c, false, true); }
Value b_ext(Call& c) { return exists(c, true, true); }

// mdef, vdef, def: the argument is a name in the source, not evaluated.
Value defined(Call& c, bool workspace, bool dataset) {
  const ExprNode& n = c.arg_node(0);
  if (!(n.kind == ExprKind::Name && !n.has_args) && n.kind != ExprKind::NameBuild)
    return c.fail(kErrString);
  std::string name;
  Interpreter& in = c.interp();
  if (!in.built_name(n, &name)) return {};
  bool found = false;
  if (workspace) {
    found = in.workspace().lookup(name, in.error()) != nullptr;
    if (in.error().failed()) return {};
  }
  if (!found && dataset && in.dataset_hooks()) found = in.dataset_hooks()->has_variable(name);
  return Matrix::scalar(found);
}
Value b_mdef(Call& c) { return defined(c, true, false); }
Value b_vdef(Call& c) { return defined(c, false, true); }
Value b_def(Call& c) { return defined(c, true, true); }

Value b_language(Call& c) {
  return Matrix::scalar(c.interp().extension<SessionSettings>().language);
}

// Where output goes: 0 window, 1 Word without charts, 2 Word with charts,
// 3 Excel (HTML).
Value b_output_type(Call& c) {
  auto* stream = dynamic_cast<OutputStream*>(&c.interp().out());
  if (!stream || !stream->redirect()) return Matrix::scalar(0);
  if (stream->redirect()->html()) return Matrix::scalar(3);
  return Matrix::scalar(c.interp().extension<SessionSettings>().word_with_charts ? 2 : 1);
}

Value b_draw_graph(Call& c) {
  return Matrix::scalar(c.interp().extension<SessionSettings>().chart_facility);
}

// --- Run control ---------------------------------------------------------------------

Value b_error(Call& c) {
  if (c.argc() == 0) return c.decline();
  if (c.argc() > 1) return c.fail(kErrTooManyArgs);
  std::string text;
  if (!text_arg(c, 0, &text)) return {};
  if (text.size() > kMaxScriptErrorText) text.resize(kMaxScriptErrorText);
  return c.fail(kErrScriptText, text);
}

Value b_eval(Call& c) {
  std::string text;
  if (!text_arg(c, 0, &text)) return {};
  if (!text.empty()) c.interp().run_nested_text(text);
  return c.none();
}

Value b_path(Call& c) {
  std::string dir;
  if (!text_arg(c, 0, &dir)) return {};
  if (dir.empty()) return c.fail(kErrEmptyText);
  // ".\" as scripts write it; "./" as well on this platform.
  if (dir.size() < 2 || dir[0] != '.' || (dir[1] != '\\' && dir[1] != '/')) return c.fail(kErrPathPrefix);
  std::string base = c.interp().base_dir();
  if (!base.empty() && base.back() != '/') base += '/';
  c.interp().add_search_dir(base + native_path(dir.substr(2)));
  return c.none();
}

Value b_syntax(Call& c) {
  Value lines = c.arg(0);
  if (!lines) return {};
  if (lines->numeric()) return c.fail(kErrString);
  if (lines->empty()) return c.fail(kErrNotEmpty);
  OutputSink& out = c.interp().out();
  for (int64_t k = 0; k < lines->size(); ++k) {
    if (k) out.PasteToSyntax("\n");
    const StrCell& cell = lines->str()[k];
    if (cell) out.PasteToSyntax(*cell);
  }
  return c.none();
}

// --- Output ------------------------------------------------------------------------------

// print(data, row labels, column labels, text colours, background colours,
// horizontal borders, vertical borders): a survey table for the target.
// The data alone is shown as the console shows a value, in every target.
Value b_print(Call& c) {
  constexpr int kTableParts = 7;
  if (c.argc() > kTableParts) return c.fail(kErrTooManyArgs);
  if (c.argc() == 1) {
    Value data = c.arg(0);
    if (!data) return {};
    display_matrix(*data, false, c.interp().out());
    return c.none();
  }
  Value parts[kTableParts];
  for (int i = 0; i < c.argc(); ++i)
    if (!(parts[i] = c.arg(i))) return {};
  auto part = [&](int i) { return parts[i] ? &*parts[i] : nullptr; };
  TableParts table{part(0), part(1), part(2), part(3), part(4), part(5), part(6)};
  static const WindowTableDisplay window{&display_matrix_tabbed, &display_matrix};
  WriteTable(c.interp().out(), table, c.err(), window);
  return c.err().failed() ? Value() : c.none();
}

// sprintf and printf take their values one at a time as the format asks.
class CallValues final : public FormatValues {
 public:
  explicit CallValues(Call& c) : call_(c) {}
  const Matrix* next(ErrorState&) override {
    if (next_ >= call_.argc()) return nullptr;
    current_ = call_.arg(next_++);
    return current_ ? &*current_ : nullptr;
  }

 private:
  Call& call_;
  int next_ = 1;   // the first value argument follows the format
  Value current_;  // the value handed out last
};

Value b_sprintf(Call& c) {
  Value format = c.arg(0);
  if (!format) return {};
  CallValues values(c);
  return result_of(builtins::sprintf(*format, values, c.err()));
}

Value b_printf(Call& c) {
  Value format = c.arg(0);
  if (!format) return {};
  CallValues values(c);
  std::optional<Matrix> text = builtins::sprintf(*format, values, c.err());
  if (!text) return {};
  if (text->sat(0, 0)) c.interp().out().WriteText(*text->sat(0, 0));
  return c.none();
}

Value b_echo(Call& c) {
  Value v = c.arg(0);
  if (!v) return {};
  if (v->numeric()) return c.fail(kErrString);
  if (v->size() > 0 && v->str()[0]) c.interp().out().WriteText(*v->str()[0]);
  return c.none();
}

Value b_line(Call& c) {
  double n = 1;
  if (c.argc() == 1 && !one_count(c, 0, &n)) return {};
  for (double k = 0; k < n; ++k) c.interp().out().WriteLine("");
  return c.none();
}

Value b_heading(Call& c) {
  double level = 0;
  if (!one_count(c, 0, &level)) return {};
  if (level < 1 || level > 5) return c.fail(kErrHeadingLevel);
  std::string text;
  if (!text_arg(c, 1, &text)) return {};
  if (!text.empty()) c.interp().out().WriteHeading(text, int(level));
  return c.none();
}

// chartBar, lchartPie, ...: only the Word output with charts draws them;
// any other run passes over them without evaluating their arguments. The
// chart leaves its placeholder in the document's text and goes to the
// chart document, which places the charts over the placeholders in order.
Value chart(Call& c, ChartKind kind) {
  auto* stream = dynamic_cast<OutputStream*>(&c.interp().out());
  if (!c.interp().extension<SessionSettings>().word_with_charts || !stream) return c.none();
  if (c.argc() > kChartMaxArgs) return c.fail(kErrTooManyArgs);
  std::optional<ChartRequest> request = read_chart_args(c, kind);
  if (!request) return {};
  if (RedirectFile* file = stream->redirect(); file && !file->html())
    file->write(chart_placeholder(request->placement, stream->documents().rtf_colours.lookup(kWhite)));
  stream->WriteChart(std::move(*request));
  return c.none();
}
Value b_chart_bar(Call& c) { return chart(c, ChartKind::Bar); }
Value b_chart_pie(Call& c) { return chart(c, ChartKind::Pie); }

// --- Workspace statements -------------------------------------------------------------------

Value b_global(Call& c) {
  Workspace& ws = c.interp().workspace();
  CallFrame& frame = ws.current();
  for (const ExprNode& n : c.node().kids) {
    const std::string& name = n.text;
    if (frame.find_alias(name)) return c.fail(kErrAliasGlobal);
    if (frame.declares_global(name)) continue;
    std::unique_ptr<Matrix> local = frame.take_local(name);
    Matrix* global = ws.globals().find_local(name);
    if (!global) ws.globals().put_local(name, local ? std::move(*local) : Matrix());
    else if (local) ws.globals().put_local(name, std::move(*local));
    frame.declare_global(name);
  }
  return c.none();
}

Value b_clear(Call& c) {
  Workspace& ws = c.interp().workspace();
  CallFrame& frame = ws.current();
  const auto& kids = c.node().kids;
  const bool global = !kids.empty() && kids[0].text == "global";
  if (global) {
    if (kids.size() == 1) {
      ws.globals().clear_locals();
      frame.undeclare_all_globals();
    }
    for (size_t k = 1; k < kids.size(); ++k) {
      ws.globals().remove_local(kids[k].text);
      frame.undeclare_global(kids[k].text);
    }
    return c.none();
  }
  if (kids.empty()) {
    frame.clear_locals();
    return c.none();
  }
  for (const ExprNode& n : kids) {
    if (frame.remove_local(n.text)) continue;
    if (frame.remove_alias(n.text)) continue;
    frame.undeclare_global(n.text);
  }
  return c.none();
}

// who, who global: the names of the frame's (or the global) variables,
// one per line, sorted.
Value b_who(Call& c) {
  Workspace& ws = c.interp().workspace();
  const bool global = !c.node().kids.empty();
  CallFrame& frame = global ? ws.globals() : ws.current();
  std::vector<std::string> names = frame.local_names();
  std::sort(names.begin(), names.end());
  OutputSink& out = c.interp().out();
  for (const std::string& name : names) out.WriteLine(name);
  return c.none();
}

}  // namespace

void install_language_builtins(BuiltinFamily& f) {
  f.add({
      {"Inf", 0, 0, 1, b_inf},
      {"NaN", 0, 0, 1, b_nan},
      {"pi", 0, 0, 1, b_pi},
      {"e", 0, 0, 1, b_e},
      {"nargin", 0, 0, 1, b_nargin},
      {"nargout", 0, 0, 1, b_nargout},
      {"ans", 0, kAnyArgs, 1, b_ans},
      {"isnum", 1, 1, 1, b_isnum},
      {"isstr", 1, 1, 1, b_isstr},
      {"mext", 1, 1, 1, b_mext},
      {"vext", 1, 1, 1, b_vext},
      {"ext", 1, 1, 1, b_ext},
      {"mdef", 1, 1, 1, b_mdef},
      {"vdef", 1, 1, 1, b_vdef},
      {"def", 1, 1, 1, b_def},
      {"language", 0, 0, 1, b_language},
      {"outputType", 0, 0, 1, b_output_type},
      {"draw_graph", 0, 0, 1, b_draw_graph},
      {"error", 0, kAnyArgs, 0, b_error, true},
      {"eval", 1, 1, 0, b_eval},
      {"path", 1, 1, 0, b_path},
      {"syntax", 1, 1, 0, b_syntax},
      {"print", 1, kAnyArgs, 0, b_print},
      {"sprintf", 1, kAnyArgs, 1, b_sprintf},
      {"printf", 1, kAnyArgs, 0, b_printf},
      {"echo", 1, 1, 0, b_echo},
      {"line", 0, 1, 0, b_line},
      {"heading", 2, 2, 0, b_heading},
      {"chartBar", 1, kAnyArgs, 0, b_chart_bar},
      {"lchartBar", 1, kAnyArgs, 0, b_chart_bar},
      {"rchartBar", 1, kAnyArgs, 0, b_chart_bar},
      {"chartPie", 1, kAnyArgs, 0, b_chart_pie},
      {"lchartPie", 1, kAnyArgs, 0, b_chart_pie},
      {"rchartPie", 1, kAnyArgs, 0, b_chart_pie},
      {"global", 0, kAnyArgs, 0, b_global},
      {"clear", 0, kAnyArgs, 0, b_clear},
      {"who", 0, kAnyArgs, 0, b_who},
  });
}

}  // namespace vop
