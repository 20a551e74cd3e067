// The daemon's copy of every preferences domain of its device root. A domain is read from its
// file at first use and never again; each change is written to the file, atomically, before
// it is kept, so memory never holds what a restart would lose.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "foundation/file_faults.h"
#include "platform/objc.h"
#include "runtime/object_refs.h"

namespace qv::host::prefsd {

class DomainStore {
 public:
  // The domain's dictionary: what its file held when first asked for (empty when the file was
  // missing or held no dictionary) with every change since. Not to be changed by the caller.
  id domain(const std::string& name);

  // Removes the keys in `remove` (an array of strings, or nil) and sets the entries of `set`
  // (a dictionary, or nil), so a key in both ends set; then writes the domain's file, suffering
  // `fault` if one is given. When the write fails the domain stays as it was and `error` says
  // why.
  bool change(const std::string& name, id set, id remove, WriteFault fault, std::string& error);

  // Removes the temporary files of writes that a killed daemon left in the preferences
  // folder. Only for the daemon that holds the root's lock.
  void removeLeftTemporaries();

  // The names of the domains read so far, sorted.
  std::vector<std::string> loadedDomains() const;

 private:
  std::map<std::string, Strong> domains_;
};

}  // namespace qv::host::prefsd
