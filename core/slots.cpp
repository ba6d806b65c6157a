// The slots of a function's frame, chosen when the function is compiled.
//
// A name gets a slot when it is a parameter or a result, or when the body
// assigns it (a for-loop variable, an element of a multiple assignment,
// an indexed target): every other name the body uses denotes a global, an
// alias, a builtin or another function, or a local that only `eval`-like
// code or a macro makes, and those stay in the frame's table.
#include "core/functions.h"

namespace vop {

namespace {

void collect_assigned(const ExprNode& node, FrameLayout& layout) {
  if (node.kind == ExprKind::Assign) {
    const ExprNode& target = node.kids[0];
    if (target.kind == ExprKind::Name) layout.add(target.text);
    else if (target.kind == ExprKind::Matrix)
      for (const ExprNode* n : assignment_targets(target))
        if (n->kind == ExprKind::Name) layout.add(n->text);
  }
  for (const ExprNode& kid : node.kids) collect_assigned(kid, layout);
}

void mark_slots(const ExprNode& node, const FrameLayout& layout) {
  if (node.kind == ExprKind::Name) {
    if (const int slot = layout.find(NameKey{node.text, node.hash}); slot >= 0) {
      node.cache.layout = &layout;
      node.cache.slot = slot;
    }
  }
  // The first kid of name#e is only the prefix of the name it builds.
  const size_t first = node.kind == ExprKind::NameBuild ? 1 : 0;
  for (size_t k = first; k < node.kids.size(); ++k) mark_slots(node.kids[k], layout);
}

}  // namespace

void assign_slots(FunctionDef& def) {
  def.param_slots.clear();
  def.result_slots.clear();
  for (const Parameter& p : def.params) def.param_slots.push_back(def.layout.add(p.name));
  for (const std::string& r : def.results) def.result_slots.push_back(def.layout.add(r));
  for (const StatementNode& st : def.body.nodes)
    if (st.expr) collect_assigned(*st.expr, def.layout);
  for (const StatementNode& st : def.body.nodes)
    if (st.expr) mark_slots(*st.expr, def.layout);
}

}  // namespace vop
