// ctest-labels: threads
// Versions 15 and 16, where the package installs: App Lock holds through what those versions
// have (the page's overlay setter, search's entry points or else the page guard, the card's
// layout item), and the menu is styled where a replacement exists.
#include "foundation/property_list.h"
#include "support/scenario.h"
#include "uikit/auth_service.h"

namespace qv::testing {
namespace {

using host::AuthAnswer;

class LaterVersions : public Scenario, public ::testing::WithParamInterface<const char*> {
 protected:
  void SetUp() override {
    Scenario::SetUp();
    writeSettings({{"lockedApps", list({"com.example.mail"})}});
    device(GetParam());
    app("com.example.mail");
    app("com.example.maps");
    boot();
  }
  bool is16() { return std::string(GetParam()).rfind("16", 0) == 0; }
  static bool blurred(const Json& view) {
    return view["filters"].size() == 1 && view["filters"][0]["name"].asString() == "gaussianBlur";
  }
  static Json entry(const Json& list, const std::string& app) {
    return elementWith(list, "app", app);
  }
};

TEST_P(LaterVersions, ALockedAppInFrontBlursEveryPageAndPromptsOnce) {
  home().bringToFront("com.example.maps");
  home().bringToFront("com.example.mail");
  Json d = dump();
  EXPECT_EQ(d["hostClasses"].asString(), std::string(GetParam()).substr(0, 2));
  for (const char* app : {"com.example.mail", "com.example.maps"}) {
    const Json& page = entry(d["switcher"]["pages"], app);
    EXPECT_TRUE(blurred(page)) << app;
    EXPECT_TRUE(page["blocksTouches"].asBool()) << app;
  }
  EXPECT_EQ(d["pendingPrompts"].size(), 1u);
  home().answerAuth(AuthAnswer::Success);
  EXPECT_FALSE(blurred(entry(dump()["switcher"]["pages"], "com.example.mail")));
}

TEST_P(LaterVersions, ALockedAppsCardStaysBlurredInTheSwitcher) {
  home().bringToFront("com.example.maps");
  home().bringToFront("com.example.mail");
  home().answerAuth(AuthAnswer::Success);
  home().openSwitcher();
  Json cards = dump()["switcher"]["cards"];
  EXPECT_TRUE(blurred(entry(cards, "com.example.mail")));
  EXPECT_FALSE(blurred(entry(cards, "com.example.maps")));
}

// 15's search is gated at either form of its entry points. 16's opens apps through none the
// library can hook: the app comes forward blurred and asks for authentication, and the dump
// and the log say that search is not gated.
TEST_P(LaterVersions, SearchNeverShowsALockedAppUnauthenticated) {
  home().searchOpen("com.example.mail");
  Json d = dump();
  if (is16()) {
    EXPECT_EQ(d["frontmost"].asString(), "com.example.mail");
    EXPECT_TRUE(blurred(entry(d["switcher"]["pages"], "com.example.mail")));
    EXPECT_EQ(d["pendingPrompts"].size(), 1u);
    ASSERT_EQ(d["appLockUnguarded"].size(), 1u);
    EXPECT_EQ(d["appLockUnguarded"][0]["what"].asString(), "search");
    home().answerAuth(AuthAnswer::Cancel);
  } else {
    home().searchOpenActivity("com.example.mail");
    d = dump();
    EXPECT_TRUE(d["frontmost"].isNull());
    EXPECT_EQ(d["pendingPrompts"].size(), 0u);
    EXPECT_EQ(d["appLockUnguarded"].size(), 0u);
    home().searchOpen("com.example.maps");
    EXPECT_EQ(dump()["frontmost"].asString(), "com.example.maps");
  }
}

TEST_P(LaterVersions, TheMenuIsColouredAndItsItemsGetTheirIcons) {
  home().press("com.example.maps");
  Json menu = dump()["menu"];
  EXPECT_FALSE(menu["views"]["list"]["backgroundColor"].isNull());
  EXPECT_EQ(menu["views"]["background"]["alpha"].asNumber(), 0.4);
  for (const Json& item : menu["items"].items()) {
    if (item["title"].asString() == "App Lock") {
      EXPECT_FALSE(item["icon"].isNull());
      return;
    }
  }
  ADD_FAILURE() << "no App Lock item";
}

TEST_P(LaterVersions, AChosenItemActsOnItsApp) {
  home().press("com.example.maps");
  home().pick("Bundle Identifier");
  home().tapAlert("Copy Bundle ID");
  EXPECT_EQ(dump()["pasteboard"].asString(), "com.example.maps");
  home().press("com.example.maps");
  home().pick("App Lock");
  Json locked = dump()["defaults"]["lockedApps"];
  ASSERT_EQ(locked.size(), 2u);
  EXPECT_EQ(locked[1].asString(), "com.example.maps");
}

TEST_P(LaterVersions, TheWallpaperColourIsRecorded) {
  writeColors({{"staticColor", host::makeString("#ffffff")}});
  home().setWallpaperColor("#204080");
  id colors = host::readPropertyListFile(colorPath());
  EXPECT_NE(host::dictionaryGet(colors, "wallColor"), nil);
}

INSTANTIATE_TEST_SUITE_P(Versions, LaterVersions, ::testing::Values("15.1", "16.5"),
                         versionTestName);

}  // namespace
}  // namespace qv::testing
