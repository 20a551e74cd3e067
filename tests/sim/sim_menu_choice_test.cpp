// Choosing from a menu as a user can: hidden rows are not offered and cannot be picked, and
// two items with one title are told apart with n=.
#include "sim_fixture.h"

namespace qv::testing {
namespace {

bool contains(const std::vector<std::string>& list, const std::string& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

// The version-12 platter hides the Share row while hideShare is on (the default); press names
// it as hidden and pick refuses it, as a finger could not reach it.
TEST_F(SimTest, HiddenRowsAreNotListedAndCannotBePicked) {
  const std::string share = "Share \xe2\x80\x9cMail\xe2\x80\x9d";
  SimRun run = runScript(
      "device os=12.4\napp com.example.mail name=\"Mail\"\nboot\n"
      "press com.example.mail\npick \"" +
          share + "\"\n",
      {"--json"});
  EXPECT_EQ(run.status, 1);
  std::vector<Json> out = jsonLines(run);
  ASSERT_EQ(out.size(), 5u);
  std::vector<std::string> listed;
  for (const Json& item : out[3]["menu"].items()) listed.push_back(item["title"].asString());
  EXPECT_TRUE(contains(listed, "Clear Badge"));
  EXPECT_FALSE(contains(listed, share));
  ASSERT_EQ(out[3]["hidden"].size(), 1u);
  EXPECT_EQ(out[3]["hidden"][0].asString(), share);
  EXPECT_EQ(out[4]["error"].asString(),
            "pick: the item \"" + share + "\" is hidden; it cannot be tapped");
  // Shown again once the setting is off: listed and picked.
  SimRun shown = runScript(
      "device os=12.4\nsetting hideShare false\napp com.example.mail name=\"Mail\"\nboot\n"
      "press com.example.mail\npick \"Share \xe2\x80\x9cMail\xe2\x80\x9d\"\n");
  ASSERT_EQ(shown.status, 0) << shown.err;
  EXPECT_TRUE(contains(shown.outLines(), "host: share com.example.mail"));
}

// The text output names what is hidden in the menu's heading.
TEST_F(SimTest, PressTellsWhichRowsAreHidden) {
  SimRun run = runScript(
      "device os=12.4\napp com.example.mail name=\"Mail\"\nboot\n"
      "press com.example.mail\n");
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<std::string> lines = run.outLines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_NE(lines[1].find("; hidden, cannot be picked: \"Share \xe2\x80\x9cMail\xe2\x80\x9d\"):"),
            std::string::npos)
      << lines[1];
}

// An app's own quick action titled like one of ours: which one is meant must be said.
TEST_F(SimTest, EqualTitlesArePickedByTheirNumber) {
  const std::string setup =
      "app com.example.mail shortcuts=\"App Lock\"\nboot\npress com.example.mail\n";
  SimRun ambiguous = runScript(setup + "pick \"App Lock\"\n");
  EXPECT_EQ(ambiguous.status, 1);
  EXPECT_NE(ambiguous.err.find("line 4: pick: 2 items are titled \"App Lock\"; say which with "
                               "n=1 to n=2"),
            std::string::npos)
      << ambiguous.err;

  // The first is the app's own: the host launches it.
  SimRun first = runScript(setup + "pick \"App Lock\" n=1\ndump\n", {"--json"});
  ASSERT_EQ(first.status, 0) << first.err;
  std::vector<Json> out = jsonLines(first);
  ASSERT_EQ(out.size(), 5u);
  EXPECT_EQ(out[4]["state"]["hostEvents"][1].asString(), "shortcut com.example.mail \"App Lock\"");
  EXPECT_FALSE(out[4]["state"]["defaults"].has("lockedApps"));  // nothing locked

  // The second is the library's: the app is locked.
  SimRun second = runScript(setup + "pick \"App Lock\" n=2\ndump\n", {"--json"});
  ASSERT_EQ(second.status, 0) << second.err;
  out = jsonLines(second);
  ASSERT_EQ(out.size(), 5u);
  EXPECT_EQ(out[4]["state"]["defaults"]["lockedApps"][0].asString(), "com.example.mail");
  EXPECT_EQ(out[4]["state"]["hostEvents"].size(), 1u);  // only the launch

  for (const char* bad : {"n=3", "n=0", "n=x"}) {
    SCOPED_TRACE(bad);
    SimRun run = runScript(setup + "pick \"App Lock\" " + bad + "\n");
    EXPECT_EQ(run.status, 1);
  }
  SimRun three = runScript(setup + "pick \"App Lock\" n=3\n");
  EXPECT_NE(three.err.find("pick: the menu has 2 items titled \"App Lock\", not 3"),
            std::string::npos)
      << three.err;
}

}  // namespace
}  // namespace qv::testing
