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
                      FamilyCase{"14.0.1", "14", &kFamily14}, FamilyCase{"13.5", "13", &kFamily13},
                      FamilyCase{"13.0", "13", &kFamily13}, FamilyCase{"13.1.3", "13", &kFamily13},
                      FamilyCase{"12.4", "12", &kFamily12}, FamilyCase{"abc", "12", &kFamily12},
                      FamilyCase{"", "12", &kFamily12}),
    [](const ::testing::TestParamInfo<FamilyCase>& info) {
      std::string name = std::string("v") + info.param.version;
      std::replace_if(
          name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
      return name;
    });

const std::vector<std::string> kFamily15 = {
    "-[SBAppSwitcherPageView setOverlay:] replaced",
    "+[SearchUIUtilities openApplicationWithBundleIdentifier:completion:] replaced",
    "+[SearchUIUtilities openUserActivity:applicationBundleIdentifier:completion:] replaced",
    "-[_UIContextMenuListView setDisplayedMenu:] replaced",
    "-[_UIContextMenuListView averageColorOfImage:] added",
    "-[_UIContextMenuCellContentView setTrailingImage:] replaced",
};

// Hooks of what a version removed are left out and said so; the version-15 table follows the
// version-14 one, and 16 adds PaperBoardUI's wallpaper view.
struct LaterCase {
  const char* version;
  std::vector<std::string> gone;     // hooks of the tables that this version cannot take
  std::vector<std::string> reasons;  // hooksNotInstalled, in order
};

class LaterInstallation : public Scenario, public ::testing::WithParamInterface<LaterCase> {};

TEST_P(LaterInstallation, KeepsTheVersion14TableAndAddsWhatReplacedTheRemovedMembers) {
  const LaterCase& c = GetParam();
  device(c.version);
  app("com.example.mail");
  boot();
  std::vector<std::string> want = expected(kFamily14);
  want.insert(want.end(), kFamily15.begin(), kFamily15.end());
  if (c.version[1] == '6')
    want.push_back("-[PBUIStaticWallpaperView _computeAverageColor] replaced");
  for (const std::string& hook : c.gone) std::erase(want, hook);
  EXPECT_EQ(runtime::installedHooks(), want);
  Json d = dump();
  EXPECT_EQ(d["family"].asString(), "14");
  EXPECT_EQ(d["hostClasses"].asString(), std::string(c.version).substr(0, 2));
  std::vector<std::string> missed;
  for (const Json& h : d["hooksNotInstalled"].items()) missed.push_back(h.asString());
  EXPECT_EQ(missed, c.reasons);
}

// Version 14's menu classes, gone from 15 on: their hooks, and what hooksNotInstalled says.
const std::vector<std::string> kMenuHooksGone = {
    "-[_UIElasticContextMenuBackgroundView setVisualEffectView:] replaced",
    "-[_UIContextMenuActionsListView setDisplayedMenu:withAnimationStyle:alongsideAnimations:] "
    "replaced",
    "-[_UIContextMenuActionsListView averageColorOfImage:] added",
    "-[_UIContextMenuActionView setTrailingImage:] replaced"};
const std::vector<std::string> kMenuHooksSkipped = {
    "-[_UIElasticContextMenuBackgroundView setVisualEffectView:] skipped: no class "
    "_UIElasticContextMenuBackgroundView",
    "-[_UIContextMenuActionsListView setDisplayedMenu:withAnimationStyle:alongsideAnimations:] "
    "skipped: no class _UIContextMenuActionsListView",
    "-[_UIContextMenuActionsListView averageColorOfImage:] skipped: no class "
    "_UIContextMenuActionsListView",
    "-[_UIContextMenuActionView setTrailingImage:] skipped: no class _UIContextMenuActionView"};

std::vector<std::string> joined(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

const LaterCase kLater[] = {
    {"15.1", joined({{"-[SBAppSwitcherPageView setOverlay:animated:] replaced"}, kMenuHooksGone}),
     joined({{"-[SBAppSwitcherPageView setOverlay:animated:] not found"}, kMenuHooksSkipped})},
    {"16.5",
     joined({{"-[SBFStaticWallpaperView _computeAverageColor] replaced",
              "-[SBAppSwitcherPageView setOverlay:animated:] replaced",
              "+[SearchUIUtilities openApplicationWithBundleIdentifier:] replaced",
              "+[SearchUIUtilities openUserActivity:applicationBundleIdentifier:] replaced",
              "+[SearchUIUtilities openApplicationWithBundleIdentifier:completion:] replaced",
              "+[SearchUIUtilities openUserActivity:applicationBundleIdentifier:completion:] "
              "replaced"},
             kMenuHooksGone}),
     joined({{"-[SBAppSwitcherPageView setOverlay:animated:] not found",
              "+[SearchUIUtilities openApplicationWithBundleIdentifier:] not found",
              "+[SearchUIUtilities openUserActivity:applicationBundleIdentifier:] not found",
              "+[SearchUIUtilities openApplicationWithBundleIdentifier:completion:] not found",
              "+[SearchUIUtilities openUserActivity:applicationBundleIdentifier:completion:] "
              "not found",
              "-[SBFStaticWallpaperView _computeAverageColor] skipped: no class "
              "SBFStaticWallpaperView"},
             kMenuHooksSkipped})},
};

void PrintTo(const LaterCase& c, std::ostream* os) { *os << '"' << c.version << '"'; }

INSTANTIATE_TEST_SUITE_P(Versions, LaterInstallation, ::testing::ValuesIn(kLater),
                         [](const ::testing::TestParamInfo<LaterCase>& info) {
                           return std::string("v") + (info.param.version[1] == '5' ? "15" : "16");
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
