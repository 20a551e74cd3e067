// quorvel-sim's commands on devices of 10, 100 and 1,000 apps, as a user drives it: each
// command written to the program and its JSON answer read back (what it changed included).
// Every benchmark runs with the device root on the disk ($QV_BENCH_ROOT, else /var/tmp) and
// in memory (/dev/shm), since most of a command's file work is system time, which differs
// between the two. $QV_BENCH_SIM runs another build of the program (an older one, to compare).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <utility>

#include "sim/sim_session.h"

namespace {

using qv::bench::SimSession;

std::string appName(long i) { return "com.example.app" + std::to_string(i); }

// The program's own processor time per iteration, user and system, as counters next to the
// wall time (which includes the pipe and, on a busy machine, waiting for a processor).
class ProgramTime {
 public:
  ProgramTime(benchmark::State& state, const SimSession& sim)
      : state_(state), sim_(sim), start_(sim.cpuTime()) {}
  ~ProgramTime() {
    SimSession::CpuTime now = sim_.cpuTime();
    auto perIteration = [](double seconds) {
      return benchmark::Counter(seconds * 1e6, benchmark::Counter::kAvgIterations);
    };
    state_.counters["sim_user_us"] = perIteration(now.user - start_.user);
    state_.counters["sim_sys_us"] = perIteration(now.system - start_.system);
  }

 private:
  benchmark::State& state_;
  const SimSession& sim_;
  SimSession::CpuTime start_;
};

// Where the device root lives: the second argument of every benchmark.
enum Storage : long { kDisk = 0, kMemory = 1 };

std::string storageFolder(long storage) {
  if (storage == kMemory) return "/dev/shm";
  const char* folder = std::getenv("QV_BENCH_ROOT");
  return folder && *folder ? folder : "/var/tmp";
}

// One simulator per device size and storage, booted on first use and kept for every benchmark.
SimSession& device(const benchmark::State& state) {
  long apps = state.range(0);
  static std::map<std::pair<long, long>, std::unique_ptr<SimSession>> sessions;
  std::unique_ptr<SimSession>& session = sessions[{apps, state.range(1)}];
  if (!session) {
    session = std::make_unique<SimSession>(storageFolder(state.range(1)));
    session->run("device os=14.2");
    for (long i = 0; i < apps; i++) {
      session->run("app " + appName(i) + " name=\"App " + std::to_string(i) +
                   "\" badge=" + std::to_string(i % 5));
    }
    session->run("boot");
  }
  return *session;
}

// 10, 100 and 1,000 apps, each on the disk and in memory.
void devices(benchmark::internal::Benchmark* b) {
  b->ArgNames({"apps", "memory"})
      ->ArgsProduct({{10, 100, 1000}, {kDisk, kMemory}})
      ->Unit(benchmark::kMicrosecond)
      ->UseRealTime();
}

// The apps pressed in turn: a few, spread over the device.
std::string nextApp(long apps, long& turn) { return appName((turn++ * 7) % apps); }

void BM_Press(benchmark::State& state) {
  SimSession& sim = device(state);
  ProgramTime time(state, sim);
  long turn = 0;
  for (auto _ : state) sim.run("press " + nextApp(state.range(0), turn));
}
BENCHMARK(BM_Press)->Apply(devices);

// A pick that writes nothing: the app offloaded (again), through the system's installer.
void BM_PressPickOffload(benchmark::State& state) {
  SimSession& sim = device(state);
  ProgramTime time(state, sim);
  long turn = 0;
  for (auto _ : state) {
    sim.run("press " + nextApp(state.range(0), turn));
    sim.run("pick \"Offload App\"");
  }
}
BENCHMARK(BM_PressPickOffload)->Apply(devices);

// What a user does most: a pick that copies the bundle identifier, then one that offloads
// another app, each on an app not yet offloaded where the device has that many.
void BM_PressPickCopyThenOffload(benchmark::State& state) {
  SimSession& sim = device(state);
  ProgramTime time(state, sim);
  long turn = 0;
  for (auto _ : state) {
    sim.run("press " + nextApp(state.range(0), turn));
    sim.run("pick \"Bundle Identifier\"");
    sim.run("press " + nextApp(state.range(0), turn));
    sim.run("pick \"Offload App\"");
  }
}
BENCHMARK(BM_PressPickCopyThenOffload)->Apply(devices);

// A pick that writes the settings file (the app's notifications turned off or on again) and
// reads and writes the notification sections of every app.
void BM_PressPickNotifications(benchmark::State& state) {
  SimSession& sim = device(state);
  ProgramTime time(state, sim);
  long turn = 0;
  for (auto _ : state) {
    sim.run("press " + nextApp(state.range(0), turn));
    sim.run("pick \"Notifications\"");
  }
}
BENCHMARK(BM_PressPickNotifications)->Apply(devices);

// Lock and unlock: press, pick "App Lock" (written, icons dimmed), press, pick "App Lock" (a
// prompt), and the prompt answered (written again, icons restored).
void BM_AppLockAndUnlock(benchmark::State& state) {
  SimSession& sim = device(state);
  ProgramTime time(state, sim);
  long turn = 0;
  for (auto _ : state) {
    std::string app = nextApp(state.range(0), turn);
    sim.run("press " + app);
    sim.run("pick \"App Lock\"");
    sim.run("press " + app);
    sim.run("pick \"App Lock\"");
    sim.run("auth success");
  }
}
BENCHMARK(BM_AppLockAndUnlock)->Apply(devices);

// Every icon laid out again: inherently in proportion to the icons.
void BM_Layout(benchmark::State& state) {
  SimSession& sim = device(state);
  ProgramTime time(state, sim);
  for (auto _ : state) sim.run("layout");
}
BENCHMARK(BM_Layout)->Apply(devices);

}  // namespace
