// The icon colour's averaging next to a plain pass over the same bytes, and one whole
// version-14 styling pass of a menu with the default settings.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#include "foundation/values.h"
#include "platform/coregraphics.h"
#include "springboard/home_items.h"
#include "support/booted_home.h"
#include "uikit/image_info.h"

namespace {

using namespace qv;

bench::BootedHome& home() {
  static bench::BootedHome booted("14.2", [](host::HomeScreen& h) {
    host::AppSetup mail;
    mail.bundleID = "com.example.mail";
    h.addApp(mail);
  });
  return booted;
}

void BM_AverageColorOfImage(benchmark::State& state) {
  home();
  int side = static_cast<int>(state.range(0));
  id image = objc_retain(host::makeSolidImage("#336699", side));
  id styled = msgSend<id>(objc_getClass("SBHIconViewContextMenuWrapperViewController"),
                          sel_registerName("new"));
  SEL average = sel_registerName("averageColorOfImage:");
  for (auto _ : state) {
    AutoreleasePool pool;
    benchmark::DoNotOptimize(msgSend<id>(styled, average, image));
  }
  objc_release(styled);
  objc_release(image);
}
BENCHMARK(BM_AverageColorOfImage)->Arg(60)->Arg(180);

// Summing the same number of RGBA bytes, three channels of four.
void BM_PlainPassOverSameBytes(benchmark::State& state) {
  size_t n = static_cast<size_t>(state.range(0) * state.range(0));
  std::vector<uint8_t> buffer(n * 4, 0x55);
  for (auto _ : state) {
    uint64_t r = 0, g = 0, b = 0;
    const uint8_t* p = buffer.data();
    for (size_t i = 0; i < n; i++) {
      r += p[4 * i];
      g += p[4 * i + 1];
      b += p[4 * i + 2];
    }
    benchmark::DoNotOptimize(r + g + b);
  }
}
BENCHMARK(BM_PlainPassOverSameBytes)->Arg(60)->Arg(180);

// Every styling hook the host calls while showing a version-14 menu: the background view,
// the shadow's layout, the preview's appearance, the actions list, and one trailing image per
// item (each icon loaded from its file, as nothing is cached).
void BM_StylingPass14(benchmark::State& state) {
  host::HomeScreen& h = home().home;
  h.press("com.example.mail");
  id background =
      msgSend<id>(objc_getClass("_UIElasticContextMenuBackgroundView"), sel_registerName("new"));
  id shadow = msgSend<id>(objc_getClass("_UICutoutShadowView"), sel_registerName("new"));
  id wrapper = msgSend<id>(objc_getClass("SBHIconViewContextMenuWrapperViewController"),
                           sel_registerName("new"));
  id list = msgSend<id>(objc_getClass("_UIContextMenuActionsListView"), sel_registerName("new"));
  std::vector<id> rows;
  std::vector<std::pair<std::string, std::string>> items = {{"Offload App", ""},
                                                            {"Bundle Identifier", ""},
                                                            {"Clear Badge", ""},
                                                            {"Clear Caches", ""},
                                                            {"App Lock", "App is unlocked"},
                                                            {"Notifications", "Notifications On"},
                                                            {"Banners", "Banners On"}};
  for (const auto& [title, subtitle] : items) {
    id row = msgSend<id>(
        msgSend<id>(objc_getClass("_UIContextMenuActionView"), sel_registerName("alloc")),
        sel_registerName("initWithFrame:"), CGRect{{0, 0}, {250, 44}});
    msgSend<void>(msgSend<id>(row, sel_registerName("titleLabel")), sel_registerName("setText:"),
                  host::makeString(title));
    if (!subtitle.empty()) {
      msgSend<void>(msgSend<id>(row, sel_registerName("subtitleLabel")),
                    sel_registerName("setText:"), host::makeString(subtitle));
    }
    rows.push_back(row);
  }
  id effect = msgSend<id>(objc_getClass("UIVisualEffectView"), sel_registerName("new"));
  for (auto _ : state) {
    AutoreleasePool pool;
    msgSend<void>(background, sel_registerName("setVisualEffectView:"), effect);
    msgSend<void>(shadow, sel_registerName("layoutSubviews"));
    msgSend<void>(wrapper, sel_registerName("viewWillAppear:"), YES);
    msgSend<void>(list,
                  sel_registerName("setDisplayedMenu:withAnimationStyle:alongsideAnimations:"),
                  static_cast<id>(nil), static_cast<NSInteger>(0), static_cast<id>(nil));
    for (id row : rows)
      msgSend<void>(row, sel_registerName("setTrailingImage:"), static_cast<id>(nil));
  }
  for (id row : rows) objc_release(row);
  for (id o : {background, shadow, wrapper, list, effect}) objc_release(o);
}
BENCHMARK(BM_StylingPass14)->Unit(benchmark::kMicrosecond);

}  // namespace
