// WriteTable: the checks in their order, and the choice of target.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "output/run_counts.h"
#include "output/save_document.h"
#include "table_helpers.h"
#include "file_text.h"

namespace vop {
namespace {

using test::slurp;

using test::nums;
using test::Redirected;
using test::strs;

// A 2 x 2 numeric body under one heading level with one row-heading level:
// a 3 x 3 grid.
struct Parts {
  Matrix data = nums(2, 2, {1, 2, 3, 4});
  Matrix rows = strs(2, 1, {"a", "b"});
  Matrix cols = strs(1, 2, {"x", "y"});
  Matrix colours = Matrix::numbers(3, 3);
  Matrix h_borders = Matrix::numbers(4, 1);
  Matrix v_borders = Matrix::numbers(1, 4);
  TableParts all() {
    return {&data, &rows, &cols, &colours, &colours, &h_borders, &v_borders};
  }
};

int check(const TableParts& parts) {
  ErrorState err;
  const bool ok = CheckTable(parts, err).has_value();
  EXPECT_EQ(ok, err.code() == 0);
  return err.code();
}

TEST(WriteTable, ChecksInOrderWithTheirCodes) {
  Parts p;
  EXPECT_EQ(check(p.all()), 0);

  struct Case {
    const char* what;      // the fault
    void (*spoil)(Parts&);
    int code;              // expected error code
  };
  const Case cases[] = {
      {"row headings of the wrong height", [](Parts& q) { q.rows = strs(3, 1, {"a", "b", "c"}); }, 70},
      {"numeric row headings", [](Parts& q) { q.rows = nums(2, 1, {1, 2}); }, 64},
      {"column headings of the wrong width", [](Parts& q) { q.cols = strs(1, 1, {"x"}); }, 70},
      {"numeric column headings", [](Parts& q) { q.cols = nums(1, 2, {1, 2}); }, 64},
      {"colours of the wrong size", [](Parts& q) { q.colours = Matrix::numbers(2, 2); }, 70},
      {"string colours", [](Parts& q) { q.colours = strs(3, 3, {"","","","","","","","",""}); }, 63},
      {"too few horizontal borders", [](Parts& q) { q.h_borders = Matrix::numbers(1, 3); }, 70},
      {"string horizontal borders", [](Parts& q) { q.h_borders = strs(2, 2, {"", "", "", ""}); }, 63},
      {"too many vertical borders", [](Parts& q) { q.v_borders = Matrix::numbers(5, 1); }, 70},
      {"string vertical borders", [](Parts& q) { q.v_borders = strs(4, 1, {"", "", "", ""}); }, 63},
      // The first failure wins: sizes of the headings before their type,
      // headings before colours.
      {"numeric row headings of the wrong height", [](Parts& q) { q.rows = nums(3, 1, {1, 2, 3}); }, 70},
      {"bad row headings and bad colours",
       [](Parts& q) { q.rows = nums(2, 1, {1, 2}); q.colours = Matrix::numbers(1, 1); }, 64},
  };
  for (const Case& c : cases) {
    Parts q;
    c.spoil(q);
    EXPECT_EQ(check(q.all()), c.code) << c.what;
  }
}

TEST(WriteTable, EmptyPartsCountAsAbsentAndBordersTakeAnyShape) {
  Parts p;
  Matrix empty;
  Matrix no_rows = Matrix::strings(0, 4);
  // Headings without rows add no levels; then colours fit a 2 x 2 grid.
  Matrix small = Matrix::numbers(2, 2);
  Matrix three = Matrix::numbers(3, 1);
  EXPECT_EQ(check({&p.data, &no_rows, &empty, &small, &empty, &three, &three}), 0);
  Matrix square = Matrix::numbers(2, 2);  // four borders as a 2 x 2 matrix
  EXPECT_EQ(check({&p.data, &p.rows, &p.cols, &empty, &empty, &square, &square}), 0);
}

TEST(WriteTable, AnAbsentPartEndsTheList) {
  Parts p;
  Matrix wrong = Matrix::numbers(7, 7);
  // The colours after the missing column headings are not looked at.
  EXPECT_EQ(check({&p.data, &p.rows, nullptr, &wrong}), 0);
  EXPECT_EQ(check({nullptr, &p.rows}), kErrMissingArgs);
}

TEST(WriteTable, AFailedCheckWritesNothing) {
  Parts p;
  Matrix wrong = Matrix::numbers(2, 3);
  Redirected r(false);
  EXPECT_EQ(r.write({&p.data, &p.rows, &p.cols, &wrong}), "");
  EXPECT_EQ(r.err.code(), 70);
  EXPECT_EQ(r.out.documents().counts.tables, 0);
  EXPECT_EQ(r.out.documents().rtf_colours.colours().size(), 1u);  // not even the border colours
}

// Records what the window displays were asked to show.
struct WindowCalls {
  std::vector<std::string> calls;
  WindowTableDisplay display{
      [this](const Matrix& m, const Matrix* rl, const Matrix* cl, OutputSink& out) {
        calls.push_back("tabbed " + std::to_string(m.rows()) + (rl ? " rows" : "") +
                        (cl ? " cols" : ""));
        out.WriteText("T");
      },
      [this](const Matrix& m, bool header, OutputSink& out) {
        calls.push_back("plain " + std::to_string(m.rows()) + (header ? " header" : ""));
        out.WriteText("P");
      }};
};

TEST(WriteTable, TheWindowShowsDataAndHeadingsThroughTheDisplay) {
  WindowCalls w;
  Parts p;
  Matrix empty;
  OutputStream out;
  RecordingConsumer window;
  out.set_consumer(&window);
  ErrorState err;
  WriteTable(out, p.all(), err, w.display);
  WriteTable(out, {&p.data, &empty, &p.cols}, err, w.display);
  WriteTable(out, {&p.data}, err, w.display);
  WriteTable(out, {&p.data, &empty, &empty, &p.colours}, err, w.display);  // 2 x 2 grid: wrong size
  EXPECT_EQ(err.code(), 70);
  EXPECT_EQ(w.calls, (std::vector<std::string>{"tabbed 2 rows cols", "tabbed 2 cols", "plain 2"}));
  EXPECT_EQ(window.shown, "TTP");
  // Each table is one block: the whole table, and the display's text of it.
  ASSERT_EQ(window.events.size(), 3u);
  const auto& first = std::get<TableBlock>(window.events[0]);
  EXPECT_EQ(first.plain_text, "T");
  EXPECT_EQ(first.table.shape, (TableShape{2, 2, 1, 1}));
  EXPECT_EQ(first.table.number(1, 0), 3);
  EXPECT_EQ(first.table.text_colours.size(), 9u);
  EXPECT_EQ(std::get<TableBlock>(window.events[1]).table.shape, (TableShape{2, 2, 1, 0}));
  EXPECT_EQ(out.documents().counts.tables, -1);  // no redirected run

  // Any other sink is a window too.
  StringSink sink;
  ErrorState err2;
  WriteTable(sink, {&p.data}, err2, w.display);
  EXPECT_EQ(sink.text, "P");
}

TEST(WriteTable, EveryTableWrittenToAFileCountsAndIsShown) {
  Parts p;
  RecordingConsumer window;
  Redirected r(true);
  r.out.set_consumer(&window);
  EXPECT_EQ(r.out.documents().counts.tables, 0);
  r.write(p.all());
  Matrix none = Matrix::numbers(0, 2);
  r.write({&none});  // "[]" is no table
  r.write(p.all());
  EXPECT_EQ(r.out.documents().counts.tables, 2);
  EXPECT_EQ(window.events, (std::vector<OutputEvent>{CountsUpdate{1, -1}, CountsUpdate{2, -1}}));
  r.out.finish_counts();
  EXPECT_EQ(r.out.documents().counts.tables, -1);
}

TEST(WriteTable, AWordDocumentGetsTheTableBlockAndTheCountRises) {
  WindowCalls w;
  Parts p;
  OutputStream out;
  RecordingConsumer window, word;
  out.set_consumer(&window);
  out.attach_word(&word);
  ErrorState err;
  WriteTable(out, p.all(), err, w.display);
  Matrix none = Matrix::numbers(0, 2);
  WriteTable(out, {&none}, err, w.display);
  ASSERT_EQ(word.events.size(), 2u);
  const DocTable& t = std::get<TableBlock>(word.events[0]).table;
  EXPECT_EQ(t.shape, (TableShape{2, 2, 1, 1}));
  EXPECT_EQ(t.row_label(1, 0), "b");
  EXPECT_EQ(t.col_label(0, 1), "y");
  EXPECT_EQ(word.events[1], OutputEvent(TextRun{TextFormat::Plain, "[]\n"}));
  EXPECT_EQ(out.documents().counts.tables, 1);
  EXPECT_EQ(window.events.back(), OutputEvent(CountsUpdate{1, 0}));
}

// During a redirected run an attached document gets every table as a block
// besides the file's fragment, and the table counts once.
TEST(WriteTable, ADocumentAttachedToARedirectedRunGetsTheTablesToo) {
  for (bool html : {false, true}) {
    WindowCalls w;
    Parts p;
    Redirected r(html);
    RecordingConsumer word;
    r.out.attach_word(&word);
    WriteTable(r.out, p.all(), r.err, w.display);
    Matrix none = Matrix::numbers(0, 2);
    WriteTable(r.out, {&none}, r.err, w.display);
    EXPECT_NE(r.out.redirect()->contents().find(html ? "<TABLE" : "\\trowd"), std::string::npos);
    ASSERT_EQ(word.events.size(), 2u) << html;
    const auto& block = std::get<TableBlock>(word.events[0]);
    EXPECT_EQ(block.table.shape, (TableShape{2, 2, 1, 1}));
    EXPECT_EQ(block.plain_text, "T");
    EXPECT_EQ(word.events[1], OutputEvent(TextRun{TextFormat::Plain, "[]\n"}));
    EXPECT_EQ(r.out.documents().counts.tables, 1);
  }
}

// Values outside the model (negative or huge colours and codes, huge
// numbers) still give a table, under the sanitizers too.
TEST(WriteTable, ValuesOutsideTheModelStillWriteATable) {
  Parts p;
  p.data = nums(2, 2, {1e300, -1e300, INFINITY, NAN});
  Matrix body = strs(2, 2, {"##", "~", "|", "#"});
  Matrix colours = nums(3, 3, {-1, 1e300, -1e300, 16777216, 2.5, NAN, INFINITY, 0, 7});
  Matrix h = nums(4, 1, {-3, 1e20, -1e20, 4});
  Matrix v = nums(1, 4, {99, -1, 2.9, NAN});
  for (bool html : {false, true}) {
    for (Matrix* d : {&p.data, &body}) {
      Redirected r(html);
      EXPECT_FALSE(r.write({d, &p.rows, &p.cols, &colours, &colours, &h, &v}).empty());
      EXPECT_EQ(r.err.code(), 0);
    }
  }
}

TEST(SaveRedirectDocument, WritesTheDocumentOfTheRedirectKindAndEndsTheRun) {
  const std::string dir = ::testing::TempDir();
  for (bool html : {false, true}) {
    const std::string path = dir + (html ? "vop_save_test.xls" : "vop_save_test.rtf");
    Parts p;
    Redirected r(html);
    r.write(p.all());
    ASSERT_TRUE(SaveRedirectDocument(r.out, path));
    const std::string doc = slurp(path);
    EXPECT_TRUE(doc.starts_with(html ? "<html" : "{\\rtf1")) << html;
    EXPECT_NE(doc.find(installation_id()), std::string::npos);
    EXPECT_EQ(r.out.redirect(), nullptr);
    EXPECT_EQ(r.out.documents().counts.tables, -1);
    std::remove(path.c_str());
  }
}

TEST(SaveRedirectDocument, AFailedSaveLeavesTheOldFile) {
  Redirected r(false);
  EXPECT_FALSE(SaveRedirectDocument(r.out, "/nonexistent-dir/x.rtf"));
  OutputStream idle;
  EXPECT_FALSE(SaveRedirectDocument(idle, ::testing::TempDir() + "never.rtf"));
}

}  // namespace
}  // namespace vop
