// Presentations as the companion programs build them: slides in order with
// their layouts, shapes, lines and charts in the slide XML, templates read
// back with their slides, and damaged templates refused. The packages are
// read back with the package reader and an XML parser.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "office/package.h"
#include "office/package_reader.h"
#include "office/presentation.h"
#include "office/presentation_parts.h"

namespace vop {
namespace {

namespace fs = std::filesystem;

class Pptx : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = ::testing::TempDir() + "vop_pptx_" + ::testing::UnitTest::GetInstance()->current_test_info()->name() +
           "_" + std::to_string(::getpid()) + "/";
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // The saved package's slides in presentation order, as part names.
  std::vector<std::string> slides(OpcReader& r) {
    std::vector<std::string> out;
    std::string xml, error;
    EXPECT_TRUE(r.read("ppt/presentation.xml", &xml, &error)) << error;
    pugi::xml_document doc;
    EXPECT_TRUE(doc.load_buffer(xml.data(), xml.size()));
    const auto rels = r.relationships("ppt/presentation.xml");
    for (pugi::xml_node id : doc.child("p:presentation").child("p:sldIdLst").children("p:sldId"))
      for (const OpcRelationship& rel : rels)
        if (rel.id == id.attribute("r:id").value()) out.push_back(rel.target);
    return out;
  }
  std::string layout_type(OpcReader& r, const std::string& slide) {
    const OpcRelationship rel = r.relationship_of_type(slide, kRelSlideLayout);
    std::string xml, error;
    if (!r.read(rel.target, &xml, &error)) return "(none)";
    pugi::xml_document doc;
    doc.load_buffer(xml.data(), xml.size());
    return doc.first_child().attribute("type").value();
  }
  std::string read(OpcReader& r, const std::string& part) {
    std::string xml, error;
    EXPECT_TRUE(r.read(part, &xml, &error)) << error;
    return xml;
  }
  std::string dir_;
};

TEST_F(Pptx, SlidesKeepTheirOrderAndLayouts) {
  Presentation p;
  EXPECT_EQ(p.slide_count(), 0);
  EXPECT_EQ(p.slide_width(), 720);
  p.insert_slide(0, Presentation::Layout::Blank);
  p.insert_slide(0, Presentation::Layout::Title);      // before the blank one
  p.insert_slide(1, Presentation::Layout::TitleOnly);  // between them
  p.insert_slide(99, Presentation::Layout::Blank);     // past the end: appended
  ASSERT_TRUE(p.set_first_shape_text(0, "Survey\nMay"));
  ASSERT_TRUE(p.set_first_shape_text(1, "Page"));
  EXPECT_FALSE(p.set_first_shape_text(2, "blank slides have no placeholder"));
  std::string error;
  ASSERT_TRUE(p.save(dir_ + "a.pptx", &error)) << error;

  OpcReader r;
  ASSERT_TRUE(r.open(dir_ + "a.pptx", &error)) << error;
  const std::vector<std::string> order = slides(r);
  ASSERT_EQ(order.size(), 4u);
  EXPECT_EQ(layout_type(r, order[0]), "title");
  EXPECT_EQ(layout_type(r, order[1]), "titleOnly");
  EXPECT_EQ(layout_type(r, order[2]), "blank");
  EXPECT_EQ(layout_type(r, order[3]), "blank");
  for (const std::string& s : order) EXPECT_EQ(r.content_type(s), kSlideType);
  const std::string title = read(r, order[0]);
  EXPECT_NE(title.find("<a:t>Survey</a:t>"), std::string::npos) << title;
  EXPECT_NE(title.find("<a:t>May</a:t>"), std::string::npos);
  EXPECT_NE(title.find("type=\"ctrTitle\""), std::string::npos);
  EXPECT_NE(title.find("type=\"subTitle\""), std::string::npos);
}

TEST_F(Pptx, ShapesLinesAndChartsAreWrittenAsGiven) {
  Presentation p;
  const int s = p.insert_slide(0, Presentation::Layout::Blank);
  SlideShape r;
  r.name = "r1c2";
  r.box = {100, 70, 85, 25.875};
  r.fill = 0x1F4E79;
  r.line = 0x1F4E79;
  r.line_weight = 1.5;
  r.text = "42 & <more>";
  r.font = "Arial";
  r.font_size = 8;
  r.font_colour = 0xFFFFFF;
  r.align = TextAlign::Centre;
  r.inset = 1.5;
  r.middle = true;
  p.add_shape(s, r);
  SlideShape empty;
  empty.text_box = true;
  empty.box = {0, 0, 10, 10};
  p.add_shape(s, empty);
  p.add_line(s, {"sep", 300, 400, 300, 70, 0xADADAD, 0.5});
  ChartParts chart;
  chart.xml = "<c:chartSpace xmlns:c=\"http://schemas.openxmlformats.org/drawingml/2006/chart\"/>";
  chart.related.push_back({"rId7", std::string(kRelPackage),
                           "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet", "xlsx", "PKbytes"});
  p.add_chart(s, "", {11, 135, 335, 335}, chart);

  const std::string xml = p.slide_xml(s);
  EXPECT_NE(xml.find("name=\"r1c2\""), std::string::npos);
  EXPECT_NE(xml.find("<a:off x=\"1270000\" y=\"889000\"/><a:ext cx=\"1079500\" cy=\"328613\"/>"), std::string::npos)
      << xml;
  EXPECT_NE(xml.find("<a:ln w=\"19050\"><a:solidFill><a:srgbClr val=\"1F4E79\"/>"), std::string::npos);
  EXPECT_NE(xml.find("lIns=\"19050\" tIns=\"19050\" rIns=\"19050\" bIns=\"19050\" anchor=\"ctr\""), std::string::npos);
  EXPECT_NE(xml.find("<a:pPr algn=\"ctr\"/>"), std::string::npos);
  EXPECT_NE(xml.find("sz=\"800\""), std::string::npos);
  EXPECT_NE(xml.find("<a:t>42 &amp; &lt;more&gt;</a:t>"), std::string::npos);
  EXPECT_NE(xml.find("<p:cNvSpPr txBox=\"1\"/>"), std::string::npos);
  EXPECT_NE(xml.find("<a:noFill/><a:ln><a:noFill/></a:ln>"), std::string::npos);
  // The line runs upwards: drawn from its lower end, flipped.
  EXPECT_NE(xml.find("<a:xfrm flipV=\"1\"><a:off x=\"3810000\" y=\"889000\"/><a:ext cx=\"0\" cy=\"4191000\"/>"),
            std::string::npos);
  // Shape ids are unique on the slide.
  pugi::xml_document doc;
  ASSERT_TRUE(doc.load_buffer(xml.data(), xml.size()));
  std::vector<int> ids;
  for (pugi::xpath_node n : doc.select_nodes("//p:cNvPr")) ids.push_back(n.node().attribute("id").as_int());
  std::sort(ids.begin(), ids.end());
  EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end());

  std::string error;
  ASSERT_TRUE(p.save(dir_ + "s.pptx", &error)) << error;
  OpcReader in;
  ASSERT_TRUE(in.open(dir_ + "s.pptx", &error)) << error;
  const std::string slide = slides(in).at(0);
  const OpcRelationship c = in.relationship_of_type(slide, kRelChart);
  ASSERT_FALSE(c.id.empty());
  EXPECT_EQ(in.content_type(c.target), kChartType);
  EXPECT_NE(read(in, slide).find("r:id=\"" + c.id + "\""), std::string::npos);
  // The chart keeps the id its XML uses for the workbook.
  const OpcRelationship book = in.relationship_of_type(c.target, kRelPackage);
  EXPECT_EQ(book.id, "rId7");
  EXPECT_EQ(read(in, book.target), "PKbytes");
}

TEST_F(Pptx, ATemplateBringsItsSlidesAndLayouts) {
  Presentation made;
  made.insert_slide(0, Presentation::Layout::Title);
  made.insert_slide(1, Presentation::Layout::Blank);
  made.set_first_shape_text(0, "Template title");
  std::string error;
  ASSERT_TRUE(made.save(dir_ + "t.pptx", &error)) << error;

  Presentation p;
  ASSERT_TRUE(p.load_template(dir_ + "t.pptx", &error)) << error;
  EXPECT_EQ(p.slide_count(), 2);
  EXPECT_TRUE(p.set_first_shape_text(0, "Survey"));
  // A new slide before the template's last one, and a shape on a slide
  // the template brought.
  p.insert_slide(p.slide_count() - 1, Presentation::Layout::TitleOnly);
  SlideShape late;
  late.name = "late";
  late.box = {1, 2, 3, 4};
  p.add_shape(2, late);
  ASSERT_TRUE(p.save(dir_ + "out.pptx", &error)) << error;

  OpcReader r;
  ASSERT_TRUE(r.open(dir_ + "out.pptx", &error)) << error;
  const std::vector<std::string> order = slides(r);
  ASSERT_EQ(order.size(), 3u);
  EXPECT_EQ(layout_type(r, order[1]), "titleOnly");
  EXPECT_EQ(layout_type(r, order[2]), "blank");
  EXPECT_NE(read(r, order[0]).find("<a:t>Survey</a:t>"), std::string::npos);
  EXPECT_EQ(read(r, order[0]).find("Template title"), std::string::npos);
  EXPECT_NE(read(r, order[2]).find("name=\"late\""), std::string::npos);
  EXPECT_EQ(r.content_type("ppt/presentation.xml"), kPresentationMainType);
}

TEST_F(Pptx, APotxIsSavedAsATemplateAndReadBackAsAPresentation) {
  Presentation made;
  made.insert_slide(0, Presentation::Layout::Title);
  std::string error;
  ASSERT_TRUE(made.save(dir_ + "plain.POTX", &error)) << error;
  OpcReader r;
  ASSERT_TRUE(r.open(dir_ + "plain.POTX", &error)) << error;
  EXPECT_EQ(r.content_type("ppt/presentation.xml"), kTemplateMainType);

  Presentation p;
  ASSERT_TRUE(p.load_template(dir_ + "plain.POTX", &error)) << error;
  ASSERT_TRUE(p.save(dir_ + "new.pptx", &error)) << error;
  OpcReader back;
  ASSERT_TRUE(back.open(dir_ + "new.pptx", &error)) << error;
  EXPECT_EQ(back.content_type("ppt/presentation.xml"), kPresentationMainType);
}

TEST_F(Pptx, WhatIsNoPresentationIsRefusedAndChangesNothing) {
  std::ofstream(dir_ + "text.pptx") << "not a zip";
  Presentation p;
  std::string error;
  EXPECT_FALSE(p.load_template(dir_ + "text.pptx", &error));
  EXPECT_NE(error.find("no Office Open XML package"), std::string::npos) << error;
  EXPECT_FALSE(p.load_template(dir_ + "missing.potx", &error));
  // A package of another kind.
  OpcPackage other;
  other.add_part("word/document.xml", std::string("<w:document/>"),
                 "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml");
  other.add_relationship("", kRelOfficeDocument, "word/document.xml");
  ASSERT_TRUE(other.save(dir_ + "doc.pptx", &error)) << error;
  EXPECT_FALSE(p.load_template(dir_ + "doc.pptx", &error));
  EXPECT_NE(error.find("no PowerPoint presentation"), std::string::npos) << error;
  EXPECT_EQ(p.slide_count(), 0);
  p.insert_slide(0, Presentation::Layout::Title);
  EXPECT_TRUE(p.save(dir_ + "still.pptx", &error)) << error;
}

TEST(PackageReader, TargetsResolveWithinThePackage) {
  EXPECT_EQ(OpcReader::resolve("ppt/slides/", "../media/a.png"), "ppt/media/a.png");
  EXPECT_EQ(OpcReader::resolve("ppt/slides/", "/ppt/x.xml"), "ppt/x.xml");
  EXPECT_EQ(OpcReader::resolve("", "word/./document.xml"), "word/document.xml");
  EXPECT_EQ(OpcReader::resolve("word/", "../../etc/passwd"), "");
}

}  // namespace
}  // namespace vop
