// Running something on the booted home screen and telling what it changed.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "command.h"

namespace qv::sim {

// Runs `act` and describes what it changed, one line per change. Throws host::ScenarioError
// when the session checks its change tracking and the two tellings differ.
std::vector<std::string> runTracked(Session& session, const std::function<void()>& act);

}  // namespace qv::sim
