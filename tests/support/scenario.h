// Scenario tests: a fresh device root, a home screen of one OS version, the library loaded.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "foundation/device_root.h"
#include "foundation/main_loop.h"
#include "foundation/property_list.h"
#include "springboard/home_screen.h"
#include "springboard/springboard_internal.h"

namespace qv::testing {

using host::AppSpec;
using host::HomeScreen;
using host::Json;

// Creates the device root; the home screen is booted by the test once it is set up.
class Scenario : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/quorvel-test-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    root_ = tmpl;
    host::markMainThread();
    home().setDeviceRoot(root_);
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }

  HomeScreen& home() { return HomeScreen::shared(); }

  void device(const std::string& os) { home().setOsVersion(os); }
  void app(const std::string& bundleID, std::optional<long> badge = std::nullopt) {
    AppSpec spec;
    spec.bundleID = bundleID;
    spec.badge = badge;
    home().addApp(spec);
  }
  void boot() { home().boot(QV_LIBRARY_PATH); }
  void bootWithoutLibrary() { home().boot(""); }

  Json dump() { return home().dump(); }

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
    for (const Json& item : dump()["menu"]["items"].items()) out.push_back(item["title"].asString());
    return out;
  }

  const Json& menuItem(const Json& d, const std::string& title) {
    for (const Json& item : d["menu"]["items"].items()) {
      if (item["title"].asString() == title) return item;
    }
    static const Json none;
    return none;
  }

  std::string root_;
};

}  // namespace qv::testing
