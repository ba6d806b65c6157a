// The table and chart counts of a redirected run, and the installation
// identifier stamped into every document the program writes.
//
// Outside a redirected run both counts are -1; arming a redirect sets the
// table count to 0 and every table written to the file adds one. The output
// stream announces each change to its consumer as a CountsUpdate (the
// desktop program's counts dialog; the headless runner's progress line).
#pragma once

#include <string>

namespace vop {

// Fields of the counts dialog that show the two counts.
inline constexpr int kTableCountField = 1002;
inline constexpr int kChartCountField = 1003;

struct RunCounts {
  int tables = -1;  // tables written to the run's document; -1 = not redirected
  int charts = -1;  // charts placed in the chart document; -1 = none open

  // One more table or chart; false (and nothing changes) outside a counted run.
  bool add_table();
  bool add_chart();
  // The run's redirect has been saved: back to "no redirected run".
  void finish() { tables = charts = -1; }
};

// A short text fixed for the life of the process, made from the host name
// and the program version: the same for every document written by one run
// of the program.
const std::string& installation_id();

}  // namespace vop
