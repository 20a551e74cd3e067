#include "sim_fixture.h"

namespace qv::testing {
namespace {

struct ErrorCase {
  const char* script;
  int line;
  const char* message;  // the start of the reported message
};

// Each script fails on one line; the line after it must not run.
TEST_F(SimTest, ErrorsNameTheLineAndStopTheScript) {
  const ErrorCase cases[] = {
      {"frobnicate now\n", 1, "unknown command \"frobnicate\""},
      {"app com.a colour=#ffffff\n", 1, "app: unknown option colour="},
      {"app com.a loud\n", 1, "app: unknown option loud"},
      {"device 14.2\n", 1, "device: unexpected argument \"14.2\""},
      {"app com.a\npress com.a\n", 2, "press: boot first"},
      {"boot\nboot\n", 2, "boot: only before boot"},
      {"boot\napp com.a\n", 2, "app: only before boot"},
      {"app com.a\nboot\npick \"Clear Badge\"\n", 3, "pick: no menu is open"},
      {"app com.a\nboot\npress com.b\n", 3, "press: no icon com.b on the home screen"},
      {"app com.a\nboot\nfront com.b\n", 3, "front: no app com.b"},
      {"app com.a badge=3x\n", 1, "app: bad badge number \"3x\""},
      {"app com.a color=blue\n", 1, "app: bad colour \"blue\""},
      {"app com.a\napp com.a\n", 2, "app: com.a is already installed"},
      {"folder\n", 1, "folder: missing argument"},
      {"boot\nauth maybe\n", 2, "auth: \"maybe\" is not one of"},
      {"app com.a name=\"Mail\n", 1, "unterminated quote"},
  };
  for (const ErrorCase& c : cases) {
    SCOPED_TRACE(c.script);
    SimRun run = runScript(std::string(c.script) + "file /var/mobile/after.txt reached\n");
    EXPECT_EQ(run.status, 1);
    std::string expected = "quorvel-sim: line " + std::to_string(c.line) + ": " + c.message;
    EXPECT_EQ(run.err.find(expected), 0u) << run.err;
    EXPECT_FALSE(std::filesystem::exists(real("/var/mobile/after.txt")));
  }
}

TEST_F(SimTest, AFailedSettingLineWritesNothing) {
  for (const char* line : {"setting hideBadges true junk\n", "setting hideBadges \"true\n",
                           "setting \"\" true\n", "setting hideBadges\n"}) {
    SCOPED_TRACE(line);
    SimRun run = runScript(line);
    EXPECT_EQ(run.status, 1);
    EXPECT_FALSE(std::filesystem::exists(real(kSettingsFile)));
  }
  SimRun written = runScript("setting hideBadges true\n");
  EXPECT_EQ(written.status, 0) << written.err;
  EXPECT_TRUE(std::filesystem::exists(real(kSettingsFile)));
}

TEST_F(SimTest, JsonModeReportsTheFailureAsAnObject) {
  SimRun run = runScript("app com.a\nboot\npick \"Nothing\"\n", {"--json"});
  EXPECT_EQ(run.status, 1);
  std::vector<Json> out = jsonLines(run);
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[2]["line"].asNumber(), 3);
  EXPECT_EQ(out[2]["command"].asString(), "pick");
  EXPECT_FALSE(out[2]["ok"].asBool());
  EXPECT_EQ(out[2]["error"].asString(), "pick: no menu is open");
  EXPECT_NE(run.err.find("quorvel-sim: line 3: pick: no menu is open"), std::string::npos);
}

TEST_F(SimTest, BadCommandLinesExitWithStatusTwo) {
  const std::vector<std::vector<std::string>> commandLines = {
      {"--frobnicate"},
      {"--script"},
      {"--root", newRoot(), "extra"},
      {"--library", "/x.so", "--no-library", "--root", newRoot()},
      {"--json=yes", "--root", newRoot()},
      {"--script", dir_ + "/missing.txt", "--root", newRoot()},
  };
  for (const auto& args : commandLines) {
    SCOPED_TRACE(args.front());
    SimRun run = runSim(args, "", dir_);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.rfind("quorvel-sim: ", 0), 0u) << run.err;
    EXPECT_TRUE(run.out.empty());
  }
}

}  // namespace
}  // namespace qv::testing
