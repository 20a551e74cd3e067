// Item icons: chosen by title (and subtitle for the toggles) from each family's table; template
// images tinted by the interface style in the context-menu families.
#include <filesystem>

#include "support/scenario.h"

namespace qv::testing {
namespace {

struct Expected {
  const char* title;
  const char* file;
};

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
  void expectIcons(const std::vector<Expected>& expected, long mode) {
    Json d = dump();
    for (const Expected& e : expected) {
      Json icon = item(d, e.title)["icon"];
      if (!e.file) {
        EXPECT_TRUE(icon.isNull()) << e.title;
        continue;
      }
      EXPECT_EQ(icon["file"].asString(), e.file) << e.title;
      EXPECT_EQ(icon["renderingMode"].asNumber(), mode) << e.title;
    }
  }
  static bool isColour(const Json& c, double value) {
    return c["red"].asNumber() == value && c["green"].asNumber() == value &&
           c["blue"].asNumber() == value && c["alpha"].asNumber() == 1;
  }
};

TEST_F(ItemIcons, Version14UsesTheContextMenuTableAsTemplates) {
  bootWith("14.2");
  home().press("com.example.mail");
  expectIcons({{"Offload App", "cloud.png"},
               {"Bundle Identifier", "copy.png"},
               {"Clear Badge", "badge13.png"},
               {"Clear Caches", "clearcache13.png"},
               {"App Lock", "unlock13.png"},
               {"Notifications", "notification13.png"},
               {"Banners", "banner13.png"}},
              2);
}

TEST_F(ItemIcons, TheTogglesShowTheirLockedOrOffState) {
  writeSettings({{"lockedApps", list({"com.example.mail"})},
                 {"disableNotifications", list({"com.example.mail"})},
                 {"disableBanners", list({"com.example.mail"})}});
  bootWith("13.5");
  home().press("com.example.mail");
  expectIcons({{"App Lock", "lock13.png"},
               {"Notifications", "notificationoff13.png"},
               {"Banners", "banneroff13.png"},
               {"Clear Caches", "clearcache13.png"}},
              2);
}

TEST_F(ItemIcons, Version12UsesItsOwnFilesAsDrawnWithoutTint) {
  writeSettings(
      {{"lockedApps", list({"com.example.mail"})}, {"disableBanners", list({"com.example.mail"})}});
  bootWith("12.4");
  home().press("com.example.mail");
  expectIcons({{"Offload App", nullptr},
               {"Bundle Identifier", "copy.png"},
               {"Uninstall App", "trash.png"},
               {"Clear Badge", "badge.png"},
               {"Clear Caches", "clearcache.png"},
               {"App Lock", "lock.png"},
               {"Notifications", "notification.png"},
               {"Banners", "banneroff.png"}},
              0);
  Json d = dump();
  for (const Json& i : d["menu"]["items"].items()) EXPECT_TRUE(i["tint"].isNull());
}

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
