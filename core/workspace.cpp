#include "core/workspace.h"

#include <algorithm>
#include <utility>

namespace vop {

// --- CallFrame -----------------------------------------------------------

Matrix* CallFrame::find_local(std::string_view name) const {
  auto it = locals_.find(name);
  return it == locals_.end() ? nullptr : it->second.value.get();
}

Matrix& CallFrame::put_local(std::string name, Matrix&& m) {
  m.set_name(name);
  auto [it, inserted] = locals_.try_emplace(std::move(name));
  Local& local = it->second;
  if (local.value) *local.value = std::move(m);
  else local.value = std::make_unique<Matrix>(std::move(m));
  if (inserted) local.order = next_order_++;
  return *local.value;
}

bool CallFrame::remove_local(std::string_view name) {
  auto it = locals_.find(name);
  if (it == locals_.end()) return false;
  locals_.erase(it);
  return true;
}

std::unique_ptr<Matrix> CallFrame::take_local(std::string_view name) {
  auto it = locals_.find(name);
  if (it == locals_.end()) return nullptr;
  std::unique_ptr<Matrix> m = std::move(it->second.value);
  locals_.erase(it);
  return m;
}

std::vector<std::string> CallFrame::local_names() const {
  std::vector<std::pair<uint64_t, const std::string*>> order;
  order.reserve(locals_.size());
  for (const auto& [name, local] : locals_) order.emplace_back(local.order, &name);
  std::sort(order.begin(), order.end(), [](auto& a, auto& b) { return a.first > b.first; });
  std::vector<std::string> names;
  names.reserve(order.size());
  for (auto& [o, n] : order) names.push_back(*n);
  return names;
}

// --- Workspace -----------------------------------------------------------

Workspace::Workspace() { frames_.push_back(std::make_unique<CallFrame>()); }

Matrix* Workspace::lookup(std::string_view name, ErrorState& err) {
  CallFrame& f = current();
  if (Matrix* m = f.find_local(name)) return m;
  if (auto a = f.aliases.find(name); a != f.aliases.end())
    return a->second.target->find_local(a->second.target_name);
  if (f.global_names.count(name)) {
    if (Matrix* m = globals_.find_local(name)) return m;
    err.raise(kErrDeletedGlobal);
  }
  return nullptr;
}

Workspace::Resolved Workspace::resolve(std::string_view name) {
  CallFrame& f = current();
  if (f.find_local(name)) return {std::string(name), &f};
  if (auto a = f.aliases.find(name); a != f.aliases.end())
    return {a->second.target_name, a->second.target};
  if (f.global_names.count(name)) return {std::string(name), &globals_};
  return {std::string(name), &f};
}

Matrix& Workspace::assign(std::string_view name, Matrix&& value) {
  Resolved r = resolve(name);
  return r.frame->put_local(std::move(r.name), std::move(value));
}

Matrix& Workspace::add_local(std::string name, Matrix&& value) {
  return current().put_local(std::move(name), std::move(value));
}

void Workspace::push_frame(int arg_count, int requested_results) {
  auto f = std::make_unique<CallFrame>();
  f->arg_count = arg_count;
  f->requested_results = requested_results;
  f->caller = frames_.back().get();
  frames_.push_back(std::move(f));
}

void Workspace::pop_frame() {
  if (frames_.size() > 1) frames_.pop_back();
}

void Workspace::pop_to_script_level() {
  while (frames_.size() > 1) frames_.pop_back();
  script_level().loop_depth = 0;
}

void Workspace::set_ans(Matrix&& value) {
  ans_ = std::move(value);
  ans_.set_name("ans");
}

}  // namespace vop
