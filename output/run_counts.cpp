#include "output/run_counts.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>

#ifndef VOP_VERSION
#define VOP_VERSION "0"
#endif

namespace vop {

bool RunCounts::add_table() {
  if (tables < 0) return false;
  ++tables;
  return true;
}

bool RunCounts::add_chart() {
  if (charts < 0) return false;
  ++charts;
  return true;
}

const std::string& installation_id() {
  // FNV-1a of the host name: short, stable for the machine, and reveals
  // nothing of the name itself.
  static const std::string id = [] {
    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) != 0) host[0] = '\0';
    std::uint32_t h = 2166136261u;
    for (const char* p = host; *p; ++p) h = (h ^ std::uint8_t(*p)) * 16777619u;
    char buf[64];
    std::snprintf(buf, sizeof buf, "VOP-%s-%08X", VOP_VERSION, unsigned(h));
    return std::string(buf);
  }();
  return id;
}

}  // namespace vop
