// The home screen's icons as their views say: a locked app's icon dimmed and tinted, badges
// shown or hidden.
#include "picture.h"

namespace qv::testing {
namespace {

const Rgb kIcon{0x30, 0x80, 0xff};
const Rgb kWallpaper{0x20, 0x30, 0x40};  // the host's default wallpaper colour

int redPixels(const Picture& p, const host::Box& box) {
  int n = 0;
  p.forEachPixel(box, [&](int, int, const Rgb& c) { n += c.r > 200 && c.g < 110 && c.b < 110; });
  return n;
}

class HomePicture : public RenderScenario {};

TEST_F(HomePicture, ALockedAppsIconIsDimmedAndTintedAsItsViewSays) {
  lock({"com.example.locked"});
  addApp("com.example.locked", "#3080ff");
  addApp("com.example.open", "#3080ff");
  boot();
  Picture p(render());
  host::Box locked = layoutBox(layout_.icons, "com.example.locked");
  host::Box open = layoutBox(layout_.icons, "com.example.open");
  Rgb plain = p.at(open.x + 30, open.y + 30);
  Rgb dimmed = p.at(locked.x + 30, locked.y + 30);
  EXPECT_TRUE(near(plain, kIcon, 1)) << plain;

  // The image at the view's image alpha over the wallpaper, then its tint at the tint's alpha.
  const Json& view = dump()["icons"][0];
  ASSERT_EQ(view["identifier"].asString(), "com.example.locked");
  double imageAlpha = view["imageAlpha"].asNumber();
  const Json& tint = view["tint"];
  EXPECT_LT(imageAlpha, 1);
  EXPECT_GT(tint["alpha"].asNumber(), 0);
  Rgb tintColour{static_cast<int>(tint["red"].asNumber() * 255),
                 static_cast<int>(tint["green"].asNumber() * 255),
                 static_cast<int>(tint["blue"].asNumber() * 255)};
  Rgb expected = blend(tintColour, host::kIconTintStrength * tint["alpha"].asNumber(),
                       blend(kIcon, imageAlpha, kWallpaper));
  EXPECT_TRUE(near(dimmed, expected, 2)) << dimmed << " expected " << expected;

  // The label at the view's label alpha: its brightest pixels are greyer.
  auto brightest = [&](const host::Box& icon) {
    int most = 0;
    p.forEachPixel(host::Box{icon.x - 10, icon.bottom() + 4, icon.width + 20, 16},
                   [&](int, int, const Rgb& c) { most = std::max(most, c.g); });
    return most;
  };
  EXPECT_GT(brightest(open), 240);
  EXPECT_LT(brightest(locked), 200);
}

TEST_F(HomePicture, BadgesFollowTheirViewsHiddenFlag) {
  addApp("com.example.mail", "#3080ff", 3);
  addApp("com.example.notes", "#3080ff");
  boot();
  render("shown.png");
  host::Box mail = layoutBox(layout_.icons, "com.example.mail");
  host::Box notes = layoutBox(layout_.icons, "com.example.notes");
  auto badgeArea = [](const host::Box& icon) {
    return host::Box{icon.right() - 20, icon.y - 10, 30, 26};
  };
  {
    Picture p(root_ + "/shown.png");
    EXPECT_GT(redPixels(p, badgeArea(mail)), 100);
    EXPECT_EQ(redPixels(p, badgeArea(notes)), 0);
  }
  home().writeSetting("hideBadges", true);
  home().reloadPrefs();
  Picture p(render("hidden.png"));
  EXPECT_EQ(redPixels(p, badgeArea(mail)), 0);
}

}  // namespace
}  // namespace qv::testing
