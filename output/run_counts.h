// The table and chart counts of a redirected run, and the installation
// identifier stamped into every document the program writes.
//
// Outside a redirected run both counts are -1; arming a redirect sets the
// table count to 0 and every table written to the file adds one. Each new
// count is shown through `show` (the desktop program's counts dialog; the
// headless runner's progress line).
#pragma once

#include <functional>
#include <string>

namespace vop {

// Fields of the counts dialog that show the two counts.
inline constexpr int kTableCountField = 1002;
inline constexpr int kChartCountField = 1003;

struct RunCounts {
  int tables = -1;  // tables written to the redirect file; -1 = not redirected
  int charts = -1;  // charts placed in the chart document; -1 = none open
  std::function<void(int field, int count)> show;  // displays a new count; may be empty

  // One more table written to a file; nothing outside a redirected run.
  void add_table();
  // The run's redirect has been saved: back to "no redirected run".
  void finish() { tables = charts = -1; }
};

// A display for `RunCounts::show` that keeps one progress line on stderr
// when stderr is a terminal, and shows nothing otherwise.
std::function<void(int field, int count)> stderr_progress();

// A short text fixed for the life of the process, made from the host name
// and the program version: the same for every document written by one run
// of the program.
const std::string& installation_id();

}  // namespace vop
