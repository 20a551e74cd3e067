// What stands at a settings file's place. The settings are read and changed through
// CFPreferences (settings_domain.h); the file is only looked at, so that one this program
// cannot read is not replaced by a change without --force.
#pragma once

#include <string>

namespace qv::prefs {

struct FileCheck {
  enum class State {
    Missing,   // nothing there yet, or an empty file: nothing a write could lose
    Readable,  // a property list holding a dictionary
    Unusable,  // there, but not a dictionary this program can read; `problem` says why
  };
  State state = State::Missing;
  std::string problem;
  std::string realFile;  // where the file is on this computer, for messages
};

// Looks at the file at a device path.
FileCheck checkFile(const std::string& devicePath);

// Throws Failure when the file is unusable, unless `force`.
void requireUsable(const FileCheck& file, bool force, const std::string& what);

}  // namespace qv::prefs
