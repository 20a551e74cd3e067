// Failed writes: the settings property list is never left partial or empty, no temporary file
// stays behind, and the lock list kept in memory reaches the disk at the next good write.
#include <filesystem>

#include "foundation/file_faults.h"
#include "support/scenario.h"

namespace qv::testing {
namespace {

namespace fs = std::filesystem;
using host::WriteFault;

class WriteFaults : public Scenario {
 protected:
  void bootWith(std::vector<std::pair<std::string, id>> settings) {
    writeSettings(settings);
    device("14.2");
    for (const char* id : {"com.example.a", "com.example.b", "com.example.c"}) app(id);
    boot();
  }
  void lock(const std::string& bundleID) {
    home().press(bundleID);
    home().pick("App Lock");
  }
  std::vector<std::string> lockedOnDisk() {
    std::vector<std::string> out;
    Json file = dump()["settingsFile"];
    for (const Json& s : file["lockedApps"].items()) out.push_back(s.asString());
    return out;
  }
  std::vector<std::string> lockedInMemory() {
    std::vector<std::string> out;
    Json d = dump();
    for (const Json& s : d["defaults"]["lockedApps"].items()) out.push_back(s.asString());
    return out;
  }
  std::vector<std::string> preferencesFolder() {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(real("/var/jb/vmo/Library/Preferences"))) {
      names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(WriteFaults, AWriteThatFailsHalfWayLeavesTheOldFileWholeAndNoTemporary) {
  bootWith({{"lockedApps", list({"com.example.a"})}, {"hideBadges", host::makeBool(true)}});
  std::string before = readFile(settingsPath());
  host::injectWriteFault(WriteFault::NoSpaceMidway);
  lock("com.example.b");
  EXPECT_EQ(readFile(settingsPath()), before);
  EXPECT_EQ(lockedInMemory(), (std::vector<std::string>{"com.example.a", "com.example.b"}));
  EXPECT_EQ(preferencesFolder(), (std::vector<std::string>{"com.vantrelo88.quorvel.plist"}));
  // The next good write carries the whole list.
  lock("com.example.c");
  EXPECT_EQ(lockedOnDisk(),
            (std::vector<std::string>{"com.example.a", "com.example.b", "com.example.c"}));
  EXPECT_TRUE(dump()["settingsFile"]["hideBadges"].asBool());
}

TEST_F(WriteFaults, AFailedRenameKeepsTheOldFile) {
  bootWith({{"lockedApps", list({"com.example.a"})}});
  std::string before = readFile(settingsPath());
  host::injectWriteFault(WriteFault::FailedRename);
  lock("com.example.b");
  EXPECT_EQ(readFile(settingsPath()), before);
  EXPECT_EQ(preferencesFolder(), (std::vector<std::string>{"com.vantrelo88.quorvel.plist"}));
}

TEST_F(WriteFaults, AReadOnlyPreferencesFolderLosesNothingKeptInMemory) {
  device("14.2");
  for (const char* id : {"com.example.a", "com.example.b"}) app(id);
  host::injectWriteFault(WriteFault::ReadOnlyFolder, -1);
  boot();  // the settings file cannot be created
  EXPECT_FALSE(exists(settingsPath()));
  Json d = dump();
  EXPECT_TRUE(d["defaults"].isObject());
  lock("com.example.a");
  EXPECT_EQ(lockedInMemory(), (std::vector<std::string>{"com.example.a"}));
  EXPECT_FALSE(exists(settingsPath()));
  host::injectWriteFault(WriteFault::None);
  lock("com.example.b");
  EXPECT_EQ(lockedOnDisk(), (std::vector<std::string>{"com.example.a", "com.example.b"}));
}

TEST_F(WriteFaults, AFailedWallpaperCaptureKeepsTheColourList) {
  writeSettings({});  // so that the capture is the first write at boot
  writeColors({{"staticColor", host::makeString("#ff0000")}});
  std::string before = readFile(colorPath());
  device("14.2");
  app("com.example.a");
  host::injectWriteFault(WriteFault::NoSpaceMidway);
  boot();  // the capture's write fails
  EXPECT_EQ(readFile(colorPath()), before);
  home().setWallpaperColor("#00ff00");  // the next capture succeeds
  AutoreleasePool pool;
  id colors = host::readPropertyListFile(colorPath());
  ASSERT_TRUE(colors);
  EXPECT_TRUE(host::dictionaryGet(colors, "wallColor"));
  EXPECT_EQ(host::stdString(host::dictionaryGet(colors, "staticColor")), "#ff0000");
}

}  // namespace
}  // namespace qv::testing
