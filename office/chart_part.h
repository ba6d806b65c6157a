// A chart as the parts of an Office package: the DrawingML chart XML and
// the workbook embedded beside it that holds its data (what Word's "Edit
// Data" opens). The document writers place the parts; this file only draws.
//
// The chart shows the table as an analyst reads it: one category per data
// row (labelled by its row label), one bar series per shown data column
// (named by its column headings); a pie shows the first shown column. The
// values are the numbers the cell texts begin with; a text that begins
// with no number is a gap.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "document/chart.h"

namespace vop {

struct ChartPart {
  std::string chart_xml;               // word/charts/chartN.xml (c:chartSpace)
  // The embedded .xlsx with the chart's data; empty when it could not be
  // written, and then the chart XML names no c:externalData (the writer
  // adds no relationship).
  std::vector<uint8_t> workbook;
  // The relationship id the chart XML uses for the embedded workbook
  // (c:externalData r:id); the writer adds that relationship.
  std::string workbook_rel_id = "rId1";
};

// Draws `chart` (labels converted for `language`: 1 EN, 2 SR, 3 MK).
ChartPart render_chart(const ChartRequest& chart, int language);

// `chart_xml` (a chart part) for a frame of `width` x `height` points: a
// pie whose plot area has a manual layout gets it again for that size (a
// square of half the smaller side, in the middle), so that a pie moved
// into a frame of other proportions stays round and in proportion. Other
// charts, and text that is no chart, come back unchanged.
std::string fit_pie_to_frame(const std::string& chart_xml, double width, double height);

// The chart palette: the classic 56 colours of Office charts, index 1..56,
// as "RRGGBB"; an index outside gives black.
inline constexpr int kChartPaletteSize = 56;
std::string chart_palette_rgb(int index);

// The number format of the values shown: "0", or 0 and the unit in quotes.
std::string chart_number_format(char unit);

}  // namespace vop
