// Pyramid: pyramid charts of conversion rates on a slide, from a table
// copied in a spreadsheet (the dialog) or read from a file (the command
// line).
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include <QApplication>

#include "companions/pyramid/pyramid_cli.h"
#include "companions/pyramid/pyramid_dialog.h"

namespace {

// Syntax/Vop.potx beside the executable, when it is there.
std::string template_beside(const std::filesystem::path& program_dir) {
  const std::filesystem::path t = program_dir / "Syntax" / "Vop.potx";
  std::error_code ec;
  return std::filesystem::is_regular_file(t, ec) ? t.string() : std::string();
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (!vop::pyramid::wants_dialog(args)) {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return vop::pyramid::run_command_line(args, ec ? std::string() : template_beside(exe.parent_path()), std::cout,
                                          std::cerr);
  }
  QApplication app(argc, argv);
  vop::pyramid::PyramidDialog dialog(
      QString::fromStdString(template_beside(QCoreApplication::applicationDirPath().toStdString())));
  dialog.show();
  return app.exec();
}
