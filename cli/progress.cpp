#include "cli/progress.h"

#include <unistd.h>

#include <cstdio>

#include "core/interpreter.h"

namespace vop {

namespace {

constexpr auto kDelay = std::chrono::seconds(1);          // quiet work shows nothing
constexpr auto kTick = std::chrono::milliseconds(125);
constexpr char kSpin[] = {'|', '/', '-', '\\'};

}  // namespace

bool Progress::wanted() { return ::isatty(STDERR_FILENO) && !::isatty(STDOUT_FILENO); }

Progress::Progress(const Interpreter& interp, bool enabled) : interp_(interp) {
  if (enabled) thread_ = std::thread([this] { loop(); });
}

Progress::~Progress() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void Progress::begin(std::string what, bool lines) {
  if (!thread_.joinable()) return;
  std::lock_guard<std::mutex> lock(mutex_);
  what_ = std::move(what);
  lines_ = lines;
  since_ = std::chrono::steady_clock::now();
}

void Progress::end() {
  if (!thread_.joinable()) return;
  std::lock_guard<std::mutex> lock(mutex_);
  what_.clear();
  if (shown_) std::fputs("\r\033[K", stderr);
  shown_ = false;
}

void Progress::loop() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (unsigned turn = 0; !quit_; ++turn) {
    wake_.wait_for(lock, kTick);
    if (quit_ || what_.empty() || std::chrono::steady_clock::now() - since_ < kDelay) continue;
    if (lines_)
      std::fprintf(stderr, "\r%c %s, line %d\033[K", kSpin[turn % 4], what_.c_str(), interp_.running_line());
    else
      std::fprintf(stderr, "\r%c %s\033[K", kSpin[turn % 4], what_.c_str());
    std::fflush(stderr);
    shown_ = true;
  }
  if (shown_) std::fputs("\r\033[K", stderr);
}

}  // namespace vop
