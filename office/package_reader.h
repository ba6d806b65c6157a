// Reads an Office Open XML package (.docx, .pptx, .potx, .xlsx): its parts,
// their content types and the relationships of the package and of each
// part, with targets resolved to part names.
//
// Packages come from users and may be damaged or hostile: a part larger
// than kMaxPartBytes, a package whose parts add up to more than
// kMaxPackageBytes, names that climb out of the package ("..") and zips
// that libzip rejects are errors, never crashes.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

typedef struct zip zip_t;

namespace vop {

struct OpcRelationship {
  std::string id;
  std::string type;
  std::string target;     // the part name ("ppt/slides/slide1.xml"), or the URI when external
  bool external = false;  // TargetMode="External"
};

class OpcReader {
 public:
  static constexpr uint64_t kMaxPartBytes = uint64_t(256) << 20;
  static constexpr uint64_t kMaxPackageBytes = uint64_t(1) << 30;

  OpcReader() = default;
  OpcReader(const OpcReader&) = delete;
  OpcReader& operator=(const OpcReader&) = delete;
  ~OpcReader();

  // Opens the package at `path`; false with a message in `error`.
  bool open(const std::string& path, std::string* error);

  // The names of every part (no leading slash), in the zip's order,
  // "[Content_Types].xml" and the relationship parts included.
  const std::vector<std::string>& part_names() const { return names_; }
  bool has_part(std::string_view name) const;
  // The part's bytes; false with a message when it is missing, too large
  // or cannot be inflated.
  bool read(std::string_view name, std::string* out, std::string* error) const;
  // The content type of a part: its Override, else the Default of its
  // extension; "" when neither.
  std::string content_type(std::string_view name) const;
  // The relationships of a part ("" for the package's own); none when the
  // part has no relationship part or it cannot be read.
  std::vector<OpcRelationship> relationships(std::string_view source) const;
  // The first relationship of `source` of `type`, or nullptr-like: an
  // empty id when there is none.
  OpcRelationship relationship_of_type(std::string_view source, std::string_view type) const;

  // The folder of a part ("ppt/slides/" for "ppt/slides/slide1.xml").
  static std::string folder_of(std::string_view part);
  // `target` of a relationship of a part in `folder`, as a part name:
  // "../media/x.png" from "ppt/slides/" is "ppt/media/x.png"; an absolute
  // target ("/word/document.xml") drops its slash. "" when it climbs out of
  // the package.
  static std::string resolve(std::string_view folder, std::string_view target);

 private:
  zip_t* zip_ = nullptr;
  std::vector<std::string> names_;
  std::map<std::string, std::string> overrides_;  // part name -> content type
  std::map<std::string, std::string> defaults_;   // lower-case extension -> content type
};

}  // namespace vop
