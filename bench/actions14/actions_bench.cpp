// Actions against a crowded device: a badge-clearing post reaching 300 app objects, and an
// App Lock toggle with 1,000 apps already in the list (including its atomic write).
#include <benchmark/benchmark.h>

#include "foundation/preferences.h"
#include "foundation/values.h"
#include "schema/settings_schema.h"
#include "springboard/home_items.h"
#include "support/booted_home.h"

namespace {

using namespace qv;

std::string appName(int i) { return "com.example.app" + std::to_string(i); }

bench::BootedHome& home() {
  static bench::BootedHome booted("14.2", [](host::HomeScreen& h) {
    AutoreleasePool pool;
    for (int i = 0; i < 300; i++) {
      host::AppSetup setup;
      setup.bundleID = appName(i);
      setup.badge = 1;
      setup.container = false;
      h.addApp(setup);
    }
    std::vector<id> locked;
    for (int i = 1000; i < 2000; i++) locked.push_back(host::makeString(appName(i)));
    host::setPreferenceValue(prefs::kSettingsDomain, "lockedApps", host::makeArray(locked));
  });
  return booted;
}

void BM_ClearBadgesPostTo300Apps(benchmark::State& state) {
  home().home.press(appName(150));
  id center = msgSend<id>(objc_getClass("NSNotificationCenter"), sel_registerName("defaultCenter"));
  id name = host::makeString(prefs::kLibraryNotifications[0]);
  objc_retain(name);
  for (auto _ : state) {
    msgSend<void>(center, sel_registerName("postNotificationName:object:userInfo:"), name,
                  static_cast<id>(nil), static_cast<id>(nil));
  }
  objc_release(name);
}
BENCHMARK(BM_ClearBadgesPostTo300Apps);

// Locks an app (the list holds 1,000 others), then takes it out of the list untimed.
void BM_AppLockToggleWith1000Locked(benchmark::State& state) {
  home().home.press(appName(7));
  id manager = msgSend<id>(objc_getClass("SBHIconManager"), sel_registerName("new"));
  id iconView = home().home.app(appName(7))->iconView;
  id item = objc_retain(host::makeShortcutItem("QVUItem", "App Lock"));
  id* defaults = static_cast<id*>(librarySymbol("defaults"));
  SEL activate = sel_registerName("iconView:shouldActivateApplicationShortcutItem:atIndex:");
  for (auto _ : state) {
    {
      AutoreleasePool pool;
      msgSend<BOOL>(manager, activate, iconView, item, static_cast<NSUInteger>(0));
    }
    state.PauseTiming();
    {
      AutoreleasePool pool;
      id list = host::dictionaryGet(*defaults, "lockedApps");
      id copy = msgSend<id>(list, sel_registerName("mutableCopy"));
      msgSend<void>(copy, sel_registerName("removeObject:"), host::makeString(appName(7)));
      host::dictionarySet(*defaults, host::makeString("lockedApps"), copy);
      objc_release(copy);
    }
    state.ResumeTiming();
  }
  objc_release(item);
  objc_release(manager);
}
BENCHMARK(BM_AppLockToggleWith1000Locked)->Unit(benchmark::kMicrosecond);

}  // namespace
