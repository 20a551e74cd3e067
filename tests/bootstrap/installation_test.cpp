// Hook installation by OS family: a version installs the common table and its family's (from
// version 15 the version-14 table with the later ones beside it), each hook once and in table
// order, and nothing of another family's table; what it cannot install it says.
#include <algorithm>

#include "runtime/objc_internal.h"
#include "springboard/library_view.h"
#include "support/scenario.h"

namespace qv::testing {
namespace {

const char* const kTables[] = {"all", "12", "13", "14", "15", "16"};

// "-[Class sel]" of an installation record ("... replaced", "... not found", "... skipped: ...").
std::string methodOf(const std::string& record) { return record.substr(0, record.find(']') + 1); }

size_t count(const std::vector<std::string>& list, const std::string& s) {
  return static_cast<size_t>(std::count(list.begin(), list.end(), s));
}

struct FamilyCase {
  const char* version;
  const char* family;
  std::vector<std::string> tables;
};

void PrintTo(const FamilyCase& c, std::ostream* os) { *os << '"' << c.version << '"'; }

using FamilyChoice = Scenario;

class Installation : public Scenario, public ::testing::WithParamInterface<FamilyCase> {};

TEST_P(Installation, InstallsItsTablesOnceEachInOrderAndNothingOfAnotherFamily) {
  const FamilyCase& c = GetParam();
  device(c.version);
  app("com.example.mail");
  boot();
  EXPECT_EQ(dump()["family"].asString(), c.family);
  std::vector<std::string> chosen;
  for (const std::string& table : c.tables) {
    std::vector<std::string> entries = host::libraryHookTable(table.c_str());
    ASSERT_FALSE(entries.empty()) << table;
    chosen.insert(chosen.end(), entries.begin(), entries.end());
  }
  std::vector<std::string> installed, missed;
  for (const std::string& h : runtime::installedHooks()) installed.push_back(methodOf(h));
  for (const Json& h : dump()["hooksNotInstalled"].items())
    missed.push_back(methodOf(h.asString()));
  // Every hook of the chosen tables is tried exactly once: installed in table order, or said
  // not to be.
  std::vector<std::string> want;
  for (const std::string& m : chosen) {
    EXPECT_EQ(count(chosen, m), 1u) << m << " is in the tables twice";
    EXPECT_EQ(count(installed, m) + count(missed, m), 1u) << m;
    if (count(missed, m) == 0) want.push_back(m);
  }
  EXPECT_EQ(installed, want);
  // Another family's hooks are not even tried.
  for (const char* table : kTables) {
    if (std::count(c.tables.begin(), c.tables.end(), table)) continue;
    for (const std::string& m : host::libraryHookTable(table)) {
      if (count(chosen, m) == 0) {
        EXPECT_EQ(count(installed, m) + count(missed, m), 0u) << m;
      }
    }
  }
  // The families' own hosts have every hooked class and method, but version 12's icon view
  // has no crossfade method; what the later versions lack is below.
  if (c.tables.size() == 2) {
    std::vector<std::string> expectMissed;
    if (std::string(c.family) == "12") expectMissed = {"-[SBIconView isCrossfadingImageWithView]"};
    EXPECT_EQ(missed, expectMissed);
  }
}

const std::vector<std::string> k14 = {"all", "14"};
INSTANTIATE_TEST_SUITE_P(
    Versions, Installation,
    ::testing::Values(FamilyCase{"14.2", "14", k14}, FamilyCase{"14.0", "14", k14},
                      FamilyCase{"14.0.1", "14", k14}, FamilyCase{"13.5", "13", {"all", "13"}},
                      FamilyCase{"13.0", "13", {"all", "13"}},
                      FamilyCase{"13.1.3", "13", {"all", "13"}},
                      FamilyCase{"12.4", "12", {"all", "12"}},
                      FamilyCase{"abc", "12", {"all", "12"}}, FamilyCase{"", "12", {"all", "12"}},
                      FamilyCase{"15.1", "14", {"all", "14", "15"}},
                      FamilyCase{"16.5", "14", {"all", "14", "15", "16"}}),
    [](const ::testing::TestParamInfo<FamilyCase>& info) {
      std::string name = std::string("v") + info.param.version;
      std::replace_if(
          name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
      return name;
    });

// What versions 15 and 16 removed: those hooks are said not installed, with the reason.
struct LaterCase {
  const char* version;
  std::vector<std::string> reasons;  // hooksNotInstalled, in order
};

class LaterInstallation : public Scenario, public ::testing::WithParamInterface<LaterCase> {};

TEST_P(LaterInstallation, SaysWhichHooksOfTheRemovedMembersItCouldNotInstall) {
  const LaterCase& c = GetParam();
  device(c.version);
  app("com.example.mail");
  boot();
  Json d = dump();
  EXPECT_EQ(d["hostClasses"].asString(), std::string(c.version).substr(0, 2));
  std::vector<std::string> missed;
  for (const Json& h : d["hooksNotInstalled"].items()) missed.push_back(h.asString());
  EXPECT_EQ(missed, c.reasons);
}

// Version 14's menu classes, gone from 15 on: what hooksNotInstalled says of their hooks.
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
    {"15.1",
     joined({{"-[SBAppSwitcherPageView setOverlay:animated:] not found"}, kMenuHooksSkipped})},
    {"16.5",
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
