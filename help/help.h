// The reference of the language, its builtins and its error codes, as the
// programs show it: docs/language.md, docs/builtins.md and docs/errors.md,
// built into the binary. An entry is a section of one of them: in
// builtins.md a "### name, name" section per builtin (or set of builtins
// that share one description), in errors.md a "### CODE Message" section
// per code, in language.md its "##" and "###" sections.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vop::help {

enum class Doc { Language, Builtins, Errors };

inline constexpr Doc kDocs[] = {Doc::Language, Doc::Builtins, Doc::Errors};

// The file's name ("builtins.md") and its whole markdown.
const char* file_name(Doc doc);
std::string_view text(Doc doc);
// The lines of a text, without their line ends.
std::vector<std::string_view> lines_of(std::string_view text);

struct Entry {
  Doc doc = Doc::Language;
  int level = 0;        // of its heading: 2 for "##", 3 for "###"
  std::string heading;  // the heading's text, without the "#" marks
  std::string group;    // the "##" heading it stands under ("" for none)
  std::string text;     // the section: heading line and body, in markdown
};

// The sections of a file: "###" ones for builtins.md and errors.md, "##"
// and "###" ones for language.md; in file order.
std::vector<Entry> entries(Doc doc);

// The builtin names an entry of builtins.md describes: its heading split at
// commas.
std::vector<std::string> entry_names(const Entry& entry);

// The code an entry of errors.md describes (its heading's leading number),
// and the message after it; 0 when the heading starts with no number.
int entry_code(const Entry& entry);
std::string entry_message(const Entry& entry);

// The entry for `topic`: a builtin's name (exactly, else in any case), an
// error code ("63", "error 63"), or a word of a heading of the language
// guide, or the heading itself (in any case). Empty when nothing matches.
std::optional<Entry> lookup(std::string_view topic);

// The reference's start: what it holds, with links to the three files
// (their names as link targets).
std::string start_page();

// `text` without the markdown marks that hinder reading it at a terminal:
// backticks, "**", and the "```" lines around examples (which are
// indented; an output block is introduced by "shows:").
std::string as_plain_text(std::string_view text);

}  // namespace vop::help
