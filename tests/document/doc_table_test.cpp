// The document model on its own (this program links nothing else): spans
// of merged headings and body cells, and the accessors renderers use.
#include "document/doc_table.h"

#include <gtest/gtest.h>

#include <cmath>

#include "document/output_event.h"

namespace vop {
namespace {

// Two heading levels over three columns, two row-heading levels over three
// rows, and a string body: labels row by row.
DocTable merged_table() {
  DocTable t;
  t.shape = {3, 3, 2, 2};
  t.col_labels = {"Gender", "~", "Age",  //
                  "M", "F", "|"};
  t.row_labels = {"North", "City",  //
                  "|", "Town",      //
                  "Total", "~"};
  t.cells = {DocCell("a"), DocCell("~"), DocCell("b"),  //
             DocCell(), DocCell("|"), DocCell("c"),     //
             DocCell("~"), DocCell("d"), DocCell("~")};
  return t;
}

TEST(DocTable, SpansFollowTheMergeMarks) {
  const DocTable t = merged_table();
  // Element r + c * rows.
  const auto heads = t.col_label_spans();
  EXPECT_EQ(heads[0], (LabelSpan{1, 2, false, false}));   // "Gender" over two columns
  EXPECT_EQ(heads[2], (LabelSpan{1, 1, true, false}));    // its "~"
  EXPECT_EQ(heads[4], (LabelSpan{2, 1, false, false}));   // "Age" down two levels
  EXPECT_EQ(heads[5], (LabelSpan{1, 1, true, false}));    // its "|"
  const auto rows = t.row_label_spans();
  EXPECT_EQ(rows[0], (LabelSpan{2, 1, false, false}));    // "North" over two rows
  EXPECT_EQ(rows[1], (LabelSpan{1, 1, true, false}));
  EXPECT_EQ(rows[2], (LabelSpan{1, 2, false, false}));    // "Total" across both levels
  // The body merges only to the right; "|" and a leading "~" stand alone.
  const auto body = t.body_spans();
  EXPECT_EQ(body[0], (LabelSpan{1, 2, false, false}));    // "a" widened by "~"
  EXPECT_EQ(body[3], (LabelSpan{1, 1, true, false}));
  EXPECT_EQ(body[4], (LabelSpan{1, 1, false, false}));    // "|" is no merge in the body
  EXPECT_TRUE(body[2].orphan);                            // "~" with nothing to its left
  EXPECT_EQ(body[5], (LabelSpan{1, 2, false, false}));    // "d" widened by "~"
}

TEST(DocTable, CellsLabelsColoursAndBordersByPosition) {
  DocTable t = merged_table();
  EXPECT_EQ(t.grid_rows(), 5);
  EXPECT_EQ(t.grid_cols(), 5);
  EXPECT_EQ(t.cell_text(0, 2), "b");
  EXPECT_EQ(t.cell_text(1, 0), "");  // absent
  EXPECT_TRUE(std::isnan(t.number(0, 0)));
  EXPECT_EQ(t.row_label(1, 1), "Town");
  EXPECT_EQ(t.col_label(1, 0), "M");
  EXPECT_FALSE(t.text_colour(0, 0));
  EXPECT_FALSE(t.has_h_borders());
  EXPECT_FALSE(t.h_border(3));

  t.back_colours.assign(25, std::nullopt);
  t.back_colours[2 * 5 + 3] = 255;  // grid row 2, column 3
  t.h_borders = {std::nullopt, 3, 0, 1, 2, std::nullopt};
  EXPECT_EQ(t.back_colour(2, 3), Colour(255));
  EXPECT_FALSE(t.back_colour(3, 2));
  EXPECT_EQ(t.h_border(1), 3);
  EXPECT_FALSE(t.h_border(5));
  EXPECT_TRUE(t.has_h_borders());
  EXPECT_FALSE(t.has_v_borders());
}

TEST(DocTable, HeadingFormatsByLevel) {
  EXPECT_EQ(heading_text_format(1), TextFormat::Heading1);
  EXPECT_EQ(heading_text_format(5), TextFormat::Heading5);
  EXPECT_EQ(heading_text_format(0), TextFormat::Heading5);
  EXPECT_EQ(heading_text_format(7), TextFormat::Heading5);
  EXPECT_EQ(heading_level(TextFormat::Heading3), 3);
  EXPECT_EQ(heading_level(TextFormat::ErrorCaption), 0);
  EXPECT_EQ(heading_level(TextFormat::Plain), 0);
}

TEST(RecordingConsumer, KeepsEveryEventAndTheShownText) {
  RecordingConsumer r;
  r.text(TextFormat::Plain, "a");
  r.text(TextFormat::Plain, "b");
  r.consume(TableBlock{merged_table(), "T\n"});
  r.consume(CountsUpdate{1, -1});
  EXPECT_EQ(r.shown, "abT\n");
  ASSERT_EQ(r.events.size(), 4u);  // not merged
  EXPECT_EQ(std::get<TableBlock>(r.events[2]).table, merged_table());
}

}  // namespace
}  // namespace vop
