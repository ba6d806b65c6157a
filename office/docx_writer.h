// The Word document (.docx) of a run, written from the output events that
// a RecordingConsumer kept: text and headings as paragraphs in the styles
// of a language template, tables with their merges, colours and borders,
// and charts as native Word charts with their data workbooks embedded.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "document/output_event.h"

namespace vop {

struct DocxOptions {
  // A language template (Syntax/VopEN.xml, VopSR.xml, VopMK.xml: a Word
  // document in flat XML form) whose styles and custom properties the
  // document takes.
  std::string template_path;
  // Stored as the custom property "xp".
  std::string installation_id;
  int language = 1;  // of the chart labels: 1 EN, 2 SR, 3 MK
  // Called after each table and each chart is laid out, with how many of
  // each are done, for the counts a save counts down.
  std::function<void(int tables_done, int charts_done)> progress;
};

// Writes `events` as a .docx to `path`. False with a message in `error`
// when the template cannot be read or the file cannot be written (an
// existing file is then left as it was).
bool write_docx(const std::string& path, const std::vector<OutputEvent>& events, const DocxOptions& options,
                std::string* error);

// The marker in a language template after which the five characters of
// the placeholder value of the "xp" property stand.
inline constexpr std::string_view kTemplateIdMarker = "name=\"xp\"><vt:lpwstr>";
inline constexpr size_t kTemplateIdPlaceholder = 5;

// `text` of a template with the placeholder after the marker replaced by
// `installation_id` (XML-escaped); unchanged when the marker is missing.
std::string template_with_id(std::string_view text, std::string_view installation_id);

// Copies the template to the same name with ".tmp" added, the installation
// identifier in place of the placeholder, as the Word save does. The
// copy's text goes to `*text`. False with a message when the template
// cannot be read; a copy that cannot be written (a read-only program
// folder) still gives the text and returns true.
bool copy_template(const std::string& template_path, std::string_view installation_id, std::string* text,
                   std::string* error);

// The language template file name for a language 1 (EN), 2 (SR), 3 (MK);
// others give EN's.
const char* docx_template_name(int language);

}  // namespace vop
