// Pointer authentication bites: the arm64e slice built with a block's invoke, or a hook's slot,
// signed with a discriminator the system does not expect crashes the emulated home screen
// where a phone's would crash, while the real slice runs the same steps through.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace qv::testing {
namespace {

namespace fs = std::filesystem;

struct Proof {
  const char* dylib;  // under the device build
  const char* why;
};

void PrintTo(const Proof& p, std::ostream* out) { *out << p.dylib; }

// Runs quorvel-sim on an arm64e device with `dylib` through a lock and an authenticated unlock
// (hooks call their previous implementations; the reply is a block the host invokes); the
// wait status.
int runLockAndUnlock(const std::string& dylib) {
  char tmpl[] = "/tmp/quorvel-pac-XXXXXX";
  if (!mkdtemp(tmpl)) return -1;
  fs::path work = tmpl;
  std::ofstream(work / "script.txt") << "device os=14.2 cpu=arm64e\n"
                                        "app com.example.mail\napp com.example.bank\nboot\n"
                                        "press com.example.bank\npick \"App Lock\"\n"
                                        "front com.example.bank\nauth success\n";
  std::string command = "'" + std::string(QV_SIM_PATH) + "' --library '" + dylib + "' --root '" +
                        (work / "root").string() + "' --script '" + (work / "script.txt").string() +
                        "' >/dev/null 2>&1";
  int status = std::system(command.c_str());
  std::error_code ec;
  fs::remove_all(work, ec);
  return status;
}

class AuthenticationBites : public ::testing::TestWithParam<Proof> {};

TEST_P(AuthenticationBites, AWrongDiscriminatorCrashesTheHomeScreen) {
  int status = runLockAndUnlock(std::string(QV_DEVICE_DIR) + "/proofs/" + GetParam().dylib);
  // qemu reports a guest's fatal signal by dying of it (or exiting with 128 + it).
  int signal = WIFSIGNALED(status) ? WTERMSIG(status)
               : WIFEXITED(status) ? WEXITSTATUS(status) - 128
                                   : 0;
  EXPECT_TRUE(signal == SIGSEGV || signal == SIGBUS || signal == SIGILL)
      << GetParam().why << ": wait status " << status;
}

TEST(AuthenticationBites, TheRealSliceRunsTheSameSteps) {
  int status = runLockAndUnlock(std::string(QV_DEVICE_DIR) + "/Quorvel.dylib");
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "wait status " << status;
}

INSTANTIATE_TEST_SUITE_P(
    Proofs, AuthenticationBites,
    ::testing::Values(Proof{"wrong-block-discriminator.dylib",
                            "the reply block's invoke fails authentication when the host calls it"},
                      Proof{"wrong-hook-discriminator.dylib",
                            "a hook's previous implementation fails authentication when called"}),
    [](const ::testing::TestParamInfo<Proof>& info) {
      return std::string(info.param.dylib).find("block") != std::string::npos ? "Block" : "Hook";
    });

}  // namespace
}  // namespace qv::testing
