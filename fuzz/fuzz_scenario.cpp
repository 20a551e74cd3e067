// Random user sessions on one booted home screen per process (OS version from $QV_FUZZ_OS,
// default 14.2): each input is a sequence of up to 32 commands, one byte naming the command
// and the bytes after it choosing among what exists (icons, the open menu's titles, the
// alert's buttons, apps), so most commands act on something real. State carries over between
// inputs.
//
//   0 press ICON       1 pick TITLE      2 alert BUTTON    3 auth ANSWER     4 front APP
//   5 switcher         6 search APP      7 search-activity APP               8 layout
//   9 post NAME       10 setting KEY KIND VALUE, then the reload notification
//  11 static colour TEXT, then the reload notification    12 style LIGHT|DARK
//  13 wallpaper R G B 14 reload prefs    15 launch message 16 dump
//  17 app list KEY MASK, then the reload notification
//
// An index past the choices names something that is not there (an unknown icon, a title the
// menu lacks), which the host refuses with a ScenarioError.
#include <cstdio>
#include <limits>
#include <string>

#include "foundation/preferences.h"
#include "foundation/system_log.h"
#include "foundation/values.h"
#include "observe/state_dump.h"
#include "schema/settings_schema.h"
#include "support/actions.h"
#include "support/device.h"
#include "uikit/views.h"

using namespace qv;
using namespace qv::host;

namespace {

HomeScreen* gHome = nullptr;

// The home screen's state carries over from input to input, so a long session is a run of
// short inputs; short ones give the fuzzer its feedback, and its mutations their effect, after
// every few commands (each costs about a millisecond under the sanitizers).
constexpr int kCommandsPerInput = 32;

const char* const kDomain = prefs::kSettingsDomain;

// Every setting and app list the library reads, in the schema's order.
const std::vector<std::string> kKeys = [] {
  std::vector<std::string> keys;
  for (const prefs::SettingKey& key : prefs::settingKeys()) keys.push_back(key.name);
  for (const char* list : prefs::appListKeys()) keys.push_back(list);
  return keys;
}();

const std::vector<std::string> kNotifications = {
    prefs::kLibraryNotifications[0],  prefs::kLibraryNotifications[1],
    prefs::kLibraryNotifications[2],  prefs::kLibraryNotifications[3],
    prefs::kLibraryNotifications[4],  prefs::kReloadPrefsNotification,
    prefs::kReloadColorsNotification, "UIApplicationDidBecomeActiveNotification"};

const std::vector<std::string> kColourTexts = {
    "#ff0000",     "#00ff00:0.50", "#12345", "rgb(10, 20, 30)", "rgba(255,255,255,0.1)",
    "rgba(1,2,3)", "#zzzzzz",      "",       "   #0000ff   ",   "rgb(256, 0, 0)"};

// clang-format off
const double kReals[] = {0.0, 0.5, 1.0, -1.0, 2.5, std::numeric_limits<double>::quiet_NaN(),
                         std::numeric_limits<double>::infinity(), -1e300, 1e300, 0.001};
// clang-format on

// Bytes taken from the front of the input, zero once it runs out.
class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool done() const { return pos_ >= size_; }
  uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  // An index in 0..count (count itself: something that is not there).
  size_t choice(size_t count) { return byte() % (count + 1); }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

std::string chooseFrom(Reader& in, const std::vector<std::string>& choices, const char* missing) {
  size_t i = in.choice(choices.size());
  return i < choices.size() ? choices[i] : missing;
}

// An installed app the system can still open, as the simulator requires.
const AppState* openableApp(Reader& in) {
  const std::vector<std::string>& apps = fuzz::fuzzApps();
  const AppState* app = gHome->app(apps[in.byte() % apps.size()]);
  return app && !app->uninstalled ? app : nullptr;
}

id settingValue(Reader& in) {
  uint8_t kind = in.byte(), v = in.byte();
  switch (kind % 6) {
    case 0:
      return makeBool(v & 1);
    case 1:
      return makeInteger(static_cast<int8_t>(v));
    case 2:
      return makeDouble(kReals[v % std::size(kReals)]);
    case 3:
      return makeString(chooseFrom(in, fuzz::settingWords(), "\xff\xfe"));
    case 4:
      return makeData({v});
    default:
      return nil;  // the key removed
  }
}

void writeSettingAndReload(Reader& in) {
  std::string key = chooseFrom(in, kKeys, "unknownKey");
  id value = settingValue(in);
  setPreferenceValue(kDomain, key, value);
  gHome->reloadPrefs();
}

// One of the app lists, holding the apps of a bit mask (bit 7: a number among them).
void writeAppListAndReload(Reader& in) {
  static const std::vector<std::string> kListKeys = {"lockedApps", "disableNotifications",
                                                     "disableBanners"};
  std::string key = kListKeys[in.byte() % kListKeys.size()];
  uint8_t mask = in.byte();
  std::vector<id> items;
  const std::vector<std::string>& apps = fuzz::fuzzApps();
  for (size_t i = 0; i < apps.size(); i++) {
    if (mask & (1u << i)) items.push_back(makeString(apps[i]));
  }
  if (mask & 0x80) items.push_back(makeInteger(7));
  setPreferenceValue(kDomain, key, makeArray(items));
  gHome->reloadPrefs();
}

void writeStaticColourAndReload(Reader& in) {
  gHome->writeStaticColor(chooseFrom(in, kColourTexts, "rgba(,,,)"));
  gHome->reloadColors();
}

void setWallpaper(Reader& in) {
  char hex[8];
  std::snprintf(hex, sizeof hex, "#%02x%02x%02x", in.byte(), in.byte(), in.byte());
  gHome->setWallpaperColor(hex);
  gHome->settle();
}

// The whole state is gathered (its text is nlohmann::json's business, and tested).
void dumpState() {
  Json state = host::dumpState(*gHome);
  if (!state.is_object() || !state.contains("apps") || !state["apps"].is_object()) std::abort();
}

void run(Reader& in) {
  HomeScreen& home = *gHome;
  switch (in.byte() % 18) {
    case 0:
      fuzz::pressIcon(home, in.byte());
      break;
    case 1:
      fuzz::pickItem(home, in.byte());
      break;
    case 2:
      fuzz::tapAlert(home, in.byte());
      break;
    case 3:
      fuzz::answerAuth(home, in.byte());
      break;
    case 4:
      if (const AppState* app = openableApp(in)) home.bringToFront(app->setup.bundleID);
      break;
    case 5:
      home.openSwitcher();
      break;
    case 6:
      if (const AppState* app = openableApp(in)) home.searchOpen(app->setup.bundleID);
      break;
    case 7:
      if (const AppState* app = openableApp(in)) home.searchOpenActivity(app->setup.bundleID);
      break;
    case 8:
      home.layoutIcons();
      break;
    case 9:
      home.post(chooseFrom(in, kNotifications, "com.vantrelo88.quorvel/unknown"));
      break;
    case 10:
      writeSettingAndReload(in);
      break;
    case 11:
      writeStaticColourAndReload(in);
      break;
    case 12:
      home.setStyle(in.byte() % 2 + 1);  // UIUserInterfaceStyle: 1 light, 2 dark
      break;
    case 13:
      setWallpaper(in);
      break;
    case 14:
      home.reloadPrefs();
      break;
    case 15: {
      AutoreleasePool pool;
      id springboard = sharedApplication();
      msgSend<void>(springboard, SELECTOR("applicationDidFinishLaunching:"), springboard);
      home.settle();
      break;
    }
    case 16:
      dumpState();
      break;
    default:
      writeAppListAndReload(in);
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  gHome = &fuzz::bootFuzzDevice("scenario", fuzz::fuzzOsVersion());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Reader in(data, size);
  AutoreleasePool pool;
  // The log and the host's event list would otherwise grow with every input run so far, and
  // every dump with them; the state that matters carries over.
  clearSystemLog();
  gHome->clearHostEvents();
  for (int steps = 0; !in.done() && steps < kCommandsPerInput; steps++) {
    try {
      run(in);
    } catch (const ScenarioError&) {
      // Refused as a user would see it: nothing to pick, no prompt pending...
    }
  }
  return 0;
}
