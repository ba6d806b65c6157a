#include "companions/slides/chart_config.h"

#include <charconv>
#include <fstream>
#include <optional>
#include <string_view>

namespace vop {
namespace {

constexpr std::string_view kBlanks = " \n\t\v\r\f";

std::string trim(std::string_view s) {
  const size_t from = s.find_first_not_of(kBlanks);
  if (from == std::string_view::npos) return {};
  const size_t to = s.find_last_not_of(kBlanks);
  return std::string(s.substr(from, to - from + 1));
}

std::optional<double> number(const std::string& text) {
  std::string_view s = text;
  if (s.starts_with('+')) s.remove_prefix(1);
  double v = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::general);
  if (ec != std::errc() || end == s.data()) return std::nullopt;
  return v;
}

}  // namespace

std::map<std::string, std::string> read_config_values(std::istream& in) {
  std::map<std::string, std::string> values;
  std::string line;
  std::string* open = nullptr;  // the value that continuation lines extend
  while (std::getline(in, line)) {
    if (const size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    if (line.find("EndConfigFile") != std::string::npos) break;
    const size_t eq = line.find('=');
    if (eq != std::string::npos) {
      open = &values[trim(std::string_view(line).substr(0, eq))];
      *open = trim(std::string_view(line).substr(eq + 1));
      continue;
    }
    const std::string text = trim(line);
    if (!open) continue;
    if (text.empty()) {
      open = nullptr;
      continue;
    }
    *open += '\n';
    *open += text;
  }
  return values;
}

ChartConfig chart_config_from(const std::map<std::string, std::string>& values) {
  ChartConfig c;
  auto text = [&](const char* key, std::string* out) {
    if (auto it = values.find(key); it != values.end()) *out = it->second;
  };
  text("template", &c.template_name);
  text("styleTitle", &c.style_title);
  text("styleHead2", &c.style_head2);
  text("styleHead3", &c.style_head3);
  auto box = [&](const std::string& stem, SlideBox* b) {
    const std::pair<const char*, double*> sides[] = {
        {"_left", &b->left}, {"_top", &b->top}, {"_width", &b->width}, {"_height", &b->height}};
    for (const auto& [side, field] : sides) {
      const std::string key = stem + side;
      const auto it = values.find(key);
      if (it == values.end()) continue;
      if (const std::optional<double> v = number(it->second))
        *field = *v;
      else
        c.warnings.push_back(key + " = " + it->second + " is no number; " + std::to_string(*field) + " is used");
    }
  };
  box("st", &c.st);
  box("base", &c.base);
  box("base_st", &c.base_st);
  box("chart1of1", &c.chart1of1);
  box("chart1of2", &c.chart1of2);
  box("chart2of2", &c.chart2of2);
  box("chart1of1_st", &c.chart1of1_st);
  box("chart1of2_st", &c.chart1of2_st);
  box("chart2of2_st", &c.chart2of2_st);
  return c;
}

bool read_chart_config(const std::string& path, ChartConfig* config, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *config = ChartConfig();
    *error = "The configuration file " + path + " cannot be read; the default positions are used.";
    return false;
  }
  *config = chart_config_from(read_config_values(in));
  return true;
}

}  // namespace vop
