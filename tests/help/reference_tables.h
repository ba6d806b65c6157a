// What the reference must describe, read from the program itself: the
// builtin families as their install functions group them, and the error
// list. The reference's checks and its skeleton generator share these.
#pragma once

#include <string>
#include <vector>

#include "core/builtin.h"

namespace vop::test {

// One group of builtins: the "##" heading it has in builtins.md and the
// install function that registers it.
struct BuiltinGroup {
  const char* title;
  void (*install)(BuiltinFamily&);
};
extern const BuiltinGroup kBuiltinGroups[];
extern const int kBuiltinGroupCount;

// The entries of a group, sorted by name.
std::vector<Builtin> group_builtins(const BuiltinGroup& group);

// The counts line of an entry: "Arguments: 1–2. Results: 1."
std::string counts_line(const Builtin& b);

// The error list: code and heading of its entry ("63 Argument must be
// numeric", "78 Wrong reference of non-existing variable 'NAME' in Data",
// "44 (no message)").
struct ErrorRow {
  int code;
  std::string heading;
};
std::vector<ErrorRow> error_rows();

}  // namespace vop::test
