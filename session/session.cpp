#include "session/session.h"

#include <filesystem>
#include <system_error>

#include "builtins/gui_builtins.h"
#include "builtins/library.h"
#include "data/data_builtins.h"

namespace vop {

Session::Session(const SessionOptions& options) : interp_(out_) {
  if (options.consumer) out_.set_consumer(options.consumer);
  install_builtins(interp_);
  install_data_builtins(interp_);
  install_gui_builtins(interp_);
  if (!options.program_dir.empty()) {
    interp_.set_base_dir(options.program_dir);
    // The function files shipped with the program (the table library),
    // after the program's own folder.
    interp_.add_search_dir((std::filesystem::path(options.program_dir) / "Syntax").string());
    interp_.add_search_dir(options.program_dir);
  }
  for (auto it = options.search_dirs.rbegin(); it != options.search_dirs.rend(); ++it)
    interp_.add_search_dir(*it);
  data().warning_hook = options.warning_hook;
  if (options.run_startup) startup_code_ = run_startup();
}

int Session::run_text(std::string_view text) {
  DatasetGuard held(data());
  return interp_.run_text(text);
}

int Session::run_program(const GuiProgram& program) {
  DatasetGuard held(data());
  return interp_.run_program(program.text, *program.program);
}

int Session::run_startup() {
  std::error_code ec;
  if (!std::filesystem::exists("Syntax/start.s", ec)) return 0;
  DatasetGuard held(data());
  return interp_.run_startup();
}

bool Session::open_data(const std::string& path, bool native) {
  DatasetGuard held(data());
  interp_.reset_run();
  return open_dataset(interp_, path, native);
}

std::unique_ptr<Session> make_session(const SessionOptions& options) {
  return std::make_unique<Session>(options);
}

std::string program_directory() {
  std::error_code ec;
  const auto exe = std::filesystem::canonical("/proc/self/exe", ec);
  return ec ? std::string() : exe.parent_path().string();
}

}  // namespace vop
