// Each write tells the home screen to reload: the settings with ReloadPrefs, the colour list
// with ReloadColorPrefs. Reading and refused commands post nothing.
#include <algorithm>

#include "foundation/main_loop.h"
#include "platform/corefoundation.h"
#include "prefs_fixture.h"

namespace qv::testing {
namespace {

constexpr const char* kReloadPrefs = "com.vantrelo88.quorvel/ReloadPrefs";
constexpr const char* kReloadColors = "com.vantrelo88.quorvel/ReloadColorPrefs";

std::vector<std::string> gReceived;

void record(CFNotificationCenterRef, void*, CFNotificationName name, const void*, CFDictionaryRef) {
  gReceived.push_back(host::stdString(const_cast<id>(name)));
}

class NotificationTest : public PrefsTest {
 protected:
  void SetUp() override {
    PrefsTest::SetUp();
    host::markMainThread();
    gReceived.clear();
    for (const char* name : {kReloadPrefs, kReloadColors}) {
      CFNotificationCenterAddObserver(CFNotificationCenterGetDarwinNotifyCenter(), nullptr, record,
                                      static_cast<CFStringRef>(host::makeString(name)), nullptr,
                                      CFNotificationSuspensionBehaviorDeliverImmediately);
    }
  }

  // Runs the command, then collects what arrives; a command that posts must be heard within
  // the patience, and one that does not is given a moment for a stray post to show.
  std::vector<std::string> postsOf(const std::vector<std::string>& args, bool expectPost) {
    gReceived.clear();
    ProgramRun run = prefs(args);
    EXPECT_EQ(run.status == 0, expectPost || args[0] == "get" || args[0] == "list") << run.err;
    host::runMainLoopUntil([&] { return !gReceived.empty(); },
                           expectPost ? kPatience : std::chrono::milliseconds(300));
    return gReceived;
  }
};

TEST_F(NotificationTest, WritesPostTheReloadOfWhatTheyChanged) {
  using Names = std::vector<std::string>;
  EXPECT_EQ(postsOf({"set", "hideBadges", "true"}, true), Names{kReloadPrefs});
  EXPECT_EQ(postsOf({"reset", "hideBadges"}, true), Names{kReloadPrefs});
  EXPECT_EQ(postsOf({"set", "menuColorAlpha", "0.5"}, true), Names{kReloadPrefs});
  EXPECT_EQ(postsOf({"reset"}, true), Names{kReloadPrefs});
  EXPECT_EQ(postsOf({"color", "static", "#00ff00"}, true), Names{kReloadColors});
}

TEST_F(NotificationTest, ReadingAndRefusingPostNothing) {
  EXPECT_TRUE(postsOf({"list"}, false).empty());
  EXPECT_TRUE(postsOf({"get", "hideBadges"}, false).empty());
  EXPECT_TRUE(postsOf({"set", "hideBadges", "maybe"}, false).empty());
  EXPECT_TRUE(postsOf({"color", "static", "green"}, false).empty());
  writeRaw(kSettingsFile, "junk");
  EXPECT_TRUE(postsOf({"set", "hideBadges", "true"}, false).empty());
}

}  // namespace
}  // namespace qv::testing
