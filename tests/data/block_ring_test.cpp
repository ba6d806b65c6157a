// The ring that hands blocks of work from the decoding thread to a helper:
// every task of every block runs exactly once, on the block that was
// published in its slot, with or without a helper; a task's exception comes
// back from finish(); an abandoned ring stops without hanging.
#include "data/block_ring.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

namespace vop {
namespace {

constexpr int kTasks = 5;
constexpr int kSlots = 4;

// Publishes `blocks` blocks; the task records which block it saw.
struct Record {
  std::vector<int> slot_block = std::vector<int>(kSlots, -1);  // block each slot holds
  std::vector<std::atomic<int>> seen;                          // per block and task
  std::atomic<int> on_helper{0};
  explicit Record(int blocks) : seen(size_t(blocks) * kTasks) {}
};

void produce(BlockRing& ring, Record& run, int blocks) {
  for (int b = 0; b < blocks; ++b) {
    const int slot = ring.acquire();
    run.slot_block[size_t(slot)] = b;
    ring.publish();
  }
  ring.finish();
}

BlockRing::Task recorder(Record& run) {
  return [&run](int slot, int task, int worker) {
    run.seen[size_t(run.slot_block[size_t(slot)]) * kTasks + size_t(task)].fetch_add(1);
    if (worker == 1) run.on_helper.fetch_add(1);
  };
}

TEST(BlockRing, EveryTaskRunsOnceOnItsBlock) {
  for (const bool helper : {false, true}) {
    SCOPED_TRACE(helper ? "with helper" : "alone");
    constexpr int kBlocks = 2000;
    Record run(kBlocks);
    BlockRing ring(kSlots, kTasks, helper, recorder(run));
    EXPECT_EQ(ring.slot_count(), ring.has_helper() ? kSlots : 1);
    produce(ring, run, kBlocks);
    for (size_t i = 0; i < run.seen.size(); ++i) ASSERT_EQ(run.seen[i].load(), 1) << "task " << i;
    if (!helper) {
      EXPECT_EQ(run.on_helper.load(), 0);
    }
  }
}

TEST(BlockRing, DrainFinishesEveryPublishedBlock) {
  Record run(10);
  BlockRing ring(kSlots, kTasks, true, recorder(run));
  for (int b = 0; b < 3; ++b) {
    run.slot_block[size_t(ring.acquire())] = b;
    ring.publish();
  }
  ring.drain();
  for (size_t i = 0; i < size_t(3 * kTasks); ++i) EXPECT_EQ(run.seen[i].load(), 1);
  ring.finish();
}

TEST(BlockRing, ATaskExceptionComesBackFromFinish) {
  for (const bool helper : {false, true}) {
    std::atomic<int> ran{0};
    BlockRing ring(kSlots, kTasks, helper, [&](int, int task, int) {
      ran.fetch_add(1);
      if (task == 3) throw std::runtime_error("task failed");
    });
    int published = 0;
    for (; published < 100 && !ring.failed(); ++published) {
      ring.acquire();
      ring.publish();
    }
    EXPECT_THROW(ring.finish(), std::runtime_error);
    // Once one task failed the rest are skipped, not run (alone, the
    // order is fixed: the fifth task of the first block is skipped).
    EXPECT_LE(ran.load(), published * kTasks);
    if (!helper) {
      EXPECT_EQ(ran.load(), 4);
    }
  }
}

TEST(BlockRing, AbandonedRingStops) {
  // Published but never finished (the reader left early): the destructor
  // returns without running what was left.
  std::atomic<int> ran{0};
  {
    BlockRing ring(kSlots, kTasks, true, [&](int, int, int) { ran.fetch_add(1); });
    for (int b = 0; b < kSlots; ++b) {
      ring.acquire();
      ring.publish();
    }
  }
  EXPECT_LE(ran.load(), kSlots * kTasks);
}

TEST(BlockRing, BlocksWithoutTasks) {
  BlockRing ring(kSlots, 0, true, [](int, int, int) { FAIL() << "no task to run"; });
  for (int b = 0; b < 50; ++b) {
    ring.acquire();
    ring.publish();
  }
  ring.finish();
}

TEST(BlockRing, IdleWorkRunsOnTheHelperOnly) {
  std::atomic<int> idle_calls{0};
  int left = 100;  // touched by the helper only
  BlockRing ring(
      kSlots, 1, true, [](int, int, int) {},
      [&]() {
        if (left == 0) return false;
        --left;
        idle_calls.fetch_add(1);
        return true;
      });
  const bool helper = ring.has_helper();
  for (int b = 0; b < 20; ++b) {
    ring.acquire();
    ring.publish();
  }
  ring.finish();
  if (helper) {
    EXPECT_GT(idle_calls.load(), 0);
  }
  EXPECT_LE(idle_calls.load(), 100);
}

}  // namespace
}  // namespace vop
