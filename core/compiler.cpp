#include "core/compiler.h"

#include "core/char_classes.h"
#include "core/lexer.h"
#include "core/parser.h"

namespace vop {

namespace {

// Open blocks, by the letter of their kind.
enum BlockKind : char {
  kBlockIf = 'i',        // if, or the open condition of an if/elseif chain
  kBlockElseIf = 'h',    // a finished branch waiting for the chain's end
  kBlockElse = 'g',
  kBlockLoop = 'w',      // while or for
  kBlockRepeat = 'r',
  kBlockFunction = 'p',
  kBlockGlobFunction = 'P',
  kBlockMacro = 'm',
  kBlockGlobMacro = 'M',
};

struct Block {
  char kind;  // a BlockKind
  int node;   // the node its closing statement patches (the loop head for 'w' and 'r')
  int line;   // where it opened (an if's for its elseif and else), for the diagnostic of one left open
};

bool is_op(const Token& t, OpCode op) { return t.kind == TokenKind::Operator && t.op == op; }

ExprNode string_node(std::string text) {
  ExprNode n;
  n.kind = ExprKind::String;
  n.op = kOpString;
  n.text = std::move(text);
  return n;
}

class Compiler {
 public:
  Compiler(CompileEnv env, CharSource& src, bool file_mode, std::string_view file)
      : env_(env), err_(env.err), lex_(src, env.err), file_mode_(file_mode), file_(file) {}

  bool run();
  std::unique_ptr<Program> take_main() { return std::make_unique<Program>(std::move(main_)); }

 private:
  Program& prog() { return def_ ? def_->body : seen_definition_ ? stray_ : main_; }
  int here() { return int(prog().nodes.size()); }
  int emit(char kind, int line, std::unique_ptr<ExprNode> expr = nullptr);
  bool fail(int code, std::string_view name = {}) { return err_.raise(code, name); }

  bool statement(Statement& st);
  bool header(Statement& st);
  bool function_header(std::span<const Token> h, FunctionDef& def);
  bool close_main(int line);
  bool end_block(const Statement& st);
  bool condition(const Statement& st, int misuse, std::unique_ptr<ExprNode>& out);
  bool for_statement(const Statement& st);
  bool name_list_statement(const Statement& st);
  bool who_statement(const Statement& st);
  bool macro_call(const Statement& st);
  bool data_statement(Statement& st);
  bool expression_statement(const Statement& st);
  bool add_definition(std::unique_ptr<FunctionDef> def);
  bool defined(std::string_view name) const { return env_.functions.contains(name) || pending_.contains(name); }

  CompileEnv env_;                 // error state, function table, data hook
  ErrorState& err_;                // env_.err
  Lexer lex_;                      // reads the text
  bool file_mode_;                 // a function file (else a run text)
  std::string file_;               // the file's base name (file mode)
  Program main_;                   // plain statements before the first definition
  Program stray_;                  // plain statements after a definition (an error at the end)
  std::unique_ptr<FunctionDef> def_;  // the definition being compiled, if any
  std::vector<std::unique_ptr<FunctionDef>> done_;  // completed definitions, entered at the end
  NameSet pending_;                // names of done_ and def_
  std::vector<Block> blocks_;      // open blocks, innermost last
  bool seen_definition_ = false;   // a definition header has been read
  bool stray_seen_ = false;        // a plain statement followed a definition
};

int Compiler::emit(char kind, int line, std::unique_ptr<ExprNode> expr) {
  Program& p = prog();
  StatementNode n;
  n.kind = kind;
  n.line = line;
  n.next = kind == kStmtEnd ? -1 : int(p.nodes.size()) + 1;
  n.expr = std::move(expr);
  p.nodes.push_back(std::move(n));
  return int(p.nodes.size()) - 1;
}

bool Compiler::add_definition(std::unique_ptr<FunctionDef> def) {
  if (defined(def->name)) return fail(kErrDuplicate);
  pending_.insert(def->name);
  done_.push_back(std::move(def));
  return true;
}

// The plain statements before the first definition end here: the main
// program of a run text, or the script of a file.
bool Compiler::close_main(int line) {
  StatementNode end;
  end.line = line;
  main_.nodes.push_back(std::move(end));
  if (!file_mode_ || main_.nodes.size() == 1) return true;
  auto script = std::make_unique<FunctionDef>();
  script->name = file_;
  script->file = file_;
  script->kind = DefinitionKind::Macro;
  script->body = std::move(main_);
  main_ = Program{};
  return add_definition(std::move(script));
}

bool Compiler::run() {
  Statement st;
  while (lex_.next(st)) {
    if (!statement(st)) {
      err_.set_line_once(st.line);
      return false;
    }
  }
  if (err_.failed()) return false;
  const int last = lex_.last_line();
  bool ok = true;
  if (!blocks_.empty()) {
    ok = fail(kErrOpenBlock);
    err_.set_opened_line(blocks_.back().line);
  } else if (stray_seen_) {
    ok = fail(kErrStrayStatement);
  } else if (!seen_definition_) {
    ok = close_main(last);
  }
  if (!ok) {
    err_.set_line_once(last);
    return false;
  }
  for (auto& d : done_) env_.functions.add(std::move(d));
  done_.clear();
  return true;
}

bool Compiler::statement(Statement& st) {
  switch (st.keyword) {
    case Keyword::Function: case Keyword::Macro: case Keyword::GlobFunc: case Keyword::GlobMacro:
      return header(st);
    default:
      break;
  }
  if (seen_definition_ && !def_) stray_seen_ = true;
  const size_t n = st.tokens.size();
  switch (st.keyword) {
    case Keyword::None:
      return st.macro_call ? macro_call(st) : expression_statement(st);
    case Keyword::DataCompute: case Keyword::DataIf: case Keyword::DataRecode:
      return data_statement(st);
    case Keyword::If: {
      std::unique_ptr<ExprNode> c;
      if (!condition(st, kErrIf, c)) return false;
      blocks_.push_back({kBlockIf, emit(kStmtIf, st.line, std::move(c)), st.line});
      return true;
    }
    case Keyword::ElseIf: {
      std::unique_ptr<ExprNode> c;
      if (!condition(st, kErrIf, c)) return false;
      if (blocks_.empty() || blocks_.back().kind != kBlockIf) return fail(kErrNoIf);
      const int jump = emit(kStmtJump, st.line);  // the true branch skips the rest of the chain
      prog().nodes[blocks_.back().node].other = here();
      const int opened = blocks_.back().line;
      blocks_.back() = {kBlockElseIf, jump, opened};
      blocks_.push_back({kBlockIf, emit(kStmtIf, st.line, std::move(c)), opened});
      return true;
    }
    case Keyword::Else: {
      if (n != 1) return fail(kErrElse);
      if (blocks_.empty() || blocks_.back().kind != kBlockIf) return fail(kErrNoIf);
      const int jump = emit(kStmtJump, st.line);
      prog().nodes[blocks_.back().node].other = here();
      blocks_.back() = Block{kBlockElse, jump, blocks_.back().line};
      return true;
    }
    case Keyword::While: {
      std::unique_ptr<ExprNode> c;
      if (!condition(st, kErrWhile, c)) return false;
      blocks_.push_back({kBlockLoop, emit(kStmtIf, st.line, std::move(c)), st.line});
      return true;
    }
    case Keyword::Repeat:
      if (n != 1) return fail(kErrRepeat);
      blocks_.push_back({kBlockRepeat, here(), st.line});
      return true;
    case Keyword::Until: {
      std::unique_ptr<ExprNode> c;
      if (!condition(st, kErrUntil, c)) return false;
      if (blocks_.empty() || blocks_.back().kind != kBlockRepeat) return fail(kErrNoRepeat);
      const int node = emit(kStmtIf, st.line, std::move(c));
      prog().nodes[node].other = blocks_.back().node;  // false: round again
      blocks_.pop_back();
      return true;
    }
    case Keyword::For:
      return for_statement(st);
    case Keyword::End:
      return end_block(st);
    case Keyword::Return:
      if (n != 1) return fail(kErrReturn);
      emit(kStmtEnd, st.line);
      return true;
    case Keyword::Global: case Keyword::Clear:
      return name_list_statement(st);
    case Keyword::Who:
      return who_statement(st);
    default:
      return fail(kErrWrongKeyword);
  }
}

bool Compiler::condition(const Statement& st, int misuse, std::unique_ptr<ExprNode>& out) {
  if (st.tokens.size() < 2) return fail(misuse);
  out = std::make_unique<ExprNode>();
  return parse_expression(std::span(st.tokens).subspan(1), err_, *out, misuse);
}

bool Compiler::end_block(const Statement& st) {
  if (st.tokens.size() != 1) return fail(kErrEnd);
  if (blocks_.empty() || blocks_.back().kind == kBlockRepeat) return fail(kErrNoBlock);
  const Block b = blocks_.back();
  blocks_.pop_back();
  auto& nodes = prog().nodes;
  switch (b.kind) {
    case kBlockIf: case kBlockElse: {
      const int after = here();
      if (b.kind == kBlockIf) nodes[b.node].other = after;
      else nodes[b.node].next = after;
      while (!blocks_.empty() && blocks_.back().kind == kBlockElseIf) {
        nodes[blocks_.back().node].next = after;
        blocks_.pop_back();
      }
      return true;
    }
    case kBlockLoop: {
      const int jump = emit(kStmtJump, st.line);
      prog().nodes[jump].next = b.node;
      prog().nodes[b.node].other = here();
      return true;
    }
    default: {  // the end of a definition
      emit(kStmtEnd, st.line);
      if (def_->kind == DefinitionKind::Function) assign_slots(*def_);
      done_.push_back(std::move(def_));
      return true;
    }
  }
}

// Whether a token can begin an operand: after one that can end an operand,
// with a blank between them and outside brackets, it begins a statement.
bool begins_operand(const Token& t) {
  switch (t.kind) {
    case TokenKind::Name: case TokenKind::Number: case TokenKind::String:
    case TokenKind::LBracket:
      return true;
    default: return false;
  }
}

// Where a for header's range ends: at the first operand that stands, after
// a blank and outside brackets, right after another operand (the loop's
// first statement on the same line, `for i = 1:n s = s + i;`); the end of
// the tokens otherwise.
size_t for_header_end(std::span<const Token> t) {
  int depth = 0;
  for (size_t i = 1; i < t.size(); ++i) {
    const Token& prev = t[i - 1];
    if (prev.kind == TokenKind::LParen || prev.kind == TokenKind::LBracket) ++depth;
    if (prev.kind == TokenKind::RParen || prev.kind == TokenKind::RBracket) --depth;
    if (depth == 0 && t[i].space_before && can_end_operand(prev) && begins_operand(t[i])) return i;
  }
  return t.size();
}

bool Compiler::for_statement(const Statement& st) {
  if (st.tokens.size() < 2) return fail(kErrFor);
  std::span<const Token> header = std::span(st.tokens).subspan(1);
  const size_t split = for_header_end(header);
  auto e = std::make_unique<ExprNode>();
  if (!parse_statement_expression(header.first(split), err_, *e)) return false;
  if (e->kind != ExprKind::Assign || e->kids[1].kind != ExprKind::Range) return fail(kErrFor);
  const ExprNode& var = e->kids[0];
  if (var.kind != ExprKind::Name || !is_letter((unsigned char)var.text[0])) return fail(kErrLvalue);
  if (var.has_args) return fail(kErrScalar);
  blocks_.push_back({kBlockLoop, emit(kStmtFor, st.line, std::move(e)), st.line});
  if (split == header.size()) return true;
  // The rest is the body's first statement.
  Statement rest;
  rest.tokens.assign(header.begin() + split, header.end());
  rest.quiet = st.quiet;
  rest.line = rest.tokens[0].line;
  return expression_statement(rest);
}

// `global names`, `clear [global] [names]`: a call of the operation of that
// name with the bare names as its arguments.
bool Compiler::name_list_statement(const Statement& st) {
  const bool is_global = st.keyword == Keyword::Global;
  const int code = is_global ? kErrGlobal : kErrClear;
  auto call = std::make_unique<ExprNode>(make_name(st.tokens[0].text, true));
  const auto& t = st.tokens;
  for (size_t i = 1; i < t.size(); ++i) {
    if (t[i].kind == TokenKind::Comma) continue;
    if (t[i].kind != TokenKind::Name) return fail(code);
    const unsigned char c = (unsigned char)t[i].text[0];
    const bool ok = is_letter(c) || (is_global && (c == '_' || c == '$'));
    if (!ok) return fail(code);
    if (i + 1 < t.size() && t[i + 1].kind == TokenKind::LParen) return fail(code);
    call->kids.push_back(make_name(t[i].text));
  }
  emit(st.quiet ? kStmtQuiet : kStmtDisplay, st.line, std::move(call));
  return true;
}

bool Compiler::who_statement(const Statement& st) {
  const auto& t = st.tokens;
  if (t.size() > 1 && (t[1].kind != TokenKind::Name || t[1].text != "global")) return fail(kErrWho);
  if (t.size() > 2) return fail(kErrWhoGlobal);
  auto call = std::make_unique<ExprNode>(make_name("who", true));
  if (t.size() == 2) call->kids.push_back(make_name("global"));
  emit(st.quiet ? kStmtQuiet : kStmtDisplay, st.line, std::move(call));
  return true;
}

bool Compiler::expression_statement(const Statement& st) {
  auto e = std::make_unique<ExprNode>();
  if (!parse_statement_expression(st.tokens, err_, *e)) return false;
  emit(st.quiet ? kStmtQuiet : kStmtDisplay, st.line, std::move(e));
  return true;
}

// !name a b / key = v1 v2 / key2 ... : keyword arguments whose values are
// the token texts, not evaluated.
bool Compiler::macro_call(const Statement& st) {
  const auto& t = st.tokens;
  auto call = std::make_unique<ExprNode>();
  call->kind = ExprKind::MacroCall;
  call->text = t[0].text.substr(1);
  call->hash = name_hash(call->text);
  size_t i = 1;
  for (size_t group = 0; i < t.size(); ++group) {
    size_t end = i;
    while (end < t.size() && t[end].kind != TokenKind::Slash) ++end;
    std::span<const Token> g(t.data() + i, end - i);
    i = end + 1;
    if (end == t.size()) i = end;
    else if (i == t.size()) return fail(kErrMacroGroup);  // "/" with no group after it
    if (g.empty()) return fail(kErrMacroGroup);
    size_t assigns = 0;
    for (const Token& k : g) assigns += is_op(k, kOpAssign);
    ExprNode arg;
    arg.kind = ExprKind::KeywordArg;
    std::span<const Token> values;
    if (group == 0 && assigns == 0) {
      arg.text = "%";
      values = g;
    } else {
      if (g[0].kind == TokenKind::Operator || g[0].kind == TokenKind::Comma) return fail(kErrMacroGroup);
      arg.text = g[0].text;
      if (g.size() > 1) {
        if (g[1].kind == TokenKind::LParen) return fail(kErrMacroIndexedKey);
        if (!is_op(g[1], kOpAssign) || assigns > 1) return fail(kErrMacroGroup);
        values = g.subspan(2);
        if (values.empty()) return fail(kErrMacroNoValue);
      }
    }
    arg.hash = name_hash(arg.text);
    ExprNode row;
    row.kind = ExprKind::Row;
    row.text = ";";
    for (const Token& v : values)
      if (v.kind != TokenKind::Comma) row.kids.push_back(string_node(v.text));
    if (!values.empty() && row.kids.empty()) return fail(kErrMacroNoValue);
    if (row.kids.size() == 1) {
      arg.kids.push_back(std::move(row.kids[0]));
    } else {
      ExprNode m;
      m.kind = ExprKind::Matrix;
      m.op = kOpMatrix;
      m.text = "]";
      if (!row.kids.empty()) m.kids.push_back(std::move(row));
      arg.kids.push_back(std::move(m));
    }
    call->kids.push_back(std::move(arg));
  }
  emit(kStmtQuiet, st.line, std::move(call));
  return true;
}

bool Compiler::data_statement(Statement& st) {
  auto e = std::make_unique<ExprNode>();
  if (env_.data && *env_.data) {
    std::vector<Token> rest(std::make_move_iterator(st.tokens.begin() + 1),
                            std::make_move_iterator(st.tokens.end()));
    if (!(*env_.data)(st.keyword, rest, err_, *e)) return err_.failed() ? false : fail(kErrUnknownName, st.tokens[0].text);
  } else {
    // No data transformation compiler: the statement fails when it runs.
    e->kind = ExprKind::Fail;
    e->fail_code = kErrUnknownName;
    e->text = st.tokens[0].text;
  }
  emit(kStmtQuiet, st.line, std::move(e));
  return true;
}

bool Compiler::header(Statement& st) {
  const Keyword kw = st.keyword;
  const bool is_function = kw == Keyword::Function || kw == Keyword::GlobFunc;
  if (!blocks_.empty()) return fail(is_function ? kErrOpenBlock : kErrMacroInBlock);
  if (stray_seen_) return fail(kErrStrayStatement);
  if (!seen_definition_) {
    if (!close_main(st.line)) return false;
    seen_definition_ = true;
  }
  auto def = std::make_unique<FunctionDef>();
  def->file = file_mode_ ? file_ : std::string();
  def->global = kw == Keyword::GlobFunc || kw == Keyword::GlobMacro;
  def->line = st.line;
  std::span<const Token> h = std::span(st.tokens).subspan(1);
  if (is_function) {
    def->kind = DefinitionKind::Function;
    if (!function_header(h, *def)) return fail(kErrFunction);
  } else {
    def->kind = DefinitionKind::Macro;
    if (h.size() != 1 || h[0].kind != TokenKind::Name) return fail(kErrMacro);
    def->name = h[0].text;
  }
  if (defined(def->name)) return fail(kErrDuplicate);
  pending_.insert(def->name);
  blocks_.push_back({is_function ? (def->global ? kBlockGlobFunction : kBlockFunction)
                                 : (def->global ? kBlockGlobMacro : kBlockMacro),
                     0, st.line});
  def_ = std::move(def);
  return true;
}

// name | name(params) | r = name(params) | [r1, r2] = name(params); a
// parameter is a name, or "'" and a name for one passed by reference.
bool Compiler::function_header(std::span<const Token> h, FunctionDef& def) {
  auto plain = [](const Token& t) { return t.kind == TokenKind::Name && is_letter((unsigned char)t.text[0]); };
  size_t i = 0;
  if (!h.empty() && h[0].kind == TokenKind::LBracket) {
    for (i = 1; i < h.size() && h[i].kind != TokenKind::RBracket; ++i) {
      if (h[i].kind == TokenKind::Comma) continue;
      if (!plain(h[i])) return false;
      def.results.push_back(h[i].text);
    }
    if (i + 1 >= h.size() || !is_op(h[i + 1], kOpAssign)) return false;
    i += 2;
  } else if (h.size() > 1 && is_op(h[1], kOpAssign)) {
    if (!plain(h[0])) return false;
    def.results.push_back(h[0].text);
    i = 2;
  }
  if (i >= h.size() || h[i].kind != TokenKind::Name) return false;
  def.name = h[i++].text;
  if (i == h.size()) return true;
  if (h[i].kind != TokenKind::LParen) return false;
  ++i;
  if (i < h.size() && h[i].kind == TokenKind::RParen) return i + 1 == h.size();
  for (;;) {
    Parameter p;
    if (i < h.size() && is_op(h[i], kOpTranspose)) {
      p.by_ref = true;
      ++i;
    }
    if (i >= h.size() || !plain(h[i])) return false;
    p.name = h[i++].text;
    p.hash = name_hash(p.name);
    def.params.push_back(std::move(p));
    if (i >= h.size()) return false;
    if (h[i].kind == TokenKind::RParen) return i + 1 == h.size();
    if (h[i].kind != TokenKind::Comma) return false;
    ++i;
  }
}

}  // namespace

std::unique_ptr<Program> compile_text(CompileEnv env, CharSource& source) {
  if (env.err.failed()) return nullptr;
  Compiler c(env, source, false, {});
  if (!c.run()) return nullptr;
  return c.take_main();
}

bool compile_file(CompileEnv env, CharSource& source, std::string_view file_name) {
  if (env.err.failed()) return false;
  Compiler c(env, source, true, file_name);
  if (c.run()) return true;
  env.err.set_file(std::string(file_name));
  return false;
}

}  // namespace vop
