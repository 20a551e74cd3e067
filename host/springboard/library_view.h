// What the host can see of the loaded library: its exported variables and its diagnostics.
#pragma once

#include <optional>
#include <string>

#include "platform/objc.h"

namespace qv::host {

// The value of an exported object variable ("defaults", "bundleID", "staticColor"); nil when
// the library is not loaded.
id libraryObject(const char* name);

// A settings key or state flag as the library holds it; nothing without the library.
std::optional<double> libraryValue(const std::string& name);

}  // namespace qv::host
