// chart.cfg: where Tesvin puts the page heading, the base line and the
// charts on a slide, which paragraph styles mark the title, sections and
// pages of a result document, and the template the slides are based on.
//
// The file is lines of "key = value"; "#" starts a comment; a line holding
// "EndConfigFile" ends the file; lines without "=" continue the value
// before them (joined by line feeds) until a blank line. Positions and
// sizes are points of the slide.
#pragma once

#include <istream>
#include <map>
#include <string>
#include <vector>

#include "office/presentation.h"

namespace vop {

struct ChartConfig {
  std::string template_name;  // relative to the Syntax folder; "" : the plain presentation
  std::string style_title, style_head2, style_head3;

  SlideBox st{0, 90.625, 720, 24};
  SlideBox base{36.875, 69, 641.125, 18.875};
  SlideBox base_st{0, 109.5, 720, 18.875};
  SlideBox chart1of1{162, 135, 410, 335};
  SlideBox chart1of2{11, 135, 335, 335};
  SlideBox chart2of2{370, 135, 335, 335};
  SlideBox chart1of1_st{200.25, 165.375, 330, 275};
  SlideBox chart1of2_st{29, 165.375, 329, 275};
  SlideBox chart2of2_st{374, 165.375, 329, 275};

  // Values that are no number (their keys keep the default).
  std::vector<std::string> warnings;
};

// The keys and values of a configuration text, a later key replacing an
// earlier one.
std::map<std::string, std::string> read_config_values(std::istream& in);

// The configuration from `values`: absent keys take their defaults.
ChartConfig chart_config_from(const std::map<std::string, std::string>& values);

// Reads `path`. When it cannot be opened: false with a message, and
// `*config` holds the defaults.
bool read_chart_config(const std::string& path, ChartConfig* config, std::string* error);

}  // namespace vop
