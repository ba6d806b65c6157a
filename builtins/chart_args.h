// The chart builtins of a run exported to Word with charts (chartBar,
// lchartBar, rchartBar, chartPie, lchartPie, rchartPie): their arguments
// read into a ChartRequest, and the placeholder each chart leaves in the
// document's text where the chart will stand.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/builtin.h"
#include "document/chart.h"

namespace vop {

// Most arguments a chart builtin takes.
inline constexpr int kChartMaxArgs = 8;

// The placement a chart builtin's name asks for: "l..." opens a pair,
// "r..." closes it, any other stands alone.
ChartPlacement chart_placement(std::string_view builtin_name);

// Evaluates the call's arguments in order, each checked as it comes:
//   1 data, a string matrix R x C (a non-empty numeric one: 64)
//   2 row labels, R x 1 strings (70, 64)
//   3 column labels, h x C strings (70, 64)
//   4 data-sheet settings, numbers (63)
//   5 shown data columns, numbers 1..C (63, 68)
//   6 a palette colour 1..56 per data row (63, 70, 68)
//   7 height and width in points (63, 55; a size that is no positive
//     number up to 1584 points, the largest shape Word holds: 68)
//   8 a 1 x 1 string whose first character is the unit (64, 55)
// An argument with no rows counts as absent. None on the first failure
// (the code raised on the call's error state).
std::optional<ChartRequest> read_chart_args(Call& call, ChartKind kind);

// What the chart writes into the RTF body of the document where it is to
// stand; `white` is the RTF colour number of white (the pair's borders).
// The second chart of a pair writes nothing: its place is in the first's row.
std::string chart_placeholder(ChartPlacement placement, int white);

}  // namespace vop
