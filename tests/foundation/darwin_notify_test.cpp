// ctest-labels: threads
// The Darwin notification centre: posts reach every process on the same device root, on its
// main thread, and no process on another root.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "foundation/darwin_notify.h"
#include "foundation/device_root.h"
#include "foundation/foundation.h"
#include "foundation/foundation_internal.h"
#include "foundation/main_loop.h"
#include "platform/corefoundation.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using qv::host::postDarwinNotification;
using qv::host::runMainLoopUntil;

constexpr auto kPatience = 20s;

struct Received {
  std::vector<std::string> names;
  bool allOnMainThread = true;
  bool argumentsAsExpected = true;
  std::function<void(const std::string&)> then;
  size_t count(const std::string& name) const {
    return static_cast<size_t>(std::count(names.begin(), names.end(), name));
  }
};

void record(CFNotificationCenterRef center, void* observer, CFNotificationName name,
            const void* object, CFDictionaryRef userInfo) {
  auto* r = static_cast<Received*>(observer);
  std::string text = qv::host::stdString(const_cast<id>(name));
  r->names.push_back(text);
  r->allOnMainThread &= qv::host::isMainThread();
  r->argumentsAsExpected &=
      center == CFNotificationCenterGetDarwinNotifyCenter() && !object && !userInfo;
  if (r->then) r->then(text);
}

void observe(Received* r, const std::string& name) {
  qv::AutoreleasePool pool;
  CFNotificationCenterAddObserver(CFNotificationCenterGetDarwinNotifyCenter(), r, record,
                                  static_cast<CFStringRef>(qv::host::makeString(name)), nullptr,
                                  CFNotificationSuspensionBehaviorDeliverImmediately);
}

// Reads the lines a child writes to a pipe, giving up after a timeout.
class LineReader {
 public:
  explicit LineReader(int fd) : fd_(fd) {}
  ~LineReader() { close(fd_); }
  std::optional<std::string> next(std::chrono::milliseconds timeout = kPatience) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
      size_t nl = buffer_.find('\n');
      if (nl != std::string::npos) {
        std::string line = buffer_.substr(0, nl);
        buffer_.erase(0, nl + 1);
        return line;
      }
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      pollfd p{fd_, POLLIN, 0};
      if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) {
        return std::nullopt;
      }
      char chunk[256];
      ssize_t n = read(fd_, chunk, sizeof chunk);
      if (n <= 0) return std::nullopt;
      buffer_.append(chunk, static_cast<size_t>(n));
    }
  }

 private:
  int fd_;
  std::string buffer_;
};

void writeLine(int fd, const std::string& line) {
  std::string text = line + "\n";
  ssize_t n = write(fd, text.data(), text.size());
  (void)n;
}

// What a forked observer process knows; it has a single thread, so plain globals do.
struct ChildState {
  int out = -1;
  std::string last;
  bool done = false;
} gChild;

void childCallback(CFNotificationCenterRef, void*, CFNotificationName name, const void*,
                   CFDictionaryRef) {
  std::string text = qv::host::stdString(const_cast<id>(name));
  writeLine(gChild.out, text + (qv::host::isMainThread() ? "" : " (off the main thread)"));
  if (text == gChild.last) gChild.done = true;
}

struct Child {
  pid_t pid;
  std::unique_ptr<LineReader> lines;
};

// A process on `root` that observes `names`, reports "ready", then each name it receives,
// and "exit" once it has received `last`.
Child spawnObserver(const std::string& root, const std::vector<std::string>& names,
                    const std::string& last) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return {-1, nullptr};
  pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    gChild = {fds[1], last, false};
    qv::host::setDeviceRoot(root);
    qv::host::markMainThread();
    for (const std::string& name : names) {
      qv::AutoreleasePool pool;
      CFNotificationCenterAddObserver(CFNotificationCenterGetDarwinNotifyCenter(), nullptr,
                                      childCallback,
                                      static_cast<CFStringRef>(qv::host::makeString(name)), nullptr,
                                      CFNotificationSuspensionBehaviorCoalesce);
    }
    writeLine(gChild.out, "ready");
    bool done = runMainLoopUntil([] { return gChild.done; }, kPatience);
    writeLine(gChild.out, done ? "exit" : "timed out");
    _exit(0);
  }
  close(fds[1]);
  return {pid, std::make_unique<LineReader>(fds[0])};
}

// Waits for a child to exit, killing it if it takes too long.
bool reaped(pid_t pid) {
  auto deadline = std::chrono::steady_clock::now() + kPatience;
  int status = 0;
  for (;;) {
    pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == pid) return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (r < 0) return false;
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return false;
    }
    std::this_thread::sleep_for(5ms);
  }
}

// A child that runs `body` when told to. It is forked while this process still has a single
// thread: the child of a threaded process may not safely allocate (another thread may have
// held the allocator's lock at the fork).
class Deferred {
 public:
  explicit Deferred(const std::function<void()>& body) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(fds[1]);
      pollfd p{fds[0], POLLIN, 0};
      char go;
      if (poll(&p, 1, static_cast<int>(kPatience / 1ms)) != 1 || read(fds[0], &go, 1) != 1) {
        _exit(1);
      }
      body();
      _exit(0);
    }
    close(fds[0]);
    go_ = fds[1];
  }
  ~Deferred() {
    if (go_ >= 0) close(go_);
    if (pid_ > 0 && !ran_) reaped(pid_);
  }
  // Lets the child run its body and waits for it to finish.
  bool run() {
    ran_ = true;
    return pid_ > 0 && write(go_, "g", 1) == 1 && reaped(pid_);
  }

 private:
  pid_t pid_ = -1;
  int go_ = -1;
  bool ran_ = false;
};

std::string makeTempFolder() {
  char pattern[] = "/tmp/qv-darwin-XXXXXX";
  const char* made = mkdtemp(pattern);
  return made ? made : "";
}

class DarwinNotify : public testing::Test {
 protected:
  void SetUp() override {
    qv::host::registerFoundation();
    root = makeTempFolder();
    ASSERT_FALSE(root.empty());
    qv::host::setDeviceRoot(root);
  }
  void TearDown() override {
    std::error_code ec;
    for (const std::string& folder : cleanup) fs::remove_all(folder, ec);
    fs::remove_all(root, ec);
  }
  std::string ownSocket() const {
    return qv::host::darwinNotifyFolder() + "/" + std::to_string(getpid()) + ".sock";
  }
  std::string root;
  std::vector<std::string> cleanup;
};

TEST_F(DarwinNotify, OwnObserversAreCalledOnceOnTheMainThread) {
  Deferred sentinel([] { postDarwinNotification("com.qv.test.sentinel"); });
  Received r;
  observe(&r, "com.qv.test.ping");
  observe(&r, "com.qv.test.sentinel");
  EXPECT_EQ(qv::host::darwinNotifyFolder(), qv::host::realPath("/var/run/qv-notify"));
  EXPECT_TRUE(fs::exists(ownSocket()));
  {
    qv::AutoreleasePool pool;
    CFNotificationCenterPostNotification(
        CFNotificationCenterGetDarwinNotifyCenter(),
        static_cast<CFStringRef>(qv::host::makeString("com.qv.test.ping")), nullptr, nullptr, true);
  }
  EXPECT_TRUE(r.names.empty());  // queued for the main loop, not called inside the post
  ASSERT_TRUE(runMainLoopUntil([&] { return r.count("com.qv.test.ping") > 0; }, kPatience));
  // A post from another process arrives through this process's socket, after anything this
  // process might have wrongly sent itself.
  ASSERT_TRUE(sentinel.run());
  ASSERT_TRUE(runMainLoopUntil([&] { return r.count("com.qv.test.sentinel") > 0; }, kPatience));
  EXPECT_EQ(r.count("com.qv.test.ping"), 1u);
  EXPECT_EQ(r.count("com.qv.test.sentinel"), 1u);
  EXPECT_TRUE(r.allOnMainThread);
  EXPECT_TRUE(r.argumentsAsExpected);
}

TEST_F(DarwinNotify, AnotherProcessOnTheSameRootReceivesThePostOnItsMainThread) {
  // Forked first: a child of a process that already runs threads may not start its own
  // under ThreadSanitizer.
  Child child = spawnObserver(root, {"com.qv.test.ping"}, "com.qv.test.ping");
  ASSERT_GT(child.pid, 0);
  ASSERT_EQ(child.lines->next(), "ready");
  Received r;
  observe(&r, "com.qv.test.ping");
  std::string childSocket =
      qv::host::darwinNotifyFolder() + "/" + std::to_string(child.pid) + ".sock";
  EXPECT_TRUE(fs::exists(childSocket));
  postDarwinNotification("com.qv.test.ping");
  EXPECT_EQ(child.lines->next(), "com.qv.test.ping");
  EXPECT_EQ(child.lines->next(), "exit");
  EXPECT_TRUE(reaped(child.pid));
  EXPECT_TRUE(runMainLoopUntil([&] { return r.count("com.qv.test.ping") > 0; }, kPatience));

  // The child left its socket behind; the next post finds nobody there and removes it, and
  // leaves alone what is not a socket of this centre.
  std::string notes = qv::host::darwinNotifyFolder() + "/notes.txt";
  std::ofstream(notes) << "not a socket";
  postDarwinNotification("com.qv.test.ping");
  EXPECT_FALSE(fs::exists(childSocket));
  EXPECT_TRUE(fs::exists(notes));
  EXPECT_TRUE(fs::exists(ownSocket()));
}

TEST_F(DarwinNotify, ProcessesOnAnotherRootDoNotReceiveIt) {
  std::string otherRoot = makeTempFolder();
  cleanup.push_back(otherRoot);
  Child child =
      spawnObserver(otherRoot, {"com.qv.test.ping", "com.qv.test.done"}, "com.qv.test.done");
  ASSERT_GT(child.pid, 0);
  ASSERT_EQ(child.lines->next(), "ready");
  postDarwinNotification("com.qv.test.ping");
  qv::host::setDeviceRoot(otherRoot);
  postDarwinNotification("com.qv.test.done");
  // One socket delivers in order: a wrongly delivered "ping" would have come first.
  EXPECT_EQ(child.lines->next(), "com.qv.test.done");
  EXPECT_EQ(child.lines->next(), "exit");
  EXPECT_TRUE(reaped(child.pid));
}

TEST_F(DarwinNotify, LongRootsMeetInAShortFolderOfTheirOwn) {
  std::string longRoot = root + "/" + std::string(60, 'd') + "/" + std::string(60, 'e');
  qv::host::setDeviceRoot(longRoot);
  std::string folder = qv::host::darwinNotifyFolder();
  cleanup.push_back(folder);
  EXPECT_EQ(folder.rfind("/tmp/qv-notify-", 0), 0u);
  EXPECT_LT(folder.size() + 16, 100u);
  EXPECT_EQ(qv::host::darwinNotifyFolder(), folder);
  qv::host::setDeviceRoot(longRoot + "x");
  EXPECT_NE(qv::host::darwinNotifyFolder(), folder);
  qv::host::setDeviceRoot(longRoot);

  Child child = spawnObserver(longRoot, {"com.qv.test.long"}, "com.qv.test.long");
  ASSERT_GT(child.pid, 0);
  ASSERT_EQ(child.lines->next(), "ready");
  EXPECT_TRUE(fs::exists(folder + "/" + std::to_string(child.pid) + ".sock"));
  postDarwinNotification("com.qv.test.long");
  EXPECT_EQ(child.lines->next(), "com.qv.test.long");
  EXPECT_EQ(child.lines->next(), "exit");
  EXPECT_TRUE(reaped(child.pid));
}

TEST_F(DarwinNotify, RepeatedPostsMayBeFoldedButTheLastIsNeverLost) {
  Deferred burst([] {
    for (int i = 0; i < 300; i++) postDarwinNotification("com.qv.test.tick");
    postDarwinNotification("com.qv.test.end");
  });
  Received r;
  observe(&r, "com.qv.test.tick");
  observe(&r, "com.qv.test.end");
  for (int i = 0; i < 3; i++) postDarwinNotification("com.qv.test.tick");
  EXPECT_EQ(qv::host::runMainLoopOnce(), 1u);
  EXPECT_EQ(r.count("com.qv.test.tick"), 1u);
  // A post made while the callbacks run is delivered again.
  r.then = [&](const std::string& name) {
    if (name == "com.qv.test.tick" && r.count(name) == 2) postDarwinNotification(name);
  };
  postDarwinNotification("com.qv.test.tick");
  qv::host::runMainLoopOnce();
  EXPECT_EQ(r.count("com.qv.test.tick"), 3u);
  r.then = nullptr;

  // A burst from another process: at least one delivery, and all before what follows it.
  ASSERT_TRUE(burst.run());
  ASSERT_TRUE(runMainLoopUntil([&] { return r.count("com.qv.test.end") > 0; }, kPatience));
  EXPECT_GE(r.count("com.qv.test.tick"), 4u);
  EXPECT_LE(r.count("com.qv.test.tick"), 303u);
}

TEST_F(DarwinNotify, JunkDatagramsAndBadArgumentsAreIgnored) {
  Received r;
  observe(&r, "com.qv.test.real");
  // Ignored: no name, wrong centre, no callback, overlong names.
  CFNotificationCenterAddObserver(CFNotificationCenterGetDarwinNotifyCenter(), &r, record, nullptr,
                                  nullptr, CFNotificationSuspensionBehaviorDrop);
  {
    qv::AutoreleasePool pool;
    auto name = static_cast<CFStringRef>(qv::host::makeString("com.qv.test.real"));
    CFNotificationCenterAddObserver(nullptr, &r, record, name, nullptr,
                                    CFNotificationSuspensionBehaviorDrop);
    CFNotificationCenterAddObserver(CFNotificationCenterGetDarwinNotifyCenter(), &r, nullptr, name,
                                    nullptr, CFNotificationSuspensionBehaviorDrop);
    CFNotificationCenterPostNotification(CFNotificationCenterGetDarwinNotifyCenter(), nullptr,
                                         nullptr, nullptr, true);
    postDarwinNotification(std::string(5000, 'x'));
  }

  int fd = socket(AF_UNIX, SOCK_DGRAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::string path = ownSocket();
  ASSERT_LT(path.size(), sizeof addr.sun_path);
  std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
  auto send = [&](const std::string& bytes) {
    return sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&addr),
                  sizeof addr) == static_cast<ssize_t>(bytes.size());
  };
  EXPECT_TRUE(send(""));
  EXPECT_TRUE(send(std::string(5000, 'z')));
  EXPECT_TRUE(send(std::string("\0\xff\x01junk", 7)));
  EXPECT_TRUE(send(std::string(qv::host::kMaxDarwinNameLength + 1, 'y')));
  EXPECT_TRUE(send("com.qv.test.real"));
  close(fd);
  ASSERT_TRUE(runMainLoopUntil([&] { return !r.names.empty(); }, kPatience));
  qv::host::runMainLoopOnce();
  EXPECT_EQ(r.names, std::vector<std::string>{"com.qv.test.real"});
}

}  // namespace
