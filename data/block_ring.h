// Blocks of work passed from a producing thread to a helper thread.
//
// The producer (the thread that owns the ring) makes blocks one after
// another in a ring of slots; every block is then worked on as a fixed
// number of independent tasks. A helper thread, when there is one, takes
// tasks of published blocks as they come; the producer takes them too
// whenever it has to wait for a slot, so the work balances itself between
// the two however the cost is split between making and working. Without a
// helper the producer does every task of a block before reusing its slot.
//
// A slot is reused only when every task of its block is done, so a task may
// read its block and write wherever its index says without locks.
#pragma once

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <thread>

namespace vop {

class BlockRing {
 public:
  // run(slot, task, worker) does one task of the block in `slot`; worker is
  // 0 on the producer and 1 on the helper.
  using Task = std::function<void(int slot, int task, int worker)>;
  // Work the helper does first whenever it looks for a task; returns false
  // when it has nothing to do just now. It runs only on the helper.
  using Idle = std::function<bool()>;

  // `slots` blocks may be in the ring at once; `helper` starts the helper
  // thread (it may fail to start, and then the producer works alone).
  BlockRing(int slots, int tasks_per_block, bool helper, Task run, Idle idle = nullptr);
  // Stops the helper without waiting for outstanding tasks.
  ~BlockRing();
  BlockRing(const BlockRing&) = delete;
  BlockRing& operator=(const BlockRing&) = delete;

  // The slot for the next block (slots are used in turn: block b goes in
  // slot b % slot_count()), once the block that last used it is done
  // (doing tasks meanwhile).
  int acquire();
  // The slot returned by acquire() holds a new block: hand out its tasks.
  void publish();
  // Wait, doing tasks, until every published block is done.
  void drain();
  // No more blocks: finish every task and stop the helper. Rethrows the
  // first exception a task threw, on either thread.
  void finish();

  bool has_helper() const { return helper_.joinable(); }
  // Slots in the ring: one when the producer works alone.
  int slot_count() const { return slots_; }
  // A task threw; finish() will rethrow it, so making more blocks is moot.
  bool failed() const { return failed_.load(std::memory_order_relaxed); }

 private:
  struct Slot {
    // Block number in the high half, tasks handed out in the low half.
    std::atomic<uint64_t> ticket{0};
    std::atomic<int> done{0};  // tasks of the block finished
  };

  bool try_one(int64_t& cursor, int worker);
  void run_task(Slot& s, int slot, int task, int worker);
  void helper_loop(std::stop_token stop);
  void wait_done(Slot& s);

  int slots_;
  const int tasks_;
  Task run_;
  Idle idle_;
  std::unique_ptr<Slot[]> ring_;
  std::atomic<int64_t> published_{0};  // blocks handed out so far
  std::atomic<bool> ended_{false};     // no more blocks will come
  std::atomic<bool> failed_{false};    // a task threw: the rest are skipped
  std::exception_ptr error_;           // first exception, set with failed_
  int64_t next_ = 0;                   // producer: number of the next block
  int64_t producer_cursor_ = 0;        // producer: oldest block it may help with
  std::jthread helper_;                // declared last: stops first
};

}  // namespace vop
