// An Office Open XML package (the zip of a .docx, .xlsx or .pptx): parts
// with their content types, and the relationships of the package and of
// each part. The zip is built in memory and saved in one piece, so that a
// failed save leaves an existing file as it was.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vop {

// Relationship types the writers use.
inline constexpr std::string_view kRelOfficeDocument =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument";
inline constexpr std::string_view kRelStyles =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles";
inline constexpr std::string_view kRelChart =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/chart";
inline constexpr std::string_view kRelPackage =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/package";
inline constexpr std::string_view kRelCustomProperties =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/custom-properties";
inline constexpr std::string_view kRelCoreProperties =
    "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties";

class OpcPackage {
 public:
  // The content type of every part whose name ends in "." + extension and
  // has no content type of its own. "rels" and "xml" are preset.
  void add_default(std::string_view extension, std::string_view content_type);
  // A part by its name in the package ("word/document.xml", no leading
  // slash). An empty content type leaves it to the part's extension.
  // A second part of the same name replaces the first.
  void add_part(std::string_view name, std::string content, std::string_view content_type = {});
  void add_part(std::string_view name, std::vector<uint8_t> content, std::string_view content_type = {});
  // A relationship from `source` (a part name; empty: the package) to
  // `target`, written relative to the source part's folder as it goes into
  // the XML ("charts/chart1.xml", "../embeddings/x.xlsx"). `id` empty: the
  // next free "rIdN" of the source. `external`: the target is a URI outside
  // the package (TargetMode="External"). Returns the id.
  std::string add_relationship(std::string_view source, std::string_view type, std::string_view target,
                               std::string_view id = {}, bool external = false);

  bool has_part(std::string_view name) const { return parts_.count(std::string(name)) > 0; }

  // The package as zip bytes; false with a message when libzip fails.
  bool build(std::vector<uint8_t>* zip, std::string* error) const;
  // Builds and saves to `path` (see core/save_file.h).
  bool save(const std::string& path, std::string* error) const;

 private:
  struct Relationship {
    std::string id, type, target;
    bool external = false;
  };
  std::string content_types_xml() const;
  static std::string rels_part_name(const std::string& source);

  std::map<std::string, std::string> defaults_{
      {"rels", "application/vnd.openxmlformats-package.relationships+xml"},
      {"xml", "application/xml"}};
  std::map<std::string, std::vector<uint8_t>> parts_;       // by name
  std::map<std::string, std::string> overrides_;           // part name -> content type
  std::map<std::string, std::vector<Relationship>> rels_;  // source ("" package) -> relationships
};

// `text` with the five XML special characters escaped and characters that
// XML cannot hold (control characters other than tab, line feed, carriage
// return) dropped; invalid UTF-8 bytes are read as windows-1252.
std::string xml_escape(std::string_view text);

}  // namespace vop
