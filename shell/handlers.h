// What each command does in each kind of window: two tables from command
// identifier to handler. A command missing from a kind's table is disabled
// in that kind of window.
#pragma once

#include "shell/commands.h"

namespace vop::shell {

class Frame;

using Handler = void (*)(Frame& frame);

// The handler of a command in a kind of window; nullptr when it has none.
Handler find_handler(FrameKind kind, int id);

}  // namespace vop::shell
