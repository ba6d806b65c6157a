#include "companions/slides/converter.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>
#include <vector>

#include <pugixml.hpp>

#include "document/ascii_case.h"
#include "office/package.h"
#include "office/chart_part.h"
#include "office/package_reader.h"
#include "office/xml_nodes.h"

namespace vop {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kChartUri = "http://schemas.openxmlformats.org/drawingml/2006/chart";
constexpr std::string_view kWordTypes[] = {
    "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml",
    "application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml",
    "application/vnd.ms-word.document.macroEnabled.main+xml",
    "application/vnd.ms-word.template.macroEnabledTemplate.main+xml",
};

// Visits the nodes under `root` in document order; `visit` returns whether
// to go into a node. Iterative: a hostile document may nest deeply.
template <class Visit>
void walk(pugi::xml_node root, Visit visit) {
  pugi::xml_node n = root.first_child();
  while (n) {
    if (visit(n) && n.first_child()) {
      n = n.first_child();
      continue;
    }
    while (n != root && !n.next_sibling()) n = n.parent();
    if (n == root) break;
    n = n.next_sibling();
  }
}

struct InlineObject {
  bool chart = false;
  std::string rid;  // of the chart part
};

struct Paragraph {
  std::string style;  // its style id
  std::string text;
  std::vector<InlineObject> objects;
};

Paragraph read_paragraph(pugi::xml_node p, const std::string& default_style) {
  Paragraph out;
  out.style = attribute_local(child_local(child_local(p, "pPr"), "pStyle"), "val").value();
  if (out.style.empty()) out.style = default_style;
  walk(p, [&](pugi::xml_node n) {
    if (n.type() != pugi::node_element) return false;
    const std::string_view name = local_name(n.name());
    if (name == "pPr" || name == "rPr" || name == "Fallback" || name == "p") return false;
    if (name == "t") {
      out.text += n.text().get();
      return false;
    }
    if (name == "tab") out.text += '\t';
    if (name == "br" || name == "cr") out.text += '\n';
    if (name == "drawing") {
      if (pugi::xml_node in = child_local(n, "inline")) {
        InlineObject o;
        pugi::xml_node data = child_local(child_local(in, "graphic"), "graphicData");
        if (attribute_local(data, "uri").value() == kChartUri) {
          o.rid = attribute_local(child_local(data, "chart"), "id").value();
          o.chart = !o.rid.empty();
        }
        out.objects.push_back(o);
      }
      return false;
    }
    if (name == "pict" || name == "object") {
      out.objects.push_back({});
      return false;
    }
    return true;
  });
  while (!out.text.empty() && (out.text.back() == '\r' || out.text.back() == '\n')) out.text.pop_back();
  return out;
}

class WordDocument {
 public:
  bool open(const std::string& path, std::string* error) {
    if (!reader_.open(path, error)) return false;
    const OpcRelationship doc = reader_.relationship_of_type("", kRelOfficeDocument);
    const std::string type = doc.id.empty() ? std::string() : reader_.content_type(doc.target);
    if (std::find(std::begin(kWordTypes), std::end(kWordTypes), type) == std::end(kWordTypes)) {
      *error = path + " is no Word document";
      return false;
    }
    part_ = doc.target;
    std::string xml;
    pugi::xml_document document;
    if (!reader_.read(part_, &xml, error) || !document.load_buffer(xml.data(), xml.size())) {
      *error = path + " is a damaged Word document: its main part cannot be read";
      return false;
    }
    read_styles();
    pugi::xml_node body = child_local(child_local(document, "document"), "body");
    walk(body, [&](pugi::xml_node n) {
      if (n.type() != pugi::node_element) return false;
      const std::string_view name = local_name(n.name());
      if (name == "p") {
        paragraphs_.push_back(read_paragraph(n, default_style_));
        return false;
      }
      return name != "Fallback" && name != "drawing" && name != "pict" && name != "object" && name != "sectPr";
    });
    path_ = path;
    return true;
  }

  const std::vector<Paragraph>& paragraphs() const { return paragraphs_; }

  // A style given by its name as Word shows it, or by its id.
  bool has_style(const Paragraph& p, const std::string& wanted) const {
    if (wanted.empty()) return false;
    if (p.style == wanted) return true;
    const auto it = names_.find(p.style);
    return it != names_.end() && std::equal(it->second.begin(), it->second.end(), wanted.begin(), wanted.end(),
                                            [](char a, char b) { return lower(a) == lower(b); });
  }

  // The chart part behind `rid` with the parts it refers to.
  bool chart(const std::string& rid, ChartParts* out, std::string* error) const {
    OpcRelationship rel;
    for (const OpcRelationship& r : reader_.relationships(part_))
      if (r.id == rid && !r.external) rel = r;
    if (rel.id.empty() || !reader_.has_part(rel.target)) {
      *error = path_ + " is damaged: the chart " + rid + " is missing";
      return false;
    }
    pugi::xml_document check;
    if (!reader_.read(rel.target, &out->xml, error) || !check.load_buffer(out->xml.data(), out->xml.size()) ||
        local_name(check.document_element().name()) != "chartSpace") {
      *error = path_ + " is damaged: the chart " + rel.target + " cannot be read";
      return false;
    }
    out->related.clear();
    std::vector<std::string> gone;  // ids of parts the package lacks
    for (const OpcRelationship& r : reader_.relationships(rel.target)) {
      ChartParts::Related related;
      related.id = r.id;
      related.type = r.type;
      related.external = r.external;
      if (r.external) {
        related.bytes = r.target;
      } else {
        if (!reader_.has_part(r.target)) {
          gone.push_back(r.id);
          continue;
        }
        if (!reader_.read(r.target, &related.bytes, error)) {
          *error = path_ + " is damaged: " + *error;
          return false;
        }
        related.content_type = reader_.content_type(r.target);
        const std::string base = r.target.substr(r.target.rfind('/') + 1);
        if (const size_t dot = base.rfind('.'); dot != std::string::npos) related.extension = base.substr(dot + 1);
      }
      out->related.push_back(std::move(related));
    }
    // A chart whose data workbook is missing (LibreOffice leaves it out of
    // the .docx it makes of a .doc) still shows its cached values: the
    // references to what is missing go, the chart stays.
    if (!gone.empty()) {
      std::vector<pugi::xml_node> drop;
      walk(check, [&](pugi::xml_node n) {
        if (std::find(gone.begin(), gone.end(), attribute_local(n, "id").value()) != gone.end()) drop.push_back(n);
        return n.type() == pugi::node_element || n.type() == pugi::node_document;
      });
      for (pugi::xml_node n : drop) n.parent().remove_child(n);
      out->xml = xml_text(check);
    }
    return true;
  }

 private:
  static char lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

  void read_styles() {
    const OpcRelationship rel = reader_.relationship_of_type(part_, kRelStyles);
    std::string xml, ignored;
    pugi::xml_document doc;
    if (rel.id.empty() || !reader_.read(rel.target, &xml, &ignored) || !doc.load_buffer(xml.data(), xml.size()))
      return;
    for (pugi::xml_node s : child_local(doc, "styles").children()) {
      if (local_name(s.name()) != "style" || std::string_view(attribute_local(s, "type").value()) != "paragraph") continue;
      const std::string id = attribute_local(s, "styleId").value();
      names_[id] = attribute_local(child_local(s, "name"), "val").value();
      if (attribute_local(s, "default").as_bool() && default_style_.empty()) default_style_ = id;
    }
  }

  OpcReader reader_;
  std::string path_, part_;
  std::map<std::string, std::string> names_;  // style id -> name
  std::string default_style_;
  std::vector<Paragraph> paragraphs_;
};

SlideShape text_box(const SlideBox& box, const std::string& text, double size) {
  SlideShape s;
  s.text_box = true;
  s.box = box;
  s.text = text;
  s.font = "Calibri";
  s.font_size = size;
  s.bold = false;
  s.align = TextAlign::Left;
  s.wrap = true;
  return s;
}

bool on_path(const char* program) {
  const char* path = std::getenv("PATH");
  std::string_view dirs = path ? path : "/usr/bin:/bin";
  while (!dirs.empty()) {
    const size_t colon = dirs.find(':');
    const std::string dir(dirs.substr(0, colon));
    if (!dir.empty() && ::access((dir + "/" + program).c_str(), X_OK) == 0) return true;
    if (colon == std::string_view::npos) break;
    dirs.remove_prefix(colon + 1);
  }
  return false;
}

}  // namespace

bool build_slides(const std::string& docx, const ChartConfig& config, const std::string& syntax_dir,
                  const SlideOptions& options, Presentation* out, std::string* error) {
  WordDocument word;
  if (!word.open(docx, error)) return false;
  Presentation slides;
  if (!config.template_name.empty() &&
      !slides.load_template((fs::path(syntax_dir) / config.template_name).string(), error)) {
    *error = "The template cannot be read: " + *error;
    return false;
  }
  const std::vector<Paragraph>& paragraphs = word.paragraphs();
  auto first = [&](const std::string& style, size_t from) {
    for (size_t i = from; i < paragraphs.size(); ++i)
      if (word.has_style(paragraphs[i], style)) return i;
    return paragraphs.size();
  };

  // A template's slides open and close the presentation: new slides go
  // before its last one. The plain presentation has none: they follow
  // each other, after a title slide for the document's title.
  const bool closing_slide = slides.slide_count() > 0;
  auto add_slide = [&](Presentation::Layout layout) {
    return slides.insert_slide(closing_slide ? slides.slide_count() - 1 : slides.slide_count(), layout);
  };
  if (const size_t t = first(config.style_title, 0); t < paragraphs.size()) {
    if (slides.slide_count() == 0) slides.insert_slide(0, Presentation::Layout::Title);
    slides.set_first_shape_text(0, paragraphs[t].text);
  }

  size_t section = first(config.style_head2, 0);
  for (size_t page = first(config.style_head3, 0); page < paragraphs.size();) {
    const size_t next = first(config.style_head3, page + 1);
    for (; section < page; section = first(config.style_head2, section + 1))
      slides.set_first_shape_text(add_slide(Presentation::Layout::Title), paragraphs[section].text);

    std::vector<InlineObject> objects;
    const Paragraph* base = nullptr;
    for (size_t i = page; i < next; ++i) {
      objects.insert(objects.end(), paragraphs[i].objects.begin(), paragraphs[i].objects.end());
      if (!base && word.has_style(paragraphs[i], "Baza")) base = &paragraphs[i];
    }
    if (!objects.empty() || options.without_charts) {
      const int slide = add_slide(Presentation::Layout::TitleOnly);
      const std::string& heading = paragraphs[page].text;
      if (options.two_headers)
        slides.add_shape(slide, text_box(config.st, heading, 18));
      else
        slides.set_first_shape_text(slide, heading);
      if (base) slides.add_shape(slide, text_box(options.two_headers ? config.base_st : config.base, base->text, 8));
      if (!objects.empty() && objects[0].chart) {
        const bool one = objects.size() == 1;
        const SlideBox& first_box = options.two_headers ? (one ? config.chart1of1_st : config.chart1of2_st)
                                                        : (one ? config.chart1of1 : config.chart1of2);
        // A chart is stretched to its box; a pie is laid out again for the
        // box's proportions, so that it stays round and fills its box.
        auto place = [&](const InlineObject& object, const SlideBox& box) {
          ChartParts parts;
          if (!word.chart(object.rid, &parts, error)) return false;
          parts.xml = fit_pie_to_frame(parts.xml, box.width, box.height);
          slides.add_chart(slide, "", box, parts);
          return true;
        };
        if (!place(objects[0], first_box)) return false;
        // The second object is taken as it comes; only a chart can go on
        // a slide here.
        if (!one && objects[1].chart &&
            !place(objects[1], options.two_headers ? config.chart2of2_st : config.chart2of2))
          return false;
      }
    }
    page = next;
  }
  *out = std::move(slides);
  return true;
}

bool convert_document(const std::string& docx, const std::string& pptx, const ChartConfig& config,
                      const std::string& syntax_dir, const SlideOptions& options, std::string* error) {
  Presentation slides;
  if (!build_slides(docx, config, syntax_dir, options, &slides, error)) return false;
  return slides.save(pptx, error);
}

bool is_binary_word(const std::string& path) {
  const std::string ext = fs::path(path).extension().string();
  if (same_ascii_nocase(ext, ".doc") || same_ascii_nocase(ext, ".dot")) return true;
  char head[8] = {};
  std::ifstream in(path, std::ios::binary);
  in.read(head, sizeof head);
  return in.gcount() == 8 && std::memcmp(head, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) == 0;
}

bool doc_to_docx(const std::string& doc, const std::string& folder, std::string* docx, std::string* error) {
  if (!on_path("soffice")) {
    *error = "Only Word documents in the .docx format can be read: converting " + doc +
             " needs LibreOffice (soffice), which is not installed.";
    return false;
  }
  const std::string profile = "-env:UserInstallation=file://" + (fs::path(folder) / "profile").string();
  const std::string out_dir = (fs::path(folder) / "docx").string();
  std::vector<std::string> args = {"soffice", profile, "--headless", "--norestore", "--convert-to", "docx",
                                   "--outdir", out_dir, doc};
  const pid_t pid = ::fork();
  if (pid < 0) {
    *error = std::string("LibreOffice cannot be started: ") + std::strerror(errno);
    return false;
  }
  if (pid == 0) {
    const int null = ::open("/dev/null", O_RDWR);
    if (null >= 0) {
      ::dup2(null, 0);
      ::dup2(null, 1);
      ::dup2(null, 2);
    }
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execvp("soffice", argv.data());
    ::_exit(127);
  }
  // LibreOffice may hang on a damaged file: it gets two minutes.
  int status = 0;
  const auto until = std::chrono::steady_clock::now() + std::chrono::minutes(2);
  for (;;) {
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (done < 0 && errno != EINTR) break;
    if (std::chrono::steady_clock::now() > until) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      *error = "LibreOffice did not finish converting " + doc;
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  *docx = (fs::path(out_dir) / fs::path(doc).stem()).string() + ".docx";
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || !fs::exists(*docx)) {
    *error = "LibreOffice could not convert " + doc + " into a .docx document";
    return false;
  }
  return true;
}

std::string about_original(std::string message, const std::string& docx, const std::string& doc) {
  if (docx.empty() || docx == doc) return message;
  for (size_t at = message.find(docx); at != std::string::npos; at = message.find(docx, at + doc.size()))
    message.replace(at, docx.size(), doc);
  return message;
}

}  // namespace vop
