// Small helpers for reading and rewriting parts of packages with pugixml.
// Producers other than Vop choose their own namespace prefixes ("p:",
// "w:", or none), so elements are found by their local names.
#pragma once

#include <string>
#include <string_view>

#include <pugixml.hpp>

namespace vop {

// The name without its prefix ("p:sp" -> "sp").
inline std::string_view local_name(const char* name) {
  const std::string_view n = name;
  const size_t colon = n.find(':');
  return colon == std::string_view::npos ? n : n.substr(colon + 1);
}

// The first child of `n`, or the first node below it, with that local name.
inline pugi::xml_node child_local(pugi::xml_node n, std::string_view name) {
  for (pugi::xml_node c : n.children())
    if (local_name(c.name()) == name) return c;
  return {};
}
inline pugi::xml_node find_local(pugi::xml_node n, std::string_view name) {
  return n.find_node([name](const pugi::xml_node& c) { return local_name(c.name()) == name; });
}
inline pugi::xml_attribute attribute_local(pugi::xml_node n, std::string_view name) {
  for (pugi::xml_attribute a : n.attributes())
    if (local_name(a.name()) == name) return a;
  return {};
}

// A document as UTF-8 text, without indentation.
inline std::string xml_text(const pugi::xml_document& doc) {
  struct Writer : pugi::xml_writer {
    std::string out;
    void write(const void* data, size_t size) override { out.append(static_cast<const char*>(data), size); }
  } w;
  doc.save(w, "", pugi::format_raw, pugi::encoding_utf8);
  return w.out;
}

}  // namespace vop
