// Menus as the pictures show them: each family's list, group or platter painted with the
// colour and alpha the library set, over the dimmed home screen behind it.
#include "picture.h"

namespace qv::testing {
namespace {

const Rgb kBlue{0, 0, 255}, kRed{255, 0, 0}, kGreen{0, 255, 0};

class MenuPicture : public RenderScenario {
 protected:
  // Boots one app of `color` on OS `os`, presses it and renders the menu.
  std::string pressOnly(const char* os, const char* color) {
    device(os);
    addApp("com.example.only", color);
    boot();
    home().press("com.example.only");
    std::string path = render();
    EXPECT_FALSE(layout_.menu.empty());
    EXPECT_FALSE(layout_.menuRows.empty());
    return path;
  }

  // Each row's background beside its text, and the backdrop at the same height to the right
  // of the menu, where only the dimmed wallpaper lies.
  void expectRowsBlend(const Picture& p, const Rgb& colour, double alpha) {
    ASSERT_LT(layout_.menu.right(), 360);
    for (const host::Box& row : layout_.menuRows) {
      double y = row.y + row.height / 2;
      Rgb behind = p.at(380, y);
      EXPECT_TRUE(near(p.at(row.x + 6, y), blend(colour, alpha, behind), 2))
          << "row at " << row.y << ": " << p.at(row.x + 6, y) << " over " << behind;
    }
  }
};

TEST_F(MenuPicture, TheVersion14ListIsTheIconColourAtTheMenuAlpha) {
  Picture p(pressOnly("14.2", "#0000ff"));
  ASSERT_TRUE(p.ok());
  EXPECT_EQ(p.width(), 780);
  EXPECT_EQ(p.height(), 1688);
  expectRowsBlend(p, kBlue, 0.6);
}

// Versions 15 and 16 draw their cell content views as 14 draws its action views.
TEST_F(MenuPicture, TheVersion16ListIsTheIconColourAtTheMenuAlpha) {
  Picture p(pressOnly("16.5", "#0000ff"));
  ASSERT_TRUE(p.ok());
  expectRowsBlend(p, kBlue, 0.6);
}

TEST_F(MenuPicture, TheListFollowsTheAlphaSetting) {
  writeSettings({{"menuColorAlpha", host::makeDouble(1.0)}});
  Picture p(pressOnly("14.2", "#0000ff"));
  expectRowsBlend(p, kBlue, 1.0);
}

TEST_F(MenuPicture, WithoutTheLibraryTheListKeepsTheHostsOwnMaterial) {
  device("14.2");
  addApp("com.example.only", "#0000ff");
  bootWithoutLibrary();
  home().press("com.example.only");
  Picture p(render());
  const host::Box& row = layout_.menuRows.at(0);
  Rgb c = p.at(row.x + 6, row.y + row.height / 2);
  EXPECT_GT(c.r, 180) << c;
  EXPECT_LT(std::abs(c.r - c.b), 12) << c;
}

TEST_F(MenuPicture, TheVersion13GroupShowsItsColourWhileItsBackgroundViewIsHidden) {
  Picture p(pressOnly("13.5", "#ff0000"));
  expectRowsBlend(p, kRed, 0.6);
}

TEST_F(MenuPicture, TheVersion13GroupsBackgroundViewCoversTheColourWhenShown) {
  writeSettings({{"pureColor", host::makeBool(false)}});
  Picture p(pressOnly("13.5", "#ff0000"));
  const host::Box& row = layout_.menuRows.at(0);
  double y = row.y + row.height / 2;
  Rgb pure = blend(kRed, 0.6, p.at(380, y));
  Rgb c = p.at(row.x + 6, y);
  // The host's light material lies over the red.
  EXPECT_GT(c.g, pure.g + 100) << c;
  EXPECT_GT(c.r, c.g) << c;
}

TEST_F(MenuPicture, TheVersion12PlatterIsTheIconColourAtTheMenuAlpha) {
  Picture p(pressOnly("12.4", "#00ff00"));
  expectRowsBlend(p, kGreen, 0.6);
}

TEST_F(MenuPicture, HiddenRowsAreNotDrawn) {
  // The library hides the version-12 platter's Share row; it is not among the rows drawn.
  device("12.4");
  addApp("com.example.only", "#ff0000");
  boot();
  home().press("com.example.only");
  render();
  size_t shown = 0;
  for (const Json& item : dump()["menu"]["items"].items()) {
    if (item["title"].asString().find("Share") == std::string::npos) shown++;
  }
  EXPECT_EQ(layout_.menuRows.size(), shown);
  EXPECT_LT(shown, dump()["menu"]["items"].size());
}

}  // namespace
}  // namespace qv::testing
