#include "core/error_notes.h"

#include <algorithm>
#include <iterator>

#include "core/errors.h"

namespace vop {

namespace {

struct Note {
  int code;
  const char* text;
};

// In increasing order of code.
constexpr Note kNotes[] = {
    {kErrMacroInBlock, "a macro header while a for, if, while or repeat block is still open"},
    {kErrBadConversion, "a format with an unknown conversion, or more conversions than values"},
    {kErrNumberForText, "a number given to a %s conversion of a format"},
    {kErrTextForNumber, "a text given to a d, f, F, e or E conversion of a format"},
    {kErrLapack, "the linear-algebra routine could not finish (a singular or ill-conditioned matrix)"},
    {kErrAliasGlobal, "global names a parameter that was passed by reference"},
    {kErrHeadingLevel, "a heading level outside 1 to 5"},
    {kErrPathPrefix, "a folder given to path must begin with .\\ or ./"},
    {kErrPathTooLong, "a function file's path is longer than the system allows"},
    {kErrHashNoLeft, "# with nothing on its left"},
    {kErrHashNotName, "# after something that is not a name"},
    {kErrTooDeep, "expressions, calls or eval nested deeper than the limit (runaway recursion?)"},
    {kErrKeywordVariable, "a keyword argument given as a variable: write its value itself"},
};

static_assert(std::is_sorted(std::begin(kNotes), std::end(kNotes),
                             [](const Note& a, const Note& b) { return a.code < b.code; }));

}  // namespace

const char* error_explanation(int code) {
  const Note* it = std::lower_bound(std::begin(kNotes), std::end(kNotes), code,
                                    [](const Note& n, int c) { return n.code < c; });
  return it != std::end(kNotes) && it->code == code ? it->text : nullptr;
}

}  // namespace vop
