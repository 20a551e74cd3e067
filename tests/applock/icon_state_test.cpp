// ctest-labels: threads
// Icon state: locked apps' icons dim and recover by notification, badges hide by setting.

#include "foundation/notification_center.h"
#include "support/scenario.h"
#include "uikit/auth_service.h"

namespace qv::testing {
namespace {

Json iconOf(const Json& d, const std::string& identifier) {
  return elementWith(d["icons"], "identifier", identifier);
}

bool dimmed(const Json& icon) {
  return icon["imageAlpha"].asNumber() == 0.6 && icon["labelAlpha"].asNumber() == 0.6 &&
         icon["accessoryAlpha"].asNumber() == 0.6 && icon["tint"]["alpha"].asNumber() == 1 &&
         icon["tint"]["red"].asNumber() == 0;
}

// Every alpha back at 1 and the tint set to clear: a tint that was never set is no restore.
bool restored(const Json& icon) {
  return icon["imageAlpha"].asNumber() == 1 && icon["labelAlpha"].asNumber() == 1 &&
         icon["accessoryAlpha"].asNumber() == 1 && !icon["tint"].isNull() &&
         icon["tint"]["alpha"].asNumber() == 0;
}

class IconState : public Scenario {
 protected:
  void bootWith(const char* os, host::HostQuirks quirks = {}) {
    device(os);
    home().setQuirks(quirks);
    app("com.example.mail", 3);
    app("com.example.maps", 1);
    home().addFolder("Games");
    boot();
  }
  id iconView(const std::string& app) { return home().app(app)->iconView; }
};

TEST_F(IconState, PlacedIconsStartRestoredAndLockingDimsAtOnce) {
  bootWith("14.2");
  Json d = dump();
  EXPECT_TRUE(restored(iconOf(d, "com.example.mail")));
  EXPECT_TRUE(restored(iconOf(d, "Games")));
  home().press("com.example.mail");
  home().pick("App Lock");
  d = dump();
  EXPECT_TRUE(dimmed(iconOf(d, "com.example.mail")));
  EXPECT_TRUE(restored(iconOf(d, "com.example.maps")));
}

TEST_F(IconState, UnlockingRestoresThroughTheNotification) {
  writeSettings({{"lockedApps", list({"com.example.mail"})}});
  bootWith("12.4");
  ASSERT_TRUE(dimmed(iconOf(dump(), "com.example.mail")));
  home().press("com.example.mail");
  home().pick("App Lock");
  home().answerAuth(host::AuthAnswer::Success);
  EXPECT_TRUE(restored(iconOf(dump(), "com.example.mail")));
}

TEST_F(IconState, ALayoutAloneNeverRestoresAnIcon) {
  writeSettings({{"lockedApps", list({"com.example.mail"})}});
  bootWith("14.2");
  // The list changes in memory without the notification.
  id defaults = *static_cast<id*>(librarySymbol("defaults"));
  host::dictionarySet(defaults, host::makeString("lockedApps"), list({}));
  home().layoutIcons();
  EXPECT_TRUE(dimmed(iconOf(dump(), "com.example.mail")));
  home().post("com.vantrelo88.quorvel/dimIcon");
  EXPECT_TRUE(restored(iconOf(dump(), "com.example.mail")));
}

TEST_F(IconState, BadgesHideAtTheNextLayoutAndShowAgainAfterAReload) {
  bootWith("14.2");
  ASSERT_EQ(iconOf(dump(), "com.example.mail")["badge"].asString(), "shown");
  home().writeSetting("hideBadges", true);
  home().reloadPrefs();  // checkBadge reaches every placed icon view
  EXPECT_EQ(iconOf(dump(), "com.example.mail")["badge"].asString(), "hidden");
  // The host shows a badge again when it changes; the next layout hides it.
  msgSend<void>(home().app("com.example.maps")->appObject.get(), sel_registerName("setBadgeValue:"),
                host::makeInteger(5));
  ASSERT_EQ(iconOf(dump(), "com.example.maps")["badge"].asString(), "shown");
  home().layoutIcons();
  EXPECT_EQ(iconOf(dump(), "com.example.maps")["badge"].asString(), "hidden");

  home().writeSetting("hideBadges", false);
  home().reloadPrefs();
  Json d = dump();
  EXPECT_EQ(iconOf(d, "com.example.mail")["badge"].asString(), "shown");
  EXPECT_EQ(iconOf(d, "com.example.maps")["badge"].asString(), "shown");
  EXPECT_EQ(iconOf(d, "Games")["badge"].asString(), "none");
}

TEST_F(IconState, AnIconPlacedTwiceHearsEachNotificationTwiceAndEndsTheSame) {
  bootWith("14.2");
  id center = msgSend<id>(objc_getClass("NSNotificationCenter"), sel_registerName("defaultCenter"));
  size_t before = host::notificationObservationCount(center);
  // From version 13 on a location is a string.
  msgSend<void>(iconView("com.example.mail"), sel_registerName("setLocation:"),
                host::makeString("SBIconLocationDock"));
  EXPECT_EQ(host::notificationObservationCount(center), before + 2);
  home().press("com.example.mail");
  home().pick("App Lock");
  Json d = dump();
  EXPECT_TRUE(dimmed(iconOf(d, "com.example.mail")));
  EXPECT_EQ(iconOf(d, "com.example.mail")["placements"].asNumber(), 2);
}

TEST_F(IconState, TheCrossfadeQueryDoesTheLayoutWorkAndReturnsTheHostsAnswer) {
  writeSettings({{"lockedApps", list({"com.example.mail"})}, {"hideBadges", host::makeBool(true)}});
  bootWith("13.5");
  id view = iconView("com.example.mail");
  msgSend<void>(view, sel_registerName("setIconImageAlpha:"), 1.0);
  msgSend<void>(qv::fields<host::SBIconViewObj>(view)->accessoryView.get(),
                sel_registerName("setHidden:"), NO);
  EXPECT_FALSE(msgSend<BOOL>(view, sel_registerName("isCrossfadingImageWithView")));
  Json icon = iconOf(dump(), "com.example.mail");
  EXPECT_EQ(icon["imageAlpha"].asNumber(), 0.6);
  EXPECT_EQ(icon["badge"].asString(), "hidden");
}

TEST_F(IconState, AHostIconViewWithoutTheBadgeVariableSkipsTheBadgeStep) {
  writeSettings({{"hideBadges", host::makeBool(true)}});
  host::HostQuirks quirks;
  quirks.iconViewAccessoryIvar = false;
  bootWith("14.2", quirks);
  home().layoutIcons();
  EXPECT_EQ(iconOf(dump(), "com.example.mail")["badge"].asString(), "shown");
}

}  // namespace
}  // namespace qv::testing
