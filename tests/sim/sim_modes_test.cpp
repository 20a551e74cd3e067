#include "sim_fixture.h"

namespace qv::testing {
namespace {

TEST_F(SimTest, TheDemonstrationTellsTheStoryAndWritesItsPictures) {
  // The pictures go to a folder in the current one.
  ASSERT_EQ(chdir(dir_.c_str()), 0);
  SimRun run = runSim({}, "", dir_);
  EXPECT_EQ(run.status, 0) << run.err;
  std::vector<std::string> lines = run.outLines();
  auto has = [&](const std::string& text) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& l) { return l.find(text) != std::string::npos; });
  };
  EXPECT_TRUE(has("booted OS 14.2 (family 14), 14 icons, no library"));
  EXPECT_TRUE(has("booted OS 13.5 (family 13)"));
  EXPECT_TRUE(has("booted OS 12.4 (family 12)"));
  EXPECT_TRUE(has("com.example.mail: badge 3 -> none"));
  EXPECT_TRUE(has("com.example.mail: container files"));
  EXPECT_TRUE(has("pasteboard: \"com.example.mail\""));
  EXPECT_TRUE(has("icon com.example.bank: image alpha 1 -> 0.6"));
  EXPECT_TRUE(has("switcher card com.example.bank: filters gaussianBlur"));
  std::filesystem::path pictures = std::filesystem::path(dir_) / "quorvel-demo";
  size_t count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(pictures)) {
    EXPECT_EQ(entry.path().extension(), ".png");
    EXPECT_GT(entry.file_size(), 1000u);
    count++;
  }
  EXPECT_EQ(count, 13u);
}

TEST_F(SimTest, CommandsFromStandardInput) {
  std::string commands = write("commands.txt", "app com.a badge=1\nboot\ndump\n");
  // Without --script and not on a terminal: standard input, like a script.
  SimRun piped = runSim({"--root", newRoot(), "--json"}, commands, dir_);
  EXPECT_EQ(piped.status, 0) << piped.err;
  // --script - reads standard input too.
  SimRun dash = runSim({"--root", newRoot(), "--json", "--script", "-"}, commands, dir_);
  EXPECT_EQ(dash.status, 0) << dash.err;
  for (const SimRun* run : {&piped, &dash}) {
    std::vector<Json> out = jsonLines(*run);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[2]["state"]["apps"]["com.a"]["badge"].asNumber(), 1);
  }
}

TEST_F(SimTest, HelpListsTheOptionsAndTheCommands) {
  SimRun usage = runSim({"--help"}, "", dir_);
  EXPECT_EQ(usage.status, 0);
  for (const char* option : {"--script", "--os", "--root", "--json", "--library", "--no-library"}) {
    EXPECT_NE(usage.out.find(option), std::string::npos) << option;
  }
  SimRun help = runScript("help\n", {"--json"});
  ASSERT_EQ(help.status, 0) << help.err;
  std::vector<Json> out = jsonLines(help);
  ASSERT_EQ(out.size(), 1u);
  std::string all;
  for (const Json& usageLine : out[0]["commands"].items()) all += usageLine.asString() + "\n";
  for (const char* command :
       {"device [os=VERSION] [cpu=", "app ID", "search-activity ID", "auth success", "dump"}) {
    EXPECT_NE(all.find(command), std::string::npos) << command;
  }
}

}  // namespace
}  // namespace qv::testing
