// Symbolic links inside the device root, seen as the device sees them: an absolute link
// target starts again at the device's "/", and ".." never climbs above it, as under chroot.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qv::host {

// The device path with every symbolic link resolved (the last component only when
// `followLast`). Components that do not exist are kept as written. Empty when a link loop or
// an unreadable folder stops the walk.
std::optional<std::string> resolveDevicePath(const std::string& devicePath, bool followLast);

// Whether something exists at the device path, links followed (a dangling link does not
// count); `isDirectory` (optional) tells whether it is a folder.
bool deviceItemExists(const std::string& devicePath, bool* isDirectory);

// The components of a path, dropping empty ones ("a//b" has two).
std::vector<std::string> pathComponents(const std::string& path);

// Joins components into an absolute device path ("/" for none).
std::string joinDevicePath(const std::vector<std::string>& components);

// While one lives on a thread, resolutions on that thread remember what each path they walked
// through was (missing, a link and its target, anything else), so that a command resolving
// many paths under the same folders looks at each component once. Any change through the host
// (noteDeviceChange) makes it forget. Without one every resolution looks afresh, since other
// processes and programs may change the tree between commands. Scopes nest.
class DevicePathMemo {
 public:
  DevicePathMemo();
  ~DevicePathMemo();
  DevicePathMemo(const DevicePathMemo&) = delete;
  DevicePathMemo& operator=(const DevicePathMemo&) = delete;
};

}  // namespace qv::host
