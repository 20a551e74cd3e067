// Choosing the folder that stands for the device's "/".
#pragma once

#include <string>

namespace qv::prefs {

// Makes `folder` (created if missing) the device root. Throws Failure when it is not a
// folder or cannot be created.
void useDeviceRoot(const std::string& folder);

}  // namespace qv::prefs
