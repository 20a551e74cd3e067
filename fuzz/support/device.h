// The device a fuzzing process works on: a fresh root folder, and the home screen booted with
// the library once per process.
#pragma once

#include <string>
#include <vector>

#include "springboard/home_screen.h"

namespace qv::fuzz {

// Makes a new folder quorvel-fuzz-<name>-XXXXXX in /dev/shm (else /tmp) the device root;
// it is removed at exit.
void useFreshDeviceRoot(const std::string& name);

// The bundle identifiers installed on the fuzzing device.
const std::vector<std::string>& fuzzApps();
// Apps, then the folder and the widget: everything that can be pressed.
const std::vector<std::string>& fuzzIcons();

// Sets up a fresh device running `os` with the fuzzing apps, a folder and a widget, loads the
// library and boots. Aborts when the library is missing or the boot fails.
host::HomeScreen& bootFuzzDevice(const std::string& name, const std::string& os);

// The OS version for this process: $QV_FUZZ_OS, else 14.2.
std::string fuzzOsVersion();

// Words the settings and scenarios are built from: the apps, the settings keys, truthy and
// falsy texts, colours.
const std::vector<std::string>& settingWords();

}  // namespace qv::fuzz
