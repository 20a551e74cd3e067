// ctest-labels: threads
// The preferences daemon killed with SIGKILL again and again while a writer changes a domain
// that holds 1,000 locked apps: the file is always a whole property list, holding the value of
// the last acknowledged change or of the one in flight, and every acknowledged change is there
// after the next daemon starts.
#include <random>

#include "prefsd/daemon_fixture.h"

namespace qv::testing {
namespace {

using DaemonKilled = DaemonTest;

// The daemon serving the root, when it is a child of this process (a pid read from the lock
// file could be stale; only our own unreaped children cannot have been reused).
pid_t ourDaemon() {
  std::ifstream lock(host::prefsd::daemonPaths().lock);
  pid_t pid = 0;
  lock >> pid;
  if (pid <= 0) return 0;
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), {});
  size_t close = text.rfind(')');
  if (close == std::string::npos) return 0;
  std::istringstream rest(text.substr(close + 2));
  char state;
  pid_t parent = 0;
  rest >> state >> parent;
  return parent == getpid() && state != 'Z' ? pid : 0;
}

TEST_F(DaemonKilled, NoAcknowledgedChangeIsLostAndTheFileIsAlwaysWhole) {
  {
    AutoreleasePool pool;
    std::vector<id> apps;
    for (int i = 0; i < 1000; i++)
      apps.push_back(host::makeString("com.example.app" + std::to_string(i)));
    ASSERT_TRUE(host::writePropertyListFile(
        host::preferencesFilePath(kDomain),
        host::makeDictionary({{host::makeString("lockedApps"), host::makeArray(apps)},
                              {host::makeString("counter"), host::makeInteger(0)}}),
        true));
  }
  constexpr long kWrites = 300;
  std::atomic<long> acknowledged{0};
  std::atomic<int> failures{0};
  std::thread writer([&] {
    for (long i = 1; i <= kWrites; i++) {
      AutoreleasePool pool;
      if (host::setPreferenceValue(kDomain, "counter", host::makeInteger(i))) {
        acknowledged = i;
      } else {
        failures++;
      }
    }
  });
  std::mt19937 rng(7);
  int kills = 0;
  long before = 0;
  while (acknowledged < kWrites && failures == 0) {
    // Each daemon gets to acknowledge a write; the kill lands somewhere in the next one.
    while (acknowledged == before && acknowledged < kWrites && failures == 0) {
      std::this_thread::sleep_for(100us);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(rng() % 3000));
    before = acknowledged;
    pid_t daemon = ourDaemon();
    if (daemon <= 0 || kill(daemon, SIGKILL) != 0) continue;
    kills++;
    AutoreleasePool pool;
    id file = host::readPropertyListFile(host::preferencesFilePath(kDomain));
    if (!host::isDictionary(file)) {
      ADD_FAILURE() << "after kill " << kills << ": the file is not whole";
      break;  // the writer is still joined below
    }
    EXPECT_EQ(host::arrayItems(host::dictionaryGet(file, "lockedApps")).size(), 1000u);
    long onDisk =
        msgSend<long long>(host::dictionaryGet(file, "counter"), SELECTOR("longLongValue"));
    EXPECT_GE(onDisk, before);
    EXPECT_LE(onDisk, acknowledged + 1);
  }
  writer.join();
  EXPECT_EQ(failures, 0);
  EXPECT_GE(kills, 10);
  ASSERT_GT(host::prefsd::restartDaemon(), 0);
  AutoreleasePool pool;
  Strong values = Strong::adopt(const_cast<id>(CFPreferencesCopyMultiple(
      nullptr, host::makeString(kDomain), kCFPreferencesCurrentUser, kCFPreferencesAnyHost)));
  EXPECT_EQ(
      msgSend<long long>(host::dictionaryGet(values.get(), "counter"), SELECTOR("longLongValue")),
      kWrites);
  EXPECT_EQ(host::arrayItems(host::dictionaryGet(values.get(), "lockedApps")).size(), 1000u);
  // No temporary file of a write cut short is left behind.
  std::vector<std::string> names;
  for (const auto& e :
       std::filesystem::directory_iterator(host::realPath("/var/jb/vmo/Library/Preferences"))) {
    names.push_back(e.path().filename().string());
  }
  EXPECT_EQ(names, std::vector<std::string>{"com.vantrelo88.quorvel.plist"}) << names.size();
}

}  // namespace
}  // namespace qv::testing
