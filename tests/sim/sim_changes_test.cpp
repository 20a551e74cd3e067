// What quorvel-sim tells a command changed: every icon property the dump shows, every file of a
// container, and the same lines as comparing whole dumps would give.
#include "sim_fixture.h"
#include "springboard/home_setup.h"

namespace qv::testing {
namespace {

bool contains(const std::vector<std::string>& list, const std::string& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

std::vector<std::string> changesOf(const Json& answer) {
  std::vector<std::string> lines;
  for (const Json& c : answer["changes"].items()) lines.push_back(c.asString());
  return lines;
}

// Locking dims the image, the label and the badge and tints the icon; all four are told.
TEST_F(SimTest, LockingTellsEveryAlphaAndTheTint) {
  SimRun run =
      runScript("app com.example.bank badge=2\nboot\npress com.example.bank\npick \"App Lock\"\n",
                {"--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<Json> out = jsonLines(run);
  ASSERT_EQ(out.size(), 4u);
  std::vector<std::string> changes = changesOf(out[3]);
  for (const char* line : {"icon com.example.bank: image alpha 1 -> 0.6",
                           "icon com.example.bank: label alpha 1 -> 0.6",
                           "icon com.example.bank: accessory alpha 1 -> 0.6",
                           "icon com.example.bank: tint #000000:0.00 -> #000000"}) {
    EXPECT_TRUE(contains(changes, line)) << line;
  }
}

// A layout that shows or hides a label says so, instead of "ok".
TEST_F(SimTest, LayoutTellsLabelsShownAndHidden) {
  SimRun run = runScript(
      "app com.example.mail\nwidget com.example.weather\nboot\n"
      "setting hideWidgetLabels false\nreload prefs\nlayout\n"
      "setting hideWidgetLabels true\nreload prefs\nlayout\nlayout\n");
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<std::string> lines = run.outLines();
  auto shown = std::find(lines.begin(), lines.end(), "icon com.example.weather: label shown");
  auto hidden = std::find(lines.begin(), lines.end(), "icon com.example.weather: label hidden");
  EXPECT_NE(shown, lines.end());
  EXPECT_NE(hidden, lines.end());
  EXPECT_LT(shown, hidden);
  EXPECT_EQ(lines.back(), "ok");  // nothing changed the second time
}

// Every file is counted, however many a container holds.
TEST_F(SimTest, ContainerFilesAreNeverCut) {
  std::string container = host::containerPathFor("com.example.mail");
  std::string script = "app com.example.mail\nboot\n";
  for (int i = 0; i < 150; i++) {
    script += "file " + container + "/Library/Caches/many/f" + std::to_string(i) + " x\n";
  }
  script += "dump\npress com.example.mail\npick \"Clear Caches\"\ndump\n";
  SimRun run = runScript(script, {"--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<Json> out = jsonLines(run);
  ASSERT_EQ(out.size(), 156u);
  const Json& before = out[152]["state"]["apps"]["com.example.mail"]["containerFiles"];
  EXPECT_EQ(before.size(), 160u);  // the ten every container starts with, and these
  size_t after = out[155]["state"]["apps"]["com.example.mail"]["containerFiles"].size();
  EXPECT_LT(after, 10u);
  EXPECT_TRUE(contains(changesOf(out[154]),
                       "com.example.mail: container files 160 -> " + std::to_string(after)));
}

// retry-auth is the page's retryAuth: a prompt at once, for a page that is blurred.
TEST_F(SimTest, RetryAuthPromptsAgainFromTheSwitcherPage) {
  SimRun run = runScript(
      "app com.example.bank\nboot\npress com.example.bank\npick \"App Lock\"\n"
      "front com.example.bank\nauth failure\nretry-auth com.example.bank\nauth success\n",
      {"--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<Json> out = jsonLines(run);
  ASSERT_EQ(out.size(), 8u);
  EXPECT_TRUE(contains(changesOf(out[6]), "authentication prompt: \"App Locked\""));
  std::vector<std::string> answered = changesOf(out[7]);
  EXPECT_TRUE(std::any_of(answered.begin(), answered.end(), [](const std::string& line) {
    return line.rfind("switcher page com.example.bank: no filters", 0) == 0;
  }));

  SimRun noPage = runScript("app com.example.bank\nboot\nretry-auth com.example.bank\n");
  EXPECT_EQ(noPage.status, 1);
  EXPECT_NE(noPage.err.find("retry-auth: com.example.bank has no switcher page"), std::string::npos)
      << noPage.err;
  SimRun noLibrary = runScript(
      "app com.example.bank\nboot\nfront com.example.bank\n"
      "retry-auth com.example.bank\n",
      {"--no-library"});
  EXPECT_EQ(noLibrary.status, 1);
  EXPECT_NE(noLibrary.err.find("retry-auth: the switcher page has no retryAuth"), std::string::npos)
      << noLibrary.err;
}

// The changes told from the host's change journal are those a comparison of whole dumps
// gives (--check-changes fails a command where they differ), in every family, through
// badges, locks, prompts, caches, notifications, offloading, uninstalling, alerts, settings,
// layouts and the switcher.
TEST_F(SimTest, TrackedChangesEqualWholeDumpComparisons) {
  for (const char* os : {"14.2", "13.5", "12.4"}) {
    SCOPED_TRACE(os);
    std::string script = std::string("device os=") + os +
                         "\napp com.example.mail badge=3 shortcuts=\"Compose\"\n"
                         "app com.example.bank badge=1\napp com.example.maps nocontainer\n"
                         "app com.example.music nosection\nfolder Utilities\n"
                         "widget com.example.weather\nboot\n";
    for (const char* app : {"com.example.mail", "com.example.bank", "com.example.maps"}) {
      for (const char* title : {"Clear Badge", "Clear Caches", "Notifications", "Banners",
                                "App Lock", "Notifications"}) {
        script += std::string("press ") + app + "\npick \"" + title + "\"\n";
      }
    }
    script +=
        "front com.example.bank\nswitcher\nauth failure\nretry-auth com.example.bank\n"
        "auth success\npress com.example.mail\npick \"App Lock\"\nauth success\n"
        "press com.example.mail\npick \"Bundle Identifier\"\nalert \"Copy Bundle ID\"\n"
        "setting hideBadges true\nreload prefs\nsetting hideWidgetLabels false\nreload prefs\n"
        "layout\nstatic-color \"#ff0000\"\nreload colors\nwallpaper #00ff00\n"
        "post com.vantrelo88.quorvel/clearBadges\nsearch com.example.maps\n"
        "press com.example.maps\npick \"Offload App\"\n";
    if (std::string(os) == "12.4") {
      script += "press com.example.music\npick \"Uninstall App\"\nalert \"Uninstall App\"\n";
    }
    script += "style dark\nlayout\n";
    SimRun run = runScript(script, {"--check-changes"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err.find("change check"), std::string::npos) << run.err;
  }
}

}  // namespace
}  // namespace qv::testing
