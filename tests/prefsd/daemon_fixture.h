// Tests of the preferences daemon as processes: a fresh device root per test, the daemon
// started by the client or by the test itself, and this test program run again as another
// process on the same root.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "foundation/device_root.h"
#include "foundation/foundation.h"
#include "foundation/foundation_internal.h"
#include "foundation/preferences.h"
#include "foundation/property_list.h"
#include "prefsd/client.h"
#include "prefsd/daemon_paths.h"
#include "runtime/object_refs.h"
#include "support/daemon_log.h"

extern char** environ;

namespace qv::testing {

using namespace std::chrono_literals;

constexpr const char* kDomain = "com.vantrelo88.quorvel";

// Waits for a child process to end; its exit status, 128 + N when killed by signal N, or -1
// when it has not ended in time.
inline int waitForChild(pid_t pid, std::chrono::milliseconds patience = 10s) {
  auto deadline = std::chrono::steady_clock::now() + patience;
  for (;;) {
    int status = 0;
    pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (r < 0 || std::chrono::steady_clock::now() > deadline) return -1;
    std::this_thread::sleep_for(5ms);
  }
}

// Whether a process exists at all (a zombie counts).
inline bool processExists(pid_t pid) {
  return std::filesystem::exists("/proc/" + std::to_string(pid));
}

class DaemonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host::registerFoundation();
    char tmpl[] = "/tmp/qv-prefsd-test-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    root_ = tmpl;
    host::setDeviceRoot(root_);
    std::filesystem::create_directories(host::realPath("/var/jb/vmo/Library/Preferences"));
  }
  void TearDown() override {
    expectQuietDaemonLog();
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
    for (pid_t pid : started_) {
      kill(pid, SIGKILL);
      waitForChild(pid);
    }
  }

  // Starts the daemon program for the root as a child of the test.
  pid_t startDaemon(std::vector<std::string> extra = {}) {
    std::vector<std::string> args = {QV_PREFSD_PATH, root_};
    args.insert(args.end(), extra.begin(), extra.end());
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, QV_PREFSD_PATH, nullptr, nullptr, argv.data(), environ) != 0) return -1;
    started_.push_back(pid);
    return pid;
  }

  // A raw connection to the root's daemon socket; -1 when nothing answers within the patience.
  int connectRaw(std::chrono::milliseconds patience = 10s) {
    std::string path = host::prefsd::daemonPaths().socket;
    auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
      sockaddr_un addr{};
      addr.sun_family = AF_UNIX;
      std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
      int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
      if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) return fd;
      close(fd);
      if (std::chrono::steady_clock::now() > deadline) return -1;
      std::this_thread::sleep_for(5ms);
    }
  }

  // Runs this program as another process on the root; what it wrote.
  std::string inAnotherProcess(const std::string& act) {
    std::string out = root_ + "/act-output";
    std::filesystem::remove(out);
    std::vector<std::string> env = {"QV_PREFSD_ROOT=" + root_, "QV_PREFSD_ACT=" + act,
                                    "QV_PREFSD_OUT=" + out};
    for (char** e = environ; *e; e++) env.push_back(*e);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    char* const argv[] = {const_cast<char*>("another-process"), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, "/proc/self/exe", nullptr, nullptr, argv, envp.data()) != 0) return "";
    EXPECT_EQ(waitForChild(pid, 30s), 0) << act;
    std::ifstream in(out);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  // CFPreferences' value of a string key ("" when none).
  std::string read(const std::string& key) {
    AutoreleasePool pool;
    Strong values = Strong::adopt(const_cast<id>(CFPreferencesCopyMultiple(
        nullptr, host::makeString(kDomain), kCFPreferencesCurrentUser, kCFPreferencesAnyHost)));
    return host::stdString(host::dictionaryGet(values.get(), key));
  }
  bool write(const std::string& key, const std::string& value) {
    AutoreleasePool pool;
    return host::setPreferenceValue(kDomain, key, host::makeString(value));
  }

  // The domain's file as it is on disk (nil when missing or unreadable).
  id fileValue(const std::string& key) {
    return host::dictionaryGet(host::readPropertyListFile(host::preferencesFilePath(kDomain)), key);
  }

  std::string root_;
  std::vector<pid_t> started_;
};

}  // namespace qv::testing
