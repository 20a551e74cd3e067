// What a command changed, told as one short line per visible change.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "springboard/json.h"

namespace qv::sim {

// One app's or icon view's state (as in the dump) before and after a command; null where it
// was not there (an icon removed).
struct EntityChange {
  std::string id;
  host::Json before, after;
};

struct StateChanges {
  host::Json before, after;                  // sharedState()
  std::vector<EntityChange> apps, icons;     // those that may have changed, in home-screen order
  std::vector<std::string> hostEvents, log;  // the new entries
  uint64_t logDropped = 0;                   // new log lines the system log no longer keeps
};

// One short line per visible change (menu, alert, pasteboard, apps, icons, settings, switcher,
// prompts, host events, log lines); empty when nothing visible changed.
std::vector<std::string> describeChanges(const StateChanges& changes);

// The changes between two whole dumps, every app and icon compared.
StateChanges changesBetween(const host::Json& before, const host::Json& after);

}  // namespace qv::sim
