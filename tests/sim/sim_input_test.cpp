// What quorvel-sim accepts as input: storable text only, colour words, clear messages for
// what it cannot use, and output that is always valid JSON.
#include <fcntl.h>
#include <unistd.h>

#include "sim_fixture.h"

namespace qv::testing {
namespace {

// Identifiers and texts end up in strings, property lists and JSON; bytes that are not UTF-8
// and NUL bytes are refused at the command, before anything changes.
TEST_F(SimTest, TextThatCannotBeStoredIsRefusedAtTheCommand) {
  struct Case {
    std::string line;
    std::string message;  // the start of what is reported
  };
  const std::string nul("com.exa\0mple.mail", 17);
  const Case cases[] = {
      {"app " + nul, "app: the argument \"com.exa\\0mple.mail\" holds a NUL byte"},
      {"app com.caf\xe9", "app: the argument \"com.caf\\xe9\" is not UTF-8 text"},
      {"app com.a name=\"M\xffil\"", "app: name= \"M\\xffil\" is not UTF-8 text"},
      {"app com.a shortcuts=\"A," + std::string("B\0", 2) + "\"", "app: shortcuts= \"A,B\\0\""},
      {"widget \xc3", "widget: the argument \"\\xc3\" is not UTF-8 text"},
      {"raw-setting key \"caf\xe9\"", "raw-setting: the argument \"caf\\xe9\" is not UTF-8"},
      {"device os=14.\x80", "device: os= \"14.\\x80\" is not UTF-8 text"},
      {"say \"" + std::string("a\0b", 3) + "\"", "say: the argument \"a\\0b\" holds a NUL byte"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    SimRun run = runScript(c.line + "\nfile /var/mobile/after.txt reached\n", {"--json"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.find("quorvel-sim: line 1: " + c.message), 0u) << run.err;
    // The error object is valid JSON and names the problem with the bytes escaped.
    std::vector<Json> out = jsonLines(run);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_FALSE(out[0]["ok"].asBool());
    EXPECT_EQ(out[0]["error"].asString().find(c.message), 0u);
    EXPECT_FALSE(std::filesystem::exists(real("/var/mobile/after.txt")));
    EXPECT_FALSE(std::filesystem::exists(real(kSettingsFile)));
  }
}

// Raw bytes are what `file` is for: its content is written as it stands (its path is text).
TEST_F(SimTest, FileContentIsWrittenByteForByte) {
  const std::string bytes = std::string("\xff\xfe", 2) + std::string("x\0y", 3);
  SimRun run = runScript("file /var/mobile/raw.bin \"" + bytes + "\"\n");
  ASSERT_EQ(run.status, 0) << run.err;
  std::ifstream in(real("/var/mobile/raw.bin"), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), bytes);
  SimRun badPath = runScript("file /var/mobile/\xff.bin x\n");
  EXPECT_EQ(badPath.status, 1);
  EXPECT_NE(badPath.err.find("file: the argument \"/var/mobile/\\xff.bin\" is not UTF-8"),
            std::string::npos)
      << badPath.err;
}

// `file` writes through the host's file layer: a link resolves as the device sees it, inside the
// device root, never to the computer's own folders.
TEST_F(SimTest, FileFollowsLinksInsideTheDeviceRoot) {
  root_ = newRoot();
  std::filesystem::create_directories(root_ + "/var/mobile");
  const std::string outside = dir_ + "/outside";  // a folder of this computer
  std::filesystem::create_directories(outside);
  std::filesystem::create_directory_symlink(outside, root_ + "/var/mobile/link");
  SimRun run = runSim({"--root", root_, "--script", write("s.txt", "file /var/mobile/link/f x\n")},
                      "", dir_);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_FALSE(std::filesystem::exists(outside + "/f"));
  std::ifstream in(root_ + outside + "/f");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "x");
}

// An unknown command made of bad bytes is still reported as valid JSON.
TEST_F(SimTest, JsonOutputStaysValidWhateverTheInput) {
  SimRun run = runScript(std::string("fr\xffob\n"), {"--json"});
  EXPECT_EQ(run.status, 1);
  std::vector<Json> out = jsonLines(run);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0]["command"].asString(), "fr\\xffob");
  EXPECT_EQ(out[0]["error"].asString(), "unknown command \"fr\\xffob\" (try help)");
}

// #RRGGBB:ALPHA is a colour word, not a comment; where a comment did swallow an argument, the
// message says so.
TEST_F(SimTest, ColourWordsWithAlphaAndCommentsThatTakeAnArgument) {
  SimRun colour = runScript("static-color #00ff00:0.5\nboot\ndump\n", {"--json"});
  ASSERT_EQ(colour.status, 0) << colour.err;
  std::vector<Json> out = jsonLines(colour);
  ASSERT_EQ(out.size(), 3u);
  const Json& c = out[2]["state"]["staticColor"];
  EXPECT_EQ(c["green"].asNumber(), 1);
  EXPECT_EQ(c["alpha"].asNumber(), 0.5);

  SimRun comment = runScript("static-color #0f0 # green\n");
  EXPECT_EQ(comment.status, 1);
  EXPECT_EQ(comment.err.find("quorvel-sim: line 1: static-color: missing argument; \"#0f0 # "
                             "green\" was read as a comment (quote a word that starts with #)"),
            0u)
      << comment.err;
}

TEST_F(SimTest, ARootThatIsNotAFolderSaysWhy) {
  std::string file = write("plain.txt", "not a folder");
  SimRun run = runSim({"--root", file, "--script", "-"}, "", dir_);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(
      run.err.rfind(
          "quorvel-sim: cannot use " + file + " as the device root: it is a file, not a folder", 0),
      0u)
      << run.err;
  SimRun below = runSim({"--root", file + "/inside", "--script", "-"}, "", dir_);
  EXPECT_EQ(below.status, 2);
  EXPECT_NE(below.err.find(": " + file + " is a file, not a folder"), std::string::npos)
      << below.err;
}

}  // namespace
}  // namespace qv::testing
