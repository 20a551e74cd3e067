// Follows the home screen from command to command, so that what a command changed is told from
// what the host's objects reported changing (its change journal) rather than from snapshots of
// the whole device: a command costs in proportion to what it touched.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "effects.h"
#include "observe/state_dump.h"
#include "springboard/home_screen.h"

namespace qv::sim {

class StateTracker {
 public:
  // Before a command: what changed since the last one (a setup command, work from another
  // process) is taken in without being told.
  void begin(host::HomeScreen& home);
  // After it: what it changed.
  StateChanges end(host::HomeScreen& home);

 private:
  // Every app and icon view, the first time.
  void start(host::HomeScreen& home);

  struct Icon {
    std::string identifier;
    host::IconEntry::Kind kind;
    size_t order = 0;  // place on the home screen when first seen
    host::IconLook look;
  };

  bool started_ = false;
  host::Json shared_;
  std::unordered_map<std::string, host::Json> apps_;
  std::unordered_map<id, Icon> icons_;
  size_t hostEvents_ = 0;
  uint64_t log_ = 0;
};

}  // namespace qv::sim
