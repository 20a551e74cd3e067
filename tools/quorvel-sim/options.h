// The command line of quorvel-sim.
#pragma once

#include <optional>
#include <string>

namespace qv::sim {

struct Options {
  enum class Mode {
    Demonstration,  // no arguments at all, or --demo
    Script,         // --script FILE (or -)
    Commands,       // other options, no script: a prompt on a terminal, else standard input
    Help,
  };
  Mode mode = Mode::Demonstration;
  std::string script;              // "-": standard input
  std::optional<std::string> os;   // set before the script runs
  std::optional<std::string> cpu;  // the device's processor, likewise
  std::string root;                // empty: a fresh folder under /tmp
  bool json = false;
  std::string libraryPath;  // empty: boot the host alone
  bool checkChanges = false;
  std::string dumpEach;  // --dump-each: a folder for the state after every command
};

// A command line that cannot be run; the tool exits with status 2.
struct UsageError {
  std::string message;
};

// Options take their value as the next argument or after '='. Throws UsageError.
Options parseOptions(int argc, const char* const* argv);

std::string usageText();

}  // namespace qv::sim
