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

// One value of the library's state, as it reports it: a setting (`kind` 's', a switch read 1 or
// 0, or 'n', a number) or a state flag ('f', 1 or 0).
struct LibraryStateValue {
  std::string name;
  char kind;
  double value;
};
// The library's whole state in its own order; empty without the library.
std::vector<LibraryStateValue> libraryState();

// The hooks the library skipped because the OS lacks their class, as "-[Class sel] skipped: no
// class Class", in installation order.
std::vector<std::string> librarySkippedHooks();

// The entries of one of the library's hook tables ("all", "12" ... "16") as "-[Class sel]", in
// table order; empty without the library.
std::vector<std::string> libraryHookTable(const char* family);

// What the library notes of the device: a subject and a detail.
struct LibraryNote {
  std::string subject;
  std::string detail;
};
// Each class it looked up by name and found in no loaded image, and what goes without it.
std::vector<LibraryNote> libraryMissingClasses();
// Each way in that App Lock cannot guard on this OS, and why what it guards holds regardless.
std::vector<LibraryNote> libraryUnguarded();

}  // namespace qv::host
