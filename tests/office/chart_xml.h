// Reading the chart parts back in tests: the XML parsed, its series, and
// the embedded workbook written out for the office tools.
#pragma once

#include <fstream>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "office/chart_part.h"

namespace vop::test {

// The texts of a c:strCache / values of a c:numCache, by point index;
// missing points read "-".
inline std::vector<std::string> cache_points(pugi::xml_node cache) {
  std::vector<std::string> out(cache.child("c:ptCount").attribute("val").as_uint(), "-");
  for (pugi::xml_node pt : cache.children("c:pt")) {
    const size_t idx = pt.attribute("idx").as_uint();
    if (idx < out.size()) out[idx] = pt.child_value("c:v");
  }
  return out;
}

inline std::string val_of(pugi::xml_node n) { return n.attribute("val").value(); }

inline bool write_bytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return bool(f);
}

}  // namespace vop::test
