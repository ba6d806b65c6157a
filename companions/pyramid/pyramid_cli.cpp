#include "companions/pyramid/pyramid_cli.h"

#include <charconv>
#include <ctime>

#include "companions/pyramid/pyramid_chart.h"
#include "companions/pyramid/pyramid_table.h"

namespace vop::pyramid {

namespace {

constexpr const char* kUsage =
    "Usage: Pyramid                 (the dialog: draws the table copied to the clipboard)\n"
    "       Pyramid --input TABLE --output SLIDE.pptx [--next-to] [--optimal] [--seed N]\n"
    "\n"
    "Draws pyramid charts of conversion rates on a new slide.\n"
    "TABLE is a tab-separated file, a .csv file, or a range of a workbook sheet\n"
    "written book.xlsx:Sheet1!B2:F9. Its left column names the levels, its bottom\n"
    "row the pyramids, the cells between them are percentages.\n"
    "\n"
    "  --next-to    conversion ratios next to each pyramid (default: in it)\n"
    "  --optimal    also draw the optimal pyramid of the best ratios\n"
    "  --seed N     the colours' random seed (default: from the clock)\n"
    "  --help       this text\n";

}  // namespace

bool wants_dialog(const std::vector<std::string>& args) { return args.empty() || (args.size() == 1 && args[0] == " "); }

int run_command_line(const std::vector<std::string>& args, const std::string& template_path, std::ostream& out,
                     std::ostream& err) {
  std::string input, output;
  Options options;
  bool seeded = false;
  uint32_t seed = 0;
  const auto usage = [&](const std::string& why) {
    err << "Pyramid: " << why << "\n" << kUsage;
    return 2;
  };
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const auto value = [&](std::string* to) {
      if (i + 1 >= args.size()) return false;
      *to = args[++i];
      return true;
    };
    if (a == "--help" || a == "-h") {
      out << kUsage;
      return 0;
    } else if (a == "--input") {
      if (!value(&input)) return usage("--input needs a file");
    } else if (a == "--output") {
      if (!value(&output)) return usage("--output needs a file");
    } else if (a == "--next-to") {
      options.next_to = true;
    } else if (a == "--optimal") {
      options.optimal = true;
    } else if (a == "--seed") {
      std::string n;
      if (!value(&n)) return usage("--seed needs a number");
      const auto [end, ec] = std::from_chars(n.data(), n.data() + n.size(), seed);
      if (ec != std::errc() || end != n.data() + n.size()) return usage("--seed takes a whole number 0 to 4294967295");
      seeded = true;
    } else {
      return usage("unknown argument \"" + a + "\"");
    }
  }
  if (input.empty() || output.empty()) return usage("give both --input and --output");
  if (!seeded) seed = seed_of_time(uint64_t(std::time(nullptr)));

  Table table;
  std::string error;
  if (!read_table_file(input, &table, &error)) {
    err << "Pyramid: " << error << "\n";
    return 1;
  }
  Presentation p;
  if (!make_presentation(table, options, seed, template_path, &p, &error) || !p.save(output, &error)) {
    err << "Pyramid: " << error << "\n";
    return 1;
  }
  return 0;
}

}  // namespace vop::pyramid
