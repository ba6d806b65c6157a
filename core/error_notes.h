// Explanations for the codes whose report shows no message of its own
// ("ERROR :  code N"): what limit was passed or what was expected. The
// report stays as it is; the headless runner and the reference show these
// beside it.
#pragma once

namespace vop {

// The explanation of `code`, or nullptr when the code has a message (or
// none is known).
const char* error_explanation(int code);

}  // namespace vop
