// ctest-labels: threads
// The daemon as processes see it: one per device root, shared by every process on it, started
// on demand, replaced when it dies, reading a file only when it first needs it, and ending
// when it is no longer wanted so that test runs leave no processes behind.
#include <sys/file.h>

#include "daemon_fixture.h"

namespace qv::testing {
namespace {

using PreferencesDaemon = DaemonTest;

TEST_F(PreferencesDaemon, EveryProcessOnTheRootSharesOneDaemon) {
  ASSERT_TRUE(write("fromHere", "1"));
  pid_t daemon = host::prefsd::daemonPid();
  ASSERT_GT(daemon, 0);
  EXPECT_EQ(inAnotherProcess("pid"), std::to_string(daemon));
  EXPECT_EQ(inAnotherProcess("get fromHere"), "1");
  EXPECT_EQ(inAnotherProcess("set fromThere 2"), "ok");
  EXPECT_EQ(read("fromThere"), "2");
  // Seen through the daemon, not the file: an edit behind its back reaches no process.
  AutoreleasePool pool;
  ASSERT_TRUE(host::writePropertyListFile(host::preferencesFilePath(kDomain),
                                          host::makeDictionary({}), true));
  EXPECT_EQ(read("fromThere"), "2");
  EXPECT_EQ(inAnotherProcess("get fromHere"), "1");
}

TEST_F(PreferencesDaemon, EachRootHasItsOwnDaemon) {
  pid_t first = host::prefsd::daemonPid();
  ASSERT_TRUE(write("key", "first root"));
  char other[] = "/tmp/qv-prefsd-test-XXXXXX";
  ASSERT_NE(mkdtemp(other), nullptr);
  host::setDeviceRoot(other);
  std::filesystem::create_directories(host::realPath("/var/jb/vmo/Library/Preferences"));
  pid_t second = host::prefsd::daemonPid();
  EXPECT_GT(second, 0);
  EXPECT_NE(second, first);
  EXPECT_EQ(read("key"), "");
  host::setDeviceRoot(root_);
  EXPECT_EQ(host::prefsd::daemonPid(), first);
  EXPECT_EQ(read("key"), "first root");
  std::filesystem::remove_all(other);
}

TEST_F(PreferencesDaemon, ADaemonThatDiedIsReplacedAndKeepsEveryAcknowledgedChange) {
  for (int round = 0; round < 3; round++) {
    std::string value = "value " + std::to_string(round);
    ASSERT_TRUE(write("key", value));
    pid_t daemon = host::prefsd::daemonPid();
    ASSERT_GT(daemon, 0);
    ASSERT_EQ(kill(daemon, SIGKILL), 0);
    // The next call finds it gone, starts another and gets its answer.
    EXPECT_EQ(read("key"), value);
    pid_t next = host::prefsd::daemonPid();
    EXPECT_GT(next, 0);
    EXPECT_NE(next, daemon);
  }
}

TEST_F(PreferencesDaemon, ARestartReadsEveryFileAgain) {
  ASSERT_TRUE(write("key", "kept"));
  AutoreleasePool pool;
  ASSERT_TRUE(host::writePropertyListFile(
      host::preferencesFilePath(kDomain),
      host::makeDictionary({{host::makeString("key"), host::makeString("edited")}}), true));
  EXPECT_EQ(read("key"), "kept");
  host::prefsd::DaemonStatus before = host::prefsd::daemonStatus();
  EXPECT_EQ(before.domains, std::vector<std::string>{kDomain});
  pid_t after = host::prefsd::restartDaemon();
  EXPECT_GT(after, 0);
  EXPECT_NE(after, before.pid);
  EXPECT_FALSE(processExists(before.pid));  // ended and reaped
  EXPECT_TRUE(host::prefsd::daemonStatus().domains.empty());
  EXPECT_EQ(read("key"), "edited");
  // The daemon ended cleanly: nothing on its standard error (a sanitizer report would be).
  std::ifstream log(host::prefsd::daemonPaths().log);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(log), {}), "");
}

TEST_F(PreferencesDaemon, ItEndsWhenItsRootIsRemoved) {
  pid_t daemon = startDaemon({"--linger", "60000"});
  int fd = connectRaw();
  ASSERT_GE(fd, 0);
  std::filesystem::remove_all(root_);
  EXPECT_EQ(waitForChild(daemon, 5s), 0);
  close(fd);
}

TEST_F(PreferencesDaemon, ItEndsAfterItsLingerWithoutClients) {
  pid_t daemon = startDaemon({"--linger", "300"});
  int fd = connectRaw();
  ASSERT_GE(fd, 0);
  // A connected client keeps it.
  std::this_thread::sleep_for(900ms);
  EXPECT_EQ(waitForChild(daemon, 0ms), -1);
  close(fd);
  EXPECT_EQ(waitForChild(daemon, 5s), 0);
  // Its socket goes with it; the lock stays for the next one.
  EXPECT_FALSE(std::filesystem::exists(host::prefsd::daemonPaths().socket));
}

TEST_F(PreferencesDaemon, ItEndsOnTermination) {
  pid_t daemon = startDaemon({"--linger", "60000"});
  ASSERT_GE(connectRaw(), 0);
  kill(daemon, SIGTERM);
  EXPECT_EQ(waitForChild(daemon, 5s), 0);
}

TEST_F(PreferencesDaemon, ASecondDaemonLeavesTheRootToTheFirst) {
  pid_t first = startDaemon({"--linger", "60000"});
  int fd = connectRaw();
  ASSERT_GE(fd, 0);
  pid_t second = startDaemon();
  EXPECT_EQ(waitForChild(second, 5s), 0);
  EXPECT_EQ(waitForChild(first, 0ms), -1);
  EXPECT_EQ(host::prefsd::daemonPid(), first);
  // The lock file names the daemon that holds it.
  std::ifstream lock(host::prefsd::daemonPaths().lock);
  pid_t named = 0;
  lock >> named;
  EXPECT_EQ(named, first);
  close(fd);
}

TEST_F(PreferencesDaemon, WithoutAPlaceForItsSocketItStopsAtOnceAndReadsGiveNothing) {
  std::filesystem::remove_all(root_);
  std::filesystem::create_directories(root_);
  std::ofstream(root_ + "/var") << "a file where /var should be";
  pid_t daemon = startDaemon();
  EXPECT_EQ(waitForChild(daemon, 5s), 1);
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(host::prefsd::daemonPid(), 0);
  EXPECT_EQ(CFPreferencesCopyKeyList(host::makeString(kDomain), kCFPreferencesCurrentUser,
                                     kCFPreferencesAnyHost),
            nullptr);
  EXPECT_FALSE(write("key", "value"));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}

TEST_F(PreferencesDaemon, AProcessThatStartedItEndsItWhenLeavingAndReapsIt) {
  // The other process starts the daemon, reads, and exits: no daemon and no zombie remain.
  std::string pid = inAnotherProcess("pid");
  ASSERT_FALSE(pid.empty());
  pid_t daemon = std::stoi(pid);
  ASSERT_GT(daemon, 0);
  EXPECT_FALSE(processExists(daemon));
  // Nothing holds the root's lock any more.
  int lock = open(host::prefsd::daemonPaths().lock.c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_GE(lock, 0);
  EXPECT_EQ(flock(lock, LOCK_EX | LOCK_NB), 0);
  close(lock);
}

TEST_F(PreferencesDaemon, AFileIsReadAtItsFirstUseOnly) {
  AutoreleasePool pool;
  ASSERT_TRUE(host::writePropertyListFile(
      host::preferencesFilePath(kDomain),
      host::makeDictionary({{host::makeString("key"), host::makeString("at first use")}}), true));
  pid_t daemon = host::prefsd::daemonPid();
  EXPECT_TRUE(host::prefsd::daemonStatus().domains.empty());
  EXPECT_EQ(read("key"), "at first use");
  EXPECT_EQ(host::prefsd::daemonStatus().domains, std::vector<std::string>{kDomain});
  ASSERT_TRUE(host::writePropertyListFile(
      host::preferencesFilePath(kDomain),
      host::makeDictionary({{host::makeString("key"), host::makeString("later")}}), true));
  CFPreferencesAppSynchronize(host::makeString(kDomain));
  EXPECT_EQ(read("key"), "at first use");
  EXPECT_EQ(host::prefsd::daemonPid(), daemon);
}

}  // namespace
}  // namespace qv::testing
