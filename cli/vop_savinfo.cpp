// vop-savinfo: print the dictionary of an SPSS system file and its first
// cases as the reader sees them.
//
//   vop-savinfo FILE.sav [CASES]     (CASES defaults to 10)
//   vop-savinfo --help | --version
//
// Exit status 0, 1 when the file cannot be read, 2 for bad usage.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/errors.h"
#include "data/dataset.h"
#include "data/sav_reader.h"

namespace {

constexpr int kDefaultCases = 10;

void print_number(double x) {
  if (std::isnan(x)) std::printf(".");
  else std::printf("%.10g", x);
}

void print_variable(const vop::DataVariable& v, int position) {
  std::printf("%d\t%s\t%s", position, v.name().c_str(),
              v.numeric() ? "numeric" : ("string " + std::to_string(v.string_width)).c_str());
  std::printf("\tformat %d.%d.%d\tmeasure %d\talign %d\tdisplay %d", v.format_type,
              v.format_width, v.decimals, v.measure, v.alignment, v.display_width);
  if (v.short_name) std::printf("\tshort %s", v.short_name->c_str());
  if (v.label) std::printf("\tlabel \"%s\"", v.label->c_str());
  std::printf("\n");
  if (v.missing_code != 0 && v.numeric()) {
    std::printf("\tmissing code %d:", v.missing_code);
    const int n = v.missing_code > 0 ? v.missing_code : -v.missing_code;
    for (int i = 0; i < n; ++i) {
      std::printf(" ");
      print_number(v.missing_values[size_t(i)]);
    }
    std::printf("\n");
  }
  for (const vop::ValueLabel& vl : v.value_labels) {
    std::printf("\tvalue ");
    print_number(vl.value);
    std::printf(" = \"%s\"\n", vl.text.c_str());
  }
}

}  // namespace

int main(int argc, char** argv) {
  constexpr const char* kUsage =
      "usage: vop-savinfo FILE.sav [CASES]\n"
      "  prints the dictionary of an SPSS system file and its first CASES cases (10)\n";
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (!std::strcmp(argv[i], "--version")) {
      std::printf("vop-savinfo 0.1.0\n");
      return 0;
    }
    if (argv[i][0] == '-' && argv[i][1]) {
      std::fprintf(stderr, "vop-savinfo: unknown option %s\n%s", argv[i], kUsage);
      return 2;
    }
  }
  if (argc < 2 || argc > 3) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  char* end = nullptr;
  if (argc == 3 && (std::strtol(argv[2], &end, 10) < 0 || *end || end == argv[2])) {
    std::fprintf(stderr, "vop-savinfo: CASES must be a whole number, not %s\n%s", argv[2], kUsage);
    return 2;
  }
  const int max_cases = argc == 3 ? std::atoi(argv[2]) : kDefaultCases;
  vop::Dataset ds;
  vop::ErrorState err;
  if (!vop::read_sav(argv[1], ds, err)) {
    std::fprintf(stderr, "vop-savinfo: %s: ERROR %d: %s%s%s\n", argv[1], err.code(),
                 vop::error_message(err.code(), err.name()).c_str(), err.name().empty() ? "" : ": ",
                 err.name().c_str());
    return 1;
  }
  std::printf("File: %s\nVariables: %d\nCases: %d\nWeight: %s\n", argv[1], ds.variable_count(),
              ds.case_count(), ds.weight_name() ? ds.weight_name()->c_str() : "(none)");
  std::printf("\n# Variables\n");
  for (int i = 0; i < ds.variable_count(); ++i) print_variable(ds.variable(i), i + 1);
  if (!ds.multiple_variables().empty()) std::printf("\n# Multiple response sets\n");
  for (const vop::MultipleVariable& m : ds.multiple_variables()) {
    std::printf("%s\t%s", m.name.c_str(),
                m.kind == vop::MultipleKind::Dichotomy ? "dichotomy" : "category");
    if (!m.counted_values.empty()) std::printf(" %.10g", m.counted_values[0]);
    std::printf("\tlabel \"%s\"\tmembers", m.label ? m.label->c_str() : "");
    for (const std::string& s : m.members) std::printf(" %s", s.c_str());
    std::printf("\n");
  }
  std::printf("\n# Cases\n");
  for (int r = 0; r < ds.case_count() && r < max_cases; ++r) {
    for (int i = 0; i < ds.variable_count(); ++i) {
      const vop::Matrix& c = ds.variable(i).column;
      if (i > 0) std::printf("\t");
      if (c.numeric()) print_number(c[r]);
      else if (c.sat(r, 0)) std::printf("%s", c.sat(r, 0)->c_str());
    }
    std::printf("\n");
  }
  return 0;
}
