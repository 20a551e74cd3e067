// The quick-action catalogue: the items each family's menu gains after the host's own, what
// offers each, their subtitles, launch identifiers and target content identifiers.
#include <map>

#include "support/scenario.h"

namespace qv::testing {
namespace {

using host::makeBool;
using Catalogue = Scenario;

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

class CatalogueOfEveryFamily : public Catalogue, public ::testing::WithParamInterface<const char*> {
 protected:
  bool isPlatter() const { return std::string(GetParam()) == "12.4"; }
};

TEST_P(CatalogueOfEveryFamily, AppendsItsItemsAfterTheAppsOwnWithDistinctTitles) {
  device(GetParam());
  AppSetup mail;
  mail.bundleID = "com.example.mail";
  mail.shortcuts = {"New Message", "Search"};
  home().addApp(mail);
  boot();
  home().press("com.example.mail");
  Json d = dump();
  std::vector<std::string> all = menuTitles();
  std::vector<std::string> ours = titles(libraryItems(d));
  ASSERT_GE(all.size(), 2 + ours.size());
  EXPECT_EQ(all[0], "New Message");
  EXPECT_EQ(all[1], "Search");
  // One block, after the app's own (the platter's host puts its Share item before it, the
  // context menus put the home screen's after it).
  auto block = std::search(all.begin(), all.end(), ours.begin(), ours.end());
  EXPECT_NE(block, all.end());
  EXPECT_GE(block - all.begin(), 2);
  std::vector<std::string> sorted = ours;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
  EXPECT_EQ(d["bundleID"].asString(), "com.example.mail");
}

// A context menu's item that launches the home screen also targets its content; the others
// launch nothing, and neither do the switches (the items with a subtitle). The platter targets
// no content, and its one item that launches anything, Uninstall, launches the menu's app.
TEST_P(CatalogueOfEveryFamily, ItemsLaunchTheHomeScreenOrTheirAppOrNothing) {
  device(GetParam());
  app("com.example.mail");
  boot();
  home().press("com.example.mail");
  std::vector<Json> items = libraryItems(dump());
  ASSERT_FALSE(items.empty());
  for (const Json& item : items) {
    std::string title = item["title"].asString();
    Json launch = item["bundleIdentifierToLaunch"];
    Json target = item["targetContentIdentifier"];
    if (!item["subtitle"].isNull()) {
      EXPECT_TRUE(launch.isNull()) << title;
    }
    if (isPlatter()) {
      EXPECT_TRUE(target.isNull()) << title;
      if (title == "Uninstall App") {
        EXPECT_EQ(launch.asString(), "com.example.mail");
      } else {
        EXPECT_TRUE(launch.isNull()) << title;
      }
    } else {
      EXPECT_EQ(launch.value(), target.value()) << title;
      if (!launch.isNull()) {
        EXPECT_EQ(launch.asString(), "com.apple.springboard") << title;
      }
    }
  }
}

// Each item has exactly one setting that offers it: switching that one off removes the item
// alone, and the others keep their order.
TEST_P(CatalogueOfEveryFamily, EachItemIsOfferedByExactlyOneSwitch) {
  device(GetParam());
  app("com.example.mail");
  boot();
  home().press("com.example.mail");
  std::vector<std::string> offered = titles(libraryItems(dump()));
  std::map<std::string, int> removedBy;
  for (const char* key : {"uninstall", "clearBadges", "clearCaches", "copyBundleId", "appLock",
                          "notifications", "banners", "demoteApp"}) {
    home().writeSetting(key, false);
    home().reloadPrefs();
    home().press("com.example.mail");
    std::vector<std::string> now = titles(libraryItems(dump()));
    std::vector<std::string> kept = offered;
    std::erase_if(kept, [&](const std::string& t) {
      return std::find(now.begin(), now.end(), t) == now.end();
    });
    EXPECT_EQ(now, kept) << key << " changed the order or added an item";
    EXPECT_LE(offered.size() - now.size(), 1u) << key;
    for (const std::string& t : offered) {
      if (std::find(now.begin(), now.end(), t) == now.end()) removedBy[t]++;
    }
    home().writeSetting(key, true);
  }
  for (const std::string& t : offered) EXPECT_EQ(removedBy[t], 1) << t;
}

INSTANTIATE_TEST_SUITE_P(Families, CatalogueOfEveryFamily,
                         ::testing::Values("14.2", "13.5", "12.4"), versionTestName);

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
  std::vector<std::string> atBoot = titles(libraryItems(dump()));
  EXPECT_EQ(std::find(atBoot.begin(), atBoot.end(), "Clear Badge"), atBoot.end());
  EXPECT_EQ(std::find(atBoot.begin(), atBoot.end(), "Banners"), atBoot.end());
  EXPECT_NE(std::find(atBoot.begin(), atBoot.end(), "Clear Caches"), atBoot.end());

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
  app("com.example.mail");
  home().addFolder("Games");
  home().addWidget("com.example.weather.widget");
  boot();
  home().press("Games");
  EXPECT_TRUE(libraryItems(dump()).empty());
  std::vector<std::string> widgetItems;
  home().press("com.example.weather.widget");
  widgetItems = titles(libraryItems(dump()));
  EXPECT_FALSE(widgetItems.empty());
  // A widget gets what an app gets.
  home().press("com.example.mail");
  EXPECT_EQ(widgetItems, titles(libraryItems(dump())));
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
