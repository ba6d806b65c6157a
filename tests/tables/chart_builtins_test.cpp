// The chart builtins in a run exported to Word with charts: the checks of
// each argument, the request each chart becomes, the placeholders in the
// document's text and the run's chart count; and in every other run, no
// effect at all.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script_run.h"

namespace vop {
namespace {

using test::ScriptRun;

// A run armed as "Output results in Word format with charts" arms it: the
// RTF redirect file, and the chart document receiving the charts.
struct ChartRun : ScriptRun {
  ChartRun() {
    EXPECT_TRUE(redirect(false));
    interp.extension<SessionSettings>().word_with_charts = true;
    out.attach_word(&charts);
  }
  std::vector<ChartRequest> requests() const {
    std::vector<ChartRequest> got;
    for (const OutputEvent& e : charts.events)
      if (const auto* b = std::get_if<ChartBlock>(&e)) got.push_back(b->chart);
    return got;
  }
  RecordingConsumer charts;
};

constexpr const char* kSingle = "{\\s0\\qc\\f0\\fs16 [KIFARG]\\par\\par}";

TEST(ChartBuiltins, WithoutChartsTheyDoNothingAndEvaluateNothing) {
  for (const char* name : {"chartBar", "lchartBar", "rchartBar", "chartPie", "lchartPie", "rchartPie"}) {
    const std::string call = std::string(name) + "(nosuch, 1, 2, 3, 4, 5, 6, 7, 8, 9)";
    ScriptRun window;
    EXPECT_EQ(window.run(call), 0) << call;
    EXPECT_EQ(window.window.shown, "");

    ScriptRun word;  // Word without charts
    ASSERT_TRUE(word.redirect(false));
    EXPECT_EQ(word.run(call), 0) << call;
    EXPECT_EQ(word.file(), "");
    EXPECT_EQ(word.out.documents().counts.charts, -1);
  }
}

TEST(ChartBuiltins, EachArgumentIsCheckedInOrder) {
  struct Case {
    const char* call;
    int code;
  };
  const Case cases[] = {
      {"chartBar()", 81},
      {"chartBar([\"1\"], [], [], [], [], [], [], [], [])", 82},
      {"chartBar(nosuch)", 96},
      // 1: the data are texts.
      {"chartBar([1 2])", 64},
      {"chartBar(1, nosuch)", 64},  // checked before the next is evaluated
      // 2: one row label per data row.
      {"chartBar([\"1\" \"2\"], [\"a\"; \"b\"])", 70},
      {"chartBar([\"1\"; \"2\"], [\"a\" \"b\"; \"c\" \"d\"])", 70},
      {"chartBar([\"1\"; \"2\"], [1; 2])", 64},
      {"chartBar([\"1\"; \"2\"], [1 2 3])", 70},
      // 3: one column label per data column, any number of levels.
      {"chartBar([\"1\" \"2\"], [\"a\"], [\"x\"])", 70},
      {"chartBar([\"1\" \"2\"], [\"a\"], [1 2])", 64},
      // 4: data-sheet settings are numbers.
      {"chartBar([\"1\"], [\"a\"], [\"x\"], [\"s\"])", 63},
      // 5: data columns 1..C.
      {"chartBar([\"1\" \"2\"], [], [], [], [\"1\"])", 63},
      {"chartBar([\"1\" \"2\"], [], [], [], [1 3])", 68},
      {"chartBar([\"1\" \"2\"], [], [], [], [0])", 68},
      // 6: a palette colour 1..56 per data row.
      {"chartBar([\"1\"; \"2\"], [], [], [], [], [\"r\"])", 63},
      {"chartBar([\"1\"; \"2\"], [], [], [], [], [3])", 70},
      {"chartBar([\"1\"; \"2\"], [], [], [], [], [3 57])", 68},
      {"chartBar([\"1\"; \"2\"], [], [], [], [], [0 3])", 68},
      // 7: height and width.
      {"chartBar([\"1\"], [], [], [], [], [], [\"200\" \"300\"])", 63},
      {"chartBar([\"1\"], [], [], [], [], [], [200 300 400])", 55},
      {"chartBar([\"1\"], [], [], [], [], [], [200])", 55},
      {"chartBar([\"1\"], [], [], [], [], [], [-200 300])", 68},
      {"chartBar([\"1\"], [], [], [], [], [], [NaN 300])", 68},
      // 8: the unit.
      {"chartBar([\"1\"], [], [], [], [], [], [], 37)", 64},
      {"chartBar([\"1\"], [], [], [], [], [], [], [\"%\" \"%\"])", 55},
  };
  for (const Case& k : cases) {
    ChartRun run;
    EXPECT_EQ(run.run(k.call), k.code) << k.call;
    EXPECT_TRUE(run.requests().empty()) << k.call;
    EXPECT_EQ(run.out.documents().counts.charts, 0) << k.call;
    EXPECT_EQ(run.file().find("KIFARG"), std::string::npos) << k.call;
  }
}

TEST(ChartBuiltins, TheRequestCarriesTheTableAndTheSettings) {
  ChartRun run;
  ASSERT_EQ(run.run("chartPie([\"12\" \"30%\"; \"7\" \"~\"], [\"men\"; \"|\"], "
                    "[\"Sex\" \"~\"; \"yes\" \"no\"], [1 2; 3 4], [2 1], [3; 56.9], "
                    "[100.5 200], [\"%x\"])"),
            0);
  const std::vector<ChartRequest> got = run.requests();
  ASSERT_EQ(got.size(), 1u);
  const ChartRequest& c = got[0];
  EXPECT_EQ(c.kind, ChartKind::Pie);
  EXPECT_EQ(c.placement, ChartPlacement::Single);
  EXPECT_EQ(c.table.shape, (TableShape{2, 2, 2, 1}));
  EXPECT_FALSE(c.table.numeric());
  // Texts row by row; the merge marks name nothing.
  EXPECT_EQ(c.table.cell_text(0, 0), "12");
  EXPECT_EQ(c.table.cell_text(0, 1), "30%");
  EXPECT_EQ(c.table.cell_text(1, 0), "7");
  EXPECT_EQ(c.table.cell_text(1, 1), "");
  EXPECT_EQ(c.table.row_labels, (std::vector<std::string>{"men", ""}));
  EXPECT_EQ(c.table.col_labels, (std::vector<std::string>{"Sex", "", "yes", "no"}));
  EXPECT_EQ(c.sheet_settings, (std::vector<double>{1, 3, 2, 4}));  // as stored, column by column
  EXPECT_EQ(c.data_columns, (std::vector<int>{2, 1}));
  EXPECT_EQ(c.row_colours, (std::vector<int>{3, 56}));  // truncated
  EXPECT_EQ(c.height, 100.5);
  EXPECT_EQ(c.width, 200);
  EXPECT_EQ(c.unit, '%');
  EXPECT_EQ(c.number, 1);
}

TEST(ChartBuiltins, AbsentAndEmptyArgumentsGiveTheDefaults) {
  ChartRun run;
  ASSERT_EQ(run.run("chartBar([\"1\" \"2\"]); "
                    "chartBar([\"1\" \"2\"], [], zeros(0, 3), [], [], [], [], [\"\"])"),
            0);
  const std::vector<ChartRequest> got = run.requests();
  ASSERT_EQ(got.size(), 2u);
  for (const ChartRequest& c : got) {
    EXPECT_EQ(c.kind, ChartKind::Bar);
    EXPECT_EQ(c.table.shape, (TableShape{1, 2, 0, 0}));
    EXPECT_TRUE(c.table.row_labels.empty());
    EXPECT_TRUE(c.table.col_labels.empty());
    EXPECT_TRUE(c.data_columns.empty());
    EXPECT_TRUE(c.row_colours.empty());
    EXPECT_EQ(c.height, 215);
    EXPECT_EQ(c.width, 350);
    EXPECT_EQ(c.unit, 0);
  }
}

TEST(ChartBuiltins, PlaceholdersMarkWhereEachChartStands) {
  ChartRun run;
  ASSERT_EQ(run.run("printf(\"before\\n\"); chartBar([\"1\"]); lchartBar([\"1\"]); rchartPie([\"2\"]); "
                    "printf(\"after\\n\")"),
            0);
  const std::string pair =
      "{\\trowd\\trqc\\trgaph108\n"
      "\\clbrdrt\\brdrs\\brdrw15\\brdrcf1\n\\clbrdrl\\brdrs\\brdrw15\\brdrcf1\n"
      "\\clbrdrb\\brdrs\\brdrw15\\brdrcf1\n\\clbrdrr\\brdrs\\brdrw15\\brdrcf1\n"
      "\\cellx7740\n"
      "\\clbrdrt\\brdrs\\brdrw15\\brdrcf1\n\\clbrdrl\\brdrs\\brdrw15\\brdrcf1\n"
      "\\clbrdrb\\brdrs\\brdrw15\\brdrcf1\n\\clbrdrr\\brdrs\\brdrw15\\brdrcf1\n"
      "\\cellx15480\n"
      "\\intbl{\\s0\\qc\\f0\\fs16 [KIFARG]\\cell}{\\s0\\qc\\f0\\fs16 [KIFARG]\\cell}\\row}\n\n"
      "{\\s0\\ql\\f0\\fs16\\par }\n";
  EXPECT_EQ(run.file(), "{\\s0\\ql\\f0\\fs16 before\n\\par}\n" + std::string(kSingle) + pair +
                            "{\\s0\\ql\\f0\\fs16 after\n\\par}\n");

  const std::vector<ChartRequest> got = run.requests();
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0].placement, ChartPlacement::Single);
  EXPECT_EQ(got[1].placement, ChartPlacement::PairLeft);
  EXPECT_EQ(got[2].placement, ChartPlacement::PairRight);
  EXPECT_EQ(got[2].kind, ChartKind::Pie);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(got[size_t(k)].number, k + 1);
  EXPECT_EQ(run.out.documents().counts.charts, 3);
  // The window sees the count go up with each chart.
  int last = -1;
  for (const OutputEvent& e : run.window.events)
    if (const auto* u = std::get_if<CountsUpdate>(&e)) last = u->charts;
  EXPECT_EQ(last, 3);
}

}  // namespace
}  // namespace vop
