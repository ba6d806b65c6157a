// vop-doc-skeleton: the skeleton of docs/builtins.md (or, with --errors, of
// docs/errors.md) from the builtin tables and the error list: a "##" group
// per install function, a "###" entry per builtin with its counts line; a
// "###" entry per error code with its message. New builtins and codes are
// written into the reference from its output.
#include <cstdio>
#include <cstring>

#include "help/reference_tables.h"

int main(int argc, char** argv) {
  using namespace vop::test;
  if (argc > 1 && !std::strcmp(argv[1], "--errors")) {
    for (const ErrorRow& r : error_rows()) std::printf("### %s\n\n", r.heading.c_str());
    return 0;
  }
  if (argc > 1) {
    std::fprintf(stderr, "usage: vop-doc-skeleton [--errors]\n");
    return 2;
  }
  for (int g = 0; g < kBuiltinGroupCount; ++g) {
    std::printf("## %s\n\n", kBuiltinGroups[g].title);
    for (const vop::Builtin& b : group_builtins(kBuiltinGroups[g]))
      std::printf("### %.*s\n\n%s\n\n", int(b.name.size()), b.name.data(), counts_line(b).c_str());
  }
  return 0;
}
