// Device paths ("/var/mobile", "/var/jb/...") resolve under a device root folder that the
// host process chooses, so nothing is read or written outside it.
#pragma once

#include <string>

namespace qv::host {

// Sets the real folder that stands for "/" on the device (created if missing).
void setDeviceRoot(const std::string& realFolder);
const std::string& deviceRoot();

// The real path of a device path. Absolute paths land under the device root; ".." never
// climbs above it. Relative paths are taken as relative to the device's "/".
std::string realPath(const std::string& devicePath);

// The device path of a real path under the root ("" when it lies outside).
std::string devicePath(const std::string& realPath);

// The process's home directory as a device path ("/var/mobile" unless set).
void setHomeDirectory(const std::string& devicePath);
const std::string& homeDirectory();

}  // namespace qv::host
