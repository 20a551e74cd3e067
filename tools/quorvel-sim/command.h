// What a command handler is given and what it gives back.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "springboard/home_screen.h"
#include "springboard/json.h"
#include "state_tracker.h"
#include "tokenizer.h"

namespace qv::sim {

// The simulator's state around the home screen.
struct Session {
  host::HomeScreen& home;
  std::string libraryPath;        // loaded at boot; empty: the host alone
  std::filesystem::path baseDir;  // relative picture files are found from here
  StateTracker tracker = {};      // what each command changed
  // Each command's changes are also told from whole dumps taken around it, and a difference
  // is an error: a check of the simulator itself.
  bool checkChanges = false;
  // After each command of a booted home screen, the whole state is written to a file of its
  // own in this folder (NNN.json, by line number); empty: nothing is written.
  std::filesystem::path dumpEach = {};
  // The device's processor was given (--cpu, or a device line's cpu=); else boot takes the
  // one QUORVEL_CPU chooses for the device's OS.
  bool cpuGiven = false;
};

struct CommandEntry;

// One command line, its words sorted into arguments, options and flags.
struct Invocation {
  const CommandEntry* entry = nullptr;
  int line = 0;
  std::vector<Token> args;
  std::map<std::string, std::string> options;
  std::set<std::string> flags;

  const std::string& arg(size_t index) const { return args.at(index).text; }
  std::optional<std::string> option(const std::string& key) const {
    auto it = options.find(key);
    if (it == options.end()) return std::nullopt;
    return it->second;
  }
  bool flag(const std::string& name) const { return flags.count(name) != 0; }
};

// Text lines for a person, and members added to the command's JSON object.
struct CommandResult {
  std::vector<std::string> lines;
  host::Json fields = host::Json::object();
};

enum class Phase { Any, BeforeBoot, AfterBoot };

struct CommandEntry {
  const char* name;
  const char* usage;
  const char* summary;
  Phase phase;
  size_t minArgs;
  size_t maxArgs;
  std::vector<std::string> options;  // key=value words
  std::vector<std::string> flags;    // bare words
  // Checks every argument before changing anything; throws host::ScenarioError.
  CommandResult (*run)(Session& session, const Invocation& invocation);
  // The last argument is bytes to write as they are; every other word must be storable text
  // (UTF-8 without NUL).
  bool lastArgumentIsBytes = false;
};

}  // namespace qv::sim
