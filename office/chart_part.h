// A chart as the parts of an Office package: the DrawingML chart XML and
// the workbook embedded beside it that holds its data (what Word's "Edit
// Data" opens). The document writers place the parts; this file only draws.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "document/chart.h"

namespace vop {

struct ChartPart {
  std::string chart_xml;               // word/charts/chartN.xml (c:chartSpace)
  std::vector<uint8_t> workbook;       // the embedded .xlsx with the chart's data
  // The relationship id the chart XML uses for the embedded workbook
  // (c:externalData r:id); the writer adds that relationship.
  std::string workbook_rel_id = "rId1";
};

// Draws `chart` (labels converted for `language`: 1 EN, 2 SR, 3 MK).
ChartPart render_chart(const ChartRequest& chart, int language);

}  // namespace vop
