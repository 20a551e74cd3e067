// set, get, reset and list agree with each other and with the file the library reads.
#include <sstream>

#include "prefs_fixture.h"

namespace qv::testing {
namespace {

using RoundTripTest = PrefsTest;

std::string firstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

// The row of `key` in list's output, split into words.
std::vector<std::string> listRow(const std::string& listing, const std::string& key) {
  std::istringstream lines(listing);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::vector<std::string> row;
    for (std::string w; words >> w;) row.push_back(w);
    if (!row.empty() && row[0] == key) return row;
  }
  return {};
}

TEST_F(RoundTripTest, EveryBooleanTakesEachSpellingAndResetsToItsDefault) {
  const std::vector<std::pair<std::string, bool>> keys = {
      {"uninstall", true},       {"clearBadges", true},       {"clearCaches", true},
      {"copyBundleId", true},    {"appLock", true},           {"notifications", true},
      {"banners", true},         {"demoteApp", true},         {"hideWidget", true},
      {"hideLines", true},       {"hideShare", true},         {"hideWidgetLabels", true},
      {"adaptiveColor", true},   {"pureColor", true},         {"hideBadges", false},
      {"hideThickLines", false}, {"hideEdit", false},         {"hideDelete", false},
      {"useStaticColor", false}, {"adaptiveWallColor", false}};
  const std::vector<std::pair<std::string, bool>> words = {
      {"true", true}, {"false", false}, {"yes", true}, {"no", false},  {"on", true},
      {"off", false}, {"1", true},      {"0", false},  {"TRUE", true}, {"Off", false}};
  for (size_t i = 0; i < keys.size(); i++) {
    const auto& [key, fallback] = keys[i];
    const std::string fallbackText = fallback ? "true" : "false";
    ProgramRun get = prefs({"get", key});
    ASSERT_EQ(get.status, 0) << get.err;
    EXPECT_EQ(get.out, fallbackText + "\n") << key;

    // A different spelling for each key, and the opposite of its default.
    auto [word, value] = words[i % words.size()];
    if (value == fallback) {
      value = !value;
      word = value ? "yes" : "no";
    }
    ProgramRun set = prefs({"set", key, word});
    ASSERT_EQ(set.status, 0) << key << " " << word << ": " << set.err;
    const std::string valueText = value ? "true" : "false";
    EXPECT_EQ(set.out, key + ": " + valueText + " (was " + fallbackText + ")\n");
    EXPECT_EQ(prefs({"get", key}).out, valueText + "\n") << key;
    id object = stored(kSettingsFile, key);
    ASSERT_TRUE(host::isNumber(object)) << key;
    EXPECT_EQ(msgSend<BOOL>(object, SELECTOR("boolValue")), value) << key;

    ProgramRun reset = prefs({"reset", key});
    ASSERT_EQ(reset.status, 0) << reset.err;
    EXPECT_EQ(stored(kSettingsFile, key), nil) << key;
    EXPECT_EQ(prefs({"get", key}).out, fallbackText + "\n") << key;
  }
}

TEST_F(RoundTripTest, MenuColorAlphaIsStoredAsANumber) {
  EXPECT_EQ(prefs({"get", "menuColorAlpha"}).out, "0.6\n");
  for (const char* text : {"0.25", "0", "1", ".5", "5e-1", "0.3"}) {
    ProgramRun set = prefs({"set", "menuColorAlpha", text});
    ASSERT_EQ(set.status, 0) << text << ": " << set.err;
    id object = stored(kSettingsFile, "menuColorAlpha");
    ASSERT_TRUE(host::isNumber(object)) << text;
    EXPECT_FLOAT_EQ(msgSend<float>(object, SELECTOR("floatValue")), std::strtof(text, nullptr));
  }
  // Shown as the library's 32-bit float reads it, without float noise.
  EXPECT_EQ(prefs({"get", "menuColorAlpha"}).out, "0.3\n");
  EXPECT_EQ(prefs({"reset", "menuColorAlpha"}).status, 0);
  EXPECT_EQ(prefs({"get", "menuColorAlpha"}).out, "0.6\n");
}

TEST_F(RoundTripTest, ResettingAnAbsentKeyWritesNothing) {
  ProgramRun reset = prefs({"reset", "hideBadges"});
  EXPECT_EQ(reset.status, 0) << reset.err;
  EXPECT_EQ(reset.out, "hideBadges: already the default (false)\n");
  EXPECT_FALSE(exists(kSettingsFile));
  reset = prefs({"reset"});
  EXPECT_EQ(reset.status, 0) << reset.err;
  EXPECT_FALSE(exists(kSettingsFile));
}

TEST_F(RoundTripTest, ResetWithoutAKeyClearsEverySettingButKeepsTheRest) {
  writeRaw(kSettingsFile, kSeededSettings);
  ASSERT_EQ(prefs({"set", "hideBadges", "on"}).status, 0);
  ASSERT_EQ(prefs({"set", "menuColorAlpha", "0.2"}).status, 0);
  ProgramRun reset = prefs({"reset"});
  ASSERT_EQ(reset.status, 0) << reset.err;
  EXPECT_EQ(firstLine(reset.out), "every setting back to its default (3 removed; app lists kept)");
  for (const char* key : {"hideBadges", "menuColorAlpha", "hideShare"}) {
    EXPECT_EQ(stored(kSettingsFile, key), nil) << key;
  }
  EXPECT_EQ(storedList("lockedApps"),
            (std::vector<std::string>{"com.example.bank", "com.example.notes"}));
  EXPECT_EQ(storedList("disableBanners"), (std::vector<std::string>{"com.example.mail"}));
  EXPECT_EQ(host::stdString(stored(kSettingsFile, "futureSetting")), "kept as it is");
}

TEST_F(RoundTripTest, ListShowsTypesDefaultsValuesAndTheAppLists) {
  writeRaw(kSettingsFile, kSeededSettings);
  ASSERT_EQ(prefs({"set", "hideBadges", "true"}).status, 0);
  ASSERT_EQ(prefs({"set", "menuColorAlpha", "0.35"}).status, 0);
  ASSERT_EQ(prefs({"color", "static", "rgb(1, 2, 3)"}).status, 0);
  ProgramRun list = prefs({"list"});
  ASSERT_EQ(list.status, 0) << list.err;
  EXPECT_EQ(listRow(list.out, "KEY"),
            (std::vector<std::string>{"KEY", "TYPE", "DEFAULT", "VALUE"}));
  EXPECT_EQ(listRow(list.out, "hideBadges"),
            (std::vector<std::string>{"hideBadges", "boolean", "false", "true", "(set)"}));
  EXPECT_EQ(listRow(list.out, "hideShare"),
            (std::vector<std::string>{"hideShare", "boolean", "true", "false", "(set)"}));
  EXPECT_EQ(listRow(list.out, "uninstall"),
            (std::vector<std::string>{"uninstall", "boolean", "true", "true"}));
  EXPECT_EQ(listRow(list.out, "menuColorAlpha"),
            (std::vector<std::string>{"menuColorAlpha", "number", "0.6", "0.35", "(set)"}));
  EXPECT_EQ(listRow(list.out, "lockedApps"),
            (std::vector<std::string>{"lockedApps", "com.example.bank,", "com.example.notes"}));
  EXPECT_EQ(listRow(list.out, "disableNotifications"),
            (std::vector<std::string>{"disableNotifications", "none"}));
  EXPECT_NE(list.out.find("Other keys in the file (kept as they are): futureSetting"),
            std::string::npos);
  EXPECT_NE(list.out.find("rgb(1, 2, 3)"), std::string::npos);
  // Twenty-one settings, each once.
  size_t rows = 0;
  for (const char* key :
       {"uninstall",        "clearBadges",    "clearCaches",   "copyBundleId",      "appLock",
        "notifications",    "banners",        "demoteApp",     "hideBadges",        "hideWidget",
        "hideLines",        "hideThickLines", "hideShare",     "hideEdit",          "hideDelete",
        "hideWidgetLabels", "useStaticColor", "adaptiveColor", "adaptiveWallColor", "pureColor",
        "menuColorAlpha"}) {
    rows += listRow(list.out, key).empty() ? 0 : 1;
  }
  EXPECT_EQ(rows, 21u);
}

TEST_F(RoundTripTest, StoredValuesOfAnotherTypeReadAsTheLibraryReadsThem) {
  // A string with a boolean reading counts, an array keeps the default.
  writeRaw(kSettingsFile, R"(<plist><dict>
    <key>hideBadges</key><string>YES</string>
    <key>hideShare</key><array/>
    <key>menuColorAlpha</key><integer>1</integer>
  </dict></plist>)");
  EXPECT_EQ(prefs({"get", "hideBadges"}).out, "true\n");
  EXPECT_EQ(prefs({"get", "hideShare"}).out, "true\n");
  EXPECT_EQ(prefs({"get", "menuColorAlpha"}).out, "1\n");
  ProgramRun list = prefs({"list"});
  EXPECT_EQ(listRow(list.out, "hideBadges"),
            (std::vector<std::string>{"hideBadges", "boolean", "false", "true", "(stored", "as",
                                      "\"YES\")"}));
  EXPECT_EQ(listRow(list.out, "hideShare"),
            (std::vector<std::string>{"hideShare", "boolean", "true", "true", "(stored", "as", "an",
                                      "array", "of", "0)"}));
}

TEST_F(RoundTripTest, AppListsCanBeReadWithGet) {
  writeRaw(kSettingsFile, kSeededSettings);
  ProgramRun get = prefs({"get", "lockedApps"});
  EXPECT_EQ(get.status, 0) << get.err;
  EXPECT_EQ(get.out, "com.example.bank\ncom.example.notes\n");
  EXPECT_EQ(prefs({"get", "disableNotifications"}).out, "");
}

TEST_F(RoundTripTest, TheRootCanComeFromTheEnvironment) {
  ProgramRun set = runProgram(QV_PREFS_PATH, {"set", "hideEdit", "yes"}, {"QUORVEL_ROOT=" + root_});
  ASSERT_EQ(set.status, 0) << set.err;
  EXPECT_EQ(prefs({"get", "hideEdit"}).out, "true\n");
  // --root wins over the environment.
  std::string other = dir_ + "/other";
  set = runProgram(QV_PREFS_PATH, {"--root", other, "set", "hideEdit", "no"},
                   {"QUORVEL_ROOT=" + root_});
  ASSERT_EQ(set.status, 0) << set.err;
  EXPECT_EQ(prefs({"get", "hideEdit"}).out, "true\n");
  EXPECT_TRUE(std::filesystem::exists(other + kSettingsFile));
}

TEST_F(RoundTripTest, StaticColourKeepsTheColourListsOtherEntries) {
  writeRaw(kColorsFile,
           "<plist><dict><key>wallColor</key><string>#102030</string>"
           "<key>staticColor</key><string>#ffffff</string></dict></plist>");
  ProgramRun set = prefs({"color", "static", "#00ff00:0.50"});
  ASSERT_EQ(set.status, 0) << set.err;
  EXPECT_EQ(set.out, "staticColor: #00ff00:0.50 (was #ffffff)\n");
  EXPECT_EQ(host::stdString(stored(kColorsFile, "staticColor")), "#00ff00:0.50");
  EXPECT_EQ(host::stdString(stored(kColorsFile, "wallColor")), "#102030");
  // The settings file is another store.
  EXPECT_FALSE(exists(kSettingsFile));
}

}  // namespace
}  // namespace qv::testing
