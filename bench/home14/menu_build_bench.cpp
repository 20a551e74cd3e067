// Preparing one icon menu: the bundle-identifier hook, then applicationShortcutItems with every
// item switch on and the app in each of the three lists.
#include <benchmark/benchmark.h>

#include "foundation/preferences.h"
#include "foundation/values.h"
#include "springboard/home_items.h"
#include "support/booted_home.h"

namespace {

using namespace qv;

bench::BootedHome& home() {
  static bench::BootedHome booted("14.2", [](host::HomeScreen& h) {
    AutoreleasePool pool;
    host::AppSetup mail;
    mail.bundleID = "com.example.mail";
    h.addApp(mail);
    id list = host::makeArray(
        {host::makeString("com.example.other"), host::makeString("com.example.mail")});
    for (const char* key : {"lockedApps", "disableNotifications", "disableBanners"}) {
      host::setPreferenceValue("com.vantrelo88.quorvel", key, list);
    }
  });
  return booted;
}

void BM_PrepareMenu(benchmark::State& state) {
  id iconView = home().home.app("com.example.mail")->iconView;
  SEL identifier = sel_registerName("applicationBundleIdentifierForShortcuts");
  SEL items = sel_registerName("applicationShortcutItems");
  for (auto _ : state) {
    AutoreleasePool pool;
    benchmark::DoNotOptimize(msgSend<id>(iconView, identifier));
    id list = msgSend<id>(iconView, items);
    benchmark::DoNotOptimize(list);
  }
}
BENCHMARK(BM_PrepareMenu);

}  // namespace
