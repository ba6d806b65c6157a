// Tesvin: started by Vop with one blank argument (or with none) it shows
// its dialog; with options it converts on the command line.
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <QApplication>
#include <QTemporaryDir>

#include "companions/slides/converter.h"
#include "companions/slides/tesvin_dialog.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage =
    "usage: Tesvin [--input DOC.docx --output SLIDES.pptx [--without-charts] [--two-headers] [--config FILE]]\n"
    "Without options Tesvin shows its dialog.\n"
    "  --input FILE       the Word document Vop wrote (.docx; a .doc is converted by LibreOffice)\n"
    "  --output FILE      the presentation to write (.pptx)\n"
    "  --without-charts   pages without charts get a slide too\n"
    "  --two-headers      the page heading goes into a text box, not the slide title\n"
    "  --config FILE      the positions and styles (default: Syntax/chart.cfg beside Tesvin);\n"
    "                     its template is looked for beside it\n";

fs::path syntax_dir() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return (ec ? fs::current_path() : exe.parent_path()) / "Syntax";
}

int run_command_line(const std::vector<std::string_view>& args) {
  std::string input, output, config_path;
  vop::SlideOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string_view a = args[i];
    auto value = [&](std::string* out) {
      if (i + 1 >= args.size()) return false;
      *out = args[++i];
      return true;
    };
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (a == "--without-charts") {
      options.without_charts = true;
    } else if (a == "--two-headers") {
      options.two_headers = true;
    } else if ((a == "--input" && value(&input)) || (a == "--output" && value(&output)) ||
               (a == "--config" && value(&config_path))) {
    } else {
      std::fprintf(stderr, "Tesvin: %s: unknown option or missing value\n%s", std::string(a).c_str(), kUsage);
      return 2;
    }
  }
  if (input.empty() || output.empty()) {
    std::fprintf(stderr, "Tesvin: --input and --output are needed\n%s", kUsage);
    return 2;
  }
  const fs::path syntax = config_path.empty() ? syntax_dir() : fs::absolute(config_path).parent_path();
  if (config_path.empty()) config_path = (syntax / "chart.cfg").string();

  vop::ChartConfig config;
  std::string error;
  if (!vop::read_chart_config(config_path, &config, &error))
    std::fprintf(stderr, "Tesvin: warning: %s\n", error.c_str());
  for (const std::string& w : config.warnings) std::fprintf(stderr, "Tesvin: warning: %s\n", w.c_str());

  std::string docx = input;
  QTemporaryDir scratch;
  if (vop::is_binary_word(input) &&
      (!scratch.isValid() || !vop::doc_to_docx(input, scratch.path().toStdString(), &docx, &error))) {
    std::fprintf(stderr, "Tesvin: %s\n", error.c_str());
    return 1;
  }
  if (!vop::convert_document(docx, output, config, syntax.string(), options, &error)) {
    std::fprintf(stderr, "Tesvin: %s\n", vop::about_original(error, docx, input).c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string_view> args(argv + 1, argv + argc);
  const bool dialog = args.empty() || (args.size() == 1 && args[0].find_first_not_of(" \t") == std::string_view::npos);
  if (!dialog) return run_command_line(args);
  QApplication app(argc, argv);
  vop::TesvinDialog window(QString::fromStdString(syntax_dir().string()), vop::desktop_hooks());
  window.show();
  window.exec();
  return 0;
}
