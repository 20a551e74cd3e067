// Running the quorvel-sim program as a child process, as a user would.
#pragma once

#include <string>
#include <vector>

namespace qv::testing {

struct SimRun {
  int status = -1;  // exit status; 128 + N when killed by signal N
  std::string out;
  std::string err;
  // Standard output split into lines.
  std::vector<std::string> outLines() const;
};

// Runs quorvel-sim with `args`, standard input read from `stdinFile` ("" for /dev/null) and
// the output streams captured through files in `workDir`.
SimRun runSim(const std::vector<std::string>& args, const std::string& stdinFile,
              const std::string& workDir);

}  // namespace qv::testing
