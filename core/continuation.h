// Whether a text typed at an interactive prompt is a whole run yet: a
// block (for, if, while, repeat, function, macro) that is still open, or a
// bracket still open on its last line, asks for more lines.
#pragma once

#include <string_view>

namespace vop {

enum class Continuation {
  Complete,  // run it (it may still hold an error, which the run reports)
  Block,     // inside a block: more lines until its end or until
  Bracket,   // inside "(" or "[": more lines until it closes
};

Continuation continuation(std::string_view text);

}  // namespace vop
