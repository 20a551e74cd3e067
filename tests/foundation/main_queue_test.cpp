// ctest-labels: threads
// The main queue: work from any thread runs on the main thread, in order, when the loop turns.
#include <gtest/gtest.h>
#include <poll.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "foundation/foundation.h"
#include "foundation/foundation_internal.h"
#include "foundation/main_loop.h"
#include "platform/dispatch.h"
#include "runtime/object_refs.h"

namespace {

using namespace std::chrono_literals;
using qv::host::runMainLoopOnce;
using qv::host::runMainLoopUntil;
using Clock = std::chrono::steady_clock;

void queue(std::function<void()> fn) {
  qv::AutoreleasePool pool;
  dispatch_async(dispatch_get_main_queue(), qv::makeBlock<>(std::move(fn)));
}

bool readable(int fd, int timeoutMs = 0) {
  pollfd p{fd, POLLIN, 0};
  return poll(&p, 1, timeoutMs) == 1 && (p.revents & POLLIN);
}

class MainQueue : public testing::Test {
 protected:
  void SetUp() override { qv::host::registerFoundation(); }
};
using MainQueueDeathTest = MainQueue;

TEST_F(MainQueue, WorkFromAnotherThreadRunsOnTheMainThreadInOrderAtTheNextTurn) {
  std::vector<int> order;
  std::vector<bool> onMain;
  std::thread producer([&] {
    for (int i = 0; i < 100; i++) {
      queue([&order, &onMain, i] {
        order.push_back(i);
        onMain.push_back(qv::host::isMainThread());
      });
    }
  });
  producer.join();
  EXPECT_TRUE(order.empty());
  EXPECT_EQ(runMainLoopOnce(), 100u);
  ASSERT_EQ(order.size(), 100u);
  for (int i = 0; i < 100; i++) {
    EXPECT_EQ(order[i], i);
    EXPECT_TRUE(onMain[i]);
  }
  EXPECT_EQ(runMainLoopOnce(), 0u);
}

TEST_F(MainQueue, WorkQueuedOnTheMainThreadWaitsForTheLoop) {
  int ran = 0;
  queue([&] {
    ran++;
    queue([&] { ran += 10; });
    EXPECT_EQ(ran, 1);  // not run inside dispatch_async
  });
  EXPECT_EQ(ran, 0);
  EXPECT_EQ(runMainLoopOnce(), 2u);  // what a block queues runs in the same turn
  EXPECT_EQ(ran, 11);
}

TEST_F(MainQueue, EachBlockDrainsItsOwnPoolAndIsReleasedAfterRunning) {
  qv::AutoreleasePool outer;
  auto captured = std::make_shared<int>(0);
  qv::Weak temporary;
  queue([captured, &temporary] { temporary = qv::host::makeString("made while running"); });
  EXPECT_EQ(captured.use_count(), 2);  // the queue holds the block
  EXPECT_EQ(runMainLoopOnce(), 1u);
  EXPECT_EQ(captured.use_count(), 1);
  EXPECT_FALSE(temporary.load());
}

TEST_F(MainQueue, RunUntilTimesOutWhenNothingHappens) {
  auto start = Clock::now();
  EXPECT_FALSE(runMainLoopUntil([] { return false; }, 150ms));
  auto elapsed = Clock::now() - start;
  EXPECT_GE(elapsed, 150ms);
  EXPECT_LT(elapsed, 5s);
  // An empty condition never holds.
  EXPECT_FALSE(runMainLoopUntil(nullptr, 10ms));
}

TEST_F(MainQueue, RunUntilWakesPromptlyForWorkAndForTheCondition) {
  bool done = false;
  std::thread later([&] {
    std::this_thread::sleep_for(30ms);
    queue([&] { done = true; });
  });
  auto start = Clock::now();
  EXPECT_TRUE(runMainLoopUntil([&] { return done; }, 60s));
  EXPECT_LT(Clock::now() - start, 10s);
  later.join();

  // A condition that another thread satisfies without queueing anything is noticed too.
  std::atomic<bool> flag{false};
  std::thread setter([&] {
    std::this_thread::sleep_for(30ms);
    flag = true;
  });
  start = Clock::now();
  EXPECT_TRUE(runMainLoopUntil([&] { return flag.load(); }, 60s));
  EXPECT_LT(Clock::now() - start, 10s);
  setter.join();
}

TEST_F(MainQueue, WakeDescriptorIsReadableWhileWorkWaits) {
  int fd = qv::host::mainLoopWakeFd();
  ASSERT_GE(fd, 0);
  EXPECT_FALSE(readable(fd));
  // A poll() already waiting is woken by work queued from another thread.
  std::thread producer([] {
    std::this_thread::sleep_for(20ms);
    queue([] {});
  });
  EXPECT_TRUE(readable(fd, 30000));
  producer.join();
  EXPECT_TRUE(readable(fd));
  EXPECT_EQ(runMainLoopOnce(), 1u);
  EXPECT_FALSE(readable(fd));
}

TEST_F(MainQueue, MainThreadIsTheRegisteringOneUntilAnotherIsMarked) {
  EXPECT_TRUE(qv::host::isMainThread());
  bool otherIsMain = true;
  std::thread([&] { otherIsMain = qv::host::isMainThread(); }).join();
  EXPECT_FALSE(otherIsMain);

  int ran = 0;
  queue([&] { ran++; });
  size_t ranThere = 0;
  std::thread([&] {
    qv::host::markMainThread();
    otherIsMain = qv::host::isMainThread();
    ranThere = runMainLoopOnce();
  }).join();
  EXPECT_TRUE(otherIsMain);
  EXPECT_EQ(ranThere, 1u);
  EXPECT_EQ(ran, 1);
  EXPECT_FALSE(qv::host::isMainThread());
}

TEST_F(MainQueueDeathTest, TurningTheLoopOffTheMainThreadAborts) {
  EXPECT_DEATH(std::thread([] { runMainLoopOnce(); }).join(), "must be called on the main thread");
}

TEST_F(MainQueueDeathTest, QueueingSomethingOtherThanWorkAborts) {
  EXPECT_DEATH(dispatch_async(dispatch_get_main_queue(), nil), "nil block");
  EXPECT_DEATH(dispatch_async(reinterpret_cast<dispatch_queue_t>(qv::host::makeString("q")),
                              qv::makeBlock<>([] {})),
               "not a dispatch queue");
  EXPECT_DEATH(dispatch_async(dispatch_get_main_queue(), qv::host::makeString("work")),
               "not a block");
  EXPECT_DEATH(dispatch_async(dispatch_get_main_queue(), qv::makeBlock<int>([](int) {})),
               "signature mismatch");
}

}  // namespace
