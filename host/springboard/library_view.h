// What the host can see of the loaded library: its exported variables and its diagnostics.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/objc.h"

namespace qv::host {

// The value of an exported object variable ("defaults", "bundleID", "staticColor"); nil when
// the library is not loaded.
id libraryObject(const char* name);

// A settings key or state flag as the library holds it; nothing without the library.
std::optional<double> libraryValue(const std::string& name);

// The hooks the library skipped because the OS lacks their class, as "-[Class sel] skipped: no
// class Class", in installation order.
std::vector<std::string> librarySkippedHooks();

// A class the library looked up by name and found in no loaded image, and what goes without it.
struct MissingClass {
  std::string name;
  std::string whatNeedsIt;
};
std::vector<MissingClass> libraryMissingClasses();

// A way in that App Lock cannot guard on this OS, and why what it guards holds regardless.
struct Unguarded {
  std::string what;
  std::string why;
};
std::vector<Unguarded> libraryUnguarded();

}  // namespace qv::host
