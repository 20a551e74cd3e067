// The app actions: Clear Caches, Notifications, Banners, Offload App, Copy Bundle ID, and the
// app objects' badge clearing and quitting.
#include <filesystem>
#include <fstream>

#include "support/scenario.h"

namespace qv::testing {
namespace {

namespace fs = std::filesystem;

class Actions : public Scenario {
 protected:
  void bootWith(const char* os, bool mailHasSection = true) {
    device(os);
    AppSetup mail;
    mail.bundleID = "com.example.mail";
    mail.section = mailHasSection;
    home().addApp(mail);
    app("com.example.maps");
    AppSetup bare;
    bare.bundleID = "com.example.bare";
    bare.container = false;
    bare.section = false;
    home().addApp(bare);
    boot();
    container = home().app("com.example.mail")->containerPath;
  }
  void run(const std::string& bundleID, const std::string& title) {
    home().press(bundleID);
    home().pick(title);
  }
  bool inContainer(const std::string& rel) { return exists(container + "/" + rel); }
  std::vector<std::string> listed(const char* key) {
    std::vector<std::string> out;
    Json d = dump();
    for (const Json& s : d["defaults"][key].items()) out.push_back(s.asString());
    return out;
  }
  std::string container;
};

TEST_F(Actions, ClearCachesEmptiesTheThreeFoldersAndNothingElse) {
  bootWith("14.2");
  ASSERT_TRUE(inContainer("tmp/session/cookie"));
  run("com.example.mail", "Clear Caches");
  for (const char* gone :
       {"tmp/upload.part", "tmp/session", "Library/Caches/http.db", "Library/Caches/images",
        "Library/Application Support/Dropbox/token", "Library/Application Support/Dropbox/sync"}) {
    EXPECT_FALSE(inContainer(gone)) << gone;
  }
  for (const char* kept :
       {"tmp", "Library/Caches", "Library/Application Support/Dropbox", "Documents/notes.txt",
        "Library/Preferences/app.plist", "Library/Application Support/Other/data.db"}) {
    EXPECT_TRUE(inContainer(kept)) << kept;
  }
  EXPECT_TRUE(fs::is_empty(real(container + "/tmp")));
  // Other apps' containers are untouched.
  EXPECT_TRUE(exists(home().app("com.example.maps")->containerPath + "/tmp/upload.part"));
}

TEST_F(Actions, ClearCachesWithoutAContainerDoesNothing) {
  bootWith("14.2");
  run("com.example.bare", "Clear Caches");
  EXPECT_TRUE(inContainer("tmp/upload.part"));
  EXPECT_TRUE(exists(home().app("com.example.maps")->containerPath + "/tmp/upload.part"));
}

TEST_F(Actions, ClearCachesNeverReachesThroughALinkTheAppPlanted) {
  bootWith("14.2");
  std::string maps = home().app("com.example.maps")->containerPath;
  // A link inside tmp pointing at another app's data, and Caches replaced by a link to it.
  fs::create_symlink(maps + "/Documents", real(container + "/tmp/innocent"));
  fs::remove_all(real(container + "/Library/Caches"));
  fs::create_symlink(maps + "/Library/Caches", real(container + "/Library/Caches"));
  run("com.example.mail", "Clear Caches");
  EXPECT_FALSE(fs::exists(fs::symlink_status(real(container + "/tmp/innocent"))));
  EXPECT_TRUE(exists(maps + "/Documents/notes.txt"));
  EXPECT_TRUE(exists(maps + "/Library/Caches/http.db"));
  EXPECT_TRUE(fs::is_symlink(real(container + "/Library/Caches")));
  EXPECT_FALSE(inContainer("Library/Application Support/Dropbox/token"));
}

TEST_F(Actions, NotificationsTwiceSwitchesOffThenOnAcrossEverySettingsObject) {
  bootWith("14.2");
  run("com.example.mail", "Notifications");
  Json n = dump()["apps"]["com.example.mail"]["notifications"];
  EXPECT_FALSE(n["allowsNotifications"].asBool());
  for (const char* part : {"readable", "writable", "managed"}) {
    EXPECT_FALSE(n[part]["allowsNotifications"].asBool()) << part;
    EXPECT_EQ(n[part]["alertType"].asNumber(), 1) << part;
  }
  EXPECT_EQ(listed("disableNotifications"), (std::vector<std::string>{"com.example.mail"}));
  EXPECT_TRUE(dump()["menu"].isNull());  // the menu closed

  run("com.example.mail", "Notifications");
  n = dump()["apps"]["com.example.mail"]["notifications"];
  EXPECT_TRUE(n["allowsNotifications"].asBool());
  EXPECT_TRUE(n["managed"]["allowsNotifications"].asBool());
  EXPECT_TRUE(listed("disableNotifications").empty());
  EXPECT_TRUE(dump()["apps"]["com.example.maps"]["notifications"]["allowsNotifications"].asBool());
}

TEST_F(Actions, BannersChangeOnlyTheAlertTypeAndComeBackAsBanners) {
  bootWith("13.5");
  home().app("com.example.mail")->section.info.alertType = 2;
  home().app("com.example.mail")->section.readable.alertType = 2;
  run("com.example.mail", "Banners");
  Json n = dump()["apps"]["com.example.mail"]["notifications"];
  EXPECT_EQ(n["alertType"].asNumber(), 0);
  EXPECT_EQ(n["readable"]["alertType"].asNumber(), 0);
  EXPECT_TRUE(n["allowsNotifications"].asBool());
  run("com.example.mail", "Banners");
  n = dump()["apps"]["com.example.mail"]["notifications"];
  EXPECT_EQ(n["alertType"].asNumber(), 1);
  EXPECT_EQ(n["readable"]["alertType"].asNumber(), 1);
}

TEST_F(Actions, MissingSettingsObjectsAreSkipped) {
  bootWith("14.2");
  home().app("com.example.mail")->section.managed.present = false;
  run("com.example.mail", "Notifications");
  Json n = dump()["apps"]["com.example.mail"]["notifications"];
  EXPECT_FALSE(n["allowsNotifications"].asBool());
  EXPECT_FALSE(n["readable"]["allowsNotifications"].asBool());
  EXPECT_TRUE(n["managed"].isNull());
}

TEST_F(Actions, AnAppTheServerDoesNotKnowFlipsOnlyItsList) {
  bootWith("14.2", /*mailHasSection=*/false);
  run("com.example.mail", "Notifications");
  EXPECT_EQ(listed("disableNotifications"), (std::vector<std::string>{"com.example.mail"}));
  home().press("com.example.mail");
  EXPECT_EQ(menuItem(dump(), "Notifications")["subtitle"].asString(), "Notifications Off");
}

TEST_F(Actions, RemovalTakesEveryEntryOfTheApp) {
  writeSettings(
      {{"disableBanners", list({"com.example.mail", "com.example.maps", "com.example.mail"})}});
  bootWith("14.2");
  run("com.example.mail", "Banners");
  EXPECT_EQ(listed("disableBanners"), (std::vector<std::string>{"com.example.maps"}));
  EXPECT_EQ(dump()["apps"]["com.example.mail"]["notifications"]["alertType"].asNumber(), 1);
}

TEST_F(Actions, OffloadAndCopyReachTheirServicesWithTheMenusApp) {
  bootWith("14.2");
  run("com.example.maps", "Offload App");
  home().press("com.example.mail");
  home().pick("Bundle Identifier");
  home().tapAlert("Copy Bundle ID");
  Json d = dump();
  EXPECT_TRUE(d["apps"]["com.example.maps"]["offloaded"].asBool());
  EXPECT_EQ(home().app("com.example.maps")->offloadReason, 1);
  EXPECT_FALSE(d["apps"]["com.example.mail"]["offloaded"].asBool());
  EXPECT_EQ(d["pasteboard"].asString(), "com.example.mail");
}

TEST_F(Actions, ClearBadgeOnAnAppWithoutABadgeSetsNilQuietly) {
  bootWith("14.2");
  run("com.example.maps", "Clear Badge");
  Json d = dump();
  EXPECT_TRUE(d["apps"]["com.example.maps"]["badge"].isNull());
  EXPECT_TRUE(d["apps"]["com.example.mail"]["badge"].isNull());
}

class Quitting : public Scenario {
 protected:
  void bootWith(bool mailPlaying) {
    device("12.4");
    AppSetup mail;
    mail.bundleID = "com.example.mail";
    mail.nowPlaying = mailPlaying;
    home().addApp(mail);
    app("com.example.maps");
    boot();
  }
  std::vector<std::string> layouts() {
    std::vector<std::string> out;
    Json d = dump();
    for (const Json& l : d["switcher"]["appLayouts"].items()) out.push_back(l.asString());
    return out;
  }
};

TEST_F(Quitting, LockingQuitsOnlyTheLayoutsThatShowTheLockedApp) {
  bootWith(false);
  home().bringToFront("com.example.maps");
  home().bringToFront("com.example.mail");
  ASSERT_EQ(layouts(), (std::vector<std::string>{"com.example.mail", "com.example.maps"}));
  home().press("com.example.mail");
  home().pick("App Lock");
  Json d = dump();
  EXPECT_EQ(layouts(), (std::vector<std::string>{"com.example.maps"}));
  EXPECT_EQ(d["switcher"]["quit"][0].asString(), "com.example.mail:1");
  EXPECT_FALSE(d["apps"]["com.example.mail"]["running"].asBool());
  EXPECT_TRUE(d["apps"]["com.example.maps"]["running"].asBool());
}

TEST_F(Quitting, TheNowPlayingAppIsNotQuit) {
  bootWith(true);
  home().bringToFront("com.example.mail");
  home().press("com.example.mail");
  home().pick("App Lock");
  EXPECT_EQ(layouts(), (std::vector<std::string>{"com.example.mail"}));
  EXPECT_EQ(dump()["defaults"]["lockedApps"].size(), 1u);
}

TEST_F(Quitting, LockingBeforeTheSwitcherExistsQuitsNothing) {
  bootWith(false);
  home().press("com.example.mail");
  home().pick("App Lock");
  Json d = dump();
  EXPECT_FALSE(d["switcher"]["exists"].asBool());
  EXPECT_EQ(d["defaults"]["lockedApps"].size(), 1u);
}

}  // namespace
}  // namespace qv::testing
