// What the library does on a device that lacks something it relies on: a class of a hooked
// method, a framework's class that nobody loaded, another party's colour picker. Nothing
// crashes, what cannot work says why, and App Lock never locks what it could not unlock.
#include <algorithm>
#include <map>

#include "runtime/system_images.h"
#include "support/scenario.h"
#include "uikit/auth_service.h"

namespace qv::testing {
namespace {

class Unavailable : public Scenario {
 protected:
  void bootWith(host::HostQuirks quirks, const char* os = "14.2") {
    device(os);
    home().setQuirks(quirks);
    app("com.example.mail");
    app("com.example.maps");
    boot();
  }
  // What the dump says goes without each missing class.
  std::map<std::string, std::string> missingClasses() {
    std::map<std::string, std::string> out;
    for (const Json& c : dump()["missingClasses"].items())
      out[c["class"].asString()] = c["unavailable"].asString();
    return out;
  }
  bool imageLoaded(const char* image) {
    for (const Json& i : dump()["systemImages"].items()) {
      if (i.asString() == image) return true;
    }
    return false;
  }
  bool logSays(const std::string& text) {
    for (const Json& line : dump()["log"].items()) {
      if (line.asString().find(text) != std::string::npos) return true;
    }
    return false;
  }
  std::vector<std::string> lockedApps() {
    std::vector<std::string> out;
    for (const Json& a : dump()["defaults"]["lockedApps"].items()) out.push_back(a.asString());
    return out;
  }
};

class MissingHostClass : public Unavailable, public ::testing::WithParamInterface<const char*> {};

// The OS lacks a class of each kind of hook (an instance method of the family's table, class
// methods of the common one): those hooks are skipped and said so, the rest install and work.
TEST_P(MissingHostClass, ItsHooksAreSkippedAndRecordedAndTheRestWork) {
  host::HostQuirks quirks;
  quirks.missingClasses = {"SBAppSwitcherReusableSnapshotView", "SearchUIUtilities"};
  writeSettings({{"lockedApps", list({"com.example.mail"})}});
  bootWith(quirks, GetParam());
  std::vector<std::string> missed;
  for (const Json& h : dump()["hooksNotInstalled"].items()) missed.push_back(h.asString());
  for (const char* hook :
       {"+[SearchUIUtilities openApplicationWithBundleIdentifier:] skipped: no class "
        "SearchUIUtilities",
        "+[SearchUIUtilities openUserActivity:applicationBundleIdentifier:] skipped: no class "
        "SearchUIUtilities",
        "-[SBAppSwitcherReusableSnapshotView layoutSubviews] skipped: no class "
        "SBAppSwitcherReusableSnapshotView"}) {
    EXPECT_EQ(std::count(missed.begin(), missed.end(), hook), 1) << hook;
  }
  EXPECT_TRUE(logSays("Quorvel: -[SBAppSwitcherReusableSnapshotView layoutSubviews] not hooked"));
  for (const std::string& h : runtime::installedHooks()) {
    EXPECT_EQ(h.find("SearchUIUtilities"), std::string::npos) << h;
    EXPECT_EQ(h.find("SBAppSwitcherReusableSnapshotView"), std::string::npos) << h;
  }
  // A hook of another class still does its work: the locked app's page blurs and prompts.
  home().bringToFront("com.example.mail");
  EXPECT_EQ(dump()["pendingPrompts"].size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Families, MissingHostClass,
                         ::testing::Values("16.5", "15.1", "14.2", "13.5", "12.4"),
                         versionTestName);

// The home screen loads neither authentication nor install coordination itself: the library
// links them, so loading it loads them, and their classes exist.
TEST_F(Unavailable, TheFrameworksTheLibraryLinksAreLoadedWithIt) {
  host::HostQuirks quirks;
  quirks.homeScreenImages = {};
  bootWith(quirks);
  for (const char* image : {runtime::kLocalAuthentication, runtime::kMobileCoreServices,
                            runtime::kInstallCoordination, runtime::kQuartzCore}) {
    EXPECT_TRUE(imageLoaded(image)) << image;
  }
  EXPECT_TRUE(missingClasses().empty());
  home().press("com.example.mail");
  home().pick("Offload App");
  EXPECT_TRUE(dump()["apps"]["com.example.mail"]["offloaded"].asBool());
}

// Without the library, nothing loads them: the classes of a framework nobody loaded are absent.
TEST_F(Unavailable, AFrameworkNobodyLoadedHasNoClasses) {
  device("14.2");
  bootWithoutLibrary();
  EXPECT_FALSE(imageLoaded(runtime::kLocalAuthentication));
  EXPECT_EQ(objc_getClass("LAContext"), nullptr);
  EXPECT_EQ(objc_getClass("IXAppInstallCoordinator"), nullptr);
  EXPECT_NE(objc_getClass("LSApplicationProxy"), nullptr);  // the home screen's own
}

// A device whose authentication framework lacks its context class (the framework itself is
// linked strongly: a device without it refuses the library): a locked app stays blurred with no
// prompt, cannot be unlocked, and no other app can be locked.
TEST_F(Unavailable, WithoutTheAuthenticationContextAppLockFailsClosed) {
  host::HostQuirks quirks;
  quirks.missingClasses = {"LAContext"};
  writeSettings({{"lockedApps", list({"com.example.mail"})}});
  bootWith(quirks);
  home().bringToFront("com.example.mail");
  Json d = dump();
  EXPECT_EQ(d["switcher"]["pages"][0]["filters"][0]["name"].asString(), "gaussianBlur");
  EXPECT_EQ(d["pendingPrompts"].size(), 0u);
  EXPECT_FALSE(d["authInProgress"].asBool());
  home().press("com.example.mail");
  home().pick("App Lock");
  home().press("com.example.maps");
  home().pick("App Lock");
  EXPECT_EQ(lockedApps(), std::vector<std::string>{"com.example.mail"});
  EXPECT_EQ(dump()["pendingPrompts"].size(), 0u);
  EXPECT_EQ(missingClasses()["LAContext"], "App Lock's unlock prompt");
  EXPECT_TRUE(logSays("Quorvel: no class LAContext is loaded"));
}

// A device without install coordination (a weak link): Offload App does nothing, and says why.
TEST_F(Unavailable, WithoutInstallCoordinationOffloadDoesNothing) {
  host::HostQuirks quirks;
  quirks.missingImages = {runtime::kInstallCoordination};
  bootWith(quirks);
  home().press("com.example.mail");
  home().pick("Offload App");
  EXPECT_FALSE(dump()["apps"]["com.example.mail"]["offloaded"].asBool());
  EXPECT_EQ(missingClasses()["IXAppInstallCoordinator"], "Offload App");
}

// Without the colour picker the static colour takes the picker's fallback, white, and the dump
// says which class was missing; without a stored colour it is black, and nothing is missing.
TEST_F(Unavailable, WithoutTheColourPickerTheStaticColourIsWhite) {
  host::HostQuirks quirks;
  quirks.missingImages = {runtime::kColourPicker};
  bootWith(quirks);
  EXPECT_EQ(dump()["staticColor"]["red"].asNumber(), 0);
  EXPECT_TRUE(missingClasses().empty());
  writeColors({{"staticColor", host::makeString("#ff0000")}});
  home().reloadColors();
  Json color = dump()["staticColor"];
  for (const char* part : {"red", "green", "blue", "alpha"})
    EXPECT_EQ(color[part].asNumber(), 1) << part;
  EXPECT_EQ(missingClasses()["SparkColourPickerUtils"], "the static colour");
  EXPECT_FALSE(imageLoaded(runtime::kColourPicker));
}

}  // namespace
}  // namespace qv::testing
