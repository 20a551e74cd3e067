// A quorvel-sim process on a device of its own, fed commands through a pipe as a script on
// standard input, answering each with one JSON line.
#pragma once

#include <sys/types.h>

#include <string>

namespace qv::bench {

class SimSession {
 public:
  // Starts quorvel-sim --json --script - with a new device root under `folder` ($QV_BENCH_SIM
  // names another build of the program to run instead).
  explicit SimSession(const std::string& folder);
  ~SimSession();
  SimSession(const SimSession&) = delete;
  SimSession& operator=(const SimSession&) = delete;

  // Sends one command line and returns its answer; aborts when the command fails.
  std::string run(const std::string& command);

  // The processor time the program has used so far, in seconds, to the kernel's tick: its own
  // cost, whatever else the machine is doing.
  struct CpuTime {
    double user = 0;
    double system = 0;
  };
  CpuTime cpuTime() const;

 private:
  std::string readLine();

  std::string root_;
  pid_t pid_ = -1;
  int in_ = -1;   // the program's standard input
  int out_ = -1;  // its standard output
  std::string buffer_;
};

}  // namespace qv::bench
