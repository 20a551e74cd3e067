#include "sim_fixture.h"

namespace qv::testing {
namespace {

TEST_F(SimTest, DemonstrationPressesAnIconOfTheDefaultDevice) {
  SimRun run = runSim({}, "", dir_);
  // The demonstration's device root is kept and named on standard error.
  const std::string prefix = "quorvel-sim: device root ";
  size_t at = run.err.find(prefix);
  ASSERT_NE(at, std::string::npos) << run.err;
  std::string root = run.err.substr(at + prefix.size());
  root = root.substr(0, root.find('\n'));
  ASSERT_EQ(root.rfind("/tmp/quorvel-sim-", 0), 0u) << root;
  EXPECT_TRUE(std::filesystem::is_directory(root));
  std::error_code ec;
  std::filesystem::remove_all(root, ec);

  EXPECT_EQ(run.status, 0) << run.err;
  std::vector<std::string> lines = run.outLines();
  auto has = [&](const std::string& start) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& l) { return l.rfind(start, 0) == 0; });
  };
  EXPECT_TRUE(has("booted OS 14.2 (family 14), 14 icons, library loaded"));
  EXPECT_TRUE(has("menu for com.example.mail ("));
  EXPECT_TRUE(has("  Clear Badge"));  // Mail has a badge on the default device
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
    std::vector<host::Json> out = jsonLines(*run);
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
  std::vector<host::Json> out = jsonLines(help);
  ASSERT_EQ(out.size(), 1u);
  std::string all;
  for (const host::Json& usageLine : out[0]["commands"].items()) all += usageLine.asString() + "\n";
  for (const char* command :
       {"device os=", "app ID", "search-activity ID", "auth success", "dump"}) {
    EXPECT_NE(all.find(command), std::string::npos) << command;
  }
}

}  // namespace
}  // namespace qv::testing
