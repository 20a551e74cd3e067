// The menu colour: static, then icon, then wallpaper, each enabled step applied in full; and
// the wallpaper's colour captured into the colour property list.
#include "foundation/keyed_archive.h"
#include "support/scenario.h"

namespace qv::testing {
namespace {

using host::makeBool;
using host::makeString;

double byte(int b) { return static_cast<double>(static_cast<float>(b) / 255.0f); }

class ColorSteps : public Scenario {
 protected:
  // Mail's icon is the colour #336699; the wallpaper is #204080; the static colour #ff0000.
  void bootWith(std::vector<std::pair<std::string, id>> settings, bool colorList = true) {
    writeSettings(settings);
    if (colorList) writeColors({{"staticColor", makeString("#ff0000:0.80")}});
    device("14.2");
    AppSetup mail;
    mail.bundleID = "com.example.mail";
    mail.iconColor = "#336699";
    home().addApp(mail);
    home().setWallpaperColor("#204080");
    boot();
    home().press("com.example.mail");
  }
  Json list() { return dump()["menu"]["views"]["list"]; }
  Json preview() { return dump()["menu"]["views"]["preview"]; }
  static void expectColor(const Json& c, double r, double g, double b, double a) {
    EXPECT_NEAR(c["red"].asNumber(), r, 1e-4);
    EXPECT_NEAR(c["green"].asNumber(), g, 1e-4);
    EXPECT_NEAR(c["blue"].asNumber(), b, 1e-4);
    EXPECT_NEAR(c["alpha"].asNumber(), a, 1e-4);
  }
};

TEST_F(ColorSteps, ByDefaultTheMenuTakesTheIconColourAtTheMenuAlpha) {
  bootWith({});
  expectColor(list()["backgroundColor"], byte(0x33), byte(0x66), byte(0x99), 0.6);
  expectColor(preview()["backgroundColor"], byte(0x33), byte(0x66), byte(0x99), 0.6);
  EXPECT_EQ(list()["cornerRadius"].asNumber(), 14.5);
  EXPECT_EQ(preview()["cornerRadius"].asNumber(), 0);
}

TEST_F(ColorSteps, AllThreeSourcesLeaveTheWallpaperColour) {
  bootWith({{"useStaticColor", makeBool(true)}, {"adaptiveWallColor", makeBool(true)}});
  expectColor(list()["backgroundColor"], 0x20 / 255.0, 0x40 / 255.0, 0x80 / 255.0, 1);
  EXPECT_EQ(list()["backgroundSets"].asNumber(), 3);  // every enabled step painted in full
}

TEST_F(ColorSteps, StaticAndIconLeaveTheIconColour) {
  bootWith({{"useStaticColor", makeBool(true)}, {"menuColorAlpha", host::makeDouble(0.25)}});
  expectColor(list()["backgroundColor"], byte(0x33), byte(0x66), byte(0x99), 0.25);
  EXPECT_EQ(list()["backgroundSets"].asNumber(), 2);
}

TEST_F(ColorSteps, OnlyStaticGivesTheStaticColourWithItsOwnAlpha) {
  bootWith({{"useStaticColor", makeBool(true)},
            {"adaptiveColor", makeBool(false)},
            {"menuColorAlpha", host::makeDouble(0.25)}});
  expectColor(list()["backgroundColor"], 1, 0, 0, 0.8);
  EXPECT_EQ(list()["cornerRadius"].asNumber(), 14.5);
}

TEST_F(ColorSteps, StaticAndWallpaperPaintTwiceWithinOneCall) {
  bootWith({{"useStaticColor", makeBool(true)},
            {"adaptiveColor", makeBool(false)},
            {"adaptiveWallColor", makeBool(true)}});
  EXPECT_EQ(list()["backgroundSets"].asNumber(), 2);
  expectColor(list()["backgroundColor"], 0x20 / 255.0, 0x40 / 255.0, 0x80 / 255.0, 1);
  EXPECT_EQ(list()["cornerRadius"].asNumber(), 14.5);
}

TEST_F(ColorSteps, NoSourceLeavesTheHostsLookUntouched) {
  bootWith({{"adaptiveColor", makeBool(false)}});
  EXPECT_TRUE(list()["backgroundColor"].isNull());
  EXPECT_EQ(list()["backgroundSets"].asNumber(), 0);
  EXPECT_EQ(list()["cornerRadius"].asNumber(), 0);
  EXPECT_TRUE(preview()["backgroundColor"].isNull());
}

TEST_F(ColorSteps, WithoutAStoredWallpaperColourTheWallpaperStepPaintsNothing) {
  bootWith({{"adaptiveColor", makeBool(false)}, {"adaptiveWallColor", makeBool(true)}},
           /*colorList=*/false);
  EXPECT_FALSE(exists(colorPath()));  // the capture never creates the list
  EXPECT_TRUE(list()["backgroundColor"].isNull());
  EXPECT_EQ(list()["cornerRadius"].asNumber(), 0);
}

TEST_F(ColorSteps, EachWallpaperComputationReplacesTheStoredColourAndKeepsTheRest) {
  bootWith({});
  AutoreleasePool pool;
  auto stored = [&] {
    id colors = host::readPropertyListFile(colorPath());
    return host::colorComponents(
        host::unarchiveObjectWithData(host::dictionaryGet(colors, "wallColor")));
  };
  EXPECT_NEAR(stored().blue, 0x80 / 255.0, 1e-9);
  home().setWallpaperColor("#00ff00");
  host::Rgba again = stored();
  EXPECT_NEAR(again.green, 1.0, 1e-9);
  EXPECT_NEAR(again.blue, 0, 1e-9);
  EXPECT_EQ(
      host::stdString(host::dictionaryGet(host::readPropertyListFile(colorPath()), "staticColor")),
      "#ff0000:0.80");
}

TEST_F(ColorSteps, AnUndecodableWallpaperColourIsSkipped) {
  bootWith({{"adaptiveColor", makeBool(false)}, {"adaptiveWallColor", makeBool(true)}});
  writeColors({{"wallColor", host::makeData({'b', 'p', 'l', 'i', 's', 't'})}});
  home().press("com.example.mail");
  EXPECT_TRUE(list()["backgroundColor"].isNull());
  writeColors({{"wallColor", makeString("not data")}});
  home().press("com.example.mail");
  EXPECT_TRUE(list()["backgroundColor"].isNull());
  // An archive, but of something other than a colour.
  writeColors({{"wallColor", host::archivedDataWithRootObject(makeString("#00ff00"))}});
  home().press("com.example.mail");
  EXPECT_TRUE(list()["backgroundColor"].isNull());
}

}  // namespace
}  // namespace qv::testing
