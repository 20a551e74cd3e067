#include "foundation/darwin_notify.h"

#include <dirent.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <mutex>
#include <set>
#include <vector>

#include "foundation/device_root.h"
#include "foundation/foundation_internal.h"
#include "foundation/unix_address.h"
#include "platform/corefoundation.h"
#include "platform/dispatch.h"

struct __CFNotificationCenter {
  int unused;
};

namespace qv::host {
namespace {

constexpr const char* kDeviceFolder = "/var/run/qv-notify";
// Socket addresses hold 108 bytes; stay well inside, with room for "/<pid>.sock".
constexpr size_t kMaxSocketPath = 100;
constexpr size_t kSocketNameRoom = 16;
// A receiver that cannot take a datagram for this long is stuck; it misses the post.
constexpr int kSendTimeoutSeconds = 1;

__CFNotificationCenter gDarwinCenter;

struct Registration {
  const void* observer;
  CFNotificationCallback callback;
  std::string name;
};

struct DarwinState {
  std::mutex lock;
  std::vector<Registration> registrations;
  std::set<std::string> pending;  // names with a delivery queued on the main queue
  bool listening = false;
  pid_t owner = 0;
  int socketFd = -1;
  int stopFd = -1;
  std::string socketPath;
  pthread_t thread{};
};

DarwinState& state() {
  static DarwinState* s = new DarwinState();  // the listener may outlive static destructors
  return *s;
}

bool isSocketName(const char* name) {
  const char* p = name;
  while (*p >= '0' && *p <= '9') p++;
  return p != name && std::strcmp(p, ".sock") == 0;
}

// ---- delivery, on the main thread ----

void runCallbacks(const std::string& name) {
  std::vector<Registration> matches;
  {
    DarwinState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    // Cleared before the calls, so that a post made while they run is delivered again.
    s.pending.erase(name);
    for (const Registration& r : s.registrations) {
      if (r.name == name) matches.push_back(r);
    }
  }
  AutoreleasePool pool;
  auto nameObject = static_cast<CFNotificationName>(makeString(name));
  for (const Registration& r : matches) {
    r.callback(&gDarwinCenter, const_cast<void*>(r.observer), nameObject, nullptr, nullptr);
  }
}

void deliverLater(const std::string& name) {
  {
    DarwinState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    bool observed = std::any_of(s.registrations.begin(), s.registrations.end(),
                                [&](const Registration& r) { return r.name == name; });
    if (!observed || !s.pending.insert(name).second) return;
  }
  AutoreleasePool pool;
  dispatch_async(dispatch_get_main_queue(), makeBlock<>([name] { runCallbacks(name); }));
}

// ---- the listener ----

struct ListenerFds {
  int socketFd;
  int stopFd;
};

void* listenLoop(void* arg) {
  ListenerFds fds = *static_cast<ListenerFds*>(arg);
  delete static_cast<ListenerFds*>(arg);
  char buf[kMaxDarwinNameLength + 1];
  for (;;) {
    pollfd polled[2] = {{fds.socketFd, POLLIN, 0}, {fds.stopFd, POLLIN, 0}};
    if (poll(polled, 2, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (polled[1].revents) break;
    if (polled[0].revents & (POLLERR | POLLNVAL)) break;
    for (;;) {
      ssize_t n = recv(fds.socketFd, buf, sizeof buf, MSG_DONTWAIT | MSG_TRUNC);
      if (n < 0) break;
      // Empty or overlong datagrams are junk, not names anyone registered.
      if (n == 0 || static_cast<size_t>(n) > kMaxDarwinNameLength) continue;
      AutoreleasePool pool;
      deliverLater(std::string(buf, static_cast<size_t>(n)));
    }
  }
  return nullptr;
}

void stopListener() {
  DarwinState& s = state();
  ListenerFds fds;
  pthread_t thread;
  std::string path;
  {
    std::lock_guard<std::mutex> guard(s.lock);
    if (!s.listening || s.owner != getpid()) return;
    s.listening = false;
    fds = {s.socketFd, s.stopFd};
    thread = s.thread;
    path = s.socketPath;
  }
  uint64_t one = 1;
  ssize_t n = write(fds.stopFd, &one, sizeof one);
  (void)n;
  pthread_join(thread, nullptr);
  close(fds.socketFd);
  close(fds.stopFd);
  unlink(path.c_str());
}

// The child of a fork has none of the parent's threads: it forgets the listener (without
// removing the parent's socket) and the registrations that belonged to it.
void lockForFork() { state().lock.lock(); }
void unlockInParent() { state().lock.unlock(); }
void resetInChild() {
  DarwinState& s = state();
  if (s.listening) {
    close(s.socketFd);
    close(s.stopFd);
    s.listening = false;
  }
  s.registrations.clear();
  s.pending.clear();
  s.lock.unlock();
}

bool startListenerLocked(DarwinState& s) {
  if (s.listening) return true;
  static std::once_flag hooks;
  std::call_once(hooks, [] {
    pthread_atfork(lockForFork, unlockInParent, resetInChild);
    std::atexit(stopListener);
  });
  std::string folder = darwinNotifyFolder();
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  std::string path = folder + "/" + std::to_string(getpid()) + ".sock";
  sockaddr_un addr;
  int fd = -1;
  int stop = -1;
  if (unixAddress(addr, path)) fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd >= 0) {
    unlink(path.c_str());  // left behind by an earlier process with this pid
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
      stop = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    }
  }
  pthread_t thread;
  if (stop >= 0 && pthread_create(&thread, nullptr, listenLoop, new ListenerFds{fd, stop}) == 0) {
    s.listening = true;
    s.owner = getpid();
    s.socketFd = fd;
    s.stopFd = stop;
    s.socketPath = path;
    s.thread = thread;
    return true;
  }
  std::fprintf(stderr, "darwin notify: cannot listen at %s: %s\n", path.c_str(),
               std::strerror(errno));
  if (stop >= 0) close(stop);
  if (fd >= 0) close(fd);
  return false;
}

// ---- posting to other processes ----

void sendTo(int fd, const std::string& path, const std::string& name) {
  sockaddr_un addr;
  struct stat before;
  if (!unixAddress(addr, path) || lstat(path.c_str(), &before) != 0) return;
  if (sendto(fd, name.data(), name.size(), MSG_NOSIGNAL, reinterpret_cast<sockaddr*>(&addr),
             sizeof addr) >= 0) {
    return;
  }
  if (errno != ECONNREFUSED) return;
  // Nobody listens there any more; remove it unless a new process has just bound the path.
  struct stat after;
  if (lstat(path.c_str(), &after) == 0 && after.st_ino == before.st_ino &&
      after.st_dev == before.st_dev) {
    unlink(path.c_str());
  }
}

void postToOtherProcesses(const std::string& name) {
  std::string own;
  {
    DarwinState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    if (s.listening) own = s.socketPath;
  }
  std::string folder = darwinNotifyFolder();
  DIR* dir = opendir(folder.c_str());
  if (!dir) return;
  int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd >= 0) {
    timeval timeout{kSendTimeoutSeconds, 0};
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    while (dirent* entry = readdir(dir)) {
      if (!isSocketName(entry->d_name)) continue;
      std::string path = folder + "/" + entry->d_name;
      if (path != own) sendTo(fd, path, name);
    }
    close(fd);
  }
  closedir(dir);
}

}  // namespace

std::string darwinNotifyFolder() {
  std::string folder = realPath(kDeviceFolder);
  if (folder.size() + kSocketNameRoom <= kMaxSocketPath) return folder;
  uint64_t hash = 14695981039346656037ull;  // FNV-1a
  for (unsigned char c : folder) hash = (hash ^ c) * 1099511628211ull;
  char name[64];
  std::snprintf(name, sizeof name, "/tmp/qv-notify-%016llx", static_cast<unsigned long long>(hash));
  return name;
}

void postDarwinNotification(const std::string& name) {
  if (name.empty() || name.size() > kMaxDarwinNameLength) return;
  deliverLater(name);
  postToOtherProcesses(name);
}

}  // namespace qv::host

using namespace qv::host;

extern "C" {

CFNotificationCenterRef CFNotificationCenterGetDarwinNotifyCenter(void) { return &gDarwinCenter; }

void CFNotificationCenterAddObserver(CFNotificationCenterRef center, const void* observer,
                                     CFNotificationCallback callback, CFStringRef name,
                                     const void* /*object*/,
                                     CFNotificationSuspensionBehavior /*suspensionBehavior*/) {
  std::string text = stdString(const_cast<id>(name));
  if (center != &gDarwinCenter || !callback || text.empty() || text.size() > kMaxDarwinNameLength) {
    return;
  }
  DarwinState& s = state();
  std::lock_guard<std::mutex> guard(s.lock);
  // Without a listener the observer still hears this process's own posts.
  startListenerLocked(s);
  s.registrations.push_back({observer, callback, std::move(text)});
}

void CFNotificationCenterPostNotification(CFNotificationCenterRef center, CFNotificationName name,
                                          const void* /*object*/, CFDictionaryRef /*userInfo*/,
                                          Boolean /*deliverImmediately*/) {
  if (center != &gDarwinCenter) return;
  postDarwinNotification(stdString(const_cast<id>(name)));
}

}  // extern "C"
