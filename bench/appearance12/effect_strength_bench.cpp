// The version-12 backdrop tint: every setEffectStrength: reads and decodes the stored
// wallpaper colour and sets the seven backdrop values.
#include <benchmark/benchmark.h>

#include "foundation/property_list.h"
#include "foundation/values.h"
#include "platform/coregraphics.h"
#include "support/booted_home.h"

namespace {

using namespace qv;

bench::BootedHome& home() {
  static bench::BootedHome booted("12.4", [](host::HomeScreen& h) {
    AutoreleasePool pool;
    host::AppSetup mail;
    mail.bundleID = "com.example.mail";
    h.addApp(mail);
    h.setWallpaperColor("#204080");
    // The settings program has written a static colour, so the list exists for the capture.
    host::writePropertyListFile(
        "/var/jb/vmo/Library/Preferences/com.vantrelo88.quorvel.color.plist",
        host::makeDictionary({{host::makeString("staticColor"), host::makeString("#ffffff")}}),
        true);
  });
  return booted;
}

void BM_SetEffectStrength(benchmark::State& state) {
  home();
  id effect = msgSend<id>(
      msgSend<id>(objc_getClass("SBUIIconForceTouchVisualEffectView"), sel_registerName("alloc")),
      sel_registerName("initWithFrame:"), CGRect{{0, 0}, {100, 100}});
  SEL setStrength = sel_registerName("setEffectStrength:");
  for (auto _ : state) {
    AutoreleasePool pool;
    msgSend<void>(effect, setStrength, 0.3);
  }
  objc_release(effect);
}
BENCHMARK(BM_SetEffectStrength);

}  // namespace
