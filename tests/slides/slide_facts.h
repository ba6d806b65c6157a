// What a test needs to know of a written presentation or a Word document:
// the slides in order with their layout, title, text boxes and chart
// frames (in points) and each chart's values, read with the package reader
// and an XML parser.
#pragma once

#include <string>
#include <vector>

#include "office/presentation.h"

namespace vop::test {

struct SlideFacts {
  struct TextBox {
    std::string text;
    SlideBox box;
    double size = 0;        // points
    bool bold = false;
    std::string align;      // algn of the first paragraph
    std::string wrap;       // of the body ("square" or "none"), "" : default
    std::string font;       // latin typeface
  };
  struct Chart {
    SlideBox box;
    std::string values;     // every c:v of the series' values, comma-joined
  };
  std::string layout;       // type of its layout ("title", "titleOnly", ...)
  std::string title;        // text of its first placeholder
  std::vector<TextBox> text_boxes;
  std::vector<Chart> charts;
};

// The slides of `pptx`; an error in `*problem` when it cannot be read.
std::vector<SlideFacts> read_slides(const std::string& pptx, std::string* problem);

// The values of each chart of a Word document, in document order.
std::vector<std::string> docx_chart_values(const std::string& docx);

// The package's [Content_Types].xml main type.
std::string main_content_type(const std::string& package);

}  // namespace vop::test
