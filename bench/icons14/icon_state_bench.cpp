// Icon state on a full home screen: one icon view's layoutSubviews (badge and dimming work,
// then the host's own) with 0, 10 and 100 apps locked, and a "dimIcon" post reaching 300
// placed icon views.
#include <benchmark/benchmark.h>

#include "foundation/values.h"
#include "support/booted_home.h"

namespace {

using namespace qv;

std::string appName(int i) { return "com.example.app" + std::to_string(i); }

bench::BootedHome& home() {
  static bench::BootedHome booted("14.2", [](host::HomeScreen& h) {
    for (int i = 0; i < 300; i++) {
      host::AppSetup setup;
      setup.bundleID = appName(i);
      setup.badge = 2;
      setup.container = false;
      h.addApp(setup);
    }
  });
  return booted;
}

// Puts `count` other apps in the lock list kept in memory.
void lockOthers(int count) {
  AutoreleasePool pool;
  std::vector<id> locked;
  for (int i = 0; i < count; i++) locked.push_back(host::makeString(appName(1000 + i)));
  id defaults = *static_cast<id*>(librarySymbol("defaults"));
  host::dictionarySet(defaults, host::makeString("lockedApps"), host::makeArray(locked));
}

void BM_IconLayoutSubviews(benchmark::State& state) {
  home();
  lockOthers(static_cast<int>(state.range(0)));
  id iconView = home().home.app(appName(5))->iconView;
  SEL layout = sel_registerName("layoutSubviews");
  for (auto _ : state) {
    AutoreleasePool pool;
    msgSend<void>(iconView, layout);
  }
}
BENCHMARK(BM_IconLayoutSubviews)->Arg(0)->Arg(10)->Arg(100);

void BM_DimIconPostTo300IconViews(benchmark::State& state) {
  home();
  lockOthers(10);
  id center = msgSend<id>(objc_getClass("NSNotificationCenter"), sel_registerName("defaultCenter"));
  id name = objc_retain(host::makeString("com.vantrelo88.quorvel/dimIcon"));
  SEL post = sel_registerName("postNotificationName:object:userInfo:");
  for (auto _ : state) {
    AutoreleasePool pool;
    msgSend<void>(center, post, name, static_cast<id>(nil), static_cast<id>(nil));
  }
  objc_release(name);
}
BENCHMARK(BM_DimIconPostTo300IconViews);

}  // namespace
