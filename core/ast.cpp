#include "core/ast.h"

#include <charconv>

namespace vop {

std::vector<const ExprNode*> assignment_targets(const ExprNode& list) {
  std::vector<const ExprNode*> names;
  for (const ExprNode& row : list.kids) {
    if (row.kind != ExprKind::Row) {
      names.push_back(&row);
      continue;
    }
    for (const ExprNode& e : row.kids) names.push_back(&e);
  }
  return names;
}

ExprNode make_name(std::string text, bool has_args) {
  ExprNode n;
  n.kind = ExprKind::Name;
  n.has_args = has_args;
  n.hash = name_hash(text);
  n.text = std::move(text);
  return n;
}

namespace {

void print(const ExprNode& n, std::string& out);

void print_list(const std::vector<ExprNode>& kids, char sep, std::string& out) {
  for (size_t i = 0; i < kids.size(); ++i) {
    if (i) out += sep;
    print(kids[i], out);
  }
}

void print_literal(std::string_view s, std::string& out) {
  out += '"';
  for (char c : s) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      default: out += c;
    }
  }
  out += '"';
}

void print(const ExprNode& n, std::string& out) {
  switch (n.kind) {
    case ExprKind::Number: {
      char buf[32];
      auto r = std::to_chars(buf, buf + sizeof buf, n.number);
      out.append(buf, r.ptr);
      break;
    }
    case ExprKind::String: print_literal(n.text, out); break;
    case ExprKind::Name:
      out += n.text;
      if (n.has_args) {
        out += '(';
        print_list(n.kids, ',', out);
        out += ')';
      }
      break;
    case ExprKind::Colon: out += ':'; break;
    case ExprKind::Matrix:
      out += '[';
      print_list(n.kids, ';', out);
      out += ']';
      break;
    case ExprKind::Row: print_list(n.kids, ',', out); break;
    case ExprKind::MacroCall:
      out += '!';
      out += n.text;
      out += '{';
      print_list(n.kids, ' ', out);
      out += '}';
      break;
    case ExprKind::KeywordArg:
      out += n.text;
      out += '=';
      print_list(n.kids, ' ', out);
      break;
    case ExprKind::Fail:
      out += "<fail " + std::to_string(n.fail_code) + " " + n.text + ">";
      break;
    case ExprKind::Operator: case ExprKind::Range: case ExprKind::NameBuild:
    case ExprKind::Assign:
      out += '(';
      out += n.text;
      for (const ExprNode& k : n.kids) {
        out += ' ';
        print(k, out);
      }
      out += ')';
      break;
  }
}

}  // namespace

std::string to_string(const ExprNode& node) {
  std::string out;
  print(node, out);
  return out;
}

std::string to_string(const Program& program) {
  std::string out;
  for (size_t i = 0; i < program.nodes.size(); ++i) {
    const StatementNode& s = program.nodes[i];
    out += std::to_string(i);
    out += ' ';
    out += s.kind;
    out += std::to_string(s.line);
    if (s.next >= 0) {
      out += " >";
      out += std::to_string(s.next);
    }
    if (s.other >= 0) {
      out += " |";
      out += std::to_string(s.other);
    }
    if (s.expr) {
      out += ' ';
      print(*s.expr, out);
    }
    out += '\n';
  }
  return out;
}

}  // namespace vop
