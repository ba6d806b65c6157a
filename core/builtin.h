// The calling convention of built-in functions.
//
// A builtin receives its call unevaluated (the call node and the number of
// results asked for) and evaluates its arguments itself, in order, only
// when it needs them. Builtins are grouped in families (general, data,
// script GUI); each family is a table of entries looked up by exact name.
#pragma once

#include <string_view>
#include <vector>

#include "core/ast.h"
#include "core/value.h"
#include "core/workspace.h"

namespace vop {

class Interpreter;
class Call;

// A builtin: returns its one result, or an empty Value after raising an
// error, reporting several results (Call::results) or none (Call::none).
using BuiltinFn = Value (*)(Call& call);

// How many arguments an entry takes when the dispatcher counts them.
inline constexpr int kAnyArgs = -1;

struct Builtin {
  std::string_view name;  // exact, case-sensitive
  int min_args;           // fewer raise 81
  int max_args;           // more raise 82; kAnyArgs = no limit
  int max_results;        // more requested raise 80 (0 for output builtins)
  BuiltinFn fn;           // the implementation
  bool own_counts = false;  // the builtin checks its argument count itself
};

// One family of builtins: a table looked up by name.
class BuiltinFamily {
 public:
  void add(const Builtin& b) { table_[std::string(b.name)] = b; }
  void add(std::initializer_list<Builtin> list) {
    for (const Builtin& b : list) add(b);
  }
  const Builtin* find(std::string_view name) const { return find(NameKey{name, NameHash{}(name)}); }
  const Builtin* find(const NameKey& key) const {
    if (table_.empty()) return nullptr;
    auto it = table_.find(key);
    return it == table_.end() ? nullptr : &it->second;
  }
  size_t size() const { return table_.size(); }
  // Every entry, in no particular order (the reference and its checks list them).
  template <class F>
  void for_each(F&& f) const {
    for (const auto& [name, b] : table_) f(b);
  }

 private:
  NameMap<Builtin> table_;  // by name
};

// One call of a builtin, as the builtin sees it.
class Call {
 public:
  Call(Interpreter& interp, const ExprNode& node, int requested)
      : interp_(interp), node_(node), requested_(requested) {}

  Interpreter& interp() { return interp_; }
  ErrorState& err();
  const ExprNode& node() const { return node_; }
  std::string_view name() const { return node_.text; }
  int requested() const { return requested_; }

  int argc() const { return int(node_.kids.size()); }
  const ExprNode& arg_node(int i) const { return node_.kids[size_t(i)]; }
  // Evaluate argument i (asking it for one result).
  Value arg(int i);

  // Outcomes other than one value.
  Value none() {  // the builtin gives no value
    result_count_ = 0;
    return {};
  }
  Value results(std::vector<Matrix>&& list);  // several values, first first
  Value decline() {  // behave as a name that is no builtin
    declined_ = true;
    return {};
  }
  // Convenience for raising a code and returning no value.
  Value fail(int code, std::string_view name = {});

  int result_count() const { return result_count_; }
  bool declined() const { return declined_; }

 private:
  Interpreter& interp_;
  const ExprNode& node_;   // the call: name and unevaluated arguments
  int requested_;          // results the call site asked for
  int result_count_ = 1;   // 0: none, n > 1: the result list holds n
  bool declined_ = false;  // the builtin does not take this call
};

}  // namespace vop
