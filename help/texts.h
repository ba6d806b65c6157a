// The reference files as the build embeds them (help_texts.cpp, made from
// docs/*.md).
#pragma once

namespace vop::help {

struct DocText {
  const char* name;  // the file's name: "language.md", "builtins.md", "errors.md"
  const char* text;  // its markdown
};

extern const DocText kTexts[];
extern const int kTextCount;

}  // namespace vop::help
