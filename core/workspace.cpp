#include "core/workspace.h"

#include <algorithm>
#include <utility>

namespace vop {

// --- CallFrame -----------------------------------------------------------

Matrix* CallFrame::find_local(std::string_view name) {
  auto it = locals_.find(name);
  return it == locals_.end() ? nullptr : &it->second.value;
}

Matrix* CallFrame::find_local(const NameKey& key) {
  if (locals_.empty()) return nullptr;
  auto it = locals_.find(key);
  return it == locals_.end() ? nullptr : &it->second.value;
}

Matrix& CallFrame::put_local(std::string name, Matrix&& m) {
  m.set_name(name);
  auto [it, inserted] = locals_.try_emplace(std::move(name));
  Local& local = it->second;
  // An existing variable keeps its place: lookups that remember it stay right.
  local.value = std::move(m);
  if (inserted) {
    local.order = next_order_++;
    changed();
  }
  return local.value;
}

bool CallFrame::remove_local(std::string_view name) {
  auto it = locals_.find(name);
  if (it == locals_.end()) return false;
  locals_.erase(it);
  changed();
  return true;
}

std::unique_ptr<Matrix> CallFrame::take_local(std::string_view name) {
  auto it = locals_.find(name);
  if (it == locals_.end()) return nullptr;
  auto m = std::make_unique<Matrix>(std::move(it->second.value));
  locals_.erase(it);
  changed();
  return m;
}

const Alias* CallFrame::find_alias(std::string_view name) const {
  auto it = aliases_.find(name);
  return it == aliases_.end() ? nullptr : &it->second;
}

const Alias* CallFrame::find_alias(const NameKey& key) const {
  if (aliases_.empty()) return nullptr;
  auto it = aliases_.find(key);
  return it == aliases_.end() ? nullptr : &it->second;
}

void CallFrame::add_alias(std::string name, Alias alias) {
  aliases_[std::move(name)] = std::move(alias);
  changed();
}

bool CallFrame::remove_alias(std::string_view name) {
  auto it = aliases_.find(name);
  if (it == aliases_.end()) return false;
  aliases_.erase(it);
  changed();
  return true;
}

void CallFrame::declare_global(std::string name) {
  global_names_.insert(std::move(name));
  changed();
}

bool CallFrame::undeclare_global(std::string_view name) {
  auto it = global_names_.find(name);
  if (it == global_names_.end()) return false;
  global_names_.erase(it);
  changed();
  return true;
}

void CallFrame::undeclare_all_globals() {
  global_names_.clear();
  changed();
}

void CallFrame::reset() {
  if (!locals_.empty()) locals_.clear();
  if (!aliases_.empty()) aliases_.clear();
  if (!global_names_.empty()) global_names_.clear();
  next_order_ = 0;
  arg_count = requested_results = loop_depth = 0;
  caller = nullptr;
  changed();
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

Workspace::Workspace() {
  frames_.push_back(std::make_unique<CallFrame>());
  adopt(*frames_.back());
  adopt(globals_);
}

Matrix* Workspace::find(const NameKey& key, bool* deleted_global) {
  CallFrame& f = current();
  if (Matrix* m = f.find_local(key)) return m;
  if (const Alias* a = f.find_alias(key)) return a->target->find_local(a->target_name);
  if (f.declares_global(key)) {
    if (Matrix* m = globals_.find_local(key)) return m;
    *deleted_global = true;
  }
  return nullptr;
}

Matrix* Workspace::lookup(const NameKey& key, ErrorState& err) {
  bool deleted = false;
  Matrix* m = find(key, &deleted);
  if (deleted) err.raise(kErrDeletedGlobal);
  return m;
}

Workspace::Resolved Workspace::resolve(std::string_view name) {
  CallFrame& f = current();
  if (f.find_local(name)) return {std::string(name), &f};
  if (const Alias* a = f.find_alias(name)) return {a->target_name, a->target};
  if (f.declares_global(name)) return {std::string(name), &globals_};
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
  std::unique_ptr<CallFrame> f;
  if (spare_.empty()) {
    f = std::make_unique<CallFrame>();
  } else {
    f = std::move(spare_.back());
    spare_.pop_back();
  }
  f->arg_count = arg_count;
  f->requested_results = requested_results;
  f->caller = frames_.back().get();
  adopt(*f);
  frames_.push_back(std::move(f));
}

void Workspace::pop_frame() {
  if (frames_.size() <= 1) return;
  std::unique_ptr<CallFrame> f = std::move(frames_.back());
  frames_.pop_back();
  // Deep recursion leaves many frames behind: keep only a few for reuse.
  constexpr size_t kSpareFrames = 16;
  if (spare_.size() < kSpareFrames) {
    f->reset();
    spare_.push_back(std::move(f));
  }
}

void Workspace::pop_to_script_level() {
  while (frames_.size() > 1) pop_frame();
  script_level().loop_depth = 0;
}

void Workspace::set_ans(Matrix&& value) {
  ans_ = std::move(value);
  ans_.set_name("ans");
}

}  // namespace vop
