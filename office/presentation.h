// A PowerPoint presentation (.pptx) as the companion programs build it:
// a new presentation based on a template (.pptx or .potx: its masters,
// layouts, theme and slides) or on the plain built-in one, slides inserted
// with a layout of a kind, and on them rectangles and text boxes with text,
// lines, and native charts carried over from a Word document.
//
// Lengths are points (the slide's 720 x 540 for the built-in one); colours
// are 0xRRGGBB.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vop {

struct SlideBox {
  double left = 0, top = 0, width = 0, height = 0;
};

enum class TextAlign { Left, Centre, Right };

// A rectangle with text, or a text box (no fill and no outline unless
// given).
struct SlideShape {
  std::string name;                // "" : PowerPoint's "Rectangle N" / "TextBox N"
  SlideBox box;
  bool text_box = false;
  std::optional<uint32_t> fill;    // solid fill; none: no fill
  std::optional<uint32_t> line;    // outline; none: no outline
  double line_weight = 0.75;
  std::string text;                // a line feed starts a new paragraph
  std::string font = "Calibri";
  double font_size = 18;
  uint32_t font_colour = 0;
  bool bold = false;
  TextAlign align = TextAlign::Left;
  std::optional<double> inset;     // inner margin on all four sides; none: PowerPoint's default
  bool wrap = true;
  bool middle = false;             // text anchored in the middle, else at the top
};

struct SlideLine {
  std::string name;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  uint32_t colour = 0;
  double weight = 0.75;
};

// A DrawingML chart part with the parts it refers to (its embedded
// workbook, styles), as a Word document holds it.
struct ChartParts {
  struct Related {
    std::string id;            // the relationship id the chart's XML uses
    std::string type;          // relationship type
    std::string content_type;  // of the part
    std::string extension;     // of its name ("xlsx", "xml")
    std::string bytes;         // the part; for an external target, the URI
    bool external = false;
  };
  std::string xml;
  std::vector<Related> related;
};

class Presentation {
 public:
  // The slide layouts the companions ask for.
  enum class Layout { Title, TitleOnly, Blank };

  // The plain built-in presentation: 720 x 540 points, one master with a
  // title, a title-only and a blank layout, no slides.
  Presentation();

  // A new presentation based on a template: every part of it, its slides
  // included. False with a message when it cannot be read or is no
  // presentation; this object is unchanged then.
  bool load_template(const std::string& path, std::string* error);

  int slide_count() const { return int(slides_.size()); }
  double slide_width() const { return width_; }
  double slide_height() const { return height_; }

  // A new slide at `index` (0 .. slide_count()) with the first layout of
  // the kind of the first master (the template's first design) and that
  // layout's title and text placeholders, empty. A template without a
  // layout of the kind gives its first layout. Returns the slide's index.
  int insert_slide(int index, Layout layout);

  // The text of the slide's first shape (a new slide's: its first
  // placeholder). False when the slide has no shape that holds text.
  bool set_first_shape_text(int slide, std::string_view text);

  void add_shape(int slide, const SlideShape& shape);
  void add_line(int slide, const SlideLine& line);
  void add_chart(int slide, const std::string& name, SlideBox box, const ChartParts& chart);

  // Writes the .pptx (a template when the name ends in .potx) through
  // save_file; false with a message.
  bool save(const std::string& path, std::string* error) const;

  // The slide's XML as it stands (tests).
  const std::string& slide_xml(int slide) const;

 private:
  struct Rel {
    std::string id, type, target;  // target: a part name, or the URI when external
    bool external = false;
  };
  struct Part {
    std::string bytes;
    std::string content_type;
  };
  struct Slide {
    std::string part;     // its part name
    std::string shapes;   // shapes added since loading, inserted at the end of its spTree on save
    int next_id = 0;      // the next free shape id
  };

  std::string add_rel(const std::string& source, std::string_view type, const std::string& target);
  std::string new_part_name(std::string_view folder, std::string_view stem, std::string_view ext) const;
  std::string layout_part(Layout layout) const;
  std::string slide_text(int slide) const;  // the part with the added shapes in place
  int take_id(int slide);

  std::map<std::string, Part> parts_;                // by name, relationship parts excluded
  std::map<std::string, std::vector<Rel>> rels_;     // source part ("" the package) -> relationships
  std::string main_;                                 // "ppt/presentation.xml"
  std::vector<Slide> slides_;                        // in order
  std::vector<std::pair<std::string, std::string>> layouts_;  // (type, part) of the first master, in order
  double width_ = 720, height_ = 540;
  mutable std::string scratch_;                      // slide_xml's result
};

}  // namespace vop
