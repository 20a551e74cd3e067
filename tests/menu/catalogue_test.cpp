// The quick-action catalogue: the items each family's menu gains, in order, with their
// subtitles, launch identifiers and target content identifiers.
#include "support/scenario.h"

namespace qv::testing {
namespace {

using host::makeBool;
using Catalogue = Scenario;

const std::vector<std::string> kContextMenuTitles = {
    "Offload App", "Bundle Identifier", "Clear Badge", "Clear Caches",
    "App Lock",    "Notifications",     "Banners"};
const std::vector<std::string> kPlatterTitles = {
    "Offload App",  "Bundle Identifier", "Uninstall App", "Clear Badge",
    "Clear Caches", "App Lock",          "Notifications", "Banners"};

// The library's items among the menu's items.
std::vector<Json> libraryItems(const Json& d) {
  std::vector<Json> out;
  for (const Json& item : d["menu"]["items"].items()) {
    if (item["type"].asString() == "QVUItem") out.push_back(item);
  }
  return out;
}

std::vector<std::string> titles(const std::vector<Json>& items) {
  std::vector<std::string> out;
  for (const Json& i : items) out.push_back(i["title"].asString());
  return out;
}

TEST_F(Catalogue, Version14AppendsSevenItemsAfterTheHostsOwn) {
  device("14.2");
  AppSetup mail;
  mail.bundleID = "com.example.mail";
  mail.shortcuts = {"New Message", "Search"};
  home().addApp(mail);
  boot();
  home().press("com.example.mail");
  Json d = dump();
  std::vector<std::string> all = menuTitles();
  ASSERT_GE(all.size(), 9u);
  EXPECT_EQ(all[0], "New Message");
  EXPECT_EQ(all[1], "Search");
  EXPECT_EQ(std::vector<std::string>(all.begin() + 2, all.begin() + 9), kContextMenuTitles);

  std::vector<Json> items = libraryItems(d);
  ASSERT_EQ(items.size(), 7u);
  for (size_t i = 0; i < 3; i++) {
    EXPECT_EQ(items[i]["bundleIdentifierToLaunch"].asString(), "com.apple.springboard");
    EXPECT_EQ(items[i]["targetContentIdentifier"].asString(), "com.apple.springboard");
    EXPECT_TRUE(items[i]["subtitle"].isNull());
  }
  for (size_t i = 3; i < 7; i++) {
    EXPECT_TRUE(items[i]["bundleIdentifierToLaunch"].isNull()) << i;
    EXPECT_TRUE(items[i]["targetContentIdentifier"].isNull()) << i;
  }
  EXPECT_EQ(items[4]["subtitle"].asString(), "App is unlocked");
  EXPECT_EQ(items[5]["subtitle"].asString(), "Notifications On");
  EXPECT_EQ(items[6]["subtitle"].asString(), "Banners On");
  EXPECT_EQ(d["bundleID"].asString(), "com.example.mail");
}

TEST_F(Catalogue, Version13OffersTheSameItemsAsVersion14) {
  device("13.5");
  app("com.example.mail");
  boot();
  home().press("com.example.mail");
  std::vector<Json> items = libraryItems(dump());
  EXPECT_EQ(titles(items), kContextMenuTitles);
  EXPECT_EQ(items[0]["targetContentIdentifier"].asString(), "com.apple.springboard");
  EXPECT_EQ(items[5]["subtitle"].asString(), "Notifications On");
}

TEST_F(Catalogue, Version12OffersEightItemsWithUninstallThirdLaunchingTheApp) {
  device("12.4");
  app("com.example.mail");
  boot();
  home().press("com.example.mail");
  std::vector<Json> items = libraryItems(dump());
  ASSERT_EQ(titles(items), kPlatterTitles);
  for (size_t i = 0; i < items.size(); i++) {
    EXPECT_TRUE(items[i]["targetContentIdentifier"].isNull()) << i;
    if (i == 2) {
      EXPECT_EQ(items[i]["bundleIdentifierToLaunch"].asString(), "com.example.mail");
    } else {
      EXPECT_TRUE(items[i]["bundleIdentifierToLaunch"].isNull()) << i;
    }
  }
  EXPECT_EQ(items[5]["subtitle"].asString(), "App is unlocked");
  EXPECT_EQ(items[6]["subtitle"].asString(), "Notifications Enabled");
  EXPECT_EQ(items[7]["subtitle"].asString(), "Banners Enabled");
}

TEST_F(Catalogue, SubtitlesFollowTheListsInDefaults) {
  writeSettings({{"lockedApps", list({"com.example.mail"})},
                 {"disableNotifications", list({"com.example.other", "com.example.mail"})},
                 {"disableBanners", list({"com.example.mail"})}});
  device("14.2");
  app("com.example.mail");
  app("com.example.maps");
  boot();
  home().press("com.example.mail");
  Json d = dump();
  EXPECT_EQ(menuItem(d, "App Lock")["subtitle"].asString(), "App is locked");
  EXPECT_EQ(menuItem(d, "Notifications")["subtitle"].asString(), "Notifications Off");
  EXPECT_EQ(menuItem(d, "Banners")["subtitle"].asString(), "Banners Off");
  // The next app's menu compares against its own identifier.
  home().press("com.example.maps");
  d = dump();
  EXPECT_EQ(menuItem(d, "App Lock")["subtitle"].asString(), "App is unlocked");
  EXPECT_EQ(menuItem(d, "Notifications")["subtitle"].asString(), "Notifications On");
}

TEST_F(Catalogue, Version12SubtitlesNameTheDisabledState) {
  writeSettings({{"disableNotifications", list({"com.example.mail"})},
                 {"disableBanners", list({"com.example.mail"})}});
  device("12.4");
  app("com.example.mail");
  boot();
  home().press("com.example.mail");
  Json d = dump();
  EXPECT_EQ(menuItem(d, "Notifications")["subtitle"].asString(), "Notifications Disabled");
  EXPECT_EQ(menuItem(d, "Banners")["subtitle"].asString(), "Banners Disabled");
}

TEST_F(Catalogue, ListsThatAreNotArraysOrHoldNonStringsReadAsEmpty) {
  writeSettings(
      {{"lockedApps", host::makeString("com.example.mail")},
       {"disableNotifications", host::makeArray({host::makeInteger(5), makeBool(true)})}});
  device("14.2");
  app("com.example.mail");
  boot();
  home().press("com.example.mail");
  Json d = dump();
  EXPECT_EQ(menuItem(d, "App Lock")["subtitle"].asString(), "App is unlocked");
  EXPECT_EQ(menuItem(d, "Notifications")["subtitle"].asString(), "Notifications On");
}

TEST_F(Catalogue, SwitchedOffItemsAreNotOffered) {
  writeSettings({{"clearBadges", makeBool(false)}, {"banners", makeBool(false)}});
  device("14.2");
  app("com.example.mail");
  boot();
  home().press("com.example.mail");
  EXPECT_EQ(titles(libraryItems(dump())),
            (std::vector<std::string>{"Offload App", "Bundle Identifier", "Clear Caches",
                                      "App Lock", "Notifications"}));

  // The reverse switches give the reverse, at the next menu after a reload.
  home().writeSetting("clearBadges", true);
  home().writeSetting("clearCaches", false);
  home().reloadPrefs();
  home().press("com.example.mail");
  std::vector<std::string> t = titles(libraryItems(dump()));
  EXPECT_NE(std::find(t.begin(), t.end(), "Clear Badge"), t.end());
  EXPECT_EQ(std::find(t.begin(), t.end(), "Clear Caches"), t.end());
}

TEST_F(Catalogue, EverySwitchOffLeavesTheHostsItemsAlone) {
  std::vector<std::pair<std::string, id>> off;
  for (const char* key : {"uninstall", "clearBadges", "clearCaches", "copyBundleId", "appLock",
                          "notifications", "banners", "demoteApp"}) {
    off.emplace_back(key, makeBool(false));
  }
  off.emplace_back("hideShare", makeBool(false));
  writeSettings(off);
  device("14.2");
  app("com.example.mail");
  boot();
  home().press("com.example.mail");
  EXPECT_EQ(menuTitles(),
            (std::vector<std::string>{"Edit Home Screen", "Remove App", "Share App"}));
}

TEST_F(Catalogue, FoldersAndWidgetsGetNoItemsInVersion14) {
  device("14.2");
  app("com.example.mail");
  home().addFolder("Games");
  home().addWidget("com.example.weather.widget");
  boot();
  home().press("Games");
  EXPECT_TRUE(libraryItems(dump()).empty());
  home().press("com.example.weather.widget");
  EXPECT_TRUE(libraryItems(dump()).empty());
}

TEST_F(Catalogue, Version13OffersItemsOnWidgetsButNotOnFolders) {
  device("13.5");
  home().addFolder("Games");
  home().addWidget("com.example.weather.widget");
  boot();
  home().press("Games");
  EXPECT_TRUE(libraryItems(dump()).empty());
  home().press("com.example.weather.widget");
  EXPECT_EQ(titles(libraryItems(dump())), kContextMenuTitles);
}

TEST_F(Catalogue, Version12ProviderWithoutAnAppRecordsNoIdentifier) {
  device("12.4");
  app("com.example.mail");
  home().addFolder("Games");
  boot();
  home().press("com.example.mail");
  ASSERT_EQ(dump()["bundleID"].asString(), "com.example.mail");
  home().press("Games");
  Json d = dump();
  EXPECT_TRUE(d["bundleID"].isNull());
  EXPECT_TRUE(libraryItems(d).empty());
}

TEST_F(Catalogue, ContextMenusLogTheIdentifierOncePerMenu) {
  device("13.5");
  app("com.example.mail");
  app("com.example.maps");
  boot();
  home().press("com.example.mail");
  home().press("com.example.maps");
  home().press("com.example.mail");
  Json log = dump()["log"];
  std::vector<std::string> lines;
  for (const Json& l : log.items()) lines.push_back(l.asString());
  EXPECT_EQ(lines,
            (std::vector<std::string>{"com.example.mail", "com.example.maps", "com.example.mail"}));
}

TEST_F(Catalogue, Version12WritesNoLogLine) {
  device("12.4");
  app("com.example.mail");
  boot();
  home().press("com.example.mail");
  EXPECT_EQ(dump()["log"].size(), 0u);
}

}  // namespace
}  // namespace qv::testing
