// What a redirected run accumulates for the document written after it: the
// RTF colour table, the Excel palette and classes, and the run's counts.
#pragma once

#include "output/excel_styles.h"
#include "output/rtf_document.h"
#include "output/run_counts.h"

namespace vop {

struct DocumentState {
  RtfColourTable rtf_colours;  // colours the RTF table fragments name
  ExcelStyles excel;           // palette, classes and widest table of HTML tables
  RunCounts counts;            // tables (and charts) written in this run
};

}  // namespace vop
