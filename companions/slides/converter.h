// A Word result document (.docx, as Vop writes it) into slides: a title
// on the first slide, a title slide per section, and a slide per page of
// results with the page heading, the base line and the page's first two
// charts, placed where chart.cfg says.
#pragma once

#include <string>

#include "companions/slides/chart_config.h"
#include "office/presentation.h"

namespace vop {

struct SlideOptions {
  bool without_charts = false;  // pages without charts get a slide too
  bool two_headers = false;     // the page heading in a text box, not the slide title
};

// Builds the slides of `docx` into `*out`, which starts from the config's
// template in `syntax_dir` (or the plain presentation). False with a
// message when the document or the template cannot be read.
bool build_slides(const std::string& docx, const ChartConfig& config, const std::string& syntax_dir,
                  const SlideOptions& options, Presentation* out, std::string* error);

// build_slides, then the presentation saved to `pptx`; nothing is written
// on failure.
bool convert_document(const std::string& docx, const std::string& pptx, const ChartConfig& config,
                      const std::string& syntax_dir, const SlideOptions& options, std::string* error);

// A Word document in the old binary format (.doc by name or by its
// compound-file signature).
bool is_binary_word(const std::string& path);

// Has LibreOffice convert a .doc into `folder` (its private profile in
// there too); the .docx's path in `*docx`. False with a message when
// LibreOffice is missing or fails.
bool doc_to_docx(const std::string& doc, const std::string& folder, std::string* docx, std::string* error);

// `message` about the converted `docx` told in terms of the user's `doc`.
std::string about_original(std::string message, const std::string& docx, const std::string& doc);

}  // namespace vop
