// The settings and the colour list in any shape, read by the library at its reload
// notifications and at launch, then used: a menu opened and a few items picked. The settings
// domain is changed through the preferences daemon, as the settings pane does; the files are
// also edited behind its back.
#include <filesystem>
#include <string>
#include <string_view>

#include "foundation/device_root.h"
#include "foundation/preferences.h"
#include "foundation/property_list.h"
#include "foundation/values.h"
#include "schema/settings_schema.h"
#include "support/actions.h"
#include "support/device.h"
#include "support/values.h"
#include "uikit/views.h"

using namespace qv;
using namespace qv::host;

namespace {

const char* const kSettingsFile = prefs::kSettingsPath;
const char* const kColourFile = prefs::kColorsPath;

const char* const kSwitches[] = {
    "uninstall",        "clearBadges",    "clearCaches",   "copyBundleId",      "appLock",
    "notifications",    "banners",        "demoteApp",     "hideBadges",        "hideWidget",
    "hideLines",        "hideThickLines", "hideShare",     "hideEdit",          "hideDelete",
    "hideWidgetLabels", "useStaticColor", "adaptiveColor", "adaptiveWallColor", "pureColor",
    "menuColorAlpha"};
const char* const kLists[] = {"lockedApps", "disableNotifications", "disableBanners"};

HomeScreen* gHome = nullptr;

// Every key present or not, each with a value of any type; the lists often hold the apps.
id settingsDictionary(FuzzedDataProvider& in) {
  const std::vector<std::string>& words = fuzz::settingWords();
  std::vector<std::pair<id, id>> entries;
  for (const char* key : kSwitches) {
    if (in.ConsumeBool()) entries.emplace_back(makeString(key), fuzz::anyObject(in, 4, words));
  }
  for (const char* key : kLists) {
    if (!in.ConsumeBool()) continue;
    id value = in.ConsumeBool() ? fuzz::mixedList(in, words) : fuzz::anyObject(in, 4, words);
    entries.emplace_back(makeString(key), value);
  }
  // Keys the library does not know.
  if (in.ConsumeBool()) {
    entries.emplace_back(makeString(fuzz::text(in, words)), fuzz::anyObject(in, 2, words));
  }
  return makeDictionary(entries);
}

id colourDictionary(FuzzedDataProvider& in) {
  std::vector<std::pair<id, id>> entries;
  if (in.ConsumeBool()) {
    id value = in.ConsumeBool() ? makeString(fuzz::colourText(in))
                                : fuzz::anyObject(in, 3, fuzz::settingWords());
    entries.emplace_back(makeString("staticColor"), value);
  }
  if (in.ConsumeBool()) entries.emplace_back(makeString("wallColor"), fuzz::colourArchive(in));
  if (in.ConsumeBool()) {
    entries.emplace_back(makeString(fuzz::text(in, fuzz::settingWords())),
                         fuzz::anyObject(in, 2, fuzz::settingWords()));
  }
  return makeDictionary(entries);
}

// Makes the settings domain hold exactly `entries`, as the settings pane would leave it; the
// daemon writes the file. A value no file could hold leaves the domain as it was.
void replaceSettingsDomain(id entries) {
  CFStringRef domain = makeString(prefs::kSettingsDomain);
  CFArrayRef keys =
      CFPreferencesCopyKeyList(domain, kCFPreferencesCurrentUser, kCFPreferencesAnyHost);
  CFPreferencesSetMultiple(entries, keys, domain, kCFPreferencesCurrentUser, kCFPreferencesAnyHost);
  CFPreferencesAppSynchronize(domain);
  if (keys) CFRelease(keys);
}

// Replaces a property-list file: a dictionary, raw bytes, another root type, or no file. All
// but the dictionary of the settings are edits behind the preferences daemon's back, which
// only what reads the file sees (the launch-time `defaults`, the colour list).
void writeFile(FuzzedDataProvider& in, const char* path, id (*dictionary)(FuzzedDataProvider&)) {
  switch (in.ConsumeIntegralInRange(0, 7)) {
    case 0:
      gHome->writeFile(path, in.ConsumeRandomLengthString(512));
      return;
    case 1: {
      std::error_code ec;
      std::filesystem::remove(realPath(path), ec);
      return;
    }
    case 2:
      writePropertyListFile(path, fuzz::anyObject(in, 3, fuzz::settingWords()), in.ConsumeBool());
      return;
    default: {
      // A value that cannot be stored (a date out of range) leaves the old file.
      id entries = dictionary(in);
      bool atomically = in.ConsumeBool();
      if (std::string_view(path) == kSettingsFile) {
        replaceSettingsDomain(entries);
      } else {
        writePropertyListFile(path, entries, atomically);
      }
      return;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  gHome = &fuzz::bootFuzzDevice("settings", "14.2");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  HomeScreen& home = *gHome;
  AutoreleasePool pool;
  writeFile(in, kSettingsFile, settingsDictionary);
  writeFile(in, kColourFile, colourDictionary);

  home.reloadPrefs();
  home.reloadColors();
  // The library reads its defaults again when launching finishes.
  id springboard = sharedApplication();
  msgSend<void>(springboard, SELECTOR("applicationDidFinishLaunching:"), springboard);
  home.settle();

  fuzz::pressIcon(home, in.ConsumeIntegral<uint8_t>());
  for (int picks = in.ConsumeIntegralInRange(0, 3); picks > 0; picks--) {
    fuzz::pickItem(home, in.ConsumeIntegral<uint8_t>());
    if (in.ConsumeBool()) fuzz::tapAlert(home, in.ConsumeIntegral<uint8_t>());
    if (in.ConsumeBool()) fuzz::answerAuth(home, in.ConsumeIntegral<uint8_t>());
    if (in.ConsumeBool()) fuzz::pressIcon(home, in.ConsumeIntegral<uint8_t>());
  }
  fuzz::quietScreen(home, in.ConsumeIntegral<uint8_t>());
  return 0;
}
