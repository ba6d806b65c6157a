// The shapes of a slide as a person checks them: one line per shape with
// its name, box in points, fill, outline, font and text, read from the
// slide's XML.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include <pugixml.hpp>

namespace vop::test {

struct ShapeFact {
  bool is_line = false;
  std::string name;
  double left = 0, top = 0, width = 0, height = 0;
  std::string fill, outline;  // "RRGGBB", "" when none
  double outline_weight = 0;
  std::string font, font_colour, align, anchor, wrap;
  double font_size = 0;
  double inset = -1;  // -1: none given
  std::string text;
};

inline double points(const pugi::xml_attribute& a) { return a.as_llong() / 12700.0; }

// A length as the golden files write it: at most three decimals.
inline std::string pt(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.3f", v);
  std::string s = buf;
  while (!s.empty() && s.back() == '0') s.pop_back();
  if (!s.empty() && s.back() == '.') s.pop_back();
  return s == "-0" ? "0" : s;
}

inline std::vector<ShapeFact> slide_facts(const std::string& xml) {
  std::vector<ShapeFact> out;
  pugi::xml_document doc;
  if (!doc.load_buffer(xml.data(), xml.size())) return out;
  for (pugi::xml_node n : doc.child("p:sld").child("p:cSld").child("p:spTree").children()) {
    const std::string tag = n.name();
    if (tag != "p:sp" && tag != "p:cxnSp") continue;
    ShapeFact f;
    f.is_line = tag == "p:cxnSp";
    f.name = n.first_child().child("p:cNvPr").attribute("name").value();
    const pugi::xml_node sp = n.child("p:spPr");
    const pugi::xml_node xfrm = sp.child("a:xfrm");
    f.left = points(xfrm.child("a:off").attribute("x"));
    f.top = points(xfrm.child("a:off").attribute("y"));
    f.width = points(xfrm.child("a:ext").attribute("cx"));
    f.height = points(xfrm.child("a:ext").attribute("cy"));
    f.fill = sp.child("a:solidFill").child("a:srgbClr").attribute("val").value();
    f.outline = sp.child("a:ln").child("a:solidFill").child("a:srgbClr").attribute("val").value();
    f.outline_weight = points(sp.child("a:ln").attribute("w"));
    const pugi::xml_node body = n.child("p:txBody");
    if (body) {
      const pugi::xml_node pr = body.child("a:bodyPr");
      f.anchor = pr.attribute("anchor").value();
      f.wrap = pr.attribute("wrap").value();
      if (pr.attribute("lIns")) f.inset = points(pr.attribute("lIns"));
      const pugi::xml_node p = body.child("a:p");
      f.align = p.child("a:pPr").attribute("algn").value();
      // The run's properties, or the paragraph end's when there is no text.
      pugi::xml_node rpr = p.child("a:r").child("a:rPr");
      if (!rpr) rpr = p.child("a:endParaRPr");
      f.font = rpr.child("a:latin").attribute("typeface").value();
      f.font_size = rpr.attribute("sz").as_double() / 100;
      f.font_colour = rpr.child("a:solidFill").child("a:srgbClr").attribute("val").value();
      for (pugi::xml_node para : body.children("a:p")) {
        if (para != p) f.text += "\n";
        for (pugi::xml_node r : para.children("a:r")) f.text += r.child_value("a:t");
      }
    }
    out.push_back(f);
  }
  return out;
}

// One line: name | box | fill | outline weight | font size colour align
// inset | text. Lines: name | line x1 y1 x2 y2 | colour weight.
inline std::string fact_line(const ShapeFact& f) {
  if (f.is_line)
    return f.name + " | line " + pt(f.left) + " " + pt(f.top) + " " + pt(f.width) + " " + pt(f.height) + " | " +
           f.outline + " " + pt(f.outline_weight);
  return f.name + " | " + pt(f.left) + " " + pt(f.top) + " " + pt(f.width) + " " + pt(f.height) + " | fill " +
         f.fill + " | line " + f.outline + " " + pt(f.outline_weight) + " | " + f.font + " " + pt(f.font_size) + " " +
         f.font_colour + " " + f.align + " inset " + pt(f.inset) + " | " + f.text;
}

inline const ShapeFact* find_shape(const std::vector<ShapeFact>& facts, const std::string& name) {
  for (const ShapeFact& f : facts)
    if (f.name == name) return &f;
  return nullptr;
}

}  // namespace vop::test
