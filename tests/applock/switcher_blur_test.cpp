// ctest-labels: threads
// The switcher's privacy blur: pages blur and prompt while a locked app is frontmost, cards of
// locked apps stay blurred, and the blur lifts by authentication or notification.
#include "foundation/foundation_internal.h"
#include "support/scenario.h"
#include "uikit/auth_service.h"

namespace qv::testing {
namespace {

using host::AuthAnswer;

bool isLockBlur(const Json& view) {
  Json f = view["filters"];
  return f.size() == 1 && f[0]["name"].asString() == "gaussianBlur" &&
         f[0]["inputRadius"].asNumber() == 50.0 && f[0]["radiusType"].asString() == "f" &&
         view["masksToBounds"].asBool();
}

Json pageOf(const Json& d, const std::string& app) {
  return elementWith(d["switcher"]["pages"], "app", app);
}

Json cardOf(const Json& d, const std::string& app) {
  return elementWith(d["switcher"]["cards"], "app", app);
}

class SwitcherBlur : public Scenario {
 protected:
  void bootWith(const char* os, host::HostQuirks quirks = {}) {
    writeSettings({{"lockedApps", list({"com.example.mail"})}});
    device(os);
    home().setQuirks(quirks);
    app("com.example.mail");
    app("com.example.maps");
    boot();
  }
  bool authInProgress() { return dump()["authInProgress"].asBool(); }
  id page(const std::string& app) {
    for (const Strong& p : host::switcherPages()) {
      if (host::stdString(qv::fields<host::SwitcherPageObj>(p)->bundleIdentifier) == app) return p;
    }
    return nil;
  }
};

TEST_F(SwitcherBlur, EveryPageBlursAndBlocksTouchesWhileALockedAppIsFrontmost) {
  bootWith("14.2");
  home().bringToFront("com.example.maps");
  EXPECT_EQ(dump()["switcher"]["pages"][0]["filters"].size(), 0u);
  home().bringToFront("com.example.mail");
  Json d = dump();
  for (const char* app : {"com.example.mail", "com.example.maps"}) {
    EXPECT_TRUE(isLockBlur(pageOf(d, app))) << app;
    EXPECT_TRUE(pageOf(d, app)["blocksTouches"].asBool()) << app;
  }
  EXPECT_EQ(d["pendingPrompts"].size(), 1u);  // two pages changed overlay, one prompt
  EXPECT_TRUE(d["authInProgress"].asBool());
  home().bringToFront("com.example.mail");
  EXPECT_EQ(dump()["pendingPrompts"].size(), 1u);
}

TEST_F(SwitcherBlur, ASuccessfulPromptClearsItsPageAndTheFlag) {
  bootWith("14.2");
  home().bringToFront("com.example.mail");
  home().answerAuth(AuthAnswer::Success);
  Json d = dump();
  EXPECT_EQ(pageOf(d, "com.example.mail")["filters"].size(), 0u);
  EXPECT_TRUE(pageOf(d, "com.example.mail")["blocksTouches"].asBool());  // left to the host
  EXPECT_FALSE(d["authInProgress"].asBool());
  // No memory of the success: the next overlay change blurs and prompts again.
  home().bringToFront("com.example.mail");
  d = dump();
  EXPECT_TRUE(isLockBlur(pageOf(d, "com.example.mail")));
  EXPECT_EQ(d["pendingPrompts"].size(), 1u);
}

TEST_F(SwitcherBlur, FailuresLeaveTheBlurAndClearTheFlag) {
  bootWith("13.5");
  for (AuthAnswer answer :
       {AuthAnswer::SuccessWithError, AuthAnswer::Failure, AuthAnswer::Cancel}) {
    home().bringToFront("com.example.mail");
    ASSERT_TRUE(authInProgress());
    home().answerAuth(answer);
    Json d = dump();
    EXPECT_TRUE(isLockBlur(pageOf(d, "com.example.mail")));
    EXPECT_FALSE(d["authInProgress"].asBool());
  }
}

TEST_F(SwitcherBlur, RetryDuringAPendingPromptMakesASecondPromptThatCanLiftTheBlur) {
  bootWith("14.2");
  home().bringToFront("com.example.mail");
  msgSend<void>(page("com.example.mail"), sel_registerName("retryAuth"));
  ASSERT_EQ(host::pendingAuthentications().size(), 2u);
  home().answerAuth(AuthAnswer::Failure);  // the first prompt's reply clears the flag
  EXPECT_FALSE(authInProgress());
  EXPECT_TRUE(isLockBlur(pageOf(dump(), "com.example.mail")));
  home().answerAuth(AuthAnswer::Success);  // the retry's reply lifts the blur
  Json d = dump();
  EXPECT_EQ(pageOf(d, "com.example.mail")["filters"].size(), 0u);
  EXPECT_FALSE(d["authInProgress"].asBool());
}

TEST_F(SwitcherBlur, RetryLeavesThePromptFlagAlone) {
  bootWith("14.2");
  home().bringToFront("com.example.maps");
  msgSend<void>(page("com.example.maps"), sel_registerName("retryAuth"));
  EXPECT_FALSE(authInProgress());
  home().answerAuth(AuthAnswer::Success);
  EXPECT_FALSE(authInProgress());
}

TEST_F(SwitcherBlur, AnUnlockedFrontmostAppClearsEveryFilterOfEveryPage) {
  bootWith("14.2");
  home().bringToFront("com.example.maps");
  // Another filter someone else put on the page goes too.
  id blur = msgSend<id>(objc_getClass("CAFilter"), sel_registerName("filterWithName:"),
                        host::makeString("colorMatrix"));
  msgSend<void>(msgSend<id>(page("com.example.maps"), sel_registerName("layer")),
                sel_registerName("setFilters:"), host::makeArray({blur}));
  home().bringToFront("com.example.maps");
  EXPECT_EQ(pageOf(dump(), "com.example.maps")["filters"].size(), 0u);
}

TEST_F(SwitcherBlur, RemoveFilterClearsEveryPageAndNoCard) {
  bootWith("14.2");
  home().bringToFront("com.example.maps");
  home().bringToFront("com.example.mail");
  home().answerAuth(AuthAnswer::Cancel);
  home().openSwitcher();
  ASSERT_TRUE(isLockBlur(cardOf(dump(), "com.example.mail")));
  home().post("com.vantrelo88.quorvel/removeFilter");
  Json d = dump();
  EXPECT_EQ(pageOf(d, "com.example.mail")["filters"].size(), 0u);
  EXPECT_EQ(pageOf(d, "com.example.maps")["filters"].size(), 0u);
  EXPECT_TRUE(isLockBlur(cardOf(d, "com.example.mail")));
}

TEST_F(SwitcherBlur, Version14CardsOfLockedAppsStayBlurredAfterASuccessfulPrompt) {
  bootWith("14.2");
  home().bringToFront("com.example.maps");
  home().bringToFront("com.example.mail");
  home().answerAuth(AuthAnswer::Success);
  home().openSwitcher();
  Json d = dump();
  EXPECT_TRUE(isLockBlur(cardOf(d, "com.example.mail")));
  EXPECT_EQ(cardOf(d, "com.example.maps")["filters"].size(), 0u);
}

TEST_F(SwitcherBlur, Version12CardsBlurThroughTheRoleMapAccessor) {
  bootWith("12.4");
  home().bringToFront("com.example.mail");
  home().answerAuth(AuthAnswer::Cancel);
  home().openSwitcher();
  EXPECT_TRUE(isLockBlur(cardOf(dump(), "com.example.mail")));
}

TEST_F(SwitcherBlur, Version13CardsAreNeverBlurred) {
  bootWith("13.5");
  home().bringToFront("com.example.mail");
  home().answerAuth(AuthAnswer::Cancel);
  home().openSwitcher();
  EXPECT_EQ(cardOf(dump(), "com.example.mail")["filters"].size(), 0u);
}

TEST_F(SwitcherBlur, ACardClearsAtItsNextLayoutAfterTheAppIsUnlocked) {
  bootWith("14.2");
  home().bringToFront("com.example.mail");
  home().answerAuth(AuthAnswer::Success);  // the page's prompt does not touch cards
  home().openSwitcher();
  ASSERT_TRUE(isLockBlur(cardOf(dump(), "com.example.mail")));
  home().press("com.example.mail");
  home().pick("App Lock");
  home().answerAuth(AuthAnswer::Success);
  EXPECT_TRUE(isLockBlur(cardOf(dump(), "com.example.mail")));  // nothing clears it at once
  home().openSwitcher();
  EXPECT_EQ(cardOf(dump(), "com.example.mail")["filters"].size(), 0u);
}

TEST_F(SwitcherBlur, AHostLayoutWithoutTheRoleMapVariableCountsAsNotLocked) {
  host::HostQuirks quirks;
  quirks.layoutRolesIvar = false;
  bootWith("14.2", quirks);
  home().bringToFront("com.example.mail");
  home().answerAuth(AuthAnswer::Cancel);
  home().openSwitcher();
  EXPECT_EQ(cardOf(dump(), "com.example.mail")["filters"].size(), 0u);
}

TEST_F(SwitcherBlur, APageDiscardedWhileItsPromptIsPendingIsLeftAlone) {
  bootWith("14.2");
  home().bringToFront("com.example.mail");
  ASSERT_TRUE(authInProgress());
  home().quitApp("com.example.mail");  // the host discards the page
  ASSERT_EQ(page("com.example.mail"), nil);
  home().answerAuth(AuthAnswer::Success);
  EXPECT_FALSE(authInProgress());
}

}  // namespace
}  // namespace qv::testing
