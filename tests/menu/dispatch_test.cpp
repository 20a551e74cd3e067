// ctest-labels: threads
// Activation of a chosen item: the library's items run their action, host items of a locked
// app are refused, the two alerts, and the App Lock toggle.

#include "support/scenario.h"
#include "uikit/auth_service.h"

namespace qv::testing {
namespace {

using host::AuthAnswer;
using Dispatch = Scenario;

std::vector<std::string> lockedOnDisk(const Json& d) {
  std::vector<std::string> out;
  for (const Json& s : d["settingsFile"]["lockedApps"].items()) out.push_back(s.asString());
  return out;
}

std::vector<std::string> lockedInMemory(const Json& d) {
  std::vector<std::string> out;
  for (const Json& s : d["defaults"]["lockedApps"].items()) out.push_back(s.asString());
  return out;
}

// Asks the icon manager directly, as the host does, and returns its answer.
BOOL askManager(HomeScreen& home, const std::string& type, const std::string& title) {
  AutoreleasePool pool;
  id manager = msgSend<id>(objc_getClass("SBHIconManager"), sel_registerName("new"));
  id item = host::makeShortcutItem(type, title);
  BOOL result = msgSend<BOOL>(
      manager, sel_registerName("iconView:shouldActivateApplicationShortcutItem:atIndex:"),
      home.app("com.example.mail")->iconView.get(), item, static_cast<NSUInteger>(0));
  objc_release(manager);
  return result;
}

class DispatchBooted : public Scenario {
 protected:
  void bootWith(const char* os) {
    device(os);
    AppSetup mail;
    mail.bundleID = "com.example.mail";
    mail.name = "Mail";
    mail.badge = 4;
    mail.shortcuts = {"New Message"};
    home().addApp(mail);
    app("com.example.maps", 2);
    boot();
  }
};

TEST_F(DispatchBooted, HostItemsOfAnUnlockedAppRunAsTheHostDecides) {
  writeSettings({{"hideShare", host::makeBool(false)}});
  bootWith("14.2");
  home().press("com.example.mail");
  home().pick("Share App");
  home().press("com.example.mail");
  home().pick("New Message");
  Json events = dump()["hostEvents"];
  EXPECT_EQ(events[1].asString(), "share com.example.mail");
  EXPECT_EQ(events[2].asString(), "shortcut com.example.mail \"New Message\"");
  EXPECT_EQ(dump()["frontmost"].asString(), "com.example.mail");
}

TEST_F(DispatchBooted, HostItemsOfALockedAppAreRefusedWithoutAskingTheHost) {
  writeSettings({{"lockedApps", list({"com.example.mail"})}, {"hideShare", host::makeBool(false)}});
  bootWith("14.2");
  home().press("com.example.mail");
  home().pick("New Message");
  home().press("com.example.mail");
  home().pick("Share App");
  home().press("com.example.mail");
  EXPECT_FALSE(askManager(home(), "com.apple.springboardhome.application-shortcut-item.remove-app",
                          "Remove App"));
  Json d = dump();
  EXPECT_EQ(d["hostEvents"].size(), 1u);  // only the launch
  EXPECT_TRUE(d["frontmost"].isNull());
  // Another app's host items still run.
  home().press("com.example.maps");
  EXPECT_TRUE(askManager(home(), "com.example.maps.shortcut", "Anything"));
}

TEST_F(DispatchBooted, Version12RefusesHostItemsOfALockedAppAndKeepsTheMenuOpen) {
  // The Share row is shown, so that it can be tapped.
  writeSettings({{"lockedApps", list({"com.example.mail"})}, {"hideShare", host::makeBool(false)}});
  bootWith("12.4");
  home().press("com.example.mail");
  home().pick("New Message");
  Json d = dump();
  EXPECT_EQ(d["hostEvents"].size(), 1u);
  EXPECT_FALSE(d["menu"].isNull());
  home().press("com.example.maps");
  home().pick("Share \u201cmaps\u201d");
  EXPECT_EQ(dump()["hostEvents"][1].asString(), "share com.example.maps");
  EXPECT_TRUE(dump()["menu"].isNull());
}

TEST_F(DispatchBooted, UnknownLibraryTitlesDoNothingAndAnswerNo) {
  bootWith("14.2");
  home().press("com.example.mail");
  PostRecorder posts;
  EXPECT_FALSE(askManager(home(), "QVUItem", "Nonsense"));
  EXPECT_FALSE(askManager(home(), "QVUItem", "Uninstall App"));
  Json d = dump();
  EXPECT_TRUE(d["alert"].isNull());
  EXPECT_FALSE(d["apps"]["com.example.mail"]["uninstalled"].asBool());
  EXPECT_TRUE(posts.names().empty());
}

TEST_F(DispatchBooted, ClearBadgePostsAndOnlyThatAppLosesItsBadge) {
  bootWith("13.5");
  PostRecorder posts;
  home().press("com.example.mail");
  home().pick("Clear Badge");
  Json d = dump();
  EXPECT_EQ(posts.names(), (std::vector<std::string>{"clearBadges"}));
  EXPECT_TRUE(d["apps"]["com.example.mail"]["badge"].isNull());
  EXPECT_EQ(d["apps"]["com.example.maps"]["badge"].asNumber(), 2);
  EXPECT_TRUE(d["menu"].isNull());
}

TEST_F(DispatchBooted, BundleIdentifierAlertIsPresentedOnTopOfThePresentationChain) {
  bootWith("14.2");
  // Something is already presented over the home screen.
  id sheet = msgSend<id>(objc_getClass("UIViewController"), sel_registerName("new"));
  msgSend<void>(home().rootController(),
                sel_registerName("presentViewController:animated:completion:"), sheet, YES,
                static_cast<id>(nil));
  home().press("com.example.mail");
  home().pick("Bundle Identifier");
  Json alert = dump()["alert"];
  EXPECT_EQ(alert["title"].asString(), "Quorvel");
  EXPECT_EQ(alert["message"].asString(), "com.example.mail");
  EXPECT_EQ(alert["style"].asNumber(), 1);
  ASSERT_EQ(alert["buttons"].size(), 2u);
  EXPECT_EQ(alert["buttons"][0]["title"].asString(), "Nevermind");
  EXPECT_EQ(alert["buttons"][0]["style"].asString(), "cancel");
  EXPECT_EQ(alert["buttons"][1]["title"].asString(), "Copy Bundle ID");
  EXPECT_EQ(alert["buttons"][1]["style"].asString(), "destructive");
  id presented = msgSend<id>(sheet, sel_registerName("presentedViewController"));
  EXPECT_TRUE(host::isKind(presented, objc_getClass("UIAlertController")));
  objc_release(sheet);
}

TEST_F(DispatchBooted, NevermindChangesNothingAndCopyCopiesTheIdentifierTheAlertShows) {
  bootWith("14.2");
  home().press("com.example.mail");
  home().pick("Bundle Identifier");
  home().tapAlert("Nevermind");
  Json d = dump();
  EXPECT_TRUE(d["alert"].isNull());
  EXPECT_TRUE(d["pasteboard"].isNull());

  home().press("com.example.mail");
  home().pick("Bundle Identifier");
  // Another menu is prepared while the alert is up.
  home().press("com.example.maps");
  home().tapAlert("Copy Bundle ID");
  EXPECT_EQ(dump()["pasteboard"].asString(), "com.example.mail");
}

TEST_F(DispatchBooted, WithoutAKeyWindowNoAlertIsShown) {
  bootWith("12.4");
  qv::fields<host::UIApplicationObj>(host::sharedApplication())->keyWindow.reset();
  home().press("com.example.mail");
  home().pick("Bundle Identifier");
  Json d = dump();
  EXPECT_TRUE(d["alert"].isNull());
  EXPECT_TRUE(d["menu"].isNull());  // the version-12 menu is still dismissed
}

TEST_F(DispatchBooted, Version12UninstallAlertUninstallsTheAppItWasBuiltFor) {
  bootWith("12.4");
  home().press("com.example.mail");
  home().pick("Uninstall App");
  Json d = dump();
  EXPECT_EQ(d["alert"]["message"].asString(), "Uninstall this app ?");
  EXPECT_EQ(d["alert"]["buttons"][1]["title"].asString(), "Uninstall App");
  EXPECT_TRUE(d["menu"].isNull());
  home().press("com.example.maps");
  home().tapAlert("Uninstall App");
  d = dump();
  EXPECT_TRUE(d["apps"]["com.example.mail"]["uninstalled"].asBool());
  EXPECT_FALSE(d["apps"]["com.example.maps"]["uninstalled"].asBool());
}

TEST_F(DispatchBooted, Version12DismissesTheMenuAfterEachAction) {
  bootWith("12.4");
  for (const char* title : {"Offload App", "Clear Badge", "Clear Caches", "Notifications",
                            "Banners", "Bundle Identifier", "App Lock"}) {
    home().press("com.example.maps");
    home().pick(title);
    EXPECT_TRUE(dump()["menu"].isNull()) << title;
    if (dump()["alert"].isObject()) home().tapAlert("Nevermind");
  }
}

TEST_F(DispatchBooted, LockingWithoutAListCreatesItAndRewritesTheSettingsFile) {
  bootWith("14.2");
  PostRecorder posts;
  home().press("com.example.mail");
  home().pick("App Lock");
  Json d = dump();
  EXPECT_EQ(lockedInMemory(d), (std::vector<std::string>{"com.example.mail"}));
  EXPECT_EQ(lockedOnDisk(d), (std::vector<std::string>{"com.example.mail"}));
  EXPECT_EQ(posts.names(), (std::vector<std::string>{"dimIcon"}));
  EXPECT_TRUE(host::pendingAuthentications().empty());  // locking asks nothing
}

TEST_F(DispatchBooted, Version12LockingQuitsTheAppBeforeDimming) {
  bootWith("12.4");
  PostRecorder posts;
  home().press("com.example.mail");
  home().pick("App Lock");
  EXPECT_EQ(posts.names(), (std::vector<std::string>{"killApp", "dimIcon"}));
  EXPECT_TRUE(dump()["menu"].isNull());
}

TEST_F(DispatchBooted, UnlockingNeedsASuccessfulReplyWithoutError) {
  writeSettings({{"lockedApps", list({"com.example.mail", "com.example.maps"})}});
  bootWith("14.2");
  PostRecorder posts;
  for (AuthAnswer answer :
       {AuthAnswer::Failure, AuthAnswer::Cancel, AuthAnswer::Error, AuthAnswer::SuccessWithError}) {
    home().press("com.example.mail");
    home().pick("App Lock");
    ASSERT_EQ(host::pendingAuthentications().size(), 1u);
    EXPECT_EQ(host::pendingAuthentications()[0].reason, "App Locked");
    EXPECT_EQ(host::pendingAuthentications()[0].policy, 2);
    home().answerAuth(answer);
    Json d = dump();
    EXPECT_EQ(lockedInMemory(d).size(), 2u);
    EXPECT_EQ(lockedOnDisk(d).size(), 2u);
  }
  EXPECT_TRUE(posts.names().empty());

  home().press("com.example.mail");
  home().pick("App Lock");
  home().answerAuth(AuthAnswer::Success);
  Json d = dump();
  EXPECT_EQ(lockedInMemory(d), (std::vector<std::string>{"com.example.maps"}));
  EXPECT_EQ(lockedOnDisk(d), (std::vector<std::string>{"com.example.maps"}));
  EXPECT_EQ(posts.names(), (std::vector<std::string>{"dimIcon"}));
}

TEST_F(DispatchBooted, UnlockActsOnTheAppWhoseItemWasChosen) {
  writeSettings({{"lockedApps", list({"com.example.mail", "com.example.maps"})}});
  bootWith("13.5");
  home().press("com.example.mail");
  home().pick("App Lock");
  home().press("com.example.maps");  // another menu is prepared while the prompt is up
  home().answerAuth(AuthAnswer::Success);
  EXPECT_EQ(lockedInMemory(dump()), (std::vector<std::string>{"com.example.maps"}));
}

TEST_F(DispatchBooted, Version12KeepsTheMenuOpenUntilTheUnlockSucceeds) {
  writeSettings({{"lockedApps", list({"com.example.mail"})}});
  bootWith("12.4");
  home().press("com.example.mail");
  home().pick("App Lock");
  EXPECT_FALSE(dump()["menu"].isNull());
  home().answerAuth(AuthAnswer::Cancel);
  EXPECT_FALSE(dump()["menu"].isNull());
  home().pick("App Lock");
  home().answerAuth(AuthAnswer::Success);
  EXPECT_TRUE(dump()["menu"].isNull());
  EXPECT_TRUE(lockedInMemory(dump()).empty());
}

TEST_F(DispatchBooted, LibraryItemsOfALockedAppRunWithoutAuthentication) {
  writeSettings({{"lockedApps", list({"com.example.mail"})}});
  bootWith("14.2");
  home().press("com.example.mail");
  home().pick("Clear Badge");
  EXPECT_TRUE(dump()["apps"]["com.example.mail"]["badge"].isNull());
  EXPECT_TRUE(host::pendingAuthentications().empty());
}

TEST_F(DispatchBooted, AChangedListKeepsWhatTheSettingsProgramWroteSinceLaunch) {
  bootWith("14.2");
  home().writeSetting("hideBadges", true);  // written after launch, not reloaded
  home().press("com.example.mail");
  home().pick("App Lock");
  Json file = dump()["settingsFile"];
  EXPECT_TRUE(file["hideBadges"].asBool());
  EXPECT_EQ(file["lockedApps"].size(), 1u);
}

// The domain's owner writes the file whole, replacing what could not be read.
TEST_F(DispatchBooted, AnUnreadableFileAtWriteTimeIsReplacedByTheWholeDomain) {
  writeSettings({{"disableBanners", list({"com.example.maps"})}});
  bootWith("14.2");
  home().writeFile(settingsPath(), "garbage");
  home().press("com.example.mail");
  home().pick("App Lock");
  Json file = dump()["settingsFile"];
  EXPECT_EQ(file["lockedApps"].size(), 1u);
  EXPECT_EQ(file["disableBanners"][0].asString(), "com.example.maps");
}

TEST_F(DispatchBooted, WithoutDefaultsLockingStillPostsButKeepsAndWritesNothing) {
  home().writeFile(settingsPath(), "garbage");
  bootWith("12.4");
  PostRecorder posts;
  home().press("com.example.mail");
  home().pick("App Lock");
  Json d = dump();
  EXPECT_EQ(posts.names(), (std::vector<std::string>{"killApp", "dimIcon"}));
  EXPECT_TRUE(d["defaults"].isNull());
  EXPECT_EQ(readFile(settingsPath()), "garbage");
  EXPECT_TRUE(d["menu"].isNull());
}

TEST_F(DispatchBooted, WithoutABundleIDTheListActionsChangeNothing) {
  bootWith("14.2");
  home().press("com.example.mail");
  *static_cast<id*>(librarySymbol("bundleID")) = nil;  // as after a menu without an app
  PostRecorder posts;
  for (const char* title : {"App Lock", "Notifications", "Banners", "Offload App"}) {
    EXPECT_FALSE(askManager(home(), "QVUItem", title));
  }
  Json d = dump();
  EXPECT_TRUE(posts.names().empty());
  EXPECT_EQ(d["settingsFile"].size(), 0u);
  EXPECT_FALSE(d["apps"]["com.example.mail"]["offloaded"].asBool());
  EXPECT_TRUE(host::pendingAuthentications().empty());
}

}  // namespace
}  // namespace qv::testing
