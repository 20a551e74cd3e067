// Each family's menu styling: version 14's background, shadow, preview and widget labels;
// version 13's alerts, separators, Share row and background view; version 12's backdrop,
// widget, keylines and platter.
#include "support/scenario.h"

namespace qv::testing {
namespace {

using host::makeBool;
using host::makeString;

class Styling : public Scenario {
 protected:
  void bootWith(const char* os, std::vector<std::pair<std::string, id>> settings = {},
                host::HostQuirks quirks = {}) {
    writeSettings(settings);
    writeColors({{"staticColor", makeString("#ffffff")}});
    device(os);
    home().setQuirks(quirks);
    AppSetup mail;
    mail.bundleID = "com.example.mail";
    mail.iconColor = "#336699";
    mail.shortcuts = {"Share Location", "share this", "Compose"};
    home().addApp(mail);
    home().addWidget("com.example.weather.widget");
    home().setWallpaperColor("#204080");
    boot();
  }
  Json views() { return dump()["menu"]["views"]; }
};

// ---- version 14 ----

TEST_F(Styling, Version14BackgroundAlphaFollowsPureColor) {
  bootWith("14.2");
  home().press("com.example.mail");
  EXPECT_EQ(views()["background"]["alpha"].asNumber(), 0.4);
  home().writeSetting("pureColor", false);
  home().reloadPrefs();
  home().press("com.example.mail");
  EXPECT_EQ(views()["background"]["alpha"].asNumber(), 1.0);
}

TEST_F(Styling, Version14HidesShadowAndPreviewButStillColoursThePreview) {
  bootWith("14.2");
  home().press("com.example.mail");
  Json v = views();
  EXPECT_TRUE(v["shadow"]["hidden"].asBool());
  EXPECT_TRUE(v["preview"]["hidden"].asBool());
  EXPECT_FALSE(v["preview"]["backgroundColor"].isNull());
  home().writeSetting("hideWidget", false);
  home().reloadPrefs();
  home().press("com.example.mail");
  v = views();
  EXPECT_FALSE(v["shadow"]["hidden"].asBool());
  EXPECT_FALSE(v["preview"]["hidden"].asBool());
}

TEST_F(Styling, Version14KeepsWidgetLabelsHiddenAndLeavesAppLabelsAlone) {
  bootWith("14.2");
  auto labelHidden = [&](const std::string& id) {
    Json d = dump();
    for (const Json& i : d["icons"].items()) {
      if (i["identifier"].asString() == id) return i["labelHidden"].asBool();
    }
    return false;
  };
  EXPECT_TRUE(labelHidden("com.example.weather.widget"));
  EXPECT_FALSE(labelHidden("com.example.mail"));
  // A request to hide is always passed on.
  msgSend<void>(home().app("com.example.mail")->iconView.get(), sel_registerName("setLabelHidden:"),
                YES);
  EXPECT_TRUE(labelHidden("com.example.mail"));
  home().writeSetting("hideWidgetLabels", false);
  home().reloadPrefs();
  home().layoutIcons();
  EXPECT_FALSE(labelHidden("com.example.weather.widget"));
}

// ---- version 13 ----

Json rowTitled(const Json& group, const std::string& title) {
  return elementWith(group["rows"], "title", title);
}

TEST_F(Styling, Version13ColoursTheMenuGroupAndHidesItsBackgroundView) {
  bootWith("13.5");
  home().press("com.example.mail");
  Json group = views()["group"];
  EXPECT_FALSE(group["backgroundColor"].isNull());
  EXPECT_EQ(group["cornerRadius"].asNumber(), 14.5);
  EXPECT_TRUE(group["backgroundView"]["hidden"].asBool());
}

TEST_F(Styling, Version13LeavesTheBackgroundViewWhenNoColourApplies) {
  bootWith("13.5", {{"adaptiveColor", makeBool(false)}});
  home().press("com.example.mail");
  Json group = views()["group"];
  EXPECT_TRUE(group["backgroundColor"].isNull());
  EXPECT_FALSE(group["backgroundView"]["hidden"].asBool());
  EXPECT_EQ(group["cornerRadius"].asNumber(), 0);
}

TEST_F(Styling, Version13HidesThinSeparatorsAndShowsThickOnesByDefault) {
  bootWith("13.5");
  home().press("com.example.mail");
  Json seps = views()["group"]["separators"];
  int thin = 0, thick = 0;
  for (const Json& s : seps.items()) {
    if (s["kind"].asString() == "thin") {
      thin++;
      EXPECT_TRUE(s["hidden"].asBool());
    } else {
      thick++;
      EXPECT_FALSE(s["hidden"].asBool());
    }
  }
  EXPECT_GT(thin, 0);
  EXPECT_EQ(thick, 1);
}

// Each kind of separator follows its own switch: thick ones hideThickLines, thin ones hideLines.
TEST_F(Styling, Version13SeparatorsFollowTheirOwnSwitches) {
  bootWith("13.5", {{"hideThickLines", makeBool(true)}, {"hideLines", makeBool(false)}});
  auto hidden = [&](const char* kind) {
    home().press("com.example.mail");
    std::vector<bool> out;
    for (const Json& s : views()["group"]["separators"].items()) {
      if (s["kind"].asString() == kind) out.push_back(s["hidden"].asBool());
    }
    return out;
  };
  EXPECT_EQ(hidden("thick"), std::vector<bool>{true});
  std::vector<bool> thin = hidden("thin");
  ASSERT_FALSE(thin.empty());
  EXPECT_EQ(std::count(thin.begin(), thin.end(), true), 0);
  home().writeSetting("hideThickLines", false);
  home().reloadPrefs();
  EXPECT_EQ(hidden("thick"), std::vector<bool>{false});
}

TEST_F(Styling, Version13AlertsKeepTheHostsLookAndTheirSeparators) {
  bootWith("13.5");
  home().press("com.example.mail");
  home().pick("Bundle Identifier");
  Json group = dump()["alert"]["group"];
  ASSERT_TRUE(group.isObject());
  EXPECT_TRUE(group["backgroundColor"].isNull());
  EXPECT_EQ(group["cornerRadius"].asNumber(), 0);
  EXPECT_FALSE(group["backgroundView"]["hidden"].asBool());
  ASSERT_EQ(group["separators"].size(), 1u);
  EXPECT_FALSE(group["separators"][0]["hidden"].asBool());
  // The next menu's separators hide again.
  home().tapAlert("Nevermind");
  home().press("com.example.mail");
  EXPECT_TRUE(views()["group"]["separators"][0]["hidden"].asBool());
}

TEST_F(Styling, Version13HidesRowsWhoseTitleHoldsShareCaseSensitively) {
  bootWith("13.5");
  home().press("com.example.mail");
  Json group = views()["group"];
  EXPECT_TRUE(rowTitled(group, "Share Location")["hidden"].asBool());
  EXPECT_FALSE(rowTitled(group, "share this")["hidden"].asBool());
  EXPECT_FALSE(rowTitled(group, "Compose")["hidden"].asBool());
}

TEST_F(Styling, Version13WithHideShareOffHidesNoRowAndNeverShowsOne) {
  bootWith("13.5", {{"hideShare", makeBool(false)}});
  home().press("com.example.mail");
  EXPECT_FALSE(rowTitled(views()["group"], "Share Location")["hidden"].asBool());
  EXPECT_FALSE(rowTitled(views()["group"], "Share App")["hidden"].asBool());
}

TEST_F(Styling, Version13WithoutTheBackgroundVariableTouchesNothingThroughIt) {
  host::HostQuirks quirks;
  quirks.groupBackgroundIvar = false;
  bootWith("13.5", {}, quirks);
  home().press("com.example.mail");
  Json group = views()["group"];
  EXPECT_FALSE(group["backgroundColor"].isNull());
  EXPECT_FALSE(group["backgroundView"]["hidden"].asBool());
}

// ---- version 12 ----

TEST_F(Styling, Version12TintsTheBackdropWithTheWallpaperAtFullStrength) {
  bootWith("12.4", {{"adaptiveColor", makeBool(false)}});
  home().press("com.example.mail");
  Json effect = views()["effect"];
  EXPECT_EQ(effect["effectStrength"].asNumber(), 1.0);  // the host asked for 0.3
  Json b = effect["backdrop"];
  std::vector<std::string> calls;
  for (const Json& c : b["calls"].items()) calls.push_back(c.asString());
  EXPECT_EQ(calls, (std::vector<std::string>{
                       "setUsesColorTintView:", "setUsesColorBurnTintView:",
                       "setColorBurnTintLevel:", "setColorBurnTintAlpha:", "setColorTint:",
                       "setColorTintAlpha:", "setAppliesTintAndBlurSettings:"}));
  EXPECT_EQ(b["colorBurnTintLevel"].asNumber(), 10.0);
  EXPECT_EQ(b["colorBurnTintAlpha"].asNumber(), 1.0);
  EXPECT_EQ(b["colorTintAlpha"].asNumber(), 0.7);
  EXPECT_NEAR(b["colorTint"]["blue"].asNumber(), 0x80 / 255.0, 1e-4);
  // With every colour setting off the platter keeps the host's background.
  EXPECT_TRUE(views()["platter"]["backgroundColor"].isNull());
}

TEST_F(Styling, Version12WithoutAWallpaperColourSetsEverythingButTheTint) {
  device("12.4");
  app("com.example.mail");
  boot();  // no colour list, so no stored wallpaper colour
  home().press("com.example.mail");
  Json b = views()["effect"]["backdrop"];
  EXPECT_EQ(b["calls"].size(), 6u);
  EXPECT_TRUE(b["colorTint"].isNull());
  EXPECT_TRUE(b["appliesTintAndBlurSettings"].asBool());
}

TEST_F(Styling, Version12WithoutTheBackdropVariableTouchesNothing) {
  host::HostQuirks quirks;
  quirks.effectViewBackdropIvar = false;
  bootWith("12.4", {}, quirks);
  home().press("com.example.mail");
  Json effect = views()["effect"];
  EXPECT_EQ(effect["backdrop"]["calls"].size(), 0u);
  EXPECT_EQ(effect["effectStrength"].asNumber(), 1.0);
}

TEST_F(Styling, Version12WidgetFollowsHideWidget) {
  bootWith("12.4");
  home().press("com.example.mail");
  EXPECT_EQ(views()["widget"].asString(), "none");
  EXPECT_EQ(views()["hostWidgetRequests"].asNumber(), 0);
  home().writeSetting("hideWidget", false);
  home().reloadPrefs();
  home().press("com.example.mail");
  EXPECT_EQ(views()["widget"].asString(), "shown");
  EXPECT_EQ(views()["hostWidgetRequests"].asNumber(), 1);
}

TEST_F(Styling, Version12KeylinesFollowHideLinesBothWays) {
  bootWith("12.4");
  home().press("com.example.mail");
  Json hidden = views()["keylines"];
  ASSERT_GT(hidden.size(), 0u);
  for (const Json& k : hidden.items()) EXPECT_TRUE(k["hidden"].asBool());
  home().writeSetting("hideLines", false);
  home().reloadPrefs();
  home().press("com.example.mail");
  Json shown = views()["keylines"];
  for (const Json& k : shown.items()) EXPECT_FALSE(k["hidden"].asBool());
}

TEST_F(Styling, Version12ColoursThePlatterAndHidesShareRows) {
  bootWith("12.4");
  home().press("com.example.mail");
  Json d = dump();
  EXPECT_NEAR(d["menu"]["views"]["platter"]["backgroundColor"]["blue"].asNumber(),
              static_cast<double>(static_cast<float>(0x99) / 255.0f), 1e-4);
  for (const Json& item : d["menu"]["items"].items()) {
    bool share = item["title"].asString().find("Share") != std::string::npos;
    EXPECT_EQ(item["row"]["hidden"].asBool(), share) << item["title"].asString();
  }
}

}  // namespace
}  // namespace qv::testing
