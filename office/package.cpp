#include "office/package.h"

#include <zip.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "core/save_file.h"
#include "document/text_encoding.h"

namespace vop {

namespace {

std::vector<uint8_t> bytes_of(std::string_view s) { return std::vector<uint8_t>(s.begin(), s.end()); }

}  // namespace

std::string xml_escape(std::string_view text) {
  const std::string utf8 = clean_utf8(text);
  std::string out;
  out.reserve(utf8.size() + 16);
  for (const char ch : utf8) {
    switch (ch) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default:
        if (static_cast<unsigned char>(ch) < 0x20 && ch != '\t' && ch != '\n' && ch != '\r') break;
        out += ch;
    }
  }
  return out;
}

void OpcPackage::add_default(std::string_view extension, std::string_view content_type) {
  defaults_[std::string(extension)] = std::string(content_type);
}

void OpcPackage::add_part(std::string_view name, std::string content, std::string_view content_type) {
  add_part(name, bytes_of(content), content_type);
}

void OpcPackage::add_part(std::string_view name, std::vector<uint8_t> content, std::string_view content_type) {
  const std::string key(name);
  parts_[key] = std::move(content);
  if (!content_type.empty()) overrides_[key] = std::string(content_type);
  else overrides_.erase(key);
}

std::string OpcPackage::add_relationship(std::string_view source, std::string_view type,
                                         std::string_view target, std::string_view id, bool external) {
  std::vector<Relationship>& list = rels_[std::string(source)];
  std::string rid(id);
  if (rid.empty()) {
    for (size_t n = list.size() + 1;; ++n) {
      rid = "rId" + std::to_string(n);
      bool used = false;
      for (const Relationship& r : list) used = used || r.id == rid;
      if (!used) break;
    }
  }
  list.push_back({rid, std::string(type), std::string(target), external});
  return rid;
}

std::string OpcPackage::rels_part_name(const std::string& source) {
  if (source.empty()) return "_rels/.rels";
  const size_t slash = source.rfind('/');
  if (slash == std::string::npos) return "_rels/" + source + ".rels";
  return source.substr(0, slash + 1) + "_rels/" + source.substr(slash + 1) + ".rels";
}

std::string OpcPackage::content_types_xml() const {
  std::string x =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
      "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">";
  for (const auto& [ext, type] : defaults_)
    x += "<Default Extension=\"" + xml_escape(ext) + "\" ContentType=\"" + xml_escape(type) + "\"/>";
  for (const auto& [name, type] : overrides_)
    x += "<Override PartName=\"/" + xml_escape(name) + "\" ContentType=\"" + xml_escape(type) + "\"/>";
  x += "</Types>";
  return x;
}

bool OpcPackage::build(std::vector<uint8_t>* zip, std::string* error) const {
  auto fail = [&](const std::string& why) {
    if (error) *error = why;
    return false;
  };
  // Everything the archive reads must live until zip_close.
  std::vector<std::pair<std::string, std::vector<uint8_t>>> generated;
  generated.emplace_back("[Content_Types].xml", bytes_of(content_types_xml()));
  for (const auto& [source, list] : rels_) {
    std::string x =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    for (const Relationship& r : list)
      x += "<Relationship Id=\"" + xml_escape(r.id) + "\" Type=\"" + xml_escape(r.type) + "\" Target=\"" +
           xml_escape(r.target) + (r.external ? "\" TargetMode=\"External\"/>" : "\"/>");
    x += "</Relationships>";
    generated.emplace_back(rels_part_name(source), bytes_of(x));
  }

  zip_error_t ze;
  zip_error_init(&ze);
  zip_source_t* src = zip_source_buffer_create(nullptr, 0, 0, &ze);
  if (!src) {
    const std::string why = zip_error_strerror(&ze);
    zip_error_fini(&ze);
    return fail("cannot make the package: " + why);
  }
  zip_t* za = zip_open_from_source(src, ZIP_TRUNCATE, &ze);
  if (!za) {
    const std::string why = zip_error_strerror(&ze);
    zip_error_fini(&ze);
    zip_source_free(src);
    return fail("cannot make the package: " + why);
  }
  zip_error_fini(&ze);
  zip_source_keep(src);  // read back after zip_close

  auto add = [&](const std::string& name, const std::vector<uint8_t>& data) {
    zip_source_t* s = zip_source_buffer(za, data.data(), data.size(), 0);
    if (!s) return false;
    if (zip_file_add(za, name.c_str(), s, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) < 0) {
      zip_source_free(s);
      return false;
    }
    return true;
  };
  bool ok = true;
  for (const auto& [name, data] : generated) ok = ok && add(name, data);
  for (const auto& [name, data] : parts_) ok = ok && add(name, data);
  if (!ok) {
    const std::string why = zip_strerror(za);
    zip_discard(za);
    zip_source_free(src);
    return fail("cannot make the package: " + why);
  }
  if (zip_close(za) < 0) {
    const std::string why = zip_strerror(za);
    zip_discard(za);
    zip_source_free(src);
    return fail("cannot make the package: " + why);
  }
  zip_stat_t st;
  zip_stat_init(&st);
  bool read = zip_source_stat(src, &st) == 0 && zip_source_open(src) == 0;
  if (read) {
    zip->resize(size_t(st.size));
    zip_int64_t got = zip_source_read(src, zip->data(), zip->size());
    read = got == zip_int64_t(zip->size());
    zip_source_close(src);
  }
  zip_source_free(src);
  if (!read) return fail("cannot read the package back from memory");
  return true;
}

bool OpcPackage::save(const std::string& path, std::string* error) const {
  std::vector<uint8_t> bytes;
  if (!build(&bytes, error)) return false;
  errno = 0;
  const bool saved = save_file(path, [&](std::FILE* f) {
    return std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  });
  if (saved) return true;
  const int why = errno ? errno : EIO;
  std::error_code ec;
  const bool kept = std::filesystem::exists(path, ec);
  if (error)
    *error = "cannot write " + path + ": " + std::strerror(why) + (kept ? " (the existing file is unchanged)" : "");
  return false;
}

}  // namespace vop
