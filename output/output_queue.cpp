#include "output/output_queue.h"

namespace vop {

void OutputQueue::text(TextFormat format, std::string_view run) {
  if (run.empty()) return;
  bool was_empty;
  {
    std::lock_guard lock(mutex_);
    was_empty = pending_.empty();
    // Only plain text merges: the window places the caret by the start of
    // each heading and error caption, so those runs stay whole.
    TextRun* last = was_empty ? nullptr : std::get_if<TextRun>(&pending_.back());
    if (format == TextFormat::Plain && last && last->format == TextFormat::Plain)
      last->text += run;
    else
      pending_.emplace_back(TextRun{format, std::string(run)});
  }
  woke(was_empty);
}

void OutputQueue::consume(OutputEvent&& event) {
  if (auto* run = std::get_if<TextRun>(&event)) {
    text(run->format, run->text);
    return;
  }
  bool was_empty;
  {
    std::lock_guard lock(mutex_);
    was_empty = pending_.empty();
    pending_.push_back(std::move(event));
  }
  woke(was_empty);
}

void OutputQueue::woke(bool was_empty) {
  if (!was_empty) return;  // the reader has a wake-up on its way already
  ready_.notify_all();
  if (wake_) wake_();
}

void OutputQueue::close() {
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
  }
  ready_.notify_all();
}

std::vector<OutputEvent> OutputQueue::drain() {
  std::vector<OutputEvent> batch;
  std::lock_guard lock(mutex_);
  batch.swap(pending_);
  return batch;
}

std::vector<OutputEvent> OutputQueue::wait_and_drain() {
  std::vector<OutputEvent> batch;
  std::unique_lock lock(mutex_);
  ready_.wait(lock, [&] { return !pending_.empty() || closed_; });
  batch.swap(pending_);
  return batch;
}

}  // namespace vop
