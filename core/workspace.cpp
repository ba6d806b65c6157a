#include "core/workspace.h"

#include <algorithm>
#include <atomic>
#include <utility>

namespace vop {

// --- FrameLayout ---------------------------------------------------------

FrameLayout::FrameLayout() {
  static std::atomic<uint64_t> next{1};
  serial_ = next.fetch_add(1, std::memory_order_relaxed);
}

int FrameLayout::add(std::string_view name) {
  if (int slot = find(name); slot >= 0) return slot;
  names_.emplace_back(name);
  hashes_.push_back(NameHash{}(name));
  return int(names_.size()) - 1;
}

// --- CallFrame -----------------------------------------------------------

Matrix* CallFrame::find_local(const NameKey& key) {
  if (const int slot = slot_of(key); slot >= 0) return slot_var(slot);
  if (locals_.empty()) return nullptr;
  auto it = locals_.find(key);
  return it == locals_.end() ? nullptr : &it->second.value;
}

Matrix& CallFrame::put_slot(int slot, Matrix&& m) {
  Local& local = slots_[size_t(slot)];
  // A new local changes what a name denotes only where it hides an alias
  // or a global of the same name; other remembered lookups stay right.
  if (!local.present && (!aliases_.empty() || !global_names_.empty())) changed();
  claim(slot).value.replace_contents(std::move(m));
  return local.value;
}

Matrix& CallFrame::put_local(std::string name, Matrix&& m) {
  if (const int slot = slot_of(NameKey{name, NameHash{}(name)}); slot >= 0)
    return put_slot(slot, std::move(m));
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
  if (const int slot = slot_of(NameKey{name, NameHash{}(name)}); slot >= 0) {
    Local& l = slots_[size_t(slot)];
    if (!l.present) return false;
    clear_slot(l);
    changed();
    return true;
  }
  auto it = locals_.find(name);
  if (it == locals_.end()) return false;
  locals_.erase(it);
  changed();
  return true;
}

std::unique_ptr<Matrix> CallFrame::take_local(std::string_view name) {
  if (const int slot = slot_of(NameKey{name, NameHash{}(name)}); slot >= 0) {
    Local& l = slots_[size_t(slot)];
    if (!l.present) return nullptr;
    auto m = std::make_unique<Matrix>();
    m->set_name(l.value.name());
    m->replace_contents(std::move(l.value));  // the slot keeps its name
    l.present = false;
    changed();
    return m;
  }
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

void CallFrame::clear_locals() {
  locals_.clear();
  for (Local& l : slots_) clear_slot(l);
  changed();
}

size_t CallFrame::local_count() const {
  size_t n = locals_.size();
  for (const Local& l : slots_) n += l.present;
  return n;
}

// A frame is reset when its call ends. Lookups that remember its variables
// name it by its id, which no later frame gets, so the workspace's shape
// stays as it is: the caller's remembered lookups stay right.
void CallFrame::reset() {
  if (!locals_.empty()) locals_.clear();
  if (!aliases_.empty()) aliases_.clear();
  if (!global_names_.empty()) global_names_.clear();
  for (Local& l : slots_) {
    if (!l.present) continue;
    // A number kept inline has nothing to free.
    if (l.value.numeric() && l.value.capacity() <= 1) l.present = false;
    else clear_slot(l);
  }
  layout_ = nullptr;
  next_order_ = 0;
  arg_count = requested_results = loop_depth = 0;
  caller = nullptr;
}

void CallFrame::set_layout(const FrameLayout* layout) {
  layout_ = layout;
  if (!layout || layout->serial() == slots_named_for_) return;
  slots_.resize(layout->size());
  for (size_t k = 0; k < slots_.size(); ++k) slots_[k].value.set_name(layout->name(int(k)));
  slots_named_for_ = layout->serial();
}

std::vector<std::string> CallFrame::local_names() const {
  std::vector<std::pair<uint64_t, const std::string*>> order;
  order.reserve(locals_.size() + slots_.size());
  for (const auto& [name, local] : locals_) order.emplace_back(local.order, &name);
  for (size_t k = 0; k < slots_.size(); ++k)
    if (slots_[k].present) order.emplace_back(slots_[k].order, &layout_->name(int(k)));
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

void Workspace::push_frame(int arg_count, int requested_results, const FrameLayout* layout) {
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
  f->set_layout(layout);
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
