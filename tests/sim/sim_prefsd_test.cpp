// quorvel-sim and the preferences daemon: a settings file edited behind the daemon's back with
// `file` is not seen until `prefsd restart`, and `dump` shows the daemon's copy beside the
// file.
#include <algorithm>

#include "sim_fixture.h"

namespace qv::testing {
namespace {

TEST_F(SimTest, AFileEditIsSeenOnlyAfterTheDaemonRestarts) {
  SimRun run = runScript(std::string(R"(app com.example.mail badge=2
prefsd status
setting hideBadges false
boot
file )") + kSettingsFile + R"( "<plist><dict><key>hideBadges</key><true/></dict></plist>"
reload prefs
dump
prefsd restart
reload prefs
dump
prefsd foo
)",
                         {"--json"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("prefsd: \"foo\" is not one of status, restart"), std::string::npos)
      << run.err;
  std::vector<Json> lines = jsonLines(run);
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_GT(lines[1]["pid"].asNumber(), 0);
  EXPECT_EQ(lines[1]["domains"].size(), 0u);

  const Json& edited = lines[6]["state"];
  EXPECT_FALSE(edited["settings"]["hideBadges"].asBool());
  EXPECT_FALSE(edited["settingsDomain"]["hideBadges"].asBool());
  EXPECT_TRUE(edited["settingsFile"]["hideBadges"].asBool());

  const Json& restart = lines[7];
  EXPECT_NE(restart["pid"].asNumber(), lines[1]["pid"].asNumber());
  std::vector<std::string> changes;
  for (const Json& c : lines[8]["changes"].items()) changes.push_back(c.asString());
  EXPECT_NE(std::find(changes.begin(), changes.end(), "setting hideBadges: false -> true"),
            changes.end());
  EXPECT_EQ(lines[5]["changes"].size(), 0u);  // the reload before the restart found nothing new
  EXPECT_TRUE(lines[9]["state"]["settingsDomain"]["hideBadges"].asBool());
}

TEST_F(SimTest, TheDaemonStatusNamesTheDomainsItHasRead) {
  SimRun run = runScript("app com.example.mail\nboot\nprefsd status\n");
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<std::string> lines = run.outLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back().find("preferences daemon process "), 0u) << lines.back();
  EXPECT_NE(lines.back().find("; domains read: com.vantrelo88.quorvel"), std::string::npos)
      << lines.back();
}

}  // namespace
}  // namespace qv::testing
