#include "core/functions.h"

namespace vop {

const FunctionDef* FunctionTable::find(const NameKey& name, std::string_view running_file) const {
  if (by_name_.empty()) return nullptr;
  auto it = by_name_.find(name);
  if (it == by_name_.end()) return nullptr;
  const auto& recs = it->second;
  for (auto r = recs.rbegin(); r != recs.rend(); ++r) {
    const FunctionDef* d = *r;
    if (d->global || d->file.empty() || d->file == name.text || d->file == running_file) return d;
  }
  return nullptr;
}

const FunctionDef& FunctionTable::add(std::unique_ptr<FunctionDef> def) {
  const FunctionDef* d = def.get();
  defs_.push_back(std::move(def));
  by_name_[d->name].push_back(d);
  return *d;
}

void FunctionTable::clear() {
  by_name_.clear();
  defs_.clear();
}

}  // namespace vop
