// A test program run whole by hand: each selected test runs in a process of its own, as under
// CTest, since a booted home screen and the library's hooks cannot be undone within a process.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

#include "support/scenario.h"

namespace qv::testing {
namespace {

struct Outcome {
  int status = -1;
  std::string output;
};

// This program again with these arguments, as a user would run it by hand, or as one process
// for every test it selects (`oneProcess`, what the program does under CTest).
Outcome runThisProgram(const std::string& arguments, bool oneProcess = false) {
  std::string command =
      std::string(oneProcess ? "env QV_TEST_ONE_PROCESS=1 " : "env -u QV_TEST_ONE_PROCESS ") +
      std::filesystem::read_symlink("/proc/self/exe").string() + " " + arguments + " 2>&1";
  Outcome out;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return out;
  std::array<char, 4096> buffer;
  while (size_t n = fread(buffer.data(), 1, buffer.size(), pipe)) {
    out.output.append(buffer.data(), n);
  }
  int status = pclose(pipe);
  out.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return out;
}

constexpr const char* kBothBoots =
    "--gtest_also_run_disabled_tests --gtest_filter='WholeProgram.DISABLED_Boots*'";

// Two home screens booted with the library, one after the other; the second could not boot in
// the process of the first.
class WholeProgram : public Scenario {
 protected:
  void bootAndOpenAMenu() {
    device("14.2");
    app("com.example.mail");
    boot();
    home().press("com.example.mail");
    EXPECT_FALSE(dump()["menu"].isNull());
  }
};

TEST_F(WholeProgram, DISABLED_BootsAHomeScreen) { bootAndOpenAMenu(); }
TEST_F(WholeProgram, DISABLED_BootsAnotherHomeScreen) { bootAndOpenAMenu(); }
TEST_F(WholeProgram, DISABLED_Fails) { ADD_FAILURE() << "this test fails on purpose"; }

TEST(WholeProgramRun, SeveralTestsEachRunInAProcessOfTheirOwnAndPass) {
  Outcome run = runThisProgram(kBothBoots);
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("2 tests ran, each in its own process."), std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("[  PASSED  ] 2 tests."), std::string::npos) << run.output;
}

TEST(WholeProgramRun, AFailingTestFailsTheRunAndIsNamed) {
  Outcome run = runThisProgram(
      "--gtest_also_run_disabled_tests "
      "--gtest_filter='WholeProgram.DISABLED_BootsAHomeScreen:WholeProgram.DISABLED_Fails'");
  EXPECT_EQ(run.status, 1) << run.output;
  EXPECT_NE(run.output.find("[  FAILED  ] WholeProgram.DISABLED_Fails\n"), std::string::npos)
      << run.output;
  EXPECT_EQ(run.output.find("[  FAILED  ] WholeProgram.DISABLED_BootsAHomeScreen"),
            std::string::npos)
      << run.output;
}

// Both in one process, as the program would run them without splitting: the second boot fails,
// which is why it splits.
TEST(WholeProgramRun, InOneProcessTheSecondHomeScreenCannotBoot) {
  Outcome together = runThisProgram(kBothBoots, true);
  EXPECT_EQ(together.status, 1) << together.output;
  EXPECT_NE(together.output.find("[  PASSED  ] 1 test."), std::string::npos) << together.output;
}

}  // namespace
}  // namespace qv::testing
