// Word documents into slides, read back from the written package: the
// title, sections and pages, the base line, which charts go where in both
// modes, the pages that get no slide, the plain presentation, and damaged
// input that leaves no file behind.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "companions/slides/converter.h"
#include "document/output_event.h"
#include "file_text.h"
#include "office/docx_writer.h"
#include "office/package_reader.h"
#include "slides/slide_facts.h"

namespace vop {
namespace {

namespace fs = std::filesystem;
using test::SlideFacts;

std::vector<OutputEvent> heading(int level, const std::string& text) {
  return {TextRun{heading_text_format(level), text}, TextRun{TextFormat::Plain, "\n"}};
}
OutputEvent chart(ChartPlacement where, std::vector<std::string> values) {
  ChartRequest c;
  c.kind = ChartKind::Bar;
  c.placement = where;
  c.table.shape = {int(values.size()), 1, 0, 1};
  for (std::string& v : values) {
    c.table.row_labels.push_back("row " + v);
    c.table.cells.emplace_back(std::move(v));
  }
  return ChartBlock{c};
}
OutputEvent table() {
  DocTable t;
  t.shape = {1, 1, 1, 1};
  t.cells = {DocCell(std::string("42%"))};
  t.row_labels = {"Total"};
  t.col_labels = {"Share"};
  return TableBlock{t, ""};
}
void add(std::vector<OutputEvent>* to, std::vector<OutputEvent> more) {
  for (OutputEvent& e : more) to->push_back(std::move(e));
}

void expect_box(const SlideBox& got, const SlideBox& want) {
  EXPECT_NEAR(got.left, want.left, 0.01);
  EXPECT_NEAR(got.top, want.top, 0.01);
  EXPECT_NEAR(got.width, want.width, 0.01);
  EXPECT_NEAR(got.height, want.height, 0.01);
}

class Slides : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = ::testing::TempDir() + "vop_slides_" + ::testing::UnitTest::GetInstance()->current_test_info()->name() +
           "_" + std::to_string(::getpid()) + "/";
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    syntax_ = std::string(VOP_SOURCE_DIR) + "/Syntax";
    ASSERT_TRUE(read_chart_config(syntax_ + "/chart.cfg", &config_, &error_)) << error_;
  }
  void TearDown() override { fs::remove_all(dir_); }

  // `events` as Vop's Word document.
  std::string docx(const std::vector<OutputEvent>& events, const std::string& name = "in.docx") {
    fs::copy_file(syntax_ + "/VopEN.xml", dir_ + "VopEN.xml", fs::copy_options::overwrite_existing);
    DocxOptions options;
    options.template_path = dir_ + "VopEN.xml";
    EXPECT_TRUE(write_docx(dir_ + name, events, options, &error_)) << error_;
    return dir_ + name;
  }
  // A copy of a package with `old` replaced by `now` in one part, or the
  // part left out when `old` is empty.
  std::string patched(const std::string& from, const std::string& part, const std::string& old,
                      const std::string& now) {
    const std::string to = from + ".patched.docx";
    const std::string py =
        "import sys, zipfile\n"
        "src, dst, part, old, new = sys.argv[1:]\n"
        "zin = zipfile.ZipFile(src)\n"
        "with zipfile.ZipFile(dst, 'w', zipfile.ZIP_DEFLATED) as zout:\n"
        "    for i in zin.infolist():\n"
        "        data = zin.read(i.filename)\n"
        "        if i.filename == part:\n"
        "            if not old: continue\n"
        "            assert old.encode() in data\n"
        "            data = data.replace(old.encode(), new.encode(), 1)\n"
        "        zout.writestr(i, data)\n";
    std::ofstream(dir_ + "patch.py") << py;
    const std::string cmd = "/usr/bin/python3 '" + dir_ + "patch.py' '" + from + "' '" + to + "' '" + part + "' '" +
                            old + "' '" + now + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
    return to;
  }
  std::vector<SlideFacts> convert(const std::string& in, SlideOptions options = {}) {
    const std::string out = dir_ + "out.pptx";
    fs::remove(out);
    EXPECT_TRUE(convert_document(in, out, config_, syntax_, options, &error_)) << error_;
    std::string problem;
    std::vector<SlideFacts> slides = test::read_slides(out, &problem);
    EXPECT_EQ(problem, "");
    return slides;
  }
  std::vector<std::string> titles(const std::vector<SlideFacts>& slides) {
    std::vector<std::string> out;
    for (const SlideFacts& s : slides) out.push_back(s.title);
    return out;
  }
  // Fails, with a message, and writes nothing.
  std::string refused(const std::string& in) {
    const std::string out = dir_ + "refused.pptx";
    std::string error;
    EXPECT_FALSE(convert_document(in, out, config_, syntax_, {}, &error));
    EXPECT_FALSE(fs::exists(out));
    for (const auto& e : fs::directory_iterator(dir_)) EXPECT_EQ(e.path().string().find("refused"), std::string::npos);
    EXPECT_FALSE(error.empty());
    return error;
  }

  std::string dir_, syntax_, error_;
  ChartConfig config_;
};

TEST_F(Slides, ADocumentWithoutPagesGivesOnlyTheTitle) {
  std::vector<OutputEvent> e;
  add(&e, heading(1, "Annual report"));
  add(&e, heading(2, "A section with no pages"));
  e.push_back(chart(ChartPlacement::Single, {"1", "2"}));
  const std::vector<SlideFacts> s = convert(docx(e), {true, false});
  // The template's title slide, with the title, and its closing slide.
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(s[0].title, "Annual report");
  EXPECT_EQ(s[1].title, "Thank you");
  EXPECT_TRUE(s[0].charts.empty());
}

TEST_F(Slides, SectionsComeBeforeTheirPagesAndPagesNeedCharts) {
  std::vector<OutputEvent> e;
  add(&e, heading(1, "Survey"));
  add(&e, heading(2, "Usage"));
  add(&e, heading(3, "Table only"));
  e.push_back(table());
  add(&e, heading(5, "Base: all"));
  add(&e, heading(2, "Opinions"));
  add(&e, heading(2, "Second section in a row"));
  add(&e, heading(3, "One chart"));
  e.push_back(table());
  add(&e, heading(5, "Base: users"));
  e.push_back(chart(ChartPlacement::Single, {"12", "30"}));
  add(&e, heading(4, "A level-4 heading stays inside the page"));
  add(&e, heading(2, "A section after the last page"));
  const std::string in = docx(e);

  std::vector<SlideFacts> s = convert(in);
  EXPECT_EQ(titles(s), (std::vector<std::string>{"Survey", "Usage", "Opinions", "Second section in a row",
                                                 "One chart", "Thank you"}));
  EXPECT_EQ(s[1].layout, "title");
  EXPECT_EQ(s[4].layout, "titleOnly");
  ASSERT_EQ(s[4].charts.size(), 1u);
  expect_box(s[4].charts[0].box, config_.chart1of1);
  EXPECT_EQ(s[4].charts[0].values, "12,30");
  ASSERT_EQ(s[4].text_boxes.size(), 1u);
  const SlideFacts::TextBox& base = s[4].text_boxes[0];
  EXPECT_EQ(base.text, "Base: users");
  expect_box(base.box, config_.base);
  EXPECT_EQ(base.size, 8);
  EXPECT_FALSE(base.bold);
  EXPECT_EQ(base.font, "Calibri");
  EXPECT_EQ(base.wrap, "square");

  // With the option the page of a table gets its slide too, base line
  // and all; styles may be named by their ids as well.
  config_.style_head3 = "Heading3";
  s = convert(in, {true, false});
  EXPECT_EQ(titles(s), (std::vector<std::string>{"Survey", "Usage", "Table only", "Opinions",
                                                 "Second section in a row", "One chart", "Thank you"}));
  EXPECT_TRUE(s[2].charts.empty());
  ASSERT_EQ(s[2].text_boxes.size(), 1u);
  EXPECT_EQ(s[2].text_boxes[0].text, "Base: all");
}

TEST_F(Slides, TwoChartsOfAPageGoSideBySideAndFurtherOnesAreLeftOut) {
  std::vector<OutputEvent> e;
  add(&e, heading(3, "Three charts"));
  e.push_back(chart(ChartPlacement::PairLeft, {"1", "2"}));
  e.push_back(chart(ChartPlacement::PairRight, {"3", "4"}));
  e.push_back(chart(ChartPlacement::Single, {"5", "6"}));
  add(&e, heading(3, "A pair"));
  e.push_back(chart(ChartPlacement::PairLeft, {"7"}));
  e.push_back(chart(ChartPlacement::PairRight, {"8"}));
  const std::vector<SlideFacts> s = convert(docx(e));
  ASSERT_EQ(s.size(), 4u);
  ASSERT_EQ(s[1].charts.size(), 2u);
  expect_box(s[1].charts[0].box, config_.chart1of2);
  expect_box(s[1].charts[1].box, config_.chart2of2);
  EXPECT_EQ(s[1].charts[0].values, "1,2");
  EXPECT_EQ(s[1].charts[1].values, "3,4");
  ASSERT_EQ(s[2].charts.size(), 2u);  // the pair sits in a table
  EXPECT_EQ(s[2].charts[0].values, "7");
  EXPECT_EQ(s[2].charts[1].values, "8");
  EXPECT_EQ(s[2].title, "A pair");
}

TEST_F(Slides, TwoHeaderModePutsThePageHeadingInATextBox) {
  std::vector<OutputEvent> e;
  add(&e, heading(1, "Survey"));
  add(&e, heading(3, "Alone"));
  add(&e, heading(5, "Base: all"));
  e.push_back(chart(ChartPlacement::Single, {"9"}));
  add(&e, heading(3, "Pair"));
  e.push_back(chart(ChartPlacement::PairLeft, {"1"}));
  e.push_back(chart(ChartPlacement::PairRight, {"2"}));
  const std::vector<SlideFacts> s = convert(docx(e), {false, true});
  ASSERT_EQ(s.size(), 4u);
  EXPECT_EQ(s[0].title, "Survey");
  EXPECT_EQ(s[1].title, "");  // the slide title stays empty
  ASSERT_EQ(s[1].text_boxes.size(), 2u);
  const SlideFacts::TextBox& head = s[1].text_boxes[0];
  EXPECT_EQ(head.text, "Alone");
  expect_box(head.box, config_.st);
  EXPECT_EQ(head.size, 18);
  EXPECT_FALSE(head.bold);
  EXPECT_TRUE(head.align.empty() || head.align == "l") << head.align;
  EXPECT_EQ(s[1].text_boxes[1].text, "Base: all");
  expect_box(s[1].text_boxes[1].box, config_.base_st);
  ASSERT_EQ(s[1].charts.size(), 1u);
  expect_box(s[1].charts[0].box, config_.chart1of1_st);
  ASSERT_EQ(s[2].charts.size(), 2u);
  expect_box(s[2].charts[0].box, config_.chart1of2_st);
  expect_box(s[2].charts[1].box, config_.chart2of2_st);
  EXPECT_EQ(s[2].text_boxes.size(), 1u);  // the heading; no base line on this page
}

TEST_F(Slides, APageWhoseFirstObjectIsNoChartGetsASlideWithoutCharts) {
  std::vector<OutputEvent> e;
  add(&e, heading(3, "Picture first"));
  e.push_back(chart(ChartPlacement::Single, {"1"}));
  add(&e, heading(3, "Chart first"));
  e.push_back(chart(ChartPlacement::Single, {"2"}));
  const std::string in = docx(e);
  // An old-style picture before the first page's chart.
  const std::string with_picture =
      patched(in, "word/document.xml", "<w:t xml:space=\"preserve\">Picture first</w:t>",
              "<w:t xml:space=\"preserve\">Picture first</w:t></w:r><w:r><w:pict/>");
  const std::vector<SlideFacts> s = convert(with_picture);
  ASSERT_EQ(s.size(), 4u) << error_;
  EXPECT_EQ(s[1].title, "Picture first");
  EXPECT_TRUE(s[1].charts.empty());
  ASSERT_EQ(s[2].charts.size(), 1u);
  EXPECT_EQ(s[2].charts[0].values, "2");
}

TEST_F(Slides, ThePlainPresentationKeepsTheSlidesInOrder) {
  std::vector<OutputEvent> e;
  add(&e, heading(1, "Title"));
  add(&e, heading(3, "First"));
  e.push_back(chart(ChartPlacement::Single, {"1"}));
  add(&e, heading(3, "Second"));
  e.push_back(chart(ChartPlacement::Single, {"2"}));
  config_.template_name.clear();
  // Line breaks that end a paragraph are no part of its text.
  const std::string in = patched(docx(e), "word/document.xml", "Title</w:t>", "Title</w:t><w:br/><w:cr/><w:br/>");
  const std::vector<SlideFacts> s = convert(in);
  EXPECT_EQ(titles(s), (std::vector<std::string>{"Title", "First", "Second"}));
  EXPECT_EQ(s[0].layout, "title");
}

TEST_F(Slides, WhatCannotBeReadIsRefusedAndNothingIsWritten) {
  std::ofstream(dir_ + "text.docx") << "plain text, no package";
  EXPECT_NE(refused(dir_ + "text.docx").find("text.docx"), std::string::npos);
  EXPECT_NE(refused(dir_ + "missing.docx").find("missing.docx"), std::string::npos);
  // A presentation is no Word document.
  EXPECT_NE(refused(syntax_ + "/VopSlides.potx").find("no Word document"), std::string::npos);

  std::vector<OutputEvent> e;
  add(&e, heading(3, "Page"));
  e.push_back(chart(ChartPlacement::Single, {"1"}));
  const std::string in = docx(e);
  EXPECT_NE(refused(patched(in, "word/charts/chart1.xml", "", "")).find("chart"), std::string::npos);
  EXPECT_NE(refused(patched(in, "word/charts/chart1.xml", "<c:chartSpace", "<c:chartSpace <")).find("chart"),
            std::string::npos);
  EXPECT_NE(refused(patched(in, "word/document.xml", "<w:body>", "<w:body><")).find("damaged"), std::string::npos);

  config_.template_name = "missing.potx";
  EXPECT_NE(refused(in).find("template"), std::string::npos);
  std::ofstream(dir_ + "bad.potx") << "PK no zip";
  config_.template_name = "bad.potx";
  std::string error;
  EXPECT_FALSE(convert_document(in, dir_ + "refused.pptx", config_, dir_, {}, &error));
  EXPECT_FALSE(fs::exists(dir_ + "refused.pptx"));
}

// The fuzz target's seeds convert; what it once found is refused in
// order (or converts), never a crash.
TEST_F(Slides, SeedsAndFuzzFindsConvertOrAreRefused) {
  EXPECT_EQ(convert(std::string(VOP_TEST_DIR) + "/data/docx/pages_and_pairs.docx").size(), 5u);
  EXPECT_EQ(convert(std::string(VOP_TEST_DIR) + "/data/docx/no_charts.docx", {true, false}).size(), 3u);
  const fs::path finds = std::string(VOP_TEST_DIR) + "/fuzz_regressions/tesvin_fuzz";
  if (!fs::is_directory(finds)) return;
  for (const auto& e : fs::directory_iterator(finds)) {
    std::string error;
    if (!convert_document(e.path().string(), dir_ + "f.pptx", config_, syntax_, {}, &error)) {
      EXPECT_FALSE(error.empty()) << e.path();
    }
  }
}

// LibreOffice's .docx of a .doc has charts whose workbooks are missing:
// the charts come with their values, without the reference to the
// workbook.
TEST_F(Slides, AChartWithoutItsWorkbookKeepsItsValues) {
  std::vector<OutputEvent> e;
  add(&e, heading(3, "Page"));
  e.push_back(chart(ChartPlacement::Single, {"4", "2"}));
  const std::string in = patched(docx(e), "word/embeddings/Microsoft_Excel_Worksheet1.xlsx", "", "");
  const std::vector<SlideFacts> s = convert(in);
  ASSERT_EQ(s.size(), 3u) << error_;
  ASSERT_EQ(s[1].charts.size(), 1u);
  EXPECT_EQ(s[1].charts[0].values, "4,2");
  OpcReader r;
  std::string error, xml;
  ASSERT_TRUE(r.open(dir_ + "out.pptx", &error)) << error;
  ASSERT_TRUE(r.read("ppt/charts/chart1.xml", &xml, &error)) << error;
  EXPECT_EQ(xml.find("externalData"), std::string::npos);
  EXPECT_TRUE(r.relationships("ppt/charts/chart1.xml").empty());
}

TEST_F(Slides, BinaryWordDocumentsAreRecognised) {
  EXPECT_TRUE(is_binary_word("/x/Report.DOC"));
  std::ofstream(dir_ + "renamed.docx") << std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) << "rest";
  EXPECT_TRUE(is_binary_word(dir_ + "renamed.docx"));
  std::vector<OutputEvent> e;
  add(&e, heading(3, "Page"));
  EXPECT_FALSE(is_binary_word(docx(e)));
}

TEST_F(Slides, WithoutLibreOfficeADocIsRefusedPlainly) {
  const char* path = std::getenv("PATH");
  const std::string saved = path ? path : "";
  ::setenv("PATH", dir_.c_str(), 1);
  std::string docx, error;
  const bool ok = doc_to_docx(dir_ + "old.doc", dir_ + "work", &docx, &error);
  ::setenv("PATH", saved.c_str(), 1);
  EXPECT_FALSE(ok);
  EXPECT_NE(error.find("Only Word documents in the .docx format"), std::string::npos) << error;
}

}  // namespace
}  // namespace vop
