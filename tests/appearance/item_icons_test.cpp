// Item icons: every item of each family has one of the package's files, a switch's follows its
// list; template images tinted by the interface style in the context-menu families.
#include <filesystem>
#include <map>

#include "support/scenario.h"

namespace qv::testing {
namespace {

class ItemIcons : public Scenario {
 protected:
  void bootWith(const char* os, host::HostQuirks quirks = {}) {
    device(os);
    home().setQuirks(quirks);
    AppSetup mail;
    mail.bundleID = "com.example.mail";
    mail.shortcuts = {"Notifications", "Compose"};
    home().addApp(mail);
    app("com.example.maps");
    boot();
  }
  // The library's item (or the host's) with that title.
  Json item(const Json& d, const std::string& title, const std::string& type = "QVUItem") {
    for (const Json& i : d["menu"]["items"].items()) {
      if (i["title"].asString() == title && (type.empty() || i["type"].asString() == type))
        return i;
    }
    throw JsonReadError("no item \"" + title + "\" of type " + type + " in menu.items");
  }
  // The library's items of the open menu.
  std::vector<Json> ours(const Json& d) {
    std::vector<Json> out;
    for (const Json& i : d["menu"]["items"].items()) {
      if (i["type"].asString() == "QVUItem") out.push_back(i);
    }
    return out;
  }
  static bool isColour(const Json& c, double value) {
    return c["red"].asNumber() == value && c["green"].asNumber() == value &&
           c["blue"].asNumber() == value && c["alpha"].asNumber() == 1;
  }
};

class IconsOfEveryFamily : public ItemIcons, public ::testing::WithParamInterface<const char*> {
 protected:
  bool isPlatter() const { return std::string(GetParam()) == "12.4"; }
};

// Every item's icon is one of the package's files; the context menus draw them as templates
// tinted by the style, the platter as drawn. The platter's Offload has no icon.
TEST_P(IconsOfEveryFamily, EveryItemHasAnIconFileThatExists) {
  bootWith(GetParam());
  home().press("com.example.mail");
  std::vector<Json> items = ours(dump());
  ASSERT_FALSE(items.empty());
  for (const Json& i : items) {
    std::string title = i["title"].asString();
    if (isPlatter() && title == "Offload App") {
      EXPECT_TRUE(i["icon"].isNull());
      continue;
    }
    std::string file = i["icon"]["file"].asString();
    EXPECT_TRUE(std::filesystem::is_regular_file(std::string(QV_SOURCE_DIR) + "/resources/" + file))
        << title << ": " << file;
    EXPECT_EQ(i["icon"]["renderingMode"].asNumber(), isPlatter() ? 0 : 2) << title;
    EXPECT_EQ(i["tint"].isNull(), isPlatter()) << title;
  }
}

// A switch's icon shows whether the menu's app is in the switch's list: it differs between an
// app in every list and one in none, and changes with the list when the switch is picked. Other
// items look the same for both apps.
TEST_P(IconsOfEveryFamily, EverySwitchsIconFollowsItsList) {
  writeSettings({{"lockedApps", list({"com.example.mail"})},
                 {"disableNotifications", list({"com.example.mail"})},
                 {"disableBanners", list({"com.example.mail"})}});
  bootWith(GetParam());
  auto iconsOf = [&](const char* app) {
    home().press(app);
    std::map<std::string, std::string> icons;
    for (const Json& i : ours(dump())) icons[i["title"].asString()] = i["icon"].dump();
    return icons;
  };
  std::map<std::string, std::string> inLists = iconsOf("com.example.mail");
  std::vector<std::string> switches;
  home().press("com.example.maps");
  for (const Json& i : ours(dump())) {
    if (!i["subtitle"].isNull()) switches.push_back(i["title"].asString());
  }
  ASSERT_EQ(switches.size(), 3u);
  std::map<std::string, std::string> inNone = iconsOf("com.example.maps");
  ASSERT_EQ(inNone.size(), inLists.size());
  for (const auto& [title, icon] : inNone) {
    bool isSwitch = std::count(switches.begin(), switches.end(), title) == 1;
    EXPECT_EQ(icon != inLists[title], isSwitch) << title;
  }
  // Picking each switch puts the app in its list.
  for (const std::string& title : switches) {
    home().press("com.example.maps");
    home().pick(title);
  }
  EXPECT_EQ(iconsOf("com.example.maps"), inLists);
}

INSTANTIATE_TEST_SUITE_P(Families, IconsOfEveryFamily, ::testing::Values("14.2", "13.5", "12.4"),
                         versionTestName);

TEST_F(ItemIcons, TintIsBlackInTheLightStyleAndWhiteOtherwise) {
  bootWith("14.2");
  home().setStyle(1);
  home().press("com.example.mail");
  EXPECT_TRUE(isColour(item(dump(), "App Lock")["tint"], 0));
  home().setStyle(2);
  // A menu built before the change keeps its tint.
  EXPECT_TRUE(isColour(item(dump(), "App Lock")["tint"], 0));
  home().press("com.example.mail");
  EXPECT_TRUE(isColour(item(dump(), "App Lock")["tint"], 1));
  home().setStyle(0);
  home().press("com.example.mail");
  EXPECT_TRUE(isColour(item(dump(), "App Lock")["tint"], 1));
}

TEST_F(ItemIcons, Version13TintsTheImageViewToo) {
  bootWith("13.5");
  home().setStyle(2);
  home().press("com.example.mail");
  EXPECT_TRUE(isColour(item(dump(), "Banners")["tint"], 1));
}

TEST_F(ItemIcons, WithoutAStyleArbiterTheTintIsWhite) {
  host::HostQuirks quirks;
  quirks.styleArbiter = false;
  bootWith("14.2", quirks);
  home().press("com.example.mail");
  EXPECT_TRUE(isColour(item(dump(), "Clear Badge")["tint"], 1));
}

TEST_F(ItemIcons, AHostItemTitledLikeOursGetsOurIconAndOthersKeepTheirs) {
  bootWith("14.2");
  home().press("com.example.mail");
  Json d = dump();
  EXPECT_EQ(item(d, "Notifications", "com.example.mail.shortcut")["icon"]["file"].asString(),
            "notification13.png");
  EXPECT_TRUE(item(d, "Compose", "com.example.mail.shortcut")["icon"].isNull());
  EXPECT_TRUE(item(d, "Compose", "com.example.mail.shortcut")["tint"].isNull());
}

TEST_F(ItemIcons, AFileThatCannotBeLoadedGivesNoImage) {
  bootWith("14.2");
  std::filesystem::remove(real("/var/LIY/Application Support/Quorvel.bundle/copy.png"));
  home().press("com.example.mail");
  Json d = dump();
  EXPECT_TRUE(item(d, "Bundle Identifier")["icon"].isNull());
  EXPECT_EQ(item(d, "Offload App")["icon"]["file"].asString(), "cloud.png");
}

}  // namespace
}  // namespace qv::testing
