// Scenario tests: a fresh device root, a home screen of one OS version, the library loaded.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "foundation/darwin_notify.h"
#include "foundation/device_root.h"
#include "foundation/foundation.h"
#include "foundation/main_loop.h"
#include "foundation/preferences.h"
#include "foundation/property_list.h"
#include "observe/state_dump.h"
#include "prefsd/daemon_paths.h"
#include "runtime/loader.h"
#include "springboard/home_screen.h"
#include "springboard/springboard_internal.h"
#include "support/daemon_log.h"
#include "support/json_reader.h"
#include "uikit/uikit.h"

extern char** environ;

namespace qv::testing {

// Starts the test program again as another process with these environment settings; returns
// its process id.
inline pid_t spawnSelf(std::vector<std::string> env) {
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  char* const argv[] = {const_cast<char*>("helper"), nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, "/proc/self/exe", nullptr, nullptr, argv, envp.data()) != 0) return -1;
  return pid;
}

inline bool waitForExit(pid_t pid) {
  int status = 0;
  return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Posts a Darwin notification from a separate process on the same device root.
inline void postFromAnotherProcess(const std::string& root, const std::string& name) {
  std::string nameVar = "QV_POST_DARWIN=" + name;
  std::string rootVar = "QV_ROOT=" + root;
  char* const argv[] = {const_cast<char*>("poster"), nullptr};
  char* const envp[] = {nameVar.data(), rootVar.data(), nullptr};
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, "/proc/self/exe", nullptr, nullptr, argv, envp), 0);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// Records the names of every in-process notification posted while it lives.
class PostRecorder {
 public:
  PostRecorder() {
    static Class cls = ClassBuilder<Recorder>("QVTestPostRecorder", "NSObject")
                           .method(
                               "noted:",
                               +[](id self, SEL, id note) {
                                 fields<Recorder>(self)->names.push_back(
                                     host::stdString(msgSend<id>(note, sel_registerName("name"))));
                               })
                           .cls();
    object_ = Strong::adopt(msgSend<id>(cls, sel_registerName("new")));
    id center =
        msgSend<id>(objc_getClass("NSNotificationCenter"), sel_registerName("defaultCenter"));
    msgSend<void>(center, sel_registerName("addObserver:selector:name:object:"), object_.get(),
                  sel_registerName("noted:"), static_cast<id>(nil), static_cast<id>(nil));
  }
  // The library's notifications, in the order they were posted.
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const std::string& n : fields<Recorder>(object_)->names) {
      if (n.rfind("com.vantrelo88.quorvel/", 0) == 0) out.push_back(n.substr(23));
    }
    return out;
  }
  void clear() { fields<Recorder>(object_)->names.clear(); }

 private:
  struct Recorder : objc_object {
    std::vector<std::string> names;
  };
  Strong object_;
};

using host::AppSetup;
using host::HomeScreen;

// A test name for an OS version parameter: "14.2" gives "v14_2".
inline std::string versionTestName(const ::testing::TestParamInfo<const char*>& info) {
  std::string name = std::string("v") + info.param;
  std::replace(name.begin(), name.end(), '.', '_');
  return name;
}

// Creates the device root; the home screen is booted by the test once it is set up.
class Scenario : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/quorvel-test-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    root_ = tmpl;
    host::markMainThread();
    host::registerUIKit();
    home().setDeviceRoot(root_);
  }
  void TearDown() override {
    expectQuietDaemonLog();
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }

  HomeScreen& home() { return HomeScreen::shared(); }

  void device(const std::string& os) { home().setOsVersion(os); }
  void app(const std::string& bundleID, std::optional<long> badge = std::nullopt) {
    AppSetup setup;
    setup.bundleID = bundleID;
    setup.badge = badge;
    home().addApp(setup);
  }
  void boot() {
    home().setCpu(chosenCpu(home().osVersion()));
    home().boot(chosenLibrary(QV_LIBRARY_PATH));
    // A library the loader refused would leave the test checking a home screen without it.
    ASSERT_TRUE(home().libraryLoaded()) << home().libraryRefusal();
  }
  void bootWithoutLibrary() { home().boot(""); }

  Json dump() { return host::dumpState(home()); }

  // Replaces the settings property list with these entries.
  void writeSettings(const std::vector<std::pair<std::string, id>>& entries) {
    AutoreleasePool pool;
    std::vector<std::pair<id, id>> pairs;
    for (const auto& [k, v] : entries) pairs.emplace_back(host::makeString(k), v);
    ASSERT_TRUE(host::writePropertyListFile(settingsPath(), host::makeDictionary(pairs), true));
  }

  // Replaces the colour property list with these entries.
  void writeColors(const std::vector<std::pair<std::string, id>>& entries) {
    AutoreleasePool pool;
    std::vector<std::pair<id, id>> pairs;
    for (const auto& [k, v] : entries) pairs.emplace_back(host::makeString(k), v);
    ASSERT_TRUE(host::writePropertyListFile(colorPath(), host::makeDictionary(pairs), true));
  }

  static id list(std::initializer_list<const char*> items) {
    std::vector<id> objects;
    for (const char* i : items) objects.push_back(host::makeString(i));
    return host::makeArray(objects);
  }

  std::string readFile(const std::string& devicePath) {
    std::ifstream in(real(devicePath), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  // The real path of a device path.
  std::string real(const std::string& devicePath) { return host::realPath(devicePath); }
  bool exists(const std::string& devicePath) { return std::filesystem::exists(real(devicePath)); }

  std::string settingsPath() const {
    return "/var/jb/vmo/Library/Preferences/com.vantrelo88.quorvel.plist";
  }
  std::string colorPath() const {
    return "/var/jb/vmo/Library/Preferences/com.vantrelo88.quorvel.color.plist";
  }

  // The titles of the open menu, in order.
  std::vector<std::string> menuTitles() {
    std::vector<std::string> out;
    Json d = dump();
    for (const Json& item : d["menu"]["items"].items()) out.push_back(item["title"].asString());
    return out;
  }

  // The open menu's item with this title; throws (failing the test) when there is none.
  static Json menuItem(const Json& d, const std::string& title) {
    return elementWith(d["menu"]["items"], "title", title);
  }

  std::string root_;
};

}  // namespace qv::testing
