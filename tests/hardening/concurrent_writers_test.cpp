// ctest-labels: threads
// The settings program writes the same domains from another process while the library changes
// its lists and captures the wallpaper colour: the preferences daemon applies each change to
// its copy and writes it, so nothing either writes is lost and the file is what the daemon
// holds.
#include <atomic>
#include <thread>

#include "support/scenario.h"

namespace qv::testing {
namespace {

class ConcurrentWriters : public Scenario {
 protected:
  void SetUp() override {
    Scenario::SetUp();
    writeSettings({{"hideShare", host::makeBool(false)}});
    writeColors({{"staticColor", host::makeString("#ffffff")}});
    device("14.2");
    for (int i = 0; i < 40; i++) {
      AppSetup setup;
      setup.bundleID = "com.example.app" + std::to_string(i);
      setup.container = false;
      home().addApp(setup);
    }
    boot();
  }
};

TEST_F(ConcurrentWriters, EveryLockSurvivesTheSettingsProgramWritingAtTheSameTime) {
  pid_t writer = spawnSelf({"QV_WRITE_SETTINGS=300", "QV_ROOT=" + root_});
  ASSERT_GT(writer, 0);
  for (int i = 0; i < 40; i++) {
    home().press("com.example.app" + std::to_string(i));
    home().pick("App Lock");
  }
  ASSERT_TRUE(waitForExit(writer));
  Json d = dump();
  EXPECT_EQ(d["defaults"]["lockedApps"].size(), 40u);
  EXPECT_EQ(d["settingsFile"]["lockedApps"].dump(), d["defaults"]["lockedApps"].dump());
  EXPECT_TRUE(d["settingsFile"].has("hideBadges"));  // the program's writes are kept too
  EXPECT_FALSE(d["settingsFile"]["hideShare"].asBool());
  EXPECT_EQ(d["settingsDomain"].dump(), d["settingsFile"].dump());
}

TEST_F(ConcurrentWriters, WallpaperCapturesKeepTheStaticColourTheProgramWrote) {
  pid_t writer = spawnSelf({"QV_WRITE_SETTINGS=200", "QV_ROOT=" + root_});
  ASSERT_GT(writer, 0);
  for (int i = 0; i < 60; i++) home().setWallpaperColor(i % 2 ? "#102030" : "#405060");
  ASSERT_TRUE(waitForExit(writer));
  AutoreleasePool pool;
  id colors = host::readPropertyListFile(colorPath());
  ASSERT_TRUE(colors);
  EXPECT_EQ(host::stdString(host::dictionaryGet(colors, "staticColor")), "#0000ff");
  EXPECT_TRUE(host::dictionaryGet(colors, "wallColor"));
}

}  // namespace
}  // namespace qv::testing

namespace qv::testing {
namespace {

// The real settings program, run again and again while locks change in the home screen.
TEST_F(ConcurrentWriters, TheSettingsProgramRunningAlongsideLosesNoLock) {
  std::atomic<bool> done{false};
  std::atomic<int> runs{0};
  std::thread program([&] {
    for (int i = 0; !done || i < 5; i++) {
      std::string value = i % 2 ? "true" : "false";
      char* const argv[] = {const_cast<char*>(QV_PREFS_PATH),
                            const_cast<char*>("--root"),
                            root_.data(),
                            const_cast<char*>("set"),
                            const_cast<char*>("hideBadges"),
                            value.data(),
                            nullptr};
      pid_t pid = 0;
      if (posix_spawn(&pid, QV_PREFS_PATH, nullptr, nullptr, argv, environ) != 0) return;
      int status = 0;
      waitpid(pid, &status, 0);
      runs++;
    }
  });
  for (int i = 0; i < 40; i++) {
    home().press("com.example.app" + std::to_string(i));
    home().pick("App Lock");
  }
  done = true;
  program.join();
  EXPECT_GE(runs.load(), 5);
  Json d = dump();
  EXPECT_EQ(d["settingsFile"]["lockedApps"].size(), 40u);
  EXPECT_EQ(d["settingsFile"]["lockedApps"].dump(), d["defaults"]["lockedApps"].dump());
  EXPECT_EQ(d["settingsDomain"].dump(), d["settingsFile"].dump());
}

}  // namespace
}  // namespace qv::testing
