// Building the home-screen process: its classes and the device's files.
#pragma once

#include "springboard/home_screen.h"

namespace qv::host {

// Defines the home-screen host classes of the family (the common ones and the family's menu
// classes).
void registerHomeScreenClasses(Family family, int hostClasses, const HostQuirks& quirks);

// Creates each app's data container with its usual contents, and installs the library's
// resources, under the device root.
void prepareDeviceFiles(HomeScreen& home);

// The container folder (device path) of an app.
std::string containerPathFor(const std::string& bundleID);

}  // namespace qv::host
