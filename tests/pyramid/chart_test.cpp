// Pyramids on a slide, checked shape by shape in the slide's XML: bars
// with their values inside or beside them, conversion ratios in both
// places, the optimal pyramid, bands below the slide's edge, the palette,
// and a whole slide against a golden list checked by hand.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "companions/pyramid/pyramid_chart.h"
#include "companions/pyramid/pyramid_table.h"
#include "file_text.h"
#include "office/package_reader.h"
#include "slide_facts.h"

namespace vop::pyramid {
namespace {

using test::find_shape;
using test::ShapeFact;
using test::slide_facts;

// Shapes of a slide drawn from tab-separated text with the palette from 0.
std::vector<ShapeFact> draw(const std::string& tsv, Options o = {}, int start = 0) {
  Presentation p;
  const int slide = p.insert_slide(0, Presentation::Layout::Blank);
  const Table t = parse_delimited(tsv, '\t');
  EXPECT_EQ(check_table(t), "");
  draw_pyramids(p, slide, t, o, start);
  return slide_facts(p.slide_xml(slide));
}

// The shape, which must be there.
const ShapeFact& shape(const std::vector<ShapeFact>& f, const std::string& name) {
  static const ShapeFact none;
  const ShapeFact* s = find_shape(f, name);
  EXPECT_NE(s, nullptr) << name;
  return s ? *s : none;
}

void expect_box(const ShapeFact& s, double left, double top, double width, double height) {
  EXPECT_NEAR(s.left, left, 1e-4) << s.name;
  EXPECT_NEAR(s.top, top, 1e-4) << s.name;
  EXPECT_NEAR(s.width, width, 1e-4) << s.name;
  EXPECT_NEAR(s.height, height, 1e-4) << s.name;
}

TEST(PyramidBars, SixteenFitsItsValueFifteenHasItBeside) {
  // Palette 0 for the first pyramid, 1 for the second.
  const auto f = draw("Bought\t16\t15\n\tP\tQ\n");
  const ShapeFact& in = shape(f, "r1c2");
  expect_box(in, 95 + (85 - 13.6) / 2, 70, 13.6, 25.875);
  EXPECT_EQ(in.text, "16");
  EXPECT_EQ(in.fill, "052C55");
  EXPECT_EQ(in.outline, "052C55");
  EXPECT_EQ(in.font_colour, "FFFFFF");
  EXPECT_EQ(in.align, "ctr");
  EXPECT_EQ(in.font_size, 8);
  EXPECT_DOUBLE_EQ(in.inset, 1.5);
  EXPECT_EQ(find_shape(f, "r1c2a"), nullptr);

  EXPECT_EQ(find_shape(f, "r1c3"), nullptr);
  const ShapeFact& bar = shape(f, "r1c3a");
  expect_box(bar, 185 + (85 - 12.75) / 2, 70, 12.75, 25.875);
  EXPECT_EQ(bar.text, "");
  EXPECT_EQ(bar.fill, "074685");
  const ShapeFact& beside = shape(f, "r1c3b");
  expect_box(beside, 185 + (85 - 12.75) / 2 - 20, 70, 20, 25.875);
  EXPECT_EQ(beside.text, "15");
  EXPECT_EQ(beside.align, "r");
  EXPECT_EQ(beside.fill, "FFFFFF");
  EXPECT_EQ(beside.outline, "FFFFFF");
  EXPECT_EQ(beside.font_colour, "052C55");  // text beside bars, palette 1

  // The names: levels at the left, pyramids under their columns.
  const ShapeFact& level = shape(f, "r1c1");
  expect_box(level, 5, 70, 85, 25.875);
  EXPECT_EQ(level.text, "Bought");
  EXPECT_EQ(level.align, "l");
  EXPECT_EQ(level.font_size, 9);
  EXPECT_EQ(level.font_colour, "000000");
  const ShapeFact& name = shape(f, "r2c3");
  expect_box(name, 185, 70 + 27.875, 85, 25.875);
  EXPECT_EQ(name.text, "Q");
  EXPECT_EQ(name.align, "ctr");
}

TEST(PyramidBars, EveryShapeIsAnArialRectangleWithMiddleWrappedText) {
  const auto f = draw("A\t20\t5\nB\t40\t200\n\tP\tQ\n", {true, true});
  ASSERT_GT(f.size(), 10u);
  for (const ShapeFact& s : f) {
    if (s.is_line) continue;
    EXPECT_EQ(s.font, "Arial") << s.name;
    EXPECT_EQ(s.anchor, "ctr") << s.name;
    EXPECT_EQ(s.wrap, "square") << s.name;
    EXPECT_FALSE(s.fill.empty()) << s.name;
    EXPECT_FALSE(s.outline.empty()) << s.name;
  }
}

TEST(PyramidBars, ValuesAreRoundedAsPrintfDoesAndMayLieOutsidePercentages) {
  const auto f = draw("A\t2.5\t3.5\t120\t-10\nB\t99.5\t40.49\t130\t10\n\tP\tQ\tR\tS\n");
  EXPECT_EQ(shape(f, "r1c2b").text, "2");  // half to even, as printf rounds
  EXPECT_EQ(shape(f, "r1c3b").text, "4");
  EXPECT_EQ(shape(f, "r2c2").text, "100");
  EXPECT_EQ(shape(f, "r2c3").text, "40");
  const ShapeFact& wide = shape(f, "r1c4");
  EXPECT_EQ(wide.text, "120");
  EXPECT_NEAR(wide.width, 102, 1e-4);
  EXPECT_NEAR(wide.left, 275 - 8.5, 1e-4);
  // A negative bar has no width but keeps its value beside it.
  EXPECT_EQ(shape(f, "r1c5a").width, 0);
  EXPECT_EQ(shape(f, "r1c5b").text, "-10");
}

TEST(PyramidBars, CellsThatAreNoNumbersDrawNothing) {
  // Level B of P is text, level B of Q empty: no bar, and the ratio of
  // level C is taken to the nearest number above.
  const auto f = draw("A\t20\t10\nB\tn/a\t\nC\t80\t50\n\tP\tQ\n");
  for (const char* gone : {"r2c2", "r2c2a", "r2c2b", "r2c2k", "r2c3", "r2c3a", "r2c3k"})
    EXPECT_EQ(find_shape(f, gone), nullptr) << gone;
  EXPECT_EQ(shape(f, "r3c2k").text, "25");
  EXPECT_EQ(shape(f, "r3c3k").text, "20");
  EXPECT_EQ(find_shape(f, "r1c2k"), nullptr);  // the top level has no ratio
  // A level name that is a number is no name.
  const auto g = draw("7\t50\nB\t60\n\tP\n");
  EXPECT_EQ(find_shape(g, "r1c1"), nullptr);
  EXPECT_EQ(shape(g, "r2c1").text, "B");
}

TEST(PyramidRatios, InThePyramidNarrowBelowHundredWideFromHundred) {
  const auto f = draw("A\t50\t40\nB\t50\t20\nC\t100\t80\n\tP\tQ\n");
  const ShapeFact& hundred = shape(f, "r2c2k");
  EXPECT_EQ(hundred.text, "100");
  expect_box(hundred, 95 + 33.95, 70 + 27.875 - 2.95, 17.1, 5.9);
  EXPECT_EQ(hundred.fill, "FFFFFF");
  EXPECT_EQ(hundred.outline, "FFFFFF");
  EXPECT_DOUBLE_EQ(hundred.outline_weight, 1.5);
  EXPECT_DOUBLE_EQ(hundred.inset, 0);
  EXPECT_EQ(hundred.font_colour, "052C55");
  EXPECT_EQ(hundred.align, "ctr");
  const ShapeFact& half = shape(f, "r3c2k");
  EXPECT_EQ(half.text, "50");
  expect_box(half, 95 + 36.8, 70 + 2 * 27.875 - 2.95, 11.4, 5.9);
  const ShapeFact& above = shape(f, "r2c3k");
  EXPECT_EQ(above.text, "200");
  expect_box(above, 185 + 33.95, 70 + 27.875 - 2.95, 17.1, 5.9);
  // Just below 100 still takes the narrow box, though it shows "100".
  const auto g = draw("A\t99.8\nB\t100\n\tP\n");
  EXPECT_EQ(shape(g, "r2c2k").text, "100");
  EXPECT_NEAR(shape(g, "r2c2k").width, 11.4, 1e-4);
}

TEST(PyramidRatios, ALevelOfZeroHasNoRatio) {
  const auto f = draw("A\t20\t0\nB\t0\t0\nC\t10\t5\n\tP\tQ\n", {false, true});
  EXPECT_EQ(find_shape(f, "r2c2k"), nullptr);
  EXPECT_EQ(find_shape(f, "r2c3k"), nullptr);
  // The level below a zero: 0 of 10 converted.
  EXPECT_EQ(shape(f, "r3c2k").text, "0");
  for (const ShapeFact& s : f) {
    EXPECT_EQ(s.text.find("inf"), std::string::npos) << s.name;
    EXPECT_EQ(s.text.find("nan"), std::string::npos) << s.name;
  }
}

TEST(PyramidRatios, NextToThePyramidInOutlinedBoxes) {
  const auto f = draw("A\t30\nB\t60\n\tP\n", {true, false});
  // The pyramids move right by the width of the ratio boxes.
  const double x = 5 + 90 + 34.2;
  expect_box(shape(f, "r1c2"), x + (85 - 25.5) / 2, 70, 25.5, 25.875);
  const ShapeFact& k = shape(f, "r2c2k");
  EXPECT_EQ(k.text, "50");
  expect_box(k, x + 90, 70 + 27.875 - 3.835, 14.25, 7.67);
  EXPECT_EQ(k.fill, "FFFFFF");
  EXPECT_EQ(k.outline, "052C55");
  EXPECT_DOUBLE_EQ(k.outline_weight, 0.5);
  EXPECT_DOUBLE_EQ(k.inset, 0);
  // The second pyramid is 90 + 34.2 further.
  const auto g = draw("A\t30\t30\nB\t60\t60\n\tP\tQ\n", {true, false});
  EXPECT_NEAR(shape(g, "r2c3k").left, x + 124.2 + 90, 1e-4);
}

TEST(PyramidOptimal, BuiltFromTheBestRatiosAtTheLeft) {
  // Best bottom 100; best ratio C->B 50 (P's; Q's is 25); best B->A 100
  // (P's; Q's 200 is above 100 and does not count).
  const auto f = draw("A\t50\t40\nB\t50\t20\nC\t100\t80\n\tP\tQ\n", {false, true}, 3);
  // The data pyramids start 95 points further right.
  expect_box(shape(f, "r1c2"), 190 + (85 - 42.5) / 2, 70, 42.5, 25.875);
  expect_box(shape(f, "r1c3"), 280 + 25.5, 70, 34, 25.875);
  // The optimal pyramid is named as the column after the last, in the
  // palette entry after the data pyramids' (3 + 2 = 5).
  const ShapeFact& bottom = shape(f, "r3c4");
  expect_box(bottom, 95, 70 + 2 * 27.875, 85, 25.875);
  EXPECT_EQ(bottom.text, "100");
  EXPECT_EQ(bottom.fill, "5FACF7");  // 16231519 as red, green, blue
  const ShapeFact& middle = shape(f, "r2c4");
  EXPECT_EQ(middle.text, "50");
  expect_box(middle, 95 + 21.25, 70 + 27.875, 42.5, 25.875);
  EXPECT_EQ(shape(f, "r1c4").text, "50");
  const ShapeFact& low = shape(f, "r3c4k");
  EXPECT_EQ(low.text, "50");
  expect_box(low, 131.8, 70 + 2 * 27.875 - 2.95, 11.4, 5.9);
  const ShapeFact& high = shape(f, "r2c4k");
  EXPECT_EQ(high.text, "100");
  expect_box(high, 128.95, 70 + 27.875 - 2.95, 17.1, 5.9);
  EXPECT_EQ(find_shape(f, "r1c4k"), nullptr);

  const ShapeFact* label = nullptr;
  const ShapeFact* line = nullptr;
  for (const ShapeFact& s : f) {
    if (s.text == "Optimal") label = &s;
    if (s.is_line) line = &s;
  }
  ASSERT_NE(label, nullptr);
  expect_box(*label, 95, 70 + 3 * 27.875, 85, 25.875);
  EXPECT_EQ(label->font_size, 9);
  EXPECT_EQ(label->align, "ctr");
  ASSERT_NE(line, nullptr);
  expect_box(*line, 185, 70, 0, 3 * 27.875 + 25.875);
  EXPECT_EQ(line->outline, "ADADAD");
  EXPECT_DOUBLE_EQ(line->outline_weight, 0.5);
}

TEST(PyramidOptimal, NextToRatiosAndASmallBottom) {
  const auto f = draw("A\t5\nB\t10\n\tP\n", {true, true});
  // Best bottom 10: a bar too narrow for its value.
  const ShapeFact& bar = shape(f, "r2c3a");
  expect_box(bar, 95 + (85 - 8.5) / 2, 70 + 27.875, 8.5, 25.875);
  EXPECT_EQ(shape(f, "r2c3b").text, "10");
  EXPECT_EQ(shape(f, "r1c3b").text, "5");
  const ShapeFact& k = shape(f, "r2c3k");
  expect_box(k, 185, 70 + 27.875 - 3.835, 14.25, 7.67);
  EXPECT_EQ(k.text, "50");
  // The data pyramid: 95 + 34.2 beyond the place it has without either.
  EXPECT_NEAR(shape(f, "r1c2a").left, 224.2 + (85 - 4.25) / 2, 1e-4);
  for (const ShapeFact& s : f) {
    if (s.is_line) {
      EXPECT_NEAR(s.left, 34.2 + 185, 1e-4);
    }
  }
}

// A table of `pyramids` data columns with two levels.
std::string wide_table(int pyramids) {
  std::string a = "A", b = "B", names;
  for (int i = 0; i < pyramids; ++i) {
    a += "\t40";
    b += "\t80";
    names += "\tP" + std::to_string(i + 1);
  }
  return a + "\n" + b + "\n" + names + "\n";
}

TEST(PyramidBands, PyramidsPastTheSlideEdgeContinueBelow) {
  // 95 + k * 90 + 85 passes 720 from k = 7: the eighth pyramid (column 9)
  // starts a band 3 * 27.875 + 10 lower, at the left again.
  const auto f = draw(wide_table(9));
  expect_box(shape(f, "r1c8"), 635 + 25.5, 70, 34, 25.875);
  const double t2 = 70 + 3 * 27.875 + 10;
  expect_box(shape(f, "r1c9"), 95 + 25.5, t2, 34, 25.875);
  expect_box(shape(f, "r3c10"), 185, t2 + 2 * 27.875, 85, 25.875);
  EXPECT_NEAR(shape(f, "r2c9k").top, t2 + 27.875 - 2.95, 1e-4);
  // The level names again, unnamed.
  int named = 0, repeated = 0;
  for (const ShapeFact& s : f) {
    if (s.text != "A" && s.text != "B") continue;
    EXPECT_DOUBLE_EQ(s.left, 5);
    if (s.name == "r1c1" || s.name == "r2c1") {
      ++named;
      EXPECT_LT(s.top, t2);
    } else {
      ++repeated;
      EXPECT_GE(s.top, t2 - 1e-4);
      EXPECT_EQ(s.name.rfind("Rectangle ", 0), 0u) << s.name;
    }
  }
  EXPECT_EQ(named, 2);
  EXPECT_EQ(repeated, 2);
}

TEST(PyramidBands, TheSeparatorReachesTheLastBand) {
  // With both settings the pitch is 124.2 from 224.2: four pyramids to a
  // band, the 13 pyramids in four bands.
  const auto f = draw(wide_table(13), {true, true});
  const double step = 3 * 27.875 + 10;
  EXPECT_NEAR(shape(f, "r1c5").top, 70, 1e-4);
  EXPECT_NEAR(shape(f, "r1c6").top, 70 + step, 1e-4);
  EXPECT_NEAR(shape(f, "r1c6").left, 224.2 + 25.5, 1e-4);
  EXPECT_NEAR(shape(f, "r1c10").top, 70 + 2 * step, 1e-4);
  EXPECT_NEAR(shape(f, "r1c14").top, 70 + 3 * step, 1e-4);
  // The optimal pyramid stays in the first band.
  EXPECT_NEAR(shape(f, "r1c15").top, 70, 1e-4);
  int lines = 0;
  for (const ShapeFact& s : f)
    if (s.is_line) {
      ++lines;
      EXPECT_NEAR(s.top + s.height, 70 + 3 * step + 2 * 27.875 + 25.875, 1e-3);
    }
  EXPECT_EQ(lines, 1);
}

TEST(PyramidTables, ANameRowAloneDrawsNothingAndOversizedTablesAreRefused) {
  EXPECT_TRUE(draw("\tP\tQ\n", {true, true}).empty());
  EXPECT_EQ(check_table(parse_delimited(wide_table(31), '\t')), "");
  const std::string refused = check_table(parse_delimited(wide_table(32), '\t'));
  EXPECT_NE(refused.find("33 columns"), std::string::npos) << refused;
  EXPECT_EQ(check_table(parse_delimited(" \t \n\t\n", '\t')), kNoSelection);
  EXPECT_EQ(check_table(parse_delimited("42\n", '\t')), kNotATable);
  Presentation p;
  std::string error;
  EXPECT_FALSE(make_presentation(parse_delimited(wide_table(40), '\t'), {}, 1, "", &p, &error));
  EXPECT_NE(error.find("41 columns"), std::string::npos) << error;
  EXPECT_EQ(p.slide_count(), 0);
}

TEST(PyramidPalette, SeedFromTheClockAndStartWithinThePalette) {
  EXPECT_EQ(seed_of_time(0x12345678u), 0x56781234u);
  EXPECT_EQ(seed_of_time(0xABCD000012345678ull), 0x56781234u);  // low 32 bits only
  // Seed 12345: the generator's first draw is 7584, so a table of 4
  // columns starts at 7585 * 28 / 32768 = 6.
  EXPECT_EQ(palette_start(12345, 4), 6);
  for (uint32_t seed : {0u, 1u, 12345u, 0x7FFF0000u, 0xFFFFFFFFu}) {
    EXPECT_EQ(palette_start(seed, 32), 0);
    for (int c = 1; c <= 32; ++c) {
      EXPECT_GE(palette_start(seed, c), 0);
      EXPECT_LE(palette_start(seed, c), 32 - c);
    }
  }
  // The last entries of the three palettes, as red, green, blue.
  EXPECT_EQ(fill_colour(31), 0xD98EBEu);
  EXPECT_EQ(text_on_bar_colour(31), 0x66214Cu);
  EXPECT_EQ(text_beside_colour(31), 0x66214Cu);
  EXPECT_EQ(text_on_bar_colour(23), rgb_of_windows(1983805));
  EXPECT_EQ(text_on_bar_colour(24), 0xFFFFFFu);
  EXPECT_EQ(text_beside_colour(19), rgb_of_windows(9418));
  EXPECT_EQ(text_beside_colour(20), rgb_of_windows(1983805));
}

TEST(PyramidSlide, NewPresentationWithTheDrawingAsSlideOne) {
  const std::string dir = ::testing::TempDir() + "vop_pyramid_tpl_" + std::to_string(::getpid()) + "/";
  std::filesystem::create_directories(dir);
  Presentation base;
  base.insert_slide(0, Presentation::Layout::Title);
  base.set_first_shape_text(0, "From the template");
  std::string error;
  ASSERT_TRUE(base.save(dir + "base.pptx", &error)) << error;

  const Table t = parse_delimited("A\t50\n\tP\n", '\t');
  Presentation p;
  ASSERT_TRUE(make_presentation(t, {}, 12345, dir + "base.pptx", &p, &error)) << error;
  ASSERT_EQ(p.slide_count(), 2);
  EXPECT_NE(find_shape(slide_facts(p.slide_xml(0)), "r1c2"), nullptr);
  EXPECT_NE(p.slide_xml(1).find("From the template"), std::string::npos);
  // The palette starts at 7585 * 30 / 32768 = 6 for seed 12345 and 2 columns.
  EXPECT_EQ(find_shape(slide_facts(p.slide_xml(0)), "r1c2")->fill, "8EC5F8");  // 16303502

  EXPECT_FALSE(make_presentation(t, {}, 1, dir + "missing.pptx", &p, &error));
  EXPECT_FALSE(error.empty());
  std::filesystem::remove_all(dir);
}

// The golden slide: a fixed table and seed, every shape on one line,
// checked by hand. PYRAMID_WRITE_GOLDEN=1 rewrites it.
TEST(PyramidSlide, MatchesTheGoldenSlide) {
  const std::string dir = std::string(VOP_TEST_DIR) + "/data/pyramid/";
  Table t;
  std::string error;
  ASSERT_TRUE(read_table_file(dir + "golden.tsv", &t, &error)) << error;
  Presentation p;
  ASSERT_TRUE(make_presentation(t, {false, true}, 12345, "", &p, &error)) << error;
  std::string lines;
  for (const ShapeFact& s : slide_facts(p.slide_xml(0))) lines += test::fact_line(s) + "\n";
  if (std::getenv("PYRAMID_WRITE_GOLDEN")) std::ofstream(dir + "golden_slide.txt") << lines;
  const std::string golden = test::slurp(dir + "golden_slide.txt");
  ASSERT_FALSE(golden.empty());
  std::istringstream want(golden), got(lines);
  std::string a, b;
  int n = 0;
  while (std::getline(want, a)) {
    ++n;
    ASSERT_TRUE(std::getline(got, b)) << "shape " << n << " is missing: " << a;
    EXPECT_EQ(b, a) << "shape " << n;
  }
  EXPECT_FALSE(std::getline(got, b)) << "an extra shape: " << b;
}

}  // namespace
}  // namespace vop::pyramid
