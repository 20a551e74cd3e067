// What a command changed, told from the state dumps taken before and after it.
#pragma once

#include <string>
#include <vector>

#include "springboard/json.h"

namespace qv::sim {

// One short line per visible change (menu, alert, pasteboard, apps, icons, settings, switcher,
// prompts, host events, log lines); empty when nothing visible changed.
std::vector<std::string> describeChanges(const host::Json& before, const host::Json& after);

}  // namespace qv::sim
