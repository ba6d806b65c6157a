// The table of user functions, macros and file scripts of a run.
//
// Records are searched newest first. A record is visible to the code of
// the file that defined it, under the file's own name, to text run from a
// window (no defining file), and everywhere when it is global.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/ast.h"
#include "core/workspace.h"

namespace vop {

// One parameter of a function definition.
struct Parameter {
  std::string name;      // the parameter's name, without the "'" of by-reference
  size_t hash = 0;       // name_hash(name)
  bool by_ref = false;   // declared with a leading "'": an alias of the caller's variable
};

enum class DefinitionKind : char {
  Function = 'p',  // its own call frame, parameters and results
  Macro = 'm',     // runs in the caller's frame; also a file's script
};

struct FunctionDef {
  std::string name;                 // what scripts call it by
  std::string file;                 // base name of the defining file; empty for window text
  DefinitionKind kind = DefinitionKind::Function;  // function, or macro / file script
  bool global = false;              // "globfunc" / "globmacro": visible from every file
  int line = 0;                     // line of the header (0 for a file script)
  std::vector<Parameter> params;    // in order
  std::vector<std::string> results; // result names, in order
  Program body;                     // the statements; ends with a 'k' node
  // Functions: the slots of the frame (see assign_slots), with the slot of
  // each parameter and of each result, in order.
  FrameLayout layout;
  std::vector<int> param_slots;
  std::vector<int> result_slots;
};

// Give a compiled function its frame's slots: one for each parameter,
// result and name its body assigns, and let every name node of the body
// that writes or reads one of those names know its slot.
void assign_slots(FunctionDef& def);

class FunctionTable {
 public:
  // The record `name` denotes for code running in `running_file` (empty
  // for the run's text), or nullptr.
  const FunctionDef* find(const NameKey& name, std::string_view running_file) const;
  const FunctionDef* find(std::string_view name, std::string_view running_file) const {
    return find(NameKey{name, NameHash{}(name)}, running_file);
  }
  // Whether any record has this name, whatever its file (a second
  // definition of a name is an error).
  bool contains(std::string_view name) const { return by_name_.find(name) != by_name_.end(); }

  // Enter a completed definition; it becomes the newest record.
  const FunctionDef& add(std::unique_ptr<FunctionDef> def);
  // Drop every record (definitions last for one run).
  void clear();
  size_t size() const { return defs_.size(); }

 private:
  std::vector<std::unique_ptr<FunctionDef>> defs_;  // owned, oldest first
  NameMap<std::vector<const FunctionDef*>> by_name_;  // records of each name, oldest first
};

}  // namespace vop
