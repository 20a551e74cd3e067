// Settings written from a scenario: the keys the settings program knows, any key on request,
// and the settings file as the library would read it.
#include "sim_fixture.h"

namespace qv::testing {
namespace {

TEST_F(SimTest, UnknownSettingKeysAreRefusedAsTheSettingsProgramRefusesThem) {
  SimRun misspelt = runScript("setting hideBadgez true\n");
  EXPECT_EQ(misspelt.status, 1);
  EXPECT_EQ(misspelt.err.find("quorvel-sim: line 1: setting: unknown setting \"hideBadgez\" "
                              "(did you mean hideBadges?); raw-setting writes any key"),
            0u)
      << misspelt.err;
  EXPECT_FALSE(std::filesystem::exists(real(kSettingsFile)));

  SimRun unknown = runScript("setting colourful true\n");
  EXPECT_EQ(unknown.status, 1);
  EXPECT_NE(unknown.err.find("unknown setting \"colourful\"; raw-setting"), std::string::npos)
      << unknown.err;

  // The app lists are the library's own, as the settings program keeps them.
  SimRun list = runScript("setting lockedApps com.example.mail\n");
  EXPECT_EQ(list.status, 1);
  EXPECT_NE(list.err.find("setting: lockedApps is an app list the library keeps itself"),
            std::string::npos)
      << list.err;
  EXPECT_FALSE(std::filesystem::exists(real(kSettingsFile)));
}

// Any value type goes, so that the library's reading of odd values can be tried; raw-setting
// writes keys nobody reads.
TEST_F(SimTest, KnownKeysTakeAnyValueAndRawSettingAnyKey) {
  SimRun run = runScript(
      "setting hideBadges \"yes\"\nsetting menuColorAlpha 0.25\nraw-setting hideBadgez true\n"
      "raw-setting lockedApps com.example.mail\ndump\n",
      {"--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<Json> out = jsonLines(run);
  ASSERT_EQ(out.size(), 5u);
  const Json& file = out[4]["state"]["settingsFile"];
  EXPECT_EQ(file["hideBadges"].asString(), "yes");
  EXPECT_EQ(file["menuColorAlpha"].asNumber(), 0.25);
  EXPECT_TRUE(file["hideBadgez"].asBool());
  EXPECT_EQ(file["lockedApps"].asString(), "com.example.mail");
  EXPECT_EQ(out[2]["key"].asString(), "hideBadgez");
}

// "settingsFile" is null both for a missing and for an unusable file; the status says which.
TEST_F(SimTest, TheDumpSaysWhyTheSettingsFileReadsAsNothing) {
  const std::string path = kSettingsFile;
  struct Case {
    std::string setup;
    std::string status;
  };
  const Case cases[] = {
      {"", "missing"},
      {"setting hideBadges true\n", "read"},
      {"file " + path + " \"not a property list\"\n", "not a property list"},
      {"file " + path + "/inside x\n", "a folder"},
      {"raw-setting x 1\nfile " + path + " \"<plist><array/></plist>\"\n", "not a dictionary"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status);
    SimRun run = runScript(c.setup + "dump\n", {"--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<Json> out = jsonLines(run);
    ASSERT_FALSE(out.empty());
    const Json& state = out.back()["state"];
    EXPECT_EQ(state["settingsFileStatus"].asString(), c.status);
    EXPECT_EQ(state["settingsFile"].isNull(), c.status != "read" && c.status != "not a dictionary");
  }
}

}  // namespace
}  // namespace qv::testing
