// ctest-labels: threads
// Settings damaged in every way a list or a colour can be: the library never reaches a call
// that raises on a phone (a nil into a collection, an index out of range, an archive that is no
// archive). The host raises there as iOS does, which ends this process, so every action below
// completing is the proof; a list written back is whole again.
#include "foundation/foundation_internal.h"
#include "support/scenario.h"
#include "uikit/auth_service.h"

namespace qv::testing {
namespace {

class DamagedSettings : public Scenario, public ::testing::WithParamInterface<const char*> {
 protected:
  // Every item switched on, every list holding `damage`.
  void writeDamaged(id damage) {
    std::vector<std::pair<std::string, id>> entries;
    for (const char* key :
         {"uninstall", "clearBadges", "clearCaches", "copyBundleId", "appLock", "notifications",
          "banners", "demoteApp", "useStaticColor", "adaptiveWallColor"}) {
      entries.emplace_back(key, host::makeBool(true));
    }
    for (const char* key : {"lockedApps", "disableNotifications", "disableBanners"})
      entries.emplace_back(key, damage);
    writeSettings(entries);
  }
  void answerIfAsked(host::AuthAnswer answer) {
    if (dump()["pendingPrompts"].size() > 0) home().answerAuth(answer);
  }
  // Every item of the library in the app's menu, then what the rest of the library reacts to.
  void exerciseEverything(const std::string& app) {
    for (const char* title : {"App Lock", "Notifications", "Banners", "Clear Caches", "Clear Badge",
                              "Bundle Identifier", "Offload App"}) {
      home().press(app);
      std::vector<std::string> titles = menuTitles();
      if (std::find(titles.begin(), titles.end(), title) == titles.end()) continue;
      home().pick(title);
      answerIfAsked(host::AuthAnswer::Success);
      Json alert = dump()["alert"];
      if (!alert.isNull()) home().tapAlert(alert["buttons"][0]["title"].asString());
    }
    home().bringToFront(app);
    answerIfAsked(host::AuthAnswer::Failure);
    home().openSwitcher();
    home().searchOpen(app);
    home().searchOpenActivity(app);
    home().layoutIcons();
  }
};

TEST_P(DamagedSettings, NoActionReachesACallThatRaises) {
  writeColors({{"staticColor", host::makeDictionary({})},
               {"wallColor", host::makeData({'b', 'p', 'l', 'i', 's', 't', '0', '0'})}});
  device(GetParam());
  app("com.example.mail", 3);
  app("com.example.maps");
  writeDamaged(host::makeInteger(7));
  boot();
  const id damages[] = {
      host::makeString("com.example.mail"),
      host::makeDictionary({{host::makeString("com.example.mail"), host::makeBool(true)}}),
      host::makeArray({host::makeInteger(1), host::makeData({1}), host::makeArray({}),
                       host::makeDictionary({}), host::makeString("com.example.mail")}),
  };
  for (id damage : damages) {
    writeDamaged(damage);
    home().reloadPrefs();
    exerciseEverything("com.example.mail");
    exerciseEverything("com.example.maps");
  }
  // Whatever the damage, what the library wrote back holds strings only.
  for (const char* key : {"lockedApps", "disableNotifications", "disableBanners"}) {
    for (const Json& entry : dump()["defaults"][key].items()) EXPECT_TRUE(entry.isString()) << key;
  }
}

INSTANTIATE_TEST_SUITE_P(Families, DamagedSettings,
                         ::testing::Values("16.5", "15.1", "14.2", "13.5", "12.4"),
                         versionTestName);

}  // namespace
}  // namespace qv::testing
