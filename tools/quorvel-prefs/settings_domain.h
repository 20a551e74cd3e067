// A preferences domain as the settings pane sees it: read and changed through CFPreferences,
// so that its owner, the preferences daemon, writes the file and keeps every other process's
// changes (the library's app lists, the wallpaper colour).
#pragma once

#include <string>
#include <vector>

#include "platform/objc.h"
#include "runtime/object_refs.h"

namespace qv::prefs {

class SettingsDomain {
 public:
  // Reads the domain's values; `devicePath` is its file, for messages.
  SettingsDomain(std::string name, std::string devicePath);

  id values() const { return values_.get(); }  // a dictionary
  id get(const std::string& key) const;        // nil when absent

  // One change: the entries of `set` (a dictionary, or nil) and the keys of `remove`. The
  // preferences folder is created first. Throws Failure unless the file holds the change.
  void store(id set, const std::vector<std::string>& remove);

 private:
  std::string name_;
  std::string devicePath_;
  Strong values_;
};

}  // namespace qv::prefs
