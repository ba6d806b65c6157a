// ChartRequest: a chart that a script asks for in a run exported to Word
// with charts. The chart shows the rows of a table (the cell texts as the
// script formatted them, with its row and column labels) as clustered
// horizontal bars or as a pie.
#pragma once

#include <vector>

#include "document/doc_table.h"

namespace vop {

enum class ChartKind : unsigned char {
  Bar,  // clustered horizontal bars, with a legend
  Pie,  // a pie without a legend, its plot half the smaller chart side
};

// Where the chart goes on the page: alone and centred, or as one of a pair
// shown side by side (the left one opens the pair, the right one fills it).
enum class ChartPlacement : unsigned char { Single, PairLeft, PairRight };

// A chart without a size of its own, in points.
inline constexpr double kChartHeight = 215;
inline constexpr double kChartWidth = 350;

struct ChartRequest {
  ChartKind kind = ChartKind::Bar;                        // bar or pie
  ChartPlacement placement = ChartPlacement::Single;      // alone or half of a pair
  DocTable table;                    // the data: body texts, row labels, column labels
  std::vector<double> sheet_settings;  // data-sheet settings of the chart, as given; empty: none
  std::vector<int> data_columns;     // 1-based body columns shown; empty: all
  std::vector<int> row_colours;      // palette index 1..56 of each data row's point; empty: chart's own
  double height = kChartHeight;      // points
  double width = kChartWidth;        // points
  char unit = 0;                     // shown after each value ('%' gives the format 0"%"); 0: none
  int number = 0;                    // the run's chart count with this chart (1 = the first)

  bool operator==(const ChartRequest&) const = default;
};

}  // namespace vop
