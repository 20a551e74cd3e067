// The main queue and the loop that drains it.
#include "foundation/main_loop.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <thread>

#include "foundation/events_internal.h"
#include "platform/dispatch.h"
#include "runtime/blocks.h"
#include "runtime/class_builder.h"
#include "runtime/object_refs.h"

namespace qv::host {
namespace {

// The loop rechecks done() at least this often, for conditions that change without work
// being queued.
constexpr std::chrono::milliseconds kRecheckInterval{10};

[[noreturn]] void fail(const char* message) {
  std::fprintf(stderr, "%s\n", message);
  std::fflush(stderr);
  std::abort();
}

int makeWakeFd() {
  int fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (fd < 0) fail("main loop: cannot create its wake descriptor");
  return fd;
}

struct MainQueue {
  std::mutex lock;
  std::condition_variable queued;
  std::deque<id> blocks;  // each a heap copy made by dispatch_async
  int wakeFd = makeWakeFd();
  std::atomic<std::thread::id> mainThread{};

  // Called with the lock held, so that the descriptor is readable exactly while work waits.
  void signalLocked() {
    uint64_t one = 1;
    ssize_t n = write(wakeFd, &one, sizeof one);
    (void)n;  // only fails when the counter is saturated, which still reads as readable
  }
  void clearLocked() {
    uint64_t count;
    ssize_t n = read(wakeFd, &count, sizeof count);
    (void)n;  // EAGAIN: already clear
  }
};

MainQueue& mainQueue();

// A forked child must not share the parent's eventfd (reading it would steal the parent's
// wake-ups), nor inherit a lock held by another thread of the parent.
void lockForFork() { mainQueue().lock.lock(); }
void unlockInParent() { mainQueue().lock.unlock(); }
void renewInChild() {
  MainQueue& q = mainQueue();
  int fresh = makeWakeFd();
  dup3(fresh, q.wakeFd, O_CLOEXEC);
  close(fresh);
  if (!q.blocks.empty()) q.signalLocked();
  q.lock.unlock();
}

MainQueue& mainQueue() {
  // Never destroyed: other threads may queue work while the process exits.
  static MainQueue* q = [] {
    auto* created = new MainQueue();
    pthread_atfork(lockForFork, unlockInParent, renewInChild);
    return created;
  }();
  return *q;
}

void requireMainThread(const char* what) {
  if (!isMainThread()) {
    std::fprintf(stderr, "%s must be called on the main thread\n", what);
    std::fflush(stderr);
    std::abort();
  }
}

}  // namespace

void registerMainQueue() {
  mainQueue();
  std::thread::id none;
  mainQueue().mainThread.compare_exchange_strong(none, std::this_thread::get_id());
  // The queue object is the exported _dispatch_main_q, as in libdispatch: an object of the
  // main queue's class that lives as long as the process.
  Class cls = ClassBuilder<>("OS_dispatch_queue_main", "NSObject").cls();
  id queue = reinterpret_cast<id>(&_dispatch_main_q);
  queue->isa = cls;
  runtime::makeImmortal(queue);
}

void markMainThread() { mainQueue().mainThread.store(std::this_thread::get_id()); }

bool isMainThread() { return mainQueue().mainThread.load() == std::this_thread::get_id(); }

size_t runMainLoopOnce() {
  requireMainThread("runMainLoopOnce");
  MainQueue& q = mainQueue();
  size_t ran = 0;
  for (;;) {
    id block;
    {
      std::lock_guard<std::mutex> guard(q.lock);
      if (q.blocks.empty()) {
        q.clearLocked();
        return ran;
      }
      block = q.blocks.front();
      q.blocks.pop_front();
    }
    {
      AutoreleasePool pool;
      invokeBlock<>(block);
      _Block_release(block);
    }
    ran++;
  }
}

bool runMainLoopUntil(std::function<bool()> done, std::chrono::milliseconds timeout) {
  requireMainThread("runMainLoopUntil");
  MainQueue& q = mainQueue();
  auto isDone = [&] { return done && done(); };
  auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    runMainLoopOnce();
    if (isDone()) return true;
    auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return false;
    std::unique_lock<std::mutex> guard(q.lock);
    q.queued.wait_until(guard, std::min(deadline, now + kRecheckInterval),
                        [&] { return !q.blocks.empty(); });
  }
}

int mainLoopWakeFd() { return mainQueue().wakeFd; }

}  // namespace qv::host

using namespace qv::host;

extern "C" {

struct dispatch_queue_s {
  objc_object header;
};
struct dispatch_queue_s _dispatch_main_q;

void dispatch_async(dispatch_queue_t queue, id block) {
  if (queue != &_dispatch_main_q) fail("dispatch_async: not a dispatch queue");
  // Checked here rather than when it runs, so that the abort names the caller.
  qv::runtime::requireBlock(block, qv::blockEncodingOf<void()>(), "dispatch_async");
  MainQueue& q = mainQueue();
  {
    std::lock_guard<std::mutex> guard(q.lock);
    q.blocks.push_back(static_cast<id>(_Block_copy(block)));
    q.signalLocked();
  }
  q.queued.notify_all();
}

}  // extern "C"
