#include "data/block_ring.h"

#include <system_error>

namespace vop {

namespace {

// published_ holds the count of blocks, and this bit once no more will come.
constexpr int64_t kEnded = int64_t(1) << 62;
constexpr uint64_t kClaimMask = 0xFFFFFFFFu;

uint64_t ticket_of(int64_t block) { return uint64_t(block + 1) << 32; }

}  // namespace

BlockRing::BlockRing(int slots, int tasks_per_block, bool helper, Task run, Idle idle)
    : slots_(slots < 1 ? 1 : slots),
      tasks_(tasks_per_block),
      run_(std::move(run)),
      idle_(std::move(idle)) {
  if (helper && slots_ > 1) {
    try {
      helper_ = std::jthread([this](std::stop_token stop) { helper_loop(stop); });
    } catch (const std::system_error&) {
      // No thread: the producer does every task itself.
    }
  }
  if (!has_helper()) slots_ = 1;  // a block is worked while it is still in cache
  ring_ = std::make_unique<Slot[]>(size_t(slots_));
}

BlockRing::~BlockRing() {
  if (!helper_.joinable()) return;
  failed_.store(true);  // whatever is left is skipped, not done
  published_.fetch_or(kEnded, std::memory_order_release);
  published_.notify_all();
  helper_.request_stop();
  helper_.join();
}

void BlockRing::run_task(Slot& s, int slot, int task, int worker) {
  if (!failed_.load(std::memory_order_relaxed)) {
    try {
      run_(slot, task, worker);
    } catch (...) {
      if (!failed_.exchange(true)) error_ = std::current_exception();
    }
  }
  if (s.done.fetch_add(1, std::memory_order_acq_rel) + 1 == tasks_) s.done.notify_all();
}

bool BlockRing::try_one(int64_t& cursor, int worker) {
  const int64_t published = published_.load(std::memory_order_acquire) & ~kEnded;
  while (cursor < published) {
    const int slot = int(cursor % slots_);
    Slot& s = ring_[size_t(slot)];
    uint64_t t = s.ticket.load(std::memory_order_acquire);
    // The slot may already hold a later block; then this one is done.
    while ((t & ~kClaimMask) == ticket_of(cursor) && int(t & kClaimMask) < tasks_) {
      if (s.ticket.compare_exchange_weak(t, t + 1, std::memory_order_acq_rel,
                                         std::memory_order_acquire)) {
        run_task(s, slot, int(t & kClaimMask), worker);
        return true;
      }
    }
    ++cursor;  // every task of this block is taken
  }
  return false;
}

void BlockRing::helper_loop(std::stop_token stop) {
  int64_t cursor = 0;
  while (!stop.stop_requested()) {
    if (idle_ && !failed_.load(std::memory_order_relaxed) && idle_()) continue;
    if (try_one(cursor, 1)) continue;
    const int64_t p = published_.load(std::memory_order_acquire);
    if (cursor < (p & ~kEnded)) continue;  // blocks came since try_one looked
    if (p & kEnded) return;
    published_.wait(p, std::memory_order_acquire);
  }
}

void BlockRing::wait_done(Slot& s) {
  for (;;) {
    const int v = s.done.load(std::memory_order_acquire);
    if (v >= tasks_) return;
    if (try_one(producer_cursor_, 0)) continue;
    s.done.wait(v, std::memory_order_acquire);
  }
}

int BlockRing::acquire() {
  const int slot = int(next_ % slots_);
  if (next_ >= slots_) wait_done(ring_[size_t(slot)]);
  return slot;
}

void BlockRing::publish() {
  Slot& s = ring_[size_t(next_ % slots_)];
  s.done.store(0, std::memory_order_relaxed);
  s.ticket.store(ticket_of(next_), std::memory_order_release);
  ++next_;
  published_.store(next_, std::memory_order_release);
  if (has_helper()) published_.notify_one();
}

void BlockRing::drain() {
  while (try_one(producer_cursor_, 0)) {
  }
  for (int64_t b = next_ > slots_ ? next_ - slots_ : 0; b < next_; ++b)
    wait_done(ring_[size_t(b % slots_)]);
}

void BlockRing::finish() {
  drain();
  if (helper_.joinable()) {
    published_.fetch_or(kEnded, std::memory_order_release);
    published_.notify_all();
    helper_.join();
  }
  if (error_) std::rethrow_exception(error_);
}

}  // namespace vop
