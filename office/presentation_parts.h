// The plain built-in presentation's parts, and the PresentationML names
// the presentation code shares.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vop {

inline constexpr std::string_view kRelSlide =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/slide";
inline constexpr std::string_view kRelSlideLayout =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/slideLayout";
inline constexpr std::string_view kRelSlideMaster =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/slideMaster";
inline constexpr std::string_view kRelTheme =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/theme";
inline constexpr std::string_view kRelPresProps =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/presProps";
inline constexpr std::string_view kRelViewProps =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/viewProps";
inline constexpr std::string_view kRelTableStyles =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/tableStyles";

inline constexpr std::string_view kPresentationMainType =
    "application/vnd.openxmlformats-officedocument.presentationml.presentation.main+xml";
inline constexpr std::string_view kTemplateMainType =
    "application/vnd.openxmlformats-officedocument.presentationml.template.main+xml";
inline constexpr std::string_view kSlideType = "application/vnd.openxmlformats-officedocument.presentationml.slide+xml";
inline constexpr std::string_view kSlideLayoutType =
    "application/vnd.openxmlformats-officedocument.presentationml.slideLayout+xml";
inline constexpr std::string_view kChartType = "application/vnd.openxmlformats-officedocument.drawingml.chart+xml";

struct BuiltinRel {
  std::string_view id, type;
  std::string target;  // a part name
};

struct BuiltinPart {
  std::string name;
  std::string_view content_type;
  std::string xml;
  std::vector<BuiltinRel> rels;  // the part's relationships
};

// Every part of the built-in presentation but the package's own
// relationships (the presentation and the core properties).
std::vector<BuiltinPart> builtin_presentation_parts();

}  // namespace vop
