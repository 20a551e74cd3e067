// ctest-labels: threads
// Authentication replies that never come, come twice, or come after their page and their app
// are gone.
#include "support/scenario.h"
#include "uikit/auth_service.h"

namespace qv::testing {
namespace {

using host::AuthAnswer;

class AuthFaults : public Scenario {
 protected:
  void SetUp() override {
    Scenario::SetUp();
    writeSettings({{"lockedApps", list({"com.example.mail", "com.example.maps"})}});
    device("14.2");
    app("com.example.mail");
    app("com.example.maps");
    app("com.example.notes");
    boot();
  }
  std::vector<std::string> locked() {
    std::vector<std::string> out;
    Json d = dump();
    for (const Json& s : d["defaults"]["lockedApps"].items()) out.push_back(s.asString());
    return out;
  }
};

TEST_F(AuthFaults, AReplyThatNeverComesBlocksNothingElse) {
  home().bringToFront("com.example.mail");  // a page prompt stays pending
  home().press("com.example.maps");
  home().pick("App Lock");  // and an unlock prompt
  ASSERT_EQ(host::pendingAuthentications().size(), 2u);
  home().press("com.example.notes");
  home().pick("App Lock");
  home().searchOpen("com.example.notes");
  home().openSwitcher();
  Json d = dump();
  EXPECT_TRUE(d["authInProgress"].asBool());
  EXPECT_EQ(locked().size(), 3u);
  EXPECT_TRUE(d["frontmost"].asString() == "com.example.mail");
}

TEST_F(AuthFaults, AReplyThatComesTwiceUnlocksOnce) {
  home().press("com.example.mail");
  home().pick("App Lock");
  PostRecorder posts;
  ASSERT_TRUE(host::answerOldestAuthentication(AuthAnswer::Success, 0, 2));
  home().settle();
  EXPECT_EQ(locked(), (std::vector<std::string>{"com.example.maps"}));
  EXPECT_EQ(dump()["settingsFile"]["lockedApps"].size(), 1u);
  // The second reply finds nothing left to remove and harms nothing.
  for (const std::string& n : posts.names()) EXPECT_EQ(n, "dimIcon");
}

TEST_F(AuthFaults, APageReplyAfterThePageAndTheAppAreGoneTouchesNothing) {
  home().bringToFront("com.example.mail");
  ASSERT_TRUE(dump()["authInProgress"].asBool());
  home().quitApp("com.example.mail");
  home().press("com.example.maps");
  home().pick("Offload App");
  home().markUninstalled("com.example.mail");
  home().answerAuth(AuthAnswer::Success);
  EXPECT_FALSE(dump()["authInProgress"].asBool());
  home().bringToFront("com.example.notes");
  EXPECT_EQ(dump()["switcher"]["pages"].size(), 1u);
}

TEST_F(AuthFaults, AnUnlockReplyAfterTheAppIsUninstalledStillTidiesTheList) {
  home().press("com.example.mail");
  home().pick("App Lock");
  home().markUninstalled("com.example.mail");
  home().answerAuth(AuthAnswer::Success);
  EXPECT_EQ(locked(), (std::vector<std::string>{"com.example.maps"}));
}

}  // namespace
}  // namespace qv::testing
