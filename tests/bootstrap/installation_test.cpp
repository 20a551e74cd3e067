// Hook installation by OS family: exactly the family-all hooks plus the chosen family's, in
// table order, each method replaced once.
#include <algorithm>

#include "runtime/objc_internal.h"
#include "support/scenario.h"

namespace qv::testing {
namespace {

const std::vector<std::string> kFamilyAll = {
    "-[SpringBoard applicationDidFinishLaunching:] replaced",
    "-[SBFStaticWallpaperView _computeAverageColor] replaced",
    "-[SBAppSwitcherPageView initWithFrame:] replaced",
    "-[SBAppSwitcherPageView setOverlay:animated:] replaced",
    "-[SBAppSwitcherPageView retryAuth] added",
    "-[SBAppSwitcherPageView removeFilter] added",
    "-[SBIconView layoutSubviews] replaced",
    "-[SBIconView isCrossfadingImageWithView] replaced",
    "-[SBIconView setLocation:] replaced",
    "-[SBIconView checkBadge] added",
    "-[SBIconView dimIcon] added",
    "+[SearchUIUtilities openApplicationWithBundleIdentifier:] replaced",
    "+[SearchUIUtilities openUserActivity:applicationBundleIdentifier:] replaced",
    "-[SBApplication initWithApplicationInfo:] replaced",
    "-[SBApplication clearBadges] added",
    "-[SBApplication killApp] added",
};

const std::vector<std::string> kFamily14 = {
    "-[_UIElasticContextMenuBackgroundView setVisualEffectView:] replaced",
    "-[_UICutoutShadowView layoutSubviews] replaced",
    "-[SBHIconViewContextMenuWrapperViewController viewWillAppear:] replaced",
    "-[SBHIconViewContextMenuWrapperViewController averageColorOfImage:] added",
    "-[_UIContextMenuActionsListView setDisplayedMenu:withAnimationStyle:alongsideAnimations:] "
    "replaced",
    "-[_UIContextMenuActionsListView averageColorOfImage:] added",
    "-[SBIconView applicationBundleIdentifierForShortcuts] replaced",
    "-[SBIconView setLabelHidden:] replaced",
    "-[SBIconView applicationShortcutItems] replaced",
    "-[SBIconView setApplicationShortcutItems:] replaced",
    "-[SBHIconManager iconView:shouldActivateApplicationShortcutItem:atIndex:] replaced",
    "-[_UIContextMenuActionView setTrailingImage:] replaced",
    "-[SBAppSwitcherReusableSnapshotView layoutSubviews] replaced",
};

const std::vector<std::string> kFamily13 = {
    "-[UIInterfaceActionRepresentationView action] replaced",
    "-[_UIInterfaceActionBlankSeparatorView layoutSubviews] replaced",
    "-[_UIInterfaceActionVibrantSeparatorView layoutSubviews] replaced",
    "-[_UICutoutShadowView layoutSubviews] replaced",
    "-[SBHIconViewContextMenuWrapperViewController viewWillAppear:] replaced",
    "-[SBHIconViewContextMenuWrapperViewController averageColorOfImage:] added",
    "-[UIInterfaceActionGroupView layoutSubviews] replaced",
    "-[UIInterfaceActionGroupView averageColorOfImage:] added",
    "-[SBIconView applicationBundleIdentifierForShortcuts] replaced",
    "-[SBIconView applicationShortcutItems] replaced",
    "-[SBIconView setApplicationShortcutItems:] replaced",
    "-[SBHIconManager iconView:shouldActivateApplicationShortcutItem:atIndex:] replaced",
    "-[_UIContextMenuActionView initWithTitle:subtitle:image:] replaced",
    "-[SBAppSwitcherReusableSnapshotView layoutSubviews] replaced",
};

const std::vector<std::string> kFamily12 = {
    "-[SBUIActionKeylineView layoutSubviews] replaced",
    "-[SBUIIconForceTouchVisualEffectView setEffectStrength:] replaced",
    "-[SBUIAppIconForceTouchControllerDataProvider applicationShortcutItems] replaced",
    "-[SBUIAppIconForceTouchController _widgetViewControllerForDataProvider:] replaced",
    "-[SBUIAppIconForceTouchController "
    "appIconForceTouchShortcutViewController:activateApplicationShortcutItem:] replaced",
    "-[SBUIAction initWithTitle:subtitle:image:badgeView:handler:] replaced",
    "-[SBUIActionPlatterViewController setImagePosition:] replaced",
    "-[SBUIActionPlatterViewController averageColorOfImage:] added",
    "-[SBUIActionView action] replaced",
    "-[SBAppSwitcherReusableSnapshotView layoutSubviews] replaced",
};

// The version-12 host's icon view has no isCrossfadingImageWithView: that hook installs nothing
// there.
const char* const kCrossfadeHook = "-[SBIconView isCrossfadingImageWithView] replaced";

std::vector<std::string> expected(const std::vector<std::string>& family) {
  std::vector<std::string> all = kFamilyAll;
  if (&family == &kFamily12) std::erase(all, kCrossfadeHook);
  all.insert(all.end(), family.begin(), family.end());
  return all;
}

struct FamilyCase {
  const char* version;
  const char* family;
  const std::vector<std::string>* hooks;
};

void PrintTo(const FamilyCase& c, std::ostream* os) { *os << '"' << c.version << '"'; }

using FamilyChoice = Scenario;

class Installation : public Scenario, public ::testing::WithParamInterface<FamilyCase> {};

TEST_P(Installation, InstallsFamilyAllThenTheChosenFamilyInTableOrder) {
  device(GetParam().version);
  app("com.example.mail");
  boot();
  EXPECT_EQ(runtime::installedHooks(), expected(*GetParam().hooks));
  EXPECT_EQ(dump()["family"].asString(), GetParam().family);
  std::vector<std::string> missed;
  for (const Json& h : dump()["hooksNotInstalled"].items()) missed.push_back(h.asString());
  if (GetParam().hooks == &kFamily12) {
    EXPECT_EQ(missed,
              std::vector<std::string>{"-[SBIconView isCrossfadingImageWithView] not found"});
  } else {
    EXPECT_TRUE(missed.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Versions, Installation,
    ::testing::Values(FamilyCase{"14.2", "14", &kFamily14}, FamilyCase{"14.0", "14", &kFamily14},
                      FamilyCase{"14.0.1", "14", &kFamily14}, FamilyCase{"15.1", "14", &kFamily14},
                      FamilyCase{"13.5", "13", &kFamily13}, FamilyCase{"13.0", "13", &kFamily13},
                      FamilyCase{"13.1.3", "13", &kFamily13}, FamilyCase{"12.4", "12", &kFamily12},
                      FamilyCase{"abc", "12", &kFamily12}, FamilyCase{"", "12", &kFamily12}),
    [](const ::testing::TestParamInfo<FamilyCase>& info) {
      std::string name = std::string("v") + info.param.version;
      std::replace_if(
          name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
      return name;
    });

TEST_F(FamilyChoice, MethodHookedInTwoFamiliesIsReplacedOnceByTheInstalledFamily) {
  device("13.5");
  boot();
  std::vector<std::string> hooks = runtime::installedHooks();
  EXPECT_EQ(
      std::count(hooks.begin(), hooks.end(), "-[_UICutoutShadowView layoutSubviews] replaced"), 1);
  EXPECT_EQ(std::count(hooks.begin(), hooks.end(),
                       "-[SBAppSwitcherReusableSnapshotView layoutSubviews] replaced"),
            1);
}

TEST_F(FamilyChoice, LaunchHookReadsDefaultsBeforeTheHostsLaunchCodeRuns) {
  device("14.2");
  boot();
  // The settings property list is created by the library before the host's own launch code.
  Json events = dump()["hostEvents"];
  ASSERT_GE(events.size(), 1u);
  EXPECT_EQ(events[0].asString(), "launched (settings file present)");
}

TEST_F(FamilyChoice, HostWithoutTheLibraryLaunchesAndOffersOnlyItsOwnItems) {
  device("14.2");
  app("com.example.mail");
  bootWithoutLibrary();
  EXPECT_TRUE(runtime::installedHooks().empty());
  EXPECT_EQ(dump()["hostEvents"][0].asString(), "launched (no settings file)");
  home().press("com.example.mail");
  EXPECT_EQ(menuTitles(),
            (std::vector<std::string>{"Edit Home Screen", "Remove App", "Share App"}));
}

}  // namespace
}  // namespace qv::testing
