// ctest-labels: threads
// A locked app does not open from the system search, through either entry, and no prompt
// appears; unlocking it restores search.
#include "support/scenario.h"
#include "uikit/auth_service.h"

namespace qv::testing {
namespace {

class SearchGate : public Scenario {
 protected:
  void SetUp() override {
    Scenario::SetUp();
    writeSettings({{"lockedApps", list({"com.example.mail"})}});
    device("14.2");
    app("com.example.mail");
    app("com.example.maps");
    boot();
  }
};

TEST_F(SearchGate, ALockedAppOpensThroughNeitherEntryAndNoPromptAppears) {
  home().searchOpen("com.example.mail");
  home().searchOpenActivity("com.example.mail");
  Json d = dump();
  EXPECT_TRUE(d["frontmost"].isNull());
  EXPECT_FALSE(d["apps"]["com.example.mail"]["running"].asBool());
  EXPECT_EQ(d["pendingPrompts"].size(), 0u);
}

TEST_F(SearchGate, UnlockedAppsOpenAsBefore) {
  home().searchOpen("com.example.maps");
  EXPECT_EQ(dump()["frontmost"].asString(), "com.example.maps");
  home().searchOpenActivity("com.example.maps");
  EXPECT_EQ(dump()["frontmost"].asString(), "com.example.maps");
}

TEST_F(SearchGate, UnlockingRestoresSearch) {
  home().press("com.example.mail");
  home().pick("App Lock");
  home().answerAuth(host::AuthAnswer::Success);
  home().searchOpenActivity("com.example.mail");
  EXPECT_EQ(dump()["frontmost"].asString(), "com.example.mail");
}

}  // namespace
}  // namespace qv::testing
