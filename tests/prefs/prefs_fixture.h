// Tests of quorvel-prefs: a fresh device root per test, the program run as a child process,
// and the files it writes read back through the host's property-list reader.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "child_process.h"
#include "foundation/device_root.h"
#include "foundation/foundation.h"
#include "foundation/foundation_internal.h"
#include "foundation/property_list.h"
#include "runtime/object_refs.h"

namespace qv::testing {

constexpr const char* kSettingsFile =
    "/var/jb/vmo/Library/Preferences/com.vantrelo88.quorvel.plist";
constexpr const char* kColorsFile =
    "/var/jb/vmo/Library/Preferences/com.vantrelo88.quorvel.color.plist";

// A settings file as the library and an earlier settings pane leave it: app lists, a setting
// and a key this program does not know.
constexpr const char* kSeededSettings = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
  <key>lockedApps</key>
  <array><string>com.example.bank</string><string>com.example.notes</string></array>
  <key>disableBanners</key>
  <array><string>com.example.mail</string></array>
  <key>hideShare</key>
  <false/>
  <key>futureSetting</key>
  <string>kept as it is</string>
</dict>
</plist>
)";

class PrefsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host::registerFoundation();
    char tmpl[] = "/tmp/qv-prefstest-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    root_ = dir_ + "/root";
    host::setDeviceRoot(root_);
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  // quorvel-prefs --root ROOT ARGS...
  ProgramRun prefs(std::vector<std::string> args) {
    args.insert(args.begin(), {"--root", root_});
    return runProgram(QV_PREFS_PATH, args);
  }

  std::string real(const std::string& devicePath) const { return host::realPath(devicePath); }

  void writeRaw(const std::string& devicePath, const std::string& bytes) const {
    std::filesystem::create_directories(std::filesystem::path(real(devicePath)).parent_path());
    std::ofstream(real(devicePath), std::ios::binary | std::ios::trunc) << bytes;
  }
  std::string readRaw(const std::string& devicePath) const {
    std::ifstream in(real(devicePath), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  bool exists(const std::string& devicePath) const {
    struct stat st;
    return lstat(real(devicePath).c_str(), &st) == 0;
  }

  // The entry of a property-list file holding a dictionary (nil when absent); the file must
  // be readable.
  id stored(const std::string& file, const std::string& key) {
    id dict = host::readPropertyListFile(file);
    EXPECT_TRUE(host::isDictionary(dict)) << file << " holds no dictionary";
    return host::dictionaryGet(dict, key);
  }
  std::vector<std::string> storedList(const std::string& key) {
    std::vector<std::string> out;
    for (id item : host::arrayItems(stored(kSettingsFile, key)))
      out.push_back(host::stdString(item));
    return out;
  }

  AutoreleasePool pool_;
  std::string dir_;
  std::string root_;
};

}  // namespace qv::testing
