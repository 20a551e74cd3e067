// What quorvel-prefs refuses: unknown keys, values of the wrong type or out of range, colour
// text the colour parser does not read, and bad command lines. A refusal names the key and
// what it takes, exits with 1 (2 for a bad command line) and leaves the files byte for byte.
#include "prefs_fixture.h"

namespace qv::testing {
namespace {

struct Refusal {
  std::vector<std::string> args;
  std::string mentions;  // in the message, besides the key or value itself
};

class PrefsValidationTest : public PrefsTest {
 protected:
  void SetUp() override {
    PrefsTest::SetUp();
    writeRaw(kSettingsFile, kSeededSettings);
    writeRaw(kColorsFile,
             "<plist><dict><key>wallColor</key><string>#102030</string></dict></plist>");
  }

  void expectRefused(const Refusal& r, int status) {
    const std::string settingsBefore = readRaw(kSettingsFile);
    const std::string coloursBefore = readRaw(kColorsFile);
    ProgramRun run = prefs(r.args);
    std::string line;
    for (const std::string& a : r.args) line += a + " ";
    EXPECT_EQ(run.status, status) << line << run.err;
    EXPECT_NE(run.err.find(r.mentions), std::string::npos) << line << "\n" << run.err;
    EXPECT_TRUE(run.out.empty()) << line << run.out;
    EXPECT_EQ(readRaw(kSettingsFile), settingsBefore) << line;
    EXPECT_EQ(readRaw(kColorsFile), coloursBefore) << line;
  }
};

TEST_F(PrefsValidationTest, UnknownKeysAreRefusedByName) {
  for (const char* command : {"get", "reset"}) {
    expectRefused({{command, "hideBadgez"}, "unknown setting \"hideBadgez\""}, 1);
  }
  expectRefused({{"set", "hideBadgez", "true"}, "unknown setting \"hideBadgez\""}, 1);
  // Keys are case-sensitive, as the library reads them.
  expectRefused({{"set", "HideBadges", "true"}, "unknown setting \"HideBadges\""}, 1);
  // A key the file holds but the table does not know is kept, not settable.
  expectRefused({{"set", "futureSetting", "true"}, "unknown setting \"futureSetting\""}, 1);
}

TEST_F(PrefsValidationTest, ValuesOfTheWrongTypeAreRefused) {
  const std::string boolean = "hideBadges takes a boolean (true/false, yes/no, on/off, 1/0)";
  for (const char* value : {"maybe", "", "2", "0.5", "tru", "yes please", "-1"}) {
    expectRefused({{"set", "hideBadges", value}, boolean + ", not \"" + value + "\""}, 1);
  }
  const std::string number = "menuColorAlpha takes a number from 0 to 1";
  for (const char* value : {"abc", "", "true", "0.5x", "nan", "inf", "0x1", " 0.5", "1e"}) {
    expectRefused({{"set", "menuColorAlpha", value}, number + ", not \"" + value + "\""}, 1);
  }
}

TEST_F(PrefsValidationTest, AlphaOutsideZeroToOneIsRefused) {
  for (const char* value : {"1.5", "-0.1", "1.0000001", "2", "-1", "1e3"}) {
    expectRefused({{"set", "menuColorAlpha", value}, "menuColorAlpha takes a number from 0 to 1"},
                  1);
  }
}

TEST_F(PrefsValidationTest, ColourTextIsCheckedWithTheColourParser) {
  for (const char* text : {"#00ff0", "green", "", "#gg0000", "rgb(1, 2)", "rgba(1, 2, 3)",
                           "#00ff00:", "rgb(1, 2, 3"}) {
    expectRefused({{"color", "static", text}, std::string("staticColor takes a colour")}, 1);
  }
}

TEST_F(PrefsValidationTest, AppListsAreReadOnly) {
  expectRefused({{"set", "lockedApps", "com.example.mail"}, "lockedApps is an app list"}, 1);
  expectRefused({{"reset", "disableBanners"}, "disableBanners is an app list"}, 1);
  EXPECT_EQ(storedList("lockedApps"),
            (std::vector<std::string>{"com.example.bank", "com.example.notes"}));
}

TEST_F(PrefsValidationTest, BadCommandLinesExitWithTwo) {
  expectRefused({{}, "a command is needed"}, 2);
  expectRefused({{"sett", "hideBadges", "true"}, "unknown command \"sett\""}, 2);
  expectRefused({{"set", "hideBadges"}, "missing argument"}, 2);
  expectRefused({{"get"}, "missing argument"}, 2);
  expectRefused({{"list", "extra"}, "too many arguments"}, 2);
  expectRefused({{"set", "hideBadges", "true", "false"}, "too many arguments"}, 2);
  expectRefused({{"color", "wall", "#000000"}, "only static can be set"}, 2);
  expectRefused({{"--verbose", "list"}, "unknown option --verbose"}, 2);
}

// Options may stand anywhere and be shortened; after "--" no word is one, and a word with a
// single dash is a value wherever it stands.
TEST_F(PrefsValidationTest, OptionsStandAnywhereAndDashedWordsAreValues) {
  expectRefused({{"get", "--", "-h"}, "unknown setting \"-h\""}, 1);
  expectRefused({{"set", "menuColorAlpha", "-0.5", "--force"}, "from 0 to 1, not \"-0.5\""}, 1);
  expectRefused({{"--forc", "set", "-x", "true"}, "unknown setting \"-x\""}, 1);
  ProgramRun run = runProgram(QV_PREFS_PATH, {"get", "hideBadges", "--ro", root_});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "false\n");
}

TEST_F(PrefsValidationTest, TheDeviceRootIsRequired) {
  ProgramRun run = runProgram(QV_PREFS_PATH, {"set", "hideBadges", "true"});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("give --root DIR or set QUORVEL_ROOT"), std::string::npos) << run.err;
  run = runProgram(QV_PREFS_PATH, {"list", "--root"});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("--root needs a folder"), std::string::npos) << run.err;
  // Help needs no root.
  run = runProgram(QV_PREFS_PATH, {"--help"});
  EXPECT_EQ(run.status, 0);
  for (const char* word : {"list", "get KEY", "set KEY VALUE", "reset [KEY]", "color static TEXT",
                           "--root DIR", "--force", "QUORVEL_ROOT"}) {
    EXPECT_NE(run.out.find(word), std::string::npos) << word;
  }
}

}  // namespace
}  // namespace qv::testing
