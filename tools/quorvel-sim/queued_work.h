// Work that reached the main queue while the session waited for a command.
#pragma once

#include <string>
#include <vector>

#include "command.h"

namespace qv::sim {

// Runs it (on the booted home screen, until things settle) and describes what changed, as the
// commands on the booted home screen do.
std::vector<std::string> runQueuedWork(Session& session);

}  // namespace qv::sim
