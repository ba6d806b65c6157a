#include "office/package_reader.h"

#include <zip.h>

#include <algorithm>
#include <cctype>
#include <cstring>

#include <pugixml.hpp>

namespace vop {

namespace {

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = char(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string rels_name(std::string_view source) {
  if (source.empty()) return "_rels/.rels";
  const size_t slash = source.rfind('/');
  if (slash == std::string_view::npos) return "_rels/" + std::string(source) + ".rels";
  return std::string(source.substr(0, slash + 1)) + "_rels/" + std::string(source.substr(slash + 1)) + ".rels";
}

}  // namespace

OpcReader::~OpcReader() {
  if (zip_) zip_discard(zip_);
}

bool OpcReader::open(const std::string& path, std::string* error) {
  int code = 0;
  zip_ = zip_open(path.c_str(), ZIP_RDONLY, &code);
  if (!zip_) {
    zip_error_t ze;
    zip_error_init_with_code(&ze, code);
    *error = path + " is no Office Open XML package: " + zip_error_strerror(&ze);
    zip_error_fini(&ze);
    return false;
  }
  const zip_int64_t n = zip_get_num_entries(zip_, 0);
  uint64_t total = 0;
  for (zip_int64_t i = 0; i < n; ++i) {
    zip_stat_t st;
    if (zip_stat_index(zip_, zip_uint64_t(i), 0, &st) != 0 || !(st.valid & ZIP_STAT_NAME)) continue;
    std::string name = st.name;
    if (!name.empty() && name.back() == '/') continue;  // a folder entry
    if (st.valid & ZIP_STAT_SIZE) total += st.size;
    names_.push_back(std::move(name));
  }
  if (total > kMaxPackageBytes) {
    *error = path + " unpacks to more than " + std::to_string(kMaxPackageBytes >> 20) + " MB";
    return false;
  }
  std::string types;
  if (!read("[Content_Types].xml", &types, error)) {
    *error = path + " is no Office Open XML package: " + *error;
    return false;
  }
  pugi::xml_document doc;
  if (!doc.load_buffer(types.data(), types.size())) {
    *error = path + " has a damaged content type list";
    return false;
  }
  for (pugi::xml_node t : doc.child("Types").children()) {
    if (!std::strcmp(t.name(), "Default"))
      defaults_[lower(t.attribute("Extension").value())] = t.attribute("ContentType").value();
    else if (!std::strcmp(t.name(), "Override")) {
      std::string part = t.attribute("PartName").value();
      if (!part.empty() && part.front() == '/') part.erase(0, 1);
      overrides_[part] = t.attribute("ContentType").value();
    }
  }
  return true;
}

bool OpcReader::has_part(std::string_view name) const {
  return std::find(names_.begin(), names_.end(), name) != names_.end();
}

bool OpcReader::read(std::string_view name, std::string* out, std::string* error) const {
  const std::string key(name);
  zip_stat_t st;
  if (!zip_ || zip_stat(zip_, key.c_str(), 0, &st) != 0) {
    *error = "the part " + key + " is missing";
    return false;
  }
  if (!(st.valid & ZIP_STAT_SIZE) || st.size > kMaxPartBytes) {
    *error = "the part " + key + " is too large";
    return false;
  }
  zip_file_t* f = zip_fopen_index(zip_, st.index, 0);
  if (!f) {
    *error = "the part " + key + " cannot be read: " + zip_strerror(zip_);
    return false;
  }
  out->assign(size_t(st.size), '\0');
  const zip_int64_t got = zip_fread(f, out->data(), st.size);
  // One more read must find the end: a part that inflates to more than its
  // stated size is damaged.
  char extra;
  const bool ok = got == zip_int64_t(st.size) && zip_fread(f, &extra, 1) == 0;
  zip_fclose(f);
  if (!ok) {
    *error = "the part " + key + " is damaged";
    out->clear();
    return false;
  }
  return true;
}

std::string OpcReader::content_type(std::string_view name) const {
  if (auto it = overrides_.find(std::string(name)); it != overrides_.end()) return it->second;
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return {};
  auto it = defaults_.find(lower(name.substr(dot + 1)));
  return it == defaults_.end() ? std::string() : it->second;
}

std::vector<OpcRelationship> OpcReader::relationships(std::string_view source) const {
  std::vector<OpcRelationship> out;
  const std::string part = rels_name(source);
  if (!has_part(part)) return out;
  std::string text, error;
  if (!read(part, &text, &error)) return out;
  pugi::xml_document doc;
  if (!doc.load_buffer(text.data(), text.size())) return out;
  const std::string folder = folder_of(source);
  for (pugi::xml_node r : doc.child("Relationships").children("Relationship")) {
    OpcRelationship rel;
    rel.id = r.attribute("Id").value();
    rel.type = r.attribute("Type").value();
    rel.external = !std::strcmp(r.attribute("TargetMode").value(), "External");
    rel.target = rel.external ? r.attribute("Target").value() : resolve(folder, r.attribute("Target").value());
    if (!rel.external && rel.target.empty()) continue;  // climbs out of the package
    out.push_back(std::move(rel));
  }
  return out;
}

OpcRelationship OpcReader::relationship_of_type(std::string_view source, std::string_view type) const {
  for (OpcRelationship& r : relationships(source))
    if (r.type == type) return std::move(r);
  return {};
}

std::string OpcReader::folder_of(std::string_view part) {
  const size_t slash = part.rfind('/');
  return slash == std::string_view::npos ? std::string() : std::string(part.substr(0, slash + 1));
}

std::string OpcReader::resolve(std::string_view folder, std::string_view target) {
  std::string path = !target.empty() && target.front() == '/' ? std::string(target.substr(1))
                                                               : std::string(folder) + std::string(target);
  std::vector<std::string> segments;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    const std::string seg = path.substr(start, end - start);
    if (seg == "..") {
      if (segments.empty()) return {};
      segments.pop_back();
    } else if (!seg.empty() && seg != ".") {
      segments.push_back(seg);
    }
    start = end + 1;
  }
  std::string out;
  for (const std::string& s : segments) out += (out.empty() ? "" : "/") + s;
  return out;
}

}  // namespace vop
