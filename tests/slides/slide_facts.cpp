#include "slides/slide_facts.h"

#include <cstring>
#include <string_view>

#include <pugixml.hpp>

#include "office/package.h"
#include "office/package_reader.h"
#include "office/presentation_parts.h"

namespace vop::test {
namespace {

constexpr double kEmuPerPoint = 12700;

std::string text_of(pugi::xml_node body) {
  std::string out;
  bool first = true;
  for (pugi::xpath_node p : body.select_nodes("a:p")) {
    if (!first) out += '\n';
    first = false;
    for (pugi::xpath_node t : p.node().select_nodes(".//a:t")) out += t.node().text().get();
  }
  return out;
}

SlideBox box_of(pugi::xml_node xfrm) {
  const pugi::xml_node off = xfrm.child("a:off"), ext = xfrm.child("a:ext");
  return {off.attribute("x").as_double() / kEmuPerPoint, off.attribute("y").as_double() / kEmuPerPoint,
          ext.attribute("cx").as_double() / kEmuPerPoint, ext.attribute("cy").as_double() / kEmuPerPoint};
}

bool load(const OpcReader& r, const std::string& part, pugi::xml_document* doc, std::string* bytes) {
  std::string error;
  return r.read(part, bytes, &error) && doc->load_buffer(bytes->data(), bytes->size());
}

std::string chart_values(const OpcReader& r, const std::string& part) {
  pugi::xml_document doc;
  std::string bytes, out;
  if (!load(r, part, &doc, &bytes)) return "(unreadable)";
  for (pugi::xpath_node v : doc.select_nodes("//c:ser/c:val//c:v")) {
    if (!out.empty()) out += ',';
    out += v.node().text().get();
  }
  return out;
}

}  // namespace

std::vector<SlideFacts> read_slides(const std::string& pptx, std::string* problem) {
  std::vector<SlideFacts> out;
  OpcReader r;
  if (!r.open(pptx, problem)) return out;
  pugi::xml_document pres;
  std::string bytes;
  if (!load(r, "ppt/presentation.xml", &pres, &bytes)) {
    *problem = "no presentation part";
    return out;
  }
  const auto rels = r.relationships("ppt/presentation.xml");
  for (pugi::xml_node id : pres.child("p:presentation").child("p:sldIdLst").children("p:sldId")) {
    std::string part;
    for (const OpcRelationship& rel : rels)
      if (rel.id == id.attribute("r:id").value()) part = rel.target;
    SlideFacts f;
    pugi::xml_document layout;
    std::string layout_bytes;
    if (load(r, r.relationship_of_type(part, kRelSlideLayout).target, &layout, &layout_bytes))
      f.layout = layout.first_child().attribute("type").value();
    pugi::xml_document slide;
    if (!load(r, part, &slide, &bytes)) {
      *problem = part + " cannot be read";
      return out;
    }
    const auto slide_rels = r.relationships(part);
    bool titled = false;
    for (pugi::xml_node shape : slide.child("p:sld").child("p:cSld").child("p:spTree").children()) {
      const std::string_view name = shape.name();
      if (name == "p:sp") {
        if (shape.child("p:nvSpPr").child("p:nvPr").child("p:ph")) {
          if (!titled) f.title = text_of(shape.child("p:txBody"));
          titled = true;
          continue;
        }
        SlideFacts::TextBox t;
        t.text = text_of(shape.child("p:txBody"));
        t.box = box_of(shape.child("p:spPr").child("a:xfrm"));
        pugi::xml_node rpr = shape.select_node(".//a:rPr").node();
        t.size = rpr.attribute("sz").as_double() / 100;
        t.bold = rpr.attribute("b").as_bool();
        t.font = rpr.child("a:latin").attribute("typeface").value();
        t.align = shape.select_node(".//a:pPr").node().attribute("algn").value();
        t.wrap = shape.child("p:txBody").child("a:bodyPr").attribute("wrap").value();
        f.text_boxes.push_back(t);
      } else if (name == "p:graphicFrame") {
        SlideFacts::Chart c;
        c.box = box_of(shape.child("p:xfrm"));
        const std::string rid = shape.select_node(".//c:chart").node().attribute("r:id").value();
        for (const OpcRelationship& rel : slide_rels)
          if (rel.id == rid) c.values = chart_values(r, rel.target);
        f.charts.push_back(c);
      }
    }
    out.push_back(f);
  }
  return out;
}

std::vector<std::string> docx_chart_values(const std::string& docx) {
  std::vector<std::string> out;
  OpcReader r;
  std::string error, bytes;
  if (!r.open(docx, &error)) return out;
  pugi::xml_document doc;
  if (!load(r, "word/document.xml", &doc, &bytes)) return out;
  const auto rels = r.relationships("word/document.xml");
  for (pugi::xpath_node c : doc.select_nodes("//c:chart"))
    for (const OpcRelationship& rel : rels)
      if (rel.id == c.node().attribute("r:id").value()) out.push_back(chart_values(r, rel.target));
  return out;
}

std::string main_content_type(const std::string& package) {
  OpcReader r;
  std::string error;
  if (!r.open(package, &error)) return error;
  return r.content_type(r.relationship_of_type("", kRelOfficeDocument).target);
}

}  // namespace vop::test
