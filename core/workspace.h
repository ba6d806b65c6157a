// The variables that running code can see: a chain of call frames (the
// script level at the bottom), one global frame, and `ans`.
//
// Lookup order within a frame: its locals, then its aliases (an alias leads
// to a variable of another frame, and the search stops there), then its
// declared global names. Locals are hashed by name, so lookup does not grow
// with the number of variables; each local keeps a sequence number so that
// listings can show the newest first.
//
// A function's frame keeps the locals its body names at compile time
// (parameters, results, assigned names) in numbered slots instead of the
// table, so that a call sets up a few slots and the body's names reach
// them by number. Slots are locals like the others: every view by name
// (lookup, listing, clear, global) sees them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/errors.h"
#include "core/lookup_cache.h"
#include "core/matrix.h"

namespace vop {

// A name with its hash computed once (compiled name nodes carry it), so
// that a lookup in the running loop does not hash the text again. The hash
// must be std::hash<std::string_view> of the text.
struct NameKey {
  std::string_view text;  // the name
  size_t hash;            // std::hash<std::string_view>{}(text)
  friend bool operator==(const NameKey& k, std::string_view s) { return k.text == s; }
};

// Hash and equality that let string-keyed maps be searched by string_view
// or by a pre-hashed NameKey.
struct NameHash {
  using is_transparent = void;
  size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  size_t operator()(const NameKey& k) const { return k.hash; }
};
using NameEq = std::equal_to<>;

template <class T>
using NameMap = std::unordered_map<std::string, T, NameHash, NameEq>;
using NameSet = std::unordered_set<std::string, NameHash, NameEq>;

class CallFrame;

// The slots of a function's frame: a name for each, numbered from 0.
class FrameLayout {
 public:
  FrameLayout();
  FrameLayout(const FrameLayout&) = delete;
  FrameLayout& operator=(const FrameLayout&) = delete;

  // The slot of `name`, added when it has none.
  int add(std::string_view name);
  // The slot of a name, or -1.
  int find(const NameKey& key) const {
    for (size_t k = 0; k < hashes_.size(); ++k)
      if (hashes_[k] == key.hash && names_[k] == key.text) return int(k);
    return -1;
  }
  int find(std::string_view name) const { return find(NameKey{name, NameHash{}(name)}); }
  const std::string& name(int slot) const { return names_[size_t(slot)]; }
  size_t size() const { return names_.size(); }
  // Unique among the layouts of the process (a frame's slots keep the
  // names of the last layout they served).
  uint64_t serial() const { return serial_; }

 private:
  uint64_t serial_;
  std::vector<std::string> names_;
  std::vector<size_t> hashes_;  // NameHash of each name
};

// A local name that stands for a variable of another frame (made when an
// argument is passed to a by-reference parameter).
struct Alias {
  std::string target_name;     // the variable's name in its own frame
  CallFrame* target = nullptr; // the frame that really holds it
};

class CallFrame {
 public:
  // Kept in the table's node, which never moves while the variable exists.
  struct Local {
    Matrix value;         // the variable (named)
    uint64_t order = 0;   // larger = newer
    bool present = false; // slots only: the variable exists
  };

  int arg_count = 0;          // arguments bound at the call (nargin)
  int requested_results = 0;  // results the call site asked for (nargout)
  int loop_depth = 0;         // for-loops running in this frame
  CallFrame* caller = nullptr;  // none for the script level and globals
  uint64_t id = 0;            // unique within its workspace (0 outside one); a
                              // reused frame gets a new one
  uint64_t* shape = nullptr;  // the workspace's shape count, bumped by every
                              // change of which variables exist; may be null

  Matrix* find_local(std::string_view name) { return find_local(NameKey{name, NameHash{}(name)}); }
  Matrix* find_local(const NameKey& key);
  // Store m as the variable `name` (replacing one of that name).
  Matrix& put_local(std::string name, Matrix&& m);

  // The slots (none outside a function's frame).
  const FrameLayout* layout() const { return layout_; }
  // The variable in a slot, or nullptr when it does not exist.
  Matrix* slot_var(int slot) {
    Local& l = slots_[size_t(slot)];
    return l.present ? &l.value : nullptr;
  }
  // Store m in a slot, as put_local does under the slot's name.
  Matrix& put_slot(int slot, Matrix&& m);
  // As put_slot, for binding the arguments of a call in a frame that no
  // lookup has seen yet; bind_scalar stores a numeric 1x1 value.
  void bind_slot(int slot, Matrix&& m) {
    Local& l = claim(slot);
    l.value.replace_contents(std::move(m));
  }
  void bind_scalar(int slot, double v) { claim(slot).value.set_scalar(v); }
  bool remove_local(std::string_view name);
  void clear_locals();
  // Take the variable out of the frame (nullptr when there is none).
  std::unique_ptr<Matrix> take_local(std::string_view name);
  // Names of the locals, newest first.
  std::vector<std::string> local_names() const;
  size_t local_count() const;

  // By-reference parameters: local names that stand for another frame's
  // variable.
  const Alias* find_alias(std::string_view name) const;
  const Alias* find_alias(const NameKey& key) const;
  void add_alias(std::string name, Alias alias);
  bool remove_alias(std::string_view name);

  // Names declared `global` in this frame.
  bool declares_global(std::string_view name) const { return global_names_.count(name) != 0; }
  bool declares_global(const NameKey& key) const {
    return !global_names_.empty() && global_names_.count(key) != 0;
  }
  void declare_global(std::string name);
  bool undeclare_global(std::string_view name);
  void undeclare_all_globals();

  // Empty the frame for reuse by another call, keeping the tables' storage.
  void reset();
  // Give the (empty) frame the slots of `layout` (null: none).
  void set_layout(const FrameLayout* layout);

 private:
  void changed() {
    if (shape) ++*shape;
  }
  int slot_of(const NameKey& key) const { return layout_ ? layout_->find(key) : -1; }
  // A slot whose variable is made now (it keeps its order when it exists).
  Local& claim(int slot) {
    Local& l = slots_[size_t(slot)];
    if (!l.present) {
      l.present = true;
      l.order = next_order_++;
    }
    return l;
  }
  void clear_slot(Local& l) {
    l.value.replace_contents(Matrix());
    l.present = false;
  }

  const FrameLayout* layout_ = nullptr;  // names of the slots; not owned
  std::vector<Local> slots_;  // one per name of layout_, the variable named so
                              // whether it exists or not; never resized while in use
  uint64_t slots_named_for_ = 0;  // serial of the layout whose names slots_ have
  NameMap<Local> locals_;    // by name; the key equals the matrix name. Never
                             // holds a name that has a slot
  NameMap<Alias> aliases_;   // by local name
  NameSet global_names_;     // names declared `global` in this frame
  uint64_t next_order_ = 0;
};

using GlobalFrame = CallFrame;

class Workspace {
 public:
  Workspace();
  // Frames point at the workspace's shape count: it stays where it is.
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;

  CallFrame& current() { return *frames_.back(); }
  CallFrame& script_level() { return *frames_.front(); }
  GlobalFrame& globals() { return globals_; }
  size_t depth() const { return frames_.size(); }  // 1 at the script level

  // The variable `name` seen from the current frame, or nullptr. A name
  // declared global whose global variable is gone raises 92.
  Matrix* lookup(std::string_view name, ErrorState& err) {
    return lookup(NameKey{name, NameHash{}(name)}, err);
  }
  Matrix* lookup(const NameKey& key, ErrorState& err);
  // As lookup, remembering the answer in `cache` for the next time.
  // A name with a slot in the current frame is its slot's variable when
  // that exists (what is remembered agrees: a slot is never remembered
  // empty, and a variable made in it where the name meant an alias or a
  // global changes the shape).
  Matrix* lookup(const NameKey& key, ErrorState& err, LookupCache& cache) {
    CallFrame& f = current();
    if (cache.frame == f.id && cache.shape == shape_) return cache.var;
    if (cache.layout && cache.layout == f.layout())
      if (Matrix* var = f.slot_var(cache.slot)) return var;
    Matrix* var = lookup(key, err);
    if (var) remember(cache, var);
    return var;
  }
  // As lookup, but a deleted global gives nullptr without an error.
  Matrix* peek(const NameKey& key, LookupCache& cache) {
    CallFrame& f = current();
    if (cache.frame == f.id && cache.shape == shape_) return cache.var;
    if (cache.layout && cache.layout == f.layout())
      if (Matrix* var = f.slot_var(cache.slot)) return var;
    bool deleted = false;
    Matrix* var = find(key, &deleted);
    if (var) remember(cache, var);
    return var;
  }

  // The frame that really holds the variable `name` denotes, and its name
  // there: the current frame for a local (or a new variable), the target
  // for an alias, the global frame for a declared global.
  struct Resolved {
    std::string name;
    CallFrame* frame;
  };
  Resolved resolve(std::string_view name);

  // Store `value` as the variable `name` denotes (local, alias or global),
  // replacing any old value; returns the stored variable.
  Matrix& assign(std::string_view name, Matrix&& value);
  // As assign, for a compiled name (with its cache) that lookup did not find.
  Matrix& assign(const NameKey& key, const LookupCache& cache, Matrix&& value) {
    CallFrame& f = current();
    if (cache.layout && cache.layout == f.layout() && !f.find_alias(key) && !f.declares_global(key))
      return f.put_slot(cache.slot, std::move(value));
    return assign(key.text, std::move(value));
  }

  // A new local of the current frame (replacing one of the same name).
  Matrix& add_local(std::string name, Matrix&& value);

  // A new frame for a call; `layout` gives it the function's slots.
  void push_frame(int arg_count, int requested_results, const FrameLayout* layout = nullptr);
  void pop_frame();
  void pop_to_script_level();

  // The special variable `ans`, outside the frames.
  Matrix& ans() { return ans_; }
  // A displayed unnamed result becomes the new `ans`.
  void set_ans(Matrix&& value);

 private:
  // The variable `key` denotes; *deleted_global set when it names a
  // declared global that no longer exists.
  Matrix* find(const NameKey& key, bool* deleted_global);
  void remember(LookupCache& cache, Matrix* var) {
    cache.frame = current().id;
    cache.shape = shape_;
    cache.var = var;
  }
  void adopt(CallFrame& f) {
    f.id = next_frame_id_++;
    f.shape = &shape_;
  }

  std::vector<std::unique_ptr<CallFrame>> frames_;  // [0] = script level
  std::vector<std::unique_ptr<CallFrame>> spare_;   // popped frames, emptied, kept so
                                                    // that calls reuse their tables
  GlobalFrame globals_;
  Matrix ans_;
  uint64_t shape_ = 1;          // bumped when a variable, alias or global name comes or goes
  uint64_t next_frame_id_ = 1;  // ids of frames, never reused
};

}  // namespace vop
