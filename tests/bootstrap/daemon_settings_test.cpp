// ctest-labels: threads
// The library under the preferences daemon, as on a phone: readers see the daemon's copy of
// the settings domain, the daemon writes the file, and CFPreferencesAppSynchronize reads
// nothing again. The settings program and further home-screen processes are real programs on
// the same device root.
#include <fcntl.h>

#include <atomic>
#include <thread>

#include "foundation/keyed_archive.h"
#include "prefsd/client.h"
#include "support/json_reader.h"
#include "support/scenario.h"
#include "uikit/uikit_internal.h"

namespace qv::testing {
namespace {

using host::makeBool;
using host::makeString;

class DaemonSettings : public Scenario {
 protected:
  // Runs a program to its end; its exit status and standard output.
  std::pair<int, std::string> run(const char* path, std::vector<std::string> args) {
    args.insert(args.begin(), path);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::string out = root_ + "/.program-output-" + std::to_string(runs_++);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    int rc = posix_spawn(&pid, path, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return {-1, ""};
    int status = 0;
    waitpid(pid, &status, 0);
    std::ifstream in(out);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1,
            std::string(std::istreambuf_iterator<char>(in), {})};
  }

  // The settings program: quorvel-prefs ARGS on this root.
  int settingsProgram(std::vector<std::string> args) {
    args.insert(args.begin(), {"--root", root_});
    return run(QV_PREFS_PATH, args).first;
  }

  // A new home-screen process on this root runs `script` and dumps its state.
  Json anotherHomeScreen(const std::string& script) {
    std::string file = root_ + "/.script";
    std::ofstream(file) << script << "\ndump\n";
    auto [status, out] = run(QV_SIM_PATH, {"--root", root_, "--script", file, "--json"});
    EXPECT_EQ(status, 0) << out;
    std::string last = out.substr(out.rfind('\n', out.size() - 2) + 1);
    std::optional<Json> line = parseJson(last);
    EXPECT_TRUE(line.has_value()) << last;
    return line ? (*line)["state"] : Json();
  }

  bool menuOffers(const std::string& title) {
    std::vector<std::string> titles = menuTitles();
    return std::find(titles.begin(), titles.end(), title) != titles.end();
  }

  static std::vector<std::string> strings(const Json& list) {
    std::vector<std::string> out;
    for (const Json& s : list.items()) out.push_back(s.asString());
    return out;
  }

  void lock(const std::string& bundleID) {
    home().press(bundleID);
    home().pick("App Lock");
  }

  int runs_ = 0;
};

TEST_F(DaemonSettings, TheSettingsProgramsSwitchReachesTheNextMenuAfterItsNotification) {
  device("14.2");
  app("com.example.mail");
  boot();
  home().press("com.example.mail");
  ASSERT_TRUE(menuOffers("Clear Badge"));

  ASSERT_EQ(settingsProgram({"set", "clearBadges", "false"}), 0);
  Json d = dump();
  EXPECT_FALSE(d["settingsDomain"]["clearBadges"].asBool());
  EXPECT_FALSE(d["settingsFile"]["clearBadges"].asBool());
  // The cache changes when the notification is delivered on the main loop, not before.
  EXPECT_TRUE(d["settings"]["clearBadges"].asBool());
  ASSERT_TRUE(host::runMainLoopUntil([&] { return !dump()["settings"]["clearBadges"].asBool(); },
                                     std::chrono::seconds(10)));
  home().press("com.example.mail");
  EXPECT_FALSE(menuOffers("Clear Badge"));
  EXPECT_TRUE(menuOffers("Clear Caches"));
}

TEST_F(DaemonSettings, ALockSurvivesRestartsOfTheDaemonAndOfTheHomeScreen) {
  device("14.2");
  app("com.example.mail");
  app("com.example.maps");
  boot();
  lock("com.example.mail");
  pid_t before = host::prefsd::daemonPid();
  pid_t after = host::prefsd::restartDaemon();
  ASSERT_GT(after, 0);
  EXPECT_NE(after, before);
  // The new daemon read the file the old one wrote.
  EXPECT_EQ(strings(dump()["settingsDomain"]["lockedApps"]),
            std::vector<std::string>{"com.example.mail"});

  Json state =
      anotherHomeScreen("app com.example.mail\napp com.example.maps\nboot\npress com.example.mail");
  EXPECT_EQ(strings(state["defaults"]["lockedApps"]), std::vector<std::string>{"com.example.mail"});
  EXPECT_EQ(menuItem(state, "App Lock")["subtitle"].asString(), "App is locked");
  for (const Json& icon : state["icons"].items()) {
    bool locked = icon["identifier"].asString() == "com.example.mail";
    EXPECT_EQ(icon["imageAlpha"].asNumber(), locked ? 0.6 : 1.0) << icon["identifier"].asString();
  }
  // That process used this daemon and left it running.
  EXPECT_EQ(host::prefsd::daemonPid(), after);
}

TEST_F(DaemonSettings, TheSettingsProgramAndTheLibraryChangingTheDomainAtOnceLoseNothing) {
  device("14.2");
  for (int i = 0; i < 40; i++) app("com.example.app" + std::to_string(i));
  boot();
  const std::vector<std::string> keys = {"hideEdit",   "hideDelete", "hideThickLines",
                                         "hideBadges", "demoteApp",  "banners"};
  std::map<std::string, bool> last;
  std::atomic<bool> done{false};
  std::atomic<int> failed{0};
  std::thread program([&] {
    for (size_t i = 0; !done || i < 2 * keys.size(); i++) {
      const std::string& key = keys[i % keys.size()];
      bool value = (i / keys.size()) % 2 == 0;
      if (settingsProgram({"set", key, value ? "true" : "false"}) != 0) failed++;
      last[key] = value;
    }
  });
  for (int i = 0; i < 40; i++) lock("com.example.app" + std::to_string(i));
  done = true;
  program.join();
  EXPECT_EQ(failed, 0);
  Json d = dump();
  EXPECT_EQ(d["settingsFile"]["lockedApps"].size(), 40u);
  EXPECT_EQ(d["settingsFile"]["lockedApps"].dump(), d["defaults"]["lockedApps"].dump());
  for (const auto& [key, value] : last) EXPECT_EQ(d["settingsFile"][key].asBool(), value) << key;
  EXPECT_EQ(d["settingsDomain"].dump(), d["settingsFile"].dump());
}

TEST_F(DaemonSettings, AFileEditIsNotSeenAfterAReloadAndTheNextListChangeWritesOverIt) {
  writeSettings({{"hideBadges", makeBool(false)}});
  device("14.2");
  app("com.example.mail", 3);
  app("com.example.maps");
  boot();
  home().writeFile(settingsPath(), R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
  <key>hideBadges</key><true/>
  <key>clearBadges</key><false/>
  <key>lockedApps</key><array><string>com.example.maps</string></array>
</dict></plist>
)");
  home().reloadPrefs();
  Json d = dump();
  EXPECT_FALSE(d["settings"]["hideBadges"].asBool());
  EXPECT_TRUE(d["settings"]["clearBadges"].asBool());
  EXPECT_FALSE(d["settingsDomain"].has("clearBadges"));
  EXPECT_EQ(d["apps"]["com.example.mail"]["badge"].asNumber(), 3);
  home().press("com.example.maps");
  EXPECT_EQ(menuItem(dump(), "App Lock")["subtitle"].asString(), "App is unlocked");

  lock("com.example.mail");
  Json file = dump()["settingsFile"];
  EXPECT_EQ(strings(file["lockedApps"]), std::vector<std::string>{"com.example.mail"});
  EXPECT_FALSE(file["hideBadges"].asBool());
  EXPECT_FALSE(file.has("clearBadges"));
}

// A file the library cannot read at the moment it changes a list: the change still goes to
// the domain, so the settings program's next write keeps it, and what the settings program
// wrote since launch is not reverted.
TEST_F(DaemonSettings, AListChangedWhileTheFileIsUnreadableIsKeptByTheDomain) {
  writeSettings({});
  device("14.2");
  app("com.example.mail");
  boot();
  ASSERT_EQ(settingsProgram({"set", "hideBadges", "true"}), 0);
  home().writeFile(settingsPath(), "not a property list");
  lock("com.example.mail");
  ASSERT_EQ(settingsProgram({"set", "hideEdit", "true"}), 0);
  Json file = dump()["settingsFile"];
  EXPECT_EQ(strings(file["lockedApps"]), std::vector<std::string>{"com.example.mail"});
  EXPECT_TRUE(file["hideBadges"].asBool());
  EXPECT_TRUE(file["hideEdit"].asBool());

  Json state = anotherHomeScreen("app com.example.mail\nboot");
  EXPECT_EQ(strings(state["defaults"]["lockedApps"]), std::vector<std::string>{"com.example.mail"});
  EXPECT_TRUE(state["settings"]["hideBadges"].asBool());
}

TEST_F(DaemonSettings, TheWallpaperColourTheCaptureStoresIsTheOneTheNextMenuReads) {
  writeSettings({{"adaptiveColor", makeBool(false)}, {"adaptiveWallColor", makeBool(true)}});
  writeColors({{"staticColor", makeString("#ff0000")}});
  device("14.2");
  app("com.example.mail");
  home().setWallpaperColor("#204080");
  boot();
  auto menuColour = [&] {
    home().press("com.example.mail");
    Json c = dump()["menu"]["views"]["list"]["backgroundColor"];
    return std::vector<double>{c["red"].asNumber(), c["green"].asNumber(), c["blue"].asNumber()};
  };
  auto stored = [&](id colors) {
    return host::colorComponents(
        host::unarchiveObjectWithData(host::dictionaryGet(colors, "wallColor")));
  };
  auto expectAgreement = [&](double r, double g, double b) {
    AutoreleasePool pool;
    std::vector<double> shown = menuColour();
    EXPECT_NEAR(shown[0], r, 1e-4);
    EXPECT_NEAR(shown[1], g, 1e-4);
    EXPECT_NEAR(shown[2], b, 1e-4);
    Strong domain = Strong::adopt(const_cast<id>(
        CFPreferencesCopyMultiple(nullptr, makeString("com.vantrelo88.quorvel.color"),
                                  kCFPreferencesCurrentUser, kCFPreferencesAnyHost)));
    id file = host::readPropertyListFile(colorPath());
    EXPECT_NEAR(stored(domain.get()).blue, b, 1e-4);
    EXPECT_NEAR(stored(file).blue, b, 1e-4);
    EXPECT_NEAR(stored(file).red, r, 1e-4);
    EXPECT_EQ(host::stdString(host::dictionaryGet(file, "staticColor")), "#ff0000");
  };
  expectAgreement(0x20 / 255.0, 0x40 / 255.0, 0x80 / 255.0);
  home().setWallpaperColor("#00ff00");
  expectAgreement(0, 1, 0);
  host::prefsd::restartDaemon();
  home().setWallpaperColor("#0000ff");
  expectAgreement(0, 0, 1);
  // The settings program's colour and the capture's share the domain.
  ASSERT_EQ(settingsProgram({"color", "static", "#00ffff"}), 0);
  home().setWallpaperColor("#808080");
  AutoreleasePool pool;
  id file = host::readPropertyListFile(colorPath());
  EXPECT_EQ(host::stdString(host::dictionaryGet(file, "staticColor")), "#00ffff");
  EXPECT_NEAR(stored(file).green, 0x80 / 255.0, 1e-4);
}

}  // namespace
}  // namespace qv::testing
