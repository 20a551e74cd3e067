// Folder operations at device paths, never outside the device root.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qv::host {

struct DirectoryEntry {
  std::string name;
  bool isDirectory = false;  // a folder itself, not a link to one
};

// The entries of a real folder (without "." and ".."), sorted by name; nothing when it
// cannot be read.
std::optional<std::vector<DirectoryEntry>> listRealDirectory(const std::string& realFolder);

// Creates a folder (and its missing parents with `intermediates`, where an existing folder
// is fine). False with errno set on failure.
bool createDeviceDirectory(const std::string& devicePath, bool intermediates);

// Removes what is at the device path: a file, a link itself (never what it points to) or a
// folder with everything in it. The walk holds a few descriptors whatever the depth. The
// device's "/" itself is never removed. False with errno set on failure.
bool removeDeviceItem(const std::string& devicePath);

}  // namespace qv::host
