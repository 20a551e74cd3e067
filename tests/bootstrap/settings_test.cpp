// ctest-labels: threads
// The settings store: the cache and its defaults, `defaults` read at launch, `staticColor`,
// and reloads announced by Darwin notification.
#include <chrono>
#include <set>

#include "foundation/foundation_internal.h"
#include "schema/settings_schema.h"
#include "springboard/library_view.h"
#include "support/scenario.h"

namespace qv::testing {
namespace {

using host::makeArray;
using host::makeBool;
using host::makeData;
using host::makeDictionary;
using host::makeDouble;
using host::makeString;

using Settings = Scenario;

// Every setting at the schema's default, but `except`.
void expectDefaults(const Json& settings, const std::string& except = "") {
  for (const prefs::SettingKey& key : prefs::settingKeys()) {
    if (key.name == except) continue;
    if (key.type == prefs::KeyType::Boolean) {
      EXPECT_EQ(settings[key.name].asBool(), key.booleanDefault) << key.name;
    } else {
      EXPECT_FLOAT_EQ(static_cast<float>(settings[key.name].asNumber()), key.numberDefault)
          << key.name;
    }
  }
}

bool isBlack(const Json& c) {
  return c["red"].asNumber() == 0 && c["green"].asNumber() == 0 && c["blue"].asNumber() == 0 &&
         c["alpha"].asNumber() == 1;
}

TEST_F(Settings, NothingStoredGivesEveryDefaultAndABlackStaticColor) {
  device("14.2");
  boot();
  Json d = dump();
  expectDefaults(d["settings"]);
  EXPECT_TRUE(isBlack(d["staticColor"]));
}

// The library reports exactly the schema's settings, each of its type and, with nothing stored,
// at its default; besides them only its state flags.
TEST_F(Settings, TheLibraryHoldsExactlyTheSchemasSettings) {
  device("14.2");
  boot();
  std::set<std::string> reported;
  for (const host::LibraryStateValue& v : host::libraryState()) {
    if (v.kind == 'f') continue;
    const prefs::SettingKey* key = prefs::findSettingKey(v.name);
    ASSERT_NE(key, nullptr) << v.name << " is not in the schema";
    reported.insert(v.name);
    if (key->type == prefs::KeyType::Boolean) {
      EXPECT_EQ(v.kind, 's') << v.name;
      EXPECT_EQ(v.value, key->booleanDefault ? 1 : 0) << v.name;
    } else {
      EXPECT_EQ(v.kind, 'n') << v.name;
      EXPECT_EQ(static_cast<float>(v.value), key->numberDefault) << v.name;
    }
  }
  EXPECT_EQ(reported.size(), prefs::settingKeys().size());
}

TEST_F(Settings, StoredValuesWinAndGoThroughTheirConversions) {
  writeSettings({{"clearBadges", makeBool(false)},
                 {"hideBadges", makeString("yes")},
                 {"hideWidget", makeString("0")},
                 {"pureColor", makeString("no")},
                 {"useStaticColor", makeDouble(2)},
                 {"hideEdit", makeString("  +007")},
                 {"menuColorAlpha", makeString("0.25")}});
  device("14.2");
  boot();
  Json s = dump()["settings"];
  EXPECT_FALSE(s["clearBadges"].asBool());
  EXPECT_TRUE(s["hideBadges"].asBool());
  EXPECT_FALSE(s["hideWidget"].asBool());
  EXPECT_FALSE(s["pureColor"].asBool());
  EXPECT_TRUE(s["useStaticColor"].asBool());
  EXPECT_TRUE(s["hideEdit"].asBool());
  EXPECT_DOUBLE_EQ(s["menuColorAlpha"].asNumber(), 0.25);
  EXPECT_TRUE(s["clearCaches"].asBool());  // untouched keys keep their defaults
}

TEST_F(Settings, ValuesWithoutABooleanOrFloatReadingKeepTheirDefaults) {
  writeSettings({{"demoteApp", list({"x"})},
                 {"hideLines", makeDictionary({{makeString("a"), makeBool(false)}})},
                 {"hideShare", makeData({0, 1})},
                 {"hideBadges", makeArray({})},
                 {"menuColorAlpha", list({"0.1"})}});
  device("14.2");
  boot();
  expectDefaults(dump()["settings"]);
}

TEST_F(Settings, AnEmptyStoreGivesTheDefaultsAsAMissingOneDoes) {
  writeSettings({});
  device("14.2");
  boot();
  expectDefaults(dump()["settings"]);
}

TEST_F(Settings, OutsideTheHomeScreenUsersProcessTheSettingsFileIsRead) {
  writeSettings({{"hideBadges", makeBool(true)}, {"banners", makeBool(false)}});
  host::setHomeDirectory("/var/root");
  device("14.2");
  boot();
  Json s = dump()["settings"];
  EXPECT_TRUE(s["hideBadges"].asBool());
  EXPECT_FALSE(s["banners"].asBool());
}

TEST_F(Settings, AMissingSettingsFileIsCreatedAtLaunchHoldingAnEmptyDictionary) {
  device("14.2");
  ASSERT_FALSE(exists(settingsPath()));
  boot();
  Json d = dump();
  EXPECT_TRUE(d["defaults"].isObject());
  EXPECT_EQ(d["defaults"].size(), 0u);
  EXPECT_TRUE(d["settingsFile"].isObject());
  EXPECT_EQ(d["settingsFile"].size(), 0u);
}

TEST_F(Settings, AnUnreadableSettingsFileLeavesDefaultsEmptyAndTheFileAlone) {
  home().writeFile(settingsPath(), "<plist><dict><key>lockedApps</key>");
  device("14.2");
  app("com.example.mail");
  boot();
  Json d = dump();
  EXPECT_TRUE(d["defaults"].isNull());
  EXPECT_EQ(readFile(settingsPath()), "<plist><dict><key>lockedApps</key>");
  // Every list reads as empty, and the host still launched after the library's work.
  home().press("com.example.mail");
  EXPECT_EQ(menuItem(dump(), "App Lock")["subtitle"].asString(), "App is unlocked");
  EXPECT_EQ(d["hostEvents"][0].asString(), "launched (settings file present)");
}

TEST_F(Settings, ReloadFromAnotherProcessRefreshesTheCacheButNotTheLists) {
  writeSettings({{"lockedApps", list({})}});
  device("14.2");
  app("com.example.mail");
  boot();
  ASSERT_FALSE(dump()["settings"]["hideBadges"].asBool());

  // The settings program changes the domain and announces it.
  for (const auto& [key, value] :
       std::vector<std::pair<std::string, id>>{{"hideBadges", makeBool(true)},
                                               {"clearCaches", makeBool(false)},
                                               {"lockedApps", list({"com.example.mail"})}}) {
    ASSERT_TRUE(host::setPreferenceValue("com.vantrelo88.quorvel", key, value));
  }
  postFromAnotherProcess(root_, "com.vantrelo88.quorvel/ReloadPrefs");
  ASSERT_TRUE(host::runMainLoopUntil([&] { return dump()["settings"]["hideBadges"].asBool(); },
                                     std::chrono::seconds(5)));
  Json d = dump();
  EXPECT_FALSE(d["settings"]["clearCaches"].asBool());
  EXPECT_EQ(d["defaults"]["lockedApps"].size(), 0u);

  home().press("com.example.mail");
  std::vector<std::string> titles = menuTitles();
  EXPECT_EQ(std::count(titles.begin(), titles.end(), "Clear Caches"), 0);
  EXPECT_EQ(menuItem(dump(), "App Lock")["subtitle"].asString(), "App is unlocked");
}

TEST_F(Settings, EachReloadNotificationRunsOnlyItsOwnLoader) {
  device("14.2");
  boot();
  writeColors({{"staticColor", makeString("#ff0000")}});
  home().writeSetting("hideBadges", true);

  home().reloadPrefs();
  Json d = dump();
  EXPECT_TRUE(d["settings"]["hideBadges"].asBool());
  EXPECT_TRUE(isBlack(d["staticColor"]));

  home().writeSetting("hideBadges", false);
  home().reloadColors();
  d = dump();
  EXPECT_TRUE(d["settings"]["hideBadges"].asBool());
  EXPECT_EQ(d["staticColor"]["red"].asNumber(), 1);
}

struct ColorCase {
  const char* text;
  double red, green, blue, alpha;
};

TEST_F(Settings, StaticColorReadsThePickersTextFormsAndFallsBackToWhite) {
  device("14.2");
  boot();
  const ColorCase cases[] = {
      {"#ff0000", 1, 0, 0, 1},        {"#00FF00:0.50", 0, 1, 0, 0.5},
      {"rgb(0, 0, 255)", 0, 0, 1, 1}, {"rgba(255, 255, 0, 0.25)", 1, 1, 0, 0.25},
      {"nonsense", 1, 1, 1, 1},       {"#12345", 1, 1, 1, 1},
      {"rgb(300, 0, 0)", 1, 1, 1, 1}, {"", 1, 1, 1, 1},
  };
  for (const ColorCase& c : cases) {
    writeColors({{"staticColor", makeString(c.text)}});
    home().reloadColors();
    Json color = dump()["staticColor"];
    EXPECT_NEAR(color["red"].asNumber(), c.red, 1e-3) << c.text;
    EXPECT_NEAR(color["green"].asNumber(), c.green, 1e-3) << c.text;
    EXPECT_NEAR(color["blue"].asNumber(), c.blue, 1e-3) << c.text;
    EXPECT_NEAR(color["alpha"].asNumber(), c.alpha, 1e-3) << c.text;
  }
}

TEST_F(Settings, StaticColorIsBlackWithoutAnEntryAndWhiteForANonString) {
  writeColors({{"wallColor", makeData({1, 2, 3})}});
  device("14.2");
  boot();
  EXPECT_TRUE(isBlack(dump()["staticColor"]));
  writeColors({{"staticColor", makeDouble(3)}});
  home().reloadColors();
  Json white = dump()["staticColor"];
  EXPECT_EQ(white["red"].asNumber(), 1);
  EXPECT_EQ(white["blue"].asNumber(), 1);
}

}  // namespace
}  // namespace qv::testing
