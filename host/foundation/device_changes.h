// Changes the host makes under the device root (a file written, an item removed, a folder
// created), announced to whoever keeps something derived from the tree: path resolution's memo
// forgets what it saw, and the home screen notes whose data container changed.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace qv::host {

// Announces a change at `devicePath` (links already resolved), made by this process.
void noteDeviceChange(const std::string& devicePath);

// How many changes were announced so far; a memo taken at one count is stale at another.
uint64_t deviceChangeCount();

// Called with the path of every announced change, on the thread that made it. One observer;
// an empty function removes it.
using DeviceChangeObserver = std::function<void(const std::string& devicePath)>;
void setDeviceChangeObserver(DeviceChangeObserver observer);

}  // namespace qv::host
