#include "prefsd/client.h"

#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "foundation/device_root.h"
#include "foundation/preferences.h"
#include "foundation/unix_address.h"
#include "foundation/value_objects.h"
#include "prefsd/daemon_paths.h"
#include "prefsd/launch.h"
#include "prefsd/wire.h"

namespace qv::host::prefsd {
namespace {

using Clock = std::chrono::steady_clock;

// Generous for the sanitizer builds, whose daemons start and answer slowly; a daemon that
// cannot start at all says so at once by its exit status.
constexpr auto kStartPatience = std::chrono::seconds(30);
constexpr int kReplyTimeoutSeconds = 30;
// Tries of one request: each that fails found the daemon gone. About a second in all.
constexpr int kAttempts = 24;
// How long an exiting process waits for the daemon it started to end.
constexpr auto kEndPatience = std::chrono::seconds(5);

struct ClientState {
  std::mutex lock;
  int fd = -1;
  std::string root;             // the device root the connection serves
  std::vector<pid_t> children;  // daemons this process started and has not reaped
  bool exitHookSet = false;
  std::string leaveMessage;  // encoded beforehand: the exit handler makes no objects
};

ClientState& state() {
  static auto* s = new ClientState();  // used from an exit handler
  return *s;
}

std::string currentRoot() { return deviceRoot().empty() ? "/" : deviceRoot(); }

int tryConnect(const std::string& path) {
  sockaddr_un addr;
  if (!unixAddress(addr, path)) return -1;
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    ::close(fd);
    return -1;
  }
  timeval timeout{kReplyTimeoutSeconds, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
  return fd;
}

// Reaps the daemons this process started that have ended, waiting up to `patience`.
void reapChildren(ClientState& s, std::chrono::milliseconds patience) {
  auto deadline = Clock::now() + patience;
  for (;;) {
    std::erase_if(s.children, [](pid_t pid) {
      int status = 0;
      pid_t r = ::waitpid(pid, &status, WNOHANG);
      return r == pid || (r < 0 && errno == ECHILD);
    });
    if (s.children.empty() || Clock::now() >= deadline) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

void closeConnection(ClientState& s) {
  if (s.fd >= 0) ::close(s.fd);
  s.fd = -1;
}

// Waits until the daemon closes the connection (it has ended), then closes our end.
void awaitEnd(ClientState& s) {
  char byte;
  while (s.fd >= 0 && ::recv(s.fd, &byte, 1, 0) > 0) {
  }
  closeConnection(s);
}

void leaveDaemon();

void lockForFork() { state().lock.lock(); }
void unlockInParent() { state().lock.unlock(); }
// A forked child shares the connection's descriptor but not its conversation, and is not the
// parent of the daemons.
void resetInChild() {
  ClientState& s = state();
  closeConnection(s);
  s.children.clear();
  s.lock.unlock();
}

// Connects to the root's daemon, starting one when none answers. -1 when none can serve.
int connectToDaemon(ClientState& s) {
  DaemonPaths paths = daemonPaths();
  reapChildren(s, std::chrono::milliseconds(0));
  auto deadline = Clock::now() + kStartPatience;
  pid_t started = 0;
  for (int round = 0;; round++) {
    int fd = tryConnect(paths.socket);
    if (fd >= 0) return fd;
    if (started > 0) {
      int status = 0;
      if (::waitpid(started, &status, WNOHANG) == started) {
        std::erase(s.children, started);
        // 1: it cannot serve this root. 0: another daemon holds the root and is about to
        // answer, or is ending. Killed: like any daemon that dies, it is replaced.
        if (WIFEXITED(status) && WEXITSTATUS(status) != 0) return -1;
        started = 0;
      }
    }
    if (started == 0) {
      started = launchDaemon(paths);
      if (started <= 0) return -1;
      s.children.push_back(started);
      if (!s.exitHookSet) {
        s.exitHookSet = true;
        s.leaveMessage = encodeMessage(makeDictionary({{makeString("op"), makeString("leave")}}));
        std::atexit(leaveDaemon);
      }
    }
    if (Clock::now() > deadline) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(std::min(1 << std::min(round, 5), 20)));
  }
}

bool ensureConnected(ClientState& s) {
  static std::once_flag forkHooks;
  std::call_once(forkHooks, [] { pthread_atfork(lockForFork, unlockInParent, resetInChild); });
  std::string root = currentRoot();
  if (s.fd >= 0 && s.root == root) return true;
  closeConnection(s);
  s.root = root;
  s.fd = connectToDaemon(s);
  return s.fd >= 0;
}

// One request and its reply on the current connection; nil when the connection failed.
id converse(ClientState& s, const std::string& bytes) {
  std::string payload;
  if (!sendAll(s.fd, bytes) || !receiveMessage(s.fd, payload)) return nil;
  return decodeMessage(payload);
}

id request(ClientState& s, id message) {
  std::string bytes = encodeMessage(message);
  if (bytes.empty()) return nil;
  // A daemon killed a moment ago may still take a connection before it is gone.
  for (int attempt = 0; attempt < kAttempts; attempt++) {
    if (attempt > 0)
      std::this_thread::sleep_for(std::chrono::milliseconds(1 << std::min(attempt, 6)));
    if (!ensureConnected(s)) return nil;
    if (id reply = converse(s, bytes)) return reply;
    closeConnection(s);
  }
  return nil;
}

pid_t pidOf(id reply) {
  id pid = dictionaryGet(reply, "pid");
  return isNumber(pid)
             ? static_cast<pid_t>(msgSend<long long>(pid, sel_registerName("longLongValue")))
             : 0;
}

id statusRequest() { return makeDictionary({{makeString("op"), makeString("status")}}); }

// At exit: a daemon this process started ends with it unless others still use it; then it is
// reaped here rather than left to a parent that may never reap it.
void leaveDaemon() {
  ClientState& s = state();
  std::unique_lock<std::mutex> guard(s.lock, std::try_to_lock);
  if (!guard.owns_lock() || s.children.empty()) return;
  bool ending = true;
  if (s.fd >= 0) {
    std::string reply;
    // No reply: the daemon has gone (its root was removed) or is going.
    ending = !sendAll(s.fd, s.leaveMessage) || !receiveMessage(s.fd, reply) ||
             messageFlag(reply, "exiting");
    if (ending) awaitEnd(s);
  }
  closeConnection(s);
  reapChildren(s, ending ? std::chrono::duration_cast<std::chrono::milliseconds>(kEndPatience)
                         : std::chrono::milliseconds(0));
}

}  // namespace

id sendRequest(id message) {
  ClientState& s = state();
  std::lock_guard<std::mutex> guard(s.lock);
  return request(s, message);
}

namespace {
// CFPreferences (Foundation, the layer below) talks to the daemon through this client from the
// moment the host library is loaded.
[[maybe_unused]] const bool gTransportInstalled = (setPreferencesTransport(&sendRequest), true);
}  // namespace

DaemonStatus daemonStatus() {
  AutoreleasePool pool;
  id reply = sendRequest(statusRequest());
  DaemonStatus status;
  status.pid = pidOf(reply);
  for (id name : arrayItems(dictionaryGet(reply, "domains"))) {
    status.domains.push_back(stdString(name));
  }
  return status;
}

pid_t daemonPid() { return daemonStatus().pid; }

pid_t restartDaemon() {
  {
    ClientState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    AutoreleasePool pool;
    pid_t pid = pidOf(request(s, statusRequest()));
    if (pid > 0 && ::kill(pid, SIGTERM) == 0) awaitEnd(s);
    closeConnection(s);
    bool ours = std::find(s.children.begin(), s.children.end(), pid) != s.children.end();
    reapChildren(s, ours ? std::chrono::duration_cast<std::chrono::milliseconds>(kEndPatience)
                         : std::chrono::milliseconds(0));
  }
  return daemonPid();
}

}  // namespace qv::host::prefsd
