#include "office/presentation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cctype>
#include <cstring>

#include <pugixml.hpp>

#include "office/package.h"
#include "office/package_reader.h"
#include "office/presentation_parts.h"
#include "office/xml_nodes.h"
#include "document/ascii_case.h"
#include "document/text_encoding.h"

namespace vop {

namespace {

constexpr double kEmuPerPoint = 12700;

long emu(double points) { return std::lround(points * kEmuPerPoint); }

std::string hex(uint32_t rgb) {
  char b[8];
  std::snprintf(b, sizeof b, "%06X", unsigned(rgb & 0xFFFFFFu));
  return b;
}

std::string solid(uint32_t rgb) { return "<a:solidFill><a:srgbClr val=\"" + hex(rgb) + "\"/></a:solidFill>"; }

std::string xfrm(const SlideBox& b, const char* extra = "") {
  return std::string("<a:xfrm") + extra + "><a:off x=\"" + std::to_string(emu(b.left)) + "\" y=\"" +
         std::to_string(emu(b.top)) + "\"/><a:ext cx=\"" + std::to_string(std::max(0L, emu(b.width))) +
         "\" cy=\"" + std::to_string(std::max(0L, emu(b.height))) + "\"/></a:xfrm>";
}

// A relationship target written relative to the source part's folder.
std::string relative(const std::string& source, const std::string& target) {
  const std::string from = OpcReader::folder_of(source);
  size_t common = 0;
  for (size_t i = 0; i < from.size() && i < target.size() && from[i] == target[i]; ++i)
    if (from[i] == '/') common = i + 1;
  std::string out;
  for (size_t i = common; i < from.size(); ++i)
    if (from[i] == '/') out += "../";
  return out + target.substr(common);
}

// The runs of a paragraph per line of `text`.
std::string paragraphs(const SlideShape& s) {
  const char* align = s.align == TextAlign::Centre ? "ctr" : s.align == TextAlign::Right ? "r" : "l";
  const std::string rpr = "lang=\"en-US\" sz=\"" + std::to_string(std::clamp(std::lround(s.font_size * 100), 100L, 400000L)) +
                          "\" b=\"" + (s.bold ? "1" : "0") + "\" dirty=\"0\">" + solid(s.font_colour) +
                          "<a:latin typeface=\"" + xml_escape(s.font) + "\"/><a:cs typeface=\"" + xml_escape(s.font) +
                          "\"/>";
  std::string out;
  size_t start = 0;
  do {
    size_t end = s.text.find('\n', start);
    if (end == std::string::npos) end = s.text.size();
    std::string line = s.text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out += std::string("<a:p><a:pPr algn=\"") + align + "\"/>";
    if (!line.empty()) out += "<a:r><a:rPr " + rpr + "</a:rPr><a:t>" + xml_escape(line) + "</a:t></a:r>";
    out += "<a:endParaRPr " + rpr + "</a:endParaRPr></a:p>";
    start = end + 1;
  } while (start <= s.text.size());
  return out;
}

}  // namespace

Presentation::Presentation() {
  for (BuiltinPart& p : builtin_presentation_parts()) {
    parts_[p.name] = {std::move(p.xml), std::string(p.content_type)};
    for (const BuiltinRel& r : p.rels) rels_[p.name].push_back({std::string(r.id), std::string(r.type), r.target});
  }
  main_ = "ppt/presentation.xml";
  rels_[""] = {{"rId1", std::string(kRelOfficeDocument), main_},
               {"rId2", std::string(kRelCoreProperties), "docProps/core.xml"}};
  layouts_ = {{"title", "ppt/slideLayouts/slideLayout1.xml"},
              {"titleOnly", "ppt/slideLayouts/slideLayout2.xml"},
              {"blank", "ppt/slideLayouts/slideLayout3.xml"}};
}

bool Presentation::load_template(const std::string& path, std::string* error) {
  OpcReader reader;
  if (!reader.open(path, error)) return false;
  const OpcRelationship doc = reader.relationship_of_type("", kRelOfficeDocument);
  const std::string main_type = doc.id.empty() ? std::string() : reader.content_type(doc.target);
  if (main_type != kPresentationMainType && main_type != kTemplateMainType) {
    *error = path + " is no PowerPoint presentation or template";
    return false;
  }
  std::map<std::string, Part> parts;
  std::map<std::string, std::vector<Rel>> rels;
  for (const std::string& name : reader.part_names()) {
    if (name == "[Content_Types].xml" || name.ends_with(".rels")) continue;
    Part p;
    if (!reader.read(name, &p.bytes, error)) {
      *error = path + ": " + *error;
      return false;
    }
    p.content_type = reader.content_type(name);
    parts[name] = std::move(p);
  }
  for (const std::string& source : [&] {
         std::vector<std::string> s{""};
         for (const auto& [name, part] : parts) s.push_back(name);
         return s;
       }())
    for (const OpcRelationship& r : reader.relationships(source))
      if (r.external || parts.count(r.target)) rels[source].push_back({r.id, r.type, r.target, r.external});
  parts[doc.target].content_type = std::string(kPresentationMainType);

  // The slides in their order, the slide size, the first master's layouts.
  pugi::xml_document pres;
  const std::string& pres_xml = parts[doc.target].bytes;
  if (!pres.load_buffer(pres_xml.data(), pres_xml.size())) {
    *error = path + " has a damaged presentation part";
    return false;
  }
  auto target_of = [&](const std::string& source, const char* id) -> std::string {
    for (const Rel& r : rels[source])
      if (r.id == id && !r.external) return r.target;
    return {};
  };
  const pugi::xml_node root = pres.first_child();
  std::vector<Slide> slides;
  for (pugi::xml_node id : child_local(root, "sldIdLst").children()) {
    const std::string part = target_of(doc.target, id.attribute("r:id").value());
    if (!part.empty()) slides.push_back({part, {}, 0});
  }
  double width = 720, height = 540;
  if (pugi::xml_node size = child_local(root, "sldSz")) {
    width = size.attribute("cx").as_double(width * kEmuPerPoint) / kEmuPerPoint;
    height = size.attribute("cy").as_double(height * kEmuPerPoint) / kEmuPerPoint;
  }
  std::vector<std::pair<std::string, std::string>> layouts;
  const pugi::xml_node first_master = child_local(child_local(root, "sldMasterIdLst"), "sldMasterId");
  const std::string master = target_of(doc.target, first_master.attribute("r:id").value());
  pugi::xml_document mdoc;
  if (!master.empty() && mdoc.load_buffer(parts[master].bytes.data(), parts[master].bytes.size())) {
    for (pugi::xml_node id : child_local(mdoc.first_child(), "sldLayoutIdLst").children()) {
      const std::string part = target_of(master, id.attribute("r:id").value());
      pugi::xml_document ldoc;
      if (part.empty() || !ldoc.load_buffer(parts[part].bytes.data(), parts[part].bytes.size())) continue;
      const char* type = ldoc.first_child().attribute("type").value();
      layouts.emplace_back(*type ? type : "cust", part);
    }
  }
  if (layouts.empty()) {
    *error = path + " has no slide layouts";
    return false;
  }
  parts_ = std::move(parts);
  rels_ = std::move(rels);
  main_ = doc.target;
  slides_ = std::move(slides);
  layouts_ = std::move(layouts);
  width_ = width;
  height_ = height;
  return true;
}

std::string Presentation::layout_part(Layout layout) const {
  const char* type = layout == Layout::Title ? "title" : layout == Layout::TitleOnly ? "titleOnly" : "blank";
  for (const auto& [t, part] : layouts_)
    if (t == type) return part;
  return layouts_.front().second;
}

std::string Presentation::new_part_name(std::string_view folder, std::string_view stem, std::string_view ext) const {
  for (int n = 1;; ++n) {
    std::string name = std::string(folder) + std::string(stem) + std::to_string(n) + "." + std::string(ext);
    if (!parts_.count(name)) return name;
  }
}

std::string Presentation::add_rel(const std::string& source, std::string_view type, const std::string& target) {
  std::vector<Rel>& list = rels_[source];
  for (int n = int(list.size()) + 1;; ++n) {
    std::string id = "rId" + std::to_string(n);
    if (std::none_of(list.begin(), list.end(), [&](const Rel& r) { return r.id == id; })) {
      list.push_back({id, std::string(type), target});
      return id;
    }
  }
}

int Presentation::insert_slide(int index, Layout layout) {
  index = std::clamp(index, 0, slide_count());
  const std::string layout_name = layout_part(layout);
  const std::string name = new_part_name("ppt/slides/", "slide", "xml");
  // The layout's title and text placeholders, empty, as a new slide has them.
  std::string shapes;
  int next_id = 2;
  pugi::xml_document ldoc;
  const std::string& lxml = parts_[layout_name].bytes;
  if (ldoc.load_buffer(lxml.data(), lxml.size())) {
    const pugi::xml_node tree = find_local(ldoc, "spTree");
    for (pugi::xml_node sp : tree.children()) {
      if (local_name(sp.name()) != "sp") continue;
      const pugi::xml_node ph = find_local(sp, "ph");
      if (!ph) continue;
      const std::string type = ph.attribute("type").value();
      if (type == "dt" || type == "ftr" || type == "sldNum" || type == "pic" || type == "chart" ||
          type == "tbl" || type == "clipArt" || type == "media" || type == "sldImg")
        continue;
      std::string phx = "<p:ph";
      if (!type.empty()) phx += " type=\"" + xml_escape(type) + "\"";
      if (ph.attribute("idx")) phx += std::string(" idx=\"") + xml_escape(ph.attribute("idx").value()) + "\"";
      phx += "/>";
      const pugi::xml_node cnv = find_local(sp, "cNvPr");
      const int id = next_id++;
      shapes += "<p:sp><p:nvSpPr><p:cNvPr id=\"" + std::to_string(id) + "\" name=\"" +
                xml_escape(cnv.attribute("name").value()) + "\"/><p:cNvSpPr><a:spLocks noGrp=\"1\"/></p:cNvSpPr><p:nvPr>" +
                phx + "</p:nvPr></p:nvSpPr><p:spPr/><p:txBody><a:bodyPr/><a:lstStyle/><a:p><a:endParaRPr lang=\"en-US\"/>"
                "</a:p></p:txBody></p:sp>";
    }
  }
  parts_[name] = {"<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                  "<p:sld xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\""
                  " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\""
                  " xmlns:p=\"http://schemas.openxmlformats.org/presentationml/2006/main\"><p:cSld><p:spTree>"
                  "<p:nvGrpSpPr><p:cNvPr id=\"1\" name=\"\"/><p:cNvGrpSpPr/><p:nvPr/></p:nvGrpSpPr><p:grpSpPr><a:xfrm>"
                  "<a:off x=\"0\" y=\"0\"/><a:ext cx=\"0\" cy=\"0\"/><a:chOff x=\"0\" y=\"0\"/><a:chExt cx=\"0\" cy=\"0\"/>"
                  "</a:xfrm></p:grpSpPr>" +
                      shapes + "</p:spTree></p:cSld><p:clrMapOvr><a:masterClrMapping/></p:clrMapOvr></p:sld>",
                  std::string(kSlideType)};
  rels_[name].push_back({"rId1", std::string(kRelSlideLayout), layout_name});
  slides_.insert(slides_.begin() + index, Slide{name, {}, next_id});
  return index;
}

int Presentation::take_id(int slide) {
  Slide& s = slides_[size_t(slide)];
  if (s.next_id == 0) {
    // A template's slide: past every id it uses.
    int top = 1;
    pugi::xml_document doc;
    const std::string& xml = parts_[s.part].bytes;
    if (doc.load_buffer(xml.data(), xml.size()))
      for (pugi::xpath_node n : doc.select_nodes("//*[@id]"))
        if (local_name(n.node().name()) == "cNvPr") top = std::max(top, n.node().attribute("id").as_int());
    s.next_id = top + 1;
  }
  return s.next_id++;
}

bool Presentation::set_first_shape_text(int slide, std::string_view text) {
  if (slide < 0 || slide >= slide_count()) return false;
  std::string& xml = parts_[slides_[size_t(slide)].part].bytes;
  pugi::xml_document doc;
  if (!doc.load_buffer(xml.data(), xml.size(), pugi::parse_default | pugi::parse_ws_pcdata)) return false;
  const pugi::xml_node tree = find_local(doc, "spTree");
  pugi::xml_node sp;
  for (pugi::xml_node c : tree.children())
    if (local_name(c.name()) == "sp") {
      sp = c;
      break;
    }
  if (!sp) return false;
  pugi::xml_node body = child_local(sp, "txBody");
  if (!body) return false;
  // The text replaces the paragraphs; the body's properties stay.
  std::string a = "a:";
  for (pugi::xml_node p = body.first_child(); p;) {
    pugi::xml_node next = p.next_sibling();
    if (local_name(p.name()) == "p") {
      const std::string name = p.name();
      a = name.substr(0, name.size() - 1);
      body.remove_child(p);
    }
    p = next;
  }
  size_t start = 0;
  do {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string line = clean_utf8(text.substr(start, end - start));
    std::erase_if(line, [](char c) { return static_cast<unsigned char>(c) < 0x20 && c != '\t'; });
    pugi::xml_node p = body.append_child((a + "p").c_str());
    if (!line.empty()) {
      pugi::xml_node r = p.append_child((a + "r").c_str());
      r.append_child((a + "rPr").c_str()).append_attribute("lang") = "en-US";
      r.append_child((a + "t").c_str()).text() = line.c_str();
    }
    start = end + 1;
  } while (start <= text.size());
  xml = xml_text(doc);
  return true;
}

void Presentation::add_shape(int slide, const SlideShape& s) {
  if (slide < 0 || slide >= slide_count()) return;
  const int id = take_id(slide);
  const std::string name = s.name.empty() ? std::string(s.text_box ? "TextBox " : "Rectangle ") + std::to_string(id - 1)
                                          : s.name;
  std::string x = "<p:sp><p:nvSpPr><p:cNvPr id=\"" + std::to_string(id) + "\" name=\"" + xml_escape(name) + "\"/>" +
                  (s.text_box ? "<p:cNvSpPr txBox=\"1\"/>" : "<p:cNvSpPr/>") + "<p:nvPr/></p:nvSpPr><p:spPr>" + xfrm(s.box) +
                  "<a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom>" + (s.fill ? solid(*s.fill) : "<a:noFill/>");
  if (s.line)
    x += "<a:ln w=\"" + std::to_string(emu(s.line_weight)) + "\">" + solid(*s.line) + "</a:ln>";
  else
    x += "<a:ln><a:noFill/></a:ln>";
  x += "</p:spPr><p:txBody><a:bodyPr wrap=\"";
  x += s.wrap ? "square" : "none";
  x += "\"";
  if (s.inset) {
    const std::string in = std::to_string(emu(*s.inset));
    x += " lIns=\"" + in + "\" tIns=\"" + in + "\" rIns=\"" + in + "\" bIns=\"" + in + "\"";
  }
  x += s.middle ? " anchor=\"ctr\"" : " anchor=\"t\"";
  x += " rtlCol=\"0\"><a:noAutofit/></a:bodyPr><a:lstStyle/>" + paragraphs(s) + "</p:txBody></p:sp>";
  slides_[size_t(slide)].shapes += x;
}

void Presentation::add_line(int slide, const SlideLine& l) {
  if (slide < 0 || slide >= slide_count()) return;
  const int id = take_id(slide);
  const std::string name = l.name.empty() ? "Straight Connector " + std::to_string(id - 1) : l.name;
  const SlideBox box{std::min(l.x1, l.x2), std::min(l.y1, l.y2), std::fabs(l.x2 - l.x1), std::fabs(l.y2 - l.y1)};
  std::string flips;
  if (l.x2 < l.x1) flips += " flipH=\"1\"";
  if (l.y2 < l.y1) flips += " flipV=\"1\"";
  slides_[size_t(slide)].shapes +=
      "<p:cxnSp><p:nvCxnSpPr><p:cNvPr id=\"" + std::to_string(id) + "\" name=\"" + xml_escape(name) +
      "\"/><p:cNvCxnSpPr/><p:nvPr/></p:nvCxnSpPr><p:spPr>" + xfrm(box, flips.c_str()) +
      "<a:prstGeom prst=\"line\"><a:avLst/></a:prstGeom><a:ln w=\"" + std::to_string(emu(l.weight)) + "\">" +
      solid(l.colour) + "</a:ln></p:spPr></p:cxnSp>";
}

void Presentation::add_chart(int slide, const std::string& name, SlideBox box, const ChartParts& chart) {
  if (slide < 0 || slide >= slide_count()) return;
  const std::string part = new_part_name("ppt/charts/", "chart", "xml");
  parts_[part] = {chart.xml, std::string(kChartType)};
  const std::string stem = part.substr(std::strlen("ppt/charts/"), part.size() - std::strlen("ppt/charts/") - 4);
  int k = 0;
  for (const ChartParts::Related& r : chart.related) {
    if (r.external) {
      rels_[part].push_back({r.id, r.type, r.bytes, true});
      continue;
    }
    const bool package = r.type == kRelPackage;
    const std::string target = (package ? "ppt/embeddings/" : "ppt/charts/") + stem + "_" + std::to_string(++k) +
                               "." + (r.extension.empty() ? std::string("bin") : r.extension);
    parts_[target] = {r.bytes, r.content_type};
    rels_[part].push_back({r.id, r.type, target});
  }
  const std::string rid = add_rel(slides_[size_t(slide)].part, kRelChart, part);
  const int id = take_id(slide);
  slides_[size_t(slide)].shapes +=
      "<p:graphicFrame><p:nvGraphicFramePr><p:cNvPr id=\"" + std::to_string(id) + "\" name=\"" +
      xml_escape(name.empty() ? "Chart " + std::to_string(id - 1) : name) +
      "\"/><p:cNvGraphicFramePr/><p:nvPr/></p:nvGraphicFramePr><p:xfrm><a:off x=\"" + std::to_string(emu(box.left)) +
      "\" y=\"" + std::to_string(emu(box.top)) + "\"/><a:ext cx=\"" + std::to_string(std::max(0L, emu(box.width))) +
      "\" cy=\"" + std::to_string(std::max(0L, emu(box.height))) +
      "\"/></p:xfrm><a:graphic><a:graphicData uri=\"http://schemas.openxmlformats.org/drawingml/2006/chart\">"
      "<c:chart xmlns:c=\"http://schemas.openxmlformats.org/drawingml/2006/chart\" r:id=\"" +
      rid + "\"/></a:graphicData></a:graphic></p:graphicFrame>";
}

std::string Presentation::slide_text(int slide) const {
  const Slide& s = slides_[size_t(slide)];
  std::string xml = parts_.at(s.part).bytes;
  if (s.shapes.empty()) return xml;
  const size_t end = xml.rfind("</p:spTree>");
  if (end != std::string::npos) xml.insert(end, s.shapes);
  return xml;
}

const std::string& Presentation::slide_xml(int slide) const {
  scratch_ = slide_text(slide);
  return scratch_;
}

bool Presentation::save(const std::string& path, std::string* error) const {
  OpcPackage package;
  // The slide list of the presentation part follows the slides' order.
  std::map<std::string, std::vector<Rel>> rels = rels_;
  std::vector<Rel>& main_rels = rels[main_];
  main_rels.erase(std::remove_if(main_rels.begin(), main_rels.end(), [](const Rel& r) { return r.type == kRelSlide; }),
                  main_rels.end());
  pugi::xml_document pres;
  const std::string& pres_xml = parts_.at(main_).bytes;
  if (!pres.load_buffer(pres_xml.data(), pres_xml.size())) {
    *error = "the presentation part is damaged";
    return false;
  }
  pugi::xml_node root = pres.first_child();
  const std::string prefix = [&] {
    const std::string n = root.name();
    const size_t colon = n.find(':');
    return colon == std::string::npos ? std::string() : n.substr(0, colon + 1);
  }();
  if (pugi::xml_node old = child_local(root, "sldIdLst")) root.remove_child(old);
  if (!slides_.empty()) {
    // After the masters' lists, before the slide size.
    pugi::xml_node after;
    for (const char* name : {"sldMasterIdLst", "notesMasterIdLst", "handoutMasterIdLst"})
      if (pugi::xml_node n = child_local(root, name)) after = n;
    pugi::xml_node list = after ? root.insert_child_after((prefix + "sldIdLst").c_str(), after)
                                : root.prepend_child((prefix + "sldIdLst").c_str());
    unsigned id = 256;
    for (const Slide& s : slides_) {
      std::string rid;
      for (int n = int(main_rels.size()) + 1;; ++n) {
        rid = "rId" + std::to_string(n);
        if (std::none_of(main_rels.begin(), main_rels.end(), [&](const Rel& r) { return r.id == rid; })) break;
      }
      main_rels.push_back({rid, std::string(kRelSlide), s.part});
      pugi::xml_node e = list.append_child((prefix + "sldId").c_str());
      e.append_attribute("id") = id++;
      e.append_attribute("r:id") = rid.c_str();
    }
  }
  for (const auto& [name, part] : parts_) {
    if (name == main_) continue;
    package.add_part(name, part.bytes, part.content_type);
  }
  for (size_t i = 0; i < slides_.size(); ++i)
    package.add_part(slides_[i].part, slide_text(int(i)), kSlideType);
  // A .potx is a template: PowerPoint opens it as a new, untitled
  // presentation based on it.
  package.add_part(main_, xml_text(pres),
                   ends_with_ascii_nocase(path, ".potx") ? kTemplateMainType : kPresentationMainType);
  for (const auto& [source, list] : rels)
    for (const Rel& r : list)
      package.add_relationship(source, r.type, r.external ? r.target : relative(source, r.target), r.id, r.external);
  return package.save(path, error);
}

}  // namespace vop
