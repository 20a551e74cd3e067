// Each OS family's host classes declare what that iOS version declares where the library
// touches them, and the library works on each: everything it sends exists there (a selector a
// family lacks aborts, as on a phone), a hook on a method the family lacks installs nothing
// while the rest works, and setLocation: reaches the host with the family's argument type.
#include <algorithm>

#include "runtime/objc_internal.h"
#include "support/scenario.h"
#include "uikit/auth_service.h"

namespace qv::testing {
namespace {

using host::AuthAnswer;

enum Families : unsigned { F12 = 1, F13 = 2, F14 = 4, FAll = F12 | F13 | F14 };

unsigned familyBit(const std::string& os) {
  host::Family f = host::familyForVersion(os);
  return f == host::Family::V14 ? F14 : f == host::Family::V13 ? F13 : F12;
}

struct Declared {
  const char* cls;
  const char* selector;  // a leading '+' marks a class method
  unsigned families;
};

// From public class dumps of iOS 12.2, 13.2-13.4 and 14.0-14.6, where they differ.
const Declared kMethods[] = {
    {"SBIconView", "isCrossfadingImageWithView", F13 | F14},
    {"SBIconView", "applicationBundleIdentifierForShortcuts", F13 | F14},
    {"SBIconView", "applicationShortcutItems", F13 | F14},
    {"SBIconView", "setApplicationShortcutItems:", F13 | F14},
    {"SBIconView", "isFolderIcon", F13 | F14},
    {"SBIconView", "setLocation:", FAll},
    {"SBAppLayout", "rolesToLayoutItemsMap", F12 | F13},
    {"SBDisplayItem", "displayIdentifier", F12},
    {"SBDisplayItem", "bundleIdentifier", F13 | F14},
    {"SBApplication", "isNowPlayingApplication", F12},
    {"SBMainSwitcherViewController", "appLayouts", F12},
    {"SBMainSwitcherViewController", "_quitAppsRepresentedByAppLayout:forReason:", F12},
    {"SBMainSwitcherViewController", "+sharedInstanceIfExists", FAll},
    {"SBApplicationController",
     "requestUninstallApplicationWithBundleIdentifier:withCompletion:", F12 | F13},
    {"SBApplicationController",
     "requestUninstallApplicationWithBundleIdentifier:options:withCompletion:", F14},
    {"_UIContextMenuActionView", "initWithTitle:subtitle:image:", F13},
    {"_UIContextMenuActionView", "imageView", F13},
    {"_UIContextMenuActionView", "setTrailingImage:", F14},
    {"_UIContextMenuActionView", "trailingImageView", F14},
    {"SBSApplicationShortcutItem", "setTargetContentIdentifier:", F13 | F14},
    {"UIUserInterfaceStyleArbiter", "+sharedInstance", F13 | F14},
    {"SBWidgetIcon", "initWithWidget:", F14},
    {"_UIElasticContextMenuBackgroundView", "setVisualEffectView:", F14},
};

// Classes whose layoutSubviews the library hooks but which only inherit it.
const Declared kInheritedLayouts[] = {
    {"SBUIActionKeylineView", "layoutSubviews", F12},
    {"_UIInterfaceActionBlankSeparatorView", "layoutSubviews", F13},
    {"_UIInterfaceActionVibrantSeparatorView", "layoutSubviews", F13},
    {"_UICutoutShadowView", "layoutSubviews", F13 | F14},
};

bool answers(const Declared& d) {
  Class cls = objc_getClass(d.cls);
  if (!cls) return false;
  const char* sel = d.selector;
  if (*sel == '+') {
    cls = object_getClass(asId(cls));
    sel++;
  }
  return class_respondsToSelector(cls, sel_registerName(sel));
}

class HostClasses : public Scenario, public ::testing::WithParamInterface<const char*> {
 protected:
  std::string os() const { return GetParam(); }
  bool is12() const { return familyBit(os()) == F12; }
  id iconView(const std::string& app) { return home().app(app)->iconView; }
};

TEST_P(HostClasses, DeclareWhatTheirVersionDeclares) {
  device(os());
  app("com.example.mail");
  bootWithoutLibrary();
  unsigned family = familyBit(os());
  for (const Declared& d : kMethods) {
    EXPECT_EQ(answers(d), (d.families & family) != 0) << d.cls << " " << d.selector;
  }
  for (const Declared& d : kInheritedLayouts) {
    Class cls = objc_getClass(d.cls);
    if (!(d.families & family)) continue;
    ASSERT_NE(cls, nullptr) << d.cls;
    EXPECT_TRUE(class_respondsToSelector(cls, sel_registerName(d.selector))) << d.cls;
    EXPECT_EQ(cls->methods.count(sel_registerName(d.selector)), 0u) << d.cls << " declares it";
  }
  // SBIconLocation: a long long before 13, a string from 13 on.
  const objc_method_entry* setLocation =
      runtime::findMethod(objc_getClass("SBIconView"), sel_registerName("setLocation:"));
  ASSERT_NE(setLocation, nullptr);
  EXPECT_EQ(setLocation->types, is12() ? "v@:q" : "v@:@");
  // Version 14 reads the layout's role map through this variable; every family has it.
  EXPECT_NE(class_getInstanceVariable(objc_getClass("SBAppLayout"), "_rolesToLayoutItemsMap"),
            nullptr);
  EXPECT_NE(class_getInstanceVariable(objc_getClass("SBIconView"), "_accessoryView"), nullptr);
}

TEST_P(HostClasses, ASelectorTheFamilyLacksAbortsAsOnAPhone) {
  device(os());
  app("com.example.mail");
  bootWithoutLibrary();
  id app = home().app("com.example.mail")->appObject;
  id view = iconView("com.example.mail");
  if (is12()) {
    EXPECT_DEATH(msgSend<BOOL>(view, sel_registerName("isCrossfadingImageWithView")),
                 "-\\[SBIconView isCrossfadingImageWithView\\]: unrecognized selector");
    EXPECT_FALSE(msgSend<BOOL>(app, sel_registerName("isNowPlayingApplication")));
  } else {
    EXPECT_FALSE(msgSend<BOOL>(view, sel_registerName("isCrossfadingImageWithView")));
    EXPECT_DEATH(msgSend<BOOL>(app, sel_registerName("isNowPlayingApplication")),
                 "-\\[SBApplication isNowPlayingApplication\\]: unrecognized selector");
  }
  AutoreleasePool pool;
  id layout = host::makeAppLayout("com.example.mail");
  if (familyBit(os()) == F14) {
    EXPECT_DEATH(msgSend<id>(layout, sel_registerName("rolesToLayoutItemsMap")),
                 "-\\[SBAppLayout rolesToLayoutItemsMap\\]: unrecognized selector");
  } else {
    EXPECT_NE(msgSend<id>(layout, sel_registerName("rolesToLayoutItemsMap")), nil);
  }
}

// Every feature of the library, driven as a user would on this family. A send of the library
// that the family's host lacks would abort the process.
TEST_P(HostClasses, EverythingTheLibrarySendsExistsInTheFamily) {
  writeSettings({{"lockedApps", list({"com.example.bank"})},
                 {"hideBadges", host::makeBool(true)},
                 {"hideThickLines", host::makeBool(true)},
                 {"uninstall", host::makeBool(true)},
                 {"useStaticColor", host::makeBool(true)},
                 {"adaptiveWallColor", host::makeBool(true)}});
  writeColors({{"staticColor", host::makeString("#336699")}});
  device(os());
  AppSetup mail;
  mail.bundleID = "com.example.mail";
  mail.name = "Mail";
  mail.badge = 3;
  mail.shortcuts = {"New Message"};
  home().addApp(mail);
  app("com.example.maps", 1);
  app("com.example.bank");
  app("com.example.notes");
  home().addFolder("Games");
  home().addWidget("com.example.weather.widget");
  boot();
  home().bringToFront("com.example.maps");
  home().bringToFront("com.example.mail");

  // Every item of the library's menu, on the app it acts on.
  home().press("com.example.mail");
  std::vector<std::string> titles = menuTitles();
  EXPECT_EQ(std::count(titles.begin(), titles.end(), "Uninstall App"), is12() ? 1 : 0);
  for (const char* title : {"Clear Badge", "Clear Caches", "Notifications", "Banners"}) {
    home().press("com.example.mail");
    home().pick(title);
  }
  home().press("com.example.mail");
  home().pick("Bundle Identifier");
  home().tapAlert("Copy Bundle ID");
  home().press("com.example.notes");
  home().pick("Offload App");
  home().press("com.example.mail");
  home().pick("App Lock");  // locks; on 12 the mail layout is quit
  home().press("com.example.mail");
  home().pick("App Lock");
  home().answerAuth(AuthAnswer::Success);
  if (is12()) {
    home().press("com.example.notes");
    home().pick("Uninstall App");
    home().tapAlert("Uninstall App");
  }
  home().press("Games");
  home().press("com.example.weather.widget");
  home().setStyle(2);
  home().press("com.example.maps");
  home().pick("Clear Badge");

  // App Lock around the switcher, search and the icons.
  home().bringToFront("com.example.bank");
  home().answerAuth(AuthAnswer::Success);
  home().openSwitcher();
  home().searchOpen("com.example.bank");
  home().searchOpenActivity("com.example.bank");
  home().layoutIcons();
  for (const char* name : {"clearBadges", "killApp", "dimIcon", "checkBadge", "removeFilter"}) {
    home().post(std::string("com.vantrelo88.quorvel/") + name);
  }
  home().setWallpaperColor("#aa2200");
  home().reloadColors();
  home().reloadPrefs();

  Json d = dump();
  EXPECT_TRUE(d["apps"]["com.example.mail"]["badge"].isNull());
  EXPECT_TRUE(d["apps"]["com.example.maps"]["badge"].isNull());
  EXPECT_TRUE(d["apps"]["com.example.notes"]["offloaded"].asBool());
  EXPECT_EQ(d["apps"]["com.example.notes"]["uninstalled"].asBool(), is12());
  EXPECT_EQ(d["pasteboard"].asString(), "com.example.mail");
  EXPECT_EQ(d["apps"]["com.example.mail"]["notifications"]["allowsNotifications"].asBool(), false);
  EXPECT_EQ(d["frontmost"].asString(), "com.example.bank");
  // The bank's card is blurred where the family blurs cards: through the layout's instance
  // variable on 14, its accessor and displayIdentifier on 12.
  for (const Json& card : d["switcher"]["cards"].items()) {
    bool blurred = card["filters"].size() == 1;
    EXPECT_EQ(blurred, card["app"].asString() == "com.example.bank" && familyBit(os()) != F13)
        << card["app"].asString();
  }
  // Locking Mail quit its layout on 12 only, and so did the killApp post for Maps (the app of
  // the last menu); on a later family that post quits nothing.
  std::vector<std::string> quit;
  for (const Json& q : d["switcher"]["quit"].items()) quit.push_back(q.asString());
  std::vector<std::string> expectedQuit;
  if (is12()) expectedQuit = {"com.example.mail:1", "com.example.maps:1"};
  EXPECT_EQ(quit, expectedQuit);
}

TEST_P(HostClasses, AHookOnAMethodTheFamilyLacksInstallsNothingAndTheRestWorks) {
  writeSettings({{"lockedApps", list({"com.example.mail"})}, {"hideBadges", host::makeBool(true)}});
  device(os());
  app("com.example.mail", 2);
  boot();
  std::vector<std::string> installed = runtime::installedHooks();
  bool crossfadeHooked = std::count(installed.begin(), installed.end(),
                                    "-[SBIconView isCrossfadingImageWithView] replaced") == 1;
  EXPECT_EQ(crossfadeHooked, !is12());
  Json missed = dump()["hooksNotInstalled"];
  if (is12()) {
    ASSERT_EQ(missed.size(), 1u);
    EXPECT_EQ(missed[0].asString(), "-[SBIconView isCrossfadingImageWithView] not found");
  } else {
    EXPECT_EQ(missed.size(), 0u);
  }
  // The other icon hooks do their work: the locked app is dimmed and its badge hidden.
  id view = iconView("com.example.mail");
  msgSend<void>(view, sel_registerName("setIconImageAlpha:"), 1.0);
  msgSend<void>(qv::fields<host::SBIconViewObj>(view)->accessoryView.get(),
                sel_registerName("setHidden:"), NO);
  home().layoutIcons();
  Json icon = dump()["icons"][0];
  EXPECT_EQ(icon["imageAlpha"].asNumber(), 0.6);
  EXPECT_EQ(icon["badge"].asString(), "hidden");
}

TEST_P(HostClasses, SetLocationReachesTheHostWithTheFamilysArgumentType) {
  device(os());
  app("com.example.mail");
  boot();
  id view = iconView("com.example.mail");
  auto* fields = qv::fields<host::SBIconViewObj>(view);
  EXPECT_EQ(fields->placements, 1);
  if (is12()) {
    msgSend<void>(view, sel_registerName("setLocation:"), 7LL);
    EXPECT_EQ(msgSend<long long>(view, sel_registerName("location")), 7);
  } else {
    EXPECT_EQ(host::stdString(msgSend<id>(view, sel_registerName("location"))),
              "SBIconLocationRoot");
    id dock = host::makeString("SBIconLocationDock");
    msgSend<void>(view, sel_registerName("setLocation:"), dock);
    EXPECT_EQ(msgSend<id>(view, sel_registerName("location")), dock);
  }
  EXPECT_EQ(fields->placements, 2);
  // The hook ran before the host: the icon view hears dimIcon from its placement on.
  home().press("com.example.mail");
  home().pick("App Lock");
  EXPECT_EQ(dump()["icons"][0]["imageAlpha"].asNumber(), 0.6);
}

INSTANTIATE_TEST_SUITE_P(Families, HostClasses, ::testing::Values("14.2", "13.5", "12.4"),
                         versionTestName);

}  // namespace
}  // namespace qv::testing
