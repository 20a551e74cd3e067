// quorvel-sim's commands on devices of 10, 100 and 1,000 apps, as a user drives it: each
// command written to the program and its JSON answer read back (what it changed included).
// The device root is made under $QV_BENCH_ROOT, else /tmp; $QV_BENCH_SIM runs another build of
// the program (an older one, to compare).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <map>
#include <memory>

#include "sim/sim_session.h"

namespace {

using qv::bench::SimSession;

std::string appName(long i) { return "com.example.app" + std::to_string(i); }

// The program's own processor time per iteration, as a counter next to the wall time (which
// includes the pipe and, on a busy machine, waiting for a processor).
class ProgramTime {
 public:
  ProgramTime(benchmark::State& state, const SimSession& sim)
      : state_(state), sim_(sim), start_(sim.cpuSeconds()) {}
  ~ProgramTime() {
    state_.counters["sim_cpu_us"] =
        benchmark::Counter((sim_.cpuSeconds() - start_) * 1e6, benchmark::Counter::kAvgIterations);
  }

 private:
  benchmark::State& state_;
  const SimSession& sim_;
  double start_;
};

// One simulator per device size, booted on first use and kept for every benchmark.
SimSession& device(long apps) {
  static std::map<long, std::unique_ptr<SimSession>> sessions;
  std::unique_ptr<SimSession>& session = sessions[apps];
  if (!session) {
    const char* folder = std::getenv("QV_BENCH_ROOT");
    session = std::make_unique<SimSession>(folder && *folder ? folder : "/tmp");
    session->run("device os=14.2");
    for (long i = 0; i < apps; i++) {
      session->run("app " + appName(i) + " name=\"App " + std::to_string(i) +
                   "\" badge=" + std::to_string(i % 5));
    }
    session->run("boot");
  }
  return *session;
}

// The apps pressed in turn: a few, spread over the device.
std::string nextApp(long apps, long& turn) { return appName((turn++ * 7) % apps); }

void BM_Press(benchmark::State& state) {
  SimSession& sim = device(state.range(0));
  ProgramTime time(state, sim);
  long turn = 0;
  for (auto _ : state) sim.run("press " + nextApp(state.range(0), turn));
}
BENCHMARK(BM_Press)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond)->UseRealTime();

// A pick that writes nothing: the app offloaded (again), through the system's installer.
void BM_PressPickOffload(benchmark::State& state) {
  SimSession& sim = device(state.range(0));
  ProgramTime time(state, sim);
  long turn = 0;
  for (auto _ : state) {
    sim.run("press " + nextApp(state.range(0), turn));
    sim.run("pick \"Offload App\"");
  }
}
BENCHMARK(BM_PressPickOffload)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

// A pick that writes the settings file (the app's notifications turned off or on again) and
// reads and writes the notification sections of every app.
void BM_PressPickNotifications(benchmark::State& state) {
  SimSession& sim = device(state.range(0));
  ProgramTime time(state, sim);
  long turn = 0;
  for (auto _ : state) {
    sim.run("press " + nextApp(state.range(0), turn));
    sim.run("pick \"Notifications\"");
  }
}
BENCHMARK(BM_PressPickNotifications)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

// Lock and unlock: press, pick "App Lock" (written, icons dimmed), press, pick "App Lock" (a
// prompt), and the prompt answered (written again, icons restored).
void BM_AppLockAndUnlock(benchmark::State& state) {
  SimSession& sim = device(state.range(0));
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
BENCHMARK(BM_AppLockAndUnlock)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

// Every icon laid out again: inherently in proportion to the icons.
void BM_Layout(benchmark::State& state) {
  SimSession& sim = device(state.range(0));
  ProgramTime time(state, sim);
  for (auto _ : state) sim.run("layout");
}
BENCHMARK(BM_Layout)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
